// Fuzz target: arbitrary bytes are the player's input to a whole game, from the two start-up
// questions through pair choices, yes-or-no answers and movement keys, on fixed solvable
// boards of several sides and pair counts. Whenever the game starts reading a new line (so
// after every accepted step), the grid and the path lists must agree; any disagreement
// aborts, which the fuzzer reports as a crash.

#include "checks.hpp"
#include "fixed_boards.hpp"
#include "pairpath/line/dialogue.hpp"
#include "pairpath/line/input.hpp"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

namespace {

using namespace pairpath;
using fuzzing::boardFor;
using fuzzing::fixedBoards;

// The game being played, for the invariant check made at every new line.
const Board* liveBoard = nullptr;
const Paths* livePaths = nullptr;

void checkInvariants() {
    if (liveBoard == nullptr) return;
    const std::string fault = testing::pathsFault(*liveBoard, *livePaths);
    if (!fault.empty()) {
        std::cerr << "grid and paths disagree: " << fault << '\n';
        std::abort();
    }
}

// Output that is thrown away.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    fixedBoards();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing::CheckedInput input({reinterpret_cast<const char*>(data), size}, checkInvariants);
    Discard output;
    std::streambuf* const oldIn = std::cin.rdbuf(&input);
    std::streambuf* const oldOut = std::cout.rdbuf(&output);

    Board live;
    Paths paths{};
    int pairs = 0;
    try {
        Session session = beginSession(std::nullopt, std::nullopt, std::nullopt);
        askStartQuestions(session);
        live = boardFor(*session.size, *session.pairs);
        pairs = live.count / 2;
        paths = makeHeads(pairs);
        liveBoard = &live;
        livePaths = &paths;
        runGame(live, paths);
        if (isWin(live, paths) != 1) std::abort(); // the game only returns once it is won
    } catch (const InputEnded&) {
    }
    checkInvariants();
    liveBoard = nullptr;
    livePaths = nullptr;
    releasePaths(paths, pairs);

    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    std::cin.clear();
    return 0;
}
