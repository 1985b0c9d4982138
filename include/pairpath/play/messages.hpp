// Every text the game shows, in one table, for both ways to play.
#pragma once

#include "pairpath/core/board.hpp"

#include <chrono>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pairpath {

enum class Message {
    // Both ways to play.
    offBoundary,    // refused: the step leaves the grid
    overOwnPath,    // refused: the cell is the pair's own start endpoint or path cell
    overEndpoint,   // refused: the cell is another pair's endpoint
    keepOtherPath,  // refused: the player kept the other pair's path
    backAtStart,    // refused: a step back with no path cell drawn
    eraseQuestion,  // names the pair whose path the step would erase
    erasing,        // names that pair, once the player agreed
    redrawQuestion, // names the connected pair chosen again
    redrawing,      // names that pair, once the player agreed
    keepConnected,  // the player kept the connected pair's path
    connected,      // names the pair just connected
    win,
    tooManyPairs, // the pair count does not fit the grid side
    inputEnded,
    outOfMemory,
    // The line dialogue.
    pairPrompt,
    movementPrompt,
    position, // names the start endpoint's row and column
    sideQuestion,
    pairQuestion,
    wrongLength, // an answer line that is not one character
    notAChoice,  // a character outside the allowed set
    nothingFound,
    // The full screen.
    notATerminal,
    unfitTerminal,      // names TERM's value, quoted, or "not set"
    screenSideQuestion, // names the least and the greatest side
    screenPairQuestion, // names the least and the greatest pair count
    digitKeys,          // names the least and the greatest digit
    screenNothingFound, // names the side twice and the pair count
    lookingForPuzzle,   // names the side twice and the pair count
    windowTooSmall,     // names the columns and rows wanted
    title,              // names the side twice, the pair count and the solutions
    solutions,          // names how many
    oneSolution,
    choosePair,  // names the number of pairs
    finishFirst, // names the pair being drawn
    quitQuestion,
    hintUp,
    hintDown,
    hintLeft,
    hintRight,
    noHint,
    counts,    // names the pair drawn, connected and all pairs, filled and all cells, moves, hints,
               // time
    playKeys,  // names the number of pairs
    winCounts, // names the moves, the hints and the time
    winKeys,
    notSet, // of TERM
    // The records.
    recordsDamaged,      // names where the damaged file was moved
    recordsNotSaved,     // names why
    noStateFolder,       // why, when no folder for the records is known
    recordsUnreadable,   // names the file and why
    recordsBadLine,      // names the file and the line
    recordLine,          // names the side twice, the pairs, the wins, the best time, the moves
    oneAnswerRecordLine, // the same, for one-answer puzzles
    noRecords,
    // Reasons a hint gives
    hintStep,        // names the pair, the row and column of its loose end, and its way on
    hintOffSolution, // names the pair, and the row and column where its path leaves the solution
    hintAllLinked,
    wayUp,
    wayDown,
    wayLeft,
    wayRight,
    onlyWayOn,        // names the pair
    onlyEntry,        // names the pair, and the row and column of the cell only it can enter
    elseFails,        // names what would go wrong
    trialFails,       // names the pair, the way tried and what went wrong
    nestedTrialFails, // the same, found with trials of their own
    bySearch,
    wouldCutOff,        // names the row and column
    wouldBoxIn,         // names the pair
    wouldLeaveUnfilled, // names the row and column
    wouldSplit,         // names the pair
    wouldUnbalance,     // names the row and column
    wouldTrade,         // names two pairs, and the row and column where they would trade cells
    wouldRunBack,       // names the pair, and the row and column
};

// The text of `message` as the table holds it: a '#' for each value it names.
std::string_view messageTemplate(Message message);

// The text of `message`, without a newline, with each '#' replaced by the next of `values`.
std::string fillIn(Message message, std::initializer_list<std::string_view> values);

// `count` in decimal digits, with a comma between each three from the right when `grouped`.
std::string countText(CoverCount count, bool grouped);

// A time as minutes and two-digit seconds, "1:05".
std::string clockText(std::chrono::nanoseconds time);

inline std::string asText(int value) { return std::to_string(value); }
inline std::string_view asText(std::string_view value) { return value; }

template <typename... Values> std::string messageText(Message message, const Values&... values) {
    return fillIn(message, {std::string_view(asText(values))...});
}

} // namespace pairpath
