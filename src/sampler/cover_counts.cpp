// Counting the covers of a grid by paths, with the frontier words of a row-by-row sweep.
//
// The number of ways to finish the grid is kept for every cell, every word that can stand there
// and every number of finished paths that can still end with the wanted number: near the top
// only what can be reached from the empty grid, near the bottom only what the cells left have
// room for. The counts take as few bytes as each cell's largest needs (12 MB in all on an 8 x 8
// grid with 9 paths).

#include "pairpath/sampler/cover_counts.hpp"

#include "pairpath/sampler/random_bits.hpp"

#include <bit>
#include <type_traits>

namespace pairpath {

namespace {

// --- Packed counts ---

// Room for `counts` counts of `bytesEach` bytes; the last one is read and written 8 bytes at a
// time too.
void makeCounts(Counts& counts, Arena& arena, std::size_t howMany, int bytesEach) {
    counts.width = bytesEach;
    counts.mask = bytesEach >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << 8 * bytesEach) - 1;
    counts.bytes = arena.take(howMany * std::size_t(bytesEach) + 8);
}

// Gives back the room after the first `kept` counts, when it was the arena's last taken.
void keepFirst(const Counts& counts, Arena& arena, std::size_t kept) {
    arena.giveBack(counts.bytes + kept * std::size_t(counts.width) + 8);
}

// Written in order: the bytes above a count's width are zero, and the next count overwrites them.
void put(const Counts& counts, std::size_t index, std::uint64_t value) {
    std::memcpy(counts.bytes + index * std::size_t(counts.width), &value, sizeof value);
}
void put(const Counts& counts, std::size_t index, CoverCount value) {
    put(counts, index, std::uint64_t(value));
    if (counts.width != 16) return;
    const auto high = std::uint64_t(value >> 64);
    std::memcpy(counts.bytes + index * std::size_t(counts.width) + 8, &high, sizeof high);
}

// --- What can be met where ---

void takeColumns(CoverCounts& counts, const StepTable& table) {
    counts.columns.resize(std::size_t(table.side));
    std::size_t first = 0;
    for (std::size_t at = 0; at < counts.columns.size(); ++at) {
        counts.columns[at] = {table.words[at], table.tied.data() + first,
                              table.steps.data() + first};
        first += table.words[at];
    }
}

using Lanes = std::uint16_t; // bit f: met with f finished paths

// The numbers of finished paths that can still end with `paths`, for a word with a given number
// of tied slots, when `cellsLeft` cells are left to fill. Every unfinished path needs two ends:
// each tied slot leads to one already placed, and each cell left can be one more. Two tied slots
// can at best belong to the same path.
using Room = std::array<Lanes, maxSlots + 1>;

Room roomLeft(int paths, int cellsLeft) {
    Room room{};
    for (int tied = 0; tied <= maxSlots; ++tied) {
        const int most = paths - (tied + 1) / 2;
        for (int finished = std::max(0, paths - (cellsLeft + tied) / 2); finished <= most;
             ++finished)
            room.at(std::size_t(tied)) |= Lanes(1U << finished);
    }
    return room;
}

// Which words, with which numbers of finished paths, can be met before each cell up to `last` on
// the way to a cover, as far as reaching them from the empty grid and the room left tell.
std::vector<std::vector<Lanes>> reachable(const CoverCounts& counts, int last) {
    const int side = counts.side;
    const int cells = side * side;
    std::vector<std::vector<Lanes>> reach(static_cast<std::size_t>(last));
    for (int cell = 0; cell < last; ++cell)
        reach[std::size_t(cell)].assign(counts.columns[std::size_t(cell % side)].words, 0);
    reach[0][0] = 1;
    for (int cell = 0; cell + 1 < last; ++cell) {
        const auto& here = reach[std::size_t(cell)];
        auto& next = reach[std::size_t(cell + 1)];
        const Column& column = counts.columns[std::size_t(cell % side)];
        const Column& nextColumn = counts.columns[std::size_t((cell + 1) % side)];
        const Room room = roomLeft(counts.paths, cells - cell - 1);
        for (std::size_t word = 0; word < here.size(); ++word) {
            if (here[word] == 0) continue;
            for (const Step step : column.steps[word].ways()) {
                next[step.next()] |=
                    Lanes((here[word] << step.closes()) & room[nextColumn.tied[step.next()]]);
            }
        }
    }
    return reach;
}

Lanes lanesOf(Span span) { return Lanes(((1U << span.size()) - 1) << span.lowest()); }

// --- Summing a layer ---

// How one word's counts come from the layer after it: for each way to fill the cell, where its
// lanes lie there, and which of this word's lanes it reaches.
struct Onward {
    Span span;                                    // of this word's counts
    std::array<std::ptrdiff_t, mostWays> shift{}; // from a lane here to its count there
    std::array<int, mostWays> from{};
    std::array<int, mostWays> to{};
};

// The lanes of `word` that have completions, among `wanted`; a span of size 0 when none.
Onward onwardOf(const Steps& steps, const Layer& after, Lanes wanted, std::size_t used) {
    std::array<Span, mostWays> next{};
    unsigned live = 0;
    for (int i = 0; i < steps.count; ++i) {
        const Step step = steps.step[std::size_t(i)];
        next[std::size_t(i)] = after.spans[step.next()];
        live |= unsigned(lanesOf(next[std::size_t(i)])) >> step.closes();
    }
    live &= wanted;
    Onward onward;
    if (live == 0) return onward;
    const int lowest = std::countr_zero(live);
    const int size = int(std::bit_width(live)) - lowest;
    onward.span = Span::of(used, lowest, size);
    // Lane l here continues as lane l + closes there.
    for (int i = 0; i < steps.count; ++i) {
        const Span span = next[std::size_t(i)];
        const int offset = lowest + steps.step[std::size_t(i)].closes() - span.lowest();
        onward.shift[std::size_t(i)] = std::ptrdiff_t(span.first()) + offset;
        onward.from[std::size_t(i)] = std::max(0, -offset);
        onward.to[std::size_t(i)] = std::min(size, span.size() - offset);
    }
    return onward;
}

// Works out the layer before `cell` from the layer after it, adding up in `Sum`, for the numbers
// of finished paths in `lanes`. A word's counts are kept for those that have completions, each
// the sum over the ways to fill the cell.
template <typename Sum>
void sumLayer(CoverCounts& counts, int cell, const std::vector<Lanes>& lanes) {
    Layer& layer = counts.layers[std::size_t(cell)];
    const Layer& after = counts.layers[std::size_t(cell + 1)];
    const Column& column = counts.columns[std::size_t(cell % counts.side)];
    std::size_t room = 0;
    for (const Lanes some : lanes)
        room += std::size_t(std::bit_width(some));
    // Three counts below 2^b add up to less than 2^(b + 2).
    const int bits = after.counts.largest + 2;
    makeCounts(layer.counts, counts.arena, room, bits > 64 ? 16 : (bits + 7) / 8);
    std::size_t used = 0;
    Sum seen = 0; // every count, or-ed
    for (std::uint32_t word = 0; word < lanes.size(); ++word) {
        layer.spans[word] = Span{};
        if (lanes[word] == 0) continue;
        const Steps& steps = column.steps[word];
        const Onward onward = onwardOf(steps, after, lanes[word], used);
        layer.spans[word] = onward.span;
        for (int lane = 0; lane < onward.span.size(); ++lane) {
            Sum sum = 0;
            for (std::size_t i = 0; i < std::size_t(steps.count); ++i) {
                if (lane < onward.from[i] || lane >= onward.to[i]) continue;
                const auto at = std::size_t(onward.shift[i] + lane);
                if constexpr (std::is_same_v<Sum, std::uint64_t>) {
                    sum += after.counts.low(at);
                } else {
                    sum += after.counts.count(at);
                }
            }
            put(layer.counts, used++, sum);
            seen |= sum;
        }
    }
    keepFirst(layer.counts, counts.arena, used);
    layer.counts.largest = bitWidth(seen);
}

void countLayer(CoverCounts& counts, int cell, const std::vector<Lanes>& lanes) {
    if (counts.layers[std::size_t(cell + 1)].counts.largest + 2 <= 64) {
        sumLayer<std::uint64_t>(counts, cell, lanes);
    } else {
        sumLayer<CoverCount>(counts, cell, lanes);
    }
}

// The steps of every column, and an empty layer of spans for every cell boundary; the last
// layer, where every cell is filled, counts only the empty word with every path finished.
void prepareLayers(CoverCounts& counts) {
    const int side = counts.side;
    if (side == builtSteps.side && counts.shortest == 2) {
        takeColumns(counts, builtSteps);
    } else {
        counts.worked = workOutSteps(side, counts.shortest);
        takeColumns(counts, counts.worked.table);
    }
    const int cells = side * side;
    counts.layers.resize(std::size_t(cells + 1));
    std::size_t words = 0;
    for (int cell = 0; cell <= cells; ++cell)
        words += counts.columns[std::size_t(cell % side)].words;
    Span* spans = counts.arena.make<Span>(words);
    for (int cell = 0; cell <= cells; ++cell) {
        counts.layers[std::size_t(cell)].spans = spans;
        spans += counts.columns[std::size_t(cell % side)].words;
    }
    Layer& full = counts.layers[std::size_t(cells)];
    full.spans[0] = Span::of(0, counts.paths, 1);
    makeCounts(full.counts, counts.arena, 1, 1);
    put(full.counts, 0, std::uint64_t{1});
    full.counts.largest = 1;
}

// The completions of every layer. Below `reached` the room left leaves about as few words and
// numbers of finished paths to count as what can be reached from the empty grid; above it far
// fewer can be reached than have room, and only those are counted.
void countLayers(CoverCounts& counts) {
    const int cells = counts.side * counts.side;
    const int reached = cells / 2;
    std::vector<Lanes> lanes;
    for (int cell = cells - 1; cell >= reached; --cell) {
        const Column& column = counts.columns[std::size_t(cell % counts.side)];
        const Room room = roomLeft(counts.paths, cells - cell);
        lanes.resize(column.words);
        for (std::size_t word = 0; word < lanes.size(); ++word)
            lanes[word] = room[column.tied[word]];
        countLayer(counts, cell, lanes);
    }
    const auto reach = reachable(counts, reached);
    for (int cell = reached - 1; cell >= 0; --cell)
        countLayer(counts, cell, reach[std::size_t(cell)]);
}

} // namespace

// The counts of the last choice asked for are kept: a new puzzle of the same choice starts at
// once.
const CoverCounts& coverCountsFor(int side, int paths, int shortest) {
    static std::unique_ptr<CoverCounts> kept;
    if (!kept || kept->side != side || kept->paths != paths || kept->shortest != shortest) {
        kept.reset(); // its memory first
        auto built = std::make_unique<CoverCounts>();
        built->side = side;
        built->paths = paths;
        built->shortest = shortest;
        prepareLayers(*built);
        countLayers(*built);
        kept = std::move(built);
    }
    return *kept;
}

CoverCount countCovers(int size, int paths, int shortest) {
    return coverCountsFor(size, paths, shortest).total();
}

} // namespace pairpath
