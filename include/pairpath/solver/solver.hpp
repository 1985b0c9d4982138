// The solver: boards written as the game shows them, read from a stream, each answered with its
// number of solutions and one of them.
#pragma once

#include <iosfwd>
#include <string_view>

namespace pairpath {

// Reads boards from `input`, named `name` in messages, and writes to `output`, for each board, a
// line "solutions: K" and, when K is not 0, one solution: each cell the digit of the pair whose
// path covers it. A board is its rows, each cell '.' or a digit from 1 to 9, cells parted by one
// blank (a blank may end the row); boards are parted by blank lines; sides are 2 to 8; each digit
// used appears twice, and the digits used are 1 to the number of pairs. Stops at the first line
// that breaks these rules, with one line on `errors`: "pairpath: NAME:LINE: what is wrong".
// Returns the exit status: 0 when every board has a solution, 1 when some board has none, 2 when
// the input is not boards.
int solveBoards(std::istream& input, std::string_view name, std::ostream& output,
                std::ostream& errors);

} // namespace pairpath
