// The full screen's game between keys. Every rule comes from the play layer, the same functions
// the line dialogue calls: the move verdict, the drawing operations, the questions before a
// path is erased, the win test and the messages. This module only keeps what waits between
// keys (which path is being drawn, which question is asked) and answers each key.

#include "pairpath/screen/state.hpp"

#include "pairpath/core/search.hpp"
#include "pairpath/play/reasons.hpp"

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

char letterOf(KeyPress press) {
    if (press.key != Key::character) return '\0';
    return press.character == controlD ? 'Q' : upper(press.character);
}

namespace {

// --- Keys ---

// The movement key, W, A, S or D, that `press` stands for, or 0.
char movementOf(KeyPress press) {
    constexpr auto arrows = std::to_array<std::pair<Key, char>>(
        {{Key::up, 'W'}, {Key::left, 'A'}, {Key::down, 'S'}, {Key::right, 'D'}});
    for (const auto& [key, movement] : arrows) {
        if (press.key == key) return movement;
    }
    const char letter = letterOf(press);
    const bool moves = std::ranges::any_of(
        pairpath::moves, [letter](const Move& move) { return move.key == letter; });
    return moves ? letter : '\0';
}

// --- Playing ---

// The full screen's own spelling of the refusals whose line-dialogue texts keep their old typos.
Message screenWording(Message refusal) {
    constexpr auto spelled = std::to_array<std::pair<Message, Message>>(
        {{Message::offBoundary, Message::screenOffBoundary},
         {Message::overEndpoint, Message::screenOverEndpoint}});
    for (const auto& [line, screen] : spelled) {
        if (refusal == line) return screen;
    }
    return refusal;
}

// --- Changes, and taking them back ---

Position here(const FullScreenGame& game) {
    return positionOf(game.live, game.paths, game.drawing);
}

// Keeps a change of the paths, made since `before`, to be taken back; a new change forgets the
// changes taken back.
void remember(FullScreenGame& game, Position before, Message what, int pair) {
    Position after = here(game);
    if (after == before) return;
    game.done.push_back({std::move(before), std::move(after), messageText(what, pair)});
    game.undone.clear();
}

// Takes back the last change (`back`), or makes again the last one taken back.
void undoOrRedo(FullScreenGame& game, bool back) {
    auto& from = back ? game.done : game.undone;
    auto& to = back ? game.undone : game.done;
    if (from.empty()) {
        game.message = messageText(back ? Message::nothingToUndo : Message::nothingToRedo);
        return;
    }
    const Change change = std::move(from.back());
    from.pop_back();
    setPosition(game.live, game.paths, game.drawing, back ? change.before : change.after);
    game.message = messageText(back ? Message::undone : Message::redone, change.what);
    to.push_back(change);
}

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
    const int pair = game.drawing.pair;
    Position before = here(game);
    const bool entersTarget =
        takeStep(game.live.grid, game.paths, game.drawing, code, erased, game.live.endpoints);
    if (entersTarget) {
        game.paths[std::size_t(pair - 1)] = game.drawing.tail;
        game.drawing = {};
    }
    remember(game, std::move(before), erased == 0 ? Message::changeStep : Message::changeErase,
             erased == 0 ? pair : erased);
    if (!entersTarget) return;
    game.message = messageText(Message::connected, pair);
    if (isWin(game.live, game.paths) == 1) {
        game.playTime = playedTime(game, std::chrono::steady_clock::now());
        game.won = true;
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
        game.message = messageText(screenWording(*verdict.refusal));
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

// --- The mouse ---

// True when `code` is the start endpoint or a path cell of the path being drawn.
bool onDrawnPath(const FullScreenGame& game, int code) {
    const int pair = game.drawing.pair;
    return pair != 0 && cellAt(game.live.grid, code) == digitOf(pair) &&
           code != targetOf(game.live.endpoints, pair);
}

// Steps the path being drawn back until it ends at `code`, one of its cells.
void cutBack(FullScreenGame& game, int code) {
    Position before = here(game);
    while (reachedCell(game.drawing, game.live.endpoints) != code &&
           stepBack(game.live.grid, game.drawing)) {
    }
    remember(game, std::move(before), Message::changeCut, game.drawing.pair);
}

// Makes the endpoint at `code` the start of its pair, whose path is not drawn.
void startFrom(FullScreenGame& game, int pair, int code) {
    auto& endpoints = game.live.endpoints;
    if (code == targetOf(endpoints, pair))
        std::swap(endpoints[std::size_t(2 * pair - 2)], endpoints[std::size_t(2 * pair - 1)]);
    game.drawing = beginDrawing(game.paths, pair);
}

// The redraw question answered yes after a press on the pair's finished path: from an endpoint
// the path is drawn anew from there, from a path cell it is cut back to that cell.
void takeUpPressed(FullScreenGame& game, int pair, int code) {
    if (code == startOf(game.live.endpoints, pair) || code == targetOf(game.live.endpoints, pair)) {
        Position before = here(game);
        erasePath(game.live.grid, game.paths, pair);
        startFrom(game, pair, code);
        remember(game, std::move(before), Message::changeRedraw, pair);
        return;
    }
    game.drawing = resumeDrawing(game.paths, pair);
    cutBack(game, code);
}

void pressAt(FullScreenGame& game, int code) {
    const int pair = cellAt(game.live.grid, code) - emptyCell;
    if (pair == 0) return;
    const int drawn = game.drawing.pair;
    if (drawn == 0 && isConnected(game.paths, pair)) {
        game.pressedCell = code;
        ask(game, questionOnChoosing(game.paths, pair));
    } else if (drawn == 0) {
        startFrom(game, pair, code);
        game.dragging = true;
    } else if (onDrawnPath(game, code)) {
        cutBack(game, code);
        game.dragging = true;
    } else if (pair != drawn) {
        game.message = messageText(Message::finishFirst, drawn);
    }
}

// Draws on toward `code` in a straight line, a step at a time, while the rules let each step
// be taken without a question; a question ends the drag.
void dragTo(FullScreenGame& game, int code) {
    if (onDrawnPath(game, code)) {
        cutBack(game, code);
        return;
    }
    for (int reached = reachedCell(game.drawing, game.live.endpoints); reached != code;) {
        const int rows = rowOf(code) - rowOf(reached);
        const int columns = columnOf(code) - columnOf(reached);
        if (rows != 0 && columns != 0) return;
        const int next = reached +
                         (rows > 0   ? codeDown
                          : rows < 0 ? codeUp
                                     : 0) +
                         (columns > 0   ? codeRight
                          : columns < 0 ? codeLeft
                                        : 0);
        game.message.clear();
        move(game, moveBetween(reached, next).key);
        if (game.question.asking != Asking::nothing || game.drawing.pair == 0) {
            game.dragging = false;
            return;
        }
        if (reachedCell(game.drawing, game.live.endpoints) == reached) return; // refused
        reached = next;
    }
}

// The redraw question answered yes after the pair was chosen: its path is erased and drawn anew.
void redraw(FullScreenGame& game, int pair) {
    Position before = here(game);
    erasePath(game.live.grid, game.paths, pair);
    game.drawing = beginDrawing(game.paths, pair);
    remember(game, std::move(before), Message::changeRedraw, pair);
}

void answer(FullScreenGame& game, bool yes) {
    const Question question = std::exchange(game.question, Question{});
    const int pressed = std::exchange(game.pressedCell, -1);
    game.message = replyText(question, yes);
    if (!yes) return;
    switch (question.asking) {
    case Asking::quit: game.quit = true; break;
    case Asking::eraseOther: // never the target: it held the other pair's path
        step(game, question.cell, question.pair);
        break;
    case Asking::redraw:
        if (pressed >= 0) {
            takeUpPressed(game, question.pair, pressed);
            break;
        }
        redraw(game, question.pair);
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

// The hint the reasoning gives on a board with one solution: the next step it finds from the
// paths drawn, with its reason, or where a drawn path leaves the solution.
std::string reasonedHint(const FullScreenGame& game) {
    const Position position = here(game);
    Board puzzle = game.live; // its endpoints alone, as they stand
    std::vector<DrawnPath> drawn;
    for (int pair = 1; pair <= pairsOf(game); ++pair) {
        const auto& cells = position.cells[std::size_t(pair - 1)];
        for (const int code : cells)
            cellAt(puzzle.grid, code) = emptyCell;
        drawn.push_back({cells, (position.connected >> (pair - 1) & 1U) != 0});
    }
    return hintText(nextHint(puzzle, drawn));
}

// A hint counts once for each position it is asked at: asked again there, it is the same.
void hint(FullScreenGame& game) {
    const bool reasoned = game.solutions == 1;
    if (game.drawing.pair == 0 && !reasoned) {
        game.message = choosePrompt(game);
        return;
    }
    if (Position position = here(game); game.hinted != position) {
        ++game.hints;
        game.hinted = std::move(position);
    }
    if (reasoned) {
        game.message = reasonedHint(game);
        return;
    }
    const auto next = hintFor(game);
    if (!next) {
        game.message = messageText(Message::noHint);
        return;
    }
    const int reached = reachedCell(game.drawing, game.live.endpoints);
    game.message =
        messageText(Message::oneOfSolutions, messageText(moveBetween(reached, *next).hint),
                    countText(game.solutions, true));
}

void goBack(FullScreenGame& game) {
    Position before = here(game);
    if (game.drawing.pair == 0) {
        game.message = choosePrompt(game);
    } else if (!stepBack(game.live.grid, game.drawing)) {
        game.message = messageText(Message::backAtStart);
    }
    remember(game, std::move(before), Message::changeStepBack, game.drawing.pair);
}

void quitOrAbandon(FullScreenGame& game) {
    if (game.drawing.pair == 0) {
        ask(game, {Asking::quit});
        return;
    }
    Position before = here(game);
    const int pair = game.drawing.pair;
    cleanNode(game.live.grid, game.drawing.tail); // its entry in the table is its head already
    game.drawing = {};
    remember(game, std::move(before), Message::changeAbandon, pair);
}

} // namespace

FullScreenGame::FullScreenGame(const Board& puzzle)
    : live(puzzle), paths(makeHeads(puzzle.count / 2)) {}

FullScreenGame::~FullScreenGame() { releasePaths(paths, live.count / 2); }

// A key ends any drag: the mouse draws on only the path its own press took up, and a key may
// abandon that path or take up another.
void pressKey(FullScreenGame& game, KeyPress press) {
    game.dragging = false;
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
    } else if (letter == 'U' || letter == 'R') {
        undoOrRedo(game, letter == 'U');
    }
}

void pressMouse(FullScreenGame& game, MouseAction action, int code) {
    if (action == MouseAction::release || game.won || game.question.asking != Asking::nothing) {
        game.dragging = false;
        return;
    }
    if (code < 0) return;
    if (action == MouseAction::press) {
        game.dragging = false;
        game.message.clear();
        pressAt(game, code);
    } else if (game.dragging) {
        dragTo(game, code);
    }
}

std::chrono::steady_clock::duration playedTime(const FullScreenGame& game,
                                               std::chrono::steady_clock::time_point now) {
    return game.won ? game.playTime : now - game.started - game.paused;
}

std::string countsText(const FullScreenGame& game, std::chrono::steady_clock::time_point now) {
    int connected = 0;
    for (int pair = 1; pair <= pairsOf(game); ++pair)
        connected += isConnected(game.paths, pair) ? 1 : 0;
    const int size = game.live.size;
    const auto cells = std::count_if(game.live.grid.begin(), game.live.grid.end(),
                                     [](char cell) { return cell > emptyCell; });
    const std::string drawing = game.drawing.pair == 0 ? "-" : std::to_string(game.drawing.pair);
    return messageText(
        Message::counts, drawing, connected, pairsOf(game), int(cells), size * size, game.moves,
        game.hints,
        clockText(std::chrono::duration_cast<std::chrono::seconds>(playedTime(game, now))));
}

} // namespace pairpath
