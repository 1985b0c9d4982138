// The game's texts, in one table. The line dialogue's are the texts it has always written, odd
// spellings included, and are never changed; the others are this program's own.

#include "pairpath/core/messages.hpp"

#include <array>
#include <cstring>

namespace pairpath {

namespace {

struct Text {
    Message message;
    std::string_view text; // each '#' stands for a value, in order
};

// In the order of Message, which `inOrder` checks; what each names stands beside it.
constexpr auto messageTexts = std::to_array<Text>({
    {Message::offBoundary, "Invalid movemnt. Movement will go off boundary."},
    {Message::overOwnPath,
     "Invalid movement. Cannot step over your current path (If you want to go back, press 'B')"},
    {Message::overEndpoint, "Invalid movement. Cannot step over original exisited number."},
    {Message::keepOtherPath, "Invalid movement. Movement will cause other path be cleaned."},
    {Message::backAtStart,
     "Invalid movement. Cannot go back since already at the original position. "},
    {Message::eraseQuestion, "To continue this step. Path # will be cleaned. Continue? (Y/N)"},
    {Message::erasing, "Clean path #"},
    {Message::redrawQuestion, "Redoing path # will clean the former path. Continue? (Y/N)"},
    {Message::redrawing, "Removing former path #..."},
    {Message::keepConnected, "Terminating current choice..."},
    {Message::connected, "Congratulations! You connected path # successfully!"},
    {Message::win, "Congrats! You Win the game!!!"},
    {Message::tooManyPairs, "A 5 x 5 grid can hold at most 8 pairs."},
    {Message::inputEnded, "Input ended."},
    {Message::outOfMemory, "Out of memory!"},
    // The kind of puzzle, the candidates tried, the limit.
    {Message::huntProgress, "Looking for a # puzzle: # of at most # candidates tried..."},
    {Message::anyKind, "solvable"},
    {Message::oneAnswerKind, "one-answer"},
    {Message::gradedKind, "# #"}, // the grade, the kind
    {Message::withGrade, "#, #"}, // the solutions, the grade
    // The grade asked for, the side twice, the pairs, the grades offered.
    {Message::gradeNotOffered, "No # puzzles come in good time on # x # with # pairs: it has #."},
    {Message::orWord, " or "},
    // The line dialogue.
    {Message::pairPrompt, "Please select which number to start (press Ctrl+c to quit):"},
    {Message::movementPrompt,
     "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:"},
    {Message::position, "Your current position is at row = #, col = #"},
    {Message::sideQuestion, "What size grid would you like. Please Enter a number between 5-8"},
    {Message::pairQuestion,
     "How many numbers would you like to link. Please Enter a number between 4-9"},
    {Message::wrongLength, "Invalid Input. Please only input one valid char again."},
    {Message::notAChoice,
     "Invalid input: input does not match expected input. Please input your choice again."},
    {Message::nothingFound,
     "No solvable puzzle was found for this grid and number of pairs. Please choose again."},
    // The full screen.
    {Message::notATerminal,
     "pairpath: the full-screen game needs a terminal for standard input and output"},
    // TERM's value, quoted, or notSet.
    {Message::unfitTerminal,
     "pairpath: the full-screen game needs a terminal that can move the cursor; TERM is #"},
    {Message::screenSideQuestion, "Grid side? Press # to #."},      // the least and greatest side
    {Message::screenPairQuestion, "How many pairs? Press # to #."}, // and pair count
    {Message::digitKeys, "# to #: choose  Q: quit"},
    // The side twice and the pair count.
    {Message::screenNothingFound,
     "No solvable # x # puzzle with # pairs was found. Please choose again."},
    // The kind of puzzle, the side twice, the pairs.
    {Message::lookingForPuzzle, "Looking for a # # x # puzzle with # pairs..."},
    {Message::windowTooSmall, "Please make the window at least # x #."}, // columns, rows
    {Message::title, "pairpath: # x #, # pairs, #"}, // the side twice, the pairs, the solutions
    {Message::solutions, "# solutions"},
    {Message::oneSolution, "1 solution"},
    {Message::choosePair, "Press a digit from 1 to # to choose a pair."},
    {Message::finishFirst, "Finish path # first, or press Q to abandon it."},
    {Message::quitQuestion, "Quit? (Y/N)"},
    {Message::hintUp, "Hint: go up."},
    {Message::hintDown, "Hint: go down."},
    {Message::hintLeft, "Hint: go left."},
    {Message::hintRight, "Hint: go right."},
    {Message::noHint, "No solution goes on from this path: step back with B."},
    // The pair drawn, connected and all pairs, filled and all cells, moves, hints, time.
    {Message::counts, "Path #  Connected #/#  Cells #/#  Moves #  Hints #  #"},
    {Message::playKeys, "1-# path  WASD move  B back  U undo  R redo  H hint  Q quit"},
    {Message::winCounts, "Moves #, hints #, time #"},
    {Message::winKeys, "N: new puzzle  C: change grid or pairs  Q: quit"},
    {Message::notSet, "not set"},
    {Message::screenOffBoundary, "Invalid movement. Movement will go off boundary."},
    {Message::screenOverEndpoint, "Invalid movement. Cannot step over original existing number."},
    {Message::undone, "Undone: #."}, // the change
    {Message::redone, "Redone: #."},
    {Message::nothingToUndo, "Nothing to undo."},
    {Message::nothingToRedo, "Nothing to redo."},
    {Message::changeStep, "a step of path #"}, // each change names its pair
    {Message::changeStepBack, "a step back on path #"},
    {Message::changeErase, "path # erased"},
    {Message::changeAbandon, "path # abandoned"},
    {Message::changeRedraw, "path # drawn anew"},
    {Message::changeCut, "path # cut back"},
    {Message::resumeQuestion, "Resume the # x # game with # pairs? (Y/N)"}, // side twice, pairs
    {Message::resumeKeys, "Y: resume  N: a new game  Q: quit"},
    {Message::noSavedGame, "No saved game to resume."},
    {Message::savedGameDamaged, "The saved game could not be read; kept as #."},
    {Message::savedGameUnread, "The saved game could not be read."},
    // The date, the side twice, the pairs, the solutions.
    {Message::dailyTitle, "pairpath: puzzle of #, # x #, # pairs, #"},
    // The days won, the streak, the last day won, the best time.
    {Message::dailyRecordLine, "Puzzles of the day: won #, # in a row to #, best #"},
    {Message::candidatesTried, "# candidates tried"},
    {Message::waitKeys, "Q: stop and choose again"},
    {Message::oneOfSolutions, "# It leads to one of # solutions."}, // the hint, the solutions
    // The reasons a hint gives. A step: the pair, the row and column of its loose end, its way.
    {Message::hintStep, "Hint: # at row #, col # goes #."},
    {Message::hintOffSolution, "# leaves the solution at row #, col #: step back."}, // pair, cell
    {Message::hintAllLinked, "Every pair is linked."},
    {Message::wayUp, "up"},
    {Message::wayDown, "down"},
    {Message::wayLeft, "left"},
    {Message::wayRight, "right"},
    {Message::onlyWayOn, "Only way on for #."},                   // the pair
    {Message::onlyEntry, "Only # can still enter row #, col #."}, // the pair, the cell
    {Message::elseFails, "Else #."},                              // what would go wrong
    {Message::trialFails, "# # fails: #."}, // the pair, the way tried, what went wrong
    {Message::nestedTrialFails, "# # fails, trying on from there: #."},
    {Message::bySearch, "Only this way leads to the solution."},
    {Message::wouldCutOff, "row #, col # would be cut off"},
    {Message::wouldBoxIn, "# would be boxed in"},
    {Message::wouldLeaveUnfilled, "no pair could fill row #, col #"},
    {Message::wouldSplit, "#'s ends would be walled apart"},
    {Message::wouldUnbalance, "the cells round row #, col # would not pair up light with dark"},
    {Message::wouldTrade, "# and # could trade cells at row #, col #: two answers"}, // 2 pairs
    {Message::wouldRunBack, "# could run the other way at row #, col #: two answers"},
    // The records, and the files the game keeps.
    {Message::recordsDamaged, "Records damaged at #; kept as #."}, // which lines, where it went
    {Message::recordsNotSaved, "Records not saved: #"},            // why
    {Message::noStateFolder, "neither XDG_STATE_HOME nor HOME is set"},
    {Message::relativeHome, "HOME is not an absolute path"},
    {Message::fileProblem, "pairpath: #: #"},      // the file, why
    {Message::recordsBadLine, "pairpath: #:#: #"}, // the file, the line, what is wrong
    {Message::badField, "bad value for #"},        // the field's name
    {Message::notRecords, "not a line of records"},
    {Message::sameChoice, "the same choice as line #"},
    {Message::shortBadLine, "line #"},
    {Message::shortBadField, "line # (#)"}, // the line, the field's name
    {Message::shortSameChoice, "line # (as #)"},
    {Message::listAnd, "# and # more"},
    // The side twice, the pairs, the wins, the best time, the fewest moves.
    {Message::recordLine, "# x #, # pairs: won #, best #, fewest moves #"},
    {Message::oneAnswerRecordLine, "# x #, # pairs, one answer: won #, best #, fewest moves #"},
    {Message::gradedRecordLine, "# x #, # pairs, #: won #, best #, fewest moves #"}, // and grade
    {Message::noRecords, "No games won yet."},
    // The solver.
    {Message::solutionsCount, "solutions: #"},
    {Message::solveProblem, "pairpath: #:#: #"}, // the file, the line, what is wrong
    {Message::longLine, "a line longer than any row of a board"},
    {Message::blankParting, "cells are parted by one blank each"},
    {Message::unknownCharacter, "unknown character #: a cell is '.' or a digit from 1 to 9"},
    {Message::printable, "'#'"},
    {Message::byte, "byte 0x#"},
    {Message::digitOnce, "digit # appears 1 time: each digit used appears twice"},
    {Message::digitTimes, "digit # appears # times: each digit used appears twice"},
    {Message::digitMissing, "digit # is missing: the digits used are 1 to #"},
    {Message::rowCount, "a board of # columns has # rows"},
    {Message::oneCellRow, "a row of 1 cell: a board has # to # columns"},
    {Message::rowWidth, "a row of # cells: a board has # to # columns"},
    {Message::otherRowWidth, "a row of # cells in a board of # columns"},
    {Message::extraRow, "a board of # columns has more rows: boards are parted by blank lines"},
    {Message::unreadable, "cannot be read"},
    {Message::noBoard, "no board"},
    {Message::route, "#:#"},      // the pair, its cells
    {Message::routeCell, " #,#"}, // a cell's row and column
    {Message::gradeLine, "grade: #"},
    // The command line.
    {Message::usage, R"(Usage: pairpath [OPTION]...
Link each pair of equal digits on a square grid with a path. Paths run up, down,
left and right, never cross, and together must fill every cell of the grid.

Options:
  -s, --seed=N       seed the puzzle generator with N (0 to 4294967295) instead
                     of the clock: the same seed and answers give the same board
      --size=N       grid side, 5 to 8; the game does not ask for it
      --pairs=N      number of pairs, 4 to 9 (at most 8 on a 5 x 5 grid); the
                     game does not ask for it
      --color=WHEN   colour the digits: always (the default), never, or auto
                     (only when standard output is a terminal)
  -f, --full-screen  play on the whole terminal screen, one key at a time, or
                     with the mouse: arrows or W/A/S/D move, B or Backspace
                     steps back, U undoes, R redoes, H shows a step, Q abandons
                     the path or quits; the game in progress is kept, and the
                     next full screen offers to resume it
      --resume       take up the saved full-screen game at once
      --daily[=DATE] play the puzzle of the day, today in UTC or DATE written
                     YYYY-MM-DD: the same board for every player
  -u, --unique       deal only puzzles with exactly one solution
      --difficulty=LEVEL
                     deal only one-answer puzzles of that grade: easy, medium,
                     hard or expert
      --solve=FILE   solve the boards in FILE (- for standard input), written
                     as the game shows them, boards parted by blank lines: for
                     each, the number of solutions and one of them, with each
                     pair's path as rows and columns
      --records      show the games won, best time and fewest moves of each grid
                     side, number of pairs and --unique, and exit
  -h, --help         show this help and exit
  -V, --version      show the version and licence and exit

Keys, each followed by Enter:
  1 to 9             choose the pair whose path to draw
  W, A, S, D         move the path up, left, down, right
  B                  take the last step back
  Q                  abandon the path
  Y, N               answer a yes-or-no question
  Ctrl+C             quit

Environment:
  NO_COLOR           when set and not empty, the same as --color=never, unless
                     --color is given
  XDG_STATE_HOME     the full screen keeps its records of games won and the game
                     in progress in $XDG_STATE_HOME/pairpath, else in
                     $HOME/.local/state/pairpath

Exit status:
  0                  the game was won, the player quit the full screen, or the
                     help or version was shown
  1                  input ended before the game did, memory ran out, a board
                     given to --solve has no solution, or --records found its
                     file damaged or unreadable
  2                  an option or its value was wrong, --full-screen without a
                     terminal or with TERM unset, empty or dumb, or --solve's
                     file cannot be read or holds something other than boards
  128+N              the full screen was ended by signal N: 130 after Ctrl+C
)"},
    {Message::version, "pairpath #\nCopyright (C) 2026 The pairpath developers\n"
                       "License MIT: free software with NO WARRANTY, to the extent permitted by "
                       "law.\n"},
    {Message::tryHelp, "Try 'pairpath --help' for more information."},
    {Message::refusal, "pairpath: #"},
    {Message::badValue, "invalid value '#' for #: expected #"},
    {Message::takesNoValue, "option '#' takes no value"},
    {Message::unknownShort, "unknown option '-#'"},
    {Message::unknownLong, "unknown option '#'"},
    {Message::ambiguous, "option '#' is ambiguous; possibilities:#"},
    {Message::needsValue, "option '#' needs a value"},
    {Message::unexpected, "unexpected argument '#'"},
    // The side, its pairs at most, the side and the pairs given.
    {Message::tooManyPairsGiven, "a # x # grid can hold at most # pairs (--size # --pairs #)"},
    {Message::range, "# to #"},
    {Message::fileName, "a file name, or - for standard input"},
    {Message::colourWhens, "always, never or auto"},
    {Message::conflict, "# cannot go with #"}, // two options that say what to do
    {Message::dateForm, "a date written YYYY-MM-DD, from 1970-01-01 to 9999-12-31"},
    {Message::gradeNames, "easy, medium, hard or expert"},
});

constexpr bool inOrder() {
    for (std::size_t at = 0; at < messageTexts.size(); ++at) {
        if (messageTexts[at].message != Message(at)) return false;
    }
    return true;
}
static_assert(inOrder(), "the texts stand in the order of Message, one each");

} // namespace

std::string_view messageTemplate(Message message) {
    return messageTexts[std::size_t(message)].text;
}

std::string countText(CoverCount count, bool grouped) {
    constexpr int base = 10;
    constexpr int groupSize = 3;
    std::string digits;
    do {
        if (grouped && !digits.empty() && digits.size() % (groupSize + 1) == groupSize)
            digits += ',';
        digits += char('0' + int(count % base));
        count /= base;
    } while (count != 0);
    return {digits.rbegin(), digits.rend()};
}

std::string clockText(std::chrono::seconds time) {
    constexpr long long perMinute = 60;
    constexpr long long tens = 10;
    // Counted away from zero, so that no step overflows whatever the count.
    const long long seconds = time.count();
    const long long minutes = seconds / perMinute;
    const long long second = seconds % perMinute * (seconds < 0 ? -1 : 1);
    const std::string sign = seconds < 0 && minutes == 0 ? "-" : "";
    return sign + std::to_string(minutes) + (second < tens ? ":0" : ":") + std::to_string(second);
}

std::string badLineText(std::string_view field, int sameAs) {
    if (sameAs != 0) return messageText(Message::sameChoice, sameAs);
    return field.empty() ? messageText(Message::notRecords) : messageText(Message::badField, field);
}

std::string shortBadLineText(int line, std::string_view field, int sameAs) {
    if (sameAs != 0) return messageText(Message::shortSameChoice, line, sameAs);
    return field.empty() ? messageText(Message::shortBadLine, line)
                         : messageText(Message::shortBadField, line, field);
}

std::string troubleText(Trouble trouble, int error) {
    switch (trouble) {
    case Trouble::noStateFolder: return messageText(Message::noStateFolder);
    case Trouble::relativeHome: return messageText(Message::relativeHome);
    case Trouble::system: return std::strerror(error);
    case Trouble::none:
    case Trouble::damaged: break;
    }
    return "";
}

std::string fillIn(Message message, std::initializer_list<std::string_view> values) {
    std::string text;
    const auto* value = values.begin();
    for (const char c : messageTemplate(message)) {
        if (c == '#' && value != values.end()) {
            text += *value++;
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace pairpath
