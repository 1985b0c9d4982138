// The records file: reading it strictly, so that anything but records counts as damage; adding a
// win under a lock; and writing the file whole to a temporary file that replaces it only once
// it is on the disk.
//
// The file is text, one line a choice, sorted by side, then pairs, then answers:
//
//     side=5 pairs=4 answers=any won=3 best=21 moves=21
//
// side is 5 to 8; pairs 4 to 9, and no more than the side holds; answers is "any", or "one" for
// one-answer puzzles (--unique); won is the games won, at least 1; best is the best time in
// seconds and moves the fewest moves. Numbers are decimal digits, without a sign. The fields
// come in this order, parted by one blank, and every line ends with a newline. No two lines name
// the same choice. Anything else is damage: a line longer than `longestLine`, a number too large
// for its field, any other byte. A file can hold at most one line for each of the 48 choices, so
// one longer than `mostBytes` always has a bad line within its first `mostBytes`, and no more is
// ever read.
//
// Every change holds a write lock (fcntl) on records.lock beside the file for the whole of
// reading, changing and writing, so that two games ending at once both count. The new file is
// written beside the old one, flushed, renamed over it, and the folder flushed: a crash leaves
// either the old file or the new, never a part of one.

#include "pairpath/records/records.hpp"

#include "pairpath/core/board.hpp"
#include "pairpath/core/decimal.hpp"
#include "pairpath/play/messages.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>
#include <string_view>
#include <tuple>
#include <vector>

namespace pairpath {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t longestLine = 100; // the longest good line has 86 characters
constexpr std::size_t mostBytes = 8192;  // more than 48 lines of `longestLine`
constexpr int mostDamagedNames = 999;    // records.damaged-1 to records.damaged-999
constexpr int mostCount = std::numeric_limits<int>::max();
constexpr long mostSeconds = std::numeric_limits<long>::max();
constexpr mode_t folderMode = 0700;
constexpr mode_t lockMode = 0600;
constexpr auto fieldNames =
    std::to_array<std::string_view>({"side=", "pairs=", "answers=", "won=", "best=", "moves="});
constexpr auto answerNames = std::to_array<std::string_view>({"any", "one"}); // by `unique`

// A file descriptor, closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The first bytes of a file, a little past `mostBytes` when it is longer, or the errno of the
// failure to read it. A missing file reads as empty.
struct Contents {
    std::string bytes;
    int error = 0;
};

// The records of a file, sorted, or the number (from 1) of its first line that is not one.
struct Reading {
    std::vector<Record> records;
    int badLine = 0;
};

// Where a record goes in the file: by side, then pairs, then one-answer puzzles last.
std::tuple<int, int, bool> place(const Record& record) {
    return {record.key.size, record.key.pairs, record.key.unique};
}

bool goodKey(RecordKey key) {
    return key.size >= minSide && key.size <= maxSide && key.pairs >= minPairs &&
           key.pairs <= std::min(maxPairs, mostPairsFor(key.size));
}

// The record on `line`, its newline left out, or nothing when it is not one.
std::optional<Record> recordOn(std::string_view line) {
    std::array<std::string_view, fieldNames.size()> values;
    for (std::size_t field = 0; field < fieldNames.size(); ++field) {
        const bool last = field + 1 == fieldNames.size();
        const std::size_t end = last ? line.size() : line.find(' ');
        if (end == std::string_view::npos || !line.starts_with(fieldNames[field])) return {};
        values.at(field) = line.substr(fieldNames[field].size(), end - fieldNames[field].size());
        line.remove_prefix(last ? end : end + 1);
    }
    const auto side = decimal<long>(values[0], minSide, maxSide);
    const auto pairs = decimal<long>(values[1], minPairs, maxPairs);
    const auto* const answers = std::ranges::find(answerNames, values[2]);
    const auto won = decimal<long>(values[3], 1, mostCount);
    const auto best = decimal<long>(values[4], 0, mostSeconds);
    const auto moves = decimal<long>(values[5], 0, mostCount);
    if (!side || !pairs || answers == answerNames.end() || !won || !best || !moves) return {};
    const RecordKey key{int(*side), int(*pairs), answers != answerNames.begin()};
    if (!goodKey(key)) return {};
    return Record{key, int(*won), *best, int(*moves)};
}

Reading readRecords(std::string_view bytes) {
    Reading reading;
    for (int line = 1; !bytes.empty(); ++line) {
        const std::size_t end = bytes.find('\n');
        std::optional<Record> record;
        if (end <= longestLine) record = recordOn(bytes.substr(0, end));
        if (!record || std::ranges::find(reading.records, record->key, &Record::key) !=
                           reading.records.end()) {
            return {{}, line};
        }
        reading.records.push_back(*record);
        bytes.remove_prefix(end + 1);
    }
    std::ranges::sort(reading.records, {}, place);
    return reading;
}

Contents readContents(const fs::path& file) {
    const Descriptor input(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.fd < 0) return {"", errno == ENOENT ? 0 : errno};
    Contents contents;
    std::array<char, 4096> block{};
    while (contents.bytes.size() <= mostBytes) {
        const ssize_t count = ::read(input.fd, block.data(), block.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {"", errno};
        if (count == 0) break;
        contents.bytes.append(block.data(), std::size_t(count));
    }
    return contents;
}

// The line of `record` in the file, with its newline.
std::string fileLine(const Record& record) {
    const std::array<std::string, fieldNames.size()> values{
        std::to_string(record.key.size),
        std::to_string(record.key.pairs),
        std::string(answerNames[record.key.unique ? 1 : 0]),
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

// The line --records shows for `record`.
std::string shownLine(const Record& record) {
    const RecordKey key = record.key;
    return messageText(key.unique ? Message::oneAnswerRecordLine : Message::recordLine, key.size,
                       key.size, key.pairs, record.won,
                       clockText(std::chrono::seconds(record.bestSeconds)), record.fewestMoves);
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

// Makes each missing folder on the way to `folder`; returns 0, or the errno of the failure.
int makeFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), folderMode) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

// Waits for the write lock on the whole of the open file `fd`; returns 0, or the errno.
int waitForLock(int fd) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    while (::fcntl(fd, F_SETLKW, &whole) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

// Gives `file` beside it the first name records.damaged-N that no file has, never replacing
// one; returns that name, or "" with errno set.
std::string moveAside(const fs::path& file) {
    for (int count = 1; count <= mostDamagedNames; ++count) {
        const std::string name = file.filename().string() + ".damaged-" + std::to_string(count);
        if (::link(file.c_str(), (file.parent_path() / name).c_str()) == 0) {
            return ::unlink(file.c_str()) == 0 ? name : "";
        }
        if (errno != EEXIST) return "";
    }
    errno = EEXIST;
    return "";
}

// Writes all of `text` to `fd` and flushes it to the disk; returns 0, or the errno.
int writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        text.remove_prefix(std::size_t(count));
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Replaces `file`, in `folder`, with one that holds `records`; returns 0, or the errno.
int writeRecords(const fs::path& file, const fs::path& folder, const std::vector<Record>& records) {
    std::string text;
    for (const Record& record : records)
        text += fileLine(record);
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return errno;
    int error = writeAll(fd, text);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    const Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folderFd.fd >= 0 && ::fsync(folderFd.fd) == 0 ? 0 : errno;
}

std::string notSaved(std::string_view why) { return messageText(Message::recordsNotSaved, why); }

} // namespace

fs::path recordsFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && fs::path(state).is_absolute())
        return fs::path(state) / "pairpath/records";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return fs::path(home) / ".local/state/pairpath/records";
}

std::string recordWin(const fs::path& file, RecordKey key, long seconds, int moves) {
    if (file.empty()) return notSaved(messageText(Message::noStateFolder));
    if (!goodKey(key) || seconds < 0 || moves < 0) return notSaved(std::strerror(EINVAL));
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (const int error = makeFolders(folder); error != 0) return notSaved(std::strerror(error));
    const fs::path lockFile = folder / (file.filename().string() + ".lock");
    const Descriptor lock(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, lockMode));
    if (lock.fd < 0) return notSaved(std::strerror(errno));
    if (const int error = waitForLock(lock.fd); error != 0) return notSaved(std::strerror(error));
    const Contents contents = readContents(file);
    if (contents.error != 0) return notSaved(std::strerror(contents.error));
    Reading reading = readRecords(contents.bytes);
    std::string note;
    if (reading.badLine != 0) {
        const std::string name = moveAside(file);
        if (name.empty()) return notSaved(std::strerror(errno));
        note = messageText(Message::recordsDamaged, name);
    }
    addWin(reading.records, key, seconds, moves);
    if (const int error = writeRecords(file, folder, reading.records); error != 0) {
        return notSaved(std::strerror(error));
    }
    return note;
}

int printRecords(const fs::path& file, std::ostream& out, std::ostream& err) {
    if (file.empty()) {
        err << messageText(Message::recordsUnreadable, "records",
                           messageText(Message::noStateFolder))
            << '\n';
        return EXIT_FAILURE;
    }
    const Contents contents = readContents(file);
    const Reading reading = readRecords(contents.bytes);
    if (contents.error != 0) {
        err << messageText(Message::recordsUnreadable, file.string(), std::strerror(contents.error))
            << '\n';
        return EXIT_FAILURE;
    }
    if (reading.badLine != 0) {
        err << messageText(Message::recordsBadLine, file.string(), reading.badLine) << '\n';
        return EXIT_FAILURE;
    }
    if (reading.records.empty()) out << messageText(Message::noRecords) << '\n';
    for (const Record& record : reading.records)
        out << shownLine(record) << '\n';
    return EXIT_SUCCESS;
}

} // namespace pairpath
