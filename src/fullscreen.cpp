// The full-screen game: asks the grid side and the number of pairs with single keys, looks for
// a puzzle, and lets the player draw the paths with keys that act at once, on a board drawn in
// place with a status line below it.
//
// Every rule comes from play.cpp, the same functions the line dialogue calls: the move verdict
// `judgeStep`, the drawing operations, the redraw and erase questions' conditions, the win test
// and the messages. This module only keeps the state between keys (which path is being drawn,
// which question waits) and draws it. Each screen is built in one string and written at once.

#include "fullscreen.hpp"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <utility>
#include <vector>

namespace pairpath {

namespace {

// --- Texts ---

constexpr std::string_view notATerminal =
    "pairpath: the full-screen game needs a terminal for standard input and output";
constexpr std::string_view quitQuestion = "Quit? (Y/N)";
constexpr std::string_view playKeys = "arrows/WASD move  B back  H hint  Q abandon/quit";
constexpr std::string_view noHint = "No solution goes on from this path: step back with B.";
constexpr std::string_view winKeys = "N: new puzzle, Q: quit";

std::string range(int low, int high) { return std::to_string(low) + " to " + std::to_string(high); }

std::string choosePrompt(int pairs) {
    return "Press a digit from " + range(1, pairs) + " to choose a pair.";
}

// --- Keys ---

// The letter of a plain key, upper case; 0 for a named key.
char letterOf(KeyPress press) {
    return press.key == Key::character ? upper(press.character) : '\0';
}

// The movement key, W, A, S or D, that `press` stands for, or 0.
char movementOf(KeyPress press) {
    constexpr std::array<std::pair<Key, char>, 4> arrows{
        {{Key::up, 'W'}, {Key::left, 'A'}, {Key::down, 'S'}, {Key::right, 'D'}}};
    for (const auto& [key, movement] : arrows) {
        if (press.key == key) return movement;
    }
    const char letter = letterOf(press);
    const bool moves =
        letter != '\0' && std::string_view("WASD").find(letter) != std::string_view::npos;
    return moves ? letter : '\0';
}

// The next key; standard input's end ends the game as in the line dialogue.
KeyPress nextKey() {
    const KeyPress press = readKey();
    if (press.key == Key::ended) throw InputEnded{};
    return press;
}

// --- Playing: the state between keys ---

int pairsOf(const FullScreenGame& game) { return game.live.count / 2; }

void ask(FullScreenGame& game, Asking asking, int pair, std::string text) {
    game.asking = asking;
    game.asked = pair;
    game.message = std::move(text);
}

// Enters `code` by an allowed step; `erased` is the pair whose path the player agreed to lose.
void step(FullScreenGame& game, int code, int erased) {
    ++game.moves;
    if (!takeStep(game.live.grid, game.paths, game.drawing, code, erased, game.live.endpoints))
        return;
    const int pair = game.drawing.pair;
    game.paths[std::size_t(pair - 1)] = game.drawing.tail;
    game.drawing = {};
    game.message = messageText(Message::connected, pair);
    if (isWin(game.live, game.paths) == 1) {
        game.won = true;
        game.playTime = std::chrono::steady_clock::now() - game.started;
    }
}

void move(FullScreenGame& game, char movement) {
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(pairsOf(game));
        return;
    }
    const Board& live = game.live;
    const int reached = reachedCell(game.drawing, live.endpoints);
    const StepVerdict verdict = judgeStep(live.grid, movement, rowOf(reached), columnOf(reached),
                                          live.endpoints, live.size, pairsOf(game));
    if (verdict.refusal) {
        game.message = messageText(*verdict.refusal);
    } else if (verdict.other != 0) {
        ask(game, Asking::eraseOther, verdict.other,
            messageText(Message::eraseQuestion, verdict.other));
        game.askedCell = verdict.code;
    } else {
        step(game, verdict.code, 0);
    }
}

void choosePair(FullScreenGame& game, int pair) {
    if (game.drawing.pair != 0) {
        game.message = "Finish path " + std::to_string(game.drawing.pair) +
                       " first, or press Q to abandon it.";
    } else if (isConnected(game.paths, pair)) {
        ask(game, Asking::redraw, pair, messageText(Message::redrawQuestion, pair));
    } else {
        game.drawing = beginDrawing(game.paths, pair);
    }
}

void answer(FullScreenGame& game, bool yes) {
    const Asking asked = std::exchange(game.asking, Asking::nothing);
    const int pair = game.asked;
    if (asked == Asking::quit) {
        game.quit = yes;
        game.message.clear();
    } else if (asked == Asking::eraseOther) {
        game.message = messageText(yes ? Message::erasing : Message::keepOtherPath, pair);
        if (yes) step(game, game.askedCell, pair); // never the target: it held pair's path
    } else {
        game.message = messageText(yes ? Message::redrawing : Message::keepConnected, pair);
        if (!yes) return;
        erasePath(game.live.grid, game.paths, pair);
        game.drawing = beginDrawing(game.paths, pair);
    }
}

// The path cells of `pair`, in the order they were drawn.
std::vector<int> pathCells(const FullScreenGame& game, int pair) {
    const Node* node = game.paths[std::size_t(pair - 1)];
    while (node->prev != nullptr)
        node = node->prev;
    std::vector<int> cells;
    for (node = node->next; node != nullptr; node = node->next)
        cells.push_back(node->pos);
    return cells;
}

// The next cell of a full cover that keeps the path being drawn as it is (the other pairs'
// paths are left out): the search is asked about the board on which the path's head is the
// pair's start endpoint and the cells behind it are held.
std::optional<int> hintFor(const FullScreenGame& game) {
    const int drawn = game.drawing.pair;
    Board board = game.live;
    for (int pair = 1; pair <= pairsOf(game); ++pair) {
        if (pair == drawn) continue;
        for (const int code : pathCells(game, pair))
            board.grid[std::size_t(gridIndex(code))] = emptyCell;
    }
    board.endpoints[std::size_t(2 * drawn - 2)] = reachedCell(game.drawing, board.endpoints);
    const auto cover = findCover(board);
    if (!cover) return std::nullopt;
    return (*cover)[std::size_t(drawn - 1)][1];
}

void hint(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(pairsOf(game));
        return;
    }
    ++game.hints;
    const auto next = hintFor(game);
    if (!next) {
        game.message = noHint;
        return;
    }
    const int step = *next - reachedCell(game.drawing, game.live.endpoints);
    const std::string_view way = step == -10  ? "up"
                                 : step == 10 ? "down"
                                 : step == -1 ? "left"
                                              : "right";
    game.message = "Hint: go " + std::string(way) + ".";
}

void goBack(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(pairsOf(game));
    } else if (!stepBack(game.live.grid, game.drawing)) {
        game.message = messageText(Message::backAtStart);
    }
}

void quitOrAbandon(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        ask(game, Asking::quit, 0, std::string(quitQuestion));
        return;
    }
    cleanNode(game.live.grid, game.drawing.tail); // its entry in the table is its head already
    game.drawing = {};
}

} // namespace

FullScreenGame::FullScreenGame(const Board& puzzle)
    : live(puzzle), paths(makeHeads(puzzle.count / 2)) {}

FullScreenGame::~FullScreenGame() { releasePaths(paths, live.count / 2); }

void pressKey(FullScreenGame& game, KeyPress press) {
    if (game.won) return;
    const char letter = letterOf(press);
    if (game.asking != Asking::nothing) {
        if (letter == 'Y' || letter == 'N' || press.key == Key::escape) answer(game, letter == 'Y');
        return;
    }
    game.message.clear();
    if (const char movement = movementOf(press); movement != 0) {
        move(game, movement);
    } else if (letter >= '1' && letter <= digitOf(pairsOf(game))) {
        choosePair(game, letter - emptyCell);
    } else if (letter == 'B' || press.key == Key::backspace) {
        goBack(game);
    } else if (letter == 'Q') {
        quitOrAbandon(game);
    } else if (letter == 'H') {
        hint(game);
    }
}

namespace {

// --- Looks ---

// The links of a cell to its neighbours along a drawn line, as bits.
enum Link : std::uint8_t { up = 1, down = 2, left = 4, right = 8 };
using Links = std::array<std::uint8_t, gridCells>;

struct Glyphs {
    std::array<std::string_view, 16> pathCells; // by links; under two links: the path's head
    std::string_view horizontal;                // links a cell to its left or right neighbour
    std::string_view vertical;                  // links a cell to the one below
    std::string_view empty;
    std::array<std::string_view, 6> frame; // top-left, top, top-right, side, bottom-left, -right
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

// Foreground colours of the 16-colour palette, one hue or shade per pair, none of them bold
// (many terminals show bold as the bright colour, which would merge pairs).
constexpr std::array<std::string_view, maxPairs> pairColours{"31", "32", "93", "94", "35",
                                                             "36", "97", "90", "34"};

struct Look {
    bool colours = true;
    const Glyphs* glyphs = &asciiGlyphs;
};

// A Select Graphic Rendition sequence: the default, then `attributes`, then the pair's colour.
std::string style(const Look& look, int pair, std::string_view attributes = "") {
    std::string text = "\033[0";
    text += attributes;
    if (look.colours && pair > 0) {
        text += ';';
        text += pairColours[std::size_t(pair - 1)];
    }
    return text + 'm';
}

// --- The board ---

void link(Links& links, int from, int to) {
    const auto [fromSide, toSide] = to - from == 1    ? std::pair{right, left}
                                    : to - from == -1 ? std::pair{left, right}
                                    : to - from == 10 ? std::pair{down, up}
                                                      : std::pair{up, down};
    links[std::size_t(gridIndex(from))] |= fromSide;
    links[std::size_t(gridIndex(to))] |= toSide;
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
    const char cell = game.live.grid[std::size_t(gridIndex(code))];
    if (cell == emptyCell) return style(look, 0) + ' ' + std::string(look.glyphs->empty) + ' ';
    const int pair = cell - emptyCell;
    const std::uint8_t linked = links[std::size_t(gridIndex(code))];
    const bool atStart = game.drawing.pair == pair && game.drawing.tail->prev == nullptr &&
                         code == startOf(game.live.endpoints, pair);
    const std::string line = style(look, pair) + std::string(look.glyphs->horizontal);
    const std::string bracket = style(look, pair, ";1");
    std::string text = atStart ? bracket + '[' : (linked & left) != 0 ? line : style(look, 0) + ' ';
    if (code == startOf(game.live.endpoints, pair) || code == targetOf(game.live.endpoints, pair)) {
        text += style(look, pair, ";1;7") + cell;
    } else {
        const bool isHead = std::popcount(linked) < 2;
        text += style(look, pair, isHead ? ";1" : "") + std::string(look.glyphs->pathCells[linked]);
    }
    return text + (atStart ? bracket + ']' : (linked & right) != 0 ? line : style(look, 0) + ' ');
}

// The line between board rows `row` and `row + 1`: the vertical links.
std::string spacerText(const FullScreenGame& game, const Links& links, const Look& look, int row) {
    std::string text;
    for (int column = 0; column < game.live.size; ++column) {
        const int code = cellCode(row, column);
        const bool linked = (links[std::size_t(gridIndex(code))] & down) != 0;
        const int pair = game.live.grid[std::size_t(gridIndex(code))] - emptyCell;
        text += style(look, 0) + ' ';
        text += linked ? style(look, pair) + std::string(look.glyphs->vertical) : " ";
        text += ' ';
    }
    return text;
}

// The framed board, one string per screen line.
std::vector<std::string> boardLines(const FullScreenGame& game, const Look& look) {
    const Links links = linksOf(game);
    const auto& frame = look.glyphs->frame;
    std::string across;
    for (int column = 0; column < 3 * game.live.size; ++column)
        across += frame[1];
    const std::string side = style(look, 0) + std::string(frame[3]);
    std::vector<std::string> lines{std::string(frame[0]) + across + std::string(frame[2])};
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
    lines.push_back(std::string(frame[4]) + across + std::string(frame[5]));
    return lines;
}

// --- Screens ---

constexpr int statusRows = 4; // two for the message, one for the counts, one for the keys
constexpr int narrowest = 60; // the widest status line, the keys

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

// Clears every row, then writes each placed text; the cursor stays hidden.
std::string compose(WindowSize window, const std::vector<Placed>& placed) {
    std::string frame = "\033[?25l";
    for (int row = 1; row <= window.rows; ++row)
        frame += "\033[" + std::to_string(row) + ";1H\033[0m\033[2K";
    for (const Placed& text : placed) {
        frame += "\033[" + std::to_string(text.row + 1) + ';' + std::to_string(text.column + 1) +
                 'H' + text.text + "\033[0m";
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

// A title on the top row, `lines` centred in the middle, `keys` on the bottom row.
std::string textScreen(WindowSize window, const std::vector<std::string>& lines,
                       std::string_view keys) {
    std::vector<Placed> placed{centred(window, 0, "pairpath"),
                               centred(window, window.rows - 1, keys)};
    int row = (window.rows - int(lines.size())) / 2;
    for (const std::string& line : lines)
        placed.push_back(centred(window, row++, line));
    return compose(window, placed);
}

std::string countsText(const FullScreenGame& game) {
    int connected = 0;
    for (int pair = 1; pair <= pairsOf(game); ++pair)
        connected += isConnected(game.paths, pair) ? 1 : 0;
    const int size = game.live.size;
    const auto cells = std::count_if(game.live.grid.begin(), game.live.grid.end(),
                                     [](char cell) { return cell > emptyCell; });
    const std::string drawing = game.drawing.pair == 0 ? "-" : std::to_string(game.drawing.pair);
    return "Path " + drawing + "  Connected " + std::to_string(connected) + "/" +
           std::to_string(pairsOf(game)) + "  Cells " + std::to_string(cells) + "/" +
           std::to_string(size * size) + "  Moves " + std::to_string(game.moves) + "  Hints " +
           std::to_string(game.hints);
}

std::string timeText(std::chrono::steady_clock::duration elapsed) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    const std::string secondsText = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + secondsText;
}

// The bottom rows: the message in two (or the win), then the counts, then the keys.
void placeStatus(std::vector<Placed>& placed, const FullScreenGame& game, WindowSize window) {
    std::vector<std::string> message = wrapped(game.message, window.columns);
    if (game.won) {
        message = {messageText(Message::win), "Moves " + std::to_string(game.moves) + ", hints " +
                                                  std::to_string(game.hints) + ", time " +
                                                  timeText(game.playTime)};
    }
    int row = window.rows - statusRows;
    for (const std::string& line : message)
        placed.push_back(centred(window, row++, line));
    placed.push_back(centred(window, window.rows - 2, countsText(game)));
    const std::string keys =
        game.won ? std::string(winKeys)
                 : "1-" + std::to_string(pairsOf(game)) + " path  " + std::string(playKeys);
    placed.push_back(centred(window, window.rows - 1, keys));
}

// The title, the board in the middle of the rows above the status, and the status.
std::string gameScreen(const FullScreenGame& game, WindowSize window, const Look& look) {
    const int size = game.live.size;
    const int width = 3 * size + 2;
    const int height = 2 * size + 1;
    const int rows = 1 + height + statusRows;
    if (window.columns < std::max(width, narrowest) || window.rows < rows) {
        const std::string wanted =
            std::to_string(std::max(width, narrowest)) + " x " + std::to_string(rows);
        const std::string text = "Please make the window at least " + wanted + ".";
        return compose(window, {{0, 0, text.substr(0, std::size_t(window.columns))}});
    }
    const std::string title = "pairpath: " + std::to_string(size) + " x " + std::to_string(size) +
                              ", " + std::to_string(pairsOf(game)) + " pairs";
    std::vector<Placed> placed{centred(window, 0, title)};
    int row = 1 + (window.rows - rows) / 2;
    for (std::string& line : boardLines(game, look))
        placed.push_back({row++, (window.columns - width) / 2, std::move(line)});
    placeStatus(placed, game, window);
    return compose(window, placed);
}

// --- Choosing and playing ---

// Asks with single keys until a digit from `low` to `high` is pressed, and returns it; 0 when
// the player presses Q.
int askDigit(const std::vector<std::string>& lines, int low, int high) {
    const std::string keys = range(low, high) + ": choose  Q: quit";
    for (;;) {
        writeScreen(textScreen(windowSize(), lines, keys));
        const KeyPress press = nextKey();
        const char letter = letterOf(press);
        if (letter >= digitOf(low) && letter <= digitOf(high)) return letter - emptyCell;
        if (letter == 'Q') return 0;
    }
}

struct Choice {
    int size = 0;
    int pairs = 0;
};

// The grid side and the number of pairs: those given, the others asked. Empty when the player
// quits instead.
std::optional<Choice> choose(const Options& options, bool useGiven, const std::string& note) {
    const int size = useGiven && options.size
                         ? *options.size
                         : askDigit({note, "Grid side? Press " + range(minSide, maxSide) + "."},
                                    minSide, maxSide);
    if (size == 0) return std::nullopt;
    bool first = true;
    std::string refusal;
    for (;;) {
        const std::string question = "How many pairs? Press " + range(minPairs, maxPairs) + ".";
        const int pairs = first && useGiven && options.pairs
                              ? *options.pairs
                              : askDigit({refusal, question}, minPairs, maxPairs);
        first = false;
        if (pairs == 0) return std::nullopt;
        if (pairs <= mostPairsFor(size)) return Choice{size, pairs};
        refusal = messageText(Message::tooManyPairs); // only 5 x 5 refuses any choice
    }
}

// Plays one game; true when the player wants a new puzzle after the win, false to quit.
bool playGame(FullScreenGame& game, const Look& look) {
    for (;;) {
        writeScreen(gameScreen(game, windowSize(), look));
        const KeyPress press = nextKey();
        if (press.key == Key::redraw) continue;
        if (game.won) {
            const char letter = letterOf(press);
            if (letter == 'N' || letter == 'Q') return letter == 'N';
            continue;
        }
        pressKey(game, press);
        if (game.quit) return false;
    }
}

int playGames(const Options& options, const Look& look) {
    bool seeded = false;
    bool useGiven = true; // false once the hunt failed with them
    std::string note;
    for (;;) {
        const auto choice = choose(options, useGiven, note);
        if (!choice) return EXIT_SUCCESS;
        // Seeded once, after the first answers, as the line dialogue does.
        if (!seeded) std::srand(options.seed.value_or(unsigned(std::time(nullptr))));
        seeded = true;
        const std::string puzzle = std::to_string(choice->size) + " x " +
                                   std::to_string(choice->size) + " puzzle with " +
                                   std::to_string(choice->pairs) + " pairs";
        writeScreen(textScreen(windowSize(), {"Looking for a solvable " + puzzle + "..."}, ""));
        const PuzzleHunt hunt = findPuzzle(choice->size, choice->pairs, nullptr);
        if (!hunt.puzzle) {
            useGiven = false;
            note = "No solvable " + puzzle + " was found. Please choose again.";
            continue;
        }
        note.clear();
        FullScreenGame game(*hunt.puzzle);
        if (!playGame(game, look)) return EXIT_SUCCESS;
    }
}

} // namespace

int playFullScreen(const Options& options) {
    if (!enterFullScreen()) {
        std::cerr << notATerminal << '\n';
        return 2;
    }
    const Look look{options.colours, localeIsUtf8() ? &boxGlyphs : &asciiGlyphs};
    try {
        const int status = playGames(options, look);
        restoreTerminal();
        return status;
    } catch (const InputEnded&) {
        restoreTerminal();
        std::cerr << messageText(Message::inputEnded) << '\n';
        return EXIT_FAILURE;
    }
}

} // namespace pairpath
