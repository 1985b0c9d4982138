// Path lists: erasing paths, and the consistency check of grid and lists that the fuzzer
// relies on, which must notice each kind of disagreement.

#include "boards.hpp"

#include <gtest/gtest.h>

namespace pairpath {
namespace {

using testing::boardFromText;

// A board with pair 1 drawn along the top row up to, not into, its target: 1 1 1 . 1
struct DrawnGame {
    Board live = boardFromText({"1...1", "2...2", "3...3", "4....", "....4"});
    Paths paths = makeHeads(4);
    std::array<Node*, 3> pathNodes{};

    DrawnGame() {
        Node* tail = paths[0];
        for (int column = 1; column <= 3; ++column) {
            Node* node = makenode(cellCode(0, column), tail);
            tail->next = node;
            tail = node;
            pathNodes[std::size_t(column - 1)] = node;
            live.grid[std::size_t(column)] = '1';
        }
        paths[0] = tail; // connected
    }
    ~DrawnGame() { releasePaths(paths, 4); }
    DrawnGame(const DrawnGame&) = delete;
    DrawnGame& operator=(const DrawnGame&) = delete;
};

TEST(PathList, CleanNodeEmptiesThePathAndKeepsTheEndpoints) {
    DrawnGame game;
    EXPECT_EQ(pathsFault(game.live, game.paths), "");
    Node* const head = game.paths[0]->prev->prev->prev;
    game.paths[0] = cleanNode(game.live.grid, game.paths[0]);
    EXPECT_EQ(game.paths[0], head);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(std::string(game.live.grid.data(), 5), "10001");
    EXPECT_EQ(pathsFault(game.live, game.paths), "");
}

TEST(PathList, CleanNodeOnAHeadChangesNothing) {
    DrawnGame game;
    const Grid before = game.live.grid;
    EXPECT_EQ(cleanNode(game.live.grid, game.paths[1]), game.paths[1]);
    EXPECT_EQ(game.live.grid, before);
}

TEST(PathList, EveryDisagreementIsReported) {
    const auto faultAfter = [](auto&& breakIt) {
        DrawnGame game;
        breakIt(game);
        return pathsFault(game.live, game.paths);
    };
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.live.grid[2] = '0'; }), "") << "path cell emptied";
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.live.grid[4] = '0'; }), "") << "endpoint emptied";
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.live.grid[8 * 3 + 2] = '4'; }), "")
        << "digit without a node";
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.pathNodes[2]->prev = g.pathNodes[0]; }), "")
        << "links disagree";
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.paths[0] = g.pathNodes[1]; }), "")
        << "entry is not the tail";
    EXPECT_NE(faultAfter([](DrawnGame& g) { g.pathNodes[2]->pos = cellCode(0, 1); }), "")
        << "cell in the list twice";
}

} // namespace
} // namespace pairpath
