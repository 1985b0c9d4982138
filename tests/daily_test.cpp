// The puzzle of the day: dates read strictly and counted exactly, the weekday's grid, and the
// day's board, fixed to the byte, with exactly one solution, and different from day to day.

#include "checks.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/sampler/fixed_ends.hpp"

#include <gtest/gtest.h>

#include <ctime>

namespace pairpath {
namespace {

Date dateFrom(std::string_view text) { return dateOf(text).value_or(Date{}); }

TEST(Daily, DatesAreReadStrictlyAndCountedExactly) {
    for (const std::string_view wrong :
         {"", "2026-02-29", "2026-13-01", "2026-00-10", "2026-12-00", "2026-04-31", "2026-1-07",
          "2026-12-07x", " 2026-12-07", "2026/12/07", "1969-12-31", "2100-02-29", "+026-12-07",
          "20261207", "10000-01-01"})
        EXPECT_FALSE(dateOf(wrong)) << wrong;
    // Days since 1970 and weekdays as `date -u` gives them; 1970-01-01 was a Thursday.
    const auto known = std::to_array<std::tuple<std::string_view, long, int>>({
        {"1970-01-01", 0, 3},
        {"2000-02-29", 11'016, 1},
        {"2026-12-07", 20'794, 0},
        {"9999-12-31", 2'932'896, 4},
    });
    for (const auto& [text, days, weekday] : known) {
        const Date date = dateFrom(text);
        EXPECT_EQ(dateText(date), text); // read back as written, so read at all
        EXPECT_EQ(daysSinceEpoch(date), days) << text;
        EXPECT_EQ(weekdayOf(date), weekday) << text;
    }
}

TEST(Daily, TodayIsTheUtcDayOfTheClock) {
    constexpr std::time_t secondsPerDay = 86'400;
    const std::time_t before = std::time(nullptr);
    const Date today = todayUtc();
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(dateOf(dateText(today)), today);
    EXPECT_GE(daysSinceEpoch(today), before / secondsPerDay);
    EXPECT_LE(daysSinceEpoch(today), after / secondsPerDay);
}

// SplitMix64 from state 0, as its authors publish it.
TEST(Daily, GeneratorGivesSplitMix64) {
    std::uint64_t state = 0;
    EXPECT_EQ(splitMix64(state), 0xe220a8397b1dcdaf);
    EXPECT_EQ(splitMix64(state), 0x6e789e6aa1b965f4);
    EXPECT_EQ(splitMix64(state), 0x06c45d188009454f);
}

TEST(Daily, EachWeekdayHasItsGridAndOneSolution) {
    constexpr std::array<std::pair<int, int>, 7> week{
        {{5, 5}, {6, 6}, {6, 5}, {7, 7}, {7, 6}, {8, 9}, {8, 9}}};
    const Date monday = dateFrom("2026-12-21");
    for (int day = 0; day < 7; ++day) {
        const Date date{monday.year, monday.month, monday.day + day};
        const Board board = dailyBoard(date);
        EXPECT_EQ(std::pair(dailyChoice(date).side, dailyChoice(date).pairs),
                  week[std::size_t(day)]);
        EXPECT_EQ(std::pair(board.size, board.count / 2), week[std::size_t(day)]);
        EXPECT_EQ(countSolutions(board), 1U) << testing::gridText(board);
        EXPECT_EQ(gradeBoard(board), dailyChoice(date).grade) << testing::gridText(board);
    }
}

TEST(Daily, TheDaysBoardIsFixedAndChangesWithTheDay) {
    const Board board = dailyBoard(dateFrom("2026-12-07"));
    EXPECT_EQ(testing::gridText(board), "2..1./...3./234../...15/..45.");
    const std::array<int, 10> ends{33, 3, 0, 20, 13, 21, 22, 42, 34, 43};
    EXPECT_TRUE(std::equal(ends.begin(), ends.end(), board.endpoints.begin()));
    EXPECT_EQ(dailyBoard(dateFrom("2026-12-07")).endpoints, board.endpoints);
    // The next Monday: the same grid, another board.
    EXPECT_NE(testing::gridText(dailyBoard(dateFrom("2026-12-14"))), testing::gridText(board));
}

// Rounds of a single attempt: the first round fails (its board would be the usual one), the
// next seeds take over, and the board is still the same every time, with one solution.
TEST(Daily, FailedRoundsGiveWayToTheNextSeed) {
    const Board board = dailyBoard(dateFrom("2026-12-08"), 1);
    EXPECT_EQ(countSolutions(board), 1U);
    EXPECT_EQ(dailyBoard(dateFrom("2026-12-08"), 1).endpoints, board.endpoints);
    EXPECT_NE(dailyBoard(dateFrom("2026-12-08")).endpoints, board.endpoints);
}

} // namespace
} // namespace pairpath
