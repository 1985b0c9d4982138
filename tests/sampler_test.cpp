// Drawing solvable boards directly: the exact cover counts, and counts written whole; exact counts
// of a board's solutions on larger boards and the solution given with them; the odds against those
// of drawing createArray boards until one is solvable, the same one-answer boards every run, and
// what a drawn cover shows of others at once.

#include "checks.hpp"
#include "pairpath/core/generate.hpp"
#include "pairpath/core/messages.hpp"
#include "pairpath/hunt/hunt.hpp"
#include "pairpath/sampler/drawing.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/sampler/meeting_sweeps.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <numeric>

namespace pairpath {
namespace {

// Covers of n x n grids by paths, for sides 2 to 4 and each number of paths, with paths of two
// cells allowed and without, as a walk over every set of edges in which each cell has one or two
// counts them (E edges on N cells without a loop make N - E paths). Single paths through every
// cell are the grid's Hamiltonian paths, whose numbers are known (229,348, 13,535,280 and
// 3,023,313,284 for sides 6 to 8). Covers of 8 x 8 by 9 paths pass 2^64:
// 401,048,977,644,283,302,088 of them, as the earlier, unpacked counts found too. Counts are
// written whole, their digits grouped or not.
TEST(Sampler, CoverCountsAreExact) {
    const auto small = std::to_array<std::tuple<int, int, std::vector<std::int64_t>>>({
        {2, 2, {4, 2}},
        {2, 3, {4, 0}},
        {3, 2, {20, 100, 102, 20}},
        {3, 3, {20, 72, 10, 0}},
        {4, 2, {276, 4240, 19388, 35760, 28828, 9876, 1232, 36}},
        {4, 3, {276, 3436, 9620, 6156, 384, 0, 0, 0}},
    });
    for (const auto& [n, shortest, counts] : small) {
        for (std::size_t paths = 1; paths <= counts.size(); ++paths)
            EXPECT_EQ(std::int64_t(countCovers(n, int(paths), shortest)), counts[paths - 1])
                << n << " x " << n << ", " << paths << " paths of at least " << shortest;
    }
    EXPECT_EQ(std::int64_t(countCovers(6, 1, 2)), 229'348);
    EXPECT_EQ(std::int64_t(countCovers(7, 1, 2)), 13'535'280);
    EXPECT_EQ(std::int64_t(countCovers(8, 1, 2)), 3'023'313'284);
    EXPECT_EQ(countText(countCovers(8, 9, 2), true), "401,048,977,644,283,302,088");
    EXPECT_EQ(countText(0, true), "0");
    EXPECT_EQ(countText(999, true), "999");
    EXPECT_EQ(countText(4110, true), "4,110");
    EXPECT_EQ(countText(1'234'567, false), "1234567");
}

// Every path through all 36 cells of a 6 x 6 grid joins two cells: over every pair of cells, the
// counts of single paths between them add up to the grid's 229,348 such paths. And a board of the
// game with 185 solutions, as a walk over every set of routes counts them.
TEST(Solutions, CountsOfLargerBoards) {
    Board board = testing::boardFromText("....../....../....../....../....../......");
    board.count = 2;
    CoverCount paths = 0;
    for (int first = 0; first < 36; ++first) {
        for (int second = first + 1; second < 36; ++second) {
            board.endpoints = {cellCode(first / 6, first % 6), cellCode(second / 6, second % 6)};
            paths += countSolutions(board);
        }
    }
    EXPECT_EQ(paths, 229'348U);
    const Board puzzle = testing::boardFromText("2..1.1/.....4/2...../5..3.4/...636/5.....");
    const Solutions solved = solveBoard(puzzle);
    EXPECT_EQ(solved.count, 185U);
    EXPECT_EQ(testing::solutionFault(puzzle, solved.solution), "");
}

// The sweeps that meet count as the single sweep does, up to two, on every side from 2 to 8: for
// any pairs of cells, side by side or not, and for the ends of drawn covers, which have one cover
// or more.
TEST(Solutions, SweepsThatMeetCountAsOneSweepDoes) {
    std::array<int, 3> seen{}; // pairings by count, up to two
    const auto expectSameCount = [&seen](const std::vector<EndPair>& pairs, int side) {
        const auto exact = int(std::min<CoverCount>(coversJoining(pairs, side).count, 2));
        ++seen[std::size_t(exact)];
        EXPECT_EQ(coversJoiningUpToTwo(pairs, side), exact) << side << " x " << side;
    };
    std::srand(13);
    for (int side = 2; side <= maxSide; ++side) {
        for (int paths = 1; paths <= std::min(maxPairs, side * side / 2); ++paths) {
            for (int i = 0; i < 20; ++i) {
                std::vector<int> cells(std::size_t(side * side));
                std::iota(cells.begin(), cells.end(), 0);
                for (std::size_t at = 0; at < std::size_t(2 * paths); ++at) // drawn, in turn
                    std::swap(cells[at],
                              cells[at + std::size_t(std::rand()) % (cells.size() - at)]);
                std::vector<EndPair> pairs;
                for (std::size_t at = 0; at < std::size_t(2 * paths); at += 2)
                    pairs.push_back({cells[at], cells[at + 1]});
                expectSameCount(pairs, side);
            }
        }
    }
    RandomBits bits;
    for (const auto& [side, paths] : {std::pair{4, 3}, {6, 4}, {7, 6}, {8, 8}}) {
        const CoverCounts& counts = coverCountsFor(side, paths, 2);
        for (int i = 0; i < 200; ++i) {
            if (const auto cover = drawCover(counts, uniformBelow(bits, counts.total())))
                expectSameCount(cover->pairs, side);
        }
    }
    EXPECT_GT(seen[1], 50);
    EXPECT_GT(seen[2], 100);
}

// One-answer boards drawn directly on two threads: a seed gives the same board every run, and
// leaves the generator in the same state.
TEST(Solutions, OneAnswerBoardsAreTheSameEveryRun) {
    for (const unsigned seed : {1U, 2U, 3U}) {
        std::array<std::pair<Endpoints, int>, 2> runs;
        for (auto& run : runs) {
            std::srand(seed);
            const Board board = *drawSolvable(8, 8, Answers::one);
            EXPECT_EQ(countSolutions(board), 1U) << testing::gridText(board);
            run = {board.endpoints, std::rand()}; // the board, and the generator's state after it
        }
        EXPECT_EQ(runs[0], runs[1]) << "seed " << seed;
    }
}

// --- The loop's odds ---

// Pearson's chi-square of the boards the sampler draws, or the hunt deals where `hunt` is true,
// against the loop's odds, among the placements of `empty` with `pairs` pairs that have a
// solution, or exactly one for Answers::one, must stay below the value it passes with
// probability 0.001 (Wilson and Hilferty's approximation).
void expectTheLoopsOdds(std::string_view empty, int pairs, Answers answers, bool hunt = false) {
    Board board = testing::boardFromText(empty);
    board.count = 2 * pairs;
    std::map<Endpoints, double> odds; // of each placement wanted, not yet divided by their sum
    double total = 0;
    testing::forEachDraw(board, [&](const Board& placement, double probability) {
        const CoverCount solutions = countSolutions(placement);
        if (answers == Answers::one ? solutions == 1 : solutions > 0)
            total += odds[placement.endpoints] = probability;
    });
    const int draws = 10 * int(odds.size());
    std::map<Endpoints, int> counts;
    std::srand(1);
    for (int i = 0; i < draws; ++i) {
        const std::optional<Board> drawn =
            hunt ? findPuzzle(board.size, pairs, nullptr, answers).puzzle
                 : drawSolvable(board.size, pairs, answers);
        ASSERT_TRUE(drawn && odds.contains(drawn->endpoints)) << "a placement the loop never shows";
        ++counts[drawn->endpoints];
    }
    double statistic = 0;
    for (const auto& [placement, probability] : odds) {
        const double expected = probability / total * draws;
        statistic += std::pow(counts[placement] - expected, 2) / expected;
    }
    const auto freedom = double(odds.size() - 1);
    const double spread = 2 / (9 * freedom);
    EXPECT_LT(statistic, freedom * std::pow(1 - spread + 3.09 * std::sqrt(spread), 3))
        << board.size << " x " << board.size << ", " << pairs << " pairs";
}

// The sampler, and the hunt, which keeps drawing until a board has exactly one solution.
TEST(Sampler, DrawsEveryPlacementWithTheLoopsOdds) {
    expectTheLoopsOdds(".../.../...", 3, Answers::any);
    expectTheLoopsOdds("..../..../..../....", 2, Answers::any);
    for (const bool hunt : {false, true}) {
        expectTheLoopsOdds(".../.../...", 2, Answers::one, hunt);
        expectTheLoopsOdds("..../..../..../....", 2, Answers::one, hunt);
    }
}

// The acceptance odds of a placement are proportional to the probability that createArray draws
// it, for every placement it can draw: accept / outOf / q(X) is one constant, and at most 1 / q.
TEST(Sampler, AcceptanceOddsFollowTheGeneratorsOddsExactly) {
    for (const auto& [empty, pairs] : {std::pair{".../.../...", 3},
                                       {"..../..../..../....", 2},
                                       {"..../..../..../....", 3},
                                       {"...../...../...../...../.....", 2}}) {
        Board board = testing::boardFromText(empty);
        board.count = 2 * pairs;
        std::vector<long double> ratios; // accept / outOf / q(X) of each placement, or -1
        testing::forEachDraw(board, [&ratios](const Board& placement, double probability) {
            const auto [accept, outOf] = acceptanceOdds(endPairsOf(placement), placement.size);
            ratios.push_back(
                accept > outOf ? -1 : accept / (outOf * static_cast<long double>(probability)));
        });
        const auto [least, most] = std::ranges::minmax(ratios);
        EXPECT_GT(least, 0) << empty;
        EXPECT_LT(most / least - 1, 1e-9) << empty;
        EXPECT_GT(ratios.size(), 1000U);
    }
}

// What a drawn cover shows at once of other covers with the same ends never passes the true count:
// on sides 6 to 8, where the counts allow two-cell paths, for covers of several path counts.
TEST(Sampler, OtherCoversFoundAtOnceAreNeverMoreThanThereAre) {
    std::srand(11);
    int shown = 0;    // covers that showed at least one other cover at once
    int parallel = 0; // of them, those with a path passing a square's two sides the same way
    for (const auto& [side, paths] : {std::pair{6, 4}, {6, 7}, {7, 5}, {7, 9}, {8, 9}}) {
        const CoverCounts& counts = coverCountsFor(side, paths, 2);
        RandomBits bits;
        for (int drawn = 0; drawn < 40;) {
            const auto cover = drawCover(counts, uniformBelow(bits, counts.total()));
            if (!cover) continue;
            ++drawn;
            const Places places = placesOf(*cover, side);
            const int others =
                std::max(otherCoversAtLeast(places, side), hasParallelPass(places, side) ? 1 : 0);
            shown += others > 0 ? 1 : 0;
            parallel += hasParallelPass(places, side) ? 1 : 0;
            EXPECT_LE(CoverCount(1 + others), coversJoining(cover->pairs, side).count)
                << side << " x " << side << ", " << paths << " paths";
        }
    }
    EXPECT_GT(shown, 50);
    EXPECT_GT(parallel, 0);
}

} // namespace
} // namespace pairpath
