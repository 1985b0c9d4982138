// The full-screen game run for real: the program in a pseudo-terminal, its output rendered by a
// terminal emulator (libvterm), the assertions made on the screen's cells, on the terminal's
// modes and on how the program stops and ends.
//
// Between the test and the game stands a small shell, as between a player and the game: it leads
// the terminal's session and runs the game as a job, in a process group of its own that is the
// terminal's foreground group. So Ctrl+Z really stops the game, a new window size signals it, and
// the shell's waitpid reports each stop, each continue and the end to the test through a pipe.

#include "checks.hpp"
#include "pairpath/hunt/hunt.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vterm.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <system_error>

namespace pairpath {
namespace {

constexpr winsize standardSize{24, 80, 0, 0}; // also what the game takes when a side is 0

// The last guard against a hang, not a measure of speed: a wait for the screen, a stop or the
// end fails after this long, far beyond what any machine needs, slow or sanitized. Once one wait
// has failed so, the later ones fail at once.
constexpr auto hangGuard = std::chrono::seconds(60);
constexpr int guardLook = 1000; // milliseconds a poll waits before the guard is looked at
constexpr int shellFailed = 126;

// How the game is run: its arguments, TERM (nullptr: unset), the window, the state folder.
struct Run {
    std::vector<std::string> arguments{"--full-screen", "--seed=7"};
    const char* term = "xterm-256color";
    winsize size = standardSize;
};

// One report to the test, whole: a pipe takes so few bytes at once.
void tell(int report, int value) {
    [[maybe_unused]] const ssize_t ignored = write(report, &value, sizeof value);
}

// The game's process, forked by the shell: its own process group, made the foreground before the
// program starts. tcsetpgrp from what is still a background group raises SIGTTOU, which is
// ignored until then.
[[noreturn]] void runGame(int terminal, const Run& run) {
    std::signal(SIGTTOU, SIG_IGN);
    setpgid(0, 0);
    tcsetpgrp(terminal, getpid());
    std::signal(SIGTTOU, SIG_DFL);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(terminal, fd);
    if (terminal > STDERR_FILENO) close(terminal);
    static_cast<void>(run.term == nullptr ? unsetenv("TERM") : setenv("TERM", run.term, 1));
    std::vector<char*> arguments{const_cast<char*>(PAIRPATH_BINARY)};
    for (const std::string& argument : run.arguments)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    execv(PAIRPATH_BINARY, arguments.data());
    _exit(shellFailed + 1);
}

// The mini-shell, in the child: a new session whose controlling terminal is `terminalName`, the
// game run in it, and on `report` the game's process id, then each of its wait statuses until
// the one that tells its end.
[[noreturn]] void runShell(const char* terminalName, int report, const Run& run,
                           const std::string& stateFolder) {
    const int terminal = setsid() < 0 ? -1 : open(terminalName, O_RDWR);
    // Linux makes it the controlling terminal on open already; the BSDs need TIOCSCTTY.
    if (terminal < 0 || ioctl(terminal, TIOCSCTTY, 0) != 0) _exit(shellFailed);
    std::signal(SIGCHLD, SIG_DFL); // an ignored SIGCHLD would hide the game from waitpid
    setenv("LC_ALL", "", 1);       // an empty LC_ALL counts as unset: the locale is LANG's
    unsetenv("LC_CTYPE");
    setenv("LANG", "C.UTF-8", 1);
    setenv("XDG_STATE_HOME", stateFolder.c_str(), 1); // where the records go
    const pid_t game = fork();
    if (game == 0) runGame(terminal, run);
    if (game < 0) _exit(shellFailed);
    setpgid(game, game); // here too, as shells do, whichever of the two runs first
    tell(report, game);
    for (;;) {
        int status = 0;
        if (waitpid(game, &status, WUNTRACED | WCONTINUED) < 0) {
            if (errno == EINTR) continue;
            _exit(shellFailed);
        }
        tell(report, status);
        if (WIFEXITED(status) || WIFSIGNALED(status)) _exit(0);
    }
}

// The game run as `run` says under the mini-shell, on a new pseudo-terminal that reports its
// size; its screen kept by libvterm at that size, or 80 x 24 where a side is 0.
class Terminal {
  public:
    explicit Terminal(const Run& run = {}, const std::string& state = "") {
        if (!state.empty()) stateFolder = state;
        master = posix_openpt(O_RDWR | O_NOCTTY);
        std::array<int, 2> reports{-1, -1};
        const char* name =
            master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ? nullptr : ptsname(master);
        if (name == nullptr || pipe(reports.data()) != 0)
            throw std::system_error(errno, std::generic_category(), "no pseudo-terminal");
        slaveName = name;
        ioctl(master, TIOCSWINSZ, &run.size);
        tcgetattr(master, &before);
        for (const int fd : {master, reports[0], reports[1]})
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        shell = fork();
        if (shell == 0) runShell(name, reports[1], run, stateFolder);
        close(reports[1]);
        report = reports[0];
        if (shell < 0) throw std::system_error(errno, std::generic_category(), "no shell");
        if (run.size.ws_row != 0 && run.size.ws_col != 0)
            vterm_set_size(vt, run.size.ws_row, run.size.ws_col);
        vterm_set_utf8(vt, 1);
        vterm_screen_enable_altscreen(screen, 1);
        callbacks.settermprop = [](VTermProp prop, VTermValue* value, void* self) {
            auto& terminal = *static_cast<Terminal*>(self);
            if (prop == VTERM_PROP_ALTSCREEN) terminal.altScreen = value->boolean != 0;
            if (prop == VTERM_PROP_CURSORVISIBLE) terminal.cursorShown = value->boolean != 0;
            if (prop == VTERM_PROP_MOUSE) terminal.mouse = value->number;
            return 1;
        };
        vterm_screen_set_callbacks(screen, &callbacks, this);
        vterm_screen_reset(screen, 1);
    }
    // A game still running is killed; the shell then reports its end, and is waited for.
    ~Terminal() {
        if (game > 0 && !ended()) kill(-game, SIGKILL);
        if (game <= 0) kill(shell, SIGKILL);
        waitpid(shell, nullptr, 0);
        close(master);
        close(report);
        vterm_free(vt);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void type(std::string_view keys) const {
        ASSERT_EQ(write(master, keys.data(), keys.size()), ssize_t(keys.size()));
    }
    // A new window size, for the screen kept here and for the terminal, whose kernel then sends
    // SIGWINCH to the foreground process group.
    void resize(winsize size) {
        vterm_set_size(vt, size.ws_row, size.ws_col);
        ASSERT_EQ(ioctl(master, TIOCSWINSZ, &size), 0);
    }
    // A signal to the game's process group, as a shell's `fg` (SIGCONT) or a closed window does.
    void signal(int number) const { ASSERT_EQ(kill(-game, number), 0); }
    // Whether the game has read every byte typed so far. Bytes written here reach the terminal's
    // side a moment later; a poll there takes in those on their way before it answers, where
    // FIONREAD would count only those arrived. The terminal is opened only for the question:
    // held open, it would keep its end from being seen.
    bool typedRead() const {
        pollfd side{open(slaveName.c_str(), O_RDWR | O_NOCTTY), POLLIN, 0};
        const bool read = side.fd >= 0 && poll(&side, 1, 0) == 0;
        if (side.fd >= 0) close(side.fd);
        return read;
    }

    char32_t at(int row, int column) const {
        VTermScreenCell cell{};
        vterm_screen_get_cell(screen, {row, column}, &cell);
        return cell.chars[0];
    }
    std::pair<int, int> screenSize() const {
        std::pair<int, int> size;
        vterm_get_size(vt, &size.first, &size.second);
        return size;
    }
    // The screen's rows, each ended by '\n' and without its trailing blanks.
    std::string text() const {
        const auto [rows, columns] = screenSize();
        std::string all(std::size_t(rows * (4 * columns + 1)), '\0'); // four bytes a character
        all.resize(vterm_screen_get_text(screen, all.data(), all.size(), {0, rows, 0, columns}));
        return all + '\n';
    }

    // Reads the game's output and the shell's reports until `shown` holds.
    void waitFor(const std::function<bool()>& shown, std::string_view what) {
        const auto deadline = std::chrono::steady_clock::now() + hangGuard;
        while (!shown()) {
            ASSERT_FALSE(gaveUp) << "no wait for " << what << " after a hang";
            ASSERT_FALSE(outputEnded && reportsEnded) << "everything ended before " << what;
            if (std::chrono::steady_clock::now() > deadline) {
                gaveUp = true;
                FAIL() << "no " << what << " after " << hangGuard.count() << " s\n" << text();
            }
            std::array<pollfd, 2> ready{
                {{outputEnded ? -1 : master, POLLIN, 0}, {reportsEnded ? -1 : report, POLLIN, 0}}};
            if (poll(ready.data(), ready.size(), guardLook) <= 0) continue;
            if (ready[0].revents != 0) readOutput();
            if (ready[1].revents != 0) readReports();
        }
    }
    void waitForText(std::string_view wanted) {
        waitFor([&] { return text().find(wanted) != std::string::npos; }, wanted);
    }

    bool stopped() const { return !reported.empty() && WIFSTOPPED(reported.back()); }
    bool ended() const {
        return !reported.empty() && (WIFEXITED(reported.back()) || WIFSIGNALED(reported.back()));
    }
    // Waits for the game's end and for all its output: its wait status, or -1.
    int end() {
        waitFor([&] { return ended() && outputEnded; }, "the end");
        return ended() ? reported.back() : -1;
    }
    // Whether the terminal is as it was before the game: its modes, the main screen, the cursor
    // shown, no mouse reports.
    bool givenBack() const {
        termios now{};
        tcgetattr(master, &now);
        return now.c_iflag == before.c_iflag && now.c_oflag == before.c_oflag &&
               now.c_cflag == before.c_cflag && now.c_lflag == before.c_lflag &&
               std::ranges::equal(now.c_cc, before.c_cc) && !altScreen && cursorShown &&
               mouse == VTERM_PROP_MOUSE_NONE;
    }

    std::vector<int> reported; // the shell's reports so far: each a wait status of the game
    bool altScreen = false;
    bool cursorShown = true;
    int mouse = VTERM_PROP_MOUSE_NONE; // the mouse reports asked for
    std::string output;                // every byte the game wrote
    testing::TempFolder ownState;      // XDG_STATE_HOME, unless the caller names one
    std::string stateFolder = ownState.path.string();

  private:
    void readOutput() {
        std::array<char, 4096> buffer{};
        const ssize_t got = read(master, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) return;
        outputEnded = got <= 0; // EIO once no process holds the terminal open
        if (got <= 0) return;
        vterm_input_write(vt, buffer.data(), std::size_t(got));
        output.append(buffer.data(), std::size_t(got));
    }
    // Every report is one int written whole, and every read takes whole ints.
    void readReports() {
        std::array<int, 16> values{};
        const ssize_t got = read(report, values.data(), sizeof values);
        if (got < 0 && errno == EINTR) return;
        reportsEnded = got <= 0;
        for (std::size_t i = 0; got > 0 && i < std::size_t(got) / sizeof(int); ++i)
            (game < 0 ? game : reported.emplace_back()) = values[i];
    }

    termios before{};
    std::string slaveName;
    int master = -1;
    int report = -1; // the read end of the shell's reports
    pid_t shell = -1;
    pid_t game = -1; // also the game's process group
    bool outputEnded = false;
    bool reportsEnded = false;
    bool gaveUp = false;
    VTerm* vt = vterm_new(standardSize.ws_row, standardSize.ws_col);
    VTermScreen* screen = vterm_obtain_screen(vt);
    VTermScreenCallbacks callbacks{};
};

// Seed 7's first two boards, 5 x 5 with 4 pairs, the ones the game deals, and a cover of the
// first.
const std::array<Board, 2> boards = [] {
    std::srand(7);
    const Board first = *findPuzzle(5, 4, nullptr).puzzle;
    return std::array{first, *findPuzzle(5, 4, nullptr).puzzle};
}();
const Board& board = boards[0];
const Cover cover = *findCover(board);

// The screen position of the board frame's top-left corner, or {-1, -1}.
std::pair<int, int> corner(const Terminal& terminal) {
    const auto [rows, columns] = terminal.screenSize();
    for (int at = 0; at < rows * columns; ++at) {
        if (terminal.at(at / columns, at % columns) == U'╔') return {at / columns, at % columns};
    }
    return {-1, -1};
}

// Where that corner belongs for the 5 x 5 board, 17 columns by 11 rows: centred on the window,
// below the title row, with the four status rows at the bottom.
std::pair<int, int> centredCorner(winsize window) {
    const int rows = window.ws_row == 0 ? standardSize.ws_row : window.ws_row;
    const int columns = window.ws_col == 0 ? standardSize.ws_col : window.ws_col;
    return {1 + (rows - 16) / 2, (columns - 17) / 2};
}

// What the screen shows `right` columns right of a cell's centre and `down` rows below it: cells
// are three columns apart and two rows apart.
char32_t shown(const Terminal& terminal, int code, int right = 0, int down = 0) {
    const auto [row, column] = corner(terminal);
    return terminal.at(row + 1 + 2 * rowOf(code) + down, column + 2 + 3 * columnOf(code) + right);
}
bool showsBoard(const Terminal& terminal, const Board& shownBoard = board) {
    for (int entry = 0; entry < shownBoard.count; ++entry) {
        const int code = shownBoard.endpoints[std::size_t(entry)];
        if (shown(terminal, code) != char32_t(digitOf(entry / 2 + 1))) return false;
    }
    return true;
}
// Before its first step, a path's head is its start, in brackets.
bool bracketed(const Terminal& terminal, int code) {
    return shown(terminal, code, -1) == U'[' && shown(terminal, code, 1) == U']';
}

// Every route of the cover drawn, and the frame's far corner: a cell inside a route shows the box
// line that joins its two neighbours; between two cells, the line's own piece runs across, or in
// the row between.
bool routesDrawn(const Terminal& terminal) {
    const auto line = [](int from, int to) {
        const auto toward = [&](int step) { return from == step || to == step; };
        if (toward(-10)) return toward(10) ? U'│' : toward(-1) ? U'┘' : U'└';
        return toward(10) ? (toward(-1) ? U'┐' : U'┌') : U'─';
    };
    const auto joined = [&](int from, int to) {
        if (std::abs(to - from) == 10) return shown(terminal, std::min(from, to), 0, 1) == U'│';
        return shown(terminal, std::min(from, to), 1) == U'─' &&
               shown(terminal, std::min(from, to), 2) == U'─';
    };
    for (const auto& route : cover) {
        for (std::size_t i = 1; i < route.size(); ++i) {
            if (!joined(route[i - 1], route[i]) ||
                (i + 1 < route.size() &&
                 shown(terminal, route[i]) !=
                     line(route[i - 1] - route[i], route[i + 1] - route[i])))
                return false;
        }
    }
    const auto [top, left] = corner(terminal);
    return terminal.at(top + 10, left + 16) == U'╝';
}

// Answers the start questions, a key that answers nothing passed over, up to the board; a pair
// chosen while the puzzle is dealt is dropped.
void reachBoard(Terminal& terminal) {
    terminal.waitForText("Grid side?");
    terminal.type("x5");
    terminal.waitForText("How many pairs?");
    terminal.type("41");
    terminal.waitFor(
        [&] {
            return showsBoard(terminal) &&
                   terminal.text().ends_with(messageText(Message::playKeys, 4) + "\n");
        },
        "the board and the keys at its foot");
}

// Picks pair 1 and takes the first step of its route.
void startPath(Terminal& terminal, const std::vector<int>& route) {
    terminal.type("1");
    terminal.waitFor([&] { return bracketed(terminal, route[0]); }, "the bracketed start");
    const int step = route[1] - route[0];
    terminal.type(step == -10 ? "\033[A" : step == 10 ? "\033[B" : step == 1 ? "\033[C" : "\033[D");
    terminal.waitFor([&] { return shown(terminal, route[1]) == U'●'; }, "the path's head");
    EXPECT_FALSE(bracketed(terminal, route[0]));
}

// The left mouse button pressed ('M', 0), dragged ('M', 32) or let go ('m', 0) over a cell.
std::string mouse(const Terminal& terminal, int code, int button, char action = 'M') {
    const auto [row, column] = corner(terminal);
    return "\033[<" + std::to_string(button) + ';' + std::to_string(column + 3 + 3 * (code % 10)) +
           ';' + std::to_string(row + 2 + 2 * (code / 10)) + action;
}

// Each route dragged with the mouse from its start, which is among its cells, to the win.
void solveByMouse(Terminal& terminal) {
    for (const auto& route : cover) {
        terminal.type(mouse(terminal, route.front(), 0));
        for (std::size_t i = 1; i < route.size(); ++i)
            terminal.type(mouse(terminal, route[i], 32));
        terminal.type(mouse(terminal, route.back(), 0, 'm'));
    }
    ASSERT_NO_FATAL_FAILURE(terminal.waitForText(messageText(Message::win)));
}

TEST(FullScreen, PlaysAndGivesTheTerminalBack) {
    // Each way to end with its keys and its wait status; a terminal that reports no rows, or no
    // columns, is taken to be 80 x 24. With `after`, the puzzle is solved by mouse, `after` typed
    // on the win screen and `shown` waited for.
    struct Case {
        const char* after;
        const char* next;
        const char* keys;
        int ending;
        winsize size;
        const char* term = "xterm-256color";
    };
    const auto cases = std::to_array<Case>({
        {"xn", "Path -  Connected 0/4", "qy", 0, standardSize}, // N: the same choice at once
        {"c", "Grid side?", "q", 0, {30, 70, 0, 0}},            // C: a new choice
        {nullptr, nullptr, "\003", SIGINT, {0, 80, 0, 0}, "xterm"},
        {nullptr, nullptr, "\004\004nqy", 0, {24, 0, 0, 0}}, // Ctrl+D as Q, then N plays on
    });
    for (const auto& [after, next, keys, ending, size, term] : cases) {
        SCOPED_TRACE(keys);
        Terminal terminal({{"--full-screen", "--seed=7"}, term, size});
        ASSERT_NO_FATAL_FAILURE(reachBoard(terminal));
        ASSERT_NO_FATAL_FAILURE(terminal.waitForText("Path -  Connected 0/4")); // no pair chosen
        EXPECT_EQ(corner(terminal), centredCorner(size));
        EXPECT_TRUE(terminal.altScreen && !terminal.cursorShown && !terminal.givenBack());
        EXPECT_EQ(terminal.mouse, VTERM_PROP_MOUSE_DRAG);
        if (after != nullptr) {
            ASSERT_NO_FATAL_FAILURE(solveByMouse(terminal));
            // Keys read after the win draw the screen again: a frame may be half written, so the
            // routes' lines, and the win's counts below its message, are waited for.
            const auto won = [&] {
                const std::string screen = terminal.text();
                return routesDrawn(terminal) &&
                       screen.find("Moves 21, hints 0, time", screen.find("Congrats!")) !=
                           std::string::npos;
            };
            ASSERT_NO_FATAL_FAILURE(terminal.waitFor(won, "the routes and the win's counts"));
            terminal.type(after); // a key other than N, C or Q is passed over
            ASSERT_NO_FATAL_FAILURE(terminal.waitForText(next));
            if (after == std::string_view("xn")) { // the seed's next board, dealt while playing
                ASSERT_NO_FATAL_FAILURE(terminal.waitFor(
                    [&] { return showsBoard(terminal, boards[1]); }, "the second board"));
            }
            std::ifstream file(terminal.stateFolder + "/pairpath/records");
            const std::string records(std::istreambuf_iterator<char>(file), {});
            EXPECT_TRUE(records.starts_with("side=5 pairs=4 answers=any won=1 best=") &&
                        records.ends_with(" moves=21\n"))
                << records;
        } else {
            ASSERT_NO_FATAL_FAILURE(startPath(terminal, cover[0]));
        }
        terminal.type(keys);
        const int status = terminal.end();
        EXPECT_TRUE(ending == SIGINT ? WIFSIGNALED(status) && WTERMSIG(status) == ending
                                     : WIFEXITED(status) && WEXITSTATUS(status) == ending)
            << "wait status " << status;
        EXPECT_TRUE(terminal.givenBack());
    }
}

// Each new window size draws the screen again: the board centred anew, a request for a larger
// window while it is too small, and the board once it fits again. Ctrl+Z stops the game, the
// terminal given back first; continued, the game takes the terminal again and draws the game
// as it was; Ctrl+C then ends it.
TEST(FullScreen, DrawsAgainForEachWindowSizeAndStopsAtCtrlZ) {
    Terminal terminal;
    // The first question, which has no clock to draw it again, moves to the new middle row.
    const auto questionRow = [&] {
        const std::string text = terminal.text();
        return std::count(text.begin(), text.begin() + long(text.find("Grid side?")), '\n');
    };
    ASSERT_NO_FATAL_FAILURE(terminal.waitForText("Grid side?"));
    EXPECT_EQ(questionRow(), 12);
    terminal.resize({30, 80, 0, 0});
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return questionRow() == 15; }, "row 15"));
    ASSERT_NO_FATAL_FAILURE(reachBoard(terminal));
    const auto centredFor = [&](winsize size) {
        return [&terminal, size] {
            return corner(terminal) == centredCorner(size) && showsBoard(terminal);
        };
    };
    constexpr winsize larger{30, 100, 0, 0};
    terminal.resize(larger);
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor(centredFor(larger), "the board centred on 100 x 30"));
    terminal.resize({24, 50, 0, 0});
    ASSERT_NO_FATAL_FAILURE(terminal.waitForText("Please make the window at least 60 x 16."));
    EXPECT_EQ(corner(terminal), std::make_pair(-1, -1)) << "no board in too small a window";
    terminal.type("1\033[C\033[<0;1;1M"); // keys and clicks that a hidden board ignores
    ASSERT_NO_FATAL_FAILURE(
        terminal.waitFor([&] { return terminal.typedRead(); }, "the keys read"));
    constexpr winsize smallest{16, 60, 0, 0};
    terminal.resize(smallest);
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor(centredFor(smallest), "the board on 60 x 16"));
    // Nothing was drawn or counted: the status line, below the board, says so once it is drawn.
    // A continue that ends no stop, as from a shell's `fg` on a running job, takes no time off the
    // clock, which shows the few seconds played when the next key draws the screen.
    terminal.signal(SIGCONT);
    ASSERT_NO_FATAL_FAILURE(startPath(terminal, cover[0]));
    ASSERT_NO_FATAL_FAILURE(terminal.waitForText("Path 1  Connected 0/4  Cells 9/25  Moves 1"));
    EXPECT_NE(terminal.text().find("Hints 0  0:"), std::string::npos) << terminal.text();
    terminal.type("\032");
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return terminal.stopped(); }, "a stop"));
    EXPECT_EQ(WSTOPSIG(terminal.reported.back()), SIGTSTP);
    // The terminal is given back before the stop; the screen's sequences are on their way.
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return terminal.givenBack(); }, "the terminal"));
    terminal.signal(SIGCONT);
    const auto playing = [&] {
        return terminal.altScreen && showsBoard(terminal) && shown(terminal, cover[0][1]) == U'●';
    };
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor(playing, "the game drawn again"));
    EXPECT_FALSE(terminal.givenBack()) << "not in raw mode again";
    terminal.type("\003");
    const int status = terminal.end();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "wait status " << status;
    EXPECT_TRUE(terminal.givenBack());
    ASSERT_EQ(terminal.reported.size(), 3U) << "a stop, a continue and the end";
    EXPECT_TRUE(WIFCONTINUED(terminal.reported[1]));
}

// Where TERM names no terminal that can move the cursor, the game refuses before it writes a
// single escape sequence: one line that names TERM, and status 2.
TEST(FullScreen, RefusesATerminalThatCannotMoveTheCursor) {
    const auto cases = std::to_array<std::pair<const char*, std::string>>(
        {{"dumb", "\"dumb\""}, {"", "\"\""}, {nullptr, messageText(Message::notSet)}});
    for (const auto& [term, named] : cases) {
        Terminal terminal({{"-f"}, term});
        const int status = terminal.end();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "wait status " << status;
        EXPECT_EQ(terminal.output, messageText(Message::unfitTerminal, named) + "\r\n");
    }
}

// A game ended by closing its window is saved as it was: the next full screen with no choice on
// its command line offers to take it up, and shows the same board and path. There U and R take
// back a step back, an abandon and an erase, and make them again. Once won, nothing is left to
// take up.
TEST(FullScreen, TakesUpAGameAfterAnyWayOut) {
    const testing::TempFolder state;
    {
        Terminal first({}, state.path);
        ASSERT_NO_FATAL_FAILURE(reachBoard(first));
        ASSERT_NO_FATAL_FAILURE(startPath(first, cover[0]));
        first.signal(SIGHUP);
        const int status = first.end();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << "wait status " << status;
    }
    Terminal second({{"-f"}}, state.path);
    ASSERT_NO_FATAL_FAILURE(second.waitForText(messageText(Message::resumeQuestion, 5, 5, 4)));
    second.type("y");
    // The path's first step shown, or none, with the start bracketed while it is being drawn.
    const auto showing = [&](bool stepped, bool drawing) {
        return [&second, stepped, drawing] {
            return showsBoard(second) && (shown(second, cover[0][1]) == U'●') == stepped &&
                   bracketed(second, cover[0][0]) == (drawing && !stepped);
        };
    };
    ASSERT_NO_FATAL_FAILURE(second.waitFor(showing(true, true), "the path taken up"));
    const auto steps = std::to_array<std::tuple<const char*, bool, bool>>({{"b", false, true},
                                                                           {"u", true, true},
                                                                           {"q", false, false},
                                                                           {"u", true, true},
                                                                           {"r", false, false},
                                                                           {"u", true, true}});
    for (const auto& [key, stepped, drawing] : steps) {
        second.type(key);
        ASSERT_NO_FATAL_FAILURE(second.waitFor(showing(stepped, drawing), key));
    }
    // Pair 1 down its column to its target, then pair 3 up and left onto it, erasing it: U puts
    // pair 1's path back, and R erases it again.
    second.type("\033[B\033[B\033[B3\033[A\033[D\033[Dy");
    const auto erased = [&](bool yes) {
        return [&second, yes] { return (shown(second, 20) == U'·') == yes && showsBoard(second); };
    };
    for (const auto& [key, yes] :
         std::to_array<std::pair<const char*, bool>>({{"", true}, {"u", false}, {"r", true}})) {
        second.type(key);
        ASSERT_NO_FATAL_FAILURE(second.waitFor(erased(yes), std::string("erased ") + key));
    }
    second.type("q"); // pair 3's path abandoned, for the mouse to solve the board from here
    ASSERT_NO_FATAL_FAILURE(solveByMouse(second));
    second.type("q");
    EXPECT_EQ(second.end(), 0);
    Terminal third({{"--resume"}}, state.path);
    ASSERT_NO_FATAL_FAILURE(third.waitForText(messageText(Message::noSavedGame)));
    ASSERT_NO_FATAL_FAILURE(third.waitForText("Grid side?"));
}

// The line dialogue, stopped at a question and continued, as a shell's fg does, asks it again.
TEST(LineDialogue, AsksAgainAfterAStop) {
    Terminal terminal({{"--seed=7"}});
    const std::string question = messageText(Message::sideQuestion);
    const auto asked = [&] {
        int times = 0;
        for (auto at = terminal.output.find(question); at != std::string::npos;
             at = terminal.output.find(question, at + 1))
            ++times;
        return times;
    };
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return asked() == 1; }, "the question"));
    terminal.type("\032");
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return terminal.stopped(); }, "a stop"));
    terminal.signal(SIGCONT);
    ASSERT_NO_FATAL_FAILURE(terminal.waitFor([&] { return asked() == 2; }, "the question again"));
    terminal.type("5\n");
    ASSERT_NO_FATAL_FAILURE(terminal.waitForText(messageText(Message::pairQuestion)));
    terminal.type("\003");
    const int status = terminal.end();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "wait status " << status;
}

} // namespace
} // namespace pairpath
