// Fuzz target: arbitrary bytes are what a terminal sends the full screen. The first byte picks a
// fixed board; the rest goes through a pipe to the key decoder, keys, escape sequences and mouse
// reports alike, and each key decoded is applied to the game, as the full screen does: a mouse
// report on the cell drawn at its place, other keys through pressKey. A byte from 0xf0 up also
// resizes the window. After every key the grid and the path lists must agree; any disagreement
// aborts, which the fuzzer reports as a crash. The screen is drawn once, after the last key.

#include "checks.hpp"
#include "fixed_boards.hpp"
#include "pairpath/screen/state.hpp"
#include "pairpath/screen/view.hpp"
#include "pairpath/terminal/keys.hpp"

#include <unistd.h>

#include <array>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <memory>

namespace {

using namespace pairpath;

constexpr unsigned char resizeFrom = 0xf0;

// The window a resize byte stands for: from too small for any board to wider than all.
WindowSize windowOf(unsigned char byte) {
    constexpr int rowsStep = 3;
    constexpr int columnsStep = 9;
    return {10 + rowsStep * (byte & 7), 50 + columnsStep * ((byte >> 3) & 1)};
}

void check(const FullScreenGame& game) {
    const std::string fault = testing::pathsFault(game.live, game.paths);
    if (fault.empty()) return;
    std::cerr << "grid and paths disagree: " << fault << '\n';
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    fuzzing::fixedBoards();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t longest = 4096; // well within what a pipe holds unread
    if (size == 0 || size > longest) return 0;
    const auto& boards = fuzzing::fixedBoards();
    auto chosen = boards.begin();
    std::advance(chosen, data[0] % boards.size());
    std::array<int, 2> ends{};
    if (pipe(ends.data()) != 0) return 0;
    const bool written = write(ends[1], data + 1, size - 1) == ssize_t(size - 1);
    close(ends[1]);
    auto game = std::make_unique<FullScreenGame>(chosen->second);
    WindowSize window{24, 80};
    const Look look{true, (data[0] & 1) != 0, (data[0] & 2) != 0};
    for (KeyPress press = readKeyFrom(ends[0], std::chrono::milliseconds(0));
         written && press.key != Key::ended;
         press = readKeyFrom(ends[0], std::chrono::milliseconds(0))) {
        const auto byte = static_cast<unsigned char>(press.character);
        if (press.key == Key::character && byte >= resizeFrom) window = windowOf(byte);
        if (game->won || game->quit) game = std::make_unique<FullScreenGame>(chosen->second);
        if (!boardFits(game->live.size, window)) continue;
        if (press.key == Key::mouse) {
            const int code = cellOnScreen(game->live.size, window, press.row, press.column);
            pressMouse(*game, press.action, code);
        } else {
            pressKey(*game, press);
        }
        check(*game);
    }
    static_cast<void>(gameScreen(*game, window, look));
    close(ends[0]);
    return 0;
}
