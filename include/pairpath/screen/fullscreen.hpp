// The full-screen game: the same puzzles and the same rules as the line dialogue, played with
// single keys on the terminal's alternate screen.
#pragma once

#include "pairpath/program/commandline.hpp"

namespace pairpath {

// Plays full-screen games until the player quits, with the grid side and pair count of
// `options` where it gives them (asked on screen otherwise), and returns the exit status: 0 when
// the player quits; 1 when standard input ends ("Input ended." on standard error) or memory runs
// out; 2 when standard input or output is not a terminal (one line on standard error).
int playFullScreen(const Options& options);

} // namespace pairpath
