// The real program, run as a separate process and played through its standard input: a whole
// game to the win, and the end of input at each kind of question. Every piece of output is
// compared byte for byte with what the game must write.

#include "boards.hpp"
#include "texts.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <map>
#include <string>

namespace pairpath {
namespace {

using namespace pairpath::testing; // the expected texts and boards

std::string congratulations(int pair) {
    return "\nCongratulations! You connected path " + std::to_string(pair) + " successfully!\n";
}

// The board as the game must draw it, written independently of the game's own code.
std::string render(const Grid& grid, int size) {
    static const std::map<char, std::string> colours{
        {'1', "\033[0;33m"}, {'2', "\033[0;36m"}, {'3', "\033[0;32m"},
        {'4', "\033[0;31m"}, {'5', "\033[0;35m"}, {'6', "\033[0;34m"},
        {'7', "\033[1;31m"}, {'8', "\033[1;32m"}, {'9', "\033[1;35m"}};
    std::string text;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const char cell = grid[std::size_t(row * gridStride + column)];
            text += cell == '0' ? "\033[0m. " : colours.at(cell) + cell + " \033[0m";
        }
        text += "\n";
    }
    return text + "\033[0m";
}

// --- The program as a child process ---

class Session {
  public:
    Session() {
        int toChild[2];
        int fromChild[2];
        int errors[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0 || pipe(errors) != 0) return;
        child = fork();
        if (child == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            dup2(errors[1], STDERR_FILENO);
            for (const int fd :
                 {toChild[0], toChild[1], fromChild[0], fromChild[1], errors[0], errors[1]}) {
                close(fd);
            }
            execl(PAIRPATH_BINARY, PAIRPATH_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        close(errors[1]);
        input = toChild[1];
        output = fromChild[0];
        errorOutput = errors[0];
    }
    ~Session() {
        if (child > 0 && !finished) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        for (const int fd : {input, output, errorOutput}) {
            if (fd >= 0) close(fd);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void send(const std::string& line) { type(line + "\n"); }
    void type(const std::string& text) {
        ASSERT_EQ(write(input, text.data(), text.size()), ssize_t(text.size()));
    }

    // Output up to and including `marker`; all that is left if the output ends first. Gives up
    // after a minute so that a game that stops talking fails instead of hanging the suite.
    std::string readUntil(const std::string& marker) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (;;) {
            const auto found = pending.find(marker);
            if (found != std::string::npos) {
                std::string text = pending.substr(0, found + marker.size());
                pending.erase(0, found + marker.size());
                return text;
            }
            if (outputEnded || std::chrono::steady_clock::now() > deadline) {
                return std::exchange(pending, "");
            }
            pollfd ready{output, POLLIN, 0};
            if (poll(&ready, 1, 1000) <= 0) continue;
            char buffer[4096];
            const ssize_t got = read(output, buffer, sizeof buffer);
            if (got <= 0) {
                outputEnded = true;
            } else {
                pending.append(buffer, std::size_t(got));
            }
        }
    }

    // Closes the program's input, reads everything it still writes and waits for its end.
    struct Ending {
        std::string output;
        std::string errors;
        int status = -1;
    };
    Ending finish() {
        close(input);
        input = -1;
        Ending ending;
        ending.output = readUntil(std::string(1, '\0') + "never written");
        char buffer[4096];
        for (ssize_t got; (got = read(errorOutput, buffer, sizeof buffer)) > 0;) {
            ending.errors.append(buffer, std::size_t(got));
        }
        int status = 0;
        waitpid(child, &status, 0);
        finished = true;
        ending.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return ending;
    }

  private:
    pid_t child = -1;
    int input = -1;
    int output = -1;
    int errorOutput = -1;
    std::string pending;
    bool outputEnded = false;
    bool finished = false;
};

// --- Reading the board the game shows ---

std::string withoutColours(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\033') {
            i = text.find('m', i);
            continue;
        }
        plain += text[i];
    }
    return plain;
}

// The board drawn in `shown`; each pair's first endpoint in reading order is taken as its start
// until the game names the real one.
Board boardShown(const std::string& shown, int size) {
    const std::string plain = withoutColours(shown);
    std::vector<std::string> rows(static_cast<std::size_t>(size));
    std::size_t at = 0;
    for (std::string& row : rows) {
        for (int column = 0; column < size; ++column, at += 2)
            row += plain[at]; // mark, blank
        ++at;                 // newline
    }
    return testing::boardFromText(std::vector<std::string_view>(rows.begin(), rows.end()));
}

char keyFor(int from, int to) {
    switch (to - from) {
    case -10: return 'w';
    case 10: return 'S'; // upper and lower case keys move alike
    case -1: return 'a';
    default: return 'd';
    }
}

// --- A whole game ---

// Plays one game against a Session, keeping its own copy of the grid and checking every
// piece of output the game writes in answer to each line sent.
class Game {
  public:
    Game(Session& game, int side) : session(game), size(side) {}

    // Answers the two start-up questions and reads the first board, which must have a cover.
    void begin(int pairsWanted) {
        EXPECT_EQ(session.readUntil(sideQuestion), sideQuestion);
        session.send(std::to_string(size));
        EXPECT_EQ(session.readUntil(pairQuestion), pairQuestion);
        session.send(std::to_string(pairsWanted));
        const std::string firstOutput = session.readUntil(pairPrompt);
        ASSERT_TRUE(firstOutput.ends_with(pairPrompt)) << firstOutput;
        board = boardShown(firstOutput, size);
        ASSERT_EQ(firstOutput, render(board.grid, size) + pairPrompt);
        const auto found = findCover(board);
        ASSERT_TRUE(found.has_value()) << "the game showed a board without a cover";
        cover = *found;
    }

    // Sends `line` and expects exactly `text` up to the next prompt, which ends `text`.
    void expect(const std::string& line, const std::string& text) {
        session.send(line);
        const std::string prompt = text.ends_with(movePrompt)   ? movePrompt
                                   : text.ends_with(pairPrompt) ? pairPrompt
                                                                : text;
        EXPECT_EQ(session.readUntil(prompt), text) << "after sending \"" << line << '"';
    }

    std::string shown() const { return render(board.grid, size); }
    int pairs() const { return board.count / 2; }

    // Chooses `pair` and expects its drawing to start. A connected pair is first redrawn: the
    // game asks, the player answers "Y" and its path is erased. Learns the pair's start
    // endpoint from the position line.
    void choose(int pair, bool connectedNow = false) {
        const std::string number = std::to_string(pair);
        session.send(number);
        if (connectedNow) {
            EXPECT_EQ(session.readUntil("(Y/N)\n"),
                      "Redoing path " + number + " will clean the former path. Continue? (Y/N)\n");
            erase(pair);
            session.send("Y");
            EXPECT_EQ(session.readUntil("...\n"), "Removing former path " + number + "...\n");
        }
        const std::string position = session.readUntil("\n");
        const auto row = position.find("row = ");
        const auto column = position.find("col = ");
        ASSERT_NE(row, std::string::npos) << position;
        const int start =
            cellCode(std::stoi(position.substr(row + 6)), std::stoi(position.substr(column + 6)));
        orient(pair, start);
        EXPECT_EQ(position, "Your current position is at row = " + std::to_string(rowOf(start)) +
                                ", col = " + std::to_string(columnOf(start)) + "\n");
        EXPECT_EQ(session.readUntil(movePrompt), shown() + movePrompt);
    }

    // Takes the step from route cell `from` to route cell `from + 1` of `pair`.
    void stepAlong(int pair, std::size_t from) {
        const auto& route = routeOf(pair);
        const bool last = from + 2 == route.size();
        if (last) {
            session.send(std::string(1, keyFor(route[from], route[from + 1])));
            ++connected;
            std::string expected = congratulations(pair);
            const bool won = connected == pairs() && isFull();
            expected += won ? winMessage : shown() + pairPrompt;
            EXPECT_EQ(session.readUntil(won ? winMessage : pairPrompt), expected);
            return;
        }
        cell(route[from + 1]) = digitOf(pair);
        expect(std::string(1, keyFor(route[from], route[from + 1])), shown() + movePrompt);
    }

    void drawWhole(int pair, std::size_t from = 0) {
        for (std::size_t i = from; i + 1 < routeOf(pair).size(); ++i) {
            stepAlong(pair, i);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    // Empties the cells of `pair`'s route in the model; it counted as connected if `wasConnected`.
    void erase(int pair, bool wasConnected = true) {
        const auto& route = routeOf(pair);
        for (std::size_t i = 1; i + 1 < route.size(); ++i)
            cell(route[i]) = '0';
        connected -= wasConnected ? 1 : 0;
    }

    char& cell(int code) { return board.grid[std::size_t(gridIndex(code))]; }
    const std::vector<int>& routeOf(int pair) const { return cover[std::size_t(pair - 1)]; }

  private:
    void orient(int pair, int start) {
        auto& route = cover[std::size_t(pair - 1)];
        if (route.front() != start) std::reverse(route.begin(), route.end());
        ASSERT_EQ(route.front(), start);
    }
    bool isFull() const {
        for (int row = 0; row < size; ++row) {
            for (int column = 0; column < size; ++column) {
                if (board.grid[std::size_t(row * gridStride + column)] == '0') return false;
            }
        }
        return true;
    }

    Session& session;
    int size;
    Board board;
    Cover cover;
    int connected = 0;
};

// Where one pair's drawing can step onto another pair's finished path: `drawn` steps along
// `pair`'s route, then one more step onto path cell `onto` of pair `other`.
struct Crossing {
    int pair = 0;
    std::size_t drawn = 0;
    int other = 0;
    int onto = 0;
};

std::optional<Crossing> findCrossing(const Game& game, int lastPair) {
    for (int pair = 1; pair <= game.pairs(); ++pair) {
        const auto& route = game.routeOf(pair);
        for (std::size_t drawn = 0; drawn + 1 < route.size(); ++drawn) {
            for (int other = 1; other < lastPair; ++other) {
                if (other == pair) continue;
                const auto& path = game.routeOf(other);
                for (std::size_t i = 1; i + 1 < path.size(); ++i) {
                    const int apart = std::abs(path[i] - route[drawn]);
                    if (apart == 1 || apart == 10) return Crossing{pair, drawn, other, path[i]};
                }
            }
        }
    }
    return std::nullopt;
}

TEST(WholeGame, PlayedThroughTheKeyboardToTheWin) {
    Session session;
    Game game(session, 5);
    ASSERT_NO_FATAL_FAILURE(game.begin(4));

    // Pair 1: B at the start, a step, a refused step back onto the start, B, a key outside the
    // set, the step again, then Q.
    ASSERT_NO_FATAL_FAILURE(game.choose(1));
    const auto& route = game.routeOf(1);
    game.expect("b", backAtStart + game.shown() + movePrompt);
    game.stepAlong(1, 0);
    game.expect(std::string(1, keyFor(route[1], route[0])),
                overOwnPath + game.shown() + movePrompt);
    game.cell(route[1]) = '0';
    game.expect("B", game.shown() + movePrompt);
    game.expect("x", setMessage);
    game.stepAlong(1, 0);
    game.cell(route[1]) = '0';
    game.expect("q", game.shown() + pairPrompt);

    // Every pair but the last drawn whole; the last chosen, then abandoned at once.
    const int last = game.pairs();
    for (int pair = 1; pair < last; ++pair) {
        ASSERT_NO_FATAL_FAILURE(game.choose(pair));
        ASSERT_NO_FATAL_FAILURE(game.drawWhole(pair));
    }
    ASSERT_NO_FATAL_FAILURE(game.choose(last));
    game.expect("Q", game.shown() + pairPrompt);

    // Redrawing a connected pair: "n" keeps it, "y" erases it and starts it afresh.
    game.expect("1", "Redoing path 1 will clean the former path. Continue? (Y/N)\n");
    game.expect("n", "Terminating current choice...\n" + game.shown() + pairPrompt);
    ASSERT_NO_FATAL_FAILURE(game.choose(1, true));
    ASSERT_NO_FATAL_FAILURE(game.drawWhole(1));

    // Stepping onto another pair's path: "n" refuses the step, "y" erases that whole path.
    const auto crossing = findCrossing(game, last);
    ASSERT_TRUE(crossing.has_value()) << "no pair's route passes beside another's path";
    const int pair = crossing->pair;
    ASSERT_NO_FATAL_FAILURE(game.choose(pair, pair != last));
    for (std::size_t i = 0; i < crossing->drawn; ++i)
        game.stepAlong(pair, i);
    const std::string crossKey(1, keyFor(game.routeOf(pair)[crossing->drawn], crossing->onto));
    const std::string question = "To continue this step. Path " + std::to_string(crossing->other) +
                                 " will be cleaned. Continue? (Y/N)\n";
    game.expect(crossKey, question);
    game.expect("N", keepOtherPath + game.shown() + movePrompt);
    game.expect(crossKey, question);
    game.erase(crossing->other);
    game.cell(crossing->onto) = digitOf(pair);
    game.expect("y",
                "Clean path " + std::to_string(crossing->other) + "\n" + game.shown() + movePrompt);
    game.cell(crossing->onto) = '0';
    game.expect("b", game.shown() + movePrompt);
    ASSERT_NO_FATAL_FAILURE(game.drawWhole(pair, crossing->drawn));

    // The rest, to the win.
    for (const int remaining : {crossing->other, last}) {
        if (remaining == pair) continue;
        ASSERT_NO_FATAL_FAILURE(game.choose(remaining));
        ASSERT_NO_FATAL_FAILURE(game.drawWhole(remaining));
    }
    const auto ending = session.finish();
    EXPECT_EQ(ending.output, "");
    EXPECT_EQ(ending.errors, "");
    EXPECT_EQ(ending.status, 0);
}

TEST(WholeGame, RefusesToLeaveTheGrid) {
    Session session;
    Game game(session, 6);
    ASSERT_NO_FATAL_FAILURE(game.begin(4));
    // A cover fills the edge cells too, so some pair's drawing reaches an edge before its end.
    for (int pair = 1; pair <= game.pairs(); ++pair) {
        ASSERT_NO_FATAL_FAILURE(game.choose(pair));
        const auto& route = game.routeOf(pair);
        for (std::size_t i = 0; i + 1 < route.size(); ++i) {
            const int row = rowOf(route[i]);
            const int column = columnOf(route[i]);
            const char* key = row == 0 ? "w" : row == 5 ? "S" : column == 0 ? "A" : "d";
            if (row == 0 || row == 5 || column == 0 || column == 5) {
                game.expect(key, offBoundary + game.shown() + movePrompt);
                return;
            }
            if (i + 2 == route.size()) break; // the next step would connect the pair
            game.stepAlong(pair, i);
        }
        game.erase(pair, false); // abandon this pair: its route only ends on an edge
        game.expect("q", game.shown() + pairPrompt);
    }
    FAIL() << "no route reaches an edge before its end";
}

// --- End of input at each kind of question ---

TEST(EndOfInput, EndsWithStatusOneAtEveryQuestion) {
    struct Ended {
        const char* question;
        std::string typed;
        const std::string& lastPrompt;
    };
    const Ended cases[] = {
        {"grid side", "", sideQuestion},
        {"grid side, a last line without newline", "5", sideQuestion},
        {"pair count", "6\n", pairQuestion},
        {"pair choice", "5\n4\n", pairPrompt},
        {"movement key", "5\n4\n1\n", movePrompt},
    };
    for (const Ended& ended : cases) {
        Session session;
        session.type(ended.typed);
        const auto ending = session.finish();
        EXPECT_EQ(ending.errors, "Input ended.\n") << ended.question;
        EXPECT_EQ(ending.status, 1) << ended.question;
        EXPECT_TRUE(ending.output.ends_with(ended.lastPrompt)) << ended.question;
    }
}

TEST(EndOfInput, EndsWithStatusOneAtBothYesNoQuestions) {
    for (const bool redraw : {true, false}) {
        Session session;
        Game game(session, 5);
        ASSERT_NO_FATAL_FAILURE(game.begin(4));
        for (int pair = 1; pair < game.pairs(); ++pair) {
            ASSERT_NO_FATAL_FAILURE(game.choose(pair));
            ASSERT_NO_FATAL_FAILURE(game.drawWhole(pair));
        }
        if (redraw) {
            game.expect("1", "Redoing path 1 will clean the former path. Continue? (Y/N)\n");
        } else {
            const auto crossing = findCrossing(game, game.pairs());
            ASSERT_TRUE(crossing.has_value());
            const int pair = crossing->pair;
            ASSERT_NO_FATAL_FAILURE(game.choose(pair, pair != game.pairs()));
            for (std::size_t i = 0; i < crossing->drawn; ++i)
                game.stepAlong(pair, i);
            const auto& route = game.routeOf(pair);
            game.expect(std::string(1, keyFor(route[crossing->drawn], crossing->onto)),
                        "To continue this step. Path " + std::to_string(crossing->other) +
                            " will be cleaned. Continue? (Y/N)\n");
        }
        const auto ending = session.finish();
        EXPECT_EQ(ending.output, "");
        EXPECT_EQ(ending.errors, "Input ended.\n");
        EXPECT_EQ(ending.status, 1);
    }
}

// A line far longer than any buffer is read and dropped a character at a time: the program's
// peak memory stays far below the line's length.
TEST(LongInput, LineOfSixtyFourMebibytesInConstantMemory) {
    constexpr long lineBytes = 64L << 20;
    Session session;
    EXPECT_EQ(session.readUntil(sideQuestion), sideQuestion);
    const std::string chunk(std::size_t{1} << 20, '5');
    for (long written = 0; written < lineBytes; written += long(chunk.size()))
        session.type(chunk);
    session.type("\n");
    const auto ending = session.finish();
    EXPECT_EQ(ending.output, lengthMessage);
    EXPECT_EQ(ending.errors, "Input ended.\n");
    EXPECT_EQ(ending.status, 1);
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss * 1024L, lineBytes / 2) << "peak KiB: " << children.ru_maxrss;
}

} // namespace
} // namespace pairpath
