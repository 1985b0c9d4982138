// Puzzle creation: the random generator and the reference solvability search, with the plain
// dump of a board. Nothing here reads input; only the dump writes anything.

#include "pairpath/core/generate.hpp"

#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <utility>

namespace pairpath {

// --- Generator ---

namespace {

// While placing, endpoint codes count rows and columns from 1, so 0 marks a free table entry,
// and grid cells hold raw pair numbers.
constexpr int workingOffset = cellCode(1, 1);

// A cell already holds an endpoint exactly when the endpoint table lists its working code;
// reading the cell gives the same answer as walking the table.
bool isPlaced(const Grid& grid, int row, int column) {
    return cellAt(grid, cellCode(row - 1, column - 1)) != 0;
}

// A target endpoint is never drawn beside its own pair's start endpoint. Working codes keep
// the steps of cell codes, and a step off the playing area names no cell at all.
bool besideOwnStart(const Endpoints& endpoints, int endpoint, int workingCode) {
    if (endpoint % 2 == 0) return false;
    return besideEachOther(endpoints[static_cast<std::size_t>(endpoint - 1)], workingCode);
}

} // namespace

Board createArray(int size, int pairs) {
    Board board;
    board.size = size;
    board.count = 2 * pairs;
    for (int endpoint = 0; endpoint < board.count; ++endpoint) {
        int column = 0;
        int row = 0;
        int workingCode = 0;
        do {
            column = std::rand() % size + 1;
            row = std::rand() % size + 1;
            workingCode = cellCode(row, column);
        } while (isPlaced(board.grid, row, column) ||
                 besideOwnStart(board.endpoints, endpoint, workingCode));
        board.endpoints[static_cast<std::size_t>(endpoint)] = workingCode;
        cellAt(board.grid, cellCode(row - 1, column - 1)) = static_cast<char>(endpoint / 2 + 1);
    }
    for (int endpoint = 0; endpoint < board.count; ++endpoint) {
        board.endpoints[static_cast<std::size_t>(endpoint)] -= workingOffset;
    }
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            cellAt(board.grid, cellCode(row, column)) += emptyCell;
        }
    }
    return board;
}

// --- Reference search ---
//
// A depth-first walk over the pairs in order, each routed from its start endpoint to its
// target endpoint, trying the neighbours down, up, right, left. The occupancy of the playing
// area is one 64-bit word passed by value, so backing out of a cell costs nothing. It prunes
// nothing: a board without a full cover costs a walk over every set of routes.

namespace {

int Num = 0;  // index of the pair being routed
int step = 0; // 0 until the current route has entered its first cell
// Calls the search may still make; a call that finds none left sets it to -1 and gives up, and
// so does every call after it. Only solutionWithin, for the tests, sets a real bound.
std::int64_t callsLeft = 0;

// Neighbours in the order tried: down, up, right, left.
constexpr auto referenceOrder =
    std::to_array<std::pair<int, int>>({{1, 0}, {-1, 0}, {0, 1}, {0, -1}});

int endpointRow(const Endpoints& endpoints, int entry) {
    return rowOf(endpoints[static_cast<std::size_t>(entry)]);
}
int endpointColumn(const Endpoints& endpoints, int entry) {
    return columnOf(endpoints[static_cast<std::size_t>(entry)]);
}

int runReference(const Board& board, std::int64_t maxCalls) {
    Num = 0;
    step = 0;
    callsLeft = maxCalls;
    const std::uint64_t fullMask = ~std::uint64_t{0} >> (64 - board.size * board.size);
    const Endpoints& endpoints = board.endpoints;
    const std::uint64_t found =
        pointTpoint(exchange(board.grid, board.size), endpointRow(endpoints, 0),
                    endpointColumn(endpoints, 0), endpointRow(endpoints, 1),
                    endpointColumn(endpoints, 1), board.size, board.count / 2, fullMask, endpoints);
    return found != 0 ? 1 : 0;
}

} // namespace

std::uint64_t exchange(const Grid& grid, int size) {
    std::uint64_t mask = 0;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            if (cellAt(grid, cellCode(row, column)) != emptyCell) {
                mask |= std::uint64_t{1} << (row * size + column);
            }
        }
    }
    return mask;
}

std::uint64_t pointTpoint(std::uint64_t mask, int row, int column, int targetRow, int targetColumn,
                          int size, int pairs, std::uint64_t fullMask, const Endpoints& endpoints) {
    if (callsLeft <= 0) {
        callsLeft = -1;
        return 0;
    }
    --callsLeft;
    if (row < 0 || column < 0 || row >= size || column >= size) return 0;

    if (row == targetRow && column == targetColumn) {
        ++Num;
        if (Num == pairs) {
            if (mask == fullMask) {
                step = 0;
                return mask;
            }
            --Num;
            return 0;
        }
        step = 0;
        const std::uint64_t found =
            pointTpoint(mask, endpointRow(endpoints, 2 * Num), endpointColumn(endpoints, 2 * Num),
                        endpointRow(endpoints, 2 * Num + 1), endpointColumn(endpoints, 2 * Num + 1),
                        size, pairs, fullMask, endpoints);
        if (found == 0) --Num;
        return found;
    }

    const std::uint64_t cell = std::uint64_t{1} << (row * size + column);
    const bool routeBegins =
        cellCode(row, column) == endpoints[static_cast<std::size_t>(2 * Num)] && step == 0;
    if ((mask & cell) != 0 && !routeBegins) return 0;

    mask |= cell;
    step = 1;
    for (const auto& [rowStep, columnStep] : referenceOrder) {
        const std::uint64_t found = pointTpoint(mask, row + rowStep, column + columnStep, targetRow,
                                                targetColumn, size, pairs, fullMask, endpoints);
        if (found != 0) return found;
    }
    return 0;
}

int solution(Board board) { return runReference(board, std::numeric_limits<std::int64_t>::max()); }

std::optional<int> solutionWithin(const Board& board, std::int64_t maxCalls) {
    const int answer = runReference(board, maxCalls);
    if (callsLeft < 0) return std::nullopt;
    return answer;
}

// --- Plain dump ---

void print(Board board) {
    std::string text;
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < board.size; ++column) {
            text += ' ';
            text += cellAt(board.grid, cellCode(row, column));
        }
        text += '\n';
    }
    std::cout << text;
}

} // namespace pairpath
