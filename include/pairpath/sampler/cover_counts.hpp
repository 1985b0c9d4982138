// The cover counts: for every cell boundary of a sweep over the grid, every frontier word that
// can stand there and every number of finished paths it can be met with, the number of ways to
// fill the rest of the grid with exactly the wanted number of paths. They give the number of
// covers of the grid, and let a cover be drawn uniformly, cell by cell.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/sampler/arena.hpp"
#include "pairpath/sampler/frontier.hpp"

#include <cstring>
#include <vector>

namespace pairpath {

// The number of ways to cover every cell of a size x size grid (size 2 to 8) with exactly
// `paths` paths that share no cell, each of at least `shortest` cells (2 or 3).
CoverCount countCovers(int size, int paths, int shortest);

// Where one word's counts lie in its layer: the index of its first count, the finished paths of
// that count, and how many counts it has (0 when none).
struct Span {
    std::uint32_t bits = 0;

    static Span of(std::size_t first, int lowest, int size) {
        return {spanFirstField.holding(std::uint32_t(first)) |
                spanLowestField.holding(std::uint32_t(lowest)) |
                spanSizeField.holding(std::uint32_t(size))};
    }
    std::size_t first() const { return spanFirstField.of(bits); }
    int lowest() const { return int(spanLowestField.of(bits)); }
    int size() const { return int(spanSizeField.of(bits)); }
};

// The counts of a layer, in the order of the words, each in as few bytes as the layer's largest
// count needs: counts near the bottom of the grid are small, and the fewer bytes the counts take,
// the fewer pages the build has to touch.
struct Counts {
    std::uint8_t* bytes = nullptr;
    int width = 0;          // bytes per count: 1 to 8, or 16
    std::uint64_t mask = 0; // of the low 64 bits of a count
    int largest = 0;        // bit width of the largest count

    std::uint64_t low(std::size_t index) const {
        std::uint64_t value = 0;
        std::memcpy(&value, bytes + index * std::size_t(width), sizeof value);
        return value & mask;
    }
    CoverCount count(std::size_t index) const {
        if (width != 16) return low(index);
        std::uint64_t high = 0;
        std::memcpy(&high, bytes + index * std::size_t(width) + 8, sizeof high);
        return CoverCount{high} << 64 | low(index);
    }
};

// The completions of one cell boundary; a word's counts run from its least number of finished
// paths to its greatest.
struct Layer {
    Span* spans = nullptr; // per word of the column
    Counts counts;

    CoverCount completions(std::uint32_t word, int finished) const {
        const Span span = spans[word];
        const int at = finished - span.lowest();
        if (at < 0 || at >= span.size()) return 0;
        return counts.count(span.first() + std::size_t(at));
    }
};

// The words that can stand before a cell of one column, numbered from 0 in word order (so the
// empty word is 0), and the ways to fill the cell from each.
struct Column {
    std::uint32_t words = 0;
    const std::uint8_t* tied = nullptr; // tied slots of each word
    const Steps* steps = nullptr;       // of each word
};

struct CoverCounts {
    int side = 0;
    int paths = 0;
    int shortest = 2;   // cells of the shortest path allowed: 2, or 3
    WorkedSteps worked; // the steps, where none are compiled in
    std::vector<Column> columns;
    std::vector<Layer> layers; // layer i: before cell i; layer side * side: the grid is full
    Arena arena;               // the spans and the counts

    const Steps& stepsOf(int column, std::uint32_t word) const {
        return columns[std::size_t(column)].steps[word];
    }
    CoverCount total() const { return layers.front().completions(0, 0); }
};

// The counts of a choice, kept for the next call with the same choice.
const CoverCounts& coverCountsFor(int side, int paths, int shortest);

} // namespace pairpath
