// Measurement: the share of each grade among the one-answer boards the game deals, and how long
// grading takes, for every choice of grid side and pair count or for one.
//
// Usage: pairpath_grades [boards [side pairs]]   (default: 500 boards, every choice)
// Board n is the one findPuzzle deals for one answer after std::srand(n). Prints one Markdown
// table row per choice. Times are the grading thread's processor time, so that other work on a
// shared machine does not count.

#include "pairpath/hunt/hunt.hpp"
#include "pairpath/reason/trials.hpp"

#include <ctime>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace {

double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    constexpr double perSecond = 1e3;
    constexpr double perNanosecond = 1e-6;
    return double(now.tv_sec) * perSecond + double(now.tv_nsec) * perNanosecond;
}

std::optional<int> numberOf(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.begin(), text.end(), value);
    if (error != std::errc{} || end != text.end() || value <= 0) return std::nullopt;
    return value;
}

void measureChoice(int side, int pairs, int boards) {
    std::array<int, 4> counts{};
    std::vector<double> times;
    for (int seed = 1; seed <= boards; ++seed) {
        std::srand(unsigned(seed));
        const auto hunt = pairpath::findPuzzle(side, pairs, nullptr, pairpath::Answers::one);
        if (!hunt.puzzle) continue;
        const double began = threadMilliseconds();
        const pairpath::Grade grade = pairpath::gradeBoard(*hunt.puzzle);
        times.push_back(threadMilliseconds() - began);
        ++counts[std::size_t(grade)];
    }
    if (times.empty()) return;
    std::ranges::sort(times);
    const auto share = [&](int count) { return 100.0 * count / double(times.size()); };
    std::printf("| %d x %d | %d | %zu | %.0f %% | %.0f %% | %.0f %% | %.0f %% | %.2f | %.1f |\n",
                side, side, pairs, times.size(), share(counts[0]), share(counts[1]),
                share(counts[2]), share(counts[3]), times[times.size() / 2], times.back());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto boards = args.empty() ? std::optional<int>(500) : numberOf(args[0]);
    const bool oneChoice = args.size() == 3;
    const auto side = oneChoice ? numberOf(args[1]) : std::nullopt;
    const auto pairs = oneChoice ? numberOf(args[2]) : std::nullopt;
    if (!boards || (args.size() != 1 && args.size() != 3 && !args.empty()) ||
        (oneChoice && (!side || !pairs))) {
        std::cerr << "usage: pairpath_grades [boards [side pairs]]\n";
        return 2;
    }
    std::puts("| grid | pairs | boards | easy | medium | hard | expert | median ms | max ms |");
    std::puts("|---|---|---|---|---|---|---|---|---|");
    for (int s = pairpath::minSide; s <= pairpath::maxSide; ++s) {
        for (int p = pairpath::minPairs;
             p <= std::min(pairpath::maxPairs, pairpath::mostPairsFor(s)); ++p) {
            if (!oneChoice || (s == *side && p == *pairs)) measureChoice(s, p, *boards);
        }
    }
    return 0;
}
