// The reasoning solver's state: setting it up from a board, the moves a loose end has, taking and
// ruling out a move, reading the routes' links back, and the finished routes.
//
// A held cell knows the trail that holds it and its place along that trail, so two cells are
// linked when they are consecutive on one trail, or when they are the two last cells of a
// finished pair's trails, which the pair's last move joined.

#include "pairpath/reason/state.hpp"

#include <algorithm>

namespace pairpath {

RouteState startState(const Board& board) {
    RouteState state;
    state.trail.fill(noTrail);
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < board.size; ++column) {
            const int code = cellCode(row, column);
            state.area |= cellBit(gridIndex(code));
            if (cellAt(board.grid, code) == emptyCell) state.freeCells |= cellBit(gridIndex(code));
        }
    }
    state.pairs = board.count / 2;
    state.open = (1U << state.pairs) - 1;
    for (int end = 0; end < board.count; ++end) {
        const int cell = gridIndex(board.endpoints[std::size_t(end)]);
        state.ends[std::size_t(end)] = std::uint8_t(cell);
        state.trail[std::size_t(cell)] = std::uint8_t(end);
        state.place[std::size_t(cell)] = 0;
    }
    return state;
}

CellMask movesOf(const RouteState& state, int end) {
    if (!isOpen(state, end / 2)) return 0;
    const CellMask at = cellBit(endAt(state, end));
    const CellMask into = state.freeCells | cellBit(endAt(state, end ^ 1));
    CellMask moves = 0;
    for (int way = 0; way < 4; ++way) {
        if ((state.banned[std::size_t(end)] >> way & 1U) == 0) moves |= stepped(at, way);
    }
    return moves & into & state.area;
}

int wayBetween(int from, int to) {
    const int step = to - from;
    return step == -gridStride ? 0 : step == gridStride ? 1 : step == -1 ? 2 : 3;
}

void takeMove(RouteState& state, int end, int cell) {
    const auto at = std::size_t(end);
    if (cell == endAt(state, end ^ 1)) {
        state.open &= ~(1U << (end / 2));
        return;
    }
    const int from = endAt(state, end);
    state.freeCells &= ~cellBit(cell);
    state.trail[std::size_t(cell)] = std::uint8_t(end);
    state.place[std::size_t(cell)] = std::uint8_t(placeOf(state, from) + 1);
    state.ends[at] = std::uint8_t(cell);
    state.banned[at] = 0;
}

void banMove(RouteState& state, int end, int cell) {
    const auto at = std::size_t(end);
    state.banned[at] = std::uint8_t(state.banned[at] | 1U << wayBetween(endAt(state, end), cell));
}

bool follows(const RouteState& state, int a, int b) {
    const int trailA = trailOf(state, a);
    const int trailB = trailOf(state, b);
    if (trailA < 0 || trailB < 0) return false;
    const int placeA = placeOf(state, a);
    const int placeB = placeOf(state, b);
    // A target's trail runs from the target back toward the start.
    if (trailA == trailB) return placeB == placeA + (trailA % 2 == 0 ? 1 : -1);
    return trailA % 2 == 0 && trailB == trailA + 1 && !isOpen(state, trailA / 2) &&
           endAt(state, trailA) == a && endAt(state, trailB) == b;
}

bool linked(const RouteState& state, int a, int b) {
    return follows(state, a, b) || follows(state, b, a);
}

Cover routesOf(const RouteState& state) {
    // The cells of one trail from its endpoint to its loose end.
    const auto trailCells = [&](int end) {
        std::vector<int> cells{endAt(state, end)};
        while (placeOf(state, cells.back()) > 0) {
            const int cell = cells.back();
            for (const int next : {cell - gridStride, cell + gridStride, cell - 1, cell + 1}) {
                if (next >= 0 && next < int(gridCells) && trailOf(state, next) == end &&
                    placeOf(state, next) == placeOf(state, cell) - 1) {
                    cells.push_back(next);
                    break;
                }
            }
        }
        std::ranges::reverse(cells);
        return cells;
    };
    Cover cover;
    for (int pair = 0; pair < state.pairs; ++pair) {
        std::vector<int> route = trailCells(2 * pair);
        const std::vector<int> back = trailCells(2 * pair + 1);
        route.insert(route.end(), back.rbegin(), back.rend());
        std::ranges::transform(route, route.begin(), codeOfCell);
        cover.push_back(route);
    }
    return cover;
}

} // namespace pairpath
