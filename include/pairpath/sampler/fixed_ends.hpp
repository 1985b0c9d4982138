// Covers with fixed ends: how many covers of the grid join exactly the given pairs of cells, and
// one of them; a board's solutions, counted so. Cells here are numbered row * side + column.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/core/search.hpp"

#include <array>
#include <vector>

namespace pairpath {

// The two end cells of one path.
struct EndPair {
    int first = 0;
    int second = 0;
};

// The covers of a side x side grid whose paths join exactly the given end pairs: each path runs
// between the two cells of one pair, and the paths fill every cell. With `oneOfThem`, `edges`
// holds one of them, when there is any: the downEdge and rightEdge bits leaving each cell.
struct CoversJoining {
    CoverCount count = 0;
    std::array<std::uint8_t, gridCells> edges{};
};
CoversJoining coversJoining(const std::vector<EndPair>& pairs, int side, bool oneOfThem = false);

// A board's solutions: how many ways there are to link every pair by a path from one endpoint
// to the other so that the paths fill the grid, and one of them, when there is any: as each
// cell's pair digit, and as each pair's route from its start endpoint to its target. Exact for
// every side from 2 to 8.
struct Solutions {
    CoverCount count = 0;
    Grid solution{};
    Cover routes;
};
Solutions solveBoard(const Board& board);
CoverCount countSolutions(const Board& board);

// The end pairs of a board's pairs, in pair order, each start first.
std::vector<EndPair> endPairsOf(const Board& board);

} // namespace pairpath
