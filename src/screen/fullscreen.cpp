// The full-screen game's session: takes the terminal, asks the start choice with single keys,
// deals each puzzle through the session that the line dialogue shares, and plays it key by key
// until the player quits; every way out gives the terminal back.

#include "pairpath/fullscreen.hpp"

#include "pairpath/sampler.hpp"
#include "pairpath/screenview.hpp"
#include "pairpath/session.hpp"

#include <cstdlib>
#include <iostream>

namespace pairpath {

namespace {

constexpr int notATerminalStatus = 2;

// The next key; standard input's end ends the game as in the line dialogue.
KeyPress nextKey() {
    const KeyPress press = readKey();
    if (press.key == Key::ended) throw InputEnded{};
    return press;
}

// Asks with single keys until a digit from `low` to `high` is pressed, and returns it; 0 when
// the player presses Q.
int askDigit(const std::vector<std::string>& lines, int low, int high) {
    const std::string keys = messageText(Message::digitKeys, low, high);
    for (;;) {
        writeScreen(textScreen(windowSize(), lines, keys));
        const KeyPress press = nextKey();
        const char letter = press.key == Key::character ? upper(press.character) : '\0';
        if (letter >= digitOf(low) && letter <= digitOf(high)) return letter - emptyCell;
        if (letter == 'Q') return 0;
    }
}

// Asks what the session still needs for its next puzzle; false when the player quits instead.
// `note` is shown above the first question.
bool askStartQuestions(Session& session, std::string note) {
    for (StartQuestion question = nextQuestion(session); question != StartQuestion::none;
         question = nextQuestion(session)) {
        const bool side = question == StartQuestion::side;
        const int low = side ? minSide : minPairs;
        const int high = side ? maxSide : maxPairs;
        const Message asked = side ? Message::screenSideQuestion : Message::screenPairQuestion;
        const int answer = askDigit({note, messageText(asked, low, high)}, low, high);
        if (answer == 0) return false;
        note = takeAnswer(session, question, answer) ? "" : messageText(Message::tooManyPairs);
    }
    return true;
}

// Plays one game; true when the player wants a new puzzle after the win, false to quit.
bool playGame(FullScreenGame& game, const Look& look) {
    for (;;) {
        writeScreen(gameScreen(game, windowSize(), look));
        const KeyPress press = nextKey();
        if (press.key == Key::redraw) continue;
        if (game.won) {
            const char letter = press.key == Key::character ? upper(press.character) : '\0';
            if (letter == 'N' || letter == 'Q') return letter == 'N';
            continue;
        }
        pressKey(game, press);
        if (game.quit) return false;
    }
}

int playGames(const Options& options, const Look& look) {
    Session session = beginSession(options.seed, options.size, options.pairs, options.answers);
    std::string note;
    for (;;) {
        if (!askStartQuestions(session, note)) return EXIT_SUCCESS;
        const int size = *session.size;
        const int pairs = *session.pairs;
        writeScreen(textScreen(windowSize(),
                               {messageText(Message::lookingForPuzzle, size, size, pairs)}, ""));
        const auto puzzle = dealPuzzle(session, nullptr);
        if (!puzzle) {
            note = messageText(Message::screenNothingFound, size, size, pairs);
            continue;
        }
        note.clear();
        FullScreenGame game(*puzzle);
        game.solutions = countSolutions(*puzzle);
        if (!playGame(game, look)) return EXIT_SUCCESS;
        chooseAgain(session);
    }
}

} // namespace

int playFullScreen(const Options& options) {
    if (!enterFullScreen()) {
        std::cerr << messageText(Message::notATerminal) << '\n';
        return notATerminalStatus;
    }
    const Look look{options.colours, localeIsUtf8()};
    try {
        const int status = playGames(options, look);
        restoreTerminal();
        return status;
    } catch (const InputEnded&) {
        restoreTerminal();
        std::cerr << messageText(Message::inputEnded) << '\n';
        return EXIT_FAILURE;
    }
}

} // namespace pairpath
