// The puzzle of the day: reading and writing dates, the days since 1970 and the weekday by exact
// integer arithmetic, the grid each weekday gets, and the day's board.
//
// Every player must get the same board on the same day, whatever the platform, so the board owes
// nothing to std::rand, whose sequence each C library chooses, nor to floating point. Its random
// numbers come from SplitMix64, written out below; a number below a bound takes as many low bits
// as the bound needs and is drawn again while it is not below, which is exact for bounds up to
// 2^128. The day's attempts are numbered; each has a generator of its own, seeded from the day and
// its number, and:
//   1. draws a number below the count of covers of the grid by the day's number of paths, and
//      takes the cover of that number (cover_counts.hpp, drawing.hpp): a uniform cover;
//   2. fails when some path's two ends are side by side, or when another cover joins the same
//      ends: the board must have exactly one solution;
//   3. numbers the paths and chooses each one's start, uniformly.
// The day's board is that of the first attempt, by number, that succeeds: uniform among the
// boards of the day's choice that have exactly one solution and no pair with its ends side by
// side. Since an attempt's outcome depends on its number alone, two threads share the attempts,
// odd and even, and still find the same one. The board also depends on the order in which the
// sampler numbers the covers: a change there changes every day's board.
//
// The attempts come in rounds of a bounded number, each round with its own seed; the table's
// choices succeed within the first round but for odds too small to matter.

#include "pairpath/hunt/daily.hpp"

#include "pairpath/core/decimal.hpp"
#include "pairpath/sampler/drawing.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <ctime>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace pairpath {

namespace {

constexpr int daysPerWeek = 7;
constexpr int monthsPerYear = 12;

constexpr bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int daysInMonth(int year, int month) {
    constexpr std::array<int, monthsPerYear> lengths{31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : lengths[std::size_t(month - 1)];
}

// The grid of each weekday, Monday first.
// The grid and grade of each weekday, Monday first: the grid grows to the weekend's largest, the
// grade from easy to hard.
constexpr std::array<DailyChoice, daysPerWeek> weekChoices{{
    {5, 5, Grade::easy},
    {6, 6, Grade::easy},
    {6, 5, Grade::medium},
    {7, 7, Grade::medium},
    {7, 6, Grade::hard},
    {8, 9, Grade::medium},
    {8, 9, Grade::hard},
}};

constexpr bool fitsTheGame(const DailyChoice& choice) {
    return choice.side >= minSide && choice.side <= maxSide && choice.pairs >= minPairs &&
           choice.pairs <= maxPairs && choice.pairs <= mostPairsFor(choice.side);
}
static_assert(std::ranges::all_of(weekChoices, fitsTheGame));

// Mixed with the day into the seed: "pairpath" in ASCII.
constexpr std::uint64_t dailySalt = 0x7061697270617468;

// The seed of one of a day's rounds of attempts, from a key distinct for every day and round
// below 2^32; mixed, so that the seeds of the attempts of two rounds, the round's seed plus the
// attempt's index, do not run into each other.
std::uint64_t seedOf(long days, std::uint64_t round) {
    std::uint64_t key = dailySalt ^ std::uint64_t(days) << 32U ^ round;
    return splitMix64(key);
}

// A uniform number from 0 to bound - 1.
CoverCount uniformBelow(std::uint64_t& state, CoverCount bound) {
    const int width = bitWidth(bound - 1);
    const CoverCount mask = (CoverCount{1} << width) - 1; // width is below 128
    for (;;) {
        CoverCount value = splitMix64(state);
        if (width > 64) value |= CoverCount{splitMix64(state)} << 64U;
        value &= mask;
        if (value < bound) return value;
    }
}

// Attempt `index` of a round (see the opening comment); empty when it fails.
std::optional<Board> attempt(const CoverCounts& counts, std::uint64_t seed, std::int64_t index,
                             Grade grade) {
    std::uint64_t state = seed + std::uint64_t(index);
    state = splitMix64(state);
    const auto cover = drawCover(counts, uniformBelow(state, counts.total()));
    if (!cover || !isOnlyCoverOfItsEnds(*cover, counts.side)) return std::nullopt;
    std::vector<EndPair> pairs = cover->pairs;
    for (std::size_t i = pairs.size() - 1; i > 0; --i)
        std::swap(pairs[i], pairs[std::size_t(uniformBelow(state, i + 1))]);
    for (EndPair& pair : pairs) {
        if (uniformBelow(state, 2) != 0) std::swap(pair.first, pair.second);
    }
    Board board = boardOfPlacement(pairs, counts.side);
    if (gradeBoard(board) != grade) return std::nullopt;
    return board;
}

constexpr std::int64_t threads = 2;

struct Success {
    std::int64_t index = 0;
    std::optional<Board> board;
};

// Makes a thread's share of the attempts below `earliest`, the first success known so far (or the
// round's end), until one succeeds; lowers `earliest` to it.
Success attemptShare(const CoverCounts& counts, std::uint64_t seed, Grade grade, std::int64_t first,
                     std::atomic<std::int64_t>& earliest) {
    for (std::int64_t index = first; index < earliest.load(); index += threads) {
        if (auto board = attempt(counts, seed, index, grade)) {
            for (std::int64_t known = earliest.load();
                 index < known && !earliest.compare_exchange_weak(known, index);) {
            }
            return {index, board};
        }
    }
    return {};
}

// The board of the round's first attempt to succeed among `attempts`, if any.
std::optional<Board> firstBoardOfRound(const CoverCounts& counts, std::uint64_t seed, Grade grade,
                                       std::int64_t attempts) {
    std::atomic<std::int64_t> earliest{attempts};
    std::array<Success, threads> found{};
    std::jthread helper;
    try {
        helper = std::jthread([&] { found[1] = attemptShare(counts, seed, grade, 1, earliest); });
    } catch (const std::system_error&) {
        // No thread to be had: this one makes both shares.
    }
    found[0] = attemptShare(counts, seed, grade, 0, earliest);
    if (helper.joinable()) {
        helper.join();
    } else {
        found[1] = attemptShare(counts, seed, grade, 1, earliest);
    }
    const bool oddFirst = found[1].board && (!found[0].board || found[1].index < found[0].index);
    return found[oddFirst ? 1 : 0].board;
}

} // namespace

std::optional<Date> dateOf(std::string_view text) {
    constexpr std::size_t length = 10; // YYYY-MM-DD
    if (text.size() != length || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = decimal(text.substr(0, 4), firstDailyYear, lastDailyYear);
    const auto month = decimal(text.substr(5, 2), 1, monthsPerYear);
    if (!year || !month) return std::nullopt;
    const auto day = decimal(text.substr(8, 2), 1, daysInMonth(*year, *month));
    if (!day) return std::nullopt;
    return Date{*year, *month, *day};
}

Date todayUtc() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (now == std::time_t(-1) || gmtime_r(&now, &parts) == nullptr) return {1970, 1, 1};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::string dateText(const Date& date) {
    const auto digits = [](int value, std::size_t width) {
        std::string text = std::to_string(value);
        return std::string(width - std::min(width, text.size()), '0') + text;
    };
    return digits(date.year, 4) + '-' + digits(date.month, 2) + '-' + digits(date.day, 2);
}

// Days from the civil date: the year is counted from March, so that the leap day comes last,
// and in eras of 400 years, 146,097 days each.
long daysSinceEpoch(const Date& date) {
    constexpr long daysPerEra = 146'097;
    constexpr long yearsPerEra = 400;
    constexpr long epochFromEraStart = 719'468; // days from 0000-03-01 to 1970-01-01
    const long year = long(date.year) - (date.month <= 2 ? 1 : 0);
    const long era = (year >= 0 ? year : year - (yearsPerEra - 1)) / yearsPerEra;
    const long yearOfEra = year - era * yearsPerEra;
    const long monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
    const long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * daysPerEra + dayOfEra - epochFromEraStart;
}

int weekdayOf(const Date& date) {
    constexpr long thursday = 3; // 1970-01-01
    const long weekday = (daysSinceEpoch(date) + thursday) % daysPerWeek;
    return int(weekday < 0 ? weekday + daysPerWeek : weekday);
}

DailyChoice dailyChoice(const Date& date) { return weekChoices[std::size_t(weekdayOf(date))]; }

std::uint64_t splitMix64(std::uint64_t& state) {
    state += 0x9e3779b97f4a7c15;
    std::uint64_t mixed = state;
    mixed = (mixed ^ mixed >> 30U) * 0xbf58476d1ce4e5b9;
    mixed = (mixed ^ mixed >> 27U) * 0x94d049bb133111eb;
    return mixed ^ mixed >> 31U;
}

Board dailyBoard(const Date& date, std::int64_t attemptsPerSeed) {
    // As drawSolvable: on 5 x 5 grids the covers are counted without paths of two cells.
    constexpr int largestSideWithoutTwoCellPaths = 5;
    const DailyChoice choice = dailyChoice(date);
    const int shortest = choice.side <= largestSideWithoutTwoCellPaths ? 3 : 2;
    const CoverCounts& counts = coverCountsFor(choice.side, choice.pairs, shortest);
    const long days = daysSinceEpoch(date);
    // Every choice of the table has boards with one answer, so some round finds one.
    const std::int64_t attempts = std::max<std::int64_t>(attemptsPerSeed, 1);
    for (std::uint64_t round = 0;; ++round) {
        if (auto board = firstBoardOfRound(counts, seedOf(days, round), choice.grade, attempts))
            return *board;
    }
}

} // namespace pairpath
