// The records file: reading it strictly, so that anything but records counts as damage, and
// adding a win under a lock, the file replaced whole.
//
// The file is text, one line a choice, sorted by side, then pairs, then answers, then the puzzles
// of the day won, on a line of their own:
//
//     side=5 pairs=4 answers=any won=3 best=21 moves=21
//     daily days=12 streak=3 last=2026-12-07 best=75
//
// side is 5 to 8; pairs 4 to 9, and no more than the side holds; answers is "any", "one" for
// one-answer puzzles (--unique), or the grade asked for (--difficulty); won is the games won, at
// least 1; best is the best time in seconds, no more than the game's clock can count, and moves
// the fewest moves. Numbers are decimal digits, without a sign. The fields come in this order,
// parted by one blank, and every line ends with a newline. No two lines name the same choice.
// Anything else is damage: a line longer than `longestLine`, a number too large for its field,
// any other byte. A damaged file is never lost: a win sets it aside whole, and its good lines
// carry on in the new file. A file holds at most one line for each of the 138 choices and the
// puzzles of the day, so one longer than `mostBytes` always has a bad line within its first
// `mostBytes`, and no more is ever read.

#include "pairpath/records/records.hpp"

#include "pairpath/core/decimal.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <limits>
#include <optional>
#include <string_view>
#include <tuple>

namespace pairpath {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t longestLine = 100; // the longest good line has 86 characters
constexpr std::size_t mostBytes = 16384; // more than 139 lines of `longestLine`
constexpr int mostCount = std::numeric_limits<int>::max();
// The most seconds a win can take: the game's clock counts nanoseconds in 64 bits.
constexpr long mostSeconds =
    long(std::chrono::duration_cast<std::chrono::seconds>(std::chrono::nanoseconds::max()).count());
constexpr auto fieldNames =
    std::to_array<std::string_view>({"side=", "pairs=", "answers=", "won=", "best=", "moves="});
constexpr auto dailyNames =
    std::to_array<std::string_view>({"daily", "days=", "streak=", "last=", "best="});

// The records of a file, sorted, the puzzles of the day won, and the lines that are not records.
struct Reading {
    std::vector<Record> records;
    std::optional<DailyRecord> daily;
    std::vector<BadLine> bad;
};

// Where a record goes in the file: by side, then pairs, then one-answer puzzles last.
std::tuple<int, int, Answers, std::optional<Grade>> place(const Record& record) {
    return {record.key.size, record.key.pairs, record.key.answers, record.key.grade};
}

} // namespace

std::string_view answersText(Answers answers, std::optional<Grade> grade) {
    if (grade) return gradeName(*grade);
    return answers == Answers::one ? "one" : "any";
}

std::optional<std::pair<Answers, std::optional<Grade>>> answersOf(std::string_view text) {
    if (text == "any" || text == "one")
        return std::pair{text == "one" ? Answers::one : Answers::any, std::optional<Grade>()};
    if (const auto grade = gradeOfName(text)) return std::pair{Answers::one, grade};
    return std::nullopt;
}

namespace {

bool goodKey(const RecordKey& key) {
    return key.size >= minSide && key.size <= maxSide && key.pairs >= minPairs &&
           key.pairs <= std::min(maxPairs, mostPairsFor(key.size)) &&
           (!key.grade || key.answers == Answers::one);
}

// The values of the fields of `line`, named in order by `names`, parted by one blank; nothing
// when the line is not these fields.
template <std::size_t count>
std::optional<std::array<std::string_view, count>>
fieldsOf(std::string_view line, const std::array<std::string_view, count>& names) {
    std::array<std::string_view, count> values;
    for (std::size_t field = 0; field < count; ++field) {
        const bool last = field + 1 == count;
        const std::size_t end = last ? line.size() : line.find(' ');
        if (end == std::string_view::npos || !line.starts_with(names[field])) return {};
        values.at(field) = line.substr(names[field].size(), end - names[field].size());
        line.remove_prefix(last ? end : end + 1);
    }
    return values;
}

// The name of the first field of `names` whose value `good` refuses, without its '='; "".
template <std::size_t count>
std::string_view fieldAtFault(const std::array<bool, count>& good,
                              const std::array<std::string_view, count>& names) {
    const auto* bad = std::ranges::find(good, false);
    if (bad == good.end()) return "";
    const std::string_view name = names[std::size_t(bad - good.begin())];
    return name.substr(0, name.size() - 1);
}

// The record on `line`, its newline left out, or what is wrong with it: the name of the field at
// fault, or "" when the line is not the fields in their order.
struct LineRead {
    std::optional<Record> record;
    std::string_view fault;
};
LineRead recordOn(std::string_view line) {
    const auto fields = fieldsOf(line, fieldNames);
    if (!fields) return {};
    const auto& values = *fields;
    const auto answers = answersOf(values[2]);
    const std::array<bool, fieldNames.size()> good{
        decimal<long>(values[0], minSide, maxSide).has_value(),
        decimal<long>(values[1], minPairs, maxPairs).has_value(),
        answers.has_value(),
        decimal<long>(values[3], 1, mostCount).has_value(),
        decimal<long>(values[4], 0, mostSeconds).has_value(),
        decimal<long>(values[5], 0, mostCount).has_value()};
    if (const std::string_view fault = fieldAtFault(good, fieldNames); !fault.empty())
        return {{}, fault};
    const RecordKey key{int(*decimal<long>(values[0], minSide, maxSide)),
                        int(*decimal<long>(values[1], minPairs, maxPairs)), answers->first,
                        answers->second};
    if (!goodKey(key)) return {{}, "pairs"}; // more pairs than the side holds
    return {Record{key, int(*decimal<long>(values[3], 1, mostCount)),
                   *decimal<long>(values[4], 0, mostSeconds),
                   int(*decimal<long>(values[5], 0, mostCount))},
            ""};
}

// The puzzles of the day won, on `line`, its newline left out, or the field at fault ("" when the
// line is not these fields).
struct DailyRead {
    std::optional<DailyRecord> daily;
    std::string_view fault;
};
DailyRead dailyOn(std::string_view line) {
    const auto fields = fieldsOf(line, dailyNames);
    if (!fields) return {};
    const auto& values = *fields;
    const auto days = decimal<long>(values[1], 1, mostCount);
    const auto streak = decimal<long>(values[2], 1, days.value_or(1));
    const auto last = dateOf(values[3]);
    const auto best = decimal<long>(values[4], 0, mostSeconds);
    const std::array<bool, dailyNames.size()> good{values[0].empty(), days.has_value(),
                                                   streak.has_value(), last.has_value(),
                                                   best.has_value()};
    if (const std::string_view fault = fieldAtFault(good, dailyNames); !fault.empty())
        return {{}, fault};
    return {DailyRecord{int(*days), int(*streak), *last, *best, 0}, ""};
}

// Takes the line that begins with "daily ": the one line of the puzzles of the day.
void takeDailyLine(Reading& reading, std::string_view text, int line) {
    DailyRead read = dailyOn(text);
    if (!read.daily) {
        reading.bad.push_back({line, std::string(read.fault), 0});
    } else if (reading.daily) {
        reading.bad.push_back({line, "", reading.daily->line});
    } else {
        read.daily->line = line;
        reading.daily = read.daily;
    }
}

// Every line of `bytes`: the records, in order, and each line that is not one, with why. Of two
// lines of the same choice, the second is the bad one.
Reading readLines(std::string_view bytes) {
    Reading reading;
    for (int line = 1; !bytes.empty(); ++line) {
        const std::size_t end = bytes.find('\n');
        if (end <= longestLine && bytes.starts_with("daily ")) {
            takeDailyLine(reading, bytes.substr(0, end), line);
            bytes.remove_prefix(end + 1);
            continue;
        }
        LineRead read;
        if (end <= longestLine) read = recordOn(bytes.substr(0, end));
        const auto same = !read.record
                              ? reading.records.end()
                              : std::ranges::find(reading.records, read.record->key, &Record::key);
        if (!read.record) {
            reading.bad.push_back({line, std::string(read.fault), 0});
        } else if (same != reading.records.end()) {
            reading.bad.push_back({line, "", same->line});
        } else {
            read.record->line = line;
            reading.records.push_back(*read.record);
        }
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    std::ranges::sort(reading.records, {}, place);
    return reading;
}

// The line of `record` in the file, with its newline.
std::string fileLine(const Record& record) {
    const std::array<std::string, fieldNames.size()> values{
        std::to_string(record.key.size),
        std::to_string(record.key.pairs),
        std::string(answersText(record.key.answers, record.key.grade)),
        std::to_string(record.won),
        std::to_string(record.bestSeconds),
        std::to_string(record.fewestMoves)};
    std::string line;
    for (std::size_t field = 0; field < fieldNames.size(); ++field) {
        line += field == 0 ? "" : " ";
        line += fieldNames[field];
        line += values[field];
    }
    return line + '\n';
}

// The line of the puzzles of the day won, with its newline.
std::string dailyLine(const DailyRecord& daily) {
    return "daily days=" + std::to_string(daily.days) + " streak=" + std::to_string(daily.streak) +
           " last=" + dateText(daily.last) + " best=" + std::to_string(daily.bestSeconds) + '\n';
}

void addWin(std::vector<Record>& records, RecordKey key, long seconds, int moves) {
    const auto found = std::ranges::find(records, key, &Record::key);
    if (found == records.end()) {
        records.push_back({key, 1, seconds, moves});
        std::ranges::sort(records, {}, place);
        return;
    }
    found->won += found->won < mostCount ? 1 : 0;
    found->bestSeconds = std::min(found->bestSeconds, seconds);
    found->fewestMoves = std::min(found->fewestMoves, moves);
}

// Changes the records in `file` through `change`, under the lock, creating its folders (mode
// 0700) as needed. A file with lines that are not records is moved aside whole, and its good
// records carry on in the new one.
template <typename Change> WinRecorded changeRecords(const fs::path& file, const Change& change) {
    const FileLock lock(file);
    if (lock.trouble) return {lock.trouble, "", {}};
    const Contents contents = readUpTo(file, mostBytes);
    if (contents.trouble) return {contents.trouble, "", {}};
    Reading reading = readLines(contents.bytes);
    WinRecorded recorded;
    if (!reading.bad.empty()) {
        const MovedAside aside = moveAside(file);
        if (aside.trouble) return {aside.trouble, "", std::move(reading.bad)};
        recorded.movedAside = aside.name;
        recorded.bad = std::move(reading.bad);
    }
    change(reading);
    std::string text;
    for (const Record& record : reading.records)
        text += fileLine(record);
    if (reading.daily) text += dailyLine(*reading.daily);
    recorded.trouble = replaceWhole(file, text);
    return recorded;
}

// A win of the puzzle of `day`: a day other than the last one won counts, the day after it
// lengthens the streak, and a later day starts a new one; an earlier day leaves the streak be.
void addDailyWin(std::optional<DailyRecord>& daily, Date day, long seconds) {
    if (!daily) {
        daily = DailyRecord{1, 1, day, seconds, 0};
        return;
    }
    daily->bestSeconds = std::min(daily->bestSeconds, seconds);
    if (day == daily->last) return;
    daily->days += daily->days < mostCount ? 1 : 0;
    if (day < daily->last) return;
    const bool next = daysSinceEpoch(day) == daysSinceEpoch(daily->last) + 1;
    daily->streak = next ? std::min(daily->streak + 1, daily->days) : 1;
    daily->last = day;
}

} // namespace

WinRecorded recordWin(const fs::path& file, RecordKey key, long seconds, int moves) {
    if (!goodKey(key) || seconds < 0 || seconds > mostSeconds || moves < 0)
        return {systemTrouble(EINVAL), "", {}};
    return changeRecords(file,
                         [&](Reading& reading) { addWin(reading.records, key, seconds, moves); });
}

WinRecorded recordDailyWin(const fs::path& file, Date day, long seconds) {
    if (!dateOf(dateText(day)) || seconds < 0 || seconds > mostSeconds)
        return {systemTrouble(EINVAL), "", {}};
    return changeRecords(file, [&](Reading& reading) { addDailyWin(reading.daily, day, seconds); });
}

RecordsRead readRecords(const fs::path& file) {
    const Contents contents = readUpTo(file, mostBytes);
    if (contents.trouble) return {{}, {}, contents.trouble, {}};
    Reading reading = readLines(contents.bytes);
    const FileTrouble trouble{reading.bad.empty() ? Trouble::none : Trouble::damaged};
    return {std::move(reading.records), reading.daily, trouble, std::move(reading.bad)};
}

} // namespace pairpath
