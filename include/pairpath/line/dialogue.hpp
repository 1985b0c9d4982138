// The line dialogue: the coloured board, the drawing of one pair's path a key per line, and the
// game loop with its win test. Its texts and bytes are those the game has always written.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/play/rules.hpp"

#include <string>

namespace pairpath {

// The board display colours each pair's digit unless main turns colours off, once, before the
// first drawing. Without colours it writes the same text with every escape sequence left out.
void useColours(bool on);

// The line dialogue's board: every cell as its mark and a blank, each pair in its colour.
void changeColor(std::string& frame, char cell);
void printBoard(const Grid& grid, int size);

// Plays the game on `live` with the path table `paths` until it is won.
void runGame(Board& live, Paths& paths);
// Plays a whole game on a copy of `board`, owning its path table.
void start(Board board);

} // namespace pairpath
