// The full screen's files: the records of its wins and the game in progress, both in the state
// folder, each through the records layer, which says what went wrong for this module to put in
// words. Nothing here stops the game: a file that cannot be kept only leaves a note.

#include "pairpath/screen/saving.hpp"

#include "pairpath/records/records.hpp"

#include <algorithm>

namespace pairpath {

namespace {

std::filesystem::path fileInStateFolder(std::string_view name) {
    const StateFolder folder = stateFolder();
    return folder.why ? std::filesystem::path() : folder.path / name;
}

// The bad lines a damaged records file had, for the status line: the first few, the rest counted.
std::string badLinesText(const std::vector<BadLine>& bad) {
    constexpr std::size_t named = 2;
    std::string lines;
    for (std::size_t at = 0; at < std::min(named, bad.size()); ++at) {
        if (at > 0) lines += ", ";
        lines += shortBadLineText(bad[at].line, bad[at].field, bad[at].sameAs);
    }
    if (bad.size() > named) lines = messageText(Message::listAnd, lines, bad.size() - named);
    return lines;
}

} // namespace

SavedGame savedOf(const FullScreenGame& game, std::chrono::steady_clock::time_point now) {
    SavedGame saved;
    saved.puzzle = game.live; // the grid's paths are not read back: the position holds them
    saved.answers = game.answers;
    saved.grade = game.difficulty;
    saved.daily = game.daily;
    saved.position = positionOf(game.live, game.paths, game.drawing);
    saved.moves = game.moves;
    saved.hints = game.hints;
    saved.playedMilliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(playedTime(game, now)).count();
    return saved;
}

void keepProgress(const FullScreenGame& game, std::optional<SavedGame>& last) {
    const std::filesystem::path file = fileInStateFolder(savedGameName);
    if (file.empty()) return;
    if (game.won) {
        static_cast<void>(forgetGame(file));
        last.reset();
        return;
    }
    SavedGame now = savedOf(game, std::chrono::steady_clock::now());
    if (last && last->position == now.position && last->moves == now.moves &&
        last->hints == now.hints)
        return;
    static_cast<void>(saveGame(file, now)); // a game that cannot be saved still plays
    last = std::move(now);
}

void recordTheWin(FullScreenGame& game) {
    const StateFolder folder = stateFolder();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(game.playTime);
    const std::filesystem::path file = folder.path / recordsName;
    const WinRecorded recorded =
        folder.why ? WinRecorded{folder.why, "", {}}
        : game.daily
            ? recordDailyWin(file, *game.daily, long(seconds.count()))
            : recordWin(file, {game.live.size, pairsOf(game), game.answers, game.difficulty},
                        long(seconds.count()), game.moves);
    if (recorded.trouble) {
        game.note = messageText(Message::recordsNotSaved,
                                troubleText(recorded.trouble.kind, recorded.trouble.error));
    } else if (!recorded.movedAside.empty()) {
        game.note =
            messageText(Message::recordsDamaged, badLinesText(recorded.bad), recorded.movedAside);
    }
}

std::optional<SavedGame> gameToTakeUp(std::string& note) {
    const std::filesystem::path file = fileInStateFolder(savedGameName);
    if (file.empty()) return std::nullopt;
    GameRead read = readSavedGame(file);
    if (read.trouble.kind == Trouble::damaged) {
        const MovedAside aside = setGameAside(file);
        note = aside.trouble ? messageText(Message::savedGameUnread)
                             : messageText(Message::savedGameDamaged, aside.name);
    }
    return std::move(read.game);
}

void takeUp(FullScreenGame& game, const SavedGame& saved) {
    setPosition(game.live, game.paths, game.drawing, saved.position);
    game.answers = saved.answers;
    game.difficulty = saved.grade;
    game.daily = saved.daily;
    game.moves = saved.moves;
    game.hints = saved.hints;
    game.started -= std::chrono::milliseconds(saved.playedMilliseconds);
}

} // namespace pairpath
