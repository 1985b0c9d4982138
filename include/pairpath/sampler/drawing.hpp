// Drawing solvable boards directly, with the odds of drawing createArray boards until one can be
// solved; and its steps, open to the tests: drawing a cover uniformly, and the odds with which a
// placement is accepted.
#pragma once

#include "pairpath/sampler/cover_counts.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/sampler/random_bits.hpp"
#include "pairpath/sampler/second_covers.hpp"

#include <optional>
#include <vector>

namespace pairpath {

// A board drawn with the odds of drawing createArray boards until one has a full cover (with
// exactly one, for Answers::one), without that loop; uses std::rand. Empty when no board of this
// choice qualifies, or when `maxAttempts` attempts were all rejected.
std::optional<Board> drawSolvable(int size, int pairs, Answers answers = Answers::any,
                                  std::int64_t maxAttempts = 100'000'000);

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
// of the covers with those ends up to two, the slow part, says one.
bool isOnlyCoverOfItsEnds(const DrawnCover& cover, int side);

// A pairing's pairs numbered and oriented uniformly; the board of such a placement.
std::vector<EndPair> numberAndOrient(std::vector<EndPair> pairs, RandomBits& bits);
Board boardOfPlacement(const std::vector<EndPair>& placement, int side);

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

} // namespace pairpath
