// Choice input: the only code that reads standard input in the line dialogue. Every answer the
// player gives is one line holding exactly one character of an allowed set; anything else is
// answered with a message and the next line is read. The start-up questions live here too,
// since the fuzzer and the tests drive them without the program's entry point.

#include "pairpath/line/input.hpp"

#include "pairpath/core/messages.hpp"
#include "pairpath/terminal/terminal.hpp"

#include <iostream>

namespace pairpath {

namespace {

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

void say(Message message) { std::cout << messageText(message) << '\n'; }

} // namespace

void prompt(std::string_view text) {
    promptAgainOnResume(text); // first: a stop may come as soon as the text is out
    std::cout << text << '\n';
}

char getUserinput(std::string_view allowed) {
    for (;;) {
        const char answer = nextChar();
        if (answer == '\n') {
            say(Message::wrongLength);
            continue;
        }
        if (nextChar() != '\n') {
            say(Message::wrongLength);
            skipRestOfLine();
            continue;
        }
        if (allowed.find(answer) != std::string_view::npos) return answer;
        say(Message::notAChoice);
    }
}

void askStartQuestions(Session& session) {
    for (StartQuestion question = nextQuestion(session); question != StartQuestion::none;
         question = nextQuestion(session)) {
        const bool side = question == StartQuestion::side;
        prompt(messageText(side ? Message::sideQuestion : Message::pairQuestion));
        const int answer = getUserinput(side ? sideChoices : pairChoices) - emptyCell;
        if (const std::string why = takeAnswer(session, question, answer); !why.empty())
            std::cout << why << '\n';
    }
}

Board startPuzzle(Session& session) {
    for (;;) {
        askStartQuestions(session);
        if (const auto puzzle = dealPuzzle(session, &std::cerr)) return *puzzle;
        say(Message::nothingFound);
    }
}

} // namespace pairpath
