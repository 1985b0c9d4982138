// The full-screen game's session: takes the terminal, asks the start choice with single keys,
// deals each puzzle through the session that the line dialogue shares, and plays it key by key
// until the player quits; every way out gives the terminal back.

#include "pairpath/screen/fullscreen.hpp"

#include "pairpath/play/session.hpp"
#include "pairpath/records/records.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/screen/view.hpp"

#include <cstdlib>
#include <iostream>

namespace pairpath {

namespace {

constexpr int notATerminalStatus = 2;

// How often the screen is drawn again while no key comes, for the clock; screens without a
// running clock wait for keys alone.
constexpr std::chrono::milliseconds tick{1000};
constexpr std::chrono::milliseconds noTick{-1};

// The next key; standard input's end ends the game as in the line dialogue.
KeyPress nextKey(std::chrono::milliseconds timeout = noTick) {
    const KeyPress press = readKey(timeout);
    if (press.key == Key::ended) throw InputEnded{};
    return press;
}

// Asks with single keys until a digit from `low` to `high` is pressed, and returns it; 0 when
// the player presses Q.
int askDigit(const std::vector<std::string>& lines, int low, int high) {
    const std::string keys = messageText(Message::digitKeys, low, high);
    for (;;) {
        writeScreen(textScreen(windowSize(), lines, keys));
        const char letter = letterOf(nextKey());
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

// What the player wants after a game.
enum class Next { quit, samePuzzleChoice, newChoice };

// Keeps the win among the records; a note on the status line when they could not be kept, or
// were damaged and moved aside.
void recordTheWin(FullScreenGame& game, Answers answers) {
    const StateFolder folder = stateFolder();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(game.playTime);
    const WinRecorded recorded =
        folder.why ? WinRecorded{folder.why, "", {}}
                   : recordWin(folder.path / recordsName, {game.live.size, pairsOf(game), answers},
                               long(seconds.count()), game.moves);
    if (recorded.trouble) {
        game.note = messageText(Message::recordsNotSaved,
                                troubleText(recorded.trouble.kind, recorded.trouble.error));
    } else if (!recorded.movedAside.empty()) {
        constexpr std::size_t named = 2; // bad lines named on the status line; the rest counted
        std::string lines;
        for (std::size_t at = 0; at < std::min(named, recorded.bad.size()); ++at) {
            const BadLine& bad = recorded.bad[at];
            lines += (at == 0 ? "" : ", ") + shortBadLineText(bad.line, bad.field, bad.sameAs);
        }
        if (recorded.bad.size() > named)
            lines = messageText(Message::listAnd, lines, recorded.bad.size() - named);
        game.note = messageText(Message::recordsDamaged, lines, recorded.movedAside);
    }
}

// Plays one game, the clock paused while the program is stopped, and keeps a win among the
// records. While the window is too small for the board, keys do nothing.
Next playGame(FullScreenGame& game, const Look& look, Answers answers) {
    const auto stoppedBefore = timeStopped();
    for (;;) {
        const WindowSize window = windowSize();
        writeScreen(gameScreen(game, window, look));
        const KeyPress press = nextKey(game.won ? noTick : tick);
        game.paused = timeStopped() - stoppedBefore;
        if (!boardFits(game.live.size, window) || press.key == Key::redraw) continue;
        if (game.won) {
            const char letter = letterOf(press);
            if (letter == 'N') return Next::samePuzzleChoice;
            if (letter == 'C') return Next::newChoice;
            if (letter == 'Q') return Next::quit;
            continue;
        }
        if (press.key == Key::mouse) {
            const int code = cellOnScreen(game.live.size, window, press.row, press.column);
            pressMouse(game, press.action, code);
        } else {
            pressKey(game, press);
            if (game.quit) return Next::quit;
        }
        if (game.won) recordTheWin(game, answers);
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
        const Next next = playGame(game, look, options.answers);
        if (next == Next::quit) return EXIT_SUCCESS;
        if (next == Next::newChoice) chooseAgain(session);
    }
}

} // namespace

int playFullScreen(const Options& options) {
    if (const char* term = std::getenv("TERM"); !termCanShow(term)) {
        const std::string named =
            term == nullptr ? messageText(Message::notSet) : '"' + std::string(term) + '"';
        std::cerr << messageText(Message::unfitTerminal, named) << '\n';
        return notATerminalStatus;
    }
    if (!enterFullScreen()) {
        std::cerr << messageText(Message::notATerminal) << '\n';
        return notATerminalStatus;
    }
    const Look look{options.colours, hasManyColours(std::getenv("TERM"), std::getenv("COLORTERM")),
                    localeIsUtf8()};
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
