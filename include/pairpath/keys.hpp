// The key decoder of the full screen: turns the bytes a terminal sends for one key, escape
// sequences included, into a named key.
#pragma once

#include <chrono>

namespace pairpath {

// A key as the game sees it: a plain byte, or a named key decoded from an escape sequence.
// `redraw` means the screen must be drawn again (the window was resized, or the program was
// resumed after a suspend); `ended` means standard input ended (or Ctrl+D was pressed).
enum class Key { character, up, down, left, right, backspace, escape, redraw, ended, other };

struct KeyPress {
    Key key = Key::other;
    char character = 0; // the byte, for Key::character
};

// How long the rest of an escape sequence may take to arrive after its Esc.
inline constexpr std::chrono::milliseconds escapeWait{30};

// Reads one key from `fd`, waiting as long as it takes for its first byte and at most `wait`
// for each further byte of an escape sequence: Esc alone, with nothing after it in time, is
// the Esc key.
KeyPress readKeyFrom(int fd, std::chrono::milliseconds wait = escapeWait);

} // namespace pairpath
