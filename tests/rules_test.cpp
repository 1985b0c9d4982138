// Both ways to play refuse the same moves: the line dialogue (its move check inside `play`) and
// the full screen (`pressKey`) get the same keys on the same board, and each must answer the
// last key with the same message, leaving the grid as it was before that key.

#include "boards.hpp"
#include "fullscreen.hpp"
#include "texts.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace pairpath {
namespace {

using namespace pairpath::testing;

// Runs `act` with standard input holding `typed`, and returns what it wrote.
template <typename Act> std::string captured(const std::string& typed, Act act) {
    std::istringstream input(typed);
    std::ostringstream output;
    std::streambuf* const oldIn = std::cin.rdbuf(input.rdbuf());
    std::streambuf* const oldOut = std::cout.rdbuf(output.rdbuf());
    act();
    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    std::cin.clear();
    return output.str();
}

// The line dialogue on `live`, one key per line, until the keys run out.
std::string playLines(Board& live, std::string_view keys) {
    std::string typed;
    for (const char key : keys)
        typed += std::string{key, '\n'};
    Paths paths = makeHeads(live.count / 2);
    const std::string written =
        captured(typed, [&] { EXPECT_THROW(runGame(live, paths), InputEnded); });
    releasePaths(paths, live.count / 2);
    return written;
}

TEST(SharedRules, BothWaysToPlayRefuseTheSameMoves) {
    const Board board = boardFromText({"1...1", "2...2", "3...3", "4....", "....4"});
    const std::pair<std::string_view, const std::string&> cases[] = {
        {"1w", offBoundary},     {"1a", offBoundary},   {"4ss", offBoundary},
        {"4ddddd", offBoundary}, {"1dda", overOwnPath}, {"1s", overEndpoint},
        {"1b", backAtStart},     {"1dbb", backAtStart}, {"1dddd2dwn", keepOtherPath},
    };
    for (const auto& [keys, message] : cases) {
        Board lines = board;
        const std::string written = playLines(lines, keys);
        const std::string shown = captured("", [&] { printBoard(lines.grid, lines.size); });
        EXPECT_TRUE(written.ends_with(message + shown + movePrompt)) << keys << ":\n" << written;
        Board before = board;
        playLines(before, keys.substr(0, keys.size() - 1));
        EXPECT_EQ(before.grid, lines.grid) << keys;

        FullScreenGame screen(board);
        for (const char key : keys)
            pressKey(screen, {Key::character, key});
        EXPECT_EQ(screen.message + '\n', message) << keys;
        EXPECT_EQ(screen.live.grid, lines.grid) << keys;
    }
}

// From (3, 0) pair 4 must go down first: right would leave (4, 0) a dead end.
TEST(FullScreen, HintIsAStepOfASolutionThatKeepsThePathDrawn) {
    FullScreenGame game(boardFromText({"1...1", "2...2", "3...3", "4....", "....4"}));
    const std::pair<char, std::string_view> steps[] = {
        {'h', "Press a digit from 1 to 4 to choose a pair."},
        {'4', ""},
        {'h', "Hint: go down."},
        {'d', ""},
        {'h', "No solution goes on from this path: step back with B."},
    };
    for (const auto& [key, message] : steps) {
        pressKey(game, {Key::character, key});
        EXPECT_EQ(game.message, message) << key;
    }
    EXPECT_EQ(game.hints, 2);
}

} // namespace
} // namespace pairpath
