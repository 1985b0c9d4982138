// What the full screen keeps for the player between games: each win among the records, and the
// game in progress, saved after every change so that any way out leaves it to be taken up again.
#pragma once

#include "pairpath/records/saved_game.hpp"
#include "pairpath/screen/state.hpp"

#include <optional>
#include <string>

namespace pairpath {

// The game as it would be saved now.
SavedGame savedOf(const FullScreenGame& game, std::chrono::steady_clock::time_point now);

// Saves `game` when its position, moves or hints changed since `last`, which it then updates.
// A game won is forgotten instead: there is nothing left to take up.
void keepProgress(const FullScreenGame& game, std::optional<SavedGame>& last);

// Keeps the win among the records; a note on the status line when they could not be kept, or
// were damaged and moved aside.
void recordTheWin(FullScreenGame& game);

// The saved game, if there is one that can be taken up. One that cannot be read is set aside
// whole, and `note` says where it went.
std::optional<SavedGame> gameToTakeUp(std::string& note);

// Sets a new game of the saved puzzle to where the saved one was.
void takeUp(FullScreenGame& game, const SavedGame& saved);

} // namespace pairpath
