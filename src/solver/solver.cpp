// The solver: reads boards a line at a time, so that memory stays bounded whatever the input,
// checks each against the rules of a board, and answers it with the exact count of its solutions
// and one of them. A line longer than any row is refused as soon as it is seen.

#include "pairpath/solver/solver.hpp"

#include "pairpath/core/messages.hpp"
#include "pairpath/reason/trials.hpp"
#include "pairpath/sampler/fixed_ends.hpp"

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pairpath {

namespace {

constexpr int smallestSide = 2;
// Lines are read up to this length: a row of 8 cells and its blanks is 16 characters, so a longer
// line is no row, and the rest of it is never read.
constexpr std::size_t longestLine = 64;
constexpr int exitUnsolvable = 1;
constexpr int exitMalformed = 2;

struct Problem {
    int line = 0;
    std::string what;
};

// The next line of `input`, without its newline, in `line`; false at the end of the input. A
// carriage return before the newline is part of the line end, and a tab is a blank, as editors on
// other systems save boards. A line longer than any row stops being read there: `line` then holds
// longestLine + 1 characters.
bool readLine(std::istream& input, std::string& line) {
    line.clear();
    for (;;) {
        const auto next = input.get();
        if (next == std::char_traits<char>::eof()) return !line.empty(); // the end, or an error
        const char c = std::char_traits<char>::to_char_type(next);
        if (c == '\n') {
            if (line.ends_with('\r')) line.pop_back();
            return true;
        }
        line += c == '\t' ? ' ' : c;
        if (line.size() > longestLine) return true;
    }
}

std::string shown(char c) {
    if (c >= ' ' && c <= '~') return messageText(Message::printable, std::string(1, c));
    constexpr std::string_view hex = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    return messageText(Message::byte, std::string{hex[byte >> 4], hex[byte & 0xFU]});
}

bool isCell(char c) { return c == '.' || (c >= '1' && c <= '9'); }

// The cells of one row, or what is wrong with it.
std::optional<std::string> cellsOf(std::string_view line, std::string& problem) {
    if (line.size() > longestLine) {
        problem = messageText(Message::longLine);
        return std::nullopt;
    }
    std::string cells;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        const bool cellPlace = at % 2 == 0;
        if (cellPlace ? isCell(c) : c == ' ') {
            if (cellPlace) cells += c;
        } else if (isCell(c) || c == ' ') {
            problem = messageText(Message::blankParting);
            return std::nullopt;
        } else {
            problem = messageText(Message::unknownCharacter, shown(c));
            return std::nullopt;
        }
    }
    return cells;
}

// What is wrong with the digits of a board's rows, or "".
std::string digitProblem(const std::vector<std::string>& rows) {
    std::array<int, maxPairs + 1> seen{};
    for (const std::string& row : rows) {
        for (const char c : row) {
            if (c != '.') ++seen[std::size_t(c - '0')];
        }
    }
    int pairs = 0;
    for (int digit = 1; digit <= maxPairs; ++digit) {
        const int times = seen[std::size_t(digit)];
        if (times != 0 && times != 2) {
            return times == 1 ? messageText(Message::digitOnce, digit)
                              : messageText(Message::digitTimes, digit, times);
        }
        if (times == 2) pairs = digit;
    }
    for (int digit = 1; digit < pairs; ++digit) {
        if (seen[std::size_t(digit)] == 0) {
            return messageText(Message::digitMissing, digit, pairs);
        }
    }
    return "";
}

Board boardFromRows(const std::vector<std::string>& rows) {
    Board board;
    board.size = int(rows.size());
    std::array<int, maxPairs + 1> found{};
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < board.size; ++column) {
            const char c = rows[std::size_t(row)][std::size_t(column)];
            const int code = cellCode(row, column);
            cellAt(board.grid, code) = c == '.' ? emptyCell : c;
            if (c == '.') continue;
            const int pair = c - '0';
            board.endpoints[std::size_t(2 * pair - 2 + found[std::size_t(pair)]++)] = code;
            board.count = std::max(board.count, 2 * pair);
        }
    }
    return board;
}

void writeSolutions(std::ostream& output, const Board& board, const Solutions& solved) {
    output << messageText(Message::solutionsCount, countText(solved.count, false)) << '\n';
    if (solved.count == 1)
        output << messageText(Message::gradeLine, gradeName(gradeBoard(board))) << '\n';
    if (solved.count == 0) return;
    for (int row = 0; row < board.size; ++row) {
        for (int column = 0; column < board.size; ++column) {
            if (column > 0) output << ' ';
            output << cellAt(solved.solution, cellCode(row, column));
        }
        output << '\n';
    }
    // Each pair's route, so that it can be followed where its cells touch themselves.
    for (std::size_t pair = 0; pair < solved.routes.size(); ++pair) {
        std::string cells;
        for (const int code : solved.routes[pair])
            cells += messageText(Message::routeCell, rowOf(code), columnOf(code));
        output << messageText(Message::route, int(pair) + 1, cells) << '\n';
    }
}

// The boards being read: the rows of the current one, and what has been answered.
struct Reading {
    std::vector<std::string> rows;
    int firstLine = 0; // of the current board
    int boards = 0;
    bool allSolved = true;
};

// Answers the current board, which its last row or the input's end has closed.
std::optional<Problem> finishBoard(Reading& reading, std::ostream& output) {
    const auto side = reading.rows.front().size();
    if (reading.rows.size() != side) {
        return Problem{reading.firstLine,
                       messageText(Message::rowCount, side, reading.rows.size())};
    }
    if (std::string problem = digitProblem(reading.rows); !problem.empty())
        return Problem{reading.firstLine, std::move(problem)};
    const Board board = boardFromRows(reading.rows);
    if (reading.boards++ > 0) output << '\n';
    const Solutions solved = solveBoard(board);
    writeSolutions(output, board, solved);
    reading.allSolved = reading.allSolved && solved.count != 0;
    reading.rows.clear();
    return std::nullopt;
}

// Takes one line: a row of the current board, or the blank line after it.
std::optional<Problem> takeLine(Reading& reading, int number, std::string_view line,
                                std::ostream& output) {
    if (line.empty()) return reading.rows.empty() ? std::nullopt : finishBoard(reading, output);
    std::string problem;
    const auto cells = cellsOf(line, problem);
    if (!cells) return Problem{number, problem};
    const std::size_t width = cells->size();
    if (reading.rows.empty()) {
        if (width < smallestSide || width > maxSide) {
            return Problem{
                number, width == 1 ? messageText(Message::oneCellRow, smallestSide, maxSide)
                                   : messageText(Message::rowWidth, width, smallestSide, maxSide)};
        }
        reading.firstLine = number;
    } else if (width != reading.rows.front().size()) {
        return Problem{number,
                       messageText(Message::otherRowWidth, width, reading.rows.front().size())};
    } else if (reading.rows.size() == width) {
        return Problem{number, messageText(Message::extraRow, width)};
    }
    reading.rows.push_back(*cells);
    return std::nullopt;
}

} // namespace

int solveBoards(std::istream& input, std::string_view name, std::ostream& output,
                std::ostream& errors) {
    Reading reading;
    std::string line;
    int number = 0;
    std::optional<Problem> problem;
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF"; // some editors start a file so
    while (!problem && readLine(input, line)) {
        if (number == 0 && line.starts_with(byteOrderMark)) line.erase(0, byteOrderMark.size());
        problem = takeLine(reading, ++number, line, output);
    }
    if (!problem && input.bad()) problem = Problem{number + 1, messageText(Message::unreadable)};
    if (!problem && !reading.rows.empty()) problem = finishBoard(reading, output);
    if (!problem && reading.boards == 0) problem = Problem{1, messageText(Message::noBoard)};
    output.flush();
    if (problem) {
        errors << messageText(Message::solveProblem, name, problem->line, problem->what) << '\n';
        return exitMalformed;
    }
    return reading.allSolved ? 0 : exitUnsolvable;
}

} // namespace pairpath
