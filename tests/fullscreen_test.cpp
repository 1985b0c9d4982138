// The full-screen game run for real: the program in a pseudo-terminal of 80 x 24, its output
// rendered by a terminal emulator (libvterm), the assertions made on the screen's cells and on
// the terminal's modes once the program has ended.

#include "boards.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vterm.h>

#include <chrono>
#include <csignal>
#include <functional>

namespace pairpath {
namespace {

constexpr int rows = 24;
constexpr int columns = 80;
constexpr char32_t frameCorner = U'╔';
constexpr char32_t pathHead = U'●';
constexpr std::string_view winText = "Congrats! You Win the game!!!";

bool sameModes(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

// The program with `--full-screen` on a pseudo-terminal, its screen kept by libvterm.
class Terminal {
  public:
    Terminal() {
        std::array<int, 2> go{};
        winsize size{rows, columns, 0, 0};
        if (pipe(go.data()) != 0) return;
        child = forkpty(&master, nullptr, nullptr, &size);
        if (child == 0) { // waits until the parent has read the pseudo-terminal's first modes
            char byte = 0;
            close(go[1]);
            if (read(go[0], &byte, 1) != 1) _exit(126);
            setenv("LANG", "C.UTF-8", 1);
            unsetenv("LC_ALL");
            unsetenv("LC_CTYPE");
            execl(PAIRPATH_BINARY, PAIRPATH_BINARY, "--full-screen", "--seed=7",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        tcgetattr(master, &before); // on Linux, the master reports the terminal's modes
        close(go[0]);
        [[maybe_unused]] const auto sent = write(go[1], "g", 1);
        close(go[1]);
        vterm_set_utf8(vt, 1);
        screen = vterm_obtain_screen(vt);
        vterm_screen_enable_altscreen(screen, 1);
        callbacks.settermprop = [](VTermProp prop, VTermValue* value, void* self) {
            auto& terminal = *static_cast<Terminal*>(self);
            if (prop == VTERM_PROP_ALTSCREEN) terminal.altScreen = value->boolean != 0;
            if (prop == VTERM_PROP_CURSORVISIBLE) terminal.cursorShown = value->boolean != 0;
            return 1;
        };
        vterm_screen_set_callbacks(screen, &callbacks, this);
        vterm_screen_reset(screen, 1);
    }
    ~Terminal() {
        if (child > 0 && !ended) kill(child, SIGKILL);
        if (child > 0 && !ended) waitpid(child, nullptr, 0);
        if (master >= 0) close(master);
        vterm_free(vt);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void type(std::string_view keys) {
        ASSERT_EQ(write(master, keys.data(), keys.size()), ssize_t(keys.size()));
    }

    char32_t at(int row, int column) const {
        VTermScreenCell cell{};
        vterm_screen_get_cell(screen, {row, column}, &cell);
        return cell.chars[0];
    }
    std::string text() const { // the screen, with '#' for every character beyond ASCII
        std::string all;
        for (int row = 0; row < rows; ++row, all += '\n') {
            for (int column = 0; column < columns; ++column)
                all += at(row, column) < 128 ? std::max(' ', char(at(row, column))) : '#';
        }
        return all;
    }

    // Reads the program's output until `shown` holds, for at most five seconds.
    void waitFor(const std::function<bool()>& shown, std::string_view what) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!shown()) {
            ASSERT_FALSE(outputEnded) << "output ended before " << what << ":\n" << text();
            ASSERT_LT(std::chrono::steady_clock::now(), deadline)
                << "waited for " << what << ", the screen shows:\n"
                << text();
            readSome();
        }
    }
    void waitForText(std::string_view wanted) {
        waitFor([&] { return text().find(wanted) != std::string::npos; }, wanted);
    }

    // Waits for the program's end: its wait status, or -1 if it does not end in five seconds.
    int end() {
        waitFor([&] { return outputEnded; }, "the end of the output");
        for (int tries = 0; tries < 50 && !ended; ++tries, usleep(100'000))
            ended = waitpid(child, &status, WNOHANG) == child;
        return ended ? status : -1;
    }

    termios before{};
    termios now() const {
        termios modes{};
        tcgetattr(master, &modes);
        return modes;
    }
    bool altScreen = false;
    bool cursorShown = true;

  private:
    void readSome() {
        pollfd ready{master, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) return;
        char buffer[4096];
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0) outputEnded = true; // EIO once the program has closed the terminal
        if (got > 0) vterm_input_write(vt, buffer, std::size_t(got));
    }

    pid_t child = -1;
    int master = -1;
    VTerm* vt = vterm_new(rows, columns);
    VTermScreen* screen = nullptr;
    VTermScreenCallbacks callbacks{};
    bool outputEnded = false;
    bool ended = false;
    int status = 0;
};

// The board on the screen: the centre of cell (row, column) is at (1 + 2 row, 2 + 3 column)
// from the frame's top-left corner.
struct Shown {
    int top = -1;
    int left = -1;
    char32_t at(const Terminal& terminal, int code, int beside = 0) const {
        return terminal.at(top + 1 + 2 * rowOf(code), left + 2 + 3 * columnOf(code) + beside);
    }
};

Shown findBoard(const Terminal& terminal) {
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (terminal.at(row, column) == frameCorner) return {row, column};
        }
    }
    return {};
}

// Answers 5 and 4, reads the board, and returns a cover of it.
Cover startGame(Terminal& terminal, Shown& board) {
    terminal.waitForText("Grid side?");
    terminal.type("5");
    terminal.waitForText("How many pairs?");
    terminal.type("4");
    terminal.waitFor([&] { return findBoard(terminal).top >= 0; }, "the board");
    EXPECT_TRUE(terminal.altScreen);
    EXPECT_FALSE(terminal.cursorShown);
    EXPECT_FALSE(sameModes(terminal.now(), terminal.before)) << "not in raw mode";
    board = findBoard(terminal);
    std::vector<std::string> text(5, ".....");
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            const char32_t c = board.at(terminal, cellCode(row, column));
            if (c >= U'1' && c <= U'4') text[std::size_t(row)][std::size_t(column)] = char(c);
        }
    }
    const auto cover = findCover(testing::boardFromText({text.begin(), text.end()}));
    EXPECT_TRUE(cover.has_value()) << terminal.text();
    return cover.value_or(Cover{});
}

std::string arrow(int from, int to) {
    const int step = to - from;
    return step == -10 ? "\033[A" : step == 10 ? "\033[B" : step == 1 ? "\033[C" : "\033[D";
}

// Chooses each pair in turn and keys its route from where the game starts it (the bracketed
// endpoint); with `whole` false, only the first step of pair 1. The first step must draw the
// path's head.
void draw(Terminal& terminal, const Shown& board, const Cover& cover, bool whole) {
    for (int pair = 1; pair <= (whole ? 4 : 1); ++pair) {
        std::vector<int> route = cover[std::size_t(pair - 1)];
        const auto bracketed = [&](int code) { return board.at(terminal, code, -1) == U'['; };
        terminal.type(std::to_string(pair));
        terminal.waitFor([&] { return bracketed(route.front()) || bracketed(route.back()); },
                         "the start endpoint's brackets");
        if (bracketed(route.back())) std::reverse(route.begin(), route.end());
        for (std::size_t i = 1; i < (whole ? route.size() : 2); ++i) {
            terminal.type(arrow(route[i - 1], route[i]));
            if (pair == 1 && i == 1) {
                terminal.waitFor([&] { return board.at(terminal, route[1]) == pathHead; },
                                 "the path's head");
            }
        }
    }
}

TEST(FullScreen, PlaysAndGivesTheTerminalBack) {
    struct Case {
        const char* how;
        bool solve;       // key in a whole solution and expect the win; else one step only
        const char* keys; // then
        int signal;       // that ends the program, or 0 for an exit with status 0
    };
    const Case cases[] = {
        {"Q after the win", true, "q", 0},
        {"Q, then Y", false, "qqy", 0},
        {"Ctrl+C in the middle of a path", false, "\003", SIGINT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Terminal terminal;
        Shown board;
        const Cover cover = startGame(terminal, board);
        ASSERT_EQ(cover.size(), 4U);
        ASSERT_NO_FATAL_FAILURE(draw(terminal, board, cover, c.solve));
        if (c.solve) {
            ASSERT_NO_FATAL_FAILURE(terminal.waitForText(winText));
        }
        terminal.type(c.keys);
        const int status = terminal.end();
        const bool endedAsWanted = c.signal == 0
                                       ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                       : WIFSIGNALED(status) && WTERMSIG(status) == c.signal;
        EXPECT_TRUE(endedAsWanted) << "wait status " << status;
        EXPECT_TRUE(sameModes(terminal.now(), terminal.before));
        EXPECT_FALSE(terminal.altScreen);
        EXPECT_TRUE(terminal.cursorShown);
    }
}

} // namespace
} // namespace pairpath
