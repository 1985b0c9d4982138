// Benchmark: how long a player waits between the second answer and the board, for every grid
// side and number of pairs, over fixed seeds. Each seed runs in a fresh child process, as a new
// game does, so the first board includes every table the method builds; a second board in the
// same process shows the wait for a new puzzle later in a game. The child's peak memory is its
// maximum resident set size.
//
// Usage: pairpath_bench [--unique | --difficulty=LEVEL] [seeds [side pairs]]
//        (default: 100 seeds, every choice; with --difficulty, the grades a choice does not offer
//        are timed too, so that the table of those it offers can be made)
// Prints one Markdown table row per choice.

#include "pairpath/hunt/hunt.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Bytes in ru_maxrss's unit: bytes on macOS, KiB on Linux and the BSDs.
#ifdef __APPLE__
constexpr long maxrssUnit = 1;
#else
constexpr long maxrssUnit = 1024;
#endif

// The puzzles asked for: any, one answer, or one answer of a grade.
struct Asked {
    pairpath::Answers answers = pairpath::Answers::any;
    std::optional<pairpath::Grade> grade;
};

struct Wait {
    double first = 0;  // milliseconds to the first board, tables included
    double second = 0; // milliseconds to a second board in the same process
    bool found = false;
};

double millisecondsSince(Clock::time_point began) {
    return std::chrono::duration<double, std::milli>(Clock::now() - began).count();
}

// Runs in the child: both waits, written to `out` as raw bytes.
[[noreturn]] void measureInChild(int side, int pairs, const Asked& asked, unsigned seed, int out) {
    std::srand(seed);
    Wait wait;
    auto began = Clock::now();
    wait.found = pairpath::findPuzzle(side, pairs, nullptr, asked.answers, pairpath::candidateLimit,
                                      nullptr, asked.grade)
                     .puzzle.has_value();
    wait.first = millisecondsSince(began);
    began = Clock::now();
    pairpath::findPuzzle(side, pairs, nullptr, asked.answers, pairpath::candidateLimit, nullptr,
                         asked.grade);
    wait.second = millisecondsSince(began);
    const bool written = write(out, &wait, sizeof wait) == ssize_t(sizeof wait);
    _exit(written ? 0 : 1);
}

// One seed in a fresh process; empty if the child failed. Adds the child's peak memory in KiB.
std::optional<Wait> measure(int side, int pairs, const Asked& asked, unsigned seed, long& peakKiB) {
    std::array<int, 2> channel{};
    if (pipe(channel.data()) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        measureInChild(side, pairs, asked, seed, channel[1]);
    }
    close(channel[1]);
    Wait wait;
    const bool got = child > 0 && read(channel[0], &wait, sizeof wait) == ssize_t(sizeof wait);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    if (child > 0) wait4(child, &status, 0, &usage);
    peakKiB = std::max(peakKiB, usage.ru_maxrss * maxrssUnit / 1024);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return wait;
}

// The value below which a fraction `share` of the sorted `values` lie (nearest rank).
double percentile(const std::vector<double>& sorted, double share) {
    const auto rank = std::size_t(std::max(1.0, share * double(sorted.size()) + 0.999999));
    return sorted[std::min(rank, sorted.size()) - 1];
}

bool printRow(int side, int pairs, const Asked& asked, int seeds) {
    std::vector<double> first;
    std::vector<double> second;
    int found = 0;
    long peakKiB = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        const auto wait = measure(side, pairs, asked, unsigned(seed), peakKiB);
        if (!wait) return false;
        first.push_back(wait->first);
        second.push_back(wait->second);
        found += wait->found ? 1 : 0;
    }
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    const char* method =
        pairpath::isDrawnDirectly(side, pairs, asked.answers) ? "drawn directly" : "draw and check";
    std::printf("| %d x %d | %d | %s | %d/%d | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f |\n", side,
                side, pairs, method, found, seeds, percentile(first, 0.5), percentile(first, 0.9),
                percentile(first, 0.99), first.back(), percentile(second, 0.5),
                double(peakKiB) / 1024);
    std::fflush(stdout);
    return true;
}

std::optional<int> numberIn(std::string_view text, int least, int most) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < least || value > most) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    Asked asked;
    bool badGrade = false;
    constexpr std::string_view difficulty = "--difficulty=";
    if (!arguments.empty() && arguments.front() == "--unique") {
        asked.answers = pairpath::Answers::one;
        arguments.erase(arguments.begin());
    } else if (!arguments.empty() && arguments.front().starts_with(difficulty)) {
        asked.grade = pairpath::gradeOfName(arguments.front().substr(difficulty.size()));
        asked.answers = pairpath::Answers::one;
        badGrade = !asked.grade;
        arguments.erase(arguments.begin());
    }
    const auto seeds = arguments.empty() ? 100 : numberIn(arguments[0], 1, 1'000'000);
    std::optional<int> side;
    std::optional<int> pairs;
    if (arguments.size() == 3) {
        side = numberIn(arguments[1], pairpath::minSide, pairpath::maxSide);
        pairs = numberIn(arguments[2], pairpath::minPairs, pairpath::maxPairs);
    }
    if (badGrade || !seeds || (arguments.size() == 3 && (!side || !pairs)) ||
        arguments.size() == 2 || arguments.size() > 3) {
        std::cerr << "usage: pairpath_bench [--unique | --difficulty=LEVEL] [seeds [side pairs]]:"
                     " seeds 1 to 1000000,"
                     " side 5 to 8,"
                     " pairs 4 to 9\n";
        return 2;
    }
    std::printf("| grid | pairs | method | found | median ms | p90 ms | p99 ms | max ms | "
                "next board: median ms | peak MB |\n|---|---|---|---|---|---|---|---|---|---|\n");
    for (int size = pairpath::minSide; size <= pairpath::maxSide; ++size) {
        for (int count = pairpath::minPairs; count <= pairpath::maxPairs; ++count) {
            if ((side && size != *side) || (pairs && count != *pairs)) continue;
            if (count > pairpath::mostPairsFor(size)) continue; // refused at the question
            if (!printRow(size, count, asked, *seeds)) {
                std::cerr << "a measuring process failed\n";
                return 1;
            }
        }
    }
}
