// A board's solutions: the exact count against brute force, the solution given with it, and the
// other covers that one cover shows at once, which must really be there.

#include "checks.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/messages.hpp"
#include "pairpath/sampler.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pairpath {
namespace {

// Every set of routes that fills the grid, counted by walking them all: each pair routed in turn
// from its start endpoint over empty cells to its target endpoint. Cells are grid indexes.
struct BruteForce {
    const Board& board;
    std::uint64_t full = 0;

    CoverCount count(std::uint64_t used, int pair, int at) const {
        if (at == targetOf(board.endpoints, pair)) {
            if (pair == board.count / 2) return used == full ? 1 : 0;
            return count(used, pair + 1, startOf(board.endpoints, pair + 1));
        }
        CoverCount routes = 0;
        for (const int step : {codeUp, codeDown, codeLeft, codeRight}) {
            const int next = at + step;
            const auto bit = std::uint64_t{1} << gridIndex(next);
            if (!testing::isInside(board, next)) continue;
            const bool entersTarget = next == targetOf(board.endpoints, pair);
            if (entersTarget || (testing::cellOf(board, next) == emptyCell && (used & bit) == 0))
                routes += count(used | bit, pair, next);
        }
        return routes;
    }
};

CoverCount bruteCount(const Board& board) {
    BruteForce walk{board};
    std::uint64_t used = 0;
    for (int code = 0; code < cellCode(board.size, 0); ++code) {
        if (!testing::isInside(board, code)) continue;
        walk.full |= std::uint64_t{1} << gridIndex(code);
        if (testing::cellOf(board, code) != emptyCell) used |= std::uint64_t{1} << gridIndex(code);
    }
    return walk.count(used, 1, startOf(board.endpoints, 1));
}

// Every placement of grids small enough to walk them all, with none, one and many solutions.
TEST(Solutions, CountsMatchBruteForceOnEveryPlacementOfSmallGrids) {
    std::array<int, 3> seen{}; // boards with no solution, one, more
    for (const auto& [empty, pairs] :
         {std::pair{".../.../...", 2}, {".../.../...", 3}, {"..../..../..../....", 2}}) {
        Board board = testing::boardFromText(empty);
        board.count = 2 * pairs;
        testing::forEachDraw(board, [&](const Board& placement, double) {
            const Solutions solved = solveBoard(placement);
            ASSERT_EQ(solved.count, bruteCount(placement)) << testing::gridText(placement);
            ASSERT_EQ(countSolutions(placement), solved.count);
            if (solved.count > 0) {
                ASSERT_EQ(testing::solutionFault(placement, solved.solution), "")
                    << testing::gridText(placement);
            }
            ++seen[std::size_t(std::min(solved.count, CoverCount{2}))];
        });
    }
    for (const int boards : seen)
        EXPECT_GT(boards, 100);
}

// Every path through all 36 cells of a 6 x 6 grid joins two cells: over every pair of cells, the
// counts of single paths between them add up to the grid's 229,348 such paths. And a board of the
// game, counted against brute force.
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
    std::srand(4);
    const Board puzzle = *findPuzzle(6, 6, nullptr).puzzle;
    const Solutions solved = solveBoard(puzzle);
    EXPECT_EQ(solved.count, bruteCount(puzzle));
    EXPECT_EQ(testing::solutionFault(puzzle, solved.solution), "");
}

// Where a cover shows another at once, the board has at least two solutions; and some do.
TEST(Solutions, AnotherCoverShownIsReallyThere) {
    std::srand(2);
    int shown = 0;
    for (const auto& [side, pairs] : {std::pair{6, 5}, {7, 6}, {8, 7}}) {
        for (int i = 0; i < 25; ++i) {
            const Board board = *findPuzzle(side, pairs, nullptr).puzzle;
            if (!showsAnotherCover(*findCover(board), side)) continue;
            ++shown;
            EXPECT_GE(countSolutions(board), 2U) << testing::gridText(board);
        }
    }
    EXPECT_GT(shown, 40);
}

// One-answer boards drawn directly on two threads: a seed gives the same board every run, and
// leaves the generator in the same state.
TEST(Solutions, OneAnswerBoardsAreTheSameEveryRun) {
    for (const unsigned seed : {1U, 2U, 3U}) {
        std::array<std::pair<Endpoints, int>, 2> runs;
        for (auto& [endpoints, next] : runs) {
            std::srand(seed);
            const Board board = *drawSolvable(8, 8, Answers::one);
            EXPECT_EQ(countSolutions(board), 1U) << testing::gridText(board);
            endpoints = board.endpoints;
            next = std::rand();
        }
        EXPECT_EQ(runs[0], runs[1]) << "seed " << seed;
    }
}

TEST(Solutions, CountsAreWrittenWhole) {
    const CoverCount large = CoverCount{21} << 64 | 13'667'352'096'382'718'152U;
    EXPECT_EQ(countText(0, true), "0");
    EXPECT_EQ(countText(999, true), "999");
    EXPECT_EQ(countText(4110, true), "4,110");
    EXPECT_EQ(countText(1'234'567, false), "1234567");
    EXPECT_EQ(countText(large, true), "401,048,977,644,283,302,088");
}

} // namespace
} // namespace pairpath
