// Puzzle creation: the random generator, the reference solvability search that decides by
// brute force whether a board can be solved, and the plain dump of a board.
#pragma once

#include "pairpath/core/board.hpp"

#include <cstdint>
#include <optional>

namespace pairpath {

// One random candidate: `pairs` pairs of endpoints on distinct cells of a size x size grid,
// no pair's two endpoints side by side. Draws two std::rand values per candidate cell.
Board createArray(int size, int pairs);

// Reference solvability search: 1 when every pair can be linked by non-crossing routes over
// empty cells that together cover the whole playing area, else 0. Exhaustive and unbounded.
int solution(Board board);

// The same search with at most `maxCalls` search steps; empty when the budget ran out.
std::optional<int> solutionWithin(const Board& board, std::int64_t maxCalls);

// Occupancy mask of the reference search: bit row * size + column set for every held cell.
std::uint64_t exchange(const Grid& grid, int size);

// One step of the reference search (recursive): steps onto (row, column) while routing the
// current pair toward its target endpoint. Non-zero when a full cover was completed below.
std::uint64_t pointTpoint(std::uint64_t mask, int row, int column, int targetRow, int targetColumn,
                          int size, int pairs, std::uint64_t fullMask, const Endpoints& endpoints);

// Plain dump of a board, without colours.
void print(Board board);

} // namespace pairpath
