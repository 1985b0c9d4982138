// The full screen's game between keys, in-process: every key's effect on the board, the message
// and the status counts, from a fresh game each time; and the key decoder, fed real bytes
// through a pipe.

#include "checks.hpp"
#include "pairpath/hunt/hunt.hpp"
#include "pairpath/play/reasons.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/screen/state.hpp"
#include "pairpath/screen/view.hpp"
#include "pairpath/terminal/keys.hpp"
#include "pairpath/terminal/terminal.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <thread>
#include <tuple>

namespace pairpath {
namespace {

using testing::gridText;

// A key script: '^', '_', '<' and '>' are the arrows, '~' is Esc and '#' Backspace; 'P' and
// 'G' are a mouse press and drag on the cell whose row and column follow ("--" off the board),
// 'R' the release (so the redo key is written 'r'); any other character is that key.
KeyPress keyOf(char typed) {
    constexpr std::string_view marks = "^_<>~#";
    constexpr std::array keys{Key::up,    Key::down,   Key::left,
                              Key::right, Key::escape, Key::backspace};
    const auto at = marks.find(typed);
    return at == std::string_view::npos ? KeyPress{Key::character, typed} : KeyPress{keys[at]};
}

void play(FullScreenGame& game, std::string_view keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto mouse = std::string_view("PGR").find(keys[i]);
        if (mouse == std::string_view::npos) {
            pressKey(game, keyOf(keys[i]));
        } else if (keys[i] == 'R') {
            pressMouse(game, MouseAction::release, -1);
        } else {
            const std::string cell(keys.substr(i + 1, 2));
            pressMouse(game, MouseAction(mouse), cell[0] == '-' ? -1 : std::stoi(cell));
            i += 2;
        }
    }
}

const std::string_view rows = "1...1/2...2/3...3/4..../....4";
// The same with pair 4's ends swapped round: its path runs right to left.
const std::string_view mirrored = "1...1/2...2/3...3/....4/4....";

std::string said(Message message, int pair = 0) { return messageText(message, pair); }
// A hint on the rows board, which has 5 solutions.
std::string onTheWay(Message hint) {
    return messageText(Message::oneOfSolutions, messageText(hint), "5");
}
std::string takenBack(Message change, int pair) {
    return messageText(Message::undone, messageText(change, pair));
}
std::string madeAgain(Message change, int pair) {
    return messageText(Message::redone, messageText(change, pair));
}

struct Case {
    std::string_view keys;
    std::string message;   // after the last key
    std::string_view grid; // the live grid then, as gridText writes it
    // The status line's counts then, but for the cells filled, which the grid shows: the pair
    // drawn ('-': none), the pairs connected, the moves and the hints.
    std::string_view counts;
    std::string_view board = rows;
};

TEST(Screen, EachKeyActsOnTheGameAsTheRulesSay) {
    using enum Message;
    const std::string_view first = "11111/2...2/3...3/4..../....4";   // pair 1 drawn
    const std::string_view crossed = "11111/22..2/3...3/4..../....4"; // and pair 2 below it
    const auto cases = std::to_array<Case>({
        {"1>>", "", "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1dddd1", said(redrawQuestion, 1), first, "- 1 4 0"},
        {"1dddd1n", said(keepConnected), first, "- 1 4 0"},
        {"1dddd1~", said(keepConnected), first, "- 1 4 0"},
        {"1dddd1y", said(redrawing, 1), rows, "1 0 4 0"},
        {"1dddd2d^", said(eraseQuestion, 1), crossed, "2 1 5 0"},
        {"1dddd2d^N", said(keepOtherPath), crossed, "2 1 5 0"},
        {"1dddd2dwY", said(erasing, 1), "12..1/22..2/3...3/4..../....4", "2 0 6 0"},
        {"1d~", "", "11..1/2...2/3...3/4..../....4", "1 0 1 0"},
        {"1dd#", "", "11..1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1d##", said(backAtStart), rows, "1 0 1 0"},
        {"1w", said(screenOffBoundary), rows, "1 0 0 0"},
        {"1dda", said(overOwnPath), "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1d2", said(finishFirst, 1), "11..1/2...2/3...3/4..../....4", "1 0 1 0"},
        {"1ddq", "", rows, "- 0 2 0"},
        {"q", said(quitQuestion), rows, "- 0 0 0"},
        {"q~", "", rows, "- 0 0 0"},
        {"d", said(choosePair, 4), rows, "- 0 0 0"},
        {"1h", onTheWay(hintRight), rows, "1 0 0 1"},
        {"4h", onTheWay(hintDown), rows, "4 0 0 1"},
        {"4_>h", onTheWay(hintUp), "1...1/2...2/3...3/4..../44..4", "4 0 2 1"},
        {"4_h", onTheWay(hintLeft), "1...1/2...2/3...3/....4/4...4", "4 0 1 1", mirrored},
        {"4dwddsds3h", onTheWay(hintRight), "1...1/2...2/34443/44.44/....4", "3 1 7 1"}, // past 4
        {"4>h", said(noHint), "1...1/2...2/3...3/44.../....4", "4 0 1 1"},
        {"\004", said(quitQuestion), rows, "- 0 0 0"},
        // The mouse: a drag goes straight on a step at a time, and back over its path.
        {"P00G02G04", said(connected, 1), first, "- 1 4 0"},
        {"P00G02G04G03", said(connected, 1), first, "- 1 4 0"}, // the drag ends with its path
        {"P00G04RP10G11G01NG01", said(keepOtherPath), crossed, "2 1 5 0"},    // and at a question
        {"P04G02G01G02", "", "1.111/2...2/3...3/4..../....4", "1 0 3 0"},     // from the target end
        {"P00G02RG03P01G11", "", "11..1/21..2/3...3/4..../....4", "1 0 3 0"}, // cut, taken up
        {"P00G01G12G11G10", said(screenOverEndpoint), "11..1/21..2/3...3/4..../....4", "1 0 2 0"},
        {"P00G01P20", said(finishFirst, 1), "11..1/2...2/3...3/4..../....4", "1 0 1 0"},
        {"P00G04RP10G11G01G02", said(eraseQuestion, 1), crossed, "2 1 5 0"},
        {"P00G04RP10G11G01NP11G01Y", said(erasing, 1), "12..1/22..2/3...3/4..../....4",
         "2 0 6 0"}, // asked again after N
        {"P00G04RP02yG12", said(redrawing, 1), "111.1/2...2/3...3/4..../....4",
         "1 0 4 0"}, // a question ends the drag
        {"P00G04RP04yG03P04G03", "", "1..11/2...2/3...3/4..../....4", "1 0 5 0"}, // anew
        {"P--G01P33", "", rows, "- 0 0 0"},
        {"P00G01qG02", "", rows, "- 0 1 0"}, // a key ends the drag, here with its path
        {"P00G01#G02", "", rows, "1 0 1 0"},
        {"1dddd2dddd3dddd4sdwdsdwds", said(connected, 4), "11111/22222/33333/44444/44444",
         "- 4 21 0"},
        // U takes back the last change of the paths, R makes it again; a new change forgets
        // what was taken back.
        {"U", said(nothingToUndo), rows, "- 0 0 0"},
        {"1ddU", takenBack(changeStep, 1), "11..1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1ddUr", madeAgain(changeStep, 1), "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1ddUdr", said(nothingToRedo), "111.1/2...2/3...3/4..../....4", "1 0 3 0"},
        {"1ddbU", takenBack(changeStepBack, 1), "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1ddqU", takenBack(changeAbandon, 1), "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1ddqUr", madeAgain(changeAbandon, 1), rows, "- 0 2 0"},
        {"1ddddUUUU", takenBack(changeStep, 1), rows, "1 0 4 0"}, // the connection, then each step
        {"1dddd2dwYU", takenBack(changeErase, 1), "11111/22..2/3...3/4..../....4", "2 1 6 0"},
        {"1dddd2dwYUr", madeAgain(changeErase, 1), "12..1/22..2/3...3/4..../....4", "2 0 6 0"},
        {"1dddd1yU", takenBack(changeRedraw, 1), first, "- 1 4 0"},
        {"P00G02RG03P01U", takenBack(changeCut, 1), "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
    });
    for (const Case& test : cases) {
        FullScreenGame game(testing::boardFromText(test.board));
        game.solutions = countSolutions(game.live);
        play(game, test.keys);
        EXPECT_EQ(game.message, test.message) << test.keys;
        EXPECT_EQ(gridText(game.live), test.grid) << test.keys;
        std::istringstream given{std::string(test.counts)};
        std::string drawn;
        int linked = 0;
        int moves = 0;
        int hints = 0;
        given >> drawn >> linked >> moves >> hints;
        const auto filled = std::ranges::count_if(test.grid, [](char cell) { return cell > '0'; });
        EXPECT_EQ(countsText(game, game.started),
                  messageText(Message::counts, drawn, linked, 4, filled, 25, moves, hints, "0:00"))
            << test.keys;
        EXPECT_EQ(testing::pathsFault(game.live, game.paths), "") << test.keys;
        EXPECT_EQ(game.won, linked == 4) << test.keys;
        EXPECT_FALSE(game.quit) << test.keys;
    }
    FullScreenGame quitting(testing::boardFromText(rows));
    play(quitting, "qY");
    EXPECT_TRUE(quitting.quit);
}

// On a board with one solution a hint gives the reasoning's next step and its reason, from the
// paths drawn; asked again at the same place it is the same, and counts once.
TEST(Screen, HintsGiveTheirReasonAndCountOnce) {
    std::srand(1);
    const Board puzzle = *findPuzzle(5, 5, nullptr, Answers::one).puzzle;
    FullScreenGame game(puzzle);
    game.solutions = 1;
    play(game, "hh");
    EXPECT_EQ(game.message, hintText(nextHint(puzzle, {})));
    EXPECT_EQ(game.hints, 1);
    const auto route = solveBoard(puzzle).routes[0];
    play(game, std::string(1, '1') + moveBetween(route[0], route[1]).key + "hh");
    EXPECT_EQ(game.message, hintText(nextHint(puzzle, {{{route[1]}, false}})));
    EXPECT_EQ(game.hints, 2);
    std::string rest; // on to pair 1's target: a connected path is drawn whole
    for (std::size_t at = 2; at < route.size(); ++at)
        rest += moveBetween(route[at - 1], route[at]).key;
    play(game, rest + "h");
    const std::vector<int> inside(route.begin() + 1, route.end() - 1);
    EXPECT_EQ(game.message, hintText(nextHint(puzzle, {{inside, true}})));
    EXPECT_NE(game.message, hintText(nextHint(puzzle, {{inside, false}})));
}

// The clock leaves out the time stopped, and stops at the win: the time shown then is the time
// played, here more than 3 s since a start set back. Its text: minutes, then two-digit seconds.
TEST(Screen, ShowsTheTimePlayed) {
    FullScreenGame game(testing::boardFromText(rows));
    game.paused = std::chrono::seconds(5);
    EXPECT_TRUE(countsText(game, game.started + std::chrono::seconds(65)).ends_with("  1:00"));
    game.paused = {};
    game.started -= std::chrono::milliseconds(3500);
    play(game, "1dddd2dddd3dddd4sdwdsdwds");
    const auto played = std::chrono::duration_cast<std::chrono::seconds>(game.playTime);
    EXPECT_TRUE(game.won && played >= std::chrono::seconds(3)) << played.count();
    const std::string won = messageText(Message::winCounts, 21, 0, clockText(played));
    EXPECT_NE(gameScreen(game, {}, Look{}).find(won), std::string::npos) << won;
    EXPECT_TRUE(
        countsText(game, game.started + std::chrono::hours(1)).ends_with(clockText(played)));
    const auto clocks =
        std::to_array<std::pair<long long, std::string_view>>({{0, "0:00"},
                                                               {9, "0:09"},
                                                               {10, "0:10"},
                                                               {59, "0:59"},
                                                               {60, "1:00"},
                                                               {3599, "59:59"},
                                                               {3600, "60:00"},
                                                               {9223372036, "153722867:16"},
                                                               {-5, "-0:05"}});
    for (const auto& [seconds, shown] : clocks)
        EXPECT_EQ(clockText(std::chrono::seconds(seconds)), shown);
}

// Where things are on the screen, and which colours it takes. The title names the grade. A click on
// any of a cell's three columns is on that cell; on the frame, or on a row between cells, it is on
// none. On 80 x 24 the 5 x 5 frame's corner is at row 5, column 31. A message wider than the window
// breaks at a blank. The pairs' colours are their own, from 256 colours where TERM or COLORTERM
// offer them, and only where colours are wanted; the palettes, chosen to be told apart on dark and
// light backgrounds, stay as they were chosen.
TEST(Screen, PlacesAndColoursWhatItShows) {
    const auto clicks = std::to_array<std::tuple<int, int, int>>(
        {{6, 31, -1}, {6, 32, 0}, {6, 34, 0}, {6, 35, 1}, {7, 32, -1}, {14, 46, 44}, {14, 47, -1}});
    for (const auto& [row, column, code] : clicks)
        EXPECT_EQ(cellOnScreen(5, {}, row, column), code) << row << ' ' << column;
    FullScreenGame game(testing::boardFromText(rows));
    play(game, "1dddd2d^");
    EXPECT_NE(gameScreen(game, {16, 60}, Look{}).find("Continue?\033[0m"), std::string::npos);
    game.solutions = 1; // the title gives the grade of a board with one solution
    game.grade = Grade::medium;
    const std::string title = messageText(Message::title, 5, 5, 4, "1 solution, medium");
    EXPECT_NE(gameScreen(game, {}, Look{}).find(title), std::string::npos) << title;
    for (const bool colours : {true, false}) {
        const std::string screen = gameScreen(game, {}, Look{colours, true, true});
        EXPECT_EQ(screen.find(";38;5;160m1") != std::string::npos, colours);
        EXPECT_NE(screen.find("\033[0m · "), std::string::npos) << "an empty cell in no colour";
    }
    EXPECT_TRUE(hasManyColours("xterm-256color", nullptr) && hasManyColours("xterm", "24bit") &&
                hasManyColours(nullptr, "truecolor"));
    EXPECT_FALSE(hasManyColours("xterm", nullptr) || hasManyColours(nullptr, "yes"));
    std::string palettes;
    for (const bool many : {true, false}) {
        const auto& colours = screenColours(many);
        for (const std::string_view colour : colours) {
            EXPECT_EQ(std::ranges::count(colours, colour), 1) << colour;
            palettes += std::string(colour) + ' ';
        }
    }
    EXPECT_EQ(testing::fingerprint(palettes), 11897398893966441743U) << palettes;
}

// --- The key decoder ---

// The keys read from a pipe fed `bytes`, until none is left to read or the input ends; `wait`
// for each further byte of an escape sequence. `late`, when given, is written 50 ms after the
// rest. The pipe stays open meanwhile, so an Esc at the end waits and is read alone.
std::vector<KeyPress> keysFrom(std::string_view bytes, std::string_view late = "",
                               std::chrono::milliseconds wait = escapeWait) {
    std::array<int, 2> ends{};
    if (pipe(ends.data()) != 0) return {};
    EXPECT_EQ(write(ends[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    std::thread writer([&] {
        if (late.empty()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(write(ends[1], late.data(), late.size()), ssize_t(late.size()));
    });
    std::vector<KeyPress> keys;
    for (;;) {
        const KeyPress press = readKeyFrom(ends[0], wait);
        if (press.key == Key::ended) break;
        keys.push_back(press);
        pollfd ready{ends[0], POLLIN, 0};
        if (poll(&ready, 1, 0) == 0) break;
    }
    writer.join();
    close(ends[1]);
    close(ends[0]);
    return keys;
}

// The keys as a script: a named key by its name in brackets, a plain byte as itself.
std::string script(const std::vector<KeyPress>& keys) {
    constexpr std::array<std::string_view, 11> names{"",         "[up]",   "[down]", "[left]",
                                                     "[right]",  "[back]", "[esc]",  "[mouse]",
                                                     "[redraw]", "[end]",  "[?]"};
    std::string text;
    for (const KeyPress& press : keys) {
        if (press.key == Key::character) {
            text += press.character;
        } else {
            text += names[std::size_t(press.key)];
        }
    }
    return text;
}

// The first of LC_ALL, LC_CTYPE and LANG that is set and not empty names the character set.
TEST(Terminal, LocaleNamesUtf8) {
    constexpr std::array<const char*, 3> names{"LC_ALL", "LC_CTYPE", "LANG"};
    std::array<std::string, 3> before; // the environment as it was, "\n" where unset
    for (std::size_t i = 0; i < names.size(); ++i)
        before[i] = std::getenv(names[i]) == nullptr ? "\n" : std::getenv(names[i]);
    const auto utf8 = [&](const std::array<std::string, 3>& values) {
        for (std::size_t i = 0; i < names.size(); ++i)
            static_cast<void>(values[i] == "\n" ? unsetenv(names[i])
                                                : setenv(names[i], values[i].c_str(), 1));
        return localeIsUtf8();
    };
    EXPECT_FALSE(utf8({"\n", "\n", "\n"}) || utf8({"", "C", "en_GB.utf8"}) ||
                 utf8({"\n", "POSIX", "en_GB.UTF-8"}));
    EXPECT_TRUE(utf8({"\n", "\n", "en_GB.UTF-8"}) && utf8({"C.utf-8", "C", "\n"}));
    utf8(before);
}

TEST(Keys, EscapeSequencesAreOneKeyEachAndALoneEscIsEsc) {
    const auto cases = std::to_array<std::pair<std::string_view, std::string_view>>({
        {"w1\x7f\b", "w1[back][back]"},
        {"\033[A\033[B\033[C\033[D", "[up][down][right][left]"},
        {"\033OA\033OB\033OC\033OD", "[up][down][right][left]"}, // SS3, in application mode
        {"\033[2~x\033[1;5Cy\033[200~z", "[?]x[?]y[?]z"},        // unknown, read to their end
        {"\033x", "[?]"},                                        // Alt with a key: no key here
        {"a\033", "a[esc]"},                                     // Esc, then nothing in time
    });
    for (const auto& [bytes, keys] : cases)
        EXPECT_EQ(script(keysFrom(bytes)), keys) << script({{Key::character, bytes[0]}});
    // The rest of a sequence that comes later, but within the wait, still makes one key.
    EXPECT_EQ(script(keysFrom("\033[", "Aq", std::chrono::milliseconds(2000))), "[up]q");
    EXPECT_EQ(script(keysFrom("\033", "Ob", std::chrono::milliseconds(2000))), "[?]");
    EXPECT_EQ(script(keysFrom("a\033", "", std::chrono::milliseconds(0))), "a[esc]"); // no wait
    // The left button's press, drag and release, with its cell; other buttons (middle, right,
    // wheel, the extra ones, pressed or dragged) are no key, nor reports with a value too many or
    // too few, or a column 0, nor ones without the '<' of SGR reports or after SS3.
    const auto mouse = keysFrom("\033[<0;5;3M\033[<32;6;3M\033[<0;6;4m\033[<1;1;1M\033[<2;1;1M"
                                "\033[<64;9;9M\033[<128;5;3M\033[<160;5;3M\033[<0;5;3;1M\033[<0;5M"
                                "\033[<0;0;3M\033[?0;5;3M\033O<0;5;3M\033[<0;1;1M");
    ASSERT_EQ(mouse.size(), 14U);
    EXPECT_EQ(std::tuple(mouse[13].key, mouse[13].row, mouse[13].column),
              std::tuple(Key::mouse, 0, 0)); // the top-left corner of the screen
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mouse[i].key, Key::mouse);
        EXPECT_EQ(int(mouse[i].action), int(i));
        EXPECT_EQ(mouse[i].row, i < 2 ? 2 : 3);
        EXPECT_EQ(mouse[i].column, i == 0 ? 4 : 5);
    }
    EXPECT_EQ(script({mouse.begin() + 3, mouse.end() - 1}), "[?][?][?][?][?][?][?][?][?][?]");
    // The end of the input, once the bytes before it are read, is the end.
    std::array<int, 2> ends{};
    ASSERT_EQ(pipe(ends.data()), 0);
    EXPECT_EQ(write(ends[1], "a", 1), 1);
    close(ends[1]);
    EXPECT_EQ(script({readKeyFrom(ends[0]), readKeyFrom(ends[0])}), "a[end]");
    close(ends[0]);
}

} // namespace
} // namespace pairpath
