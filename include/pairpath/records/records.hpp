// The records kept between full-screen games: for each grid side, pair count and choice of
// answers, the games won, the best time and the fewest moves. They live in one text file, one
// line a choice, which every change replaces whole under a lock, so that no win is lost, not even
// when two games end at the same moment. Nothing here stops the game or writes words: what went
// wrong comes back as a FileTrouble for the front ends to tell.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/reason/trials.hpp"
#include "pairpath/records/state_files.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace pairpath {

inline constexpr std::string_view recordsName = "records"; // the file, in the state folder

// A choice of game: the grid side, the number of pairs, the answers its puzzles had and the grade
// asked for, if any.
struct RecordKey {
    int size = 0;
    int pairs = 0;
    Answers answers = Answers::any;
    std::optional<Grade> grade;
    bool operator==(const RecordKey&) const = default;
};

// The puzzles asked for, as the files write them: "any", "one", or a grade's name.
std::string_view answersText(Answers answers, std::optional<Grade> grade);
// Read back: the answers and the grade; none when the text is not one of those.
std::optional<std::pair<Answers, std::optional<Grade>>> answersOf(std::string_view text);

// The wins of one choice, read from `line` of the file (from 1).
struct Record {
    RecordKey key;
    int won = 0;
    long bestSeconds = 0;
    int fewestMoves = 0;
    int line = 0;
};

// The puzzles of the day won: how many days, the streak of days in a row up to the last day won,
// and the best time; read from `line` of the file.
struct DailyRecord {
    int days = 0;
    int streak = 0;
    Date last;
    long bestSeconds = 0;
    int line = 0;
};

// A line of the file that is not a record: the field at fault, by its name; or "" when the line
// is not the fields in their order, or, with `sameAs`, names the choice of that earlier line.
struct BadLine {
    int line = 0;
    std::string field;
    int sameAs = 0;
};

// What recording a win did: `trouble` says why it was not kept, if it was not; `movedAside` names
// where a damaged file went, when the win started a new one with its good lines, and `bad` its
// bad lines.
struct WinRecorded {
    FileTrouble trouble;
    std::string movedAside;
    std::vector<BadLine> bad;
};

// Adds one win of `key`, in `seconds` and `moves`, to the records in `file`, creating its folders
// (mode 0700) as needed. A file that cannot be read as records is moved aside, under a name no
// file has, and a fresh file holds this win.
WinRecorded recordWin(const std::filesystem::path& file, RecordKey key, long seconds, int moves);

// Adds a win of the puzzle of `day`, in `seconds`, to the puzzles of the day won: a day other than
// the last one won counts, and the day after it lengthens the streak.
WinRecorded recordDailyWin(const std::filesystem::path& file, Date day, long seconds);

// The good records in `file`, by side, then pairs, then answers; and what is wrong: the file
// cannot be read (Trouble::system), or it is damaged (Trouble::damaged) by its `bad` lines.
struct RecordsRead {
    std::vector<Record> records;
    std::optional<DailyRecord> daily;
    FileTrouble trouble;
    std::vector<BadLine> bad;
};
RecordsRead readRecords(const std::filesystem::path& file);

} // namespace pairpath
