// The command line read in-process, as a caller may read several in one process; and the layout
// of the help. What the program does with each reading is left to the program tests.

#include "pairpath/commandline.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace pairpath {
namespace {

CommandLine readWords(std::vector<std::string> words) {
    words.insert(words.begin(), "pairpath");
    std::vector<char*> arguments;
    arguments.reserve(words.size());
    for (std::string& word : words)
        arguments.push_back(word.data());
    return readCommandLine(arguments, {});
}

// Each reading starts afresh, even after one that stopped inside a group of short options (the
// "f" of "-hf" left unread) or before its last argument.
TEST(CommandLine, EachReadingStartsAfresh) {
    EXPECT_EQ(readWords({"-hf"}).action, Action::showHelp);
    EXPECT_EQ(readWords({"--size=6", "--records", "-x"}).action, Action::records);
    const CommandLine sized = readWords({"--size", "6"});
    EXPECT_EQ(sized.action, Action::play);
    EXPECT_EQ(sized.options.size, 6);
    EXPECT_FALSE(sized.options.fullScreen);
    EXPECT_EQ(readWords({"-s1", "-V", "--pairs=4"}).action, Action::showVersion);
    const CommandLine all = readWords({"-fs", "7", "--pairs=5"});
    EXPECT_EQ(all.action, Action::play);
    EXPECT_EQ(all.options.seed, 7U);
    EXPECT_EQ(all.options.pairs, 5);
    EXPECT_EQ(all.options.size, std::nullopt);
    EXPECT_TRUE(all.options.fullScreen);
}

// Every indented line of the help has its text in one column, and no line is wider than 80.
TEST(CommandLine, HelpColumnsAreAligned) {
    constexpr std::size_t column = 21;
    std::istringstream help(readWords({"--help"}).message);
    int indented = 0;
    for (std::string line; std::getline(help, line);) {
        EXPECT_LE(line.size(), 80U) << line;
        if (!line.starts_with(' ')) continue;
        ++indented;
        EXPECT_GT(line.size(), column) << line;
        EXPECT_EQ(line.substr(column - 2, 2), "  ") << line;
        EXPECT_NE(line[column], ' ') << line;
    }
    EXPECT_GT(indented, 20);
}

} // namespace
} // namespace pairpath
