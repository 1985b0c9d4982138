// The board: the record every layer shares, its limits, and the numberings of a cell.
//
// Rows and columns count from 0; row 0 is the top line. A cell has four numberings, each where
// it serves best:
// - the cell code, row * 10 + column: the endpoint table, the path nodes and the move rules;
// - the grid index, row * gridStride + column (stride 8 whatever the side): the grid's bytes,
//   and the fast search's bit masks, so that a neighbour is one shift;
// - the reference search's bit, row * size + column: its occupancy word;
// - the sampler's cell, row * size + column as well: its frontier runs over the cells in order.
// While createArray places endpoints it also uses working codes, (row + 1) * 10 + column + 1,
// so that 0 can mark an empty entry; they never leave it.
#pragma once

#include <array>
#include <cstdint>

namespace pairpath {

inline constexpr int gridStride = 8; // row stride of the grid, whatever the side
inline constexpr int minSide = 5;
inline constexpr int maxSide = 8;
inline constexpr int minPairs = 4;
inline constexpr int maxPairs = 9;
inline constexpr char emptyCell = '0';

// The most pairs a grid of this side can hold: every route needs an empty cell of its own.
constexpr int mostPairsFor(int side) { return side * side / 3; }

inline constexpr std::size_t gridCells = 64; // 8 rows of gridStride cells
using Grid = std::array<char, gridCells>;
using Endpoints = std::array<std::int32_t, 2 * maxPairs + 1>;

// One puzzle and, during play, its state. Inside the playing area a cell holds '0' (empty) or
// the digit of the pair that holds it; every byte outside the playing area is zero. Pair p's
// start endpoint is endpoints[2p - 2], its target endpoint endpoints[2p - 1]; entries from
// `count` on are 0.
struct Board {
    std::int32_t size = 0;
    Grid grid{};
    std::int32_t count = 0; // number of endpoints: twice the number of pairs
    Endpoints endpoints{};
};

// Exact numbers of solutions and covers: on an 8 x 8 grid they pass 2^64.
__extension__ using CoverCount = unsigned __int128;

// The puzzles wanted: any that can be solved, or only those with exactly one solution.
enum class Answers { any, one };

constexpr int cellCode(int row, int column) { return row * 10 + column; }
constexpr int rowOf(int code) { return code / 10; }
constexpr int columnOf(int code) { return code % 10; }
constexpr int gridIndex(int code) { return rowOf(code) * gridStride + columnOf(code); }
constexpr char digitOf(int pair) { return static_cast<char>(emptyCell + pair); }
constexpr int startOf(const Endpoints& endpoints, int pair) {
    return endpoints[std::size_t(2 * pair - 2)];
}
constexpr int targetOf(const Endpoints& endpoints, int pair) {
    return endpoints[std::size_t(2 * pair - 1)];
}

// A step to a neighbouring cell changes the cell code by one of these.
inline constexpr int codeUp = cellCode(-1, 0);
inline constexpr int codeDown = cellCode(1, 0);
inline constexpr int codeLeft = cellCode(0, -1);
inline constexpr int codeRight = cellCode(0, 1);

// True when two cells of the playing area are side by side: their codes differ by one step.
constexpr bool besideEachOther(int code, int otherCode) {
    const int apart = code - otherCode;
    return apart == codeUp || apart == codeDown || apart == codeLeft || apart == codeRight;
}

constexpr char cellAt(const Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }
constexpr char& cellAt(Grid& grid, int code) { return grid[std::size_t(gridIndex(code))]; }

} // namespace pairpath
