// Entry point: asks for the grid side and the number of pairs, finds a puzzle that can be
// solved and plays it. Ends with status 0 after the win, 1 when standard input ends first.

#include "fullscreen.hpp"
#include "pairpath.hpp"

#include <cstdlib>
#include <ctime>
#include <iostream>

namespace {

constexpr std::string_view nothingFound =
    "No solvable puzzle was found for this grid and number of pairs. Please choose again.";
constexpr std::string_view inputEnded = "Input ended.";

// The generator is seeded once, after the first two answers: the same second and the same
// answers give the same candidates.
pairpath::Board choosePuzzle() {
    bool seeded = false;
    for (;;) {
        const int side = pairpath::askGridSide();
        const int pairs = pairpath::askPairCount(side);
        if (!seeded) {
            std::srand(static_cast<unsigned>(std::time(nullptr)));
            seeded = true;
        }
        const auto hunt = pairpath::findPuzzle(side, pairs, &std::cerr);
        if (hunt.puzzle) return *hunt.puzzle;
        std::cout << nothingFound << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    // --- Temporary, until the command line's option table takes it over: "--full-screen" or
    // "-f" as the first argument plays full screen, in colour unless NO_COLOR is set.
    if (argc > 1 &&
        (std::string_view(argv[1]) == "--full-screen" || std::string_view(argv[1]) == "-f")) {
        const char* noColour = std::getenv("NO_COLOR");
        pairpath::FullScreenSetup setup;
        setup.colours = noColour == nullptr || *noColour == '\0';
        return pairpath::playFullScreen(setup);
    }
    // --- End of the temporary part.
    try {
        pairpath::start(choosePuzzle());
    } catch (const pairpath::InputEnded&) {
        std::cout.flush();
        std::cerr << inputEnded << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
