// The game in progress, kept in the state folder after every change with the same care as the
// records, so that no way out loses it: the puzzle, every path drawn, the moves, the hints and
// the time played. Nothing here writes words: what went wrong comes back as a FileTrouble.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/play/position.hpp"
#include "pairpath/reason/trials.hpp"
#include "pairpath/records/state_files.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace pairpath {

inline constexpr std::string_view savedGameName = "game"; // the file, in the state folder

struct SavedGame {
    Board puzzle; // its endpoints as they stand in `position`
    Answers answers = Answers::any;
    std::optional<Grade> grade; // asked for
    std::optional<Date> daily;  // the day, for the puzzle of a day
    Position position;
    int moves = 0;
    int hints = 0;
    std::int64_t playedMilliseconds = 0;
};

// Keeps `game` in `file` under its lock, replacing what was there; `afterStep` as replaceWhole.
FileTrouble saveGame(const std::filesystem::path& file, const SavedGame& game,
                     AfterStep afterStep = nullptr);

// The game kept in `file`, if there is one. A file that is not a game that can stand (its text out
// of form, a board or path the game could not have) is damage: Trouble::damaged, and no game.
struct GameRead {
    std::optional<SavedGame> game;
    FileTrouble trouble;
};
GameRead readSavedGame(const std::filesystem::path& file);

// Under the lock: removes the game kept (it was won), or moves a damaged one aside, bytes intact.
FileTrouble forgetGame(const std::filesystem::path& file);
MovedAside setGameAside(const std::filesystem::path& file);

} // namespace pairpath
