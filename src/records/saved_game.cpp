// The saved game: written as text, a line a field, and read back strictly, so that a file the
// game did not write, or that would set a path on a cell it cannot have, is damage and never a
// game. The file:
//
//     pairpath game
//     side 5
//     pairs 4
//     answers any
//     daily none
//     endpoints 0,0 0,4 1,0 1,4 2,0 2,4 3,0 4,4
//     path 1 done 0,1 0,2 0,3
//     path 2 drawing 1,1
//     path 3 none
//     path 4 none
//     moves 4
//     hints 0
//     played 12500
//
// The endpoints stand pair by pair, the start first, as the game has them now; each path's cells
// in the order they were drawn; "done" for a connected pair, "drawing" for the one being drawn;
// the time played in milliseconds; "daily" names the day of a puzzle of the day, or none.

#include "pairpath/records/saved_game.hpp"

#include "pairpath/core/decimal.hpp"
#include "pairpath/records/records.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace pairpath {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t mostBytes = 4096; // more than any game: 64 cells of 4 bytes, and the rest
constexpr std::string_view heading = "pairpath game\n";
constexpr auto stateNames = std::to_array<std::string_view>({"none", "drawing", "done"});
constexpr int mostCount = std::numeric_limits<int>::max();

std::string cellText(int code) {
    return std::to_string(rowOf(code)) + ',' + std::to_string(columnOf(code));
}

std::string gameText(const SavedGame& game) {
    const Position& position = game.position;
    const int pairs = game.puzzle.count / 2;
    std::string text = std::string(heading) + "side " + std::to_string(game.puzzle.size) +
                       "\npairs " + std::to_string(pairs) + "\nanswers " +
                       std::string(answersText(game.answers, game.grade)) + "\ndaily " +
                       (game.daily ? dateText(*game.daily) : "none") + "\nendpoints";
    for (int entry = 0; entry < 2 * pairs; ++entry)
        text += ' ' + cellText(position.endpoints[std::size_t(entry)]);
    for (int pair = 1; pair <= pairs; ++pair) {
        const bool done = (position.connected >> (pair - 1) & 1U) != 0;
        const int state = done ? 2 : pair == position.drawing ? 1 : 0;
        text +=
            "\npath " + std::to_string(pair) + ' ' + std::string(stateNames[std::size_t(state)]);
        for (const int code : position.cells[std::size_t(pair - 1)])
            text += ' ' + cellText(code);
    }
    return text + "\nmoves " + std::to_string(game.moves) + "\nhints " +
           std::to_string(game.hints) + "\nplayed " + std::to_string(game.playedMilliseconds) +
           '\n';
}

// The words of the next line, which must begin with `key`; empty, and `good` false, when it does
// not.
struct Lines {
    std::string_view rest;
    bool good = true;

    std::vector<std::string_view> next(std::string_view key) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) good = false;
        if (!good) return {};
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        std::vector<std::string_view> words;
        for (std::size_t blank = line.find(' '); !line.empty(); blank = line.find(' ')) {
            words.push_back(line.substr(0, blank));
            line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
        }
        good = !words.empty() && words.front() == key;
        if (good) words.erase(words.begin());
        return words;
    }
    // The one number the next line holds, from `least` to `most`.
    template <typename Number> Number number(std::string_view key, Number least, Number most) {
        const auto words = next(key);
        const auto value = words.size() == 1 ? decimal(words[0], least, most) : std::nullopt;
        good = good && value.has_value();
        return value.value_or(least);
    }
};

// `word` as a cell "row,column" of a side x side grid, or -1.
int cellOf(std::string_view word, int side) {
    const std::size_t comma = word.find(',');
    if (comma == std::string_view::npos) return -1;
    const auto row = decimal(word.substr(0, comma), 0, side - 1);
    const auto column = decimal(word.substr(comma + 1), 0, side - 1);
    return row && column ? cellCode(*row, *column) : -1;
}

// The puzzle the endpoints make, with the endpoints on distinct cells and no pair's side by side.
std::optional<Board> puzzleOf(const std::vector<std::string_view>& words, int side, int pairs) {
    if (int(words.size()) != 2 * pairs) return std::nullopt;
    Board puzzle{side, {}, 2 * pairs, {}};
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column)
            cellAt(puzzle.grid, cellCode(row, column)) = emptyCell;
    }
    for (int entry = 0; entry < 2 * pairs; ++entry) {
        const int code = cellOf(words[std::size_t(entry)], side);
        if (code < 0 || cellAt(puzzle.grid, code) != emptyCell ||
            (entry % 2 == 1 && besideEachOther(code, puzzle.endpoints[std::size_t(entry - 1)])))
            return std::nullopt;
        puzzle.endpoints[std::size_t(entry)] = code;
        cellAt(puzzle.grid, code) = digitOf(entry / 2 + 1);
    }
    return puzzle;
}

// Reads the path lines into the position; false at the first that is out of form.
bool readPaths(Lines& lines, SavedGame& game) {
    const int pairs = game.puzzle.count / 2;
    for (int pair = 1; pair <= pairs; ++pair) {
        const auto words = lines.next("path");
        if (!lines.good || words.size() < 2 || words[0] != std::to_string(pair)) return false;
        const auto state = std::ranges::find(stateNames, words[1]) - stateNames.begin();
        if (state == std::ssize(stateNames)) return false;
        if (state == 1) game.position.drawing = pair;
        if (state == 2) game.position.connected |= 1U << (pair - 1);
        for (std::size_t at = 2; at < words.size(); ++at) {
            const int code = cellOf(words[at], game.puzzle.size);
            if (code < 0) return false;
            game.position.cells[std::size_t(pair - 1)].push_back(code);
        }
    }
    return true;
}

std::optional<SavedGame> gameOf(std::string_view text) {
    if (!text.starts_with(heading)) return std::nullopt;
    Lines lines{text.substr(heading.size())};
    SavedGame game;
    const int side = lines.number("side", minSide, maxSide);
    const int pairs = lines.number("pairs", minPairs, std::min(maxPairs, mostPairsFor(side)));
    const auto answers = lines.next("answers");
    const auto named = answersOf(answers.empty() ? "" : answers[0]);
    if (!lines.good || answers.size() != 1 || !named) return std::nullopt;
    game.answers = named->first;
    game.grade = named->second;
    const auto daily = lines.next("daily");
    if (!lines.good || daily.size() != 1) return std::nullopt;
    game.daily = dateOf(daily[0]);
    if (!game.daily && daily[0] != "none") return std::nullopt;
    const auto puzzle = puzzleOf(lines.next("endpoints"), side, pairs);
    if (!lines.good || !puzzle) return std::nullopt;
    game.puzzle = *puzzle;
    game.position.endpoints = puzzle->endpoints;
    if (!readPaths(lines, game)) return std::nullopt;
    game.moves = lines.number("moves", 0, mostCount);
    game.hints = lines.number("hints", 0, mostCount);
    game.playedMilliseconds =
        lines.number<std::int64_t>("played", 0, std::numeric_limits<std::int64_t>::max());
    if (!lines.good || !lines.rest.empty() || !fitsPuzzle(game.position, game.puzzle))
        return std::nullopt;
    return game;
}

} // namespace

FileTrouble saveGame(const fs::path& file, const SavedGame& game, AfterStep afterStep) {
    const FileLock lock(file);
    if (lock.trouble) return lock.trouble;
    return replaceWhole(file, gameText(game), afterStep);
}

GameRead readSavedGame(const fs::path& file) {
    const Contents contents = readUpTo(file, mostBytes);
    if (contents.trouble || contents.bytes.empty()) return {std::nullopt, contents.trouble};
    auto game = gameOf(contents.bytes);
    if (!game) return {std::nullopt, {Trouble::damaged}};
    return {std::move(game), {}};
}

FileTrouble forgetGame(const fs::path& file) {
    const FileLock lock(file);
    if (lock.trouble) return lock.trouble;
    return ::unlink(file.c_str()) == 0 || errno == ENOENT ? FileTrouble{} : systemTrouble(errno);
}

MovedAside setGameAside(const fs::path& file) {
    const FileLock lock(file);
    if (lock.trouble) return {"", lock.trouble};
    return moveAside(file);
}

} // namespace pairpath
