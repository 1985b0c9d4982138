// The random generator: the invariants of every board it returns, and how it uses std::rand.

#include "pairpath.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace pairpath {
namespace {

// Describes the first broken invariant of a generated board, or "" when all hold.
std::string generatedBoardFault(const Board& board, int size, int pairs) {
    if (board.size != size || board.count != 2 * pairs) return "wrong size or count";
    for (int entry = board.count; entry < int(board.endpoints.size()); ++entry) {
        if (board.endpoints[std::size_t(entry)] != 0) return "entry beyond count is not 0";
    }
    std::array<int, maxPairs + 1> cellsPerPair{};
    for (int row = 0; row < gridStride; ++row) {
        for (int column = 0; column < gridStride; ++column) {
            const char cell = board.grid[std::size_t(row * gridStride + column)];
            if (row >= size || column >= size) {
                if (cell != 0) return "byte outside the playing area is not zero";
                continue;
            }
            if (cell == emptyCell) continue;
            if (cell < '1' || cell > digitOf(pairs)) return "cell holds an unknown character";
            ++cellsPerPair[std::size_t(cell - '0')];
        }
    }
    for (int pair = 1; pair <= pairs; ++pair) {
        if (cellsPerPair[std::size_t(pair)] != 2) return "a digit is not on exactly two cells";
        const int start = board.endpoints[std::size_t(2 * pair - 2)];
        const int target = board.endpoints[std::size_t(2 * pair - 1)];
        for (const int code : {start, target}) {
            if (rowOf(code) >= size || columnOf(code) >= size) return "endpoint off the grid";
            if (board.grid[std::size_t(gridIndex(code))] != digitOf(pair)) {
                return "endpoint cell does not hold its digit";
            }
        }
        const int apart = std::abs(start - target);
        if (apart == 1 || apart == 10) return "a pair's endpoints are side by side";
    }
    return "";
}

TEST(Generator, EveryBoardKeepsTheInvariants) {
    for (int size = minSide; size <= maxSide; ++size) {
        for (int pairs = minPairs; pairs <= maxPairs; ++pairs) {
            for (unsigned seed = 1; seed <= 200; ++seed) {
                std::srand(seed * 977 + unsigned(size * 10 + pairs));
                const Board board = createArray(size, pairs);
                ASSERT_EQ(generatedBoardFault(board, size, pairs), "")
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
