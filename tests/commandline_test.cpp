// The command line, mostly through the real program: help and version, every kind of refused
// option, the seed's repeatability, options that answer the start-up questions, and colours.

#include "commandline.hpp"
#include "texts.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <string>
#include <tuple>
#include <vector>

extern char** environ; // NOLINT(readability-redundant-declaration): POSIX leaves it undeclared

namespace pairpath {
namespace {

using namespace pairpath::testing;
using Strings = std::vector<std::string>;

struct Outcome {
    std::string out, err;
    int status = -1;
};

std::vector<char*> pointersTo(Strings& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program with `arguments` and NO_COLOR set to `noColour` (unset when null). Gives
// the write end of its standard input and the read ends of its standard output and error.
pid_t spawn(Strings arguments, const char* noColour, std::array<int, 3>& ends) {
    Strings environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with("NO_COLOR=")) environment.emplace_back(*entry);
    }
    if (noColour != nullptr) environment.push_back(std::string("NO_COLOR=") + noColour);
    arguments.insert(arguments.begin(), PAIRPATH_BINARY);
    std::array<int, 6> pipes{}; // read end, write end: of standard input, output, error
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    for (const int stream : {0, 1, 2}) {
        EXPECT_EQ(pipe2(&pipes[std::size_t(2 * stream)], O_CLOEXEC), 0);
        const std::size_t childEnd = stream == 0 ? 0 : std::size_t(2 * stream + 1);
        posix_spawn_file_actions_adddup2(&actions, pipes[childEnd], stream);
    }
    pid_t child = -1;
    const auto argv = pointersTo(arguments);
    const auto envp = pointersTo(environment);
    EXPECT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (const int fd : {pipes[0], pipes[3], pipes[5]})
        close(fd);
    ends = {pipes[1], pipes[2], pipes[4]};
    return child;
}

// Collects what the program writes until it closes both outputs, then its exit status. Kills
// it and fails, with what it saw, when that takes over five seconds.
Outcome collect(pid_t child, int out, int err) {
    Outcome ran;
    std::array<pollfd, 2> ends{{{out, POLLIN, 0}, {err, POLLIN, 0}}};
    const std::array<std::string*, 2> into{&ran.out, &ran.err};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((ends[0].fd >= 0 || ends[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (poll(ends.data(), ends.size(), 100) <= 0) continue;
        for (std::size_t i = 0; i < ends.size(); ++i) {
            if (ends[i].revents == 0) continue;
            std::array<char, 4096> buffer{};
            const ssize_t got = read(ends[i].fd, buffer.data(), buffer.size());
            if (got > 0) into[i]->append(buffer.data(), std::size_t(got));
            if (got > 0) continue;
            close(ends[i].fd);
            ends[i].fd = -1;
        }
    }
    if (ends[0].fd >= 0 || ends[1].fd >= 0) {
        kill(child, SIGKILL);
        ADD_FAILURE() << "still running after 5 s; it wrote:\n" << ran.out << "\n---\n" << ran.err;
    }
    for (const pollfd& end : ends) {
        if (end.fd >= 0) close(end.fd);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ran;
}

// Runs the program with `input` as its whole standard input.
Outcome run(const Strings& arguments, const std::string& input = "",
            const char* noColour = nullptr) {
    std::array<int, 3> ends{};
    const pid_t child = spawn(arguments, noColour, ends);
    // A refused command line ends without reading its input, so the write may fail.
    std::signal(SIGPIPE, SIG_IGN);
    [[maybe_unused]] const ssize_t written = write(ends[0], input.data(), input.size());
    close(ends[0]);
    return collect(child, ends[1], ends[2]);
}

std::string withoutEscapes(std::string text) {
    for (auto at = text.find('\033'); at != std::string::npos; at = text.find('\033', at))
        text.erase(at, text.find('m', at) + 1 - at);
    return text;
}

const std::string inputEnded = "Input ended.\n";

TEST(CommandLine, HelpAndVersionOnStandardOutput) {
    for (const Strings& arguments : {Strings{"-h"}, {"--help"}, {"--he"}, {"--seed=1", "-h"}}) {
        const Outcome ran = run(arguments);
        for (const char* part : {"Usage: pairpath [OPTION]...\n", "--seed", "--size", "--pairs",
                                 "--color", "--version", "NO_COLOR", "Exit status"}) {
            EXPECT_NE(ran.out.find(part), std::string::npos) << part;
        }
        EXPECT_EQ(ran.err + std::to_string(ran.status), "0");
    }
    for (const Strings& arguments : {Strings{"-V"}, {"--version"}, {"-Vh"}}) {
        const Outcome ran = run(arguments);
        EXPECT_EQ(ran.out + ran.err + std::to_string(ran.status),
                  "pairpath " PAIRPATH_VERSION "\n0");
    }
}

TEST(CommandLine, RefusesBadOptionsAndValuesWithStatusTwo) {
    // Each command line, and what the one line on standard error must name.
    const std::vector<std::pair<Strings, std::string>> cases{
        {{"--frobnicate"}, "'--frobnicate'"},
        {{"-x"}, "'-x'"},
        {{"extra"}, "'extra'"},
        {{"--", "--help"}, "'--help'"},
        {{"--s=1"}, "ambiguous option '--s'"},
        {{"--version=2"}, "'--version'"},
        {{"--seed"}, "'--seed'"},
        {{"-s", "4294967296"}, "'4294967296' for --seed"},
        {{"--seed=-1"}, "'-1' for --seed"},
        {{"-s+1"}, "'+1' for --seed"},
        {{"--seed= 1"}, "' 1' for --seed"},
        {{"--seed="}, "'' for --seed"},
        {{"-s", "0x1"}, "'0x1' for --seed"},
        {{"--size", "4"}, "'4' for --size"},
        {{"--size=9"}, "'9' for --size"},
        {{"--pairs", "3"}, "'3' for --pairs"},
        {{"--pairs=10"}, "'10' for --pairs"},
        {{"--pairs=9", "--size=5"}, "--size 5 --pairs 9"},
        {{"--color=sometimes"}, "'sometimes' for --color"},
    };
    for (const auto& [arguments, named] : cases) {
        const Outcome ran = run(arguments, "5\n4\n");
        const auto lineEnd = ran.err.find('\n');
        EXPECT_TRUE(ran.err.starts_with("pairpath: ")) << named;
        EXPECT_NE(ran.err.substr(0, lineEnd).find(named), std::string::npos) << ran.err;
        EXPECT_EQ(ran.err.substr(lineEnd + 1), "Try 'pairpath --help' for more information.\n");
        EXPECT_EQ(ran.out + std::to_string(ran.status), "2") << named;
    }
}

TEST(CommandLine, SameSeedAndAnswersGiveTheSameBoard) {
    const Outcome first = run({"--seed", "7"}, "5\n4\n");
    EXPECT_TRUE(first.out.starts_with(sideQuestion + pairQuestion)) << first.out;
    EXPECT_TRUE(first.out.ends_with(pairPrompt)) << first.out;
    EXPECT_EQ(first.err + std::to_string(first.status), inputEnded + "1");
    for (const Strings& arguments : {Strings{"-s", "7"}, {"-s7"}, {"--seed=07"}, {"-s7", "--"}})
        EXPECT_EQ(run(arguments, "5\n4\n").out, first.out);
    EXPECT_NE(run({"--seed=8"}, "5\n4\n").out, first.out);
    EXPECT_TRUE(run({"--seed=4294967295"}, "5\n4\n").out.ends_with(pairPrompt));
}

TEST(CommandLine, SizeAndPairsSkipTheirQuestions) {
    const Outcome asked = run({"-s0"}, "6\n5\n");
    ASSERT_TRUE(asked.out.starts_with(sideQuestion + pairQuestion)) << asked.out;
    const std::string board = asked.out.substr(sideQuestion.size() + pairQuestion.size());
    const std::string refused = "A 5 x 5 grid can hold at most 8 pairs.\n";
    const std::vector<std::tuple<Strings, std::string, std::string>> cases{
        {{"-s0", "--size=6", "--pairs=5"}, "", board},
        {{"-s0", "--size", "6"}, "5\n", pairQuestion + board},
        {{"-s0", "--pairs", "5"}, "6\n", sideQuestion + board},
        {{"--pairs", "9"}, "5\n", sideQuestion + refused + sideQuestion},
    };
    for (const auto& [arguments, input, output] : cases) {
        const Outcome ran = run(arguments, input);
        EXPECT_EQ(ran.out, output) << input;
        EXPECT_EQ(ran.err + std::to_string(ran.status), inputEnded + "1");
    }
}

TEST(CommandLine, ColoursOffWriteTheSameTextWithoutEscapes) {
    const Strings game{"-s5", "--size=5", "--pairs=4"};
    const std::string coloured = run(game).out;
    ASSERT_NE(coloured.find('\033'), std::string::npos);
    EXPECT_EQ(run(game, "", "").out, coloured); // NO_COLOR set but empty
    EXPECT_EQ(run({"-s5", "--color=always", "--size=5", "--pairs=4"}, "", "1").out, coloured);
    for (const auto& [colour, noColour] : std::vector<std::pair<std::string, const char*>>{
             {"--color=never", nullptr}, {"--color=auto", nullptr}, {"--", "1"}}) {
        Strings arguments = game;
        arguments.push_back(colour); // after the others, so "--" ends nothing
        EXPECT_EQ(run(arguments, "", noColour).out, withoutEscapes(coloured)) << colour;
    }
}

// Standard output is a pipe above; here it is said to be a terminal.
TEST(CommandLine, AutoColoursFollowTheTerminalAndOutrankNoColor) {
    for (const auto& [when, noColour, colours] :
         std::vector<std::tuple<std::string, std::string_view, bool>>{
             {"--color=auto", "", true}, {"--color=auto", "1", true}, {"--size=8", "1", false}}) {
        Strings arguments{"pairpath", when};
        auto pointers = pointersTo(arguments);
        const auto line = readCommandLine({pointers.data(), 2}, {noColour, true});
        EXPECT_EQ(line.action, Action::play);
        EXPECT_EQ(line.options.colours, colours) << when << " NO_COLOR=" << noColour;
    }
}

} // namespace
} // namespace pairpath
