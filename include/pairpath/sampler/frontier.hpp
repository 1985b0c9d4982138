// Frontier words: the state of a row-by-row sweep over the cells of a grid covered by paths.
//
// The cells are visited row by row, and the side + 1 edges between visited and unvisited cells
// (the down edges of the last `side` cells visited and the right edge of the last one) form a
// frontier word. Each slot of the word says whether a path crosses that edge and how the
// crossing segments connect: both loose ends of one segment are an open and a close slot,
// matched like brackets (paths never cross, so they nest), and a segment whose other end is
// already a path's end is a tied slot. Filling one cell maps a word to at most three words.
#pragma once

#include "pairpath/sampler/steptable.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace pairpath {

// Slot j of a word is bits 4j to 4j + 3. Before the cell in column c is filled, slot c is the edge
// from its left neighbour and slot c + 1 the edge from the cell above; the slots before c are the
// down edges of this row's filled cells, the slots after c + 1 those of the row above.
using Word = std::uint64_t;

inline constexpr int slotBits = 4;
inline constexpr int maxSlots = maxSide + 1;

// Slot values.
inline constexpr unsigned noEdge = 0;
inline constexpr unsigned openEnd = 1;      // a loose end whose segment's other loose end is right
inline constexpr unsigned closeEnd = 2;     // the matching loose end
inline constexpr unsigned tiedEnd = 3;      // a segment whose other end is a path's end
inline constexpr unsigned newEnd = 4;       // a segment that is just its end cell (paths of three)
inline constexpr unsigned firstPairTag = 5; // tiedEnd, for the segments of one pair of many

constexpr unsigned slotOf(Word word, int slot) {
    return unsigned(word >> (slotBits * slot)) & 0xFU;
}
constexpr bool isTied(unsigned value) { return value >= tiedEnd; }

// What the cell being filled may be: a cell inside a path, and a path's end whose segment is
// tagged `endTag` (when not noEdge).
struct Role {
    bool inside = true;
    unsigned endTag = noEdge;
};

// The edges that leave a cell.
inline constexpr std::uint8_t downEdge = 1;
inline constexpr std::uint8_t rightEdge = 2;

// The cells linked to `cell` by the edges of a cover (downEdge and rightEdge bits leaving each
// cell): up to two, the others -1.
std::array<int, 2> linkedCells(const std::array<std::uint8_t, gridCells>& edges, int cell,
                               int side);

struct Fill {
    Word next = 0;
    bool closesPath = false; // a path got its second end in this cell
    std::uint8_t edges = 0;  // downEdge, rightEdge
};

using Fills = std::array<Fill, mostWays>;

// Every way to fill the cell in `column` of a grid of `side` columns, given the frontier word
// before it; returns how many there are.
int fillsOf(Word word, int column, int side, Role role, Fills& fills);

// The steps of a side worked out when asked, with the storage behind them.
struct WorkedSteps {
    StepTable table;
    std::vector<std::uint8_t> tied;
    std::vector<Steps> steps;
};

// The steps of every column of a side: paths of at least `shortest` cells (2 or 3).
WorkedSteps workOutSteps(int side, int shortest);

} // namespace pairpath
