// The full screen's game between keys, in-process: every key's effect on the board, the message
// and the status counts, from a fresh game each time; and the key decoder, fed real bytes
// through a pipe.

#include "checks.hpp"
#include "pairpath/screen/state.hpp"
#include "pairpath/screen/view.hpp"
#include "pairpath/terminal/keys.hpp"
#include "pairpath/terminal/terminal.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <thread>

namespace pairpath {
namespace {

using testing::gridText;

// A key script: '^', '_', '<' and '>' are the arrows, '~' is Esc and '#' Backspace; 'P' and
// 'G' are a mouse press and drag on the cell whose row and column follow ("--" off the board),
// 'R' the release; any other character is that key.
KeyPress keyOf(char typed) {
    constexpr std::array<std::pair<char, Key>, 6> named{{{'^', Key::up},
                                                         {'_', Key::down},
                                                         {'<', Key::left},
                                                         {'>', Key::right},
                                                         {'~', Key::escape},
                                                         {'#', Key::backspace}}};
    for (const auto& [mark, key] : named) {
        if (typed == mark) return {key};
    }
    return {Key::character, typed};
}

const std::string_view rows = "1...1/2...2/3...3/4..../....4";
// The same with pair 4's ends swapped round: its path runs right to left.
const std::string_view mirrored = "1...1/2...2/3...3/....4/4....";

struct Case {
    std::string_view keys;
    std::string_view message; // after the last key
    std::string_view grid;    // the live grid then, as gridText writes it
    // The status line's counts then, but for the cells filled, which the grid shows: the pair
    // drawn ('-': none), the pairs connected, the moves and the hints.
    std::string_view counts;
    std::string_view board = rows;
};

TEST(Screen, EachKeyActsOnTheGameAsTheRulesSay) {
    const auto cases = std::to_array<Case>({
        {"1>>", "", "111.1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1dddd1", "Redoing path 1 will clean the former path. Continue? (Y/N)",
         "11111/2...2/3...3/4..../....4", "- 1 4 0"},
        {"1dddd1n", "Terminating current choice...", "11111/2...2/3...3/4..../....4", "- 1 4 0"},
        {"1dddd1~", "Terminating current choice...", "11111/2...2/3...3/4..../....4", "- 1 4 0"},
        {"1dddd1y", "Removing former path 1...", rows, "1 0 4 0"},
        {"1dddd2d^", "To continue this step. Path 1 will be cleaned. Continue? (Y/N)",
         "11111/22..2/3...3/4..../....4", "2 1 5 0"},
        {"1dddd2d^N", "Invalid movement. Movement will cause other path be cleaned.",
         "11111/22..2/3...3/4..../....4", "2 1 5 0"},
        {"1dddd2dwY", "Clean path 1", "12..1/22..2/3...3/4..../....4", "2 0 6 0"},
        {"1d~", "", "11..1/2...2/3...3/4..../....4", "1 0 1 0"},
        {"1dd#", "", "11..1/2...2/3...3/4..../....4", "1 0 2 0"},
        {"1d##", "Invalid movement. Cannot go back since already at the original position. ", rows,
         "1 0 1 0"},
        {"1d2", "Finish path 1 first, or press Q to abandon it.", "11..1/2...2/3...3/4..../....4",
         "1 0 1 0"},
        {"1ddq", "", rows, "- 0 2 0"},
        {"q", "Quit? (Y/N)", rows, "- 0 0 0"},
        {"q~", "", rows, "- 0 0 0"},
        {"d", "Press a digit from 1 to 4 to choose a pair.", rows, "- 0 0 0"},
        {"1h", "Hint: go right.", rows, "1 0 0 1"},
        {"4h", "Hint: go down.", rows, "4 0 0 1"},
        {"4_>h", "Hint: go up.", "1...1/2...2/3...3/4..../44..4", "4 0 2 1"},
        {"4_h", "Hint: go left.", "1...1/2...2/3...3/....4/4...4", "4 0 1 1", mirrored},
        {"4dwddsds3h", "Hint: go right.", "1...1/2...2/34443/44.44/....4",
         "3 1 7 1"}, // past pair 4's path
        {"4>h", "No solution goes on from this path: step back with B.",
         "1...1/2...2/3...3/44.../....4", "4 0 1 1"},
        {"\004", "Quit? (Y/N)", rows, "- 0 0 0"},
        // The mouse: a drag goes straight on a step at a time, and back over its path.
        {"P00G02G04", "Congratulations! You connected path 1 successfully!",
         "11111/2...2/3...3/4..../....4", "- 1 4 0"},
        {"P04G02G01G02", "", "1.111/2...2/3...3/4..../....4", "1 0 3 0"}, // from the target end
        {"P00G02RG03P01G11", "", "11..1/21..2/3...3/4..../....4",
         "1 0 3 0"}, // cut back and taken up
        {"P00G01G12G11G10", "Invalid movement. Cannot step over original exisited number.",
         "11..1/21..2/3...3/4..../....4", "1 0 2 0"},
        {"P00G01P20", "Finish path 1 first, or press Q to abandon it.",
         "11..1/2...2/3...3/4..../....4", "1 0 1 0"},
        {"P00G04RP10G11G01G02", "To continue this step. Path 1 will be cleaned. Continue? (Y/N)",
         "11111/22..2/3...3/4..../....4", "2 1 5 0"},
        {"P00G04RP10G11G01NP11G01Y", "Clean path 1", "12..1/22..2/3...3/4..../....4",
         "2 0 6 0"}, // asked again after N
        {"P00G04RP02yG12", "Removing former path 1...", "111.1/2...2/3...3/4..../....4",
         "1 0 4 0"}, // a question ends the drag
        {"P00G04RP04yG03P04G03", "", "1..11/2...2/3...3/4..../....4",
         "1 0 5 0"}, // drawn anew from its end
        {"P--G01P33", "", rows, "- 0 0 0"},
        {"P00G01qG02", "", rows, "- 0 1 0"}, // a key ends the drag, here with its path
        {"P00G01#G02", "", rows, "1 0 1 0"},
        {"1dddd2dddd3dddd4sdwdsdwds", "Congratulations! You connected path 4 successfully!",
         "11111/22222/33333/44444/44444", "- 4 21 0"},
    });
    for (const Case& test : cases) {
        FullScreenGame game(testing::boardFromText(test.board));
        for (std::size_t i = 0; i < test.keys.size(); ++i) {
            const auto mouse = std::string_view("PGR").find(test.keys[i]);
            if (mouse == std::string_view::npos) {
                pressKey(game, keyOf(test.keys[i]));
                continue;
            }
            if (test.keys[i] == 'R') {
                pressMouse(game, MouseAction::release, -1);
                continue;
            }
            const std::string cell(test.keys.substr(i + 1, 2));
            pressMouse(game, MouseAction(mouse), cell[0] == '-' ? -1 : std::stoi(cell));
            i += 2;
        }
        EXPECT_EQ(game.message, test.message) << test.keys;
        EXPECT_EQ(gridText(game.live), test.grid) << test.keys;
        std::istringstream counts{std::string(test.counts)};
        std::string drawn;
        int connected = 0;
        int moves = 0;
        int hints = 0;
        counts >> drawn >> connected >> moves >> hints;
        const auto filled = std::ranges::count_if(test.grid, [](char cell) { return cell > '0'; });
        EXPECT_EQ(countsText(game, game.started),
                  "Path " + drawn + "  Connected " + std::to_string(connected) + "/4  Cells " +
                      std::to_string(filled) + "/25  Moves " + std::to_string(moves) + "  Hints " +
                      std::to_string(hints) + "  0:00")
            << test.keys;
        EXPECT_EQ(testing::pathsFault(game.live, game.paths), "") << test.keys;
        EXPECT_EQ(game.won, connected == 4) << test.keys;
        EXPECT_EQ(game.quit, false) << test.keys;
    }
    // The clock leaves out the time stopped, and stops at the win: the time shown then is the
    // time played, here more than 3 s since a start set back.
    FullScreenGame timed(testing::boardFromText(rows));
    timed.paused = std::chrono::seconds(5);
    EXPECT_EQ(countsText(timed, timed.started + std::chrono::seconds(65)).substr(53), "1:00");
    timed.paused = {};
    timed.started -= std::chrono::milliseconds(3500);
    for (const char key : std::string_view("1dddd2dddd3dddd4sdwdsdwds"))
        pressKey(timed, keyOf(key));
    const auto played = std::chrono::duration_cast<std::chrono::seconds>(timed.playTime);
    EXPECT_TRUE(timed.won && played >= std::chrono::seconds(3)) << played.count();
    EXPECT_NE(gameScreen(timed, {}, Look{})
                  .find(messageText(Message::winCounts, 21, 0, clockText(played))),
              std::string::npos);
    EXPECT_TRUE(
        countsText(timed, timed.started + std::chrono::hours(1)).ends_with(clockText(played)));
    for (const auto& [seconds, shown] :
         std::to_array<std::pair<long long, std::string_view>>({{0, "0:00"},
                                                                {9, "0:09"},
                                                                {10, "0:10"},
                                                                {59, "0:59"},
                                                                {60, "1:00"},
                                                                {3599, "59:59"},
                                                                {3600, "60:00"},
                                                                {9223372036, "153722867:16"},
                                                                {-5, "-0:05"}}))
        EXPECT_EQ(clockText(std::chrono::seconds(seconds)), shown);
    // A click on any of a cell's three columns is on that cell; on the frame, or on a row between
    // cells, it is on none. On 80 x 24 the 5 x 5 frame's corner is at row 5, column 31.
    for (const auto& [row, column, code] : std::to_array<std::tuple<int, int, int>>({{6, 31, -1},
                                                                                     {6, 32, 0},
                                                                                     {6, 34, 0},
                                                                                     {6, 35, 1},
                                                                                     {7, 32, -1},
                                                                                     {14, 46, 44},
                                                                                     {14, 47, -1}}))
        EXPECT_EQ(cellOnScreen(5, {}, row, column), code) << row << ' ' << column;
    // A message wider than the window breaks at a blank.
    FullScreenGame asking(testing::boardFromText(rows));
    for (const char key : std::string_view("1dddd2d^"))
        pressKey(asking, keyOf(key));
    EXPECT_NE(gameScreen(asking, {16, 60}, Look{}).find("Continue?\033[0m"), std::string::npos);
    FullScreenGame quitting(testing::boardFromText(rows));
    for (const char key : std::string_view("qY"))
        pressKey(quitting, keyOf(key));
    EXPECT_TRUE(quitting.quit);
}

// CIELAB of an sRGB colour (D65 white), and the distance dE*76 of two.
using Lab = std::array<double, 3>;
Lab labOf(std::array<int, 3> rgb) {
    std::array<double, 3> linear{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double c = rgb[i] / 255.0;
        linear[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    const auto [r, g, b] = linear;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

// Every two pairs' colours far apart; with 256 colours, each light enough for a dark background
// and dark enough for a light one. The basic 16 are those of xterm; none is black, white, grey
// or the default.
TEST(Screen, PairColoursAreToldApart) {
    const std::map<std::string_view, std::array<int, 3>> basic{
        {"31", {205, 0, 0}},   {"32", {0, 205, 0}},   {"33", {205, 205, 0}}, {"34", {0, 0, 238}},
        {"35", {205, 0, 205}}, {"36", {0, 205, 205}}, {"91", {255, 0, 0}},   {"92", {0, 255, 0}},
        {"93", {255, 255, 0}}, {"94", {92, 92, 255}}, {"95", {255, 0, 255}}, {"96", {0, 255, 255}}};
    constexpr std::array<int, 6> levels{0, 95, 135, 175, 215, 255}; // of the 6 x 6 x 6 cube
    for (const bool many : {true, false}) {
        std::vector<Lab> labs;
        for (const std::string_view colour : screenColours(many)) {
            if (!many) {
                ASSERT_TRUE(basic.contains(colour)) << colour;
                labs.push_back(labOf(basic.at(colour)));
                continue;
            }
            ASSERT_TRUE(colour.starts_with("38;5;")) << colour;
            const int cube = std::stoi(std::string(colour.substr(5))) - 16;
            ASSERT_TRUE(cube >= 0 && cube < 216) << colour;
            labs.push_back(labOf({levels[std::size_t(cube / 36)], levels[std::size_t(cube / 6 % 6)],
                                  levels[std::size_t(cube % 6)]}));
            EXPECT_TRUE(labs.back()[0] >= 30 && labs.back()[0] <= 80) << colour;
        }
        for (std::size_t i = 0; i < labs.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                const double apart = std::hypot(labs[i][0] - labs[j][0], labs[i][1] - labs[j][1],
                                                labs[i][2] - labs[j][2]);
                EXPECT_GE(apart, many ? 25 : 22.5) << i << ' ' << j;
            }
        }
    }
    // The board takes them only where colours are wanted.
    const FullScreenGame game(testing::boardFromText(rows));
    for (const bool colours : {true, false}) {
        const std::string screen = gameScreen(game, {}, Look{colours, true, true});
        EXPECT_EQ(screen.find(";38;5;160m1") != std::string::npos, colours);
    }
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
    using Values = std::array<const char*, 3>; // of the three, nullptr where unset
    constexpr Values names{"LC_ALL", "LC_CTYPE", "LANG"};
    const auto cases = std::to_array<std::pair<Values, bool>>({
        {{nullptr, nullptr, nullptr}, false},
        {{nullptr, nullptr, "en_GB.UTF-8"}, true},
        {{"", "C", "en_GB.utf8"}, false},
        {{"C.utf-8", "C", nullptr}, true},
        {{nullptr, "POSIX", "en_GB.UTF-8"}, false},
    });
    const auto set = [&](const Values& values) {
        for (std::size_t i = 0; i < names.size(); ++i)
            static_cast<void>(values[i] == nullptr ? unsetenv(names[i])
                                                   : setenv(names[i], values[i], 1));
    };
    std::array<std::string, 3> kept;
    Values before{}; // the environment as it was
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (const char* value = std::getenv(names[i])) before[i] = (kept[i] = value).c_str();
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        set(cases[i].first);
        EXPECT_EQ(localeIsUtf8(), cases[i].second) << "case " << i;
    }
    set(before);
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
                                "\033[<0;0;3M\033[?0;5;3M\033O<0;5;3M");
    ASSERT_EQ(mouse.size(), 13U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mouse[i].key, Key::mouse);
        EXPECT_EQ(int(mouse[i].action), int(i));
        EXPECT_EQ(mouse[i].row, i < 2 ? 2 : 3);
        EXPECT_EQ(mouse[i].column, i == 0 ? 4 : 5);
    }
    EXPECT_EQ(script({mouse.begin() + 3, mouse.end()}), "[?][?][?][?][?][?][?][?][?][?]");
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
