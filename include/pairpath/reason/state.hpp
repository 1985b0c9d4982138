// The reasoning solver's state: every pair's route grown from its two endpoints, as a player
// draws it, with the moves ruled out so far, and the record of one deduction.
//
// Cells here are grid indexes (row * 8 + column), the bits of one 64-bit word; deductions name
// cells by their cell codes and pairs from 1, as the game does.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/core/search.hpp"

#include <array>
#include <cstdint>

namespace pairpath {

using CellMask = std::uint64_t;

constexpr CellMask cellBit(int cell) { return CellMask{1} << cell; }
constexpr int codeOfCell(int cell) { return cellCode(cell / gridStride, cell % gridStride); }

// The cells one step from `cells` in `way`: 0 up, 1 down, 2 left, 3 right.
constexpr CellMask stepped(CellMask cells, int way) {
    constexpr CellMask columnZero = 0x0101010101010101ULL;
    switch (way) {
    case 0: return cells >> gridStride;
    case 1: return cells << gridStride;
    case 2: return (cells >> 1) & ~(columnZero << (gridStride - 1));
    default: return (cells << 1) & ~columnZero;
    }
}

inline constexpr std::size_t maxEnds = std::size_t{2} * maxPairs;
inline constexpr std::uint8_t noTrail = 0xFF;

// A board partly solved. Each pair has two loose ends, at first its endpoints; a move takes a
// loose end into a free neighbouring cell, or joins it to its pair's other loose end, which
// finishes the pair. Loose end 2p grows pair p + 1's route from its start endpoint, 2p + 1 from
// its target endpoint.
struct RouteState {
    CellMask area = 0;      // the playing area
    CellMask freeCells = 0; // cells no route holds yet
    int pairs = 0;
    unsigned open = 0; // bit p is set while pair p + 1 is unfinished
    std::array<std::uint8_t, maxEnds> ends{};
    std::array<std::uint8_t, maxEnds> banned{};  // ways ruled out from where each end is
    std::array<std::uint8_t, gridCells> trail{}; // the end whose trail holds a cell, or noTrail
    std::array<std::uint8_t, gridCells> place{}; // steps from that trail's endpoint
};

// The cell of loose end `end`; the end whose trail holds `cell`, or -1; its place on the trail.
constexpr int endAt(const RouteState& state, int end) { return state.ends[std::size_t(end)]; }
constexpr int trailOf(const RouteState& state, int cell) {
    const int end = state.trail[std::size_t(cell)];
    return end == noTrail ? -1 : end;
}
constexpr int placeOf(const RouteState& state, int cell) { return state.place[std::size_t(cell)]; }

// What a ruled-out move would lead to, or what makes a state impossible.
enum class Failure : std::uint8_t {
    none,
    cutOff,       // a free cell that no route can pass through
    boxedIn,      // a loose end with no way on
    unfilled,     // a region of free cells that no pair can fill
    split,        // a pair whose loose ends share no region
    unbalanced,   // a region whose dark and light cells its pairs cannot match
    turnBeside,   // a turn round a square beside a straight run: a second answer
    parallelPass, // a route along two sides of a square the same way: a second answer
};

// The rule a deduction used: levels 1 (the first three), 2, 3, 4, then the search.
enum class Rule : std::uint8_t { onlyWayOn, onlyEntry, local, regions, trial, nestedTrial, search };

// One deduction: a move taken, or a move ruled out and what it would lead to.
struct Deduction {
    Rule rule = Rule::onlyWayOn;
    Failure failure = Failure::none; // for a move ruled out
    bool ruledOut = false;
    int pair = 0;
    int from = -1; // cell codes: the loose end, and the cell it enters (its partner's to join)
    int to = -1;
    int cell = -1; // the cell the reason names, or -1
    int other = 0; // the pair the reason names, or 0
};

RouteState startState(const Board& board);
constexpr bool isOpen(const RouteState& state, int pair) { return (state.open >> pair & 1U) != 0; }
// The cells loose end `end` may enter: free neighbours, and its partner's cell to join.
CellMask movesOf(const RouteState& state, int end);
// The way from a cell to its neighbour: 0 up, 1 down, 2 left, 3 right.
int wayBetween(int from, int to);
void takeMove(RouteState& state, int end, int cell);
void banMove(RouteState& state, int end, int cell);
// True when b comes right after a on a route, from its start endpoint toward its target.
bool follows(const RouteState& state, int a, int b);
bool linked(const RouteState& state, int a, int b);
// Every route, as cell codes from its start endpoint to its target; every pair finished.
Cover routesOf(const RouteState& state);

} // namespace pairpath
