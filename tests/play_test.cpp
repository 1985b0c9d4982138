// Play, in-process. One key script takes the line dialogue through every rule on a fixed board,
// with every message compared and the grid checked against the path lists before each answer;
// the full screen refuses the same moves with the same messages (its own tests). And the win, and
// the texts and colours the line dialogue has always written.

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

std::string with(Message message, int number) { return line(message, number); }
std::string at(int row, int column) {
    return line(Message::position, row, column) + line(Message::movementPrompt);
}
std::string moves(int count) {
    return count == 0 ? "" : line(Message::movementPrompt) + moves(count - 1);
}

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
    const std::string pick = line(Message::pairPrompt);
    const std::string move = line(Message::movementPrompt);
    const std::string offGrid = line(Message::offBoundary);
    const std::string atStart = line(Message::backAtStart);
    const std::string ownPath = line(Message::overOwnPath);
    const std::string endpoint = line(Message::overEndpoint);
    const std::string blank = "\n"; // the connected line comes after an empty one
    const auto connected = [&](int pair) { return blank + line(Message::connected, pair); };
    const auto script = std::to_array<std::pair<std::string_view, std::string>>({
        {"", pick},
        {"1bwas", at(0, 0) + atStart + move + offGrid + move + offGrid + move + endpoint + move},
        {"daBb",
         move + ownPath + move + move + atStart + move}, // back to the start, once too often
        {"dddq", moves(3) + pick},
        {"1dddD", at(0, 0) + moves(3) + connected(1) + pick},
        {"1n", with(Message::redrawQuestion, 1) + line(Message::keepConnected) + pick},
        {"2dwN",
         at(1, 0) + move + with(Message::eraseQuestion, 1) + line(Message::keepOtherPath) + move},
        {"Wy", with(Message::eraseQuestion, 1) + with(Message::erasing, 1) + move},
        {"bddd", moves(3) + connected(2) + pick},
        {"1dddd3dddd",
         at(0, 0) + moves(3) + connected(1) + pick + at(2, 0) + moves(3) + connected(3) + pick},
        {"4dddddS", at(3, 0) + moves(4) + offGrid + move + connected(4) + pick}, // no win yet
        {"4Y", with(Message::redrawQuestion, 4) + with(Message::redrawing, 4) + at(3, 0)},
        {"sSdwdsdwds", move + offGrid + moves(8) + connected(4) + line(Message::win)},
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

// The line dialogue's texts and colours are those it has always written, byte for byte: a
// changed byte changes their fingerprint. The plain dump shows the grid as it is held.
TEST(Play, LineDialogueKeepsItsTextsAndColours) {
    std::uint64_t texts = fingerprint("");
    for (const Message message :
         {Message::offBoundary,   Message::overOwnPath,    Message::overEndpoint,
          Message::keepOtherPath, Message::backAtStart,    Message::eraseQuestion,
          Message::erasing,       Message::redrawQuestion, Message::redrawing,
          Message::keepConnected, Message::connected,      Message::win,
          Message::outOfMemory,   Message::pairPrompt,     Message::movementPrompt,
          Message::position,      Message::sideQuestion,   Message::pairQuestion,
          Message::wrongLength,   Message::notAChoice})
        texts = fingerprint(messageTemplate(message), texts);
    EXPECT_EQ(texts, 10077511968020652683U);
    std::string colours;
    for (const char cell : std::string_view("123456789."))
        changeColor(colours, cell);
    EXPECT_EQ(fingerprint(colours), 3457682922187632615U);
    const Board board = boardFromText("1./29");
    const Redirected redirected(nullptr);
    print(board);
    printBoard(board.grid, 2);
    const std::string shown = redirected.output.str();
    EXPECT_TRUE(shown.starts_with(" 1 0\n 2 9\n")) << shown;
    EXPECT_EQ(shown.substr(10), std::string(colours.substr(0, 7)) + "1 \033[0m\033[0m. \n" +
                                    colours.substr(7, 7) + "2 \033[0m" + colours.substr(56, 7) +
                                    "9 \033[0m\n\033[0m");
}

} // namespace
} // namespace pairpath
