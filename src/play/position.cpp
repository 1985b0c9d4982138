// A game's position as plain values, taken from the live board and the path lists, and set back
// on them; and the check that a position read from a file can stand on its puzzle.

#include "pairpath/play/position.hpp"

#include <algorithm>

namespace pairpath {

Position positionOf(const Board& live, const Paths& paths, const Drawing& drawing) {
    Position position;
    position.endpoints = live.endpoints;
    position.drawing = drawing.pair;
    for (int pair = 1; pair <= live.count / 2; ++pair) {
        const Node* node = pair == drawing.pair ? drawing.tail : paths[std::size_t(pair - 1)];
        if (pair != drawing.pair && isConnected(paths, pair))
            position.connected |= 1U << (pair - 1);
        std::vector<int>& cells = position.cells[std::size_t(pair - 1)];
        for (; node->prev != nullptr; node = node->prev)
            cells.push_back(node->pos);
        std::ranges::reverse(cells);
    }
    return position;
}

void setPosition(Board& live, Paths& paths, Drawing& drawing, const Position& position) {
    const int pairs = live.count / 2;
    releasePaths(paths, pairs);
    paths = makeHeads(pairs);
    live.endpoints = position.endpoints;
    for (int row = 0; row < live.size; ++row) {
        for (int column = 0; column < live.size; ++column)
            cellAt(live.grid, cellCode(row, column)) = emptyCell;
    }
    drawing = {};
    for (int pair = 1; pair <= pairs; ++pair) {
        cellAt(live.grid, startOf(live.endpoints, pair)) = digitOf(pair);
        cellAt(live.grid, targetOf(live.endpoints, pair)) = digitOf(pair);
        Drawing laid = beginDrawing(paths, pair);
        for (const int code : position.cells[std::size_t(pair - 1)])
            takeStep(live.grid, paths, laid, code, 0, live.endpoints);
        if (pair == position.drawing) drawing = laid;
        if ((position.connected >> (pair - 1) & 1U) != 0) paths[std::size_t(pair - 1)] = laid.tail;
    }
}

bool fitsPuzzle(const Position& position, const Board& puzzle) {
    const int pairs = puzzle.count / 2;
    if (position.drawing < 0 || position.drawing > pairs || position.connected >> pairs != 0 ||
        (position.drawing != 0 && (position.connected >> (position.drawing - 1) & 1U) != 0))
        return false;
    Grid held = puzzle.grid; // the endpoints; the paths are laid on it as they are checked
    for (int pair = 1; pair <= pairs; ++pair) {
        const int start = startOf(position.endpoints, pair);
        const int target = targetOf(position.endpoints, pair);
        const bool same =
            start == startOf(puzzle.endpoints, pair) && target == targetOf(puzzle.endpoints, pair);
        const bool swapped =
            start == targetOf(puzzle.endpoints, pair) && target == startOf(puzzle.endpoints, pair);
        const auto& cells = position.cells[std::size_t(pair - 1)];
        const bool connected = (position.connected >> (pair - 1) & 1U) != 0;
        if ((!same && !swapped) ||
            (connected && (cells.empty() || !besideEachOther(cells.back(), target))) ||
            (!connected && pair != position.drawing && !cells.empty()))
            return false;
        int from = start;
        for (const int code : cells) {
            const bool onGrid =
                code >= 0 && rowOf(code) < puzzle.size && columnOf(code) < puzzle.size;
            if (!onGrid || !besideEachOther(code, from) || cellAt(held, code) != emptyCell)
                return false;
            cellAt(held, code) = digitOf(pair);
            from = code;
        }
    }
    return true;
}

} // namespace pairpath
