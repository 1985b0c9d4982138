// The reference search and the fast search on boards whose answer is known, and against each
// other on generated boards.

#include "boards.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace pairpath {
namespace {

using testing::boardFromText;
using testing::coverFault;

struct KnownBoard {
    const char* why;
    Board board;
    bool solvable;
};

// Both searches must give the known answer, and a cover found must really be one. The
// reference walks every set of routes, so on large open boards it gets a budget and is only
// compared when it finishes within it.
void expectAnswer(const KnownBoard& known) {
    SCOPED_TRACE(known.why);
    if (const auto reference = solutionWithin(known.board, 20'000'000)) {
        EXPECT_EQ(*reference, known.solvable ? 1 : 0);
    }
    const auto cover = findCover(known.board);
    ASSERT_EQ(cover.has_value(), known.solvable);
    if (cover) {
        EXPECT_EQ(coverFault(known.board, *cover), "");
    }
}

TEST(Search, KnownBoards) {
    const KnownBoard boards[] = {
        {"rows, pair 4 zigzags through the last two rows",
         boardFromText({"1...1", "2...2", "3...3", "4....", "....4"}), true},
        {"pair 4 ends one cell short: every pair links, one cell stays empty",
         boardFromText({"1...1", "2...2", "3...3", "4....", "...4."}), false},
        {"the only cover runs pair 3 beside its own target and on",
         boardFromText({"..4.4", "..1..", "3.3..", ".1..2", "...2."}), true},
        {"corner cell between endpoints of two different pairs",
         boardFromText({".1..1", "2...2", "3...3", "4...4", "....."}), false},
        {"colour balance: free cells one light too many",
         boardFromText({"12...", ".....", ".....", ".....", "...21"}), false},
        {"pair 1 must pass where it walls in pair 2's start", boardFromText({"121", "...", "2.."}),
         false},
        {"8 x 8 columns: the cover sets all 64 bits",
         boardFromText({"12345678", "........", "........", "........", "........", "........",
                        "........", "12345678"}),
         true},
        {"8 x 8 columns one row short: the last row cannot be reached",
         boardFromText({"12345678", "........", "........", "........", "........", "........",
                        "12345678", "........"}),
         false},
        {"8 x 8, two pairs snake through the two halves",
         boardFromText({"1......1", "........", "........", "........", "........", "........",
                        "........", "2......2"}),
         true},
        {"8 x 8 rows, the last one short: the corner lies between two pairs",
         boardFromText({"1......1", "2......2", "3......3", "4......4", "5......5", "6......6",
                        "7......7", "8.....8."}),
         false},
    };
    for (const KnownBoard& known : boards)
        expectAnswer(known);
}

TEST(Search, FiveByFiveNeverHoldsNinePairs) {
    std::srand(99);
    for (int i = 0; i < 300; ++i) {
        const Board board = createArray(5, 9);
        ASSERT_FALSE(findCover(board).has_value());
        ASSERT_EQ(solutionWithin(board, 2'000'000).value_or(0), 0);
    }
}

TEST(Search, LeavesTheBoardAlone) {
    const Board board = boardFromText({"1...1", "2...2", "3...3", "4....", "....4"});
    Board copy = board;
    ASSERT_EQ(solution(copy), 1);
    ASSERT_TRUE(findCover(copy).has_value());
    EXPECT_EQ(copy.grid, board.grid);
    EXPECT_EQ(copy.endpoints, board.endpoints);
}

// Compares the fast search with the reference on one board. The reference gets a budget of
// calls; boards that exhaust it are counted and skipped.
struct Comparison {
    int compared = 0;
    int solvable = 0;
    int overBudget = 0;

    void check(const Board& board) {
        constexpr std::int64_t budget = 3'000'000;
        const auto fast = findCover(board);
        if (fast) {
            ASSERT_EQ(coverFault(board, *fast), "");
        }
        const auto reference = solutionWithin(board, budget);
        if (!reference) {
            ++overBudget;
            return;
        }
        ++compared;
        solvable += *reference;
        ASSERT_EQ(fast.has_value(), *reference == 1) << "size " << board.size;
    }
};

// Generated candidates of every side and pair count.
TEST(Search, AgreesWithReferenceOnGeneratedBoards) {
    Comparison comparison;
    for (int side = minSide; side <= maxSide; ++side) {
        for (int pairs = minPairs; pairs <= maxPairs; ++pairs) {
            std::srand(static_cast<unsigned>(side * 100 + pairs));
            const int boards = side <= 6 ? 400 : 150;
            for (int i = 0; i < boards; ++i) {
                ASSERT_NO_FATAL_FAILURE(comparison.check(createArray(side, pairs)));
            }
        }
    }
    std::cout << "generated: compared " << comparison.compared << " boards (" << comparison.solvable
              << " solvable), " << comparison.overBudget << " over the reference's budget\n";
    EXPECT_GT(comparison.compared, 4000);
}

// Near misses: solvable boards with one endpoint moved to another empty cell. About half of
// them stay solvable, which is where an unsound pruning rule would show.
TEST(Search, AgreesWithReferenceOnNearMisses) {
    Comparison comparison;
    std::srand(7);
    for (int side = 5; side <= 6; ++side) {
        for (int pairs = minPairs; pairs <= 6; ++pairs) {
            for (int i = 0; i < 6; ++i) {
                const auto puzzle = findPuzzle(side, pairs, nullptr).puzzle;
                ASSERT_TRUE(puzzle.has_value());
                for (int entry = 0; entry < puzzle->count; ++entry) {
                    for (int code = 0; code < cellCode(side - 1, side); ++code) {
                        if (columnOf(code) >= side) continue;
                        if (puzzle->grid[std::size_t(gridIndex(code))] != emptyCell) continue;
                        Board moved = *puzzle;
                        const int from = moved.endpoints[std::size_t(entry)];
                        std::swap(moved.grid[std::size_t(gridIndex(from))],
                                  moved.grid[std::size_t(gridIndex(code))]);
                        moved.endpoints[std::size_t(entry)] = code;
                        ASSERT_NO_FATAL_FAILURE(comparison.check(moved));
                    }
                }
            }
        }
    }
    std::cout << "near misses: compared " << comparison.compared << " boards ("
              << comparison.solvable << " solvable), " << comparison.overBudget
              << " over the reference's budget\n";
    EXPECT_GT(comparison.solvable, 300);
    EXPECT_GT(comparison.compared - comparison.solvable, 300);
}

} // namespace
} // namespace pairpath
