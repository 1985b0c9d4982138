// The full-screen game: the same puzzles and the same rules as the line dialogue, played with
// single keys on the terminal's alternate screen. The rules come from play.cpp, the terminal
// care from terminal.cpp; this module holds the game's state between keys and draws it.
#pragma once

#include "commandline.hpp"
#include "pairpath.hpp"
#include "terminal.hpp"

#include <chrono>
#include <optional>
#include <string>

namespace pairpath {

// Plays full-screen games until the player quits, with the grid side and pair count of
// `options` where it gives them (asked on screen otherwise), and returns the exit status: 0 when
// the player quits; 1 when standard input ends ("Input ended." on standard error) or memory runs
// out; 2 when standard input or output is not a terminal (one line on standard error).
int playFullScreen(const Options& options);

// --- One game, apart from the screen ---

enum class Asking { nothing, eraseOther, redraw, quit };

// One full-screen game: the live board, its path table, and what the status line shows. Keys
// change it through pressKey only; it owns its path nodes.
struct FullScreenGame {
    explicit FullScreenGame(const Board& puzzle);
    ~FullScreenGame();
    FullScreenGame(const FullScreenGame&) = delete;
    FullScreenGame& operator=(const FullScreenGame&) = delete;
    FullScreenGame(FullScreenGame&&) = delete;
    FullScreenGame& operator=(FullScreenGame&&) = delete;

    Board live;
    Paths paths{};
    Drawing drawing; // pair 0 while no path is being drawn
    Asking asking = Asking::nothing;
    int asked = 0;      // the pair the question names
    int askedCell = -1; // for Asking::eraseOther: the cell the step waits to enter
    std::string message;
    int moves = 0; // steps taken into a cell
    int hints = 0; // H pressed while a path was being drawn
    bool won = false;
    bool quit = false; // the player answered yes to "Quit? (Y/N)"
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration playTime{}; // from the start to the win
};

// Applies one key: a digit chooses a pair, arrows and W/A/S/D move, B or Backspace steps back,
// H shows a step toward a solution, Q abandons the path or asks to quit, Y/N (or Esc for N)
// answer the question asked.
void pressKey(FullScreenGame& game, KeyPress press);

} // namespace pairpath
