// A hint in words: the step it gives and its reason, from the game's table of texts.
#pragma once

#include "pairpath/reason/hints.hpp"

#include <string>

namespace pairpath {

// The reason for a move, as a sentence: "Only way on for 3.", "Else row 2, col 4 would be cut
// off.", "3 left fails: 5 would be boxed in."
std::string reasonText(const Deduction& deduction);

// The whole hint: the step and its reason, where a path leaves the solution, or that every pair
// is linked; rows and columns counted from 0.
std::string hintText(const Hint& hint);

} // namespace pairpath
