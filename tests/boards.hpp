// Helpers shared by the tests: boards written as text and an independent check of a cover.
#pragma once

#include "pairpath.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace pairpath::testing {

// A board drawn as rows of text: '.' is an empty cell, a digit an endpoint of that pair. The
// first occurrence of a digit, in reading order, is the pair's start endpoint.
inline Board boardFromText(const std::vector<std::string_view>& rows) {
    Board board;
    board.size = static_cast<int>(rows.size());
    std::array<int, maxPairs + 1> seen{};
    int row = 0;
    for (const std::string_view text : rows) {
        for (int column = 0; column < board.size; ++column) {
            const char cell = text[std::size_t(column)];
            const int code = cellCode(row, column);
            board.grid[std::size_t(gridIndex(code))] = cell == '.' ? emptyCell : cell;
            if (cell == '.') continue;
            const int pair = cell - '0';
            board.endpoints[std::size_t(2 * pair - 2 + seen[std::size_t(pair)]++)] = code;
            board.count = std::max(board.count, 2 * pair);
        }
        ++row;
    }
    return board;
}

// Describes the first way in which `cover` is not a full cover of `board`, or "" if it is one.
inline std::string coverFault(const Board& board, const Cover& cover) {
    const int pairs = board.count / 2;
    if (static_cast<int>(cover.size()) != pairs) return "wrong number of routes";
    std::array<bool, gridCells> covered{};
    for (int pair = 1; pair <= pairs; ++pair) {
        const auto& route = cover[std::size_t(pair - 1)];
        const std::string name = "route " + std::to_string(pair) + ": ";
        if (route.size() < 2 || route.front() != board.endpoints[std::size_t(2 * pair - 2)] ||
            route.back() != board.endpoints[std::size_t(2 * pair - 1)]) {
            return name + "does not run from start to target";
        }
        for (std::size_t i = 0; i < route.size(); ++i) {
            const int code = route[i];
            if (code < 0 || rowOf(code) >= board.size || columnOf(code) >= board.size) {
                return name + "leaves the grid";
            }
            const bool isEnd = i == 0 || i + 1 == route.size();
            if (!isEnd && board.grid[std::size_t(gridIndex(code))] != emptyCell) {
                return name + "runs over a held cell";
            }
            if (covered[std::size_t(gridIndex(code))]) return name + "shares a cell";
            covered[std::size_t(gridIndex(code))] = true;
            if (i > 0) {
                const int step = std::abs(code - route[i - 1]);
                if (step != 1 && step != 10) return name + "jumps";
            }
        }
    }
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < board.size; ++column) {
            if (!covered[std::size_t(row * gridStride + column)]) return "a cell is not covered";
        }
    }
    return "";
}

// Describes the first broken invariant of a generated board, or "" when all hold.
inline std::string generatedBoardFault(const Board& board, int size, int pairs) {
    if (board.size != size || board.count != 2 * pairs) return "wrong size or count";
    for (int entry = board.count; entry < int(board.endpoints.size()); ++entry) {
        if (board.endpoints[std::size_t(entry)] != 0) return "entry beyond count is not 0";
    }
    std::array<int, maxPairs + 1> cellsPerPair{};
    for (int row = 0; row < gridStride; ++row) {
        for (int column = 0; column < gridStride; ++column) {
            const char cell = board.grid[std::size_t(row * gridStride + column)];
            if (row >= size || column >= size) {
                if (cell != 0) return "byte outside the playing area is not zero";
                continue;
            }
            if (cell == emptyCell) continue;
            if (cell < '1' || cell > digitOf(pairs)) return "cell holds an unknown character";
            ++cellsPerPair[std::size_t(cell - '0')];
        }
    }
    for (int pair = 1; pair <= pairs; ++pair) {
        if (cellsPerPair[std::size_t(pair)] != 2) return "a digit is not on exactly two cells";
        const int start = board.endpoints[std::size_t(2 * pair - 2)];
        const int target = board.endpoints[std::size_t(2 * pair - 1)];
        for (const int code : {start, target}) {
            if (rowOf(code) >= size || columnOf(code) >= size) return "endpoint off the grid";
            if (board.grid[std::size_t(gridIndex(code))] != digitOf(pair)) {
                return "endpoint cell does not hold its digit";
            }
        }
        const int apart = std::abs(start - target);
        if (apart == 1 || apart == 10) return "a pair's endpoints are side by side";
    }
    return "";
}

} // namespace pairpath::testing
