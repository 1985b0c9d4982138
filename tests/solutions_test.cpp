// A board's solutions: exact counts on larger boards and the solution given with them, the same
// one-answer boards every run, and counts written whole.

#include "checks.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/messages.hpp"
#include "pairpath/sampler.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pairpath {
namespace {

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
