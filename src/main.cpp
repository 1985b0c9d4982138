// Entry point: reads the command line, then either hands over to the full-screen game or asks
// for the grid side and the number of pairs unless the options give them, finds a puzzle that
// can be solved and plays it line by line. Ends with status 0 after the win or the help or
// version, 1 when standard input ends first, 2 on a bad option.

#include "commandline.hpp"
#include "fullscreen.hpp"
#include "pairpath.hpp"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <new>

namespace {

constexpr int usageError = 2;

// The grid side and pair count: taken from the options where they give them, asked otherwise.
std::pair<int, int> startAnswers(std::optional<int> size, std::optional<int> pairs) {
    if (size && pairs) return {*size, *pairs};
    if (size) return {*size, pairpath::askPairCount(*size)};
    if (pairs) return {pairpath::askGridSideFor(*pairs), *pairs};
    const int side = pairpath::askGridSide();
    return {side, pairpath::askPairCount(side)};
}

// The generator is seeded once, after the first two answers: the same seed (by default the
// second) and the same answers give the same candidates. The options answer the questions for
// the first hunt only; after a fruitless hunt both questions are asked.
pairpath::Board choosePuzzle(const pairpath::Options& options) {
    for (bool first = true;; first = false) {
        const auto [side, pairs] =
            first ? startAnswers(options.size, options.pairs) : startAnswers({}, {});
        if (first) std::srand(options.seed.value_or(static_cast<unsigned>(std::time(nullptr))));
        const auto hunt = pairpath::findPuzzle(side, pairs, &std::cerr);
        if (hunt.puzzle) return *hunt.puzzle;
        std::cout << pairpath::messageText(pairpath::Message::nothingFound) << '\n';
    }
}

} // namespace

int main(int argc, char* argv[]) {
    std::set_new_handler(pairpath::outOfMemory);
    const char* noColour = std::getenv("NO_COLOR");
    const auto command = pairpath::readCommandLine(
        std::span(argv, std::size_t(argc)),
        {noColour == nullptr ? "" : noColour, isatty(STDOUT_FILENO) == 1});
    if (command.action == pairpath::Action::refuse) {
        std::cerr << command.message;
        return usageError;
    }
    if (command.action != pairpath::Action::play) {
        std::cout << command.message;
        return EXIT_SUCCESS;
    }
    if (command.options.fullScreen) return pairpath::playFullScreen(command.options);
    pairpath::useColours(command.options.colours);
    try {
        pairpath::start(choosePuzzle(command.options));
    } catch (const pairpath::InputEnded&) {
        std::cout.flush();
        std::cerr << pairpath::messageText(pairpath::Message::inputEnded) << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
