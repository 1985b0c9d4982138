// Looking for a puzzle: however the work is shared between threads, the answer is the first
// candidate with a cover, exactly as a plain loop over the generator finds it; and every
// candidate keeps the generator's rules.

#include "checks.hpp"
#include "pairpath/generate.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/sampler.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <sstream>

namespace pairpath {
namespace {

// On these choices a hunt often runs past its first candidates into shared batches, and a
// batch often holds more than one board with a cover, or with exactly one.
TEST(Hunt, FindsTheFirstCandidateWithACover) {
    int cornerNeighbours = 0; // pair 1's ends may touch at a corner
    for (const auto& [size, pairs, answers, seeds] : {std::tuple{6, 6, Answers::any, 30U},
                                                      {7, 6, Answers::any, 30U},
                                                      {8, 7, Answers::any, 30U},
                                                      {6, 4, Answers::one, 10U}}) {
        ASSERT_FALSE(isDrawnDirectly(size, pairs, answers));
        for (unsigned seed = 1; seed <= seeds; ++seed) {
            std::srand(seed);
            const int column = std::rand() % size; // the first cell: column first, then row
            const int row = std::rand() % size;
            std::srand(seed);
            std::int64_t candidates = 0;
            Board expected;
            do {
                expected = createArray(size, pairs);
                ASSERT_EQ(testing::generatedBoardFault(expected, size, pairs), "");
                const int apart = std::abs(expected.endpoints[0] - expected.endpoints[1]);
                cornerNeighbours += apart == 9 || apart == 11 ? 1 : 0;
                EXPECT_TRUE(candidates++ > 0 || expected.endpoints[0] == cellCode(row, column));
            } while (!findCover(expected) ||
                     (answers == Answers::one && countSolutions(expected) != 1));
            // Hunting twice from the same seed also leaves the generator in the same state,
            // however far the drawing ran ahead of the searching, so the next board is the same.
            std::array<int, 2> next{};
            for (int& value : next) {
                std::srand(seed);
                const PuzzleHunt hunt = findPuzzle(size, pairs, nullptr, answers);
                ASSERT_TRUE(hunt.puzzle.has_value());
                EXPECT_EQ(hunt.candidates, candidates)
                    << size << " x " << size << ", seed " << seed;
                EXPECT_EQ(hunt.puzzle->endpoints, expected.endpoints);
                value = std::rand();
            }
            EXPECT_EQ(next[0], next[1]) << size << " x " << size << ", seed " << seed;
        }
    }
    EXPECT_GT(cornerNeighbours, 0);
}

TEST(Hunt, StopsAtTheLimit) {
    for (const std::int64_t limit : {1, 100, 5000}) {
        std::ostringstream progress;
        const PuzzleHunt hunt = findPuzzle(5, 9, &progress, Answers::any, limit);
        EXPECT_FALSE(hunt.puzzle.has_value());
        EXPECT_EQ(hunt.candidates, limit);
        EXPECT_EQ(progress.str(), "") << "a short hunt reports nothing";
    }
}

} // namespace
} // namespace pairpath
