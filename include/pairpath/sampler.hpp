// The frontier counts of covers by paths: drawing solvable boards directly, with the odds of
// drawing createArray boards until one can be solved, and counting a board's solutions.
#pragma once

#include "pairpath/board.hpp"
#include "pairpath/search.hpp"

#include <cstdint>
#include <optional>

namespace pairpath {

// The number of ways to cover every cell of a size x size grid (size 2 to 8) with exactly
// `paths` paths that share no cell, each of at least `shortest` cells (2 or 3).
CoverCount countCovers(int size, int paths, int shortest);

// A board drawn with the odds of drawing createArray boards until one has a full cover (with
// exactly one, for Answers::one), without that loop; uses std::rand. Empty when no board of this
// choice qualifies, or when `maxAttempts` attempts were all rejected.
std::optional<Board> drawSolvable(int size, int pairs, Answers answers = Answers::any,
                                  std::int64_t maxAttempts = 100'000'000);

// A board's solutions: how many ways there are to link every pair by a path from one endpoint
// to the other so that the paths fill the grid, and one of them, when there is any, as each
// cell's pair digit. Exact for every side from 2 to 8.
struct Solutions {
    CoverCount count = 0;
    Grid solution{};
};
Solutions solveBoard(const Board& board);
CoverCount countSolutions(const Board& board);

// True when `cover`, a full cover of a size x size board, shows at once that the board has
// another: a local change keeps every route's ends and fills every cell.
bool showsAnotherCover(const Cover& cover, int size);

} // namespace pairpath
