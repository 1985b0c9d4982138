// Terminal care for the full-screen game: puts the terminal in raw mode on the alternate screen
// and gives it back, as it was, on every way out (a normal return, exit, the ending signals, a
// suspend); waits for keys, or for a resize; counts the time the program spends stopped; writes
// whole frames.
//
// The signal handlers only do what is async-signal-safe: write the reset sequences, call
// tcsetattr and sigaction, re-raise, and write one byte into a pipe that wakes the key reader,
// which then reports a redraw. Nothing here knows the game.
//
// The key reader waits with select, not poll: macOS's poll does not serve terminal devices.

#include "pairpath/terminal/terminal.hpp"

#include <ctime>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace pairpath {

namespace {

// Alternate screen on, cursor hidden, the mouse reported while its button is held (1002) in SGR
// form (1006); and back: mouse reports off, default rendition, cursor shown, main screen.
constexpr std::string_view enterSequences = "\033[?1049h\033[?25l\033[?1002h\033[?1006h";
constexpr std::string_view leaveSequences = "\033[?1006l\033[?1002l\033[0m\033[?25h\033[?1049l";

// The state the handlers share with the rest: written before they are installed, or atomic.
termios found{};                          // the settings found, given back on every way out
volatile std::sig_atomic_t taken = 0;     // raw mode and the alternate screen are ours
volatile std::sig_atomic_t suspended = 0; // given back for a suspend, to be taken on resume
std::array wakePipe{-1, -1};              // read end watched by readKey, written by handlers
// The monotonic clock's nanoseconds when the program was last stopped, and the total time it has
// spent stopped. Lock-free atomics, so that the handlers may use them.
std::atomic<std::int64_t> stoppedAt{0};
std::atomic<std::int64_t> stoppedTotal{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

// The monotonic clock, which steady_clock reads too; clock_gettime is async-signal-safe.
std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    constexpr std::int64_t perSecond = 1'000'000'000;
    return std::int64_t(now.tv_sec) * perSecond + now.tv_nsec;
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes.remove_prefix(std::size_t(written));
    }
}

void takeTerminal() {
    termios raw = found;
    raw.c_iflag &= ~tcflag_t(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_oflag &= ~tcflag_t(OPOST);
    raw.c_cflag |= tcflag_t(CS8);
    raw.c_lflag &= ~tcflag_t(ECHO | ICANON | IEXTEN); // ISIG stays: Ctrl+C, Ctrl+Z signal
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    taken = 1; // first: a signal from here on gives back what is already changed
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    writeAll(STDOUT_FILENO, enterSequences);
}

void wake() {
    const int savedErrno = errno;
    const char byte = 'w';
    [[maybe_unused]] const ssize_t ignored = write(wakePipe[1], &byte, 1); // full: already awake
    errno = savedErrno;
}

void handle(int signal, void (*handler)(int), unsigned flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);
    action.sa_flags = static_cast<int>(flags);
    sigaction(signal, &action, nullptr);
}

// SIGINT, SIGTERM, SIGHUP, SIGQUIT, and SIGABRT for a fatal error. SA_RESETHAND has put the
// default action back; the signal raised again stays blocked until the handler returns, then
// ends the program as it would have.
void onEnding(int signal) {
    restoreTerminal();
    raise(signal);
}

void onSuspend(int signal) {
    const int savedErrno = errno;
    if (taken != 0) {
        restoreTerminal();
        suspended = 1;
    }
    stoppedAt = monotonicNanoseconds();
    raise(signal); // the default action, stopping, once the handler returns
    errno = savedErrno;
}

// Takes the terminal again only in the foreground: resumed in the background (bg), the program
// stops again at its first read, and is resumed once more by fg.
void onResume(int /*signal*/) {
    const int savedErrno = errno;
    if (const std::int64_t at = stoppedAt.exchange(0); at != 0)
        stoppedTotal += monotonicNanoseconds() - at;
    if (suspended != 0 && tcgetpgrp(STDIN_FILENO) == getpgrp()) {
        suspended = 0;
        takeTerminal();
    }
    handle(SIGTSTP, onSuspend, SA_RESTART | SA_RESETHAND);
    wake();
    errno = savedErrno;
}

void onResize(int /*signal*/) { wake(); }

// The line dialogue's prompt, kept where the handlers can write it.
std::array<char, 256> lastPrompt{};
std::atomic<std::size_t> lastPromptLength{0};
volatile std::sig_atomic_t lineStopped = 0;

void onLineSuspend(int signal) {
    lineStopped = 1;
    raise(signal); // the default action, stopping, once the handler returns
}

void onLineResume(int /*signal*/) {
    const int savedErrno = errno;
    if (lineStopped != 0) {
        lineStopped = 0;
        writeAll(STDOUT_FILENO, {lastPrompt.data(), lastPromptLength.load()});
    }
    handle(SIGTSTP, onLineSuspend, SA_RESTART | SA_RESETHAND);
    errno = savedErrno;
}

bool prepareOnce() {
    static const bool prepared = [] {
        if (pipe(wakePipe.data()) != 0) return false;
        for (const int fd : wakePipe) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT})
            handle(signal, onEnding, SA_RESETHAND);
        handle(SIGTSTP, onSuspend, SA_RESTART | SA_RESETHAND);
        handle(SIGCONT, onResume, SA_RESTART);
        handle(SIGWINCH, onResize, SA_RESTART);
        return std::atexit(restoreTerminal) == 0;
    }();
    return prepared;
}

} // namespace

bool enterFullScreen() {
    if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) return false;
    if (tcgetattr(STDIN_FILENO, &found) != 0 || !prepareOnce()) return false;
    takeTerminal();
    return true;
}

void restoreTerminal() {
    if (taken == 0) return;
    writeAll(STDOUT_FILENO, leaveSequences);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &found);
    taken = 0; // last: a signal until here gives the terminal back once more, harmlessly
}

WindowSize windowSize() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
        return {};
    return {size.ws_row, size.ws_col};
}

std::chrono::nanoseconds timeStopped() { return std::chrono::nanoseconds(stoppedTotal.load()); }

KeyPress readKey(std::chrono::milliseconds timeout) {
    for (;;) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(STDIN_FILENO, &ready);
        FD_SET(wakePipe[0], &ready);
        timeval limit{};
        limit.tv_sec = decltype(limit.tv_sec)(timeout.count() / 1000);
        limit.tv_usec = decltype(limit.tv_usec)(timeout.count() % 1000 * 1000);
        const int count = select(std::max(STDIN_FILENO, wakePipe[0]) + 1, &ready, nullptr, nullptr,
                                 timeout.count() < 0 ? nullptr : &limit);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {Key::ended};
        if (count == 0) return {Key::redraw};
        if (FD_ISSET(wakePipe[0], &ready) != 0) {
            std::array<char, 64> drained{};
            while (read(wakePipe[0], drained.data(), drained.size()) > 0) {
            }
            return {Key::redraw};
        }
        if (FD_ISSET(STDIN_FILENO, &ready) != 0) return readKeyFrom(STDIN_FILENO);
    }
}

void writeScreen(std::string_view frame) { writeAll(STDOUT_FILENO, frame); }

void dropTypedKeys() { tcflush(STDIN_FILENO, TCIFLUSH); }

bool termCanShow(const char* term) {
    return term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
}

bool hasManyColours(const char* term, const char* colorterm) {
    const std::string_view direct = colorterm == nullptr ? "" : colorterm;
    return (term != nullptr && std::string_view(term).find("256color") != std::string_view::npos) ||
           direct == "truecolor" || direct == "24bit";
}

void promptAgainOnResume(std::string_view prompt) {
    static const bool installed = [] {
        handle(SIGTSTP, onLineSuspend, SA_RESTART | SA_RESETHAND);
        handle(SIGCONT, onLineResume, SA_RESTART);
        return true;
    }();
    static_cast<void>(installed);
    const std::size_t length = std::min(prompt.size(), lastPrompt.size() - 1);
    lastPromptLength = 0; // a continue until the copy is made writes nothing
    std::copy_n(prompt.begin(), length, lastPrompt.begin());
    lastPrompt[length] = '\n';
    lastPromptLength = length + 1;
}

bool localeIsUtf8() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        std::string letters;
        for (const char c : std::string_view(value)) {
            if (c != '-') letters += char(std::tolower(static_cast<unsigned char>(c)));
        }
        return letters.find("utf8") != std::string::npos;
    }
    return false;
}

} // namespace pairpath
