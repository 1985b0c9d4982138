// The rules of play: the path lists, the rules of one step, the drawing operations, the
// questions before a path is erased and the win test. Every change made during a game goes to
// the live board's grid and to the path lists, and the two are kept in step: a cell holds a
// pair's digit exactly when it is one of that pair's endpoints or the cell of one of its path
// nodes. Nothing here reads input or writes output.

#include "pairpath/play/rules.hpp"

#include <algorithm>

namespace pairpath {

namespace {

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

// --- Path list ---

Node* makenode(int pos, Node* prev) { return new Node{0, pos, nullptr, prev}; }

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

const Move& moveOf(char key) {
    const auto* found =
        std::ranges::find_if(moves, [key](const Move& move) { return move.key == upper(key); });
    return found != moves.end() ? *found : moves.front();
}

const Move& moveBetween(int fromCode, int toCode) {
    const auto* found = std::ranges::find_if(
        moves, [step = toCode - fromCode](const Move& move) { return codeStepOf(move) == step; });
    return found != moves.end() ? *found : moves.front();
}

StepVerdict judgeStep(const Grid& grid, char key, int row, int column, const Endpoints& endpoints,
                      int size, int pairs) {
    const int pair = cellAt(grid, cellCode(row, column)) - emptyCell;
    const Move& move = moveOf(key);
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

// --- Path drawing ---

Drawing beginDrawing(Paths& paths, int pair) {
    Node* const head = paths[std::size_t(pair - 1)];
    head->num = pair;
    return {pair, head};
}

Drawing resumeDrawing(Paths& paths, int pair) {
    Node*& entry = paths[std::size_t(pair - 1)];
    const Drawing drawing{pair, entry};
    entry = headOf(entry);
    return drawing;
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

int isWin(Board board, const Paths& paths) {
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        if (!isConnected(paths, pair)) return 0;
    }
    // Whole rows are read: the bytes beyond the side are zero, never an empty cell.
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < gridStride; ++column) {
            if (cellAt(board.grid, cellCode(row, column)) == emptyCell) return 0;
        }
    }
    return 1;
}

// --- Questions ---

Question questionOnChoosing(const Paths& paths, int pair) {
    if (!isConnected(paths, pair)) return {};
    return {Asking::redraw, pair};
}

Question questionOnStep(const StepVerdict& verdict) {
    if (verdict.refusal || verdict.other == 0) return {};
    return {Asking::eraseOther, verdict.other, verdict.code};
}

std::string questionText(const Question& question) {
    switch (question.asking) {
    case Asking::eraseOther: return messageText(Message::eraseQuestion, question.pair);
    case Asking::redraw: return messageText(Message::redrawQuestion, question.pair);
    case Asking::quit: return messageText(Message::quitQuestion);
    case Asking::nothing: break;
    }
    return "";
}

std::string replyText(const Question& question, bool yes) {
    switch (question.asking) {
    case Asking::eraseOther:
        return messageText(yes ? Message::erasing : Message::keepOtherPath, question.pair);
    case Asking::redraw:
        return messageText(yes ? Message::redrawing : Message::keepConnected, question.pair);
    case Asking::quit:
    case Asking::nothing: break;
    }
    return "";
}

} // namespace pairpath
