// Choice input: the only code that reads standard input. Every answer the player gives is one
// line holding exactly one character of an allowed set; anything else is answered with a
// message and the next line is read. The start-up questions live here too, since the fuzzer
// and the tests drive them without the program's entry point.

#include "pairpath.hpp"

#include <iostream>

namespace pairpath {

namespace {

constexpr std::string_view lengthMessage = "Invalid Input. Please only input one valid char again.";
constexpr std::string_view setMessage =
    "Invalid input: input does not match expected input. Please input your choice again.";

constexpr std::string_view sideQuestion =
    "What size grid would you like. Please Enter a number between 5-8";
constexpr std::string_view pairQuestion =
    "How many numbers would you like to link. Please Enter a number between 4-9";
constexpr std::string_view tooManyPairs = "A 5 x 5 grid can hold at most 8 pairs.";

constexpr std::string_view sideChoices = "5678";
constexpr std::string_view pairChoices = "456789";

char nextChar() {
    const auto c = std::cin.get();
    if (c == std::char_traits<char>::eof()) throw InputEnded{};
    return std::char_traits<char>::to_char_type(c);
}

void skipRestOfLine() {
    while (nextChar() != '\n') {
    }
}

void sayLine(std::string_view text) { std::cout << text << '\n'; }

} // namespace

char getUserinput(std::string_view allowed) {
    for (;;) {
        const char answer = nextChar();
        if (answer == '\n') {
            sayLine(lengthMessage);
            continue;
        }
        if (nextChar() != '\n') {
            sayLine(lengthMessage);
            skipRestOfLine();
            continue;
        }
        if (allowed.find(answer) != std::string_view::npos) return answer;
        sayLine(setMessage);
    }
}

int askGridSide() {
    sayLine(sideQuestion);
    return getUserinput(sideChoices) - '0';
}

int askPairCount(int side) {
    for (;;) {
        sayLine(pairQuestion);
        const int pairs = getUserinput(pairChoices) - '0';
        if (pairs <= mostPairsFor(side)) return pairs;
        sayLine(tooManyPairs);
    }
}

} // namespace pairpath
