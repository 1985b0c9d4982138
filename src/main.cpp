// Entry point: reads the command line, then either hands over to the full-screen game or asks
// for the grid side and the number of pairs unless the options give them, finds a puzzle that
// can be solved and plays it line by line; or solves boards, or shows the records of games won.
// Ends with status 0 after the win or the help or version, 1 when standard input ends first, 2
// on a bad option.

#include "pairpath/line/dialogue.hpp"
#include "pairpath/line/input.hpp"
#include "pairpath/program/actions.hpp"
#include "pairpath/program/commandline.hpp"
#include "pairpath/screen/fullscreen.hpp"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <new>

namespace {

constexpr int usageError = 2;

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
    if (command.action == pairpath::Action::solve) {
        return pairpath::solveFile(command.options.solveFile);
    }
    if (command.action == pairpath::Action::records) {
        return pairpath::showRecords(std::cout, std::cerr);
    }
    if (command.action != pairpath::Action::play) {
        std::cout << command.message;
        return EXIT_SUCCESS;
    }
    const pairpath::Options& options = command.options;
    if (options.fullScreen) return pairpath::playFullScreen(options);
    pairpath::useColours(options.colours);
    try {
        pairpath::Session session =
            pairpath::beginSession(options.seed, options.size, options.pairs, options.answers,
                                   options.daily, options.grade);
        pairpath::start(pairpath::startPuzzle(session));
    } catch (const pairpath::InputEnded&) {
        std::cout.flush();
        std::cerr << pairpath::messageText(pairpath::Message::inputEnded) << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
