// The real program, run as a child process on a given standard input: what only a process shows.
// The command line, the end of input at each kind of question, a whole game to the win on a
// fixed seed, a huge input line in little memory, running out of memory, and the solver.

#include "checks.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/sampler.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>

namespace pairpath {
namespace {

using namespace pairpath::testing;

// The last guard against a hang, not a measure of speed: an alarm set in the child, which exec
// keeps, ends a run still going after this long, far beyond what any machine needs, slow or
// sanitized.
constexpr unsigned hangGuardSeconds = 120;
constexpr int alarmStatus = 128 + SIGALRM;
constexpr int notRun = 127; // the child's status when the program could not be started

// ru_maxrss counts bytes on macOS and kibibytes elsewhere.
#ifdef __APPLE__
constexpr long maxrssPerKiB = 1024;
#else
constexpr long maxrssPerKiB = 1;
#endif

struct Ran {
    std::string output;
    std::string errors;
    int status = -1;  // the exit status, or 128 + the signal that ended the program
    long peakKiB = 0; // the largest resident set of this one child
};

// How the program is started: without NO_COLOR or with the value given, and within an address
// space of `addressSpace` bytes.
struct Setting {
    std::optional<std::string> noColour;
    rlim_t addressSpace = RLIM_INFINITY;
};

// Writes all of `bytes` to `fd`; false once the reader has gone.
bool feedAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

// A file without a name, for an output, gone once closed.
using Scratch = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    std::array<char, 4096> buffer{};
    for (std::size_t got = 1; got > 0; text.append(buffer.data(), got))
        got = std::fread(buffer.data(), 1, buffer.size(), file);
    return text;
}

// In the child: the program with `argv`, its standard input read from `input`, its outputs
// written to `output` and `errors`. The test process has no other thread when it forks (each
// writer starts after the fork and is joined before the next run), so the child may change its
// environment before exec.
[[noreturn]] void execProgram(std::vector<char*>& argv, const Setting& setting,
                              std::array<int, 3> streams) {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(streams[std::size_t(fd)], fd);
    if (setting.noColour) {
        setenv("NO_COLOR", setting.noColour->c_str(), 1);
    } else {
        unsetenv("NO_COLOR");
    }
    alarm(hangGuardSeconds);
    const rlimit limit{setting.addressSpace, setting.addressSpace};
    if (setrlimit(RLIMIT_AS, &limit) == 0) execv(PAIRPATH_BINARY, argv.data());
    _exit(notRun);
}

// Runs the program with `arguments` (split at blanks) while a thread of its own writes its
// standard input with `feed`, and returns both outputs, the status and the peak memory of this
// one child.
Ran runFed(const std::string& arguments, const std::function<void(int)>& feed,
           const Setting& setting) {
    std::vector<std::string> words{PAIRPATH_BINARY};
    std::istringstream split(arguments);
    for (std::string word; split >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The pipe first: where the test runs without standard input, its read end takes fd 0.
    std::array<int, 2> input{-1, -1};
    const bool piped = pipe(input.data()) == 0;
    const Scratch output(std::tmpfile(), &std::fclose);
    const Scratch errors(std::tmpfile(), &std::fclose);
    const pid_t child = piped && output && errors ? fork() : -1;
    if (child == 0) {
        close(input[1]);
        execProgram(argv, setting, {input[0], fileno(output.get()), fileno(errors.get())});
    }
    close(input[0]);
    std::thread writer([&] {
        // Where the program ends before reading all of it, the write fails instead of raising
        // SIGPIPE.
        sigset_t pipeSignal{};
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        if (child > 0) feed(input[1]);
        close(input[1]);
    });
    int status = 0;
    rusage usage{};
    while (child > 0 && wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    writer.join();
    if (child < 0) {
        ADD_FAILURE() << "the program was not started";
        return {};
    }
    Ran ran{contents(output.get()), contents(errors.get()),
            WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            usage.ru_maxrss / maxrssPerKiB};
    EXPECT_NE(ran.status, alarmStatus) << "ended as hung; it wrote:\n" << ran.output << ran.errors;
    return ran;
}

Ran run(const std::string& arguments, const std::string& input = "", const Setting& setting = {}) {
    return runFed(
        arguments, [&](int fd) { feedAll(fd, input); }, setting);
}

// --- The command line ---

// Each command line with its exit status, then: the start of standard output for status 0, or
// what the one line on standard error must name for status 2.
TEST(Program, HelpVersionAndRefusalsEndAtOnce) {
    const auto cases = std::to_array<std::tuple<std::string, int, std::string>>({
        {"--he -x", 0, "Usage: pairpath [OPTION]...\n"},
        {"-s1 -V", 0, "pairpath " PAIRPATH_VERSION "\n"},
        {"--frobnicate", 2, "'--frobnicate'"},
        {"-- -h", 2, "'-h'"},
        {"--s=1", 2, "option '--s' is ambiguous; possibilities: '--seed' '--size' '--solve'\n"},
        {"--s 5", 2, "option '--s' is ambiguous; possibilities: '--seed' '--size' '--solve'\n"},
        {"--ver", 0,
         "pairpath " PAIRPATH_VERSION
         "\nCopyright (C) 2026 The pairpath developers\nLicense MIT: "},
        {"--version=2", 2, "'--version'"},
        {"--seed", 2, "'--seed'"},
        {"-s 4294967296", 2, "'4294967296' for --seed"},
        {"--seed=-1", 2, "'-1' for --seed"},
        {"--size 4", 2, "'4' for --size"},
        {"--pairs=10", 2, "'10' for --pairs"},
        {"--pairs=9 --size=5", 2, "--size 5 --pairs 9"},
        {"--color=sometimes", 2, "'sometimes' for --color"},
        {"--full-screen", 2, "terminal"},
        {"-f", 2, "terminal"},
    });
    const std::string hint = "\nTry 'pairpath --help' for more information.\n";
    for (const auto& [arguments, status, text] : cases) {
        const Ran ran = run(arguments, "5\n4\n");
        const std::string& said = status == 0 ? ran.output : ran.errors;
        EXPECT_EQ(ran.status, status) << arguments;
        EXPECT_TRUE(said.starts_with(status == 0 ? text : "pairpath: ")) << said;
        EXPECT_LT(said.find(text), said.find('\n')) << arguments << ": " << said;
        EXPECT_EQ(status == 0 ? ran.errors : ran.output, "");
        EXPECT_EQ(ran.errors.ends_with(hint), status == 2 && text != "terminal") << arguments;
    }
    // The help names every exit status the program ends with.
    const std::string help = run("--help").output;
    const std::string statuses = help.substr(std::min(help.find("Exit status:"), help.size()));
    for (const std::string_view status : {"\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_NE(statuses.find(status), std::string::npos) << status;
}

// Games whose input ends right after the first board. The reference: the questions answered
// 6 and 5 after seed 3, in colour. Each command line with its input, NO_COLOR and the output.
TEST(Program, SeedAndOptionsShowTheBoardTheAnswersGive) {
    const Ran asked = run("-s3", "6\n5\n");
    const std::string questions = sideQuestion + pairQuestion;
    ASSERT_TRUE(asked.output.starts_with(questions) &&
                asked.output.find('\033') != std::string::npos);
    const std::string board = asked.output.substr(questions.size());
    std::string plain = asked.output; // without the escape sequences
    for (auto at = plain.find('\033'); at != std::string::npos; at = plain.find('\033', at))
        plain.erase(at, plain.find('m', at) + 1 - at);
    const Setting unset;
    const Setting empty{""};
    const Setting set{"1"};
    const auto cases = std::to_array<std::tuple<std::string, std::string, Setting, std::string>>({
        {"--seed 3", "6\n5\n", unset, asked.output},
        {"--seed=03 --", "6\n5\n", empty, asked.output},
        {"-s3 --size=6 --pairs=5", "", unset, board},
        {"-s 3 --size 6", "5\n", unset, pairQuestion + board},
        {"--pairs 5 -s3", "6\n", unset, sideQuestion + board},
        {"--pairs 9", "5\n", unset, sideQuestion + tooManyPairs + sideQuestion},
        {"-s3 --color=never", "6\n5\n", unset, plain},
        {"-s3 --color auto", "6\n5\n", unset, plain},
        {"-s3", "6\n5\n", set, plain},
        {"-s3 --color=always", "6\n5\n", set, asked.output},
    });
    for (const auto& [arguments, input, setting, output] : cases) {
        const Ran ran = run(arguments, input, setting);
        EXPECT_EQ(ran.output, output) << arguments;
        EXPECT_EQ(ran.errors + std::to_string(ran.status), "Input ended.\n1");
    }
    EXPECT_NE(run("-s4", "6\n5\n").output, asked.output);
}

// --- Whole games ---

// Games on the board of seed 5, each ending elsewhere: at the win, or where input ends.
TEST(Program, EndsAtTheWinOrWhereverInputEnds) {
    std::srand(5); // the program draws the same board after the same seed: find a cover of it
    const auto cover = findCover(*findPuzzle(5, 4, nullptr).puzzle);
    ASSERT_TRUE(cover.has_value());
    std::array<std::string, 4> draw; // the key lines that draw each pair's route
    for (std::size_t pair = 0; pair < 4; ++pair) {
        const auto& route = (*cover)[pair];
        draw[pair] = std::to_string(pair + 1) + "\n";
        for (std::size_t i = 1; i < route.size(); ++i) {
            const int step = route[i] - route[i - 1];
            draw[pair] += step == 1 ? "d\n" : step == -1 ? "A\n" : step == 10 ? "s\n" : "W\n";
        }
    }
    const auto cases = std::to_array<std::tuple<std::string, int, std::string>>({
        {"", 1, sideQuestion},
        {"5", 1, sideQuestion}, // a last line without its newline is no answer
        {"6\n", 1, pairQuestion},
        {"5\n4\n", 1, pick},
        {"5\n4\n1\n", 1, move},
        {"5\n4\n" + draw[0] + "1\n", 1, "Continue? (Y/N)\n"},
        {"5\n4\n" + draw[0] + draw[1] + draw[2] + draw[3], 0,
         "successfully!\nCongrats! You Win the game!!!\n"},
    });
    for (const auto& [input, status, ending] : cases) {
        const Ran ran = run("--seed=5", input);
        EXPECT_EQ(ran.errors + std::to_string(ran.status), status == 0 ? "0" : "Input ended.\n1")
            << input;
        EXPECT_TRUE(ran.output.ends_with(ending)) << input;
    }
}

// A line far longer than any buffer is read and dropped a character at a time. The line is fed
// through the pipe as it is read, a mebibyte at a time. The peak is this child's alone, though it
// starts from the test process's resident pages that fork copied (a few MiB).
TEST(Program, ReadsAHugeLineInLittleMemory) {
    constexpr long mebibytes = 64;
    const std::string mebibyte(std::size_t{1} << 20, '5');
    const auto feed = [&](int fd) {
        for (long written = 0; written < mebibytes && feedAll(fd, mebibyte); ++written) {
        }
        feedAll(fd, "\n");
    };
    const Ran ran = runFed("", feed, {});
    EXPECT_EQ(ran.output, sideQuestion + wrongLength);
    EXPECT_EQ(ran.errors + std::to_string(ran.status), "Input ended.\n1");
    EXPECT_GT(ran.peakKiB, 0);
    EXPECT_LT(ran.peakKiB, mebibytes * 1024 / 4) << "peak KiB";
}

// Whether a small game runs within `addressSpace` bytes: given its size and pairs and no input,
// it shows the board and ends "Input ended." with status 1, unless memory runs out first.
bool smallGameRuns(rlim_t addressSpace) {
    const Ran ran = run("--seed=1 --size=5 --pairs=4", "", {std::nullopt, addressSpace});
    return ran.errors + std::to_string(ran.status) == "Input ended.\n1";
}

// The limit is found on this machine: the least address space a small game runs in, by
// bisection, and a margin. The margin holds the hunt for 8 x 8 with 8 pairs, but not a second
// thread's stack (8 MiB by default), so that hunt goes on alone and finds the same board; nor
// the 8 x 8 sampler's counts for 9 pairs, which need over 12 MB.
TEST(Program, RunsShortOfMemory) {
#ifdef PAIRPATH_SANITIZED
    GTEST_SKIP() << "the sanitizers need more address space than any limit here";
#endif
    constexpr rlim_t kibibyte = 1024;
    constexpr rlim_t margin = 4 * kibibyte * kibibyte;
    rlim_t fails = 0;
    rlim_t runs = kibibyte * kibibyte * kibibyte;
    ASSERT_TRUE(smallGameRuns(runs)) << "the small game needs more than 1 GiB";
    while (runs - fails > 64 * kibibyte) {
        const rlim_t middle = fails + (runs - fails) / 2;
        (smallGameRuns(middle) ? runs : fails) = middle;
    }
    const Setting limited{std::nullopt, runs + margin};
    const Ran tooBig = run("--seed=1 --size=8 --pairs=9", "", limited);
    EXPECT_EQ(tooBig.errors + std::to_string(tooBig.status), "Out of memory!\n1")
        << "limit KiB " << (runs + margin) / kibibyte;
    EXPECT_EQ(tooBig.output.find("Out of memory!"), std::string::npos) << tooBig.output;
    const Ran alone = run("--seed=1 --size=8 --pairs=8", "", limited);
    EXPECT_EQ(alone.errors + std::to_string(alone.status), "Input ended.\n1");
    EXPECT_EQ(alone.output, run("--seed=1 --size=8 --pairs=8").output);
}

// --- The solver ---

// A board as the game shows it without colours: each cell and a blank.
std::string shown(const Board& board) {
    std::string text;
    for (const char cell : gridText(board)) {
        if (cell == '/') {
            text += '\n';
        } else {
            text += cell;
            text += ' ';
        }
    }
    return text + '\n';
}

// Several boards, one with no solution: each answered with its count and, where it has any, a
// solution that the check finds sound; the boards of the game are read as the game shows them.
TEST(Program, SolvesEveryBoardGiven) {
    std::vector<Board> boards{boardFromText("1.2/.../1.2"), boardFromText("11/22"),
                              boardFromText("1..1/2..2/3..3/4..4")};
    std::srand(8);
    for (const auto& [side, pairs, answers] : {std::tuple{5, 4, Answers::any},
                                               {7, 9, Answers::any},
                                               {8, 5, Answers::any},
                                               {8, 9, Answers::one}})
        boards.push_back(*findPuzzle(side, pairs, nullptr, answers).puzzle);
    std::string input;
    for (const Board& board : boards)
        input += shown(board) + "\n";
    const Ran ran = run("--solve -", input);
    EXPECT_EQ(ran.errors + std::to_string(ran.status), "1") << "the first board has none";
    std::istringstream answers(ran.output);
    for (const Board& board : boards) {
        std::string word;
        std::string count;
        answers >> word >> count;
        ASSERT_EQ(word, "solutions:") << ran.output;
        EXPECT_EQ(count, countText(countSolutions(board), false)) << gridText(board);
        if (count == "0") continue;
        Grid solution{};
        for (int code = 0; code < cellCode(board.size, 0); ++code) {
            if (isInside(board, code)) answers >> cellAt(solution, code);
        }
        EXPECT_EQ(solutionFault(board, solution), "") << gridText(board);
    }
    const std::size_t lastAnswer = ran.output.rfind("\n\nsolutions:");
    EXPECT_NE(lastAnswer, std::string::npos);
    EXPECT_EQ(ran.output.find("\n\nsolutions: 1\n", lastAnswer), lastAnswer)
        << "the one-answer board last, parted by a blank line";
    // Without the board that has none, every board is solved: status 0.
    EXPECT_EQ(run("--solve -", input.substr(input.find("\n\n") + 2)).status, 0);
}

// Input that is not boards: one line on standard error naming where, status 2, and the boards
// before it answered.
TEST(Program, SolverRefusesWhatIsNotBoards) {
    const std::string good = "1 . 2 \n. . . \n1 . 2\n\n";
    const auto cases = std::to_array<std::tuple<std::string, std::string>>({
        {"", "-:1: no board"},
        {"\n\n", "-:1: no board"},
        {good + "1 . 2\n. .\n", "-:6: a row of 2 cells in a board of 3 columns"},
        {good + "1 . 2\n. . . .\n", "-:6: a row of 4 cells in a board of 3 columns"},
        {"1 x 2\n", "-:1: unknown character 'x'"},
        {"1  2\n", "-:1: cells are parted by one blank each"},
        {"1 . 2\n. . .\n1 . .\n", "-:1: digit 2 appears 1 time"},
        {"1 1 .\n. . .\n. . 1\n", "-:1: digit 1 appears 3 times"},
        {"1 . 3\n. . .\n1 . 3\n", "-:1: digit 2 is missing"},
        {". . . . . . . . .\n", "-:1: a row of 9 cells: a board has 2 to 8 columns"},
        {".\n", "-:1: a row of 1 cell: a board has 2 to 8 columns"},
        {"1 2\n1 2\n. .\n", "-:3: a board of 2 columns has more rows"},
        {good + "1 . 2\n. . .\n", "-:5: a board of 3 columns has 2 rows"},
        {std::string("\0\x01\xff\n", 4), "-:1: unknown character byte 0x00"},
    });
    for (const auto& [input, problem] : cases) {
        const Ran ran = run("--solve=-", input);
        EXPECT_EQ(ran.status, 2) << problem;
        EXPECT_TRUE(ran.errors.starts_with("pairpath: " + problem)) << ran.errors;
        EXPECT_EQ(ran.errors.find('\n'), ran.errors.size() - 1) << "one line: " << ran.errors;
        EXPECT_EQ(ran.output, input.starts_with(good) ? "solutions: 0\n" : "") << problem;
    }
    for (const auto& [file, problem] :
         {std::pair{"/nonexistent/boards", "No such file or directory"}, {"/", "Is a directory"}}) {
        const Ran ran = run(std::string("--solve ") + file);
        EXPECT_EQ(ran.errors + std::to_string(ran.status),
                  "pairpath: " + std::string(file) + ": " + problem + "\n2");
    }
    // A file that opens but cannot be read: the process's own memory, from address 0.
    if (std::filesystem::exists("/proc/self/mem")) {
        const Ran unreadable = run("--solve /proc/self/mem");
        EXPECT_EQ(unreadable.errors + std::to_string(unreadable.status),
                  "pairpath: /proc/self/mem:1: cannot be read\n2");
    }
    // A hundred mebibytes without a line break: refused at once, in little memory. The peak is
    // compared with that of a short input, since both start from this process's pages.
    const Ran small = run("--solve -", ".");
    const std::string mebibyte(std::size_t{1} << 20, '.');
    const Ran huge =
        runFed("--solve -",
               [&](int fd) {
                   for (int written = 0; written < 100 && feedAll(fd, mebibyte); ++written) {
                   }
               },
               {});
    EXPECT_EQ(huge.errors + std::to_string(huge.status),
              "pairpath: -:1: a line longer than any row of a board\n2");
    EXPECT_LT(huge.peakKiB, small.peakKiB + 8L * 1024) << "peak KiB";
}

} // namespace
} // namespace pairpath
