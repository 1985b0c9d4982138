// The reasoning solver's first two levels: the rules seen at one loose end or one cell and its
// neighbours, and the rules on regions of free cells, applied until none deduces more.
#pragma once

#include "pairpath/reason/state.hpp"

#include <vector>

namespace pairpath {

// What makes a state impossible: the failure, the cell it names (a grid index, or -1) and the
// pairs it names (from 0, or -1).
struct Fault {
    Failure failure = Failure::none;
    int cell = -1;
    int pair = -1;
    int other = -1;
};

// Where the deductions go, if anywhere.
struct Log {
    std::vector<Deduction>* deductions = nullptr;
    bool stopAtStep = false; // stop after the first move taken
    bool stopped = false;
};

// The record of a move, taken or ruled out for `fault`, of loose end `end` into `cell`.
Deduction deductionOf(const RouteState& state, int end, int cell, Rule rule, const Fault& fault,
                      bool ruledOut);

// A second answer that the link just made between `from` and `to` would show.
Fault patternFault(const RouteState& state, int from, int to);
// A region of free cells that the loose ends cannot fill.
Fault regionFault(const RouteState& state);

// Applies levels 1 and 2 until neither deduces more; returns what makes the state impossible,
// if they find it so.
Fault propagate(RouteState& state, Log& log);

} // namespace pairpath
