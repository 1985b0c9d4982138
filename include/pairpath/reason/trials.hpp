// The reasoning solver's levels 3 and 4, trials and trials within trials; a board solved by
// reason, its routes, and the grade of a board with one solution.
#pragma once

#include "pairpath/reason/state.hpp"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pairpath {

enum class Grade { easy, medium, hard, expert };

std::string_view gradeName(Grade grade); // "easy", "medium", "hard", "expert"
std::optional<Grade> gradeOfName(std::string_view name);

// The most trials a medium board needs; a board that needs more is hard.
inline constexpr int mostMediumTrials = 2;

// How far the reasoning may go.
struct ReasonLimits {
    int depth = 2;                    // the deepest trials: 0 for levels 1 and 2 alone
    bool stopAtStep = false;          // stop after the first move taken
    std::int64_t trialLimit = 20'000; // trials tried, at any depth, before giving up
};

// What the reasoning found.
struct Reasoning {
    std::vector<Deduction> deductions; // in the order they were made
    RouteState state;                  // where the reasoning stopped
    bool solved = false;               // every pair finished and every cell filled
    bool impossible = false;           // the state has no solution
    int trials = 0;                    // moves ruled out by level 3
    int nestedTrials = 0;              // by level 4
};

Reasoning reasonFrom(const RouteState& start, const ReasonLimits& limits);
Reasoning reasonOut(const Board& board, const ReasonLimits& limits = {});

// The grade of a board with exactly one solution: easy when levels 1 and 2 solve it, medium
// when at most mostMediumTrials trials help them, hard with more, expert when trials alone do
// not finish it. A pure function of the board.
Grade gradeBoard(const Board& board);

// The board's routes, each from its start endpoint to its target: by reason when the reasoning
// finishes, else by the fast search; none when the board has no solution.
std::optional<Cover> solutionRoutes(const Board& board);

} // namespace pairpath
