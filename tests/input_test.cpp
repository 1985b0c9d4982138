// The choice reader and the start-up questions against real lines of input.

#include "pairpath.hpp"
#include "texts.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace pairpath {
namespace {

using namespace pairpath::testing; // the expected texts

// Standard input holding `text` and standard output collected, for as long as it lives.
class Typed {
  public:
    explicit Typed(std::string text) : input(std::move(text)) {
        oldIn = std::cin.rdbuf(input.rdbuf());
        oldOut = std::cout.rdbuf(output.rdbuf());
    }
    ~Typed() {
        std::cin.rdbuf(oldIn);
        std::cout.rdbuf(oldOut);
        std::cin.clear();
    }
    Typed(const Typed&) = delete;
    Typed& operator=(const Typed&) = delete;

    std::string written() const { return output.str(); }
    std::string unread() {
        std::string rest;
        std::getline(input, rest, '\0');
        return rest;
    }

  private:
    std::istringstream input;
    std::ostringstream output;
    std::streambuf* oldIn = nullptr;
    std::streambuf* oldOut = nullptr;
};

TEST(ChoiceReader, OneAllowedCharacterIsAccepted) {
    Typed typed("5\n6\n");
    EXPECT_EQ(getUserinput("5678"), '5');
    EXPECT_EQ(typed.written(), "");
    EXPECT_EQ(typed.unread(), "6\n");
}

TEST(ChoiceReader, CaseIsKept) {
    Typed typed("y\n");
    EXPECT_EQ(getUserinput("YNyn"), 'y');
}

TEST(ChoiceReader, WrongLinesGetTheirMessageAndAreConsumedWhole) {
    struct Case {
        std::string typed;
        std::string messages;
    };
    const Case cases[] = {
        {"\n6\n", lengthMessage},
        {"55\n6\n", lengthMessage},
        {" 5\n6\n", lengthMessage},
        {"5 \n6\n", lengthMessage},
        {"5\r\n6\n", lengthMessage},
        {"9\n6\n", setMessage},
        {"x\n\n5555\n4\n6\n", setMessage + lengthMessage + lengthMessage + setMessage},
        {std::string("\0\n6\n", 4), setMessage},
        {"\x1b[A\n\x7f\n6\n", lengthMessage + setMessage},
    };
    for (const Case& c : cases) {
        Typed typed(c.typed);
        EXPECT_EQ(getUserinput("5678"), '6') << c.typed;
        EXPECT_EQ(typed.written(), c.messages) << c.typed;
    }
}

TEST(ChoiceReader, VeryLongLineIsOneWrongAnswer) {
    Typed typed(std::string(1'000'000, '5') + "\n7\n");
    EXPECT_EQ(getUserinput("5678"), '7');
    EXPECT_EQ(typed.written(), lengthMessage);
}

TEST(ChoiceReader, EndOfInputIsNeverAnAnswer) {
    for (const char* text : {"", "5", "55", "\n", "9\n", "55\n5"}) {
        Typed typed(text);
        EXPECT_THROW(getUserinput("5678"), InputEnded) << '"' << text << '"';
    }
}

TEST(StartupQuestions, SideQuestionIsAskedOnce) {
    Typed typed("4\n9\n55\n\n8\n");
    EXPECT_EQ(askGridSide(), 8);
    EXPECT_EQ(typed.written(),
              sideQuestion + setMessage + setMessage + lengthMessage + lengthMessage);
}

TEST(StartupQuestions, FiveByFiveRefusesNinePairs) {
    Typed typed("9\n8\n");
    EXPECT_EQ(askPairCount(5), 8);
    EXPECT_EQ(typed.written(),
              pairQuestion + "A 5 x 5 grid can hold at most 8 pairs.\n" + pairQuestion);
}

TEST(StartupQuestions, LargerGridsTakeNinePairs) {
    Typed typed("9\n");
    EXPECT_EQ(askPairCount(6), 9);
    EXPECT_EQ(typed.written(), pairQuestion);
}

} // namespace
} // namespace pairpath
