// The reference search and the fast search: boards whose answer is known, every placement of a
// small grid with its exact counts of solutions, and near misses of solvable boards, where an
// unsound pruning rule would show. Then looking for a puzzle: however the work is shared between
// threads, the answer is the first candidate with a cover, exactly as a plain loop over the
// generator finds it.

#include "checks.hpp"
#include "pairpath/core/generate.hpp"
#include "pairpath/core/search.hpp"
#include "pairpath/hunt/hunt.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/sampler/meeting_sweeps.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

namespace pairpath {
namespace {

TEST(Search, KnownBoards) {
    const auto boards = std::to_array<std::pair<std::string_view, bool>>({
        {"1...1/2...2/3...3/4..../....4", true},  // rows; pair 4 zigzags through the last two
        {"1...1/2...2/3...3/4..../...4.", false}, // pair 4 a cell short: one cell stays empty
        {"..4.4/..1../3.3../.1..2/...2.", true},  // pair 3 must pass beside its target and on
        {".1..1/2...2/3...3/4...4/.....", false}, // a corner between two pairs' endpoints
        {"12.../...../...../...../...21", false}, // colour balance: one light cell too many
        {"121/.../2..", false},                   // pair 1 walls in pair 2's start
        // 8 x 8 columns: all 64 bits
        {"12345678/......../......../......../......../......../......../12345678", true},
        // 8 x 8, two snakes
        {"1......1/......../......../......../......../......../......../2......2", true},
        // 8 x 8 rows, the last a cell short
        {"1......1/2......2/3......3/4......4/5......5/6......6/7......7/8.....8.", false},
        // 8 x 8, sparse: each pair fills one half; every endpoint has four free neighbours, so at
        // first every loose end has four moves.
        {"......../.1....1./......../......../......../......../.2....2./........", true},
    });
    for (const auto& [rows, solvable] : boards) {
        const Board board = testing::boardFromText(rows);
        const auto cover = findCover(board);
        ASSERT_EQ(cover.has_value(), solvable) << rows;
        if (cover) {
            EXPECT_EQ(testing::coverFault(board, *cover), "") << rows;
        }
        EXPECT_EQ(solutionWithin(board, 20'000'000).value_or(solvable), solvable) << rows;
    }
    // The rules that cut the search short refute these before any move: a cell left out, a
    // corner, the colour balance, regions that no pair, or no pair alone, can fill, and pair 3's
    // route from edge to edge, which would part pair 2's endpoint on the right edge from pair 4's
    // on the bottom edge, though their others are side by side; or pair 4's two endpoints, the
    // one corner to corner with pair 1's on the left edge.
    for (const std::string_view rows :
         {"1...1/2...2/3...3/4..../...4.", ".1..1/2...2/3...3/4...4/.....",
          "12.../...../...../...../...21", "1.1../..3../2..32/...../.....",
          "4..5./.3.1./...3./42.2./.5..1",
          "......../.......3/......../......../...24.../......12/....1.../..4.3...",
          "...3./.2.2./1..1./.4.../.34.."}) {
        const CoverSearch search = findCoverWithin(testing::boardFromText(rows), 1);
        EXPECT_TRUE(search.finished && !search.cover) << rows;
    }
}

// Every placement the generator can draw on grids small enough to walk them all: the fast search
// agrees with the reference, its cover and the solution counted with it are sound, and the exact
// counts are those a walk over every set of routes finds, given as how many boards have each.
TEST(Search, EveryPlacementOfSmallGrids) {
    for (const auto& [empty, pairs, counts] :
         {std::tuple{".../.../...", 2, "0:1168 1:128 2:64 "},
          {".../.../...", 3, "0:17952 1:480 "},
          {"..../..../..../....", 2,
           "0:21584 1:1984 2:2272 3:624 4:896 5:224 6:192 8:144 9:64 15:16 "}}) {
        Board board = testing::boardFromText(empty);
        board.count = 2 * pairs;
        std::map<CoverCount, int> boards; // by number of solutions
        testing::forEachDraw(board, [&](const Board& placement, double) {
            const auto cover = findCover(placement);
            const Solutions solved = solveBoard(placement);
            ASSERT_EQ(cover.has_value(), solution(placement) == 1) << testing::gridText(placement);
            ASSERT_EQ(countSolutions(placement), solved.count);
            ASSERT_EQ(solved.count > 0, cover.has_value());
            if (cover) {
                ASSERT_EQ(testing::coverFault(placement, *cover), "");
                ASSERT_EQ(testing::solutionFault(placement, solved.solution), "");
            }
            ++boards[solved.count];
        });
        std::string seen;
        for (const auto& [solutions, number] : boards)
            seen += std::to_string(std::uint64_t(solutions)) + ":" + std::to_string(number) + " ";
        EXPECT_EQ(seen, counts) << empty << ", " << pairs << " pairs";
    }
}

// Counting up to two, by the search that stops at its second cover and by the sweeps that meet,
// agrees with the exact count: on every placement of small grids, and on boards of every side,
// drawn or dealt with one solution. Each cover the search gives is sound.
TEST(Search, CountsUpToTwoAgreeWithTheExactCount) {
    std::array<int, 3> seen{}; // boards by exact count, up to two
    const auto expectAgreement = [&seen](const Board& board) {
        const auto exact = int(std::min<CoverCount>(countSolutions(board), 2));
        ++seen[std::size_t(exact)];
        ASSERT_EQ(solutionsUpToTwo(board), exact) << testing::gridText(board);
        const CoverTally tally = countCoversWithin(board, 2, 20'000);
        ASSERT_EQ(tally.finished ? tally.covers : exact, exact) << testing::gridText(board);
        ASSERT_LE(tally.covers, exact) << testing::gridText(board);
        ASSERT_EQ(tally.cover ? testing::coverFault(board, *tally.cover) : "", "");
    };
    for (const auto& [empty, pairs] :
         {std::pair{".../.../...", 2}, {".../.../...", 3}, {"..../..../..../....", 2}}) {
        Board board = testing::boardFromText(empty);
        board.count = 2 * pairs;
        testing::forEachDraw(board,
                             [&](const Board& placement, double) { expectAgreement(placement); });
    }
    std::srand(3);
    for (int side = minSide; side <= maxSide; ++side) {
        for (int pairs = minPairs; pairs <= std::min(maxPairs, mostPairsFor(side)); ++pairs) {
            for (int i = 0; i < 40; ++i)
                expectAgreement(createArray(side, pairs));
            expectAgreement(*findPuzzle(side, pairs, nullptr, Answers::one).puzzle);
        }
    }
    EXPECT_GT(seen[1], 2000);
    EXPECT_GT(seen[2], 4000);
}

// Solvable boards with one endpoint moved to an empty cell: about half stay solvable.
TEST(Search, AgreesWithTheReferenceOnNearMisses) {
    int compared = 0;
    int solvable = 0;
    std::srand(7);
    for (const auto& [side, pairs, puzzles] :
         {std::tuple{5, 4, 4}, {5, 5, 4}, {5, 6, 4}, {6, 4, 2}, {6, 5, 2}, {6, 6, 2}}) {
        for (int i = 0; i < puzzles; ++i) {
            const Board puzzle = *findPuzzle(side, pairs, nullptr).puzzle;
            for (int entry = 0; entry < puzzle.count; ++entry) {
                for (const int code : testing::cellsOf(puzzle)) {
                    if (cellAt(puzzle.grid, code) != emptyCell) continue;
                    Board moved = puzzle;
                    auto& endpoint = moved.endpoints[std::size_t(entry)];
                    std::swap(cellAt(moved.grid, endpoint), cellAt(moved.grid, code));
                    endpoint = code;
                    const auto reference = solutionWithin(moved, 1'000'000); // if it ends soon
                    if (!reference) continue;
                    ASSERT_EQ(findCover(moved).has_value(), *reference == 1)
                        << testing::gridText(moved);
                    ++compared;
                    solvable += *reference;
                }
            }
        }
    }
    EXPECT_GT(solvable, 150);
    EXPECT_GT(compared - solvable, 150);
}

// --- Looking for a puzzle ---

// On these choices a hunt often runs past its first candidates into shared batches, and a
// batch often holds more than one board with a cover, or with exactly one, or of the grade asked.
TEST(Hunt, FindsTheFirstCandidateWithACover) {
    int cornerNeighbours = 0; // pair 1's ends may touch at a corner
    constexpr std::optional<Grade> anyGrade;
    for (const auto& [size, pairs, answers, seeds, grade] :
         {std::tuple{6, 6, Answers::any, 30U, anyGrade},
          {7, 6, Answers::any, 30U, anyGrade},
          {8, 7, Answers::any, 30U, anyGrade},
          {6, 4, Answers::one, 10U, anyGrade},
          {7, 4, Answers::one, 3U, anyGrade},
          {6, 4, Answers::one, 5U, std::optional(Grade::hard)}}) {
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
                const int apart = std::abs(expected.endpoints[0] - expected.endpoints[1]);
                cornerNeighbours += apart == 9 || apart == 11 ? 1 : 0;
                EXPECT_TRUE(candidates++ > 0 || expected.endpoints[0] == cellCode(row, column));
            } while (!findCover(expected) ||
                     (answers == Answers::one && countSolutions(expected) != 1) ||
                     (grade && gradeBoard(expected) != *grade));
            // Hunting twice from the same seed also leaves the generator in the same state,
            // however far the drawing ran ahead of the searching, so the next board is the same.
            std::array<int, 2> next{};
            for (int& value : next) {
                std::srand(seed);
                const PuzzleHunt hunt =
                    findPuzzle(size, pairs, nullptr, answers, candidateLimit, nullptr, grade);
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

// A hunt stops at its limit, or as soon as its watcher asks, which sees how far it has got.
TEST(Hunt, StopsAtTheLimitOrWhenAsked) {
    for (const std::int64_t limit : {1, 100, 5000}) {
        std::ostringstream progress;
        const PuzzleHunt hunt = findPuzzle(5, 9, &progress, Answers::any, limit);
        EXPECT_EQ(std::tuple(hunt.puzzle.has_value(), hunt.candidates, progress.str()),
                  std::tuple(false, limit, "")); // a short hunt reports nothing
    }
    // A hunt that would run to its limit of 25,000,000 candidates, stopped once it has begun.
    HuntWatch watch;
    PuzzleHunt hunt;
    std::thread hunter(
        [&] { hunt = findPuzzle(5, 9, nullptr, Answers::any, candidateLimit, &watch); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60); // a guard
    while (watch.tried == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    watch.stop = true;
    hunter.join();
    EXPECT_FALSE(hunt.puzzle);
    EXPECT_GT(watch.tried, 0);
    EXPECT_LT(watch.tried, candidateLimit / 10);
}

} // namespace
} // namespace pairpath
