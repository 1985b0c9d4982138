// Looking for a puzzle: whatever the sharing of work between threads, the answer is the first
// candidate with a cover, exactly as a plain loop over the generator would find it.

#include "pairpath.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace pairpath {
namespace {

// The plain loop: candidates one after another until `passes` accepts one.
template <typename Passes> PuzzleHunt huntInOrder(int size, int pairs, Passes passes) {
    PuzzleHunt hunt;
    for (;;) {
        const Board candidate = createArray(size, pairs);
        ++hunt.candidates;
        if (passes(candidate)) {
            hunt.puzzle = candidate;
            return hunt;
        }
    }
}

void expectSameHunt(int size, int pairs, unsigned seed, const PuzzleHunt& expected) {
    std::srand(seed);
    const PuzzleHunt hunt = findPuzzle(size, pairs, nullptr);
    ASSERT_TRUE(hunt.puzzle.has_value());
    EXPECT_EQ(hunt.candidates, expected.candidates) << size << " x " << size << ", seed " << seed;
    EXPECT_EQ(hunt.puzzle->grid, expected.puzzle->grid);
    EXPECT_EQ(hunt.puzzle->endpoints, expected.puzzle->endpoints);
}

TEST(Hunt, FindsTheBoardTheReferenceFindsFirst) {
    for (const auto& [size, pairs] : {std::pair{5, 4}, {5, 5}, {5, 6}}) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            std::srand(seed);
            const auto expected =
                huntInOrder(size, pairs, [](const Board& b) { return solution(b) == 1; });
            expectSameHunt(size, pairs, seed, expected);
        }
    }
}

TEST(Hunt, SharedWorkFindsWhatOneThreadFinds) {
    for (const auto& [size, pairs] : {std::pair{6, 6}, {7, 7}, {8, 8}}) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::srand(seed);
            const auto expected =
                huntInOrder(size, pairs, [](const Board& b) { return findCover(b).has_value(); });
            expectSameHunt(size, pairs, seed, expected);
        }
    }
}

TEST(Hunt, StopsAtTheLimit) {
    for (const std::int64_t limit : {1, 100, 5000}) {
        std::ostringstream progress;
        const PuzzleHunt hunt = findPuzzle(5, 9, &progress, limit);
        EXPECT_FALSE(hunt.puzzle.has_value());
        EXPECT_EQ(hunt.candidates, limit);
        EXPECT_EQ(progress.str(), "") << "a short hunt reports nothing";
    }
}

TEST(Hunt, AcceptedBoardsHaveACover) {
    std::srand(11);
    for (int size = minSide; size <= maxSide; ++size) {
        for (int pairs = minPairs; pairs <= 6; ++pairs) {
            const auto hunt = findPuzzle(size, pairs, nullptr);
            ASSERT_TRUE(hunt.puzzle.has_value());
            EXPECT_EQ(solutionWithin(*hunt.puzzle, 50'000'000).value_or(1), 1);
        }
    }
}

} // namespace
} // namespace pairpath
