// Fixed solvable boards for the fuzz targets: one per choice, found with a fixed seed, so that
// runs are repeatable.
#pragma once

#include "pairpath/hunt/hunt.hpp"

#include <array>
#include <cstdlib>
#include <map>

namespace pairpath::fuzzing {

// One solvable board per choice below.
inline std::map<std::pair<int, int>, Board>& fixedBoards() {
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
inline const Board& boardFor(int side, int pairs) {
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

} // namespace pairpath::fuzzing
