// The sampler's steps, open to its tests: drawing a cover uniformly, the second covers a drawn
// cover shows at once, and the odds with which a placement is accepted.
#pragma once

#include "cover_counts.hpp"
#include "fixed_ends.hpp"
#include "random_bits.hpp"

#include <optional>
#include <vector>

namespace pairpath {

// A cover as drawn: the edges leaving each cell (downEdge and rightEdge bits), and the end pairs
// of its paths.
struct DrawnCover {
    std::array<std::uint8_t, gridCells> edges{};
    std::vector<EndPair> pairs;
};

// A cover drawn uniformly among all those `counts` counts; empty as soon as a path turns out to
// have its ends side by side.
std::optional<DrawnCover> drawCover(const CoverCounts& counts, RandomBits& bits);

// At least how many other covers have the same end pairs as `cover`.
int otherCoversAtLeast(const DrawnCover& cover, int side);

// The odds that accept a placement (end pairs in pair order, each start first) with probability
// proportional to the probability that createArray draws it: `accept` out of `outOf`.
struct Odds {
    std::uint64_t accept = 1;
    std::uint64_t outOf = 1;
};
Odds acceptanceOdds(const std::vector<EndPair>& placement, int side);
// True with probability odds.accept / odds.outOf.
bool accepts(const Odds& odds, RandomBits& bits);

} // namespace pairpath
