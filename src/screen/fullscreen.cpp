// The full-screen game's session: takes the terminal, asks the start choice with single keys,
// deals each puzzle through the session that the line dialogue shares, and plays it key by key
// until the player quits; every way out gives the terminal back.

#include "pairpath/screen/fullscreen.hpp"

#include "pairpath/play/session.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/screen/dealer.hpp"
#include "pairpath/screen/saving.hpp"
#include "pairpath/screen/view.hpp"

#include <cstdlib>
#include <iostream>
#include <utility>

namespace pairpath {

namespace {

constexpr int notATerminalStatus = 2;

// How often the screen is drawn again while no key comes, for the clock; screens without a
// running clock wait for keys alone.
constexpr std::chrono::milliseconds tick{1000};
constexpr std::chrono::milliseconds noTick{-1};

// How long a deal may take before the screen says what it looks for, and how often it looks at
// the keys meanwhile.
constexpr std::chrono::milliseconds patience{500};
constexpr std::chrono::milliseconds waitLook{100};

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
        note = takeAnswer(session, question, answer);
    }
    return true;
}

// What the player wants after a game.
enum class Next { quit, samePuzzleChoice, newChoice };

// Plays one game, the clock paused while the program is stopped, saves it after every change and
// keeps a win among the records. While the window is too small for the board, keys do nothing.
Next playGame(FullScreenGame& game, const Look& look) {
    const auto stoppedBefore = timeStopped();
    std::optional<SavedGame> saved;
    for (;;) {
        keepProgress(game, saved);
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
        if (game.won) recordTheWin(game);
    }
}

// Asks whether to take up the saved game: true for Y, false for N (or Esc); empty for Q.
std::optional<bool> askToTakeUp(const SavedGame& saved) {
    const int side = saved.puzzle.size;
    const std::vector<std::string> lines{
        messageText(Message::resumeQuestion, side, side, saved.puzzle.count / 2)};
    for (;;) {
        writeScreen(textScreen(windowSize(), lines, messageText(Message::resumeKeys)));
        const KeyPress press = nextKey();
        const char letter = letterOf(press);
        if (letter == 'Y' || letter == 'N' || press.key == Key::escape) return letter == 'Y';
        if (letter == 'Q') return std::nullopt;
    }
}

// The saved game to take up first, if the player wants it: straight back with --resume; asked
// when the command line chose nothing; else none. False when the player quits at the question.
bool savedGameFirst(const Options& options, std::optional<SavedGame>& saved, std::string& note) {
    if (!options.resume && (options.seed || options.size || options.pairs || options.daily))
        return true;
    saved = gameToTakeUp(note);
    if (options.resume) {
        if (!saved && note.empty()) note = messageText(Message::noSavedGame);
        return true;
    }
    if (!saved) return true;
    const auto yes = askToTakeUp(*saved);
    if (yes && !*yes) saved.reset();
    return yes.has_value();
}

// Waits for the deal started, saying, past half a second, what it looks for and how far it has
// got; Q stops it. Keys typed meanwhile are dropped. Empty when the player stopped it.
std::optional<Dealt> waitForDeal(Dealer& dealer, const std::string& looking) {
    const auto began = std::chrono::steady_clock::now();
    while (!dealer.done) {
        if (std::chrono::steady_clock::now() - began >= patience) {
            const std::string tried = messageText(
                Message::candidatesTried, countText(std::uint64_t(dealer.watch.tried), true));
            writeScreen(textScreen(windowSize(), {looking, tried}, messageText(Message::waitKeys)));
        }
        if (letterOf(nextKey(waitLook)) == 'Q') {
            dropDeal(dealer);
            dropTypedKeys();
            return std::nullopt;
        }
    }
    dropTypedKeys();
    return takeDeal(dealer);
}

// The next puzzle: the saved one, the one dealt ahead, or one of the choice the session has,
// asked for as needed; none when the hunt found nothing, with a note, when the player stopped it,
// or when the player quit at a question.
std::optional<Dealt> nextPuzzle(Session& session, Dealer& dealer, std::optional<SavedGame>& saved,
                                std::string& note, bool& quit) {
    if (saved) {
        session.size = saved->puzzle.size;
        session.pairs = saved->puzzle.count / 2;
        session.answers = saved->answers;
        session.grade = saved->grade;
        const CoverCount solutions = countSolutions(saved->puzzle);
        return Dealt{saved->puzzle, solutions,
                     solutions == 1 ? std::optional(gradeBoard(saved->puzzle)) : std::nullopt,
                     saved->daily};
    }
    if (!dealing(dealer)) {
        quit = !askStartQuestions(session, note);
        if (quit) return std::nullopt;
        startDeal(dealer, session);
    }
    const int size = *session.size; // read before the deal, which may forget the choice
    const int pairs = *session.pairs;
    const Message kind =
        session.answers == Answers::one ? Message::oneAnswerKind : Message::anyKind;
    std::string looking = messageText(kind);
    if (session.grade)
        looking = messageText(Message::gradedKind, gradeName(*session.grade), looking);
    auto dealt =
        waitForDeal(dealer, messageText(Message::lookingForPuzzle, looking, size, size, pairs));
    if (!dealt) {
        forgetChoice(session); // back to the choice, even one the command line made
        return std::nullopt;
    }
    note = dealt->puzzle ? "" : messageText(Message::screenNothingFound, size, size, pairs);
    if (!dealt->puzzle) return std::nullopt;
    return dealt;
}

int playGames(const Options& options, const Look& look) {
    Session session = beginSession(options.seed, options.size, options.pairs, options.answers,
                                   options.daily, options.grade);
    std::string note;
    std::optional<SavedGame> saved;
    if (!savedGameFirst(options, saved, note)) return EXIT_SUCCESS;
    Dealer dealer;
    for (bool quit = false; !quit;) {
        const auto dealt = nextPuzzle(session, dealer, saved, note, quit);
        if (!dealt) continue;
        FullScreenGame game(*dealt->puzzle);
        game.solutions = dealt->solutions;
        game.answers = session.answers;
        game.difficulty = session.grade;
        game.grade = dealt->grade;
        game.daily = dealt->daily;
        if (saved) takeUp(game, *std::exchange(saved, std::nullopt));
        startDeal(dealer, session); // the next puzzle of this choice, while this one is played
        const Next next = playGame(game, look);
        quit = next == Next::quit;
        if (next == Next::newChoice) {
            dropDeal(dealer);
            chooseAgain(session);
        }
    }
    return EXIT_SUCCESS;
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
