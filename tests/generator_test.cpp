// The random generator: the invariants of every board it returns, and how it uses std::rand.

#include "boards.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace pairpath {
namespace {

TEST(Generator, EveryBoardKeepsTheInvariants) {
    for (int size = minSide; size <= maxSide; ++size) {
        for (int pairs = minPairs; pairs <= maxPairs; ++pairs) {
            for (unsigned seed = 1; seed <= 200; ++seed) {
                std::srand(seed * 977 + unsigned(size * 10 + pairs));
                const Board board = createArray(size, pairs);
                ASSERT_EQ(testing::generatedBoardFault(board, size, pairs), "")
                    << size << " x " << size << ", " << pairs << " pairs, seed " << seed;
            }
        }
    }
}

TEST(Generator, CornerNeighboursOfAPairDoOccur) {
    int diagonal = 0;
    std::srand(5);
    for (int i = 0; i < 2000; ++i) {
        const Board board = createArray(5, 9);
        for (int pair = 0; pair < 9; ++pair) {
            const int apart = std::abs(board.endpoints[std::size_t(2 * pair)] -
                                       board.endpoints[std::size_t(2 * pair + 1)]);
            diagonal += apart == 9 || apart == 11;
        }
    }
    EXPECT_GT(diagonal, 0);
}

TEST(Generator, FirstCellComesFromTheFirstTwoRandValues) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        for (int size = minSide; size <= maxSide; ++size) {
            std::srand(seed);
            const int column = std::rand() % size;
            const int row = std::rand() % size;
            std::srand(seed);
            const Board board = createArray(size, minPairs);
            EXPECT_EQ(board.endpoints[0], cellCode(row, column)) << "seed " << seed;
        }
    }
}

TEST(Generator, SameSeedSameBoards) {
    for (int size = minSide; size <= maxSide; ++size) {
        std::srand(42);
        const Board first = createArray(size, 6);
        const Board second = createArray(size, 6);
        std::srand(42);
        EXPECT_EQ(createArray(size, 6).grid, first.grid);
        EXPECT_EQ(createArray(size, 6).endpoints, second.endpoints);
    }
}

} // namespace
} // namespace pairpath
