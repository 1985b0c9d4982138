// The command line read in-process, as a caller may read several in one process; and the layout
// of the help. What the program does with each reading is left to the program tests.

#include "pairpath/commandline.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
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
    const Options sized = readWords({"--size", "6"}).options;
    EXPECT_EQ(std::tuple(sized.size, sized.fullScreen, sized.answers),
              std::tuple(6, false, Answers::any));
    EXPECT_EQ(readWords({"-s1", "-V", "--pairs=4"}).action, Action::showVersion);
    const CommandLine all = readWords({"-fus", "7", "--pairs=5"});
    EXPECT_EQ(all.action, Action::play);
    EXPECT_EQ(std::tuple(all.options.seed, all.options.size, all.options.pairs),
              std::tuple(7U, std::nullopt, 5));
    EXPECT_EQ(std::tuple(all.options.fullScreen, all.options.answers),
              std::tuple(true, Answers::one));
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
        EXPECT_TRUE(line.size() > column && line.substr(column - 2, 2) == "  " &&
                    line[column] != ' ')
            << line;
    }
    EXPECT_GT(indented, 20);
}

} // namespace
} // namespace pairpath
