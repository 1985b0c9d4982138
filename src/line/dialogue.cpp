// The line dialogue: the coloured board display, the drawing of one pair's path with a key per
// line, and the game loop. The rules come from the play layer, the same functions the full
// screen calls; this module writes the prompts and messages, byte for byte those the game has
// always written, and reads every answer through the choice reader.

#include "pairpath/line/dialogue.hpp"

#include "pairpath/line/input.hpp"

#include <iostream>

namespace pairpath {

namespace {

// --- Texts ---

constexpr std::string_view resetColour = "\033[0m";
// Each pair's colour on the board.
constexpr std::array<std::string_view, maxPairs> digitColours{
    "\033[0;33m", "\033[0;36m", "\033[0;32m", "\033[0;31m", "\033[0;35m",
    "\033[0;34m", "\033[1;31m", "\033[1;32m", "\033[1;35m",
};

constexpr std::string_view movementKeys = "AaWwSsDdBbQq";
constexpr std::string_view yesOrNo = "YNyn";

void sayLine(std::string_view text) { std::cout << text << '\n'; }
template <typename... Values> void say(Message message, const Values&... values) {
    sayLine(messageText(message, values...));
}

// Asks `question` and says the reply to the answer read; true on a yes.
bool confirm(const Question& question) {
    prompt(questionText(question));
    const bool yes = upper(getUserinput(yesOrNo)) == 'Y';
    sayLine(replyText(question, yes));
    return yes;
}

// The move check's result for a step into an empty cell or the pair's own target endpoint;
// 0 refuses a step, and a pair number from 1 to `pairs` names the path the step erases.
constexpr int stepAllowed(int pairs) { return pairs + 1; }

// The line dialogue's move check: the verdict of `judgeStep`, with its message written and,
// for a step over another pair's path, the player asked. Returns 0 (refused),
// stepAllowed(pairs), or the number of the pair whose path the player agreed to erase.
int isvalid(const Grid& grid, char key, int row, int column, const Endpoints& endpoints, int size,
            int pairs) {
    const StepVerdict verdict = judgeStep(grid, key, row, column, endpoints, size, pairs);
    if (verdict.refusal) {
        say(*verdict.refusal);
        return 0;
    }
    if (verdict.other == 0) return stepAllowed(pairs);
    return confirm(questionOnStep(verdict)) ? verdict.other : 0;
}

// Lets the player draw the pair whose start endpoint is at (row, column), one key per line.
// Returns the pair's new entry: the last path node once connected, the head if abandoned.
Node* play(Grid& grid, int row, int column, Paths& paths, const Endpoints& endpoints, int size,
           int pairs) {
    Drawing drawing = beginDrawing(paths, cellAt(grid, cellCode(row, column)) - emptyCell);
    for (;;) {
        printBoard(grid, size);
        prompt(messageText(Message::movementPrompt));
        const char key = upper(getUserinput(movementKeys));
        if (key == 'Q') return cleanNode(grid, drawing.tail);
        if (key == 'B') {
            if (!stepBack(grid, drawing)) say(Message::backAtStart);
            continue;
        }
        const int reached = reachedCell(drawing, endpoints);
        const int verdict =
            isvalid(grid, key, rowOf(reached), columnOf(reached), endpoints, size, pairs);
        if (verdict == 0) continue;
        const int entered = reached + codeStepOf(moveOf(key));
        const int erased = verdict == stepAllowed(pairs) ? 0 : verdict;
        if (takeStep(grid, paths, drawing, entered, erased, endpoints)) {
            std::cout << '\n';
            say(Message::connected, drawing.pair);
            return drawing.tail;
        }
    }
}

bool coloursOn = true; // set once by main before anything is drawn

void addEscape(std::string& frame, std::string_view sequence) {
    if (coloursOn) frame += sequence;
}

} // namespace

// --- Board display ---

void useColours(bool on) { coloursOn = on; }

void changeColor(std::string& frame, char cell) {
    const bool isPair = cell >= '1' && cell <= '9';
    addEscape(frame, isPair ? digitColours[std::size_t(cell - '1')] : resetColour);
}

void printBoard(const Grid& grid, int size) {
    std::string frame;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const char cell = cellAt(grid, cellCode(row, column));
            if (cell == emptyCell) {
                addEscape(frame, resetColour);
                frame += ". ";
            } else {
                changeColor(frame, cell);
                frame += cell;
                frame += ' ';
                addEscape(frame, resetColour);
            }
        }
        frame += '\n';
    }
    addEscape(frame, resetColour);
    std::cout << frame;
}

// --- Game loop ---

void runGame(Board& live, Paths& paths) {
    const int pairs = live.count / 2;
    const int size = live.size;
    std::string pairChoices;
    for (int pair = 1; pair <= pairs; ++pair)
        pairChoices += digitOf(pair);

    while (isWin(live, paths) == 0) {
        printBoard(live.grid, size);
        prompt(messageText(Message::pairPrompt));
        const int pair = getUserinput(pairChoices) - emptyCell;
        const Question question = questionOnChoosing(paths, pair);
        if (question.asking != Asking::nothing) {
            if (!confirm(question)) continue;
            erasePath(live.grid, paths, pair);
        }
        const int start = startOf(live.endpoints, pair);
        say(Message::position, rowOf(start), columnOf(start));
        paths[std::size_t(pair - 1)] =
            play(live.grid, rowOf(start), columnOf(start), paths, live.endpoints, size, pairs);
    }
    say(Message::win);
}

void start(Board board) {
    const int pairs = board.count / 2;
    Paths paths = makeHeads(pairs);
    try {
        runGame(board, paths);
    } catch (...) {
        releasePaths(paths, pairs);
        throw;
    }
    releasePaths(paths, pairs);
}

} // namespace pairpath
