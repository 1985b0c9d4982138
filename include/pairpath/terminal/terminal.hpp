// Terminal care for the full-screen game: raw mode on the alternate screen, given back on every
// way out; the window size; the one key reader; the writing of whole frames. Nothing here knows
// the game. While the terminal is taken, nothing else may read standard input.
#pragma once

#include "pairpath/terminal/keys.hpp"

#include <chrono>
#include <string_view>

namespace pairpath {

struct WindowSize {
    int rows = 24;
    int columns = 80;
};

// Saves the terminal's settings, then switches to raw mode (keys arrive at once and unechoed;
// Ctrl+C, Ctrl+Z and Ctrl+\ still send their signals), the alternate screen and a hidden
// cursor. Installs the handlers that give the terminal back on SIGINT, SIGTERM, SIGHUP, SIGQUIT
// and SIGABRT, suspend and resume it on Ctrl+Z, and note a resize; registers restoreTerminal with
// atexit. Mouse reports are on while the terminal is taken. Returns false, changing nothing, when
// standard input or output is not a terminal.
bool enterFullScreen();

// Gives the terminal back as it was found: default rendition, cursor shown, main screen,
// saved settings. Does nothing when it is not taken. Async-signal-safe.
void restoreTerminal();

// The window's size; 24 x 80 when the terminal cannot tell.
WindowSize windowSize();

// Waits for the next key on standard input; a resize, a resume after a suspend, or `timeout`
// passing without a key (negative: it never does) comes as Key::redraw.
KeyPress readKey(std::chrono::milliseconds timeout);

// The time the program has spent stopped (Ctrl+Z until it was continued) since it began.
std::chrono::nanoseconds timeStopped();

// False when the terminal named by TERM cannot show the full screen: TERM unset, empty or
// "dumb".
bool termCanShow(const char* term);

// The colours the terminal shows: 256 or more when TERM names 256 colours or COLORTERM names
// direct colour, else the 16 of the basic palette.
bool hasManyColours(const char* term, const char* colorterm);

// Drops the keys typed and not read yet.
void dropTypedKeys();

// Writes a whole frame to standard output.
void writeScreen(std::string_view frame);

// True when the locale environment names UTF-8: the first one set of LC_ALL, LC_CTYPE, LANG.
bool localeIsUtf8();

// For the line dialogue, which keeps the terminal as it is: `prompt` is written again, with a
// newline, when the program is continued after a stop (Ctrl+Z, then fg), since the shell's own
// lines have covered it. The first call installs the handlers; each call changes the prompt.
void promptAgainOnResume(std::string_view prompt);

} // namespace pairpath
