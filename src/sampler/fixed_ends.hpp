// Covers with fixed ends: how many covers of the grid join exactly the given pairs of cells.
// Cells here are numbered row * side + column.
#pragma once

#include "pairpath/sampler.hpp"

#include <vector>

namespace pairpath {

// The two end cells of one path.
struct EndPair {
    int first = 0;
    int second = 0;
};

// The number of covers of a side x side grid whose paths join exactly the given end pairs: each
// path runs between the two cells of one pair, and the paths fill every cell.
CoverCount coversJoining(const std::vector<EndPair>& pairs, int side);

} // namespace pairpath
