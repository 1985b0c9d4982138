// Looking for a puzzle: for each choice of side and pair count, the way its boards are found,
// drawing candidates until one can be solved or drawing a solvable board directly.
#pragma once

#include "pairpath/board.hpp"

#include <cstdint>
#include <iosfwd>
#include <optional>

namespace pairpath {

inline constexpr std::int64_t candidateLimit = 25'000'000;

// The outcome of looking for a puzzle: the first candidate with a full cover, if any was found
// within the limit, and how many candidates were drawn.
struct PuzzleHunt {
    std::optional<Board> puzzle;
    std::int64_t candidates = 0;
};

// True for the choices whose boards are drawn directly (drawSolvable) rather than by drawing
// candidates until one has a full cover.
bool isDrawnDirectly(int size, int pairs);

// Finds a puzzle. For most choices: draws candidates until one has a full cover, or until
// `maxCandidates` have failed; when `progress` is given and the wait passes one second, reports
// how far it has got there. For the choices drawn directly: one drawSolvable board, and no
// candidates counted.
PuzzleHunt findPuzzle(int size, int pairs, std::ostream* progress,
                      std::int64_t maxCandidates = candidateLimit);

} // namespace pairpath
