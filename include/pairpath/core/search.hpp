// The fast full-cover search that the game uses to decide whether a board can be solved.
#pragma once

#include "pairpath/core/board.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace pairpath {

// A full cover: for each pair, in pair order, the cell codes of its route from the start
// endpoint to the target endpoint, both included.
using Cover = std::vector<std::vector<int>>;

// Decides the same question as `solution`, fast, and returns the routes it found.
std::optional<Cover> findCover(const Board& board);

// The same search, giving up after `maxStates` states: `finished` is false when it gave up.
struct CoverSearch {
    std::optional<Cover> cover;
    bool finished = true;
};
CoverSearch findCoverWithin(const Board& board, std::int64_t maxStates);

// The same search counting full covers, up to `most`: `covers` is the exact number when it is
// below `most`, and `cover` the first one found. `finished` is false when it gave up after
// `maxStates` states; `covers` is then only a lower bound.
struct CoverTally {
    std::optional<Cover> cover;
    int covers = 0;
    bool finished = true;
};
CoverTally countCoversWithin(const Board& board, int most, std::int64_t maxStates);

} // namespace pairpath
