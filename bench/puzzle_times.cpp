// Benchmark: how long a player waits between the second answer and the board, for every grid
// side and number of pairs, over fixed seeds; and how long drawing the same candidates takes
// without any search, which is the floor that the search adds to.
//
// Usage: pairpath_bench [seeds] [side pairs]   (default: 100 seeds, every choice)
// Prints one Markdown table row per choice.

#include "pairpath.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point began) {
    return std::chrono::duration<double, std::milli>(Clock::now() - began).count();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::lround(fraction * double(values.size() - 1)));
    return values[index];
}

struct Row {
    std::vector<double> waits;       // milliseconds from the answers to the board
    std::vector<double> generations; // milliseconds to draw the same candidates alone
    std::int64_t candidates = 0;
    int found = 0;
};

Row measure(int side, int pairs, int seeds) {
    Row row;
    int sink = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::srand(static_cast<unsigned>(seed));
        auto began = Clock::now();
        const pairpath::PuzzleHunt hunt = pairpath::findPuzzle(side, pairs, nullptr);
        row.waits.push_back(millisecondsSince(began));
        row.candidates += hunt.candidates;
        row.found += hunt.puzzle ? 1 : 0;

        std::srand(static_cast<unsigned>(seed));
        began = Clock::now();
        for (std::int64_t i = 0; i < hunt.candidates; ++i) {
            sink += pairpath::createArray(side, pairs).endpoints[0];
        }
        row.generations.push_back(millisecondsSince(began));
    }
    if (sink == -1) std::cout << ' ';
    return row;
}

void printRow(int side, int pairs, int seeds, const Row& row) {
    double wait = 0;
    double generation = 0;
    for (std::size_t i = 0; i < row.waits.size(); ++i) {
        wait += row.waits[i];
        generation += row.generations[i];
    }
    std::cout << std::fixed << std::setprecision(1) << "| " << side << " x " << side << " | "
              << pairs << " | " << row.found << "/" << seeds << " | " << percentile(row.waits, 0.5)
              << " | " << percentile(row.waits, 0.9) << " | " << percentile(row.waits, 1.0) << " | "
              << percentile(row.generations, 0.5) << " | " << percentile(row.generations, 0.9)
              << " | " << std::setprecision(0) << 100.0 * (wait - generation) / generation
              << " % | " << double(row.candidates) / (wait / 1000.0) << " |" << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    const int seeds = argc > 1 ? std::stoi(argv[1]) : 100;
    std::cout
        << "| grid | pairs | found | median ms | p90 ms | max ms | generation alone: median ms"
           " | p90 ms | search adds | candidates/s |\n"
           "|---|---|---|---|---|---|---|---|---|---|"
        << std::endl;
    for (int side = pairpath::minSide; side <= pairpath::maxSide; ++side) {
        for (int pairs = pairpath::minPairs; pairs <= pairpath::maxPairs; ++pairs) {
            if (argc > 3 && (side != std::stoi(argv[2]) || pairs != std::stoi(argv[3]))) continue;
            if (pairs * 3 > side * side) continue; // never solvable, refused at the question
            printRow(side, pairs, seeds, measure(side, pairs, seeds));
        }
    }
}
