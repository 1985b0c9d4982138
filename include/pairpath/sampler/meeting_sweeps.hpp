// Covers with fixed ends counted up to two, by a sweep down from the top row and one up from the
// bottom row that meet between two rows: the question of a board with one solution, answered
// with far fewer words than a single sweep needs. Cells here are numbered row * side + column.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/sampler/fixed_ends.hpp"

#include <vector>

namespace pairpath {

// How many covers of a side x side grid join exactly the given end pairs (as coversJoining
// counts them): 0, 1, or 2 for two or more.
int coversJoiningUpToTwo(const std::vector<EndPair>& pairs, int side);

// A board's solutions counted so: 0, 1, or 2 for two or more.
int solutionsUpToTwo(const Board& board);

} // namespace pairpath
