// The puzzle of the day: the dates that name the days, the grid each weekday gets, and the day's
// board, the same for every player on every platform.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/reason/trials.hpp"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pairpath {

// A day of the Gregorian calendar, in the years dateOf accepts.
struct Date {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to the month's length
    // clang-tidy 14 reads the defaulted comparison as a comparison with 0.
    auto operator<=>(const Date&) const = default; // NOLINT(modernize-use-nullptr)
};

inline constexpr int firstDailyYear = 1970;
inline constexpr int lastDailyYear = 9999;

// `text` as a date written "YYYY-MM-DD": four digits of a year from firstDailyYear to
// lastDailyYear, two of a month, two of a day of that month (29 February in leap years only),
// and nothing else; nothing when it is not one.
std::optional<Date> dateOf(std::string_view text);

// Today in UTC, by the system clock; 1970-01-01 when the clock cannot be read.
Date todayUtc();

// "2026-12-07": the form dateOf reads.
std::string dateText(const Date& date);

// Days from 1970-01-01 to `date`, which must be a real date.
long daysSinceEpoch(const Date& date);

// 0 for Monday to 6 for Sunday.
int weekdayOf(const Date& date);

// The grid a day's board has, and its grade, by its weekday: small and easy early in the week,
// largest at the weekend.
struct DailyChoice {
    int side = 0;
    int pairs = 0;
    Grade grade = Grade::easy;
};
DailyChoice dailyChoice(const Date& date);

// The generator the day's board is drawn with: SplitMix64, whose sequence this program fixes.
// Returns the next 64 bits and moves `state` on.
std::uint64_t splitMix64(std::uint64_t& state);

inline constexpr std::int64_t dailyAttemptsPerSeed = 1'000'000;

// The day's board: a pure function of the date, with exactly one solution, of the day's grade. Each
// seed gets at most `attemptsPerSeed` attempts; when they all fail, the next seed of the day takes
// over.
Board dailyBoard(const Date& date, std::int64_t attemptsPerSeed = dailyAttemptsPerSeed);

} // namespace pairpath
