// The program's actions besides playing: the solver run on a file, the records shown, and the
// last words when memory runs out. Each turns what the layers below return into words.

#include "pairpath/program/actions.hpp"

#include "pairpath/core/messages.hpp"
#include "pairpath/records/records.hpp"
#include "pairpath/solver/solver.hpp"
#include "pairpath/terminal/terminal.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace pairpath {

namespace {

constexpr int unreadableFile = 2;

// The line --records shows for `record`.
std::string shownLine(const Record& record) {
    const RecordKey key = record.key;
    const std::string best = clockText(std::chrono::seconds(record.bestSeconds));
    if (key.grade) {
        return messageText(Message::gradedRecordLine, key.size, key.size, key.pairs,
                           gradeName(*key.grade), record.won, best, record.fewestMoves);
    }
    return messageText(key.answers == Answers::one ? Message::oneAnswerRecordLine
                                                   : Message::recordLine,
                       key.size, key.size, key.pairs, record.won, best, record.fewestMoves);
}

} // namespace

int solveFile(const std::string& file) {
    if (file == "-") return solveBoards(std::cin, file, std::cout, std::cerr);
    std::error_code unused;
    std::ifstream input;
    if (!std::filesystem::is_directory(file, unused)) input.open(file, std::ios::binary);
    if (!input.is_open()) {
        const int error = std::filesystem::is_directory(file, unused) ? EISDIR : errno;
        std::cerr << messageText(Message::fileProblem, file, troubleText(Trouble::system, error))
                  << '\n';
        return unreadableFile;
    }
    return solveBoards(input, file, std::cout, std::cerr);
}

int showRecords(std::ostream& out, std::ostream& err) {
    const StateFolder folder = stateFolder();
    if (folder.why) {
        err << messageText(Message::fileProblem, recordsName,
                           troubleText(folder.why.kind, folder.why.error))
            << '\n';
        return EXIT_FAILURE;
    }
    const std::string file = (folder.path / recordsName).string();
    const RecordsRead read = readRecords(file);
    if (read.trouble.kind == Trouble::system) {
        err << messageText(Message::fileProblem, file,
                           troubleText(read.trouble.kind, read.trouble.error))
            << '\n';
        return EXIT_FAILURE;
    }
    // The good lines, then each bad one on standard error.
    if (read.records.empty() && !read.daily && read.bad.empty())
        out << messageText(Message::noRecords) << '\n';
    for (const Record& record : read.records)
        out << shownLine(record) << '\n';
    if (const auto& daily = read.daily) {
        out << messageText(Message::dailyRecordLine, daily->days, daily->streak,
                           dateText(daily->last),
                           clockText(std::chrono::seconds(daily->bestSeconds)))
            << '\n';
    }
    out.flush();
    for (const BadLine& bad : read.bad)
        err << messageText(Message::recordsBadLine, file, bad.line,
                           badLineText(bad.field, bad.sameAs))
            << '\n';
    return read.bad.empty() ? EXIT_SUCCESS : EXIT_FAILURE;
}

void outOfMemory() noexcept {
    // The terminal first, so that the line stays on screen; what the game has written so far
    // goes out before it.
    restoreTerminal();
    std::cout.flush();
    const std::string_view text = messageTemplate(Message::outOfMemory);
    std::array<char, 32> line{};
    *std::copy(text.begin(), text.end(), line.begin()) = '\n';
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), text.size() + 1);
    std::_Exit(EXIT_FAILURE);
}

} // namespace pairpath
