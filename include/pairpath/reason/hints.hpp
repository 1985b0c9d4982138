// Hints that give their reason: the next step the reasoning solver finds from the paths a player
// has drawn, or where a drawn path leaves the solution.
#pragma once

#include "pairpath/reason/state.hpp"

#include <vector>

namespace pairpath {

// One pair's path as the player drew it: its cells after the start endpoint, in order, as cell
// codes, the endpoints left out; `connected` once it has entered its target endpoint.
struct DrawnPath {
    std::vector<int> cells;
    bool connected = false;
};

enum class HintKind {
    step,        // `pair`'s loose end at `from` goes on into `to`, for `reason`
    offSolution, // `pair`'s path leaves the solution: from `from` it enters `to`
    solved,      // every pair is linked
    noSolution,  // the board has none
};

struct Hint {
    HintKind kind = HintKind::noSolution;
    int pair = 0;
    int from = -1; // cell codes
    int to = -1;
    Deduction reason; // of a step: the deduction that takes it or rules out its last rival
};

// The hint for `puzzle`, a board with its endpoints alone and exactly one solution, once the
// player has drawn `drawn` (pair p's path at p - 1; pairs past its end have none). The first
// drawn cell off the solution, if any; else the first step the reasoning solver takes from the
// drawn paths, which lies on the solution, or the solution's next step when reasoning with
// trials within trials finds none. Deterministic.
Hint nextHint(const Board& puzzle, const std::vector<DrawnPath>& drawn);

} // namespace pairpath
