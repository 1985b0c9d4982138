// Looking for a puzzle: for each choice of side and pair count, the way its boards are found,
// drawing candidates until one can be solved or drawing a solvable board directly.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/reason/trials.hpp"

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

namespace pairpath {

inline constexpr std::int64_t candidateLimit = 25'000'000;

// The outcome of looking for a puzzle: the first candidate with a full cover, if any was found
// within the limit, and how many candidates were drawn.
struct PuzzleHunt {
    std::optional<Board> puzzle;
    std::int64_t candidates = 0;
};

// A hunt as another thread sees it: how many candidates (or attempts) it has tried so far, and a
// stop it looks at between them, after which it ends at once, with no puzzle.
struct HuntWatch {
    std::atomic<std::int64_t> tried{0};
    std::atomic<bool> stop{false};
};

// True for the choices whose boards are drawn directly (drawSolvable) rather than by drawing
// candidates until one qualifies.
bool isDrawnDirectly(int size, int pairs, Answers answers = Answers::any);

// The grades whose one-answer boards this choice deals in good time, easy first: the others are
// too rare among its boards.
std::vector<Grade> gradesOffered(int size, int pairs);

// Finds a puzzle: a board with a full cover, or with exactly one for Answers::one. For most
// choices: draws candidates until one qualifies, or until `maxCandidates` have failed. For the
// choices drawn directly: a drawSolvable board, with as many attempts at most, and no candidates
// counted. When `progress` is given and the wait passes one second, reports how far it has got;
// `watch`, when given, is kept up to date and may stop it. A `grade` asks for boards with one
// solution and that grade, with the odds of the loop given both.
PuzzleHunt findPuzzle(int size, int pairs, std::ostream* progress, Answers answers = Answers::any,
                      std::int64_t maxCandidates = candidateLimit, HuntWatch* watch = nullptr,
                      std::optional<Grade> grade = std::nullopt);

} // namespace pairpath
