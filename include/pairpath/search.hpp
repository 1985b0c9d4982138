// The fast full-cover search that the game uses to decide whether a board can be solved.
#pragma once

#include "pairpath/board.hpp"

#include <optional>
#include <vector>

namespace pairpath {

// A full cover: for each pair, in pair order, the cell codes of its route from the start
// endpoint to the target endpoint, both included.
using Cover = std::vector<std::vector<int>>;

// Decides the same question as `solution`, fast, and returns the routes it found.
std::optional<Cover> findCover(const Board& board);

} // namespace pairpath
