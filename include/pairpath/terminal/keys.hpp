// The key decoder of the full screen: turns the bytes a terminal sends for one key, escape
// sequences and mouse reports included, into a named key.
#pragma once

#include <chrono>

namespace pairpath {

// A key as the game sees it: a plain byte, a named key decoded from an escape sequence, or a
// report of the left mouse button. `redraw` means the screen must be drawn again (the window
// was resized, the program was resumed after a suspend, or the clock moved on); `ended` means
// standard input ended.
enum class Key { character, up, down, left, right, backspace, escape, mouse, redraw, ended, other };

// What the left mouse button did: pressed, moved while held, or let go.
enum class MouseAction { press, drag, release };

inline constexpr char controlD = 4;

struct KeyPress {
    Key key = Key::other;
    char character = 0;                      // the byte, for Key::character
    MouseAction action = MouseAction::press; // for Key::mouse
    int row = 0;                             // for Key::mouse: the screen cell, from 0
    int column = 0;
};

// How long the rest of an escape sequence may take to arrive after its Esc.
inline constexpr std::chrono::milliseconds escapeWait{30};

// Reads one key from `fd`, waiting as long as it takes for its first byte and at most `wait`
// for each further byte of an escape sequence: Esc alone, with nothing after it in time, is
// the Esc key.
KeyPress readKeyFrom(int fd, std::chrono::milliseconds wait = escapeWait);

} // namespace pairpath
