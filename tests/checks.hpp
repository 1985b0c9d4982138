// Helpers shared by the tests and the fuzzer: boards written as text, checks made independently
// of the game's own code (a generated board, a solution, the grid against the path lists), and
// an input that runs a check whenever the game starts reading a new line.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/core/messages.hpp"
#include "pairpath/core/search.hpp"
#include "pairpath/play/rules.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pairpath::testing {

// A text of the game's table as the line dialogue writes it: the text, then a newline.
template <typename... Values> std::string line(Message message, const Values&... values) {
    return messageText(message, values...) + '\n';
}

// FNV-1a, 64 bits: a fingerprint of bytes that must never change.
constexpr std::uint64_t fingerprint(std::string_view bytes,
                                    std::uint64_t hash = 0xcbf29ce484222325) {
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
    return hash;
}

// A fresh folder under the system's temporary one, removed with all it holds at the end.
struct TempFolder {
    std::filesystem::path path = [] {
        std::string name = (std::filesystem::temp_directory_path() / "pairpath-XXXXXX").string();
        return ::mkdtemp(name.data()) == nullptr ? std::filesystem::path()
                                                 : std::filesystem::path(name);
    }();
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

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
// The cell codes of the playing area, in reading order.
inline std::vector<int> cellsOf(const Board& board) {
    std::vector<int> codes;
    for (int code = 0; code < cellCode(board.size, 0); ++code)
        if (isInside(board, code)) codes.push_back(code);
    return codes;
}

// A board drawn as text, its rows parted by '/': '.' is an empty cell, a digit an endpoint of
// that pair. The first occurrence of a digit, in reading order, is the pair's start endpoint.
inline Board boardFromText(std::string_view text) {
    Board board;
    board.size = int(text.find('/'));
    std::array<int, maxPairs + 1> seen{};
    for (const int code : cellsOf(board)) {
        const char cell = text[std::size_t(rowOf(code) * (board.size + 1) + columnOf(code))];
        cellAt(board.grid, code) = cell == '.' ? emptyCell : cell;
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
    for (const int code : cellsOf(board)) {
        if (code > 0 && columnOf(code) == 0) text += '/';
        text += cellAt(board.grid, code) == emptyCell ? '.' : cellAt(board.grid, code);
    }
    return text;
}

// Describes the first way in which `solution`, each cell the digit of the pair whose path covers
// it, is not a solution of `board`, or "": every cell holds a pair's digit, and each pair's cells
// make one path from its start endpoint to its target endpoint.
inline std::string solutionFault(const Board& board, const Grid& solution) {
    const auto walks = [&](const auto& self, int code, int target, int left,
                           std::uint64_t used) -> bool {
        if (code == target) return left == 0;
        return std::ranges::any_of(
            std::array{codeUp, codeDown, codeLeft, codeRight}, [&](int step) {
                const int next = code + step;
                if (!isInside(board, next) || cellAt(solution, next) != cellAt(solution, code))
                    return false;
                const std::uint64_t bit = std::uint64_t{1} << gridIndex(next);
                return (used & bit) == 0 && self(self, next, target, left - 1, used | bit);
            });
    };
    int filled = 0; // cells that hold some pair's digit
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        int cells = 0;
        for (const int code : cellsOf(board))
            cells += cellAt(solution, code) == digitOf(pair) ? 1 : 0;
        filled += cells;
        const int start = startOf(board.endpoints, pair);
        if (cellAt(solution, start) != digitOf(pair) ||
            !walks(walks, start, targetOf(board.endpoints, pair), cells - 1,
                   std::uint64_t{1} << gridIndex(start)))
            return "pair " + std::to_string(pair) + ": its cells are no path between its ends";
    }
    return filled == board.size * board.size ? "" : "a cell of no pair";
}

// Describes the first way in which `cover` is not a full cover of `board`, or "": each route runs
// from its pair's start endpoint to its target a step at a time, the routes hold as many cells as
// the grid, and laid on it they are a solution.
inline std::string coverFault(const Board& board, const Cover& cover) {
    if (int(cover.size()) != board.count / 2) return "not one route per pair";
    Grid laid{};
    std::size_t cells = 0;
    for (std::size_t route = 0; route < cover.size(); ++route) {
        const std::vector<int>& steps = cover[route];
        const int pair = int(route) + 1;
        if (steps.front() != startOf(board.endpoints, pair) ||
            steps.back() != targetOf(board.endpoints, pair))
            return "a route that does not run from its start to its target";
        for (std::size_t at = 0; at < steps.size(); ++at) {
            if (at > 0 && !besideEachOther(steps[at - 1], steps[at])) return "a route that jumps";
            if (isInside(board, steps[at])) cellAt(laid, steps[at]) = digitOf(pair);
        }
        cells += steps.size();
    }
    if (cells != std::size_t(board.size * board.size)) return "cells left out or taken twice";
    return solutionFault(board, laid);
}

// Calls `visit(board, odds)` with every placement createArray can draw on `board` (its side and
// count set, every endpoint entry from `endpoint` on still to place) and the probability that it
// draws it: each endpoint uniform over the free cells, a target over those not beside its start.
template <typename Visit>
void forEachDraw(Board& board, Visit&& visit, int endpoint = 0, double odds = 1) {
    if (endpoint == board.count) return visit(std::as_const(board), odds);
    const int start = board.endpoints[std::size_t(endpoint - endpoint % 2)];
    std::vector<int> cells;
    for (const int code : cellsOf(board)) {
        if (cellAt(board.grid, code) == emptyCell &&
            (endpoint % 2 == 0 || !besideEachOther(code, start)))
            cells.push_back(code);
    }
    for (const int code : cells) {
        board.endpoints[std::size_t(endpoint)] = code;
        cellAt(board.grid, code) = digitOf(endpoint / 2 + 1);
        forEachDraw(board, visit, endpoint + 1, odds / double(cells.size()));
        cellAt(board.grid, code) = emptyCell;
    }
    board.endpoints[std::size_t(endpoint)] = 0;
}

// Describes the first way in which the live grid and the path lists disagree, or "" when they
// agree: laid again from the endpoints and the lists, with no cell laid twice, the grid is the
// same; links agree both ways, and an entry is its head exactly when the pair has no path.
inline std::string pathsFault(const Board& live, const Paths& paths) {
    Grid laid{};
    for (const int code : cellsOf(live))
        cellAt(laid, code) = emptyCell;
    for (int entry = 0; entry < live.count; ++entry)
        cellAt(laid, live.endpoints[std::size_t(entry)]) = digitOf(entry / 2 + 1);
    int beingDrawn = 0; // pairs with path cells whose entry is still their head
    for (int pair = 1; pair <= live.count / 2; ++pair) {
        const std::string name = "pair " + std::to_string(pair) + ": ";
        Node* const entry = paths[std::size_t(pair - 1)];
        Node* head = entry;
        for (int steps = 0; head->prev != nullptr; ++steps, head = head->prev) {
            if (steps > live.size * live.size) return name + "the list runs in a circle";
        }
        bool entryFound = entry == head && head->pos == -1;
        for (Node* node = head; node->next != nullptr; node = node->next) {
            const int code = node->next->pos;
            if (node->next->prev != node || !isInside(live, code) ||
                cellAt(laid, code) != emptyCell)
                return name + "a path node off its list, off the grid or on a cell laid already";
            cellAt(laid, code) = digitOf(pair);
            entryFound = entryFound || node->next == entry;
        }
        if (!entryFound || (entry != head && entry->next != nullptr))
            return name + "its entry is not its head or tail";
        if (entry == head && head->next != nullptr && ++beingDrawn > 1)
            return name + "a second unfinished path";
    }
    return laid == live.grid ? "" : "the grid differs from its endpoints and paths";
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
        if (at == 0 || text[at - 1] == '\n') atLineStart();
        return traits_type::to_int_type(text[at++]);
    }

  private:
    std::string_view text;
    std::function<void()> atLineStart;
    std::size_t at = 0;
};

} // namespace pairpath::testing
