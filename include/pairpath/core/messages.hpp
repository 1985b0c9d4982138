// Every text the game shows, in one table, for both ways to play, the records, the solver and the
// command line. What each text names, in the order of its '#'s, stands beside it in the table.
#pragma once

#include "pairpath/core/board.hpp"

#include <chrono>
#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pairpath {

// By where they are shown: both ways to play, the line dialogue, the full screen, the records and
// the files the game keeps, the solver, the command line.
// A line a group, not a line a name:
// clang-format off
enum class Message {
    offBoundary, overOwnPath, overEndpoint, keepOtherPath, backAtStart, eraseQuestion, erasing,
    redrawQuestion, redrawing, keepConnected, connected, win, tooManyPairs, inputEnded,
    outOfMemory, huntProgress, anyKind, oneAnswerKind, gradedKind, withGrade, gradeNotOffered,
    orWord,
    pairPrompt, movementPrompt, position, sideQuestion, pairQuestion, wrongLength, notAChoice,
    nothingFound,
    notATerminal, unfitTerminal, screenSideQuestion, screenPairQuestion, digitKeys,
    screenNothingFound, lookingForPuzzle, windowTooSmall, title, solutions, oneSolution, choosePair,
    finishFirst, quitQuestion, hintUp, hintDown, hintLeft, hintRight, noHint, counts, playKeys,
    winCounts, winKeys, notSet, screenOffBoundary, screenOverEndpoint, undone, redone,
    nothingToUndo, nothingToRedo, changeStep, changeStepBack, changeErase, changeAbandon,
    changeRedraw, changeCut, resumeQuestion, resumeKeys, noSavedGame, savedGameDamaged,
    savedGameUnread, dailyTitle, dailyRecordLine, candidatesTried, waitKeys,
    oneOfSolutions, hintStep, hintOffSolution, hintAllLinked, wayUp, wayDown, wayLeft, wayRight, onlyWayOn,
    onlyEntry, elseFails, trialFails, nestedTrialFails, bySearch, wouldCutOff, wouldBoxIn,
    wouldLeaveUnfilled, wouldSplit, wouldUnbalance, wouldTrade, wouldRunBack,
    recordsDamaged, recordsNotSaved, noStateFolder, relativeHome, fileProblem, recordsBadLine,
    badField, notRecords, sameChoice, shortBadLine, shortBadField, shortSameChoice, listAnd,
    recordLine, oneAnswerRecordLine, gradedRecordLine, noRecords,
    solutionsCount, solveProblem, longLine, blankParting, unknownCharacter, printable, byte,
    digitOnce, digitTimes, digitMissing, rowCount, oneCellRow, rowWidth, otherRowWidth, extraRow,
    unreadable, noBoard, route, routeCell, gradeLine,
    usage, version, tryHelp, refusal, badValue, takesNoValue, unknownShort, unknownLong, ambiguous,
    needsValue, unexpected, tooManyPairsGiven, range, fileName, colourWhens, conflict, dateForm, gradeNames
};
// clang-format on

// Why a file the game keeps for the player could not be used: no state folder is known, HOME is
// not an absolute path, the system refused (with an errno), or the file is not what it should be.
enum class Trouble { none, noStateFolder, relativeHome, system, damaged };

// The text of `message` as the table holds it: a '#' for each value it names.
std::string_view messageTemplate(Message message);

// The text of `message`, without a newline, with each '#' replaced by the next of `values`.
std::string fillIn(Message message, std::initializer_list<std::string_view> values);

// `count` in decimal digits, with a comma between each three from the right when `grouped`.
std::string countText(CoverCount count, bool grouped);

// A time as minutes and two-digit seconds, "1:05".
std::string clockText(std::chrono::seconds time);

// Why a file could not be used, in words; `error` is the errno for Trouble::system.
std::string troubleText(Trouble trouble, int error);

// What is wrong with a line of a file the game keeps: the name of the field at fault, or "" when
// it is not the fields in their order, or it repeats the choice of line `sameAs`; in full, or short
// for the status line.
std::string badLineText(std::string_view field, int sameAs);
std::string shortBadLineText(int line, std::string_view field, int sameAs);

template <std::integral Number> std::string asText(Number value) { return std::to_string(value); }
inline std::string_view asText(std::string_view value) { return value; }

template <typename... Values> std::string messageText(Message message, const Values&... values) {
    return fillIn(message, {std::string_view(asText(values))...});
}

} // namespace pairpath
