// What the full screen shows: the framed board with its lines and the status below it, and the
// plain screens that ask a question, each built as one frame of bytes.
#pragma once

#include "pairpath/screen/state.hpp"
#include "pairpath/terminal/terminal.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pairpath {

// How the board is drawn: in colour or not, from 256 colours or the basic 16, with
// box-drawing characters or plain ASCII.
struct Look {
    bool colours = true;
    bool manyColours = false;
    bool boxLines = false;
};

// The title, the board in the middle and the status line; or, in a window too small for them,
// a line that asks for a larger one.
std::string gameScreen(const FullScreenGame& game, WindowSize window, const Look& look);

// Each pair's colour on the full screen, as Select Graphic Rendition parameters: from the
// 256-colour palette, or from the basic 16.
const std::array<std::string_view, maxPairs>& screenColours(bool manyColours);

// False when the window is too small for the game screen: keys then do nothing.
bool boardFits(int side, WindowSize window);

// The board cell shown at screen row `row` and column `column` (from 0), or -1.
int cellOnScreen(int side, WindowSize window, int row, int column);

// A title on the top row, `lines` centred in the middle, `keys` on the bottom row.
std::string textScreen(WindowSize window, const std::vector<std::string>& lines,
                       std::string_view keys);

} // namespace pairpath
