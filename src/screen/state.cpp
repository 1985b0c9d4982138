// The full screen's game between keys. Every rule comes from the play layer, the same functions
// the line dialogue calls: the move verdict, the drawing operations, the questions before a
// path is erased, the win test and the messages. This module only keeps what waits between
// keys (which path is being drawn, which question is asked) and answers each key.

#include "pairpath/screenstate.hpp"

#include "pairpath/search.hpp"

#include <algorithm>
#include <utility>

namespace pairpath {

int pairsOf(const FullScreenGame& game) { return game.live.count / 2; }

std::vector<int> pathCells(const FullScreenGame& game, int pair) {
    const Node* node = game.paths[std::size_t(pair - 1)];
    while (node->prev != nullptr)
        node = node->prev;
    std::vector<int> cells;
    for (node = node->next; node != nullptr; node = node->next)
        cells.push_back(node->pos);
    return cells;
}

namespace {

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
    const bool moves = std::ranges::any_of(
        pairpath::moves, [letter](const Move& move) { return move.key == letter; });
    return moves ? letter : '\0';
}

// --- Playing ---

void ask(FullScreenGame& game, const Question& question) {
    game.question = question;
    game.message = questionText(question);
}

std::string choosePrompt(const FullScreenGame& game) {
    return messageText(Message::choosePair, pairsOf(game));
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
        game.message = choosePrompt(game);
        return;
    }
    const Board& live = game.live;
    const int reached = reachedCell(game.drawing, live.endpoints);
    const StepVerdict verdict = judgeStep(live.grid, movement, rowOf(reached), columnOf(reached),
                                          live.endpoints, live.size, pairsOf(game));
    if (verdict.refusal) {
        game.message = messageText(*verdict.refusal);
    } else if (const Question question = questionOnStep(verdict);
               question.asking != Asking::nothing) {
        ask(game, question);
    } else {
        step(game, verdict.code, 0);
    }
}

void choosePair(FullScreenGame& game, int pair) {
    if (game.drawing.pair != 0) {
        game.message = messageText(Message::finishFirst, game.drawing.pair);
    } else if (const Question question = questionOnChoosing(game.paths, pair);
               question.asking != Asking::nothing) {
        ask(game, question);
    } else {
        game.drawing = beginDrawing(game.paths, pair);
    }
}

void answer(FullScreenGame& game, bool yes) {
    const Question question = std::exchange(game.question, Question{});
    game.message = replyText(question, yes);
    if (!yes) return;
    switch (question.asking) {
    case Asking::quit: game.quit = true; break;
    case Asking::eraseOther: // never the target: it held the other pair's path
        step(game, question.cell, question.pair);
        break;
    case Asking::redraw:
        erasePath(game.live.grid, game.paths, question.pair);
        game.drawing = beginDrawing(game.paths, question.pair);
        break;
    case Asking::nothing: break;
    }
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
            cellAt(board.grid, code) = emptyCell;
    }
    board.endpoints[std::size_t(2 * drawn - 2)] = reachedCell(game.drawing, board.endpoints);
    const auto cover = findCover(board);
    if (!cover) return std::nullopt;
    return (*cover)[std::size_t(drawn - 1)][1];
}

void hint(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(game);
        return;
    }
    ++game.hints;
    const auto next = hintFor(game);
    if (!next) {
        game.message = messageText(Message::noHint);
        return;
    }
    const int reached = reachedCell(game.drawing, game.live.endpoints);
    game.message = messageText(moveBetween(reached, *next).hint);
}

void goBack(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(game);
    } else if (!stepBack(game.live.grid, game.drawing)) {
        game.message = messageText(Message::backAtStart);
    }
}

void quitOrAbandon(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        ask(game, {Asking::quit});
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
    if (game.question.asking != Asking::nothing) {
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

std::string countsText(const FullScreenGame& game) {
    int connected = 0;
    for (int pair = 1; pair <= pairsOf(game); ++pair)
        connected += isConnected(game.paths, pair) ? 1 : 0;
    const int size = game.live.size;
    const auto cells = std::count_if(game.live.grid.begin(), game.live.grid.end(),
                                     [](char cell) { return cell > emptyCell; });
    const std::string drawing = game.drawing.pair == 0 ? "-" : std::to_string(game.drawing.pair);
    return messageText(Message::counts, drawing, connected, pairsOf(game), int(cells), size * size,
                       game.moves, game.hints);
}

} // namespace pairpath
