// The sampler's steps, open to its tests: drawing a cover uniformly, the second covers a drawn
// cover shows at once, and the odds with which a placement is accepted.
#pragma once

#include "cover_counts.hpp"
#include "fixed_ends.hpp"
#include "random_bits.hpp"
#include "second_covers.hpp"

#include <optional>
#include <vector>

namespace pairpath {

// A cover as drawn: the edges leaving each cell (downEdge and rightEdge bits), and the end pairs
// of its paths.
struct DrawnCover {
    std::array<std::uint8_t, gridCells> edges{};
    std::vector<EndPair> pairs;
};

// The cover numbered `pick` (below counts.total()) among all those `counts` counts, which a
// uniform pick makes a uniform cover; empty as soon as a path turns out to have its ends side
// by side.
std::optional<DrawnCover> drawCover(const CoverCounts& counts, CoverCount pick);

// Whether `cover` is the only cover that joins its ends: it shows no other at once, and the count
// of the covers with those ends, the slow part, says one.
bool isOnlyCoverOfItsEnds(const DrawnCover& cover, int side);

// A pairing's pairs numbered and oriented uniformly; the board of such a placement.
std::vector<EndPair> numberAndOrient(std::vector<EndPair> pairs, RandomBits& bits);
Board boardOf(const std::vector<EndPair>& placement, int side);

// Each cell's path and its place along it.
Places placesOf(const DrawnCover& cover, int side);

// The odds that accept a placement (end pairs in pair order, each start first) with probability
// proportional to the probability that createArray draws it: `accept` out of `outOf`.
struct Odds {
    std::uint64_t accept = 1;
    std::uint64_t outOf = 1;
};
Odds acceptanceOdds(const std::vector<EndPair>& placement, int side);
// True with probability odds.accept / odds.outOf.
bool accepts(const Odds& odds, RandomBits& bits);

// drawSolvable for Answers::one, on two threads where it can have them.
std::optional<Board> drawWithOneAnswer(const CoverCounts& counts, std::int64_t maxAttempts);

} // namespace pairpath
