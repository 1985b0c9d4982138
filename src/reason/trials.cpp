// The reasoning solver's levels 3 and 4, and what is built on them: a board solved by reason, its
// routes, and its grade.
//
// - Trial (level 3): when levels 1 and 2 find nothing more, take one move of a loose end on a
//   copy of the state and apply levels 1 and 2 to it until they find nothing more. If they find
//   the copy impossible, the move is ruled out. Sound because every rule of levels 1 and 2 is: had
//   the solution made that move, the copy would agree with it, and no sound rule finds a state
//   impossible that agrees with the solution. A loose end left with one move then takes it at
//   level 1.
// - Trial within trials (level 4): the same, with levels 1 to 3 applied to the copy.
// Trials go over the loose ends with fewest moves first (two ways on, then three, then four), in
// the order of the ends and of their moves, and the first move ruled out goes back to levels 1
// and 2 at once: a player tries the ends with two ways first, and a trial is only made when
// nothing simpler helps. A board's grade counts the moves ruled out so.
//
// Everything here is deterministic: the same state always gives the same deductions in the same
// order, so a grade is a pure function of the board.

#include "pairpath/reason/trials.hpp"

#include "pairpath/reason/rules.hpp"

#include <array>
#include <bit>
#include <limits>

namespace pairpath {

namespace {

constexpr std::array<std::string_view, 4> gradeNames{"easy", "medium", "hard", "expert"};

// Trials made so far, at any depth, and how many may be made.
struct Effort {
    std::int64_t trials = 0;
    std::int64_t limit = 0;
};

struct Trial {
    int end = 0;
    int cell = 0;
};

// The moves to try, those of the loose ends with fewest moves first.
std::vector<Trial> trialOrder(const RouteState& state) {
    std::vector<Trial> trials;
    for (int ways = 2; ways <= 4; ++ways) {
        for (int end = 0; end < 2 * state.pairs; ++end) {
            CellMask moves = movesOf(state, end);
            if (std::popcount(moves) != ways) continue;
            for (; moves != 0; moves &= moves - 1)
                trials.push_back({end, std::countr_zero(moves)});
        }
    }
    return trials;
}

Fault solveWithin(RouteState& state, int depth, Log& log, Effort& effort, Reasoning* top);

// What makes the state impossible once `trial` is made, if levels 1 to `level` find it.
Fault refute(const RouteState& state, const Trial& trial, int level, Effort& effort) {
    ++effort.trials;
    RouteState after = state;
    takeMove(after, trial.end, trial.cell);
    Log quiet;
    return solveWithin(after, level - 1, quiet, effort, nullptr);
}

// The first move that a trial up to `depth` deep rules out: it is banned and recorded.
bool ruleOutByTrial(RouteState& state, int depth, Log& log, Effort& effort, Reasoning* top) {
    for (int level = 1; level <= depth; ++level) {
        for (const Trial& trial : trialOrder(state)) {
            if (effort.trials >= effort.limit) return false;
            const Fault fault = refute(state, trial, level, effort);
            if (fault.failure == Failure::none) continue;
            const Rule rule = level == 1 ? Rule::trial : Rule::nestedTrial;
            if (log.deductions != nullptr) {
                log.deductions->push_back(
                    deductionOf(state, trial.end, trial.cell, rule, fault, true));
            }
            banMove(state, trial.end, trial.cell);
            if (top != nullptr) ++(level == 1 ? top->trials : top->nestedTrials);
            return true;
        }
    }
    return false;
}

// Levels 1 and 2, then trials up to `depth` deep, until nothing more is found; what makes the
// state impossible, if that is found.
Fault solveWithin(RouteState& state, int depth, Log& log, Effort& effort, Reasoning* top) {
    for (;;) {
        const Fault fault = propagate(state, log);
        if (fault.failure != Failure::none || log.stopped || state.open == 0) return fault;
        if (!ruleOutByTrial(state, depth, log, effort, top)) return {};
    }
}

} // namespace

std::string_view gradeName(Grade grade) { return gradeNames[std::size_t(grade)]; }

std::optional<Grade> gradeOfName(std::string_view name) {
    for (std::size_t grade = 0; grade < gradeNames.size(); ++grade) {
        if (gradeNames[grade] == name) return Grade(grade);
    }
    return std::nullopt;
}

Reasoning reasonFrom(const RouteState& start, const ReasonLimits& limits) {
    Reasoning reasoning;
    reasoning.state = start;
    Log log{&reasoning.deductions, limits.stopAtStep};
    Effort effort{0, limits.trialLimit};
    const Fault fault = solveWithin(reasoning.state, limits.depth, log, effort, &reasoning);
    reasoning.impossible = fault.failure != Failure::none;
    reasoning.solved = !reasoning.impossible && reasoning.state.open == 0;
    return reasoning;
}

Reasoning reasonOut(const Board& board, const ReasonLimits& limits) {
    return reasonFrom(startState(board), limits);
}

Grade gradeBoard(const Board& board) {
    const Reasoning reasoning =
        reasonOut(board, {1, false, std::numeric_limits<std::int64_t>::max()});
    if (!reasoning.solved) return Grade::expert;
    if (reasoning.trials == 0) return Grade::easy;
    return reasoning.trials <= mostMediumTrials ? Grade::medium : Grade::hard;
}

std::optional<Cover> solutionRoutes(const Board& board) {
    const Reasoning reasoning =
        reasonOut(board, {1, false, std::numeric_limits<std::int64_t>::max()});
    if (reasoning.solved) return routesOf(reasoning.state);
    return findCover(board);
}

} // namespace pairpath
