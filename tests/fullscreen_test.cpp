// The full-screen game run for real: the program in a pseudo-terminal of 80 x 24, its output
// rendered by a terminal emulator (libvterm), the assertions made on the screen's cells and on
// the terminal's modes once the program has ended.

#include "pairpath/hunt.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>
#include <vterm.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>

namespace pairpath {
namespace {

constexpr int rows = 24;
constexpr int columns = 80;

// `pairpath --full-screen --seed=7` on a pseudo-terminal that reports the size `size`, its screen
// of 80 x 24 kept by libvterm.
class Terminal {
  public:
    explicit Terminal(winsize size) {
        int slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) return;
        tcgetattr(slave, &before);
        child = fork();
        if (child == 0 && login_tty(slave) == 0) {
            setenv("LC_ALL", "C.UTF-8", 1);
            execl(PAIRPATH_BINARY, PAIRPATH_BINARY, "--full-screen", "--seed=7",
                  static_cast<char*>(nullptr));
        }
        if (child == 0) _exit(127);
        close(slave);
        vterm_set_utf8(vt, 1);
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
        if (child > 0 && !ended && kill(child, SIGKILL) == 0) waitpid(child, nullptr, 0);
        if (master >= 0) close(master);
        vterm_free(vt);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void type(std::string_view keys) {
        ASSERT_EQ(write(master, keys.data(), keys.size()), ssize_t(keys.size()));
    }
    void resume() const { kill(child, SIGCONT); }
    char32_t at(int row, int column) const {
        VTermScreenCell cell{};
        vterm_screen_get_cell(screen, {row, column}, &cell);
        return cell.chars[0];
    }
    // Reads the program's output until `shown` holds, for at most five seconds.
    void waitFor(const std::function<bool()>& shown, std::string_view what) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!shown()) {
            ASSERT_FALSE(outputEnded) << "output ended before " << what;
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no " << what << " on screen";
            pollfd ready{master, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) continue;
            std::array<char, 4096> buffer{};
            const ssize_t got = read(master, buffer.data(), buffer.size());
            outputEnded = got <= 0; // EIO once the program has closed the terminal
            if (got > 0) vterm_input_write(vt, buffer.data(), std::size_t(got));
        }
    }
    void waitForText(std::string_view wanted) {
        std::string screenText; // with '#' for every character beyond ASCII
        waitFor(
            [&] {
                screenText.clear();
                for (int cell = 0; cell < rows * columns; ++cell) {
                    const char32_t c = at(cell / columns, cell % columns);
                    screenText += c < 128 ? std::max(' ', char(c)) : '#';
                }
                return screenText.find(wanted) != std::string::npos;
            },
            wanted);
    }

    // Waits for the program's end: its wait status, or -1 if it does not end in five seconds.
    int end() {
        waitFor([&] { return outputEnded; }, "the end of the output");
        for (int tries = 0; tries < 50 && !ended; ++tries, usleep(100'000))
            ended = waitpid(child, &status, WNOHANG) == child;
        return ended ? status : -1;
    }
    // Whether the terminal's modes are those it had before the program started.
    bool modesAsBefore() const {
        termios now{};
        tcgetattr(master, &now);
        return now.c_iflag == before.c_iflag && now.c_oflag == before.c_oflag &&
               now.c_cflag == before.c_cflag && now.c_lflag == before.c_lflag &&
               std::equal(now.c_cc, now.c_cc + NCCS, before.c_cc);
    }

    termios before{};
    bool altScreen = false;
    bool cursorShown = true;

  private:
    pid_t child = -1;
    int master = -1;
    VTerm* vt = vterm_new(rows, columns);
    VTermScreen* screen = vterm_obtain_screen(vt);
    VTermScreenCallbacks callbacks{};
    bool outputEnded = false;
    bool ended = false;
    int status = 0;
};

// The screen position of a cell's centre: cells are three columns apart and two rows apart,
// from the frame's top-left corner.
std::pair<int, int> onScreen(const Terminal& terminal, int code) {
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (terminal.at(row, column) == U'╔') {
                return {row + 1 + 2 * rowOf(code), column + 2 + 3 * columnOf(code)};
            }
        }
    }
    return {0, 0};
}

std::string arrow(int from, int to) {
    const int step = to - from;
    return step == -10 ? "\033[A" : step == 10 ? "\033[B" : step == 1 ? "\033[C" : "\033[D";
}

TEST(FullScreen, PlaysAndGivesTheTerminalBack) {
    std::srand(7); // the seed the program gets, so the same board and a cover of it
    const Board board = *findPuzzle(5, 4, nullptr).puzzle;
    const Cover cover = *findCover(board);
    // A terminal that reports no rows, or no columns, is taken to be 80 x 24.
    const std::tuple<const char*, bool, const char*, int, winsize> cases[] = {
        {"Q after the win", true, "q", 0, {rows, columns, 0, 0}},
        {"Ctrl+C in the middle of a path", false, "\003", 128 + SIGINT, {0, columns, 0, 0}},
        {"Ctrl+D, the end of input, in a path", false, "\004", 1, {rows, 0, 0, 0}},
        {"Q to drop the path, Q and Y to quit, in the smallest window",
         false,
         "qqy",
         0,
         {16, 60, 0, 0}},
        {"Ctrl+Z, then Ctrl+C once resumed", false, "\032", 128 + SIGINT, {rows, columns, 0, 0}},
    };
    for (const auto& [how, solve, keys, ending, size] :
         cases) { // an exit status, or 128 + a signal
        SCOPED_TRACE(how);
        Terminal terminal(size);
        terminal.waitForText("Grid side?");
        terminal.type("x5"); // a key that answers nothing is passed over
        terminal.waitForText("How many pairs?");
        terminal.type("4");
        const auto shows = [&](int code, char32_t mark) {
            const auto [row, column] = onScreen(terminal, code);
            return terminal.at(row, column) == mark;
        };
        terminal.waitFor([&] { return shows(board.endpoints[0], U'1'); }, "the board");
        const int wide = size.ws_col == 0 ? columns : size.ws_col;
        EXPECT_EQ(onScreen(terminal, 0).second, (wide - 17) / 2 + 2) << "a centred board";
        for (int entry = 0; entry < board.count; ++entry)
            EXPECT_TRUE(
                shows(board.endpoints[std::size_t(entry)], char32_t(digitOf(entry / 2 + 1))));
        EXPECT_TRUE(terminal.altScreen && !terminal.cursorShown);
        EXPECT_FALSE(terminal.modesAsBefore()) << "not in raw mode";
        // Before its first step, a path's head is its start, in brackets.
        const auto bracketed = [&](int code) {
            const auto [row, column] = onScreen(terminal, code);
            return terminal.at(row, column - 1) == U'[' && terminal.at(row, column + 1) == U']';
        };
        for (int pair = 1; pair <= (solve ? 4 : 1); ++pair) {
            const auto& route = cover[std::size_t(pair - 1)];
            terminal.type(std::to_string(pair));
            if (!solve) terminal.waitFor([&] { return bracketed(route[0]); }, "bracketed start");
            for (std::size_t i = 1; i < (solve ? route.size() : 2); ++i)
                terminal.type(arrow(route[i - 1], route[i]));
        }
        if (solve) {
            ASSERT_NO_FATAL_FAILURE(terminal.waitForText("Congrats! You Win the game!!!"));
            // A cell inside a route shows the box line that joins its two neighbours.
            const auto line = [](int from, int to) {
                const auto toward = [&](int step) { return from == step || to == step; };
                if (toward(-10) && toward(10)) return U'│';
                if (toward(-1) && toward(1)) return U'─';
                if (toward(-10)) return toward(-1) ? U'┘' : U'└';
                return toward(-1) ? U'┐' : U'┌';
            };
            for (const auto& route : cover) {
                for (std::size_t i = 1; i + 1 < route.size(); ++i) {
                    const auto [row, column] = onScreen(terminal, route[i]);
                    EXPECT_EQ(terminal.at(row, column),
                              line(route[i - 1] - route[i], route[i + 1] - route[i]));
                }
            }
        } else {
            ASSERT_NO_FATAL_FAILURE(
                terminal.waitFor([&] { return shows(cover[0][1], U'●'); }, "the path's head"));
            EXPECT_FALSE(bracketed(cover[0][0]));
        }
        terminal.type(keys);
        if (keys == std::string_view("\032")) { // stopped, with the terminal given back
            terminal.waitFor([&] { return terminal.modesAsBefore() && !terminal.altScreen; },
                             "the terminal as it was");
            terminal.resume();
            terminal.waitFor([&] { return terminal.altScreen; }, "the game again");
            terminal.type("\003");
        }
        const int status = terminal.end();
        EXPECT_TRUE(ending < 128 ? WIFEXITED(status) && WEXITSTATUS(status) == ending
                                 : WIFSIGNALED(status) && WTERMSIG(status) == ending - 128)
            << "wait status " << status;
        EXPECT_TRUE(terminal.modesAsBefore());
        EXPECT_FALSE(terminal.altScreen);
        EXPECT_TRUE(terminal.cursorShown);
    }
}

} // namespace
} // namespace pairpath
