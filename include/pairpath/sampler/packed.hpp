// Records packed into 32-bit words, so that the sampler's large tables stay in cache: each
// field is a run of bits, and the layouts are stated once here.
#pragma once

#include <cstdint>

namespace pairpath {

// `width` bits of a word, from bit `shift`.
struct Field {
    int shift;
    int width;

    constexpr std::uint32_t mask() const { return (std::uint32_t{1} << width) - 1; }
    constexpr std::uint32_t of(std::uint32_t word) const { return word >> shift & mask(); }
    constexpr std::uint32_t holding(std::uint32_t value) const { return value << shift; }
    constexpr int end() const { return shift + width; }
};

// A word's number within its column, or the index of a count within its layer: up to 2^24.
inline constexpr Field indexField{0, 24};

// One way to fill a cell: the word after it, whether a path got its second end, the edges
// leaving the cell.
inline constexpr Field stepNextField = indexField;
inline constexpr Field stepClosesField{indexField.end(), 1};
inline constexpr Field stepEdgesField{stepClosesField.end(), 2};

// Where a word's counts lie in its layer: the first, the finished paths of the first, how many.
inline constexpr Field spanFirstField = indexField;
inline constexpr Field spanLowestField{indexField.end(), 4};
inline constexpr Field spanSizeField{spanLowestField.end(), 4};

// A byte's entry in the word numbering: the words it puts before, the depth after the byte.
inline constexpr Field numberedBeforeField = indexField;
inline constexpr Field depthAfterField{indexField.end(), 8};

static_assert(stepEdgesField.end() <= 32 && spanSizeField.end() == 32 &&
              depthAfterField.end() == 32);

} // namespace pairpath
