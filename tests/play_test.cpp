// Play, in-process. One key script takes the line dialogue through every rule on a fixed board,
// with every message compared and the grid checked against the path lists before each answer.
// The full screen, given the same refused keys, must refuse them with the same messages. And the
// win, and the board's colours.

#include "checks.hpp"
#include "pairpath/core/generate.hpp"
#include "pairpath/line/dialogue.hpp"
#include "pairpath/line/input.hpp"
#include "pairpath/screen/state.hpp"

#include <gtest/gtest.h>

namespace pairpath {
namespace {

using namespace pairpath::testing;

const Board rows = boardFromText("1...1/2...2/3...3/4..../....4");

// The texts, stated here apart from the game's table so that a changed byte shows; '#' stands
// for a pair's number.
const std::string offGrid = "Invalid movemnt. Movement will go off boundary.\n";
const std::string ownPath =
    "Invalid movement. Cannot step over your current path (If you want to go back, press 'B')\n";
const std::string endpoint = "Invalid movement. Cannot step over original exisited number.\n";
const std::string atStart =
    "Invalid movement. Cannot go back since already at the original position. \n";
const std::string keptOther = "Invalid movement. Movement will cause other path be cleaned.\n";
const std::string connected = "\nCongratulations! You connected path # successfully!\n";
const std::string eraseQuestion =
    "To continue this step. Path # will be cleaned. Continue? (Y/N)\n";
const std::string position = "Your current position is at row = #, col = #\n";
const std::string redrawQuestion = "Redoing path # will clean the former path. Continue? (Y/N)\n";

std::string with(const std::string& text, int number) {
    const auto mark = text.find('#');
    return text.substr(0, mark) + std::to_string(number) + text.substr(mark + 1);
}
std::string at(int row, int column) { return with(with(position, row), column) + move; }
std::string moves(int count) { return count == 0 ? "" : move + moves(count - 1); }

// The line dialogue played on `live` with one line per key, colours off, and the grid checked
// against the path lists between any two answers: what it wrote without the board drawings, and
// whether it was won.
std::pair<std::string, bool> playLines(Board& live, std::string_view keys) {
    std::string typed;
    for (const char key : keys)
        typed += std::string{key, '\n'};
    Paths paths = makeHeads(live.count / 2);
    CheckedInput input(typed, [&] { EXPECT_EQ(pathsFault(live, paths), "") << keys; });
    bool won = false;
    std::istringstream lines;
    {
        const Redirected redirected(&input);
        useColours(false);
        try {
            runGame(live, paths);
            won = true;
        } catch (const InputEnded&) {
        }
        useColours(true);
        lines.str(redirected.output.str());
    }
    releasePaths(paths, live.count / 2);
    std::string messages;
    for (std::string line; std::getline(lines, line);) { // a board line: ". 1 " and so on
        if (line.size() != std::size_t(2 * live.size) ||
            line.find_first_not_of(". 123456789") != std::string::npos)
            messages += line + "\n";
    }
    return {messages, won};
}

// The win needs every pair connected, not only every cell full.
TEST(Play, WinNeedsEveryPairConnected) {
    FullScreenGame game(rows);
    for (const char key : std::string_view("1dddd2dddd3dddd"))
        pressKey(game, {Key::character, key});
    for (const int code : {31, 32, 33, 34, 40, 41, 42, 43})
        cellAt(game.live.grid, code) = '4'; // held, but by no path: pair 4 is not connected
    EXPECT_EQ(gridText(game.live), "11111/22222/33333/44444/44444");
    EXPECT_EQ(isWin(game.live, game.paths), 0);
}

TEST(Play, EveryRuleOnOneBoardThroughTheLineDialogue) {
    const auto script = std::to_array<std::pair<std::string_view, std::string>>({
        {"", pick},
        {"1bwas", at(0, 0) + atStart + move + offGrid + move + offGrid + move + endpoint + move},
        {"daBb",
         move + ownPath + move + move + atStart + move}, // back to the start, once too often
        {"dddq", moves(3) + pick},
        {"1dddD", at(0, 0) + moves(3) + with(connected, 1) + pick},
        {"1n", with(redrawQuestion, 1) + "Terminating current choice...\n" + pick},
        {"2dwN", at(1, 0) + move + with(eraseQuestion, 1) + keptOther + move},
        {"Wy", with(eraseQuestion, 1) + "Clean path 1\n" + move},
        {"bddd", moves(3) + with(connected, 2) + pick},
        {"1dddd3dddd", at(0, 0) + moves(3) + with(connected, 1) + pick + at(2, 0) + moves(3) +
                           with(connected, 3) + pick},
        {"4dddddS", at(3, 0) + moves(4) + offGrid + move + with(connected, 4) + pick}, // no win yet
        {"4Y", with(redrawQuestion, 4) + "Removing former path 4...\n" + at(3, 0)},
        {"sSdwdsdwds",
         move + offGrid + moves(8) + with(connected, 4) + "Congrats! You Win the game!!!\n"},
    });
    std::string keys;
    std::string expected;
    for (const auto& [typed, messages] : script) {
        keys += typed;
        expected += messages;
    }
    Board live = rows;
    const auto [messages, won] = playLines(live, keys);
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(won);
    EXPECT_EQ(std::string(live.grid.data(), 5), "11111");
}

// The game draws the board in colour; the plain dump shows the grid as it is held.
TEST(Play, BoardIsDrawnInEachPairsColour) {
    const Board board = boardFromText("1./29");
    const Redirected redirected(nullptr);
    print(board);
    printBoard(board.grid, 2);
    EXPECT_EQ(redirected.output.str(), " 1 0\n 2 9\n\033[0;33m1 \033[0m\033[0m. \n\033[0;36m2 "
                                       "\033[0m\033[1;35m9 \033[0m\n\033[0m");
    std::string colours;
    for (const char cell : std::string_view("123456789."))
        changeColor(colours, cell);
    EXPECT_EQ(colours, "\033[0;33m\033[0;36m\033[0;32m\033[0;31m\033[0;35m\033[0;34m\033[1;31m"
                       "\033[1;32m\033[1;35m\033[0m");
}

// Each script's last key is refused: the full screen says why in the words of the line dialogue
// (whose script above refuses at every edge), and both hold the same grid.
TEST(Play, BothWaysToPlayRefuseTheSameMoves) {
    const auto cases = std::to_array<std::pair<std::string_view, std::string>>({
        {"1w", offGrid},
        {"1dda", ownPath},
        {"1s", endpoint},
        {"1dbb", atStart},
        {"1dddd2dwn", keptOther},
    });
    for (const auto& [keys, message] : cases) {
        Board lines = rows;
        playLines(lines, keys);
        FullScreenGame screen(rows);
        for (const char key : keys)
            pressKey(screen, {Key::character, key});
        EXPECT_EQ(screen.message + '\n', message) << keys;
        EXPECT_EQ(screen.live.grid, lines.grid) << keys;
    }
}

} // namespace
} // namespace pairpath
