// Hints that give their reason. The drawn paths are checked against the solution's routes first;
// when they all lie on them, they are taken as moves of their pairs' start ends, and the
// reasoning solver goes on from there until it takes a move. Every rule it uses is sound, so that
// move lies on the solution; the deductions the player has drawn already are behind it.

#include "pairpath/reason/hints.hpp"

#include "pairpath/reason/trials.hpp"

#include <algorithm>
#include <optional>

namespace pairpath {

namespace {

// Trials a hint may make, at any depth, before it takes the solution's next step instead.
constexpr std::int64_t hintTrials = 20'000;

// The first drawn cell that leaves its pair's route, if any.
std::optional<Hint> offRoutes(const Cover& routes, const std::vector<DrawnPath>& drawn) {
    for (std::size_t pair = 0; pair < std::min(routes.size(), drawn.size()); ++pair) {
        const std::vector<int>& route = routes[pair];
        const DrawnPath& path = drawn[pair];
        int before = route.front();
        for (std::size_t at = 0; at < path.cells.size(); ++at) {
            const int cell = path.cells[at];
            if (at + 1 >= route.size() || route[at + 1] != cell) {
                return Hint{HintKind::offSolution, int(pair) + 1, before, cell, {}};
            }
            before = cell;
        }
        if (path.connected && route.size() != path.cells.size() + 2) {
            return Hint{HintKind::offSolution, int(pair) + 1, before, route.back(), {}};
        }
    }
    return std::nullopt;
}

RouteState drawnState(const Board& puzzle, const std::vector<DrawnPath>& drawn) {
    RouteState state = startState(puzzle);
    for (std::size_t pair = 0; pair < std::min(drawn.size(), std::size_t(state.pairs)); ++pair) {
        const int end = 2 * int(pair);
        for (const int cell : drawn[pair].cells)
            takeMove(state, end, gridIndex(cell));
        if (drawn[pair].connected) takeMove(state, end, endAt(state, end + 1));
    }
    return state;
}

// The step of the first move taken; its reason is the move ruled out last at the same loose end,
// when the step was the only way on left.
std::optional<Hint> firstStep(const std::vector<Deduction>& deductions) {
    const auto taken = std::ranges::find(deductions, false, &Deduction::ruledOut);
    if (taken == deductions.end()) return std::nullopt;
    Hint hint{HintKind::step, taken->pair, taken->from, taken->to, *taken};
    if (taken->rule != Rule::onlyWayOn) return hint;
    for (auto before = taken; before != deductions.begin();) {
        --before;
        if (before->ruledOut && before->pair == taken->pair && before->from == taken->from) {
            hint.reason = *before;
            break;
        }
    }
    return hint;
}

// The solution's next step for the first unfinished pair, from its start end.
Hint searchStep(const RouteState& state, const Cover& routes) {
    int pair = 0;
    while (!isOpen(state, pair))
        ++pair;
    const std::vector<int>& route = routes[std::size_t(pair)];
    const int from = codeOfCell(endAt(state, 2 * pair));
    const auto at = std::ranges::find(route, from);
    const int to = *std::next(at);
    return {HintKind::step, pair + 1, from, to,
            Deduction{Rule::search, Failure::none, false, pair + 1, from, to}};
}

} // namespace

Hint nextHint(const Board& puzzle, const std::vector<DrawnPath>& drawn) {
    const std::optional<Cover> routes = solutionRoutes(puzzle);
    if (!routes) return {};
    if (const auto off = offRoutes(*routes, drawn)) return *off;
    const RouteState state = drawnState(puzzle, drawn);
    if (state.open == 0) return {HintKind::solved, 0, -1, -1, {}};
    const Reasoning reasoning = reasonFrom(state, {2, true, hintTrials});
    if (const auto step = firstStep(reasoning.deductions)) return *step;
    return searchStep(state, *routes);
}

} // namespace pairpath
