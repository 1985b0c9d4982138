// The rules of play, apart from any prompt or screen, so that both ways to play call the same
// functions: the path lists, the verdict on one step, the drawing operations, the questions a
// choice or a step raises before a path is erased, and the win test.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/core/messages.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pairpath {

// One node of a pair's path. The head (pos -1, prev null) stands for the start endpoint and
// is never released; every other node is one path cell, in the order they were drawn.
struct Node {
    std::int32_t num = 0; // the pair number, on the head only
    std::int32_t pos = 0; // cell code, -1 on the head
    Node* next = nullptr;
    Node* prev = nullptr;
};

// Entry p - 1 points to pair p's head while the pair is not connected, to the last node of
// its finished path once it is.
using Paths = std::array<Node*, maxPairs>;

// A new node for cell `pos` (-1 for a head) after `prev`, which the caller links to it. When
// none can be had, the program's new-handler decides: std::bad_alloc, unless it ends the program.
Node* makenode(int pos, Node* prev);
// Erases the path that ends at `node`, emptying its cells; returns the pair's head.
Node* cleanNode(Grid& grid, Node* node);
// One head per pair, for a new game; releasePaths frees every node of the table.
Paths makeHeads(int pairs);
void releasePaths(Paths& paths, int pairs);

// A key's letter in upper case: both cases of a key act alike.
constexpr char upper(char key) { return key >= 'a' && key <= 'z' ? char(key - 'a' + 'A') : key; }

// The four movement keys, each with its step and the hint that names its way.
struct Move {
    char key; // upper case; the lower case key moves the same way
    int rowStep;
    int columnStep;
    Message hint;
};
inline constexpr std::array<Move, 4> moves{{{'W', -1, 0, Message::hintUp},
                                            {'A', 0, -1, Message::hintLeft},
                                            {'S', 1, 0, Message::hintDown},
                                            {'D', 0, 1, Message::hintRight}}};

// The move of a movement key (either case), or of the step between two neighbouring cells.
const Move& moveOf(char key);
const Move& moveBetween(int fromCode, int toCode);
constexpr int codeStepOf(const Move& move) { return cellCode(move.rowStep, move.columnStep); }

// What the move rules say about one step of a path, before anything is asked.
struct StepVerdict {
    std::optional<Message> refusal; // set when the step is refused: why
    int code = -1;                  // the entered cell, when the step stays on the grid
    int other = 0; // the pair whose drawn path the step would erase if the player agrees, or 0
};

// The verdict on moving from (row, column), the cell the path being drawn has reached, by
// movement key `key` (W, A, S or D in either case). Changes nothing and asks nothing.
StepVerdict judgeStep(const Grid& grid, char key, int row, int column, const Endpoints& endpoints,
                      int size, int pairs);

// The path being drawn: its pair and its last node, which is the pair's head until it has a
// path cell. While it is drawn, the pair's entry in `paths` stays its head.
struct Drawing {
    int pair = 0;
    Node* tail = nullptr;
};

// Starts drawing `pair` from its start endpoint; its entry in `paths` must be its head.
Drawing beginDrawing(Paths& paths, int pair);
// Takes up the finished path of `pair` to draw on from its last cell; its entry in `paths`
// becomes its head again.
Drawing resumeDrawing(Paths& paths, int pair);
// The cell the drawing has reached: its last path cell, or the start endpoint.
int reachedCell(const Drawing& drawing, const Endpoints& endpoints);
// Takes a step the move rules allowed into cell `code`, first erasing the path of pair
// `erased` if the step needed that (0: none). Returns true when the step entered the target
// endpoint: the pair is connected and `drawing.tail` is its new entry for `paths`.
bool takeStep(Grid& grid, Paths& paths, Drawing& drawing, int code, int erased,
              const Endpoints& endpoints);
// Takes back the last path cell; false, changing nothing, when no path cell is drawn.
bool stepBack(Grid& grid, Drawing& drawing);
// True when `pair` has a finished path, which choosing it again would erase.
bool isConnected(const Paths& paths, int pair);
// Erases the path of `pair` and sets its entry back to its head.
void erasePath(Grid& grid, Paths& paths, int pair);
// 1 when every pair is connected and no cell is empty, else 0.
int isWin(Board board, const Paths& paths);

// A yes-or-no question that waits for the player before a path is erased (or the game left).
enum class Asking { nothing, eraseOther, redraw, quit };
struct Question {
    Asking asking = Asking::nothing;
    int pair = 0;  // the pair whose path a yes erases
    int cell = -1; // for eraseOther: the cell the step waits to enter
};

// The question choosing `pair` raises: a redraw when the pair is connected, else none.
Question questionOnChoosing(const Paths& paths, int pair);
// The question a step's verdict raises: erasing the other pair's path, else none.
Question questionOnStep(const StepVerdict& verdict);
std::string questionText(const Question& question);
// The reply to the player's answer. A yes lets the path be erased: the caller erases it, with
// erasePath for a redraw, or with takeStep, which erases the other path first, for a step.
std::string replyText(const Question& question, bool yes);

} // namespace pairpath
