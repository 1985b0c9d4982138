// The choice reader and the start-up questions against real lines of input: each line is one
// answer or one message, and the reader consumes it whole.

#include "checks.hpp"
#include "pairpath/input.hpp"

#include <gtest/gtest.h>

namespace pairpath {
namespace {

using namespace pairpath::testing;

const std::string notInSet =
    "Invalid input: input does not match expected input. Please input your choice again.\n";

// What `ask` returns (0 when the input ends first) and writes with `typed` as standard input.
template <typename Ask> std::pair<int, std::string> answer(const std::string& typed, Ask ask) {
    std::istringstream input(typed);
    const Redirected redirected(input.rdbuf());
    int answered = 0;
    try {
        answered = static_cast<unsigned char>(ask()); // a character as its byte value
    } catch (const InputEnded&) {
    }
    return {answered, redirected.output.str()};
}

TEST(Input, EachLineIsOneAnswerOrOneMessage) {
    const auto cases = std::to_array<std::tuple<std::string, int, std::string>>({
        {"5\n6\n", '5', ""},
        {"\n55\n 5\n5\r\n6\n", '6', wrongLength + wrongLength + wrongLength + wrongLength},
        {"9\nx\n" + std::string("\0\n", 2) + "\x7f\n6\n", '6',
         notInSet + notInSet + notInSet + notInSet},
        {std::string(1'000'000, '5') + "\n7\n", '7', wrongLength},
        {"55\n5", 0, wrongLength}, // a last line without its newline is no answer
        {"9\n", 0, notInSet},
    });
    for (const auto& [typed, expected, messages] : cases) {
        EXPECT_EQ(answer(typed, [] { return getUserinput("5678"); }), std::pair(expected, messages))
            << typed.substr(0, 20);
    }
    EXPECT_EQ(answer("y\n", [] { return getUserinput("YNyn"); }).first, 'y');
    // The start questions: the side and pair count asked, each until it fits with the other.
    const auto choose = [](std::optional<int> size, std::optional<int> pairs) {
        return [size, pairs] {
            Session session = beginSession(std::nullopt, size, pairs);
            askStartQuestions(session);
            return *session.size * 10 + *session.pairs;
        };
    };
    EXPECT_EQ(answer("5\n6\n", choose(std::nullopt, 9)),
              std::pair(69, sideQuestion + tooManyPairs + sideQuestion));
    EXPECT_EQ(answer("4\n\n8\n5\n", choose(std::nullopt, std::nullopt)),
              std::pair(85, sideQuestion + notInSet + wrongLength + pairQuestion));
    EXPECT_EQ(answer("9\n8\n", choose(5, std::nullopt)),
              std::pair(58, pairQuestion + tooManyPairs + pairQuestion));
    EXPECT_EQ(answer("9\n", choose(6, std::nullopt)), std::pair(69, pairQuestion));
}

} // namespace
} // namespace pairpath
