// Drawing solvable boards directly: the cover counts against brute force, the odds against those
// of drawing createArray boards until one is solvable, and every board against the reference.

#include "boards.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

namespace pairpath {
namespace {

// --- Brute force ---

// Covers of an n x n grid by paths that share no cell, counted by trying every set of edges:
// the number of covers for each number of paths, each path of at least `shortest` cells.
struct EdgeSets {
    int n = 0;
    int shortest = 0;
    std::array<int, gridCells> degree{};
    std::array<bool, gridCells> right{}, down{};
    std::map<int, std::int64_t> coversByPaths;

    // The number of paths, or -1 when the edges hold a loop or a path that is too short.
    int paths() const {
        std::array<bool, gridCells> seen{};
        int found = 0;
        for (int start = 0; start < n * n; ++start) {
            if (degree[std::size_t(start)] != 1 || seen[std::size_t(start)]) continue;
            int length = 0;
            for (int at = start, from = -1; at >= 0; ++length) {
                seen[std::size_t(at)] = true;
                int next = -1;
                for (const int step : {1, -1, n, -n}) {
                    const int to = at + step;
                    if (to == from || to < 0 || to >= n * n) continue;
                    const int low = std::min(at, to);
                    if ((std::abs(step) == 1 && right[std::size_t(low)] && low / n == to / n) ||
                        (std::abs(step) == n && down[std::size_t(low)]))
                        next = to;
                }
                from = at;
                at = next;
            }
            if (length < shortest) return -1;
            ++found;
        }
        for (int cell = 0; cell < n * n; ++cell) {
            if (!seen[std::size_t(cell)]) return -1; // on a loop
        }
        return found;
    }

    void tryFrom(int cell) {
        if (cell == n * n) {
            if (const int count = paths(); count > 0) ++coversByPaths[count];
            return;
        }
        for (const bool goRight : {false, true}) {
            for (const bool goDown : {false, true}) {
                if ((goRight && cell % n == n - 1) || (goDown && cell >= n * (n - 1))) continue;
                right[std::size_t(cell)] = goRight;
                down[std::size_t(cell)] = goDown;
                degree[std::size_t(cell)] += goRight + goDown;
                if (goRight) ++degree[std::size_t(cell + 1)];
                if (goDown) ++degree[std::size_t(cell + n)];
                const int own = degree[std::size_t(cell)];
                if (own >= 1 && own <= 2 && degree[std::size_t(cell + 1)] <= 2) tryFrom(cell + 1);
                degree[std::size_t(cell)] -= goRight + goDown;
                if (goRight) --degree[std::size_t(cell + 1)];
                if (goDown) --degree[std::size_t(cell + n)];
            }
        }
    }
};

TEST(Sampler, CoverCountsMatchEveryEdgeSet) {
    for (int n = 2; n <= 4; ++n) {
        for (const int shortest : {2, 3}) {
            EdgeSets sets{n, shortest, {}, {}, {}, {}};
            sets.tryFrom(0);
            for (int paths = 1; paths <= n * n / 2; ++paths) {
                const auto expected = sets.coversByPaths[paths];
                EXPECT_EQ(std::int64_t(countCovers(n, paths, shortest)), expected)
                    << n << " x " << n << ", " << paths << " paths of at least " << shortest;
            }
        }
    }
}

// --- The loop's odds ---

using Placement = std::array<std::int32_t, 2 * maxPairs + 1>;

// The probability that createArray draws each placement, by walking every draw it can make:
// each endpoint is uniform over the free cells, a target over those not beside its start.
void walkDraws(Board& board, int endpoint, double odds, std::map<Placement, double>& out) {
    if (endpoint == board.count) {
        out[board.endpoints] += odds;
        return;
    }
    std::vector<int> cells;
    for (int code = 0; code < cellCode(board.size - 1, board.size); ++code) {
        if (columnOf(code) >= board.size || board.grid[std::size_t(gridIndex(code))] != '0')
            continue;
        if (endpoint % 2 == 1) {
            const int apart = std::abs(code - board.endpoints[std::size_t(endpoint - 1)]);
            if (apart == 1 || apart == 10) continue;
        }
        cells.push_back(code);
    }
    for (const int code : cells) {
        board.endpoints[std::size_t(endpoint)] = code;
        board.grid[std::size_t(gridIndex(code))] = digitOf(endpoint / 2 + 1);
        walkDraws(board, endpoint + 1, odds / double(cells.size()), out);
        board.grid[std::size_t(gridIndex(code))] = '0';
    }
    board.endpoints[std::size_t(endpoint)] = 0;
}

// The loop's answer: every solvable placement with its probability.
std::map<Placement, double> loopOdds(int size, int pairs) {
    Board board;
    board.size = size;
    board.count = 2 * pairs;
    for (int code = 0; code < cellCode(size - 1, size); ++code) {
        if (columnOf(code) < size) board.grid[std::size_t(gridIndex(code))] = '0';
    }
    std::map<Placement, double> drawn;
    walkDraws(board, 0, 1.0, drawn);
    std::map<Placement, double> solvable;
    double total = 0;
    for (const auto& [endpoints, odds] : drawn) {
        Board candidate = board;
        candidate.endpoints = endpoints;
        for (int entry = 0; entry < board.count; ++entry)
            candidate.grid[std::size_t(gridIndex(endpoints[std::size_t(entry)]))] =
                digitOf(entry / 2 + 1);
        if (solution(candidate) == 0) continue;
        solvable[endpoints] = odds;
        total += odds;
    }
    for (auto& entry : solvable)
        entry.second /= total;
    return solvable;
}

// Pearson's statistic of `counts` against `odds`, over `draws` draws, and the value it exceeds
// with probability 0.001 when the odds are right (Wilson and Hilferty's approximation).
struct ChiSquare {
    double statistic = 0;
    double limit = 0;
};

template <typename Key>
ChiSquare chiSquare(const std::map<Key, int>& counts, const std::map<Key, double>& odds,
                    int draws) {
    ChiSquare test;
    for (const auto& [key, probability] : odds) {
        const double expected = probability * draws;
        const auto found = counts.find(key);
        const double seen = found == counts.end() ? 0 : found->second;
        test.statistic += (seen - expected) * (seen - expected) / expected;
    }
    const double freedom = double(odds.size() - 1);
    const double spread = 2 / (9 * freedom);
    test.limit = freedom * std::pow(1 - spread + 3.09 * std::sqrt(spread), 3);
    return test;
}

TEST(Sampler, DrawsEveryPlacementWithTheLoopsOdds) {
    for (const auto& [size, pairs] : {std::pair{3, 3}, {4, 2}}) {
        const auto odds = loopOdds(size, pairs);
        const int draws = 10 * int(odds.size());
        std::map<Placement, int> counts;
        std::srand(1);
        for (int i = 0; i < draws; ++i) {
            const auto board = drawSolvable(size, pairs);
            ASSERT_TRUE(board.has_value());
            ASSERT_TRUE(odds.contains(board->endpoints)) << "a placement the loop never shows";
            ++counts[board->endpoints];
        }
        const ChiSquare test = chiSquare(counts, odds, draws);
        EXPECT_LT(test.statistic, test.limit) << size << " x " << size << ", " << pairs << " pairs";
    }
}

// How many free cells lay beside each start endpoint when it was placed, over all pairs: the
// statistic that createArray's odds move, since a target avoids the cells beside its start.
int freeBesideStarts(const Board& board) {
    std::array<bool, gridCells> taken{};
    int total = 0;
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        const int start = startOf(board.endpoints, pair);
        for (const auto& [down, right] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int row = rowOf(start) + down;
            const int column = columnOf(start) + right;
            const bool inside = row >= 0 && column >= 0 && row < board.size && column < board.size;
            total += inside && !taken[std::size_t(row * gridStride + column)] ? 1 : 0;
        }
        taken[std::size_t(gridIndex(start))] = true;
        taken[std::size_t(gridIndex(targetOf(board.endpoints, pair)))] = true;
    }
    return total;
}

struct Mean {
    double sum = 0;
    double squares = 0;
    int count = 0;
    void add(double value) {
        sum += value;
        squares += value * value;
        ++count;
    }
    double value() const { return sum / count; }
    double variance() const { return (squares / count - value() * value()) / count; }
};

TEST(Sampler, GivesTheLoopsBoardsOnAChoiceWhereBothAreFast) {
    constexpr int boards = 4000;
    ASSERT_FALSE(isDrawnDirectly(5, 5));
    Mean loop;
    Mean sampler;
    std::srand(1);
    for (int i = 0; i < boards; ++i)
        loop.add(freeBesideStarts(*findPuzzle(5, 5, nullptr).puzzle));
    for (int i = 0; i < boards; ++i)
        sampler.add(freeBesideStarts(*drawSolvable(5, 5)));
    const double apart = std::abs(loop.value() - sampler.value());
    EXPECT_LT(apart, 3 * std::sqrt(loop.variance() + sampler.variance()))
        << "loop " << loop.value() << ", sampler " << sampler.value();
}

TEST(Sampler, EveryBoardIsOneTheGeneratorCouldDrawAndTheReferenceSolves) {
    std::srand(3);
    for (int size = minSide; size <= maxSide; ++size) {
        for (int pairs = minPairs; pairs <= std::min(maxPairs, mostPairsFor(size)); ++pairs) {
            if (!isDrawnDirectly(size, pairs)) continue;
            for (int i = 0; i < (size < maxSide ? 4 : 2); ++i) {
                const Board board = *findPuzzle(size, pairs, nullptr).puzzle;
                ASSERT_EQ(testing::generatedBoardFault(board, size, pairs), "");
                EXPECT_EQ(solutionWithin(board, 1'000'000'000), 1)
                    << size << " x " << size << ", " << pairs;
            }
        }
    }
}

} // namespace
} // namespace pairpath
