// The real program, run as a child process on a given standard input: what only a process shows.
// The command line, the end of input at each kind of question, a whole game to the win on a
// fixed seed, a huge input line in little memory, and running out of memory.

#include "checks.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/search.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <tuple>

namespace pairpath {
namespace {

using namespace pairpath::testing;

struct Ran {
    std::string output;
    std::string errors;
    int status = -1; // the exit status; 137 when killed
};

std::string scratch(const char* ending) {
    return ::testing::TempDir() + "pairpath-" + std::to_string(getpid()) + ending;
}
std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Runs the program with `arguments` on the standard input in the file `input`, through the
// shell after `before` (its environment or limits), and removes the files. Still running after
// ten seconds, it is killed and the test fails with what it wrote.
Ran runOn(const std::string& input, const std::string& arguments, const std::string& before) {
    const int status =
        std::system((before + " timeout -s KILL 10 " PAIRPATH_BINARY " " + arguments + " <" +
                     input + " >" + scratch(".out") + " 2>" + scratch(".err"))
                        .c_str());
    const Ran ran{readAll(scratch(".out")), readAll(scratch(".err")), WEXITSTATUS(status)};
    for (const std::string& file : {input, scratch(".out"), scratch(".err")}) {
        std::remove(file.c_str());
    }
    EXPECT_NE(ran.status, 137) << "killed after 10 s; it wrote:\n" << ran.output << ran.errors;
    return ran;
}

Ran run(const std::string& arguments, const std::string& input = "",
        const std::string& before = "env -u NO_COLOR") {
    std::ofstream(scratch(".in"), std::ios::binary) << input;
    return runOn(scratch(".in"), arguments, before);
}

// --- The command line ---

// Each command line with its exit status, then: the start of standard output for status 0, or
// what the one line on standard error must name for status 2.
TEST(Program, HelpVersionAndRefusalsEndAtOnce) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--he -x", 0, "Usage: pairpath [OPTION]...\n"},
        {"-s1 -V", 0, "pairpath " PAIRPATH_VERSION "\n"},
        {"--frobnicate", 2, "'--frobnicate'"},
        {"-- -h", 2, "'-h'"},
        {"--s=1", 2, "ambiguous option '--s'"},
        {"--version=2", 2, "'--version'"},
        {"--seed", 2, "'--seed'"},
        {"-s 4294967296", 2, "'4294967296' for --seed"},
        {"--seed=-1", 2, "'-1' for --seed"},
        {"--size 4", 2, "'4' for --size"},
        {"--pairs=10", 2, "'10' for --pairs"},
        {"--pairs=9 --size=5", 2, "--size 5 --pairs 9"},
        {"--color=sometimes", 2, "'sometimes' for --color"},
        {"--full-screen", 2, "terminal"},
    };
    const std::string hint = "\nTry 'pairpath --help' for more information.\n";
    for (const auto& [arguments, status, text] : cases) {
        const Ran ran = run(arguments, "5\n4\n");
        const std::string& said = status == 0 ? ran.output : ran.errors;
        EXPECT_EQ(ran.status, status) << arguments;
        EXPECT_TRUE(said.starts_with(status == 0 ? text : "pairpath: ")) << said;
        EXPECT_LT(said.find(text), said.find('\n')) << said;
        EXPECT_EQ(status == 0 ? ran.errors : ran.output, "");
        EXPECT_EQ(ran.errors.ends_with(hint), status == 2 && arguments != "--full-screen");
    }
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
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"--seed 3", "6\n5\n", "env -u NO_COLOR", asked.output},
        {"--seed=03 --", "6\n5\n", "env NO_COLOR=", asked.output},
        {"-s3 --size=6 --pairs=5", "", "env -u NO_COLOR", board},
        {"-s 3 --size 6", "5\n", "env -u NO_COLOR", pairQuestion + board},
        {"--pairs 5 -s3", "6\n", "env -u NO_COLOR", sideQuestion + board},
        {"--pairs 9", "5\n", "env -u NO_COLOR", sideQuestion + tooManyPairs + sideQuestion},
        {"-s3 --color=never", "6\n5\n", "env -u NO_COLOR", plain},
        {"-s3 --color auto", "6\n5\n", "env -u NO_COLOR", plain},
        {"-s3", "6\n5\n", "env NO_COLOR=1", plain},
        {"-s3 --color=always", "6\n5\n", "env NO_COLOR=1", asked.output}};
    for (const auto& [arguments, input, environment, output] : cases) {
        const Ran ran = run(arguments, input, environment);
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
    const std::tuple<std::string, int, std::string> cases[] = {
        {"", 1, sideQuestion},
        {"5", 1, sideQuestion}, // a last line without its newline is no answer
        {"6\n", 1, pairQuestion},
        {"5\n4\n", 1, pick},
        {"5\n4\n1\n", 1, move},
        {"5\n4\n" + draw[0] + "1\n", 1, "Continue? (Y/N)\n"},
        {"5\n4\n" + draw[0] + draw[1] + draw[2] + draw[3], 0,
         "successfully!\nCongrats! You Win the game!!!\n"},
    };
    for (const auto& [input, status, ending] : cases) {
        const Ran ran = run("--seed=5", input);
        EXPECT_EQ(ran.errors + std::to_string(ran.status), status == 0 ? "0" : "Input ended.\n1")
            << input;
        EXPECT_TRUE(ran.output.ends_with(ending)) << input;
    }
}

// A line far longer than any buffer is read and dropped a character at a time.
TEST(Program, ReadsAHugeLineInLittleMemory) {
    constexpr long mebibytes = 64;
    std::ofstream input(scratch(".in"), std::ios::binary);
    const std::string mebibyte(std::size_t{1} << 20, '5');
    for (long written = 0; written < mebibytes; ++written)
        input << mebibyte;
    input << '\n';
    input.close();
    const Ran ran = runOn(scratch(".in"), "", "");
    EXPECT_EQ(ran.output, sideQuestion + wrongLength);
    EXPECT_EQ(ran.errors + std::to_string(ran.status), "Input ended.\n1");
    rusage usage{}; // the largest resident set of the commands run in this test
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, mebibytes * 1024 / 4) << "peak KiB: " << usage.ru_maxrss;
}

// In 14 MB of address space the 8 x 8 sampler's counts do not fit, nor does a second thread's
// stack, so the hunt for 8 x 8 with 8 pairs goes on alone and finds the same board.
TEST(Program, RunsShortOfMemory) {
#ifdef PAIRPATH_SANITIZED
    GTEST_SKIP() << "the sanitizers need more address space than any limit here";
#endif
    const std::string limit = "ulimit -v 14336;";
    const Ran tooBig = run("--seed=1 --size=8 --pairs=9", "", limit);
    EXPECT_EQ(tooBig.output + std::to_string(tooBig.status), "Out of memory!\n1");
    const Ran alone = run("--seed=1 --size=8 --pairs=8", "", limit);
    EXPECT_EQ(alone.errors + std::to_string(alone.status), "Input ended.\n1");
    EXPECT_EQ(alone.output, run("--seed=1 --size=8 --pairs=8").output);
}

} // namespace
} // namespace pairpath
