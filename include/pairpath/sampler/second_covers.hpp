// Second covers: what one cover shows at once about other covers that join the same ends, without
// counting. Cells here are numbered row * side + column.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/core/search.hpp"

#include <array>

namespace pairpath {

// Each cell's path, and its place along it from the path's first end.
struct Places {
    std::array<int, gridCells> pathOf{};
    std::array<int, gridCells> place{};
};

// How many other covers at least the bends of `places` show: where a path turns round a 2 x 2
// square (it visits the square's four cells one after another) and another path runs along the
// far side of the turn's two middle cells, that other path can take those two cells in, and the
// first go straight across. Each such turn gives a different cover with the same end pairs.
int otherCoversAtLeast(const Places& places, int side);

// True when a path passes along two opposite sides of a 2 x 2 square in the same direction:
// joining the square's other sides instead, and running the path between them backwards, gives
// another cover with the same end pairs.
bool hasParallelPass(const Places& places, int side);

// True when `cover`, a full cover of a size x size board (cells as cell codes), shows at once
// that the board has another: a local change keeps every route's ends and fills every cell.
bool showsAnotherCover(const Cover& cover, int size);

} // namespace pairpath
