// The command line, through the real program: help, version and refusals, which end at once,
// and games started with options, which must show the board that the seed and the answers give.

#include "commandline.hpp"
#include "texts.hpp"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <tuple>

namespace pairpath {
namespace {

using namespace pairpath::testing;
using Strings = std::vector<std::string>;

struct Outcome {
    std::string out, err;
    int status = -1;
};

// All that was written to `file`, which the program shared; closes it.
std::string contents(std::FILE* file) {
    std::string text(std::size_t(lseek(fileno(file), 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fileno(file), text.data(), text.size(), 0), ssize_t(text.size()));
    std::fclose(file);
    return text;
}

// Runs the program on `input`, with NO_COLOR set to `noColour` (unset when null), under
// timeout(1): still running after 5 seconds, it is killed, and the test fails with its output.
Outcome run(const Strings& arguments, const std::string& input = "",
            const char* noColour = nullptr) {
    Strings command{"env", "-u", "NO_COLOR", "timeout", "-s", "KILL", "5", PAIRPATH_BINARY};
    if (noColour != nullptr)
        command.insert(command.begin() + 3, std::string("NO_COLOR=") + noColour);
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::array<std::FILE*, 3> files{std::tmpfile(), std::tmpfile(), std::tmpfile()};
    std::fwrite(input.data(), 1, input.size(), files[0]);
    std::rewind(files[0]);
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    for (const int stream : {0, 1, 2})
        posix_spawn_file_actions_adddup2(&actions, fileno(files[std::size_t(stream)]), stream);
    pid_t child = -1;
    int status = 0;
    EXPECT_EQ(posix_spawnp(&child, "env", &actions, nullptr, argv.data(), environ), 0);
    waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    std::fclose(files[0]);
    Outcome ran{contents(files[1]), contents(files[2]),
                WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
    EXPECT_NE(ran.status, 128 + SIGKILL) << "killed after 5 s; it wrote:\n" << ran.out << ran.err;
    return ran;
}

std::string withoutEscapes(std::string text) {
    for (auto at = text.find('\033'); at != std::string::npos; at = text.find('\033', at))
        text.erase(at, text.find('m', at) + 1 - at);
    return text;
}

// Each command line with its exit status, then: the start of standard output for status 0, or
// what the one line on standard error must name for status 2.
TEST(CommandLine, HelpVersionAndRefusalsEndAtOnce) {
    const std::string usage = "Usage: pairpath [OPTION]...\n";
    const std::string version = "pairpath " PAIRPATH_VERSION "\n";
    const std::vector<std::tuple<Strings, int, std::string>> cases{
        {{"-h"}, 0, usage},
        {{"--help"}, 0, usage},
        {{"--he", "-x"}, 0, usage},
        {{"-s1", "-V"}, 0, version},
        {{"--version"}, 0, version},
        {{"--frobnicate"}, 2, "'--frobnicate'"},
        {{"-x"}, 2, "'-x'"},
        {{"--", "-h"}, 2, "'-h'"},
        {{"--s=1"}, 2, "ambiguous option '--s'"},
        {{"--version=2"}, 2, "'--version'"},
        {{"--seed"}, 2, "'--seed'"},
        {{"-s", "4294967296"}, 2, "'4294967296' for --seed"},
        {{"--seed=-1"}, 2, "'-1' for --seed"},
        {{"-s", "0x1"}, 2, "'0x1' for --seed"},
        {{"--seed="}, 2, "'' for --seed"},
        {{"--size", "4"}, 2, "'4' for --size"},
        {{"--pairs=10"}, 2, "'10' for --pairs"},
        {{"--pairs=9", "--size=5"}, 2, "--size 5 --pairs 9"},
        {{"--color=sometimes"}, 2, "'sometimes' for --color"}};
    for (const auto& [arguments, status, text] : cases) {
        const Outcome ran = run(arguments, "5\n4\n");
        EXPECT_EQ(ran.status, status) << ::testing::PrintToString(arguments);
        if (status == 0) {
            EXPECT_EQ(ran.out.substr(0, text.size()) + ran.err, text);
            continue;
        }
        const auto lineEnd = ran.err.find('\n');
        EXPECT_TRUE(ran.out.empty() && ran.err.starts_with("pairpath: ")) << ran.out << ran.err;
        EXPECT_LT(ran.err.find(text), lineEnd) << ran.err;
        EXPECT_EQ(ran.err.substr(std::min(lineEnd, ran.err.size())),
                  "\nTry 'pairpath --help' for more information.\n");
    }
}

// Games whose input ends right after the first board. The reference: the questions answered
// 6 and 5 after seed 3, in colour. Each command line with its input, NO_COLOR and the output.
TEST(CommandLine, SeedAndOptionsShowTheBoardTheAnswersGive) {
    const Outcome asked = run({"-s3"}, "6\n5\n");
    const std::string questions = sideQuestion + pairQuestion;
    ASSERT_TRUE(asked.out.starts_with(questions) && asked.out.find('\033') != std::string::npos);
    const std::string board = asked.out.substr(questions.size());
    const std::string plain = withoutEscapes(asked.out);
    const std::string refused = "A 5 x 5 grid can hold at most 8 pairs.\n";
    const std::vector<std::tuple<Strings, std::string, const char*, std::string>> cases{
        {{"--seed", "3"}, "6\n5\n", nullptr, asked.out},
        {{"--seed=03", "--"}, "6\n5\n", "", asked.out},
        {{"-s3", "--size=6", "--pairs=5"}, "", nullptr, board},
        {{"-s", "3", "--size", "6"}, "5\n", nullptr, pairQuestion + board},
        {{"--pairs", "5", "-s3"}, "6\n", nullptr, sideQuestion + board},
        {{"--pairs", "9"}, "5\n", nullptr, sideQuestion + refused + sideQuestion},
        {{"-s3", "--color=never"}, "6\n5\n", nullptr, plain},
        {{"-s3", "--color", "auto"}, "6\n5\n", nullptr, plain},
        {{"-s3"}, "6\n5\n", "1", plain},
        {{"-s3", "--color=always"}, "6\n5\n", "1", asked.out}};
    for (const auto& [arguments, input, noColour, output] : cases) {
        const Outcome ran = run(arguments, input, noColour);
        EXPECT_EQ(ran.out, output) << ::testing::PrintToString(arguments);
        EXPECT_EQ(ran.err + std::to_string(ran.status), "Input ended.\n1");
    }
    EXPECT_NE(run({"-s4"}, "6\n5\n").out, asked.out);
    EXPECT_TRUE(run({"-s4294967295"}, "6\n5\n").out.ends_with(pairPrompt));
}

// Standard output is a file above; here the parser is told that it is a terminal.
TEST(CommandLine, AutoColoursOnATerminalOutrankNoColor) {
    for (const auto& [when, noColour, colours] :
         std::vector<std::tuple<std::string, std::string_view, bool>>{
             {"--color=auto", "", true}, {"--color=auto", "1", true}, {"--size=8", "1", false}}) {
        Strings arguments{"pairpath", when};
        std::array<char*, 3> argv{arguments[0].data(), arguments[1].data(), nullptr};
        const auto line = readCommandLine(std::span(argv).first(2), {noColour, true});
        EXPECT_EQ(line.action, Action::play);
        EXPECT_EQ(line.options.colours, colours) << when << " NO_COLOR=" << noColour;
    }
}

} // namespace
} // namespace pairpath
