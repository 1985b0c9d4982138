// The reasoning solver's levels 1 and 2: what a player sees at one loose end, at one cell and its
// neighbours, and over the regions of free cells.
//
// In any solution every free cell lies inside a route, linked to two of its neighbours, and each
// loose end's next link is to a free neighbour or, to finish its pair, to its partner. A
// neighbour that can still take a link to a free cell is a free cell, or a loose end whose move
// into it is not ruled out; we call these the cell's ways in. Each rule below holds in every
// solution that agrees with the state, so a move it takes is in the solution and a move it rules
// out is not; on a board with one solution the rules that name a second answer are sound too.
//
// Level 1, seen at one end or one cell:
// - Only way on: a loose end with a single move takes it; one with none is boxed in, and the
//   state is impossible.
// - Only entry: a free cell with two ways in is linked to both; when one of them is a loose end,
//   that end enters it. A cell with fewer ways in, or whose only ways in are the loose ends of
//   different pairs, is cut off: no route can pass through it.
// - Local: a move is ruled out when, just after it, a loose end beside the cells it changed has
//   no move (boxed in), or a free cell beside them is cut off.
// - Turn beside a run: a move is ruled out when it completes a route turning round a 2 x 2
//   square (four consecutive cells) while some route runs straight along the far side of the
//   turn's two middle cells. The run could take those two cells in and the turn go straight
//   across, which keeps every end and fills every cell: a second answer.
// - Parallel pass: a move is ruled out when it makes a route pass along two opposite sides of a
//   2 x 2 square in the same direction. Linking the square's other two sides instead, and running
//   the stretch between them backwards, is a second answer.
// Level 2, over the regions of free cells (as the fast search prunes; a region is the free
// cells that a move of a loose end can reach without crossing a held cell):
// - Unfilled: every region needs a pair whose two loose ends can both move into it, since a
//   route's free cells are connected and lie in one region between its ends.
// - Split: a pair whose loose ends share no region must be able to join them directly.
// - Balance: on a checkerboard a route between two loose ends of one colour covers one more cell
//   of the other colour, and one between different colours as many of each. A region with one
//   pair able to fill it must have that pair's balance, and that pair can fill no other; a region
//   with several must have a balance some of them can add up to.
// Level 2 rules out a move when, just after it, these fail; and it finds the state impossible
// when they fail already.

#include "pairpath/reason/rules.hpp"

#include <algorithm>
#include <bit>

namespace pairpath {

namespace {

constexpr CellMask darkCells = 0x55AA55AA55AA55AAULL;

CellMask neighbours(CellMask cells) {
    return stepped(cells, 0) | stepped(cells, 1) | stepped(cells, 2) | stepped(cells, 3);
}

int lowestCell(CellMask cells) { return std::countr_zero(cells); }

int neighbourOf(const RouteState& state, int cell, int way) {
    const CellMask next = stepped(cellBit(cell), way) & state.area;
    return next == 0 ? -1 : lowestCell(next);
}

bool isFree(const RouteState& state, int cell) { return (state.freeCells & cellBit(cell)) != 0; }

bool isLooseEnd(const RouteState& state, int cell) {
    const int end = trailOf(state, cell);
    return end >= 0 && isOpen(state, end / 2) && endAt(state, end) == cell;
}

int pairOfCell(const RouteState& state, int cell) { return trailOf(state, cell) / 2; }

// A free cell's ways in: how many, and the loose ends among them.
struct WaysIn {
    int count = 0;
    int freeCount = 0;
    std::array<int, 4> ends{};
    int endCount = 0;
};

WaysIn waysInto(const RouteState& state, int cell) {
    WaysIn ways;
    for (int way = 0; way < 4; ++way) {
        const int next = neighbourOf(state, cell, way);
        if (next < 0) continue;
        if (isFree(state, next)) {
            ++ways.freeCount;
        } else if (isLooseEnd(state, next)) {
            const int end = trailOf(state, next);
            if ((state.banned[std::size_t(end)] >> wayBetween(next, cell) & 1U) != 0) continue;
            ways.ends[std::size_t(ways.endCount++)] = end;
        } else {
            continue;
        }
        ++ways.count;
    }
    return ways;
}

// True when the cell can be linked twice: two free neighbours, or one and a loose end, or both
// loose ends of one pair.
bool canBeFilled(const WaysIn& ways) {
    if (ways.freeCount >= 2 || (ways.freeCount == 1 && ways.endCount >= 1)) return true;
    for (int i = 0; i < ways.endCount; ++i) {
        for (int j = i + 1; j < ways.endCount; ++j) {
            if (ways.ends[std::size_t(i)] / 2 == ways.ends[std::size_t(j)] / 2) return true;
        }
    }
    return false;
}

// What level 1 finds first: a fault, else a forced move, else nothing.
struct Forced {
    Fault fault;
    int end = -1;
    int cell = -1;
    Rule rule = Rule::onlyWayOn;
};

Forced findForced(const RouteState& state) {
    Forced forced;
    for (int end = 0; end < 2 * state.pairs; ++end) {
        if (!isOpen(state, end / 2)) continue;
        const CellMask moves = movesOf(state, end);
        if (moves == 0) return {{Failure::boxedIn, endAt(state, end), end / 2}};
        if (forced.end < 0 && (moves & (moves - 1)) == 0) {
            forced = {{}, end, lowestCell(moves), Rule::onlyWayOn};
        }
    }
    for (CellMask cells = state.freeCells; cells != 0; cells &= cells - 1) {
        const int cell = lowestCell(cells);
        const WaysIn ways = waysInto(state, cell);
        if (!canBeFilled(ways)) return {{Failure::cutOff, cell}};
        if (forced.end < 0 && ways.count == 2 && ways.endCount > 0) {
            forced = {{}, ways.ends[0], cell, Rule::onlyEntry};
        }
    }
    return forced;
}

// Level 1 after a move of `end` from `from` into `to`: the loose ends and free cells beside the
// two cells it changed, and the patterns of a second answer.
Fault localFault(const RouteState& after, int end, int from, int to) {
    const CellMask around = neighbours(cellBit(from) | cellBit(to)) & after.area;
    for (int other = 0; other < 2 * after.pairs; ++other) {
        const bool near = other == end || (around & cellBit(endAt(after, other))) != 0;
        if (near && isOpen(after, other / 2) && movesOf(after, other) == 0) {
            return {Failure::boxedIn, endAt(after, other), other / 2};
        }
    }
    for (CellMask cells = around & after.freeCells; cells != 0; cells &= cells - 1) {
        if (!canBeFilled(waysInto(after, lowestCell(cells)))) {
            return {Failure::cutOff, lowestCell(cells)};
        }
    }
    return patternFault(after, from, to);
}

// The ways across a link in `way`: left and right of up or down, and up and down of the others.
constexpr std::array<int, 2> waysAcross(int way) {
    return way < 2 ? std::array{2, 3} : std::array{0, 1};
}

// A turn round a square whose middle link is b to d, with a run along its far side.
Fault turnFault(const RouteState& state, int b, int d, int way) {
    for (const int out : waysAcross(way)) {
        const int a = neighbourOf(state, b, out ^ 1);
        const int c = neighbourOf(state, d, out ^ 1);
        const int farB = neighbourOf(state, b, out);
        const int farD = neighbourOf(state, d, out);
        if (a < 0 || c < 0 || farB < 0 || farD < 0) continue;
        if (linked(state, a, b) && linked(state, d, c) && linked(state, farB, farD)) {
            return {Failure::turnBeside, b, pairOfCell(state, b), pairOfCell(state, farB)};
        }
    }
    return {};
}

void record(const Log& log, const Deduction& deduction) {
    if (log.deductions != nullptr) log.deductions->push_back(deduction);
}

using MoveFault = Fault (*)(const RouteState& after, int end, int from, int to);

Fault regionFaultAfter(const RouteState& after, int /*end*/, int /*from*/, int /*to*/) {
    return regionFault(after);
}

// The first move that `faultAfter` rules out: it is banned and recorded under `rule`.
bool banFirst(RouteState& state, Log& log, MoveFault faultAfter, Rule rule) {
    for (int end = 0; end < 2 * state.pairs; ++end) {
        const int from = endAt(state, end);
        for (CellMask moves = movesOf(state, end); moves != 0; moves &= moves - 1) {
            const int to = lowestCell(moves);
            RouteState after = state;
            takeMove(after, end, to);
            const Fault fault = faultAfter(after, end, from, to);
            if (fault.failure == Failure::none) continue;
            record(log, deductionOf(state, end, to, rule, fault, true));
            banMove(state, end, to);
            return true;
        }
    }
    return false;
}

int routeBalance(int end, int otherEnd) {
    const bool dark = (darkCells & cellBit(end)) != 0;
    if (dark != ((darkCells & cellBit(otherEnd)) != 0)) return 0;
    return dark ? -1 : 1;
}

int balanceOf(CellMask cells) {
    return std::popcount(cells & darkCells) - std::popcount(cells & ~darkCells);
}

CellMask regionAround(CellMask seed, CellMask freeCells) {
    CellMask region = seed;
    for (;;) {
        const CellMask grown = region | (neighbours(region) & freeCells);
        if (grown == region) return region;
        region = grown;
    }
}

} // namespace

Deduction deductionOf(const RouteState& state, int end, int cell, Rule rule, const Fault& fault,
                      bool ruledOut) {
    const int pair = end / 2;
    Deduction deduction{
        rule, fault.failure, ruledOut, pair + 1, codeOfCell(endAt(state, end)), codeOfCell(cell)};
    if (fault.cell >= 0) deduction.cell = codeOfCell(fault.cell);
    // The pair the reason names: the one boxed in or split, or the other of the two that could
    // trade cells.
    const int named =
        fault.failure == Failure::turnBeside && fault.pair == pair ? fault.other : fault.pair;
    if (named >= 0) deduction.other = named + 1;
    if (rule == Rule::onlyEntry) deduction.cell = codeOfCell(cell);
    return deduction;
}

Fault patternFault(const RouteState& state, int from, int to) {
    const bool forward = follows(state, from, to);
    const int first = forward ? from : to;
    const int second = forward ? to : from;
    for (const int across : waysAcross(wayBetween(first, second))) {
        const int besideFirst = neighbourOf(state, first, across);
        const int besideSecond = neighbourOf(state, second, across);
        // Parallel links of two different routes are no second answer: swapping them would
        // join the wrong ends.
        if (besideFirst >= 0 && besideSecond >= 0 && follows(state, besideFirst, besideSecond) &&
            pairOfCell(state, besideFirst) == pairOfCell(state, first)) {
            return {Failure::parallelPass, first, pairOfCell(state, first)};
        }
    }
    // Any turn this link completes has its middle link at one of the cells beside it.
    const CellMask touched = cellBit(from) | cellBit(to);
    for (CellMask near = (touched | neighbours(touched)) & state.area & ~state.freeCells; near != 0;
         near &= near - 1) {
        const int b = lowestCell(near);
        for (int way = 0; way < 4; ++way) {
            const int d = neighbourOf(state, b, way);
            if (d < 0 || !linked(state, b, d)) continue;
            const Fault fault = turnFault(state, b, d, way);
            if (fault.failure != Failure::none) return fault;
        }
    }
    return {};
}

Fault regionFault(const RouteState& state) {
    std::array<CellMask, maxEnds> reach{};
    for (int end = 0; end < 2 * state.pairs; ++end)
        reach[std::size_t(end)] = movesOf(state, end);
    unsigned served = 0; // pairs that can fill some region
    unsigned alone = 0;  // pairs that are the only ones able to fill some region
    for (CellMask unvisited = state.freeCells; unvisited != 0;) {
        const CellMask region = regionAround(unvisited & (~unvisited + 1), state.freeCells);
        unvisited &= ~region;
        const int cell = lowestCell(region);
        unsigned candidates = 0;
        int lowest = 0;
        int highest = 0;
        int onlyBalance = 0;
        for (int pair = 0; pair < state.pairs; ++pair) {
            if ((reach[std::size_t(2 * pair)] & region) == 0 ||
                (reach[std::size_t(2 * pair + 1)] & region) == 0)
                continue;
            candidates |= 1U << pair;
            onlyBalance = routeBalance(endAt(state, 2 * pair), endAt(state, 2 * pair + 1));
            (onlyBalance < 0 ? lowest : highest) += onlyBalance;
        }
        const bool single = (candidates & (candidates - 1)) == 0;
        if (candidates == 0 || (single && (alone & candidates) != 0)) {
            return {Failure::unfilled, cell};
        }
        const int balance = balanceOf(region);
        if (single ? balance != onlyBalance : balance < lowest || balance > highest) {
            return {Failure::unbalanced, cell};
        }
        if (single) alone |= candidates;
        served |= candidates;
    }
    for (int pair = 0; pair < state.pairs; ++pair) {
        const CellMask partner = cellBit(endAt(state, 2 * pair + 1));
        if (isOpen(state, pair) && (served >> pair & 1U) == 0 &&
            (reach[std::size_t(2 * pair)] & partner) == 0) {
            return {Failure::split, endAt(state, 2 * pair), pair};
        }
    }
    return {};
}

Fault propagate(RouteState& state, Log& log) {
    while (state.open != 0) {
        const Forced forced = findForced(state);
        if (forced.fault.failure != Failure::none) return forced.fault;
        if (forced.end >= 0) {
            const int from = endAt(state, forced.end);
            record(log, deductionOf(state, forced.end, forced.cell, forced.rule, {}, false));
            takeMove(state, forced.end, forced.cell);
            const Fault fault = patternFault(state, from, forced.cell);
            if (fault.failure != Failure::none) return fault;
            if (log.stopAtStep) {
                log.stopped = true;
                return {};
            }
            continue;
        }
        if (banFirst(state, log, localFault, Rule::local)) continue;
        const Fault fault = regionFault(state);
        if (fault.failure != Failure::none) return fault;
        if (!banFirst(state, log, regionFaultAfter, Rule::regions)) return {};
    }
    // Every pair is finished: any free cell left is one that no route fills.
    if (state.freeCells != 0) return {Failure::unfilled, lowestCell(state.freeCells)};
    return {};
}

} // namespace pairpath
