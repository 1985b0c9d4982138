// The full screen's game between keys: the live board, its path table, the question that
// waits, and what the status line shows. Keys change it through pressKey only.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/play/position.hpp"
#include "pairpath/play/rules.hpp"
#include "pairpath/reason/trials.hpp"
#include "pairpath/terminal/keys.hpp"

#include <chrono>
#include <string>
#include <vector>

namespace pairpath {

// A change of the paths that U takes back and R makes again: the positions before and after it,
// and what it was, in words for the status line.
struct Change {
    Position before;
    Position after;
    std::string what;
};

// One full-screen game; it owns its path nodes.
struct FullScreenGame {
    explicit FullScreenGame(const Board& puzzle);
    ~FullScreenGame();
    FullScreenGame(const FullScreenGame&) = delete;
    FullScreenGame& operator=(const FullScreenGame&) = delete;
    FullScreenGame(FullScreenGame&&) = delete;
    FullScreenGame& operator=(FullScreenGame&&) = delete;

    Board live;
    Paths paths{};
    Drawing drawing;   // pair 0 while no path is being drawn
    Question question; // the question that waits for Y or N
    std::string message;
    std::string note; // after the win, in place of the counts: why the records were not kept
    CoverCount solutions = 0;        // of the puzzle, as counted when it was dealt
    Answers answers = Answers::any;  // the puzzles asked for
    std::optional<Grade> difficulty; // the grade asked for, if any
    std::optional<Grade> grade;      // the puzzle's, when it has one solution
    std::optional<Date> daily;       // the day, for the puzzle of a day
    int moves = 0;                   // steps taken into a cell
    int hints = 0;                   // H pressed while a path was being drawn
    bool won = false;
    bool quit = false;              // the player answered yes to "Quit? (Y/N)"
    bool dragging = false;          // the mouse button, held, draws on the path being drawn
    int pressedCell = -1;           // the cell whose press asked the redraw question
    std::vector<Change> done;       // the changes U takes back, the last one last
    std::vector<Change> undone;     // the changes R makes again, the last one taken back last
    std::optional<Position> hinted; // where the last hint was counted
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration paused{};   // stopped since the start: not played
    std::chrono::steady_clock::duration playTime{}; // from the start to the win
};

int pairsOf(const FullScreenGame& game);

// The path cells of `pair`, in the order they were drawn.
std::vector<int> pathCells(const FullScreenGame& game, int pair);

// The letter of a plain key, upper case, Ctrl+D standing for Q; 0 for a named key.
char letterOf(KeyPress press);

// Applies one key: a digit chooses a pair, arrows and W/A/S/D move, B or Backspace steps back,
// H shows a step toward a solution, U takes back the last change of the paths and R makes it
// again, Q abandons the path or asks to quit, Y/N (or Esc for N) answer the question asked. Any
// key ends a mouse drag.
void pressKey(FullScreenGame& game, KeyPress press);

// Applies the mouse on cell `code` of the board (-1: outside it). A press on an endpoint starts
// its pair's path there; on the path being drawn, it cuts the path back to that cell and takes
// it up; on a finished path, it asks to take that path up again. A drag goes on, or back, by
// the same rules as the keys, and stops where they ask a question; a release or a key ends it.
void pressMouse(FullScreenGame& game, MouseAction action, int code);

// The time played: from the start to the win, or to `now`, less the time stopped.
std::chrono::steady_clock::duration playedTime(const FullScreenGame& game,
                                               std::chrono::steady_clock::time_point now);

// The status line's counts: the pair drawn, pairs connected, cells filled, moves, hints and the
// time played until `now`.
std::string countsText(const FullScreenGame& game, std::chrono::steady_clock::time_point now);

} // namespace pairpath
