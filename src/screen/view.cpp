// What the full screen shows, built as one frame of bytes: the framed board, in which a path is
// a line in its pair's colour from its start endpoint, the status lines below it, and the plain
// screens that ask a question. The frame clears every row and places each text, so it can be
// written at once, without flicker.

#include "pairpath/screen/view.hpp"

#include <algorithm>
#include <bit>

namespace pairpath {

namespace {

// --- Looks ---

// The links of a cell to its neighbours along a drawn line, as bits.
enum Link : std::uint8_t { up = 1, down = 2, left = 4, right = 8 };
using Links = std::array<std::uint8_t, gridCells>;

// The board's frame.
struct Frame {
    std::string_view topLeft, top, topRight, side, bottomLeft, bottomRight;
};

struct Glyphs {
    std::array<std::string_view, 16> pathCells; // by links; under two links: the path's head
    std::string_view horizontal;                // links a cell to its left or right neighbour
    std::string_view vertical;                  // links a cell to the one below
    std::string_view empty;
    Frame frame;
};

constexpr Glyphs boxGlyphs{
    {"●", "●", "●", "│", "●", "┘", "┐", "┤", "●", "└", "┌", "├", "─", "┴", "┬", "┼"},
    "─",
    "│",
    "·",
    {"╔", "═", "╗", "║", "╚", "╝"}};
constexpr Glyphs asciiGlyphs{
    {"@", "@", "@", "|", "@", "+", "+", "+", "@", "+", "+", "+", "-", "+", "+", "+"},
    "-",
    "|",
    ".",
    {"+", "-", "+", "|", "+", "+"}};

const Glyphs& glyphsOf(const Look& look) { return look.boxLines ? boxGlyphs : asciiGlyphs; }

// Each pair's colour on the full screen, told apart by hue and lightness. With 256 colours,
// from the 6 x 6 x 6 cube: red 160, green 28, gold 178, blue 27, magenta 164, cyan 37, orange
// 208, violet 97 and pink 211. Measured in CIELAB (sRGB, D65), every two are at least 38 apart
// (dE*76; closest: gold and orange), and lightness L* runs from 45 (red) to 73 (gold), so each
// shows on a dark and on a light background.
constexpr std::array<std::string_view, maxPairs> manyColours{"38;5;160", "38;5;28",  "38;5;178",
                                                             "38;5;27",  "38;5;164", "38;5;37",
                                                             "38;5;208", "38;5;97",  "38;5;211"};
// With the basic 16, never the default foreground, white, grey or black: the six hues, three of
// them twice, normal and bright, placed far apart in pair order. In xterm's palette every two
// are at least 22.6 apart (yellow and bright yellow; green and bright green 24.0, the others
// over 39), L* from 30 (blue) to 97 (bright yellow). None is bold: many terminals show bold as
// the bright colour, which would merge pairs.
constexpr std::array<std::string_view, maxPairs> basicColours{"31", "32", "93", "34", "95",
                                                              "96", "33", "92", "94"};

// Attributes of a Select Graphic Rendition sequence.
constexpr std::string_view bold = ";1";
constexpr std::string_view boldReversed = ";1;7";

// A Select Graphic Rendition sequence: the default, then `attributes`, then the pair's colour.
std::string style(const Look& look, int pair, std::string_view attributes = "") {
    std::string text = "\033[0";
    text += attributes;
    if (look.colours && pair > 0) {
        text += ';';
        text += screenColours(look.manyColours)[std::size_t(pair - 1)];
    }
    return text + 'm';
}

// --- The board ---

// The links a step by each code difference makes, on the cell left and on the cell entered.
struct StepLinks {
    int codeStep;
    Link fromSide;
    Link toSide;
};
constexpr auto stepLinks = std::to_array<StepLinks>(
    {{codeRight, right, left}, {codeLeft, left, right}, {codeDown, down, up}, {codeUp, up, down}});

void link(Links& links, int from, int to) {
    for (const StepLinks& step : stepLinks) {
        if (to - from != step.codeStep) continue;
        links[std::size_t(gridIndex(from))] |= step.fromSide;
        links[std::size_t(gridIndex(to))] |= step.toSide;
    }
}

// Every line drawn: from each pair's start endpoint along its path cells, on to the target
// endpoint once the pair is connected.
Links linksOf(const FullScreenGame& game) {
    Links links{};
    for (int pair = 1; pair <= pairsOf(game); ++pair) {
        int from = startOf(game.live.endpoints, pair);
        for (const int code : pathCells(game, pair)) {
            link(links, from, code);
            from = code;
        }
        if (isConnected(game.paths, pair)) link(links, from, targetOf(game.live.endpoints, pair));
    }
    return links;
}

// One cell, three columns wide: the middle shows the cell, the sides its links to the left and
// right. The start endpoint of a path with no cell yet is bracketed: it is the path's head.
std::string cellText(const FullScreenGame& game, const Links& links, const Look& look, int code) {
    const char cell = cellAt(game.live.grid, code);
    const Glyphs& glyphs = glyphsOf(look);
    if (cell == emptyCell) return style(look, 0) + ' ' + std::string(glyphs.empty) + ' ';
    const int pair = cell - emptyCell;
    const std::uint8_t linked = links[std::size_t(gridIndex(code))];
    const bool atStart = game.drawing.pair == pair && game.drawing.tail->prev == nullptr &&
                         code == startOf(game.live.endpoints, pair);
    const std::string line = style(look, pair) + std::string(glyphs.horizontal);
    const std::string bracket = style(look, pair, bold);
    std::string text = atStart ? bracket + '[' : (linked & left) != 0 ? line : style(look, 0) + ' ';
    if (code == startOf(game.live.endpoints, pair) || code == targetOf(game.live.endpoints, pair)) {
        text += style(look, pair, boldReversed) + cell;
    } else {
        const bool isHead = std::popcount(linked) < 2;
        text += style(look, pair, isHead ? bold : "") + std::string(glyphs.pathCells[linked]);
    }
    return text + (atStart ? bracket + ']' : (linked & right) != 0 ? line : style(look, 0) + ' ');
}

// The line between board rows `row` and `row + 1`: the vertical links.
std::string spacerText(const FullScreenGame& game, const Links& links, const Look& look, int row) {
    std::string text;
    for (int column = 0; column < game.live.size; ++column) {
        const int code = cellCode(row, column);
        const bool linked = (links[std::size_t(gridIndex(code))] & down) != 0;
        const int pair = cellAt(game.live.grid, code) - emptyCell;
        text += style(look, 0) + ' ';
        text += linked ? style(look, pair) + std::string(glyphsOf(look).vertical) : " ";
        text += ' ';
    }
    return text;
}

// The board's size on screen: each cell three columns wide, a line between two rows, a frame.
constexpr int cellWidth = 3;
constexpr int boardWidth(int side) { return cellWidth * side + 2; }
constexpr int boardHeight(int side) { return 2 * side + 1; }

// The framed board, one string per screen line.
std::vector<std::string> boardLines(const FullScreenGame& game, const Look& look) {
    const Links links = linksOf(game);
    const Frame& frame = glyphsOf(look).frame;
    std::string across;
    for (int column = 0; column < boardWidth(game.live.size) - 2; ++column)
        across += frame.top;
    const std::string side = style(look, 0) + std::string(frame.side);
    std::vector<std::string> lines{std::string(frame.topLeft) + across +
                                   std::string(frame.topRight)};
    for (int row = 0; row < game.live.size; ++row) {
        if (row > 0) {
            std::string spacer = side;
            spacer += spacerText(game, links, look, row - 1);
            lines.push_back(spacer + side);
        }
        std::string text = side;
        for (int column = 0; column < game.live.size; ++column)
            text += cellText(game, links, look, cellCode(row, column));
        lines.push_back(text + side);
    }
    lines.push_back(std::string(frame.bottomLeft) + across + std::string(frame.bottomRight));
    return lines;
}

// --- Screens ---

constexpr int titleRows = 1;
constexpr int statusRows = 4; // two for the message, one for the counts, one for the keys
constexpr int narrowest = 60; // the widest status line, the keys

// Where the game screen puts the board, and the least window that holds the screen.
struct Layout {
    int top = 0; // the frame's top row and left column, from 0
    int left = 0;
    int rows = 0;
    int columns = 0;
};

Layout layoutOf(int side, WindowSize window) {
    const int rows = titleRows + boardHeight(side) + statusRows;
    return {titleRows + (window.rows - rows) / 2, (window.columns - boardWidth(side)) / 2, rows,
            std::max(boardWidth(side), narrowest)};
}

struct Placed {
    int row = 0; // from 0
    int column = 0;
    std::string text;
};

// A text line centred on `row`, cut to the window's width.
Placed centred(WindowSize window, int row, std::string_view text) {
    text = text.substr(0, std::size_t(window.columns));
    return {row, (window.columns - int(text.size())) / 2, std::string(text)};
}

// Row by row from the top, clears the row and writes the texts placed on it; the cursor stays
// hidden. A frame seen half written shows whole rows of the new frame above those of the old.
std::string compose(WindowSize window, const std::vector<Placed>& placed) {
    std::string frame = "\033[?25l";
    for (int row = 0; row < window.rows; ++row) {
        frame += "\033[" + std::to_string(row + 1) + ";1H\033[0m\033[2K";
        for (const Placed& text : placed) {
            if (text.row != row) continue;
            frame += "\033[" + std::to_string(row + 1) + ';' + std::to_string(text.column + 1) +
                     'H' + text.text + "\033[0m";
        }
    }
    return frame;
}

// `text` in at most two lines of at most `width` characters, broken at blanks.
std::vector<std::string> wrapped(std::string_view text, int width) {
    std::vector<std::string> lines;
    while (!text.empty() && lines.size() < 2) {
        std::size_t cut = text.size();
        if (cut > std::size_t(width)) {
            const auto blank = text.rfind(' ', std::size_t(width));
            cut = blank == std::string_view::npos || blank == 0 ? std::size_t(width) : blank;
        }
        lines.emplace_back(text.substr(0, cut));
        text.remove_prefix(cut);
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
    return lines;
}

// The bottom rows: the message in two (or the win), then the counts, then the keys.
void placeStatus(std::vector<Placed>& placed, const FullScreenGame& game, WindowSize window) {
    std::vector<std::string> message = wrapped(game.message, window.columns);
    if (game.won) {
        message = {messageText(Message::win),
                   messageText(
                       Message::winCounts, game.moves, game.hints,
                       clockText(std::chrono::duration_cast<std::chrono::seconds>(game.playTime)))};
    }
    int row = window.rows - statusRows;
    for (const std::string& line : message)
        placed.push_back(centred(window, row++, line));
    const std::string counts =
        game.note.empty() ? countsText(game, std::chrono::steady_clock::now()) : game.note;
    placed.push_back(centred(window, window.rows - 2, counts));
    const std::string keys =
        game.won ? messageText(Message::winKeys) : messageText(Message::playKeys, pairsOf(game));
    placed.push_back(centred(window, window.rows - 1, keys));
}

} // namespace

const std::array<std::string_view, maxPairs>& screenColours(bool many) {
    return many ? manyColours : basicColours;
}

bool boardFits(int side, WindowSize window) {
    const Layout layout = layoutOf(side, window);
    return window.columns >= layout.columns && window.rows >= layout.rows;
}

int cellOnScreen(int side, WindowSize window, int row, int column) {
    const Layout layout = layoutOf(side, window);
    const int down = row - layout.top - 1; // within the frame
    const int across = column - layout.left - 1;
    if (!boardFits(side, window) || down < 0 || across < 0 || down % 2 != 0) return -1;
    const int cellRow = down / 2;
    const int cellColumn = across / cellWidth;
    return cellRow < side && cellColumn < side ? cellCode(cellRow, cellColumn) : -1;
}

std::string gameScreen(const FullScreenGame& game, WindowSize window, const Look& look) {
    const int size = game.live.size;
    const Layout layout = layoutOf(size, window);
    if (!boardFits(size, window)) {
        const std::string text = messageText(Message::windowTooSmall, layout.columns, layout.rows);
        return compose(window, {{0, 0, text.substr(0, std::size_t(window.columns))}});
    }
    std::string solutions = game.solutions == 1
                                ? messageText(Message::oneSolution)
                                : messageText(Message::solutions, countText(game.solutions, true));
    if (game.grade) solutions = messageText(Message::withGrade, solutions, gradeName(*game.grade));
    const std::string title =
        game.daily ? messageText(Message::dailyTitle, dateText(*game.daily), size, size,
                                 pairsOf(game), solutions)
                   : messageText(Message::title, size, size, pairsOf(game), solutions);
    std::vector<Placed> placed{centred(window, 0, title)};
    int row = layout.top;
    for (std::string& line : boardLines(game, look))
        placed.push_back({row++, layout.left, std::move(line)});
    placeStatus(placed, game, window);
    return compose(window, placed);
}

std::string textScreen(WindowSize window, const std::vector<std::string>& lines,
                       std::string_view keys) {
    std::vector<Placed> placed{centred(window, 0, "pairpath"),
                               centred(window, window.rows - 1, keys)};
    int row = (window.rows - int(lines.size())) / 2;
    for (const std::string& line : lines)
        placed.push_back(centred(window, row++, line));
    return compose(window, placed);
}

} // namespace pairpath
