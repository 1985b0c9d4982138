// Play: the coloured board display, the path lists, the rules of one step, the drawing of one
// pair's path and the game loop with its win test. Every change made during a game goes to the
// live board's grid and to the path lists, and the two are kept in step: a cell holds a pair's
// digit exactly when it is one of that pair's endpoints or the cell of one of its path nodes.

#include "pairpath.hpp"

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

constexpr std::string_view outOfMemory = "Out of memory!";
constexpr std::string_view offBoundary = "Invalid movemnt. Movement will go off boundary.";
constexpr std::string_view overOwnPath =
    "Invalid movement. Cannot step over your current path (If you want to go back, press 'B')";
constexpr std::string_view overEndpoint =
    "Invalid movement. Cannot step over original exisited number.";
constexpr std::string_view keepOtherPath =
    "Invalid movement. Movement will cause other path be cleaned.";
constexpr std::string_view backAtStart =
    "Invalid movement. Cannot go back since already at the original position. ";
constexpr std::string_view movementPrompt =
    "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:";
constexpr std::string_view pairPrompt =
    "Please select which number to start (press Ctrl+c to quit):";
constexpr std::string_view keepConnected = "Terminating current choice...";
constexpr std::string_view winMessage = "Congrats! You Win the game!!!";

constexpr std::string_view movementKeys = "AaWwSsDdBbQq";
constexpr std::string_view yesOrNo = "YNyn";

void sayLine(std::string_view text) { std::cout << text << '\n'; }

bool isYes(char answer) { return answer == 'Y' || answer == 'y'; }

// --- Move table ---

struct Move {
    char key; // upper case; the lower case key moves the same way
    int rowStep;
    int columnStep;
};

constexpr std::array<Move, 4> moves{{{'W', -1, 0}, {'A', 0, -1}, {'S', 1, 0}, {'D', 0, 1}}};

constexpr char upper(char key) { return key >= 'a' && key <= 'z' ? char(key - 'a' + 'A') : key; }

constexpr Move moveOf(char key) {
    for (const Move& move : moves) {
        if (move.key == upper(key)) return move;
    }
    return {key, 0, 0};
}

char& cellAt(Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }
char cellAt(const Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }

int endpointOf(const Endpoints& endpoints, int entry) { return endpoints[std::size_t(entry)]; }
int startOf(const Endpoints& endpoints, int pair) { return endpointOf(endpoints, 2 * pair - 2); }
int targetOf(const Endpoints& endpoints, int pair) { return endpointOf(endpoints, 2 * pair - 1); }

bool isEndpoint(const Endpoints& endpoints, int pairs, int code) {
    for (int entry = 0; entry < 2 * pairs; ++entry) {
        if (endpointOf(endpoints, entry) == code) return true;
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

// Appends a path node for `code` after `tail` and writes the pair's digit into its cell.
Node* extendPath(Grid& grid, Node* tail, int code, int pair) {
    cellAt(grid, code) = digitOf(pair);
    Node* node = makenode(code, tail);
    tail->next = node;
    return node;
}

} // namespace

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
            const char cell = grid[std::size_t(row * gridStride + column)];
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

Node* makenode(int pos, Node* prev) {
    Node* node = new (std::nothrow) Node{};
    if (node == nullptr) {
        sayLine(outOfMemory);
        std::cout.flush();
        std::exit(EXIT_FAILURE);
    }
    node->pos = pos;
    node->prev = prev;
    return node;
}

Node* cleanNode(Grid& grid, Node* node) {
    while (!isHead(node)) {
        cellAt(grid, node->pos) = emptyCell;
        Node* left = node;
        node = node->prev;
        delete left;
    }
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

// --- Move rules ---

int isvalid(const Grid& grid, char key, int row, int column, const Endpoints& endpoints, int size,
            int pairs) {
    const int pair = cellAt(grid, cellCode(row, column)) - emptyCell;
    const Move move = moveOf(key);
    row += move.rowStep;
    column += move.columnStep;
    if (row < 0 || column < 0 || row >= size || column >= size) {
        sayLine(offBoundary);
        return 0;
    }
    const int code = cellCode(row, column);
    const char entered = cellAt(grid, code);
    if (entered == emptyCell) return pairs + 1;
    if (entered == digitOf(pair)) {
        if (code == targetOf(endpoints, pair)) return pairs + 1;
        sayLine(overOwnPath);
        return 0;
    }
    if (isEndpoint(endpoints, pairs, code)) {
        sayLine(overEndpoint);
        return 0;
    }
    std::cout << "To continue this step. Path " << entered << " will be cleaned. Continue? (Y/N)\n";
    if (!isYes(getUserinput(yesOrNo))) {
        sayLine(keepOtherPath);
        return 0;
    }
    std::cout << "Clean path " << entered << '\n';
    return entered - emptyCell;
}

// --- Path drawing ---

Node* play(Grid& grid, int row, int column, Paths& paths, const Endpoints& endpoints, int size,
           int pairs) {
    const int pair = cellAt(grid, cellCode(row, column)) - emptyCell;
    Node* current = paths[std::size_t(pair - 1)]; // the pair's head: its path starts afresh
    current->num = pair;
    for (;;) {
        printBoard(grid, size);
        sayLine(movementPrompt);
        const char key = getUserinput(movementKeys);
        switch (upper(key)) {
        case 'Q': return cleanNode(grid, current);
        case 'B': {
            if (isHead(current)) {
                sayLine(backAtStart);
                continue;
            }
            cellAt(grid, current->pos) = emptyCell;
            Node* left = current;
            current = current->prev;
            current->next = nullptr;
            delete left;
            const int code = isHead(current) ? startOf(endpoints, current->num) : current->pos;
            row = rowOf(code);
            column = columnOf(code);
            continue;
        }
        default: break;
        }

        const int verdict = isvalid(grid, key, row, column, endpoints, size, pairs);
        if (verdict == 0) continue;
        const Move move = moveOf(key);
        row += move.rowStep;
        column += move.columnStep;
        const int code = cellCode(row, column);
        if (verdict == pairs + 1 && code == targetOf(endpoints, pair)) {
            std::cout << "\nCongratulations! You connected path " << pair << " successfully!\n";
            return current;
        }
        if (verdict != pairs + 1) {
            Node*& other = paths[std::size_t(verdict - 1)];
            other = cleanNode(grid, other);
        }
        current = extendPath(grid, current, code, pair);
    }
}

// --- Game loop ---

int isWin(Board board, const Paths& paths) {
    for (int pair = 0; pair < board.count / 2; ++pair) {
        if (paths[std::size_t(pair)]->pos == -1) return 0;
    }
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < gridStride; ++column) {
            if (board.grid[std::size_t(row * gridStride + column)] == emptyCell) return 0;
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
        sayLine(pairPrompt);
        const int pair = getUserinput(pairChoices) - emptyCell;
        Node*& entry = paths[std::size_t(pair - 1)];
        if (!isHead(entry)) {
            std::cout << "Redoing path " << pair
                      << " will clean the former path. Continue? (Y/N)\n";
            if (!isYes(getUserinput(yesOrNo))) {
                sayLine(keepConnected);
                continue;
            }
            std::cout << "Removing former path " << pair << "...\n";
            entry = cleanNode(live.grid, entry);
        }
        const int start = startOf(live.endpoints, pair);
        std::cout << "Your current position is at row = " << rowOf(start)
                  << ", col = " << columnOf(start) << '\n';
        entry = play(live.grid, rowOf(start), columnOf(start), paths, live.endpoints, size, pairs);
    }
    sayLine(winMessage);
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

// --- Consistency of grid and paths ---

std::string pathsFault(const Board& live, const Paths& paths) {
    const int pairs = live.count / 2;
    std::array<bool, gridCells> isPathCell{};
    int beingDrawn = 0; // pairs with path cells whose entry is still the head
    for (int pair = 1; pair <= pairs; ++pair) {
        const auto fault = [pair](std::string_view what) {
            return "pair " + std::to_string(pair) + ": " + std::string(what);
        };
        for (const int code : {startOf(live.endpoints, pair), targetOf(live.endpoints, pair)}) {
            if (cellAt(live.grid, code) != digitOf(pair)) return fault("endpoint lost its digit");
        }
        Node* const entry = paths[std::size_t(pair - 1)];
        Node* const head = headOf(entry);
        if (head->pos != -1) return fault("head has a cell");
        const bool connected = entry != head;
        bool entryInList = !connected;
        int length = 0;
        for (Node* node = head; node->next != nullptr; node = node->next) {
            Node* const following = node->next;
            if (following->prev != node) return fault("links disagree");
            const int code = following->pos;
            if (code < 0 || rowOf(code) >= live.size || columnOf(code) >= live.size) {
                return fault("path node outside the grid");
            }
            if (cellAt(live.grid, code) != digitOf(pair)) return fault("path cell lost its digit");
            bool& listed = isPathCell[std::size_t(gridIndex(code))];
            if (listed) return fault("cell in two lists");
            listed = true;
            entryInList = entryInList || following == entry;
            if (++length > live.size * live.size) return fault("list runs in a circle");
        }
        if (!entryInList) return fault("entry is not in its list");
        if (connected && entry->next != nullptr) return fault("entry is not the tail");
        if (connected && length == 0) return fault("connected without a path");
        if (!connected && length > 0 && ++beingDrawn > 1) return fault("unfinished path kept");
    }
    // Every cell holding a digit must be an endpoint or a path cell.
    for (int row = 0; row < live.size; ++row) {
        for (int column = 0; column < live.size; ++column) {
            const int code = cellCode(row, column);
            if (cellAt(live.grid, code) == emptyCell || isEndpoint(live.endpoints, pairs, code)) {
                continue;
            }
            if (!isPathCell[std::size_t(gridIndex(code))]) {
                return "cell " + std::to_string(code) + " holds a digit but no path node";
            }
        }
    }
    return "";
}

} // namespace pairpath
