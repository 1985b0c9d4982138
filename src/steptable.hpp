// The ways to fill one cell from each frontier word, column by column, with which the sampler
// counts covers. They depend on the grid side alone, so those of the largest side are worked out
// once, when the game is built: the program pairpath_steptable, made of the same code, writes
// them as C++ source that is compiled in (builtSteps). Any other side is worked out when asked.

#pragma once

#include "pairpath.hpp"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

namespace pairpath {

// One way to fill a cell, in 32 bits so that a column's ways stay in cache: the number of the
// word after the cell among those of the next column (24 bits), whether a path got its second end
// (1 bit) and the edges leaving the cell (2 bits).
struct Step {
    std::uint32_t bits = 0;

    static constexpr Step of(std::uint32_t next, bool closes, std::uint8_t edges) {
        return {next | (closes ? 1U : 0U) << 24 | std::uint32_t{edges} << 25};
    }
    constexpr std::uint32_t next() const { return bits & 0xFFFFFFU; }
    constexpr int closes() const { return int(bits >> 24 & 1U); }
    constexpr std::uint8_t edges() const { return std::uint8_t(bits >> 25); }
};

struct Steps {
    std::array<Step, 3> step;
    int count = 0;
};

// The steps of one side where paths may have two cells: each column's words in turn, numbered
// from 0 in word order within their column.
struct StepTable {
    int side = 0;                               // 0: none
    std::array<std::uint32_t, maxSide> words{}; // how many stand before each column
    std::span<const std::uint8_t> tied;         // the tied slots of each word
    std::span<const Steps> steps;               // the ways to fill the cell from each word
};

// The table compiled into the game; side 0 in pairpath_steptable itself.
extern const StepTable builtSteps;

// Writes C++ source that defines builtSteps as the table of `side`.
void writeStepTable(std::ostream& out, int side);

} // namespace pairpath
