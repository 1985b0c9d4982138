// Drawing solvable boards directly, with the odds of drawing createArray boards until one can
// be solved, and counting the covers of a grid.
#pragma once

#include "pairpath/board.hpp"

#include <cstdint>
#include <optional>

namespace pairpath {

// Exact numbers of covers: on an 8 x 8 grid they pass 2^64.
__extension__ using CoverCount = unsigned __int128;

// The number of ways to cover every cell of a size x size grid (size 2 to 8) with exactly
// `paths` paths that share no cell, each of at least `shortest` cells (2 or 3).
CoverCount countCovers(int size, int paths, int shortest);

// A solvable board drawn with the odds of drawing createArray boards until one has a full
// cover, without that loop; uses std::rand. Empty when no board of this choice is solvable, or
// when `maxAttempts` attempts were all rejected.
std::optional<Board> drawSolvable(int size, int pairs, std::int64_t maxAttempts = 100'000'000);

} // namespace pairpath
