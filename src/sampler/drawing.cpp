// Drawing solvable boards directly.
//
// For some choices of side and pair count only one random placement in 10^5 to 10^8 has a full
// cover, so drawing placements with createArray until one passes takes seconds, or for ever.
// This module gives the answer of that loop without the loop: every solvable placement comes
// out with the probability the loop gives it, that is the probability createArray draws it,
// renormalised over the solvable placements. (The only odds it does not copy are the tiny bias
// of std::rand() % side, which createArray has and this module has not.)
//
// A placement X is solvable exactly when its pairing E (which cells are paired, without pair
// numbers or directions) is the set of end pairs of some cover of the grid by P paths that share
// no cell. Let k(E) be the number of such covers, T the number of covers of the grid by P paths,
// and q(X) the probability that createArray draws X. One attempt:
//   1. Draw one of the T covers uniformly. Its end pairs are E with probability k(E) / T.
//   2. Reject it if some path's two ends are side by side: createArray never pairs such cells.
//   3. Number the paths and choose each one's start, uniformly: one of the P! 2^P placements X
//      of E, each with probability 1 / (P! 2^P).
//   4. Accept with probability q(X) / qmax, where qmax bounds q over every placement.
//   5. Accept with probability 1 / k(E).
// Any rejection starts a new attempt. An attempt thus returns X with probability
//   k(E) / T * 1 / (P! 2^P) * q(X) / qmax * 1 / k(E) = q(X) / (T P! 2^P qmax),
// which is proportional to q(X) on every solvable placement and zero elsewhere: the loop's odds.
//
// q(X): createArray places the endpoints in order, each start uniformly among the free cells and
// each target uniformly among the free cells not beside its own start. With N cells, pair i
// (from 1) finds F = N - 2i + 1 free cells when its target is drawn, f of them beside its start,
// so q(X) is a constant times the product of 1 / (F - f) over the pairs. Since f is at most 4
// (and F - f at least 1), qmax uses max(F - 4, 1) in place of F - f.
//
// Step 1 draws from the cover counts (cover_counts.hpp) with one uniform number below T: at each
// cell it falls among the completions of one way to fill it, which is taken, and what is left of
// it is uniform among those completions. The cover is abandoned as soon as a path with its ends
// side by side is finished (step 2). On grids up to 5 x 5 the count leaves out paths of two
// cells, whose ends are always side by side: the covers drawn are then uniform among the rest,
// which changes nothing above, since step 2 rejects the others anyway.
//
// Step 5 counts the covers with the ends held fixed (fixed_ends.hpp). That count is the slow part
// of an attempt, so it is mostly skipped: if the cover drawn shows that k(E) is at least m,
// accepting with probability 1 / m and then m / k(E) accepts with 1 / k(E), and k(E) is counted
// only after the first.

#include "pairpath/sampler/meeting_sweeps.hpp"
#include "pairpath/sampler/one_answer.hpp"

#include <bit>

namespace pairpath {

namespace {

// Cells here are numbered row * side + column.
bool sideBySide(int cell, int otherCell, int side) {
    const int apart = std::abs(cell - otherCell);
    return apart == side || (apart == 1 && cell / side == otherCell / side);
}

// The paths of a cover as it is drawn, cell by cell: for the cell at each end of a segment, the
// cell at its other end.
struct Segments {
    std::array<std::uint8_t, gridCells> otherEnd{};
    std::array<bool, gridCells> isPathEnd{};
    std::vector<EndPair> finished;
    bool endsSideBySide = false;

    void finish(int first, int second, int side) {
        finished.push_back({first, second});
        endsSideBySide = endsSideBySide || sideBySide(first, second, side);
    }
    void link(int first, int second) {
        otherEnd[std::size_t(first)] = std::uint8_t(second);
        otherEnd[std::size_t(second)] = std::uint8_t(first);
    }

    // Adds `cell`, entered from the cells in `from` (none, one or two) and leaving by `leaving`
    // edges.
    void add(int cell, std::array<int, 2> from, int entered, int leaving, int side) {
        isPathEnd[std::size_t(cell)] = entered + leaving == 1;
        if (entered == 0) {
            link(cell, cell);
            return;
        }
        const int far = otherEnd[std::size_t(from[0])];
        if (entered == 2) {
            const int otherFar = otherEnd[std::size_t(from[1])];
            if (isPathEnd[std::size_t(far)] && isPathEnd[std::size_t(otherFar)]) {
                finish(far, otherFar, side);
            } else {
                link(far, otherFar);
            }
        } else if (leaving == 0 && isPathEnd[std::size_t(far)]) {
            finish(far, cell, side);
        } else {
            link(far, cell);
        }
    }
};

} // namespace

Places placesOf(const DrawnCover& cover, int side) {
    Places places;
    for (std::size_t path = 0; path < cover.pairs.size(); ++path) {
        int previous = -1;
        for (int cell = cover.pairs[path].first, at = 0; cell != -1; ++at) {
            places.pathOf[std::size_t(cell)] = int(path);
            places.place[std::size_t(cell)] = at;
            const auto next = linkedCells(cover.edges, cell, side);
            const int onward = next[0] != previous ? next[0] : next[1];
            previous = cell;
            cell = onward;
        }
    }
    return places;
}

std::optional<DrawnCover> drawCover(const CoverCounts& counts, CoverCount pick) {
    const int side = counts.side;
    DrawnCover cover;
    auto& edges = cover.edges;
    Segments segments;
    std::uint32_t word = 0;
    int finished = 0;
    for (int cell = 0; cell < side * side; ++cell) {
        const Steps& steps = counts.stepsOf(cell % side, word);
        const Layer& next = counts.layers[std::size_t(cell + 1)];
        const Column& nextColumn = counts.columns[std::size_t((cell + 1) % side)];
        // Every way's completions are read before any is compared, so that the reads, which
        // mostly miss the cache, wait for memory together rather than one after another; and
        // the next cell's ways are fetched meanwhile, whichever word is taken.
        std::array<Span, mostWays> spans{};
        for (std::size_t way = 0; const Step step : steps.ways()) {
            __builtin_prefetch(nextColumn.steps + step.next());
            spans[way++] = next.spans[step.next()];
        }
        std::array<CoverCount, mostWays> onward{};
        for (std::size_t way = 0; const Step step : steps.ways()) {
            const Span span = spans[way];
            const int at = finished + step.closes() - span.lowest();
            if (at >= 0 && at < span.size())
                onward[way] = next.counts.count(span.first() + std::size_t(at));
            ++way;
        }
        int chosen = 0;
        for (; pick >= onward[std::size_t(chosen)]; ++chosen)
            pick -= onward[std::size_t(chosen)];
        const Step step = steps.step[std::size_t(chosen)];
        edges[std::size_t(cell)] = step.edges();
        word = step.next();
        finished += step.closes();

        std::array<int, 2> from{};
        int entered = 0;
        if (cell % side > 0 && (edges.at(std::size_t(cell - 1)) & rightEdge) != 0)
            from[std::size_t(entered++)] = cell - 1;
        if (cell >= side && (edges.at(std::size_t(cell - side)) & downEdge) != 0)
            from[std::size_t(entered++)] = cell - side;
        const int leaving = (step.edges() & downEdge) != 0 ? 1 : 0;
        segments.add(cell, from, entered, leaving + ((step.edges() & rightEdge) != 0 ? 1 : 0),
                     side);
        if (segments.endsSideBySide) return std::nullopt;
    }
    cover.pairs = std::move(segments.finished);
    return cover;
}

// --- From a pairing to a placement ---

// Numbers the pairs and orients each, uniformly: step 3.
std::vector<EndPair> numberAndOrient(std::vector<EndPair> pairs, RandomBits& bits) {
    for (std::size_t i = pairs.size() - 1; i > 0; --i) {
        std::swap(pairs[i], pairs[std::size_t(uniformBelow(bits, i + 1))]);
    }
    for (EndPair& pair : pairs) {
        if (takeBits(bits, 1) != 0) std::swap(pair.first, pair.second);
    }
    return pairs;
}

namespace {

int freeNeighbours(int cell, int side, std::uint64_t taken) {
    const int row = cell / side;
    const int column = cell % side;
    int count = 0;
    count += row > 0 && (taken >> (cell - side) & 1U) == 0 ? 1 : 0;
    count += row + 1 < side && (taken >> (cell + side) & 1U) == 0 ? 1 : 0;
    count += column > 0 && (taken >> (cell - 1) & 1U) == 0 ? 1 : 0;
    count += column + 1 < side && (taken >> (cell + 1) & 1U) == 0 ? 1 : 0;
    return count;
}

} // namespace

Board boardOfPlacement(const std::vector<EndPair>& placement, int side) {
    Board board;
    board.size = side;
    board.count = 2 * int(placement.size());
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column)
            cellAt(board.grid, cellCode(row, column)) = emptyCell;
    }
    for (std::size_t i = 0; i < placement.size(); ++i) {
        const EndPair& ends = placement[i];
        const int start = cellCode(ends.first / side, ends.first % side);
        const int target = cellCode(ends.second / side, ends.second % side);
        cellAt(board.grid, start) = digitOf(int(i) + 1);
        cellAt(board.grid, target) = digitOf(int(i) + 1);
        board.endpoints[2 * i] = start;
        board.endpoints[2 * i + 1] = target;
    }
    return board;
}

// Step 4: q(X) / qmax as a fraction (see the opening comment).
Odds acceptanceOdds(const std::vector<EndPair>& placement, int side) {
    // A start endpoint has at most this many neighbours, which its target may not take.
    constexpr int mostBeside = 4;
    const int cells = side * side;
    std::uint64_t taken = 0;
    Odds odds;
    for (std::size_t i = 0; i < placement.size(); ++i) {
        const EndPair& pair = placement[i];
        const int freeCells = cells - 2 * int(i) - 1; // when the target is drawn
        odds.accept *= std::uint64_t(std::max(freeCells - mostBeside, 1));
        odds.outOf *= std::uint64_t(freeCells - freeNeighbours(pair.first, side, taken));
        taken |= std::uint64_t{1} << pair.first | std::uint64_t{1} << pair.second;
    }
    return odds;
}

bool accepts(const Odds& odds, RandomBits& bits) {
    return uniformBelow(bits, odds.outOf) < odds.accept;
}

bool isOnlyCoverOfItsEnds(const DrawnCover& cover, int side) {
    const Places places = placesOf(cover, side);
    return otherCoversAtLeast(places, side) == 0 && !hasParallelPass(places, side) &&
           coversJoiningUpToTwo(cover.pairs, side) == 1;
}

std::optional<Board> drawSolvable(int size, int pairs, Answers answers, std::int64_t maxAttempts) {
    // On small grids nearly every cover has a two-cell path, whose ends are side by side, so
    // covers are drawn among those without one. On larger grids the frontier words that this
    // needs make the counts several times slower to build than the rejections they spare.
    constexpr int largestSideWithoutTwoCellPaths = 5;
    const int shortest = size <= largestSideWithoutTwoCellPaths ? 3 : 2;
    const CoverCounts& counts = coverCountsFor(size, pairs, shortest);
    if (counts.total() == 0) return std::nullopt;
    if (answers == Answers::one) return drawWithOneAnswer(counts, maxAttempts);
    RandomBits bits;
    for (std::int64_t attempt = 0; attempt < maxAttempts; ++attempt) {
        const auto cover = drawCover(counts, uniformBelow(bits, counts.total()));
        if (!cover) continue;
        const std::vector<EndPair> placement = numberAndOrient(cover->pairs, bits);
        if (!accepts(acceptanceOdds(placement, size), bits)) continue;
        // Accepting with probability 1 / least, then least / k(E), accepts with 1 / k(E), and
        // counts k(E) far less often.
        const auto least = CoverCount(1 + otherCoversAtLeast(placesOf(*cover, size), size));
        if (uniformBelow(bits, least) != 0) continue;
        if (uniformBelow(bits, coversJoining(cover->pairs, size).count) >= least) continue;
        return boardOfPlacement(placement, size);
    }
    return std::nullopt;
}

} // namespace pairpath
