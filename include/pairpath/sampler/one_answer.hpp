// Drawing boards with one answer directly, the attempts shared by two threads.
#pragma once

#include "pairpath/sampler/drawing.hpp"

namespace pairpath {

// drawSolvable for Answers::one, on two threads where it can have them.
std::optional<Board> drawWithOneAnswer(const CoverCounts& counts, std::int64_t maxAttempts);

} // namespace pairpath
