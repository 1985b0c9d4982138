// Fuzz target: arbitrary bytes are the player's input to a whole game, from the two start-up
// questions through pair choices, yes-or-no answers and movement keys, on fixed solvable
// boards of several sides and pair counts. Whenever the game starts reading a new line (so
// after every accepted step), the grid and the path lists must agree; any disagreement
// aborts, which the fuzzer reports as a crash.

#include "checks.hpp"
#include "pairpath/dialogue.hpp"
#include "pairpath/hunt.hpp"
#include "pairpath/input.hpp"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>

namespace {

using namespace pairpath;

// One solvable board per choice below, found with a fixed seed, so runs are repeatable.
std::map<std::pair<int, int>, Board>& fixedBoards() {
    static std::map<std::pair<int, int>, Board> boards = [] {
        std::map<std::pair<int, int>, Board> found;
        constexpr auto choices = std::to_array<std::pair<int, int>>(
            {{5, 4}, {5, 6}, {6, 5}, {6, 7}, {7, 4}, {7, 7}, {8, 4}, {8, 6}, {8, 8}, {8, 9}});
        for (const auto& [side, pairs] : choices) {
            std::srand(unsigned(side * 10 + pairs));
            found[{side, pairs}] = *findPuzzle(side, pairs, nullptr).puzzle;
        }
        return found;
    }();
    return boards;
}

// The fixed board of this side with the pair count nearest to the one asked for.
const Board& boardFor(int side, int pairs) {
    const Board* best = nullptr;
    for (const auto& [choice, board] : fixedBoards()) {
        if (choice.first != side) continue;
        if (best == nullptr ||
            std::abs(choice.second - pairs) < std::abs(best->count / 2 - pairs)) {
            best = &board;
        }
    }
    return *best;
}

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
