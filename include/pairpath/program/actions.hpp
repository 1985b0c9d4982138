// What the program does besides playing: solving the boards of a file, showing the records of
// games won, and its last words when memory runs out.
#pragma once

#include <iosfwd>
#include <string>

namespace pairpath {

// Solves the boards of `file`, "-" for standard input; returns the exit status: 0, 1 when a board
// has no solution, 2 when the file cannot be read or holds something other than boards.
int solveFile(const std::string& file);

// Writes the records of games won to `out` for --records, one line a choice, or a line saying no
// game was won; what keeps them from being read goes to `err`. Returns the exit status: 0, or 1
// after a line on `err`.
int showRecords(std::ostream& out, std::ostream& err);

// The new-handler: ends the program when memory runs out, wherever it is asked for. The terminal is
// given back first, then "Out of memory!" on standard error, and status 1. Nothing here allocates.
[[noreturn]] void outOfMemory() noexcept;

} // namespace pairpath
