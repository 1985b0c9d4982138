// pairpath: link each pair of equal digits on a square grid with paths that never cross and
// together fill every cell.
//
// This header declares the records every module shares (the board, the path nodes) and the
// functions that cross module lines. Rows and columns count from 0; row 0 is the top line.
//
// A cell has four numberings, each where it serves best:
// - the cell code, row * 10 + column: the endpoint table, the path nodes and the move rules;
// - the grid index, row * gridStride + column (stride 8 whatever the side): the grid's bytes,
//   and the fast search's bit masks, so that a neighbour is one shift;
// - the reference search's bit, row * size + column: its occupancy word;
// - the sampler's cell, row * size + column as well: its frontier runs over the cells in order.
// While createArray places endpoints it also uses working codes, (row + 1) * 10 + column + 1,
// so that 0 can mark an empty entry; they never leave it.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pairpath {

// --- Board ---

inline constexpr int gridStride = 8; // row stride of the grid, whatever the side
inline constexpr int minSide = 5;
inline constexpr int maxSide = 8;
inline constexpr int minPairs = 4;
inline constexpr int maxPairs = 9;
inline constexpr char emptyCell = '0';

// The most pairs a grid of this side can hold: every route needs an empty cell of its own.
constexpr int mostPairsFor(int side) { return side * side / 3; }

inline constexpr std::size_t gridCells = 64; // 8 rows of gridStride cells
using Grid = std::array<char, gridCells>;
using Endpoints = std::array<std::int32_t, 2 * maxPairs + 1>;

// One puzzle and, during play, its state. Inside the playing area a cell holds '0' (empty) or
// the digit of the pair that holds it; every byte outside the playing area is zero. Pair p's
// start endpoint is endpoints[2p - 2], its target endpoint endpoints[2p - 1]; entries from
// `count` on are 0.
struct Board {
    std::int32_t size = 0;
    Grid grid{};
    std::int32_t count = 0; // number of endpoints: twice the number of pairs
    Endpoints endpoints{};
};

constexpr int cellCode(int row, int column) { return row * 10 + column; }
constexpr int rowOf(int code) { return code / 10; }
constexpr int columnOf(int code) { return code % 10; }
constexpr int gridIndex(int code) { return rowOf(code) * gridStride + columnOf(code); }
constexpr char digitOf(int pair) { return static_cast<char>(emptyCell + pair); }
// A key's letter in upper case: both cases of a key act alike.
constexpr char upper(char key) { return key >= 'a' && key <= 'z' ? char(key - 'a' + 'A') : key; }
constexpr int startOf(const Endpoints& endpoints, int pair) {
    return endpoints[std::size_t(2 * pair - 2)];
}
constexpr int targetOf(const Endpoints& endpoints, int pair) {
    return endpoints[std::size_t(2 * pair - 1)];
}

// --- Puzzle creation (setup.cpp) ---

// One random candidate: `pairs` pairs of endpoints on distinct cells of a size x size grid,
// no pair's two endpoints side by side. Draws two std::rand values per candidate cell.
Board createArray(int size, int pairs);

// Reference solvability search: 1 when every pair can be linked by non-crossing routes over
// empty cells that together cover the whole playing area, else 0. Exhaustive and unbounded.
int solution(Board board);

// The same search with at most `maxCalls` search steps; empty when the budget ran out.
std::optional<int> solutionWithin(const Board& board, std::int64_t maxCalls);

// Occupancy mask of the reference search: bit row * size + column set for every held cell.
std::uint64_t exchange(const Grid& grid, int size);

// One step of the reference search (recursive): steps onto (row, column) while routing the
// current pair toward its target endpoint. Non-zero when a full cover was completed below.
std::uint64_t pointTpoint(std::uint64_t mask, int row, int column, int targetRow, int targetColumn,
                          int size, int pairs, std::uint64_t fullMask, const Endpoints& endpoints);

// Plain dump of a board, without colours.
void print(Board board);

// --- Fast search (search.cpp) ---

// A full cover: for each pair, in pair order, the cell codes of its route from the start
// endpoint to the target endpoint, both included.
using Cover = std::vector<std::vector<int>>;

// Decides the same question as `solution`, fast, and returns the routes it found.
std::optional<Cover> findCover(const Board& board);

// --- Drawing solvable boards directly (sampler.cpp) ---

// Exact numbers of covers: on an 8 x 8 grid they pass 2^64.
__extension__ using CoverCount = unsigned __int128;

// The number of ways to cover every cell of a size x size grid (size 2 to 8) with exactly
// `paths` paths that share no cell, each of at least `shortest` cells (2 or 3).
CoverCount countCovers(int size, int paths, int shortest);

// A solvable board drawn with the odds of drawing createArray boards until one has a full
// cover, without that loop; uses std::rand. Empty when no board of this choice is solvable, or
// when `maxAttempts` attempts were all rejected.
std::optional<Board> drawSolvable(int size, int pairs, std::int64_t maxAttempts = 100'000'000);

// --- Looking for a puzzle (hunt.cpp) ---

inline constexpr std::int64_t candidateLimit = 25'000'000;

// The outcome of looking for a puzzle: the first candidate with a full cover, if any was found
// within the limit, and how many candidates were drawn.
struct PuzzleHunt {
    std::optional<Board> puzzle;
    std::int64_t candidates = 0;
};

// True for the choices whose boards are drawn directly (drawSolvable) rather than by drawing
// candidates until one has a full cover.
bool isDrawnDirectly(int size, int pairs);

// Finds a puzzle. For most choices: draws candidates until one has a full cover, or until
// `maxCandidates` have failed; when `progress` is given and the wait passes one second, reports
// how far it has got there. For the choices drawn directly: one drawSolvable board, and no
// candidates counted.
PuzzleHunt findPuzzle(int size, int pairs, std::ostream* progress,
                      std::int64_t maxCandidates = candidateLimit);

// --- Choice input (input.cpp) ---

// Thrown by the choice reader when standard input ends, or fails, before an acceptable line.
struct InputEnded {};

// Reads lines until one is exactly one character of `allowed` followed by a newline, and
// returns that character. Every other line is answered with a message and consumed whole.
char getUserinput(std::string_view allowed);

// The two start-up questions; each returns its answer as a number.
int askGridSide();
int askPairCount(int side);
// The grid side question when the pair count is already known: a side too small for `pairs`
// is refused with a message and the question is asked again.
int askGridSideFor(int pairs);

// --- Play (play.cpp) ---
//
// The rules of play live here, apart from any prompt, so that both ways to play (the line
// dialogue below and the full screen, fullscreen.cpp) call the same functions: the move verdict
// `judgeStep`, the drawing operations `beginDrawing`, `takeStep`, `stepBack`, `erasePath` and
// `cleanNode`, the tests `isConnected` and `isWin`, and the message table `messageText`.

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

// The board display colours each pair's digit unless main turns colours off, once, before the
// first drawing. Without colours it writes the same text with every escape sequence left out.
void useColours(bool on);

// The game's messages; `messageText` holds their texts in one table.
enum class Message {
    offBoundary,    // refused: the step leaves the grid
    overOwnPath,    // refused: the cell is the pair's own start endpoint or path cell
    overEndpoint,   // refused: the cell is another pair's endpoint
    keepOtherPath,  // refused: the player kept the other pair's path
    backAtStart,    // refused: a step back with no path cell drawn
    eraseQuestion,  // names the pair whose path the step would erase
    erasing,        // names that pair, once the player agreed
    redrawQuestion, // names the connected pair chosen again
    redrawing,      // names that pair, once the player agreed
    keepConnected,  // the player kept the connected pair's path
    connected,      // names the pair just connected
    win,
    pairPrompt,     // line dialogue only
    movementPrompt, // line dialogue only
    position,       // line dialogue only; names the start endpoint's row and column
    sideQuestion,   // line dialogue only
    pairQuestion,   // line dialogue only
    tooManyPairs,   // line dialogue only: 9 pairs asked for a 5 x 5 grid
    wrongLength,    // line dialogue only: an answer line that is not one character
    notAChoice,     // line dialogue only: a character outside the allowed set
    nothingFound,   // no solvable board within the hunt's limit
    inputEnded,
    outOfMemory,
};

// The text of `message`, without a newline, with the numbers it names written in.
std::string messageText(Message message, int first = 0, int second = 0);

// The move check's result for a step into an empty cell or the pair's own target endpoint;
// 0 refuses a step, and a pair number from 1 to `pairs` names the path the step erases.
constexpr int stepAllowed(int pairs) { return pairs + 1; }

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

// The line dialogue's board: every cell as its mark and a blank, each pair in its colour.
void changeColor(std::string& frame, char cell);
void printBoard(const Grid& grid, int size);

// A new node for cell `pos` (-1 for a head) after `prev`, which the caller links to it. Ends
// the program with "Out of memory!" when none can be had.
// Ends the program when memory runs out: gives the terminal back if the full screen holds it,
// writes "Out of memory!" and exits with status 1. It allocates nothing, so it also serves as
// the program's new-handler.
[[noreturn]] void outOfMemory() noexcept;

Node* makenode(int pos, Node* prev);
// Erases the path that ends at `node`, emptying its cells; returns the pair's head.
Node* cleanNode(Grid& grid, Node* node);
// One head per pair, for a new game; releasePaths frees every node of the table.
Paths makeHeads(int pairs);
void releasePaths(Paths& paths, int pairs);

// The line dialogue's move check: the verdict of `judgeStep`, with its message written and,
// for a step over another pair's path, the player asked. Returns 0 (refused),
// stepAllowed(pairs), or the number of the pair whose path the player agreed to erase.
int isvalid(const Grid& grid, char key, int row, int column, const Endpoints& endpoints, int size,
            int pairs);
// Lets the player draw the pair whose start endpoint is at (row, column), one key per line.
// Returns the pair's new entry: the last path node once connected, the head if abandoned.
Node* play(Grid& grid, int row, int column, Paths& paths, const Endpoints& endpoints, int size,
           int pairs);
// 1 when every pair is connected and no cell is empty, else 0.
int isWin(Board board, const Paths& paths);

// Plays the game on `live` with the path table `paths` until it is won.
void runGame(Board& live, Paths& paths);
// Plays a whole game on a copy of `board`, owning its path table.
void start(Board board);

} // namespace pairpath
