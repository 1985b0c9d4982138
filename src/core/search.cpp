// Fast full-cover search.
//
// Decides whether every pair can be linked by a route over the board's empty cells so that no
// two routes share a cell and the routes with the endpoints cover the whole playing area (the
// question the reference search in generate.cpp answers by brute force), and returns the routes.
//
// Cells are the bits of one 64-bit word, bit = row * 8 + column whatever the side, so every
// neighbour is one shift (up >> 8, down << 8, left >> 1, right << 1, with the column that
// would wrap masked off). A route grows from both of its ends: each unfinished pair has two
// loose ends, at first its two endpoints, and one move takes a loose end onto a free cell or
// joins it to its pair's other loose end, which finishes the pair. Every node of the search
// picks, over all loose ends, the one with the fewest moves and branches on those moves only:
// any full cover continues that end through one of them, so no cover is lost, and an end with a
// single move costs no branching at all.
//
// Pruning rules; each is a property of every full cover, so cutting a branch that breaks one
// never changes the answer:
// - Colour balance, once at the root: on a checkerboard, a route whose two ends have the same
//   colour covers one more cell of the other colour, and one whose ends differ covers as many
//   of each; so the free cells' balance is the sum of the pairs' balances.
// - Routes from edge to edge, once at the root: a route whose two endpoints lie on the grid's edge
//   parts the grid in two and passes through no other endpoint. So another endpoint on the edge
//   lies on the side of the stretch of edge it is on, two endpoints side by side or corner to
//   corner lie on one side (the route, running from cell centre to cell centre, cannot pass
//   between them), and so do a pair's two endpoints, which their route joins; these must never
//   link the two stretches.
// - Dead cell: a free cell lies inside a route, so two of its neighbours are free cells or
//   loose ends.
// - Stuck end: a loose end needs a free neighbour or its own pair's other end.
// - Regions: the free cells of one route are connected, so they lie in a single region of free
//   cells that both of the pair's loose ends touch. Every region needs such a pair; a pair whose
//   ends touch no region together must have them side by side. A region with one such pair is
//   that pair's alone: its balance must be the pair's, and the pair can fill no other region.
//   A region with several must have a balance that some of them can add up to.
// - Memory: a state (free cells, loose ends) that failed once is kept in a table and fails again
//   at once when a different order of moves reaches it.
// The balance is checked first, since it alone rejects about three candidates in four. Dead
// cells and stuck ends are checked in every state; the regions and the memory only in states
// that branch, since a forced move leads on to a state that is checked in full.

#include "pairpath/core/search.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

namespace pairpath {

namespace {

using Mask = std::uint64_t;

constexpr Mask columnZero = 0x0101010101010101ULL;
constexpr Mask columnSeven = 0x8080808080808080ULL;
// Cells whose row + column is odd: row 0 holds columns 1, 3, 5, 7; row 1 columns 0, 2, 4, 6.
constexpr Mask darkCells = 0x55AA55AA55AA55AAULL;

constexpr Mask bitOf(int cell) { return Mask{1} << cell; }

// Number of cells in a mask. Written out because std::popcount becomes a library call on
// processors where the instruction is not assumed.
constexpr int cellCount(Mask cells) {
    cells -= (cells >> 1) & 0x5555555555555555ULL;
    cells = (cells & 0x3333333333333333ULL) + ((cells >> 2) & 0x3333333333333333ULL);
    cells = (cells + (cells >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((cells * 0x0101010101010101ULL) >> 56);
}
// True when exactly one bit is set; std::has_single_bit counts the bits, a library call too.
constexpr bool hasOneBit(std::uint64_t bits) { return bits != 0 && (bits & (bits - 1)) == 0; }
constexpr bool isDark(int cell) { return (darkCells & bitOf(cell)) != 0; }
constexpr int codeOfCell(int cell) { return cellCode(cell / gridStride, cell % gridStride); }

// Cells with a neighbour in `cells`, one mask per direction of that neighbour.
struct Sides {
    Mask above, below, left, right;
};

constexpr Sides sidesOf(Mask cells) {
    return {cells << 8, cells >> 8, (cells << 1) & ~columnZero, (cells >> 1) & ~columnSeven};
}

constexpr Mask neighbours(Mask cells) {
    const Sides s = sidesOf(cells);
    return s.above | s.below | s.left | s.right;
}

constexpr Mask withTwoNeighboursIn(Mask cells) {
    const Sides s = sidesOf(cells);
    return (s.above & s.below) | (s.left & s.right) | ((s.above | s.below) & (s.left | s.right));
}

// Dark cells minus light cells.
int balanceOf(Mask cells) { return cellCount(cells & darkCells) - cellCount(cells & ~darkCells); }

// Balance of the free cells that a route between these two loose ends covers.
int routeBalance(int end, int otherEnd) {
    if (isDark(end) != isDark(otherEnd)) return 0;
    return isDark(end) ? -1 : 1;
}

Mask regionAround(Mask seed, Mask freeCells) {
    Mask region = seed;
    for (;;) {
        const Mask grown = region | (neighbours(region) & freeCells);
        if (grown == region) return region;
        region = grown;
    }
}

constexpr int maxEnds = 2 * maxPairs;
constexpr int maxCells = int(gridCells);

struct State {
    Mask freeCells = 0;
    int pairs = 0;
    unsigned open = 0; // bit i is set while pair i + 1 is unfinished
    // Loose ends: 2i grows from pair i + 1's start endpoint, 2i + 1 from its target endpoint.
    std::array<int, maxEnds> ends{};
    // The free cells each loose end has walked over, in order. Left uninitialised: only the
    // first trailLengths[end] cells of a trail are ever read.
    std::array<std::array<std::int8_t, maxCells>, maxEnds> trails;
    std::array<int, maxEnds> trailLengths{};
    // States the search may still visit; past 0 it gives up, and nothing it has not finished
    // looking at is remembered as refuted.
    std::int64_t statesLeft = 0;
    // The search stops at the `coversWanted`th full cover; the first one's trails are kept.
    int coversWanted = 1;
    int coversFound = 0;
    std::array<std::array<std::int8_t, maxCells>, maxEnds> firstTrails;
    std::array<int, maxEnds> firstTrailLengths{};
};

bool isOpen(const State& state, int pair) { return (state.open >> pair & 1U) != 0; }

// --- Memory of refuted states ---

constexpr int memoryBits = 16;
constexpr std::uint64_t finishedEnd = 0x7F;

struct StateKey {
    Mask freeCells = 0;
    std::uint64_t lowEnds = 0;  // 7 bits per loose end, ends 0 to 8
    std::uint64_t highEnds = 0; // ends 9 to 17
    bool operator==(const StateKey&) const = default;
};

// A state's key fully determines what is left to search, on any board, so a refuted key stays
// refuted from one search to the next. The empty key stands for a free slot: a stored state
// always has a free cell to branch into.
std::vector<StateKey>& memory() {
    thread_local std::vector<StateKey> slots(std::size_t{1} << memoryBits);
    return slots;
}

StateKey keyOf(const State& state) {
    StateKey key{state.freeCells, 0, 0};
    for (int end = 0; end < 2 * state.pairs; ++end) {
        const std::uint64_t value = isOpen(state, end / 2)
                                        ? static_cast<std::uint64_t>(state.ends[std::size_t(end)])
                                        : finishedEnd;
        std::uint64_t& word = end < maxPairs ? key.lowEnds : key.highEnds;
        word |= value << (7 * (end % maxPairs));
    }
    return key;
}

StateKey& slotOf(const StateKey& key) {
    std::uint64_t hash = key.freeCells * 0x9E3779B97F4A7C15ULL;
    hash ^= key.lowEnds * 0xC2B2AE3D27D4EB4FULL;
    hash ^= key.highEnds * 0x165667B19E3779F9ULL;
    hash ^= hash >> 29;
    return memory()[static_cast<std::size_t>(hash >> (64 - memoryBits))];
}

bool isRefuted(const StateKey& key) { return slotOf(key) == key; }

void rememberRefuted(const StateKey& key) { slotOf(key) = key; }

// --- Pruning ---

// The cells on the edge of a side x side grid, numbered in order round it; -1 off the edge.
std::array<int, maxCells> placesRoundTheEdge(int side) {
    std::array<int, maxCells> placeOf{};
    placeOf.fill(-1);
    int place = 0;
    const auto add = [&](int row, int column) {
        placeOf[std::size_t(row * gridStride + column)] = place++;
    };
    for (int column = 0; column < side; ++column)
        add(0, column);
    for (int row = 1; row < side; ++row)
        add(row, side - 1);
    for (int column = side - 2; column >= 0; --column)
        add(side - 1, column);
    for (int row = side - 2; row > 0; --row)
        add(row, 0);
    return placeOf;
}

// Which cells and stretches of edge must lie on one side of a route, merged into sets.
struct OneSide {
    static constexpr int stretches = 2; // the two stretches of edge, after the cells
    std::array<int, maxCells + stretches> parent{};

    OneSide() {
        for (std::size_t at = 0; at < parent.size(); ++at)
            parent[at] = int(at);
    }
    int find(int at) {
        while (parent[std::size_t(at)] != at)
            at = parent[std::size_t(at)] = parent[std::size_t(parent[std::size_t(at)])];
        return at;
    }
    void merge(int one, int other) { parent[std::size_t(find(one))] = find(other); }
};

// The rule of routes from edge to edge (see the opening comment) for the route of `pair`, whose
// endpoints both lie on the edge: true when the two stretches of edge are linked.
bool isParted(const State& state, int pair, const std::array<int, maxCells>& placeOf) {
    const int low = std::min(placeOf[std::size_t(state.ends[std::size_t(2 * pair)])],
                             placeOf[std::size_t(state.ends[std::size_t(2 * pair + 1)])]);
    const int high = std::max(placeOf[std::size_t(state.ends[std::size_t(2 * pair)])],
                              placeOf[std::size_t(state.ends[std::size_t(2 * pair + 1)])]);
    constexpr int inside = maxCells; // the stretch between the two, and the one outside
    constexpr int outside = maxCells + 1;
    OneSide sides;
    Mask others = 0;
    for (int other = 0; other < state.pairs; ++other) {
        if (other == pair) continue;
        const int start = state.ends[std::size_t(2 * other)];
        const int target = state.ends[std::size_t(2 * other + 1)];
        sides.merge(start, target);
        for (const int cell : {start, target}) {
            others |= bitOf(cell);
            const int place = placeOf[std::size_t(cell)];
            if (place >= 0) sides.merge(cell, place > low && place < high ? inside : outside);
        }
    }
    // Each endpoint with those before it round it: left, up left, up and up right.
    const Sides beside = sidesOf(others);
    const Mask upLeft = sidesOf(beside.left).above;
    const Mask upRight = sidesOf(beside.right).above;
    for (Mask rest = others; rest != 0; rest &= rest - 1) {
        const int cell = std::countr_zero(rest);
        const Mask at = bitOf(cell);
        if ((beside.left & at) != 0) sides.merge(cell, cell - 1);
        if ((upLeft & at) != 0) sides.merge(cell, cell - gridStride - 1);
        if ((beside.above & at) != 0) sides.merge(cell, cell - gridStride);
        if ((upRight & at) != 0) sides.merge(cell, cell - gridStride + 1);
    }
    return sides.find(inside) == sides.find(outside);
}

bool partedByARouteFromEdgeToEdge(const State& state, int side) {
    const std::array<int, maxCells> placeOf = placesRoundTheEdge(side);
    for (int pair = 0; pair < state.pairs; ++pair) {
        if (placeOf[std::size_t(state.ends[std::size_t(2 * pair)])] >= 0 &&
            placeOf[std::size_t(state.ends[std::size_t(2 * pair + 1)])] >= 0 &&
            isParted(state, pair, placeOf))
            return true;
    }
    return false;
}

Mask looseEndsOf(const State& state) {
    Mask looseEnds = 0;
    for (int pair = 0; pair < state.pairs; ++pair) {
        if (!isOpen(state, pair)) continue;
        looseEnds |= bitOf(state.ends[std::size_t(2 * pair)]);
        looseEnds |= bitOf(state.ends[std::size_t(2 * pair + 1)]);
    }
    return looseEnds;
}

bool endsSideBySide(const State& state, int pair) {
    return (neighbours(bitOf(state.ends[std::size_t(2 * pair)])) &
            bitOf(state.ends[std::size_t(2 * pair + 1)])) != 0;
}

// The region rules: true when every region of free cells can be filled by some pair.
bool regionsOk(const State& state) {
    unsigned served = 0;       // pairs that can fill some region
    unsigned servingAlone = 0; // pairs that are the only ones able to fill some region
    Mask unvisited = state.freeCells;
    while (unvisited != 0) {
        const Mask region = regionAround(unvisited & (~unvisited + 1), state.freeCells);
        unvisited &= ~region;
        const Mask touched = neighbours(region);

        unsigned candidates = 0;
        int lowest = 0;  // the least balance that candidates can add up to
        int highest = 0; // the greatest
        int onlyBalance = 0;
        for (int pair = 0; pair < state.pairs; ++pair) {
            if (!isOpen(state, pair)) continue;
            const int start = state.ends[std::size_t(2 * pair)];
            const int target = state.ends[std::size_t(2 * pair + 1)];
            if ((touched & bitOf(start)) == 0 || (touched & bitOf(target)) == 0) continue;
            candidates |= 1U << pair;
            onlyBalance = routeBalance(start, target);
            (onlyBalance < 0 ? lowest : highest) += onlyBalance;
        }
        if (candidates == 0) return false;
        const int balance = balanceOf(region);
        if (hasOneBit(candidates)) {
            if ((servingAlone & candidates) != 0 || balance != onlyBalance) return false;
            servingAlone |= candidates;
        } else if (balance < lowest || balance > highest) {
            return false;
        }
        served |= candidates;
    }
    for (int pair = 0; pair < state.pairs; ++pair) {
        if (isOpen(state, pair) && (served >> pair & 1U) == 0 && !endsSideBySide(state, pair)) {
            return false;
        }
    }
    return true;
}

bool noDeadCells(const State& state) {
    const Mask usable = state.freeCells | looseEndsOf(state);
    return (state.freeCells & ~withTwoNeighboursIn(usable)) == 0;
}

// --- Search ---

struct Choice {
    int end = -1;
    Mask moves = 0;
};

// A loose end has at most one move per neighbour.
constexpr int mostMoves = 4;

// The loose end with the fewest moves, or the first one found with a single move; an empty
// choice when some loose end seen has none.
Choice mostConstrainedEnd(const State& state) {
    Choice best;
    int fewest = mostMoves + 1;
    for (int end = 0; end < 2 * state.pairs; ++end) {
        if (!isOpen(state, end / 2)) continue;
        const Mask partner = bitOf(state.ends[std::size_t(end ^ 1)]);
        const Mask moves =
            neighbours(bitOf(state.ends[std::size_t(end)])) & (state.freeCells | partner);
        if (moves == 0) return {};
        if (hasOneBit(moves)) return {end, moves};
        const int count = cellCount(moves);
        if (count < fewest) {
            fewest = count;
            best = {end, moves};
        }
    }
    return best;
}

// The cells a loose end may move to, in the order they are tried: in cell order, or, when covers
// are counted, its partner first, then the cells with fewest free neighbours, which keeps a route
// along walls and other routes and reaches a first cover far sooner on boards with long paths.
// Every move is tried either way; the first cover a plain search finds (the game's hints) stays
// the one it always was.
struct Moves {
    std::array<int, mostMoves> cells{};
    int count = 0;
};

Moves movesInOrder(const State& state, const Choice& choice) {
    Moves moves;
    std::array<int, mostMoves> ranks{};
    const int partner = state.ends[std::size_t(choice.end ^ 1)];
    for (Mask rest = choice.moves; rest != 0; rest &= rest - 1) {
        const int cell = std::countr_zero(rest);
        int rank = 0;
        if (state.coversWanted > 1)
            rank = cell == partner ? -1 : cellCount(neighbours(bitOf(cell)) & state.freeCells);
        auto at = std::size_t(moves.count++);
        for (; at > 0 && ranks[at - 1] > rank; --at) {
            ranks[at] = ranks[at - 1];
            moves.cells[at] = moves.cells[at - 1];
        }
        ranks[at] = rank;
        moves.cells[at] = cell;
    }
    return moves;
}

// Counts the full cover that `state` has reached; true when it is the last one wanted.
bool takeCover(State& state) {
    if (state.coversFound++ == 0) {
        state.firstTrails = state.trails;
        state.firstTrailLengths = state.trailLengths;
    }
    return state.coversFound == state.coversWanted;
}

// Searches on from `state`; `isRoot` is true for the first state of a search only. Every full
// cover below a state is reached by exactly one sequence of moves (at each state the chosen end
// takes the cover's next cell, or joins its partner), so the covers counted are distinct.
bool extend(State& state, bool isRoot) {
    if (--state.statesLeft < 0) return false;
    if (state.open == 0) return state.freeCells == 0 && takeCover(state);
    if (!noDeadCells(state)) return false;
    const Choice choice = mostConstrainedEnd(state);
    if (choice.end < 0) return false;
    // The costlier rules run only where the search branches; a forced move leads to the next
    // branching state, which is checked, and its refutation is that state's. The first state
    // of a search is never met again, so it is not looked up or remembered.
    const bool branches = !hasOneBit(choice.moves);
    if (branches && !regionsOk(state)) return false;
    const bool remembers = branches && !isRoot;
    const StateKey key = remembers ? keyOf(state) : StateKey{};
    if (remembers && isRefuted(key)) return false;

    const auto end = std::size_t(choice.end);
    const int pair = choice.end / 2;
    const int from = state.ends[end];
    const int coversBefore = state.coversFound;
    const Moves moves = movesInOrder(state, choice);
    for (int i = 0; i < moves.count; ++i) {
        const int cell = moves.cells[std::size_t(i)];
        if (cell == state.ends[end ^ 1]) {
            state.open &= ~(1U << pair);
            if (extend(state, false)) return true;
            state.open |= 1U << pair;
            continue;
        }
        state.freeCells &= ~bitOf(cell);
        state.ends[end] = cell;
        state.trails[end][std::size_t(state.trailLengths[end]++)] = static_cast<std::int8_t>(cell);
        if (extend(state, false)) return true;
        --state.trailLengths[end];
        state.ends[end] = from;
        state.freeCells |= bitOf(cell);
    }
    // Only a state with no cover below it is refuted; one whose covers were counted is not.
    if (remembers && state.statesLeft >= 0 && state.coversFound == coversBefore)
        rememberRefuted(key);
    return false;
}

// The first cover found.
Cover coverOf(const State& state, const Board& board) {
    Cover cover(std::size_t(state.pairs));
    for (int pair = 0; pair < state.pairs; ++pair) {
        const auto fromStart = std::size_t(2 * pair);
        const auto fromTarget = fromStart + 1;
        std::vector<int>& route = cover[std::size_t(pair)];
        route.push_back(board.endpoints[fromStart]);
        for (int i = 0; i < state.firstTrailLengths[fromStart]; ++i) {
            route.push_back(codeOfCell(state.firstTrails[fromStart][std::size_t(i)]));
        }
        for (int i = state.firstTrailLengths[fromTarget] - 1; i >= 0; --i) {
            route.push_back(codeOfCell(state.firstTrails[fromTarget][std::size_t(i)]));
        }
        route.push_back(board.endpoints[fromTarget]);
    }
    return cover;
}

} // namespace

CoverTally countCoversWithin(const Board& board, int most, std::int64_t maxStates) {
    // Most candidates fail the colour balance, so it comes first and costs little: the grid is
    // read without branches (bytes outside the playing area are zero, never an empty cell).
    State state;
    for (int cell = 0; cell < maxCells; ++cell) {
        state.freeCells |= Mask{board.grid[std::size_t(cell)] == emptyCell ? 1U : 0U} << cell;
    }
    state.pairs = board.count / 2;
    int pairsBalance = 0;
    for (int pair = 0; pair < state.pairs; ++pair) {
        const int start = gridIndex(board.endpoints[std::size_t(2 * pair)]);
        const int target = gridIndex(board.endpoints[std::size_t(2 * pair + 1)]);
        state.ends[std::size_t(2 * pair)] = start;
        state.ends[std::size_t(2 * pair + 1)] = target;
        pairsBalance += routeBalance(start, target);
    }
    if (balanceOf(state.freeCells) != pairsBalance ||
        partedByARouteFromEdgeToEdge(state, board.size))
        return {};
    state.open = (1U << state.pairs) - 1;

    state.statesLeft = maxStates;
    state.coversWanted = most;
    const bool allFound = extend(state, true);
    CoverTally tally{std::nullopt, state.coversFound, allFound || state.statesLeft >= 0};
    if (state.coversFound > 0) tally.cover = coverOf(state, board);
    return tally;
}

CoverSearch findCoverWithin(const Board& board, std::int64_t maxStates) {
    CoverTally tally = countCoversWithin(board, 1, maxStates);
    return {std::move(tally.cover), tally.finished};
}

std::optional<Cover> findCover(const Board& board) {
    return findCoverWithin(board, std::numeric_limits<std::int64_t>::max()).cover;
}

} // namespace pairpath
