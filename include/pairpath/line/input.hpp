// The line dialogue's input: the choice reader, the only code that reads standard input in the
// line dialogue, and the start-up questions asked with it.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/play/session.hpp"

#include <string_view>

namespace pairpath {

// Reads lines until one is exactly one character of `allowed` followed by a newline, and
// returns that character. Every other line is answered with a message and consumed whole.
char getUserinput(std::string_view allowed);

// Writes `text` as a line, a question or prompt that an answer follows: after a stop (Ctrl+Z, then
// fg) it is written again.
void prompt(std::string_view text);

// Asks the start-up questions that the session still needs answered.
void askStartQuestions(Session& session);

// Asks what the session still needs and deals a puzzle, asking again while none is found.
Board startPuzzle(Session& session);

} // namespace pairpath
