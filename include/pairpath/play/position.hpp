// A game's position as plain values: what a game in progress must keep to be taken back (undo and
// redo) or taken up again (a saved game), without its path lists' pointers.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/play/rules.hpp"

#include <array>
#include <vector>

namespace pairpath {

// The endpoints as they stand (a press on a target endpoint makes it its pair's start), each
// pair's path cells in the order they were drawn, the pairs connected, and the pair being drawn.
struct Position {
    Endpoints endpoints{};
    std::array<std::vector<int>, maxPairs> cells;
    unsigned connected = 0; // bit p - 1 for pair p
    int drawing = 0;        // 0 while no path is being drawn
    bool operator==(const Position&) const = default;
};

Position positionOf(const Board& live, const Paths& paths, const Drawing& drawing);

// Sets the game to `position`: the endpoints, the grid and the path lists, whose old nodes are
// released. The position must be one of the same puzzle.
void setPosition(Board& live, Paths& paths, Drawing& drawing, const Position& position);

// Whether `position` can stand on `puzzle`: its endpoints are the puzzle's, each pair's either
// way round; every path runs from its start a step at a time over cells no other path or endpoint
// holds; a connected path ends beside its target, and only the pair being drawn is neither
// connected nor empty. Used to trust a saved game.
bool fitsPuzzle(const Position& position, const Board& puzzle);

} // namespace pairpath
