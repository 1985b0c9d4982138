// The records kept between full-screen games: for each grid side, pair count and choice of
// one-answer puzzles, the games won, the best time and the fewest moves. They live in one text
// file, one line a choice, which every change replaces whole under a lock, so that no win is
// lost, not even when two games end at the same moment. Nothing here stops the game: whatever
// goes wrong with the file comes back as a short note for the status line.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace pairpath {

// A choice of game: the grid side, the number of pairs, and whether puzzles had one answer.
struct RecordKey {
    int size = 0;
    int pairs = 0;
    bool unique = false;
    bool operator==(const RecordKey&) const = default;
};

// The wins of one choice.
struct Record {
    RecordKey key;
    int won = 0;
    long bestSeconds = 0;
    int fewestMoves = 0;
};

// $XDG_STATE_HOME/pairpath/records, or $HOME/.local/state/pairpath/records when XDG_STATE_HOME
// is unset, empty or not an absolute path; empty when HOME is unset or empty as well.
std::filesystem::path recordsFile();

// Adds one win of `key`, in `seconds` and `moves`, to the records in `file`, creating its folders
// (mode 0700) as needed. Returns a note for the status line, or "" when the win was kept. A file
// that cannot be read as records is moved aside, under a name no file has, and a fresh file
// holds this win; the note names where the old one went.
std::string recordWin(const std::filesystem::path& file, RecordKey key, long seconds, int moves);

// Writes the records in `file` to `out` for --records: one line a choice, by side, then pairs,
// then one-answer puzzles last, or a line saying no game was won. A file that cannot be read
// or is damaged is left as it is, with one line on `err`. Returns the exit status: 0, or 1
// after a line on `err`.
int printRecords(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

} // namespace pairpath
