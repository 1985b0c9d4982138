// Play: the coloured board display, the path lists, the rules of one step, the drawing of one
// pair's path and the game loop with its win test. The rules and the messages are kept apart
// from the line dialogue's prompts, so that the full-screen game (fullscreen.cpp) calls the
// same functions. Every change made during a game goes to the
// live board's grid and to the path lists, and the two are kept in step: a cell holds a pair's
// digit exactly when it is one of that pair's endpoints or the cell of one of its path nodes.

#include "pairpath.hpp"
#include "terminal.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <new>

namespace pairpath {

namespace {

// --- Texts ---

constexpr std::string_view resetColour = "\033[0m";
constexpr std::array<std::string_view, maxPairs> pairColours{
    "\033[0;33m", "\033[0;36m", "\033[0;32m", "\033[0;31m", "\033[0;35m",
    "\033[0;34m", "\033[1;31m", "\033[1;32m", "\033[1;35m",
};

// Indexed by Message. Each '#' stands for a number: the first for messageText's first, the
// second for its second.
constexpr std::array<std::string_view, std::size_t(Message::outOfMemory) + 1> messageTexts{
    "Invalid movemnt. Movement will go off boundary.",
    "Invalid movement. Cannot step over your current path (If you want to go back, press 'B')",
    "Invalid movement. Cannot step over original exisited number.",
    "Invalid movement. Movement will cause other path be cleaned.",
    "Invalid movement. Cannot go back since already at the original position. ",
    "To continue this step. Path # will be cleaned. Continue? (Y/N)",
    "Clean path #",
    "Redoing path # will clean the former path. Continue? (Y/N)",
    "Removing former path #...",
    "Terminating current choice...",
    "Congratulations! You connected path # successfully!",
    "Congrats! You Win the game!!!",
    "Please select which number to start (press Ctrl+c to quit):",
    "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:",
    "Your current position is at row = #, col = #",
    "What size grid would you like. Please Enter a number between 5-8",
    "How many numbers would you like to link. Please Enter a number between 4-9",
    "A 5 x 5 grid can hold at most 8 pairs.",
    "Invalid Input. Please only input one valid char again.",
    "Invalid input: input does not match expected input. Please input your choice again.",
    "No solvable puzzle was found for this grid and number of pairs. Please choose again.",
    "Input ended.",
    "Out of memory!",
};

constexpr std::string_view movementKeys = "AaWwSsDdBbQq";
constexpr std::string_view yesOrNo = "YNyn";

void sayLine(std::string_view text) { std::cout << text << '\n'; }
void say(Message message, int first = 0, int second = 0) {
    sayLine(messageText(message, first, second));
}

bool isYes(char answer) { return answer == 'Y' || answer == 'y'; }

// --- Move table ---

struct Move {
    char key; // upper case; the lower case key moves the same way
    int rowStep;
    int columnStep;
};

constexpr std::array<Move, 4> moves{{{'W', -1, 0}, {'A', 0, -1}, {'S', 1, 0}, {'D', 0, 1}}};

constexpr Move moveOf(char key) {
    for (const Move& move : moves) {
        if (move.key == upper(key)) return move;
    }
    return {key, 0, 0};
}

char& cellAt(Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }
char cellAt(const Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }

bool isEndpoint(const Endpoints& endpoints, int pairs, int code) {
    for (int entry = 0; entry < 2 * pairs; ++entry) {
        if (endpoints[std::size_t(entry)] == code) return true;
    }
    return false;
}

// The head is the one node without a predecessor; its pos is -1 as well.
bool isHead(const Node* node) { return node->prev == nullptr; }

Node* headOf(Node* node) {
    while (!isHead(node))
        node = node->prev;
    return node;
}

// Releases the last node of a path and empties its cell; returns the node before it, which is
// the tail now.
Node* dropTail(Grid& grid, Node* tail) {
    cellAt(grid, tail->pos) = emptyCell;
    Node* const before = tail->prev;
    before->next = nullptr;
    delete tail;
    return before;
}

} // namespace

std::string messageText(Message message, int first, int second) {
    std::string text(messageTexts[std::size_t(message)]);
    for (const int number : {first, second}) {
        const auto mark = text.find('#');
        if (mark == std::string::npos) break;
        text.replace(mark, 1, std::to_string(number));
    }
    return text;
}

// --- Board display ---

namespace {
bool coloursOn = true; // set once by main before anything is drawn

void addEscape(std::string& frame, std::string_view sequence) {
    if (coloursOn) frame += sequence;
}
} // namespace

void useColours(bool on) { coloursOn = on; }

void changeColor(std::string& frame, char cell) {
    const bool isPair = cell >= '1' && cell <= '9';
    addEscape(frame, isPair ? pairColours[std::size_t(cell - '1')] : resetColour);
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

// --- Path list ---

void outOfMemory() noexcept {
    // Nothing here allocates. The terminal is given back first, so that the line stays on screen.
    restoreTerminal();
    std::cout.flush();
    const std::string_view text = messageTexts[std::size_t(Message::outOfMemory)];
    std::array<char, 32> line{};
    *std::copy(text.begin(), text.end(), line.begin()) = '\n';
    [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, line.data(), text.size() + 1);
    std::_Exit(EXIT_FAILURE);
}

Node* makenode(int pos, Node* prev) {
    Node* node = new (std::nothrow) Node{};
    if (node == nullptr) outOfMemory();
    node->pos = pos;
    node->prev = prev;
    return node;
}

Node* cleanNode(Grid& grid, Node* node) {
    while (!isHead(node))
        node = dropTail(grid, node);
    node->next = nullptr;
    return node;
}

Paths makeHeads(int pairs) {
    Paths paths{};
    for (int pair = 0; pair < pairs; ++pair)
        paths[std::size_t(pair)] = makenode(-1, nullptr);
    return paths;
}

void releasePaths(Paths& paths, int pairs) {
    for (int pair = 0; pair < pairs; ++pair) {
        Node*& entry = paths[std::size_t(pair)];
        if (entry == nullptr) continue;
        Node* node = headOf(entry);
        while (node != nullptr) {
            Node* following = node->next;
            delete node;
            node = following;
        }
        entry = nullptr;
    }
}

bool isConnected(const Paths& paths, int pair) { return !isHead(paths[std::size_t(pair - 1)]); }

void erasePath(Grid& grid, Paths& paths, int pair) {
    Node*& entry = paths[std::size_t(pair - 1)];
    entry = cleanNode(grid, entry);
}

// --- Move rules ---

StepVerdict judgeStep(const Grid& grid, char key, int row, int column, const Endpoints& endpoints,
                      int size, int pairs) {
    const int pair = cellAt(grid, cellCode(row, column)) - emptyCell;
    const Move move = moveOf(key);
    row += move.rowStep;
    column += move.columnStep;
    if (row < 0 || column < 0 || row >= size || column >= size) return {Message::offBoundary};
    const int code = cellCode(row, column);
    const char entered = cellAt(grid, code);
    if (entered == emptyCell) return {std::nullopt, code};
    if (entered == digitOf(pair)) {
        if (code == targetOf(endpoints, pair)) return {std::nullopt, code};
        return {Message::overOwnPath, code};
    }
    if (isEndpoint(endpoints, pairs, code)) return {Message::overEndpoint, code};
    return {std::nullopt, code, entered - emptyCell};
}

int isvalid(const Grid& grid, char key, int row, int column, const Endpoints& endpoints, int size,
            int pairs) {
    const StepVerdict verdict = judgeStep(grid, key, row, column, endpoints, size, pairs);
    if (verdict.refusal) {
        say(*verdict.refusal);
        return 0;
    }
    if (verdict.other == 0) return stepAllowed(pairs);
    say(Message::eraseQuestion, verdict.other);
    if (!isYes(getUserinput(yesOrNo))) {
        say(Message::keepOtherPath);
        return 0;
    }
    say(Message::erasing, verdict.other);
    return verdict.other;
}

// --- Path drawing ---

Drawing beginDrawing(Paths& paths, int pair) {
    Node* const head = paths[std::size_t(pair - 1)];
    head->num = pair;
    return {pair, head};
}

int reachedCell(const Drawing& drawing, const Endpoints& endpoints) {
    return isHead(drawing.tail) ? startOf(endpoints, drawing.pair) : drawing.tail->pos;
}

bool takeStep(Grid& grid, Paths& paths, Drawing& drawing, int code, int erased,
              const Endpoints& endpoints) {
    if (code == targetOf(endpoints, drawing.pair)) return true;
    // The other path goes first: the entered cell is one of its cells.
    if (erased != 0) erasePath(grid, paths, erased);
    cellAt(grid, code) = digitOf(drawing.pair);
    Node* const node = makenode(code, drawing.tail);
    drawing.tail->next = node;
    drawing.tail = node;
    return false;
}

bool stepBack(Grid& grid, Drawing& drawing) {
    if (isHead(drawing.tail)) return false;
    drawing.tail = dropTail(grid, drawing.tail);
    return true;
}

Node* play(Grid& grid, int row, int column, Paths& paths, const Endpoints& endpoints, int size,
           int pairs) {
    Drawing drawing = beginDrawing(paths, cellAt(grid, cellCode(row, column)) - emptyCell);
    for (;;) {
        printBoard(grid, size);
        say(Message::movementPrompt);
        const char key = getUserinput(movementKeys);
        if (upper(key) == 'Q') return cleanNode(grid, drawing.tail);
        if (upper(key) == 'B') {
            if (!stepBack(grid, drawing)) say(Message::backAtStart);
            continue;
        }
        const int reached = reachedCell(drawing, endpoints);
        const int verdict =
            isvalid(grid, key, rowOf(reached), columnOf(reached), endpoints, size, pairs);
        if (verdict == 0) continue;
        const Move move = moveOf(key);
        const int entered =
            cellCode(rowOf(reached) + move.rowStep, columnOf(reached) + move.columnStep);
        const int erased = verdict == stepAllowed(pairs) ? 0 : verdict;
        if (takeStep(grid, paths, drawing, entered, erased, endpoints)) {
            std::cout << '\n';
            say(Message::connected, drawing.pair);
            return drawing.tail;
        }
    }
}

// --- Game loop ---

int isWin(Board board, const Paths& paths) {
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        if (!isConnected(paths, pair)) return 0;
    }
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < gridStride; ++column) {
            if (cellAt(board.grid, cellCode(row, column)) == emptyCell) return 0;
        }
    }
    return 1;
}

void runGame(Board& live, Paths& paths) {
    const int pairs = live.count / 2;
    const int size = live.size;
    std::string pairChoices;
    for (int pair = 1; pair <= pairs; ++pair)
        pairChoices += digitOf(pair);

    while (isWin(live, paths) == 0) {
        printBoard(live.grid, size);
        say(Message::pairPrompt);
        const int pair = getUserinput(pairChoices) - emptyCell;
        if (isConnected(paths, pair)) {
            say(Message::redrawQuestion, pair);
            if (!isYes(getUserinput(yesOrNo))) {
                say(Message::keepConnected);
                continue;
            }
            say(Message::redrawing, pair);
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
