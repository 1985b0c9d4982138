// Helpers shared by the tests and the fuzzer: boards written as text, checks made independently
// of the game's own code (a generated board, the grid against the path lists), and an input
// that runs a check whenever the game starts reading a new line.
#pragma once

#include "pairpath/board.hpp"
#include "pairpath/rules.hpp"
#include "pairpath/search.hpp"

#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pairpath::testing {

// Texts the game writes, stated here apart from its own table so that a changed byte shows.
const std::string sideQuestion =
    "What size grid would you like. Please Enter a number between 5-8\n";
const std::string pairQuestion =
    "How many numbers would you like to link. Please Enter a number between 4-9\n";
const std::string tooManyPairs = "A 5 x 5 grid can hold at most 8 pairs.\n";
const std::string wrongLength = "Invalid Input. Please only input one valid char again.\n";
const std::string pick = "Please select which number to start (press Ctrl+c to quit):\n";
const std::string move =
    "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:\n";

// Standard input read from `input` and standard output kept in `output`, while it lives.
struct Redirected {
    explicit Redirected(std::streambuf* input)
        : oldIn(std::cin.rdbuf(input)), oldOut(std::cout.rdbuf(output.rdbuf())) {}
    ~Redirected() {
        std::cin.rdbuf(oldIn);
        std::cout.rdbuf(oldOut);
        std::cin.clear();
    }

    std::ostringstream output;
    std::streambuf* oldIn;
    std::streambuf* oldOut;
};

inline bool isInside(const Board& board, int code) {
    return code >= 0 && rowOf(code) < board.size && columnOf(code) < board.size;
}
inline char cellOf(const Board& board, int code) {
    return board.grid[std::size_t(gridIndex(code))];
}

// A board drawn as text, its rows parted by '/': '.' is an empty cell, a digit an endpoint of
// that pair. The first occurrence of a digit, in reading order, is the pair's start endpoint.
inline Board boardFromText(std::string_view text) {
    Board board;
    board.size = int(text.find('/'));
    std::array<int, maxPairs + 1> seen{};
    for (int code = 0; code < cellCode(board.size, 0); ++code) {
        if (!isInside(board, code)) continue;
        const char cell = text[std::size_t(rowOf(code) * (board.size + 1) + columnOf(code))];
        board.grid[std::size_t(gridIndex(code))] = cell == '.' ? emptyCell : cell;
        if (cell == '.') continue;
        const int pair = cell - '0';
        board.endpoints[std::size_t(2 * pair - 2 + seen[std::size_t(pair)]++)] = code;
        board.count = std::max(board.count, 2 * pair);
    }
    return board;
}

// The playing area as text, in the form boardFromText reads: rows parted by '/', '.' for an
// empty cell, a pair's digit for its endpoints and path cells.
inline std::string gridText(const Board& board) {
    std::string text;
    for (int code = 0; code < cellCode(board.size, 0); ++code) {
        if (!isInside(board, code)) continue;
        if (code > 0 && columnOf(code) == 0) text += '/';
        text += cellOf(board, code) == emptyCell ? '.' : cellOf(board, code);
    }
    return text;
}

// Describes the first way in which `solution`, each cell the digit of the pair whose path covers
// it, is not a solution of `board`, or "": every cell holds a pair's digit, the endpoints their
// own, and each pair's cells make one path from its start endpoint to its target endpoint.
inline std::string solutionFault(const Board& board, const Grid& solution) {
    const auto walks = [&](const auto& self, int code, int target, char digit, int left,
                           std::array<bool, gridCells>& used) -> bool {
        if (code == target) return left == 0;
        for (const int step : {codeUp, codeDown, codeLeft, codeRight}) {
            const int next = code + step;
            if (!isInside(board, next) || cellAt(solution, next) != digit ||
                used[std::size_t(gridIndex(next))])
                continue;
            used[std::size_t(gridIndex(next))] = true;
            if (self(self, next, target, digit, left - 1, used)) return true;
            used[std::size_t(gridIndex(next))] = false;
        }
        return false;
    };
    int filled = 0; // cells that hold some pair's digit
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        const char digit = digitOf(pair);
        int cells = 0;
        for (int code = 0; code < cellCode(board.size, 0); ++code)
            cells += isInside(board, code) && cellAt(solution, code) == digit ? 1 : 0;
        filled += cells;
        std::array<bool, gridCells> used{};
        const int start = startOf(board.endpoints, pair);
        used[std::size_t(gridIndex(start))] = true;
        if (cellAt(solution, start) != digit ||
            !walks(walks, start, targetOf(board.endpoints, pair), digit, cells - 1, used))
            return "pair " + std::to_string(pair) + ": its cells are no path between its ends";
        for (int code = 0; code < cellCode(board.size, 0); ++code) {
            if (isInside(board, code) && cellOf(board, code) != emptyCell &&
                cellAt(solution, code) != cellOf(board, code))
                return "an endpoint lost its digit";
        }
    }
    return filled == board.size * board.size ? "" : "a cell of no pair";
}

// Describes the first way in which `cover` is not a full cover of `board`, or "": its routes, laid
// on the grid, must be a solution.
inline std::string coverFault(const Board& board, const Cover& cover) {
    if (int(cover.size()) != board.count / 2) return "not one route per pair";
    Grid laid{};
    for (std::size_t route = 0; route < cover.size(); ++route) {
        for (const int code : cover[route])
            if (isInside(board, code)) cellAt(laid, code) = digitOf(int(route) + 1);
    }
    return solutionFault(board, laid);
}

// Calls `visit(board, odds)` with every placement createArray can draw on `board` (its side and
// count set, every endpoint entry from `endpoint` on still to place) and the probability that it
// draws it: each endpoint uniform over the free cells, a target over those not beside its start.
template <typename Visit>
void forEachDraw(Board& board, Visit&& visit, int endpoint = 0, double odds = 1) {
    if (endpoint == board.count) {
        visit(std::as_const(board), odds);
        return;
    }
    const int start = board.endpoints[std::size_t(endpoint - endpoint % 2)];
    std::vector<int> cells;
    for (int code = 0; code < cellCode(board.size, 0); ++code) {
        if (isInside(board, code) && cellOf(board, code) == emptyCell &&
            (endpoint % 2 == 0 || !besideEachOther(code, start))) {
            cells.push_back(code);
        }
    }
    for (const int code : cells) {
        board.endpoints[std::size_t(endpoint)] = code;
        board.grid[std::size_t(gridIndex(code))] = digitOf(endpoint / 2 + 1);
        forEachDraw(board, visit, endpoint + 1, odds / double(cells.size()));
        board.grid[std::size_t(gridIndex(code))] = emptyCell;
    }
    board.endpoints[std::size_t(endpoint)] = 0;
}

// Describes the first broken rule of a board that createArray could have drawn, or "".
inline std::string generatedBoardFault(const Board& board, int size, int pairs) {
    if (board.size != size || board.count != 2 * pairs) return "wrong size or count";
    Board expected = board;
    expected.grid = {};
    for (int code = 0; code < cellCode(size, 0); ++code) {
        if (isInside(board, code)) expected.grid[std::size_t(gridIndex(code))] = emptyCell;
    }
    for (int entry = 0; entry < board.count; ++entry) {
        const int code = board.endpoints[std::size_t(entry)];
        if (!isInside(board, code) || cellOf(expected, code) != emptyCell) {
            return "endpoint off the grid or on another";
        }
        expected.grid[std::size_t(gridIndex(code))] = digitOf(entry / 2 + 1);
        const int apart = std::abs(code - board.endpoints[std::size_t(entry - entry % 2)]);
        if (entry % 2 == 1 && (apart == 1 || apart == 10)) return "a pair's ends are side by side";
    }
    for (auto entry = std::size_t(board.count); entry < board.endpoints.size(); ++entry) {
        if (board.endpoints[entry] != 0) return "entry beyond count is not 0";
    }
    return board.grid == expected.grid ? "" : "the grid is not its endpoints";
}

// Describes the first way in which the live grid and the path lists disagree, or "" when they
// agree: path cells hold their pair's digit, no cell is in two lists, endpoints keep their
// digits, links agree both ways, and an entry is its head exactly when the pair has no path.
inline std::string pathsFault(const Board& live, const Paths& paths) {
    std::array<bool, gridCells> isPathCell{};
    int pathCells = 0;
    int beingDrawn = 0; // pairs with path cells whose entry is still their head
    for (int pair = 1; pair <= live.count / 2; ++pair) {
        const std::string name = "pair " + std::to_string(pair) + ": ";
        const char digit = digitOf(pair);
        if (cellOf(live, startOf(live.endpoints, pair)) != digit ||
            cellOf(live, targetOf(live.endpoints, pair)) != digit) {
            return name + "an endpoint lost its digit";
        }
        Node* const entry = paths[std::size_t(pair - 1)];
        Node* head = entry;
        for (int steps = 0; head->prev != nullptr; ++steps, head = head->prev) {
            if (steps > live.size * live.size) return name + "the list runs in a circle";
        }
        bool entryFound = entry == head && head->pos == -1;
        for (Node* node = head; node->next != nullptr; node = node->next) {
            const int code = node->next->pos;
            if (node->next->prev != node || !isInside(live, code) || cellOf(live, code) != digit ||
                isPathCell[std::size_t(gridIndex(code))]) {
                return name + "a path node disagrees with its list or the grid";
            }
            isPathCell[std::size_t(gridIndex(code))] = true;
            ++pathCells;
            entryFound = entryFound || node->next == entry;
        }
        if (!entryFound || (entry != head && entry->next != nullptr)) {
            return name + "its entry is not its head or tail";
        }
        if (entry == head && head->next != nullptr && ++beingDrawn > 1) {
            return name + "a second unfinished path";
        }
    }
    int digits = 0; // every digit on the grid is an endpoint or a path node's cell
    for (int code = 0; code < cellCode(live.size, 0); ++code)
        digits += isInside(live, code) && cellOf(live, code) != emptyCell ? 1 : 0;
    return digits == live.count + pathCells ? "" : "a digit on the grid without a path node";
}

// Standard input over `text`, read one character at a time, that calls `atLineStart` whenever
// the game starts reading a new line, so a check sees the game between any two answers.
class CheckedInput : public std::streambuf {
  public:
    CheckedInput(std::string_view typed, std::function<void()> check)
        : text(typed), atLineStart(std::move(check)) {}

  protected:
    int_type underflow() override {
        return at == text.size() ? traits_type::eof() : traits_type::to_int_type(text[at]);
    }
    int_type uflow() override {
        if (at == text.size()) return traits_type::eof();
        if (lineStart) atLineStart();
        lineStart = text[at] == '\n';
        return traits_type::to_int_type(text[at++]);
    }

  private:
    std::string_view text;
    std::function<void()> atLineStart;
    std::size_t at = 0;
    bool lineStart = true;
};

} // namespace pairpath::testing
