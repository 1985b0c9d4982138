// The ways to fill one cell from each frontier word, column by column, with which the sampler
// counts covers. They depend on the grid side alone, so those of the largest side are worked out
// once, when the game is built: the tool pairpath_steptable, built from the frontier code alone,
// writes them as C++ source that is compiled in (builtSteps). Any other side is worked out when
// asked.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/sampler/packed.hpp"

#include <array>
#include <cstdint>
#include <span>

namespace pairpath {

// One way to fill a cell, in 32 bits so that a column's ways stay in cache.
struct Step {
    std::uint32_t bits = 0;

    static constexpr Step of(std::uint32_t next, bool closes, std::uint8_t edges) {
        return {stepNextField.holding(next) | stepClosesField.holding(closes ? 1U : 0U) |
                stepEdgesField.holding(edges)};
    }
    // The number of the word after the cell among those of the next column.
    constexpr std::uint32_t next() const { return stepNextField.of(bits); }
    // 1 when a path got its second end in the cell.
    constexpr int closes() const { return int(stepClosesField.of(bits)); }
    // The edges leaving the cell.
    constexpr std::uint8_t edges() const { return std::uint8_t(stepEdgesField.of(bits)); }
};

// Ways to fill one cell from one word, at most: a path's cell going on down or right, or
// taking in the segments on its left and above, or an end's cell.
inline constexpr std::size_t mostWays = 3;

struct Steps {
    std::array<Step, mostWays> step;
    int count = 0;

    std::span<const Step> ways() const { return {step.data(), std::size_t(count)}; }
};

// The steps of one side: each column's words in turn, numbered from 0 in word order within
// their column.
struct StepTable {
    int side = 0;                               // 0: none
    std::array<std::uint32_t, maxSide> words{}; // how many stand before each column
    std::span<const std::uint8_t> tied;         // the tied slots of each word
    std::span<const Steps> steps;               // the ways to fill the cell from each word
};

// The table compiled into the game, for the largest side, where paths may have two cells.
extern const StepTable builtSteps;

} // namespace pairpath
