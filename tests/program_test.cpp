// The real program, run as a child process on a given standard input: what only a process shows.
// The command line, also read in-process; the end of input at each kind of question, a whole game
// to the win on a fixed seed, one-answer boards dealt, running out of memory or not for huge
// input, the solver and the records.

#include "checks.hpp"
#include "pairpath/core/messages.hpp"
#include "pairpath/core/search.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/hunt/hunt.hpp"
#include "pairpath/program/commandline.hpp"
#include "pairpath/sampler/fixed_ends.hpp"
#include "pairpath/solver/solver.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
#include <vector>

namespace pairpath {
namespace {

using namespace pairpath::testing;

struct Ran {
    std::string output;
    std::string errors;
    int status = -1; // the exit status, or 128 + the signal that ended the program
};

// Runs the program with `arguments`, once the shell has unset NO_COLOR and run the commands
// `setup`, its standard input `input` and its outputs kept in files named after this process. An
// alarm set before the shell starts, which exec keeps, ends a run that hangs, far later than any
// machine, slow or sanitized, needs: the last guard, not a measure of speed.
Ran run(const std::string& arguments, const std::string& input = "",
        const std::string& setup = "") {
    const std::string files = (std::filesystem::temp_directory_path() / "pairpath_test.").string() +
                              std::to_string(getpid()) + ".";
    std::ofstream(files + "in", std::ios::binary) << input;
    const std::string command = "unset NO_COLOR\n" + setup + "\nexec '" PAIRPATH_BINARY "' " +
                                arguments + R"( <"$1"in >"$1"out 2>"$1"errors)";
    const pid_t child = fork();
    if (child == 0) {
        alarm(120);
        execl("/bin/sh", "sh", "-c", command.c_str(), "sh", files.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child) << "the program was not started";
    const auto contents = [&](const char* name) {
        std::ifstream kept(files + name, std::ios::binary);
        std::string text(std::istreambuf_iterator<char>(kept), {});
        std::filesystem::remove(files + name);
        return text;
    };
    std::filesystem::remove(files + "in");
    Ran ran{contents("out"), contents("errors"),
            WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
    EXPECT_NE(ran.status, 128 + SIGALRM) << "ended as hung; it wrote:\n" << ran.output;
    return ran;
}

// --- The command line ---

// Each command line and its input, with the exit status, then: the start of standard output for
// status 0, or what the one line on standard error must name for status 2, with a hint after a
// wrong command line. The solver answers the boards before one that is wrong: "solutions: 0" for
// the board that has none.
TEST(Program, HelpVersionAndRefusalsEndAtOnce) {
    const std::string good = "1 . 2 \n. . . \n1 . 2\n\n";
    const auto cases = std::to_array<std::tuple<std::string, std::string, int, std::string>>({
        {"--he -x", "", 0, "Usage: pairpath [OPTION]...\n"},
        {"--ver", "", 0,
         "pairpath " PAIRPATH_VERSION
         "\nCopyright (C) 2026 The pairpath developers\nLicense MIT: "},
        {"--frobnicate", "", 2, "'--frobnicate'"},
        {"-- -h", "", 2, "'-h'"},
        {"-x", "", 2, "'-x'"},
        {"--s=1", "", 2, "option '--s' is ambiguous; possibilities: '--seed' '--size' '--solve'\n"},
        {"--version=2", "", 2, "'--version'"},
        {"--seed", "", 2, "'--seed'"},
        {"-s 4294967296", "", 2, "'4294967296' for --seed"},
        {"--seed=-1", "", 2, "'-1' for --seed"},
        {"--size 4", "", 2, "'4' for --size"},
        {"--pairs=10", "", 2, "'10' for --pairs"},
        {"--pairs=9 --size=5", "", 2, "--size 5 --pairs 9"},
        {"--color=sometimes", "", 2, "'sometimes' for --color"},
        {"--solve=", "", 2, "'' for --solve"},
        {"--difficulty=tough", "", 2, "'tough' for --difficulty"},
        {"--difficulty=easy --size=8 --pairs=4", "", 2, "on 8 x 8 with 4 pairs: it has expert"},
        {"--records --solve x", "", 2, "--records cannot go with --solve"},
        {"--records extra", "", 2, "unexpected argument 'extra'"},
        {"-f --solve=-", "", 2, "--full-screen cannot go with --solve"},
        {"--full-screen", "", 2, "terminal"},
        {"-f", "", 2, "terminal"},
        {"--solve=-", "", 2, "-:1: no board"},
        {"--solve=-", "\n\n", 2, "-:1: no board"},
        {"--solve=-", good + "1 . 2\n. .\n", 2, "-:6: a row of 2 cells in a board of 3 columns"},
        {"--solve=-", good + "1 . 2\n. . . .\n", 2,
         "-:6: a row of 4 cells in a board of 3 columns"},
        {"--solve=-", "1  2\n", 2, "-:1: cells are parted by one blank each"},
        {"--solve=-", "1 . 9\n. . .\n1 . .\n", 2, "-:1: digit 9 appears 1 time"},
        {"--solve=-", "1 1 .\n. . .\n. . 1\n", 2, "-:1: digit 1 appears 3 times"},
        {"--solve=-", "1 . 3\n. . .\n1 . 3\n", 2, "-:1: digit 2 is missing"},
        {"--solve=-", ". . . . . . . . .\n", 2,
         "-:1: a row of 9 cells: a board has 2 to 8 columns"},
        {"--solve=-", ".\n", 2, "-:1: a row of 1 cell: a board has 2 to 8 columns"},
        {"--solve=-", "1 2\n1 2\n. .\n", 2, "-:3: a board of 2 columns has more rows"},
        {"--solve=-", good + "1 . 2\n. . .\n", 2, "-:5: a board of 3 columns has 2 rows"},
        {"--solve=-", std::string(100, '.'), 2, "-:1: a line longer than any row of a board"},
        {"--solve /nonexistent/boards", "", 2, "/nonexistent/boards: No such file or directory"},
        {"--solve /", "", 2, "/: Is a directory"},
        // A file that opens but cannot be read: the process's own memory, from address 0.
        {"--solve /proc/self/mem", "", 2, "/proc/self/mem:1: cannot be read"},
    });
    const std::string hint = line(Message::tryHelp).insert(0, 1, '\n');
    for (const auto& [arguments, input, status, text] : cases) {
        if (arguments.ends_with("/mem") && !std::filesystem::exists("/proc/self/mem")) continue;
        const Ran ran = run(arguments, input);
        const std::string& said = status == 0 ? ran.output : ran.errors;
        // A command line refused says so with a hint; the solver's answers to a file come alone.
        const bool solved =
            arguments.starts_with("--solve") && !text.starts_with("'") && !text.starts_with("--");
        const bool hinted = status == 2 && text != "terminal" && !solved;
        EXPECT_EQ(ran.status, status) << arguments;
        EXPECT_TRUE(said.starts_with(status == 0 ? text : "pairpath: ")) << said;
        EXPECT_LT(said.find(text), said.find('\n')) << arguments << ": " << said;
        EXPECT_EQ(status == 0 ? ran.errors : ran.output,
                  input.starts_with(good) ? "solutions: 0\n" : "")
            << arguments;
        EXPECT_EQ(ran.errors.ends_with(hint), hinted) << arguments;
        EXPECT_EQ(std::ranges::count(ran.errors, '\n'), int(status != 0) + int(hinted))
            << ran.errors;
    }
}

// The command line read in-process, as a caller may read several in one process.
CommandLine readWords(std::vector<std::string> words) {
    words.insert(words.begin(), "pairpath");
    std::vector<char*> arguments;
    arguments.reserve(words.size());
    for (std::string& word : words)
        arguments.push_back(word.data());
    return readCommandLine(arguments, {});
}

// Each reading starts afresh, even after one that stopped inside a group of short options (the
// "f" of "-hf" left unread) or before its last argument. The help states the limits kept.
TEST(CommandLine, EachReadingStartsAfresh) {
    const std::string usage = readWords({"--help"}).message;
    const auto range = [](int least, int most) { return messageText(Message::range, least, most); };
    const auto grid = [](int side) { return std::to_string(side) + " x " + std::to_string(side); };
    for (const std::string& limit :
         {"grid side, " + range(minSide, maxSide), "number of pairs, " + range(minPairs, maxPairs),
          "at most " + std::to_string(mostPairsFor(minSide)) + " on a " + grid(minSide)})
        EXPECT_NE(usage.find(limit), std::string::npos) << limit;
    EXPECT_EQ(readWords({"-hf"}).action, Action::showHelp);
    EXPECT_EQ(readWords({"--size=6", "--help", "-x"}).action, Action::showHelp);
    const Options sized = readWords({"--size", "6"}).options;
    EXPECT_EQ(std::tuple(sized.size, sized.fullScreen, sized.answers),
              std::tuple(6, false, Answers::any));
    EXPECT_EQ(readWords({"-s1", "-V", "--pairs=4"}).action, Action::showVersion);
    const auto [action, all, message] = readWords({"-fus", "7", "--pairs=5"});
    EXPECT_EQ(std::tuple(action, all.seed, all.size, all.pairs, all.fullScreen, all.answers),
              std::tuple(Action::play, 7U, std::nullopt, 5, true, Answers::one));
}

// --records and --solve go with no other action, in either order, nor with a stray argument; the
// puzzle of a day and a game taken up go with neither each other nor a choice of grid. Each
// option's row: whether it goes with each of the options in order (1) or not (0).
TEST(CommandLine, RefusesOptionsThatConflict) {
    const auto rows = std::to_array<std::pair<std::string, std::string_view>>({
        {"--records", "1000011"},
        {"--solve=b", "0100011"},
        {"-f", "0011111"},
        {"--resume", "0011001"},
        {"--daily", "0010101"},
        {"--size=6", "1110011"},
        {"-u", "1111111"},
    });
    for (const auto& [first, goes] : rows) {
        for (std::size_t other = 0; other < rows.size(); ++other) {
            const std::string& second = rows[other].first;
            EXPECT_EQ(readWords({first, second}).action != Action::refuse, goes[other] == '1')
                << first << ' ' << second;
        }
        EXPECT_EQ(readWords({first, "stray"}).action, Action::refuse) << first;
    }
    EXPECT_EQ(readWords({"--records"}).action, Action::records);
    EXPECT_EQ(readWords({"--solve", "-"}).action, Action::solve);
    EXPECT_EQ(readWords({"--daily=2026-02-30"}).action, Action::refuse);
    EXPECT_EQ(readWords({"--daily=2028-02-29"}).options.daily, dateOf("2028-02-29"));
}

// --- Games ---

// Games whose input ends at a question or right after the first board. The reference: the
// questions answered 6 and 5 after seed 3, in colour. Each command line with its input, NO_COLOR
// and the output: a question is asked again after each line that is not one allowed character.
TEST(Program, AnswersAndOptionsShowTheBoardTheyGive) {
    const Ran asked = run("-s3", "6\n5\n");
    const std::string side = line(Message::sideQuestion);
    const std::string pairs = line(Message::pairQuestion);
    const std::string tooMany = line(Message::tooManyPairs);
    ASSERT_TRUE(asked.output.starts_with(side + pairs) &&
                asked.output.find('\033') != std::string::npos);
    const std::string board = asked.output.substr(side.size() + pairs.size());
    std::string plain = asked.output; // without the escape sequences
    for (auto at = plain.find('\033'); at != std::string::npos; at = plain.find('\033', at))
        plain.erase(at, plain.find('m', at) + 1 - at);
    const std::string empty = "export NO_COLOR=";
    const std::string set = "export NO_COLOR=1";
    // A line of length 0 or 2, a wrong character.
    const std::string refused = line(Message::wrongLength) + line(Message::notAChoice);
    const auto cases =
        std::to_array<std::tuple<std::string, std::string, std::string, std::string>>(
            {{"--seed 3", "6\n5\n", "", asked.output},
             {"--seed=03 --", "6\n5\n", empty, asked.output},
             {"-s3 --size=6 --pairs=5", "", "", board},
             {"-s 3 --size 6", "5\n", "", pairs + board},
             {"--pairs 5 -s3", "6\n", "", side + board},
             {"--pairs 9", "5\n", "", side + tooMany + side},
             {"-s3 --color=never", "6\n5\n", "", plain},
             {"-s3 --color auto", "6\n5\n", "", plain},
             {"-s3", "6\n5\n", set, plain},
             {"-s3 --color=always", "6\n5\n", set, asked.output},
             {"", std::string("\n9\n55\nx\n 5\n\0\n5\r\n\x7f\n8\n", 20), "",
              side + refused + refused + refused + refused + pairs},
             {"--size 5", "9\n", "", pairs + tooMany + pairs}});
    for (const auto& [arguments, input, setup, output] : cases) {
        const Ran ran = run(arguments, input, setup);
        EXPECT_EQ(ran.output, output) << arguments;
        EXPECT_EQ(ran.errors + std::to_string(ran.status), line(Message::inputEnded) + "1");
    }
    EXPECT_NE(run("-s4", "6\n5\n").output, asked.output);
}

// Games on the board of seed 5, each ending elsewhere: at the win, or where input ends.
TEST(Program, EndsAtTheWinOrWhereverInputEnds) {
    std::srand(5); // the program draws the same board after the same seed: find a cover of it
    const auto cover = findCover(*findPuzzle(5, 4, nullptr).puzzle);
    ASSERT_TRUE(cover.has_value());
    const std::map<int, std::string> keys{{1, "d\n"}, {-1, "A\n"}, {10, "s\n"}, {-10, "W\n"}};
    std::array<std::string, 4> draw; // the key lines that draw each pair's route
    for (std::size_t pair = 0; pair < 4; ++pair) {
        const auto& route = (*cover)[pair];
        draw[pair] = std::to_string(pair + 1) + "\n";
        for (std::size_t i = 1; i < route.size(); ++i)
            draw[pair] += keys.at(route[i] - route[i - 1]);
    }
    const auto cases = std::to_array<std::tuple<std::string, int, std::string>>({
        {"", 1, line(Message::sideQuestion)},
        {"5", 1, line(Message::sideQuestion)}, // a last line without its newline is no answer
        {"6\n", 1, line(Message::pairQuestion)},
        {"5\n4\n", 1, line(Message::pairPrompt)},
        {"5\n4\n1\n", 1, line(Message::movementPrompt)},
        {"5\n4\n" + draw[0] + "1\n", 1, line(Message::redrawQuestion, 1)},
        {"5\n4\n" + draw[0] + draw[1] + draw[2] + draw[3], 0,
         line(Message::connected, 4) + line(Message::win)},
    });
    for (const auto& [input, status, ending] : cases) {
        const Ran ran = run("--seed=5", input);
        EXPECT_EQ(ran.errors + std::to_string(ran.status),
                  status == 0 ? "0" : line(Message::inputEnded) + "1")
            << input;
        EXPECT_TRUE(ran.output.ends_with(ending)) << input;
    }
}

// The board the program shows, read back from its plain output.
Board shownBoard(const std::string& output, int side) {
    std::string rows;
    std::istringstream lines(output);
    for (std::string row; std::getline(lines, row);) {
        if (row.size() != std::size_t(2 * side) ||
            row.find_first_not_of(". 123456789") != std::string::npos)
            continue;
        for (std::size_t at = 0; at < row.size(); at += 2)
            rows += row[at];
        rows += '/';
    }
    return boardFromText(rows);
}

// Every board dealt with --unique has exactly one solution: drawn and checked, drawn directly,
// and the puzzle of a day; and with --difficulty, the grade asked for.
TEST(Program, DealsOnlyOneAnswerBoardsWhenAsked) {
    for (const auto& [side, pairs, asked] : {std::tuple{5, 5, "-u"},
                                             {6, 5, "-u"},
                                             {6, 8, "-u"},
                                             {7, 6, "-u"},
                                             {8, 9, "-u"},
                                             {7, 5, "--difficulty=hard"},
                                             {7, 7, "--difficulty=medium"}}) {
        for (const int seed : {1, 2, 3}) {
            std::string arguments = asked;
            arguments += " --color=never --seed " + std::to_string(seed);
            arguments += " --size " + std::to_string(side) + " --pairs " + std::to_string(pairs);
            const Ran ran = run(arguments);
            const Board board = shownBoard(ran.output, side);
            ASSERT_EQ(board.size, side) << ran.output;
            EXPECT_EQ(countSolutions(board), 1U) << gridText(board);
            const std::string_view named = asked;
            if (named.starts_with("--difficulty=")) {
                EXPECT_EQ(gradeName(gradeBoard(board)), named.substr(named.find('=') + 1))
                    << gridText(board);
            }
        }
    }
    // The day's board, in the line game too: that day's own every run, with one solution.
    const auto daily = [&](const std::string& day) {
        const Ran ran = run("--color=never --daily=" + day);
        return shownBoard(ran.output, dailyChoice(*dateOf(day)).side);
    };
    const Board monday = daily("2026-12-07");
    EXPECT_EQ(gridText(monday), gridText(dailyBoard(*dateOf("2026-12-07"))));
    EXPECT_EQ(countSolutions(monday), 1U);
    EXPECT_EQ(gridText(daily("2026-12-07")), gridText(monday));
    EXPECT_NE(gridText(daily("2026-12-14")), gridText(monday));
}

// The limit is the least address space in which 8 x 8 with 8 pairs still shows its board, found
// by bisection on this machine. There the hunt cannot start its helper thread, whose stack is
// reserved whole, and goes on alone to the same board; the 8 x 8 counts for 9 pairs (over 12 MB)
// do not fit, and memory runs out; a line of 8 MiB is read and dropped a character at a time by
// the game, and refused by the solver at once.
TEST(Program, RunsShortOfMemory) {
#ifdef PAIRPATH_SANITIZED
    GTEST_SKIP() << "the sanitizers need more address space than any limit here";
#endif
    const auto within = [](long kibibytes) { return "ulimit -v " + std::to_string(kibibytes); };
    const std::string dealt = run("--seed=1 --size=8 --pairs=8").output;
    const auto runsWithin = [&](long kibibytes) {
        const Ran ran = run("--seed=1 --size=8 --pairs=8", "", within(kibibytes));
        return ran.errors + std::to_string(ran.status) == line(Message::inputEnded) + "1" &&
               ran.output == dealt;
    };
    long fails = 0;
    long runs = 1L << 20;
    ASSERT_TRUE(runsWithin(runs)) << "the game needs more than 1 GiB";
    while (runs - fails > 64)
        (runsWithin(fails + (runs - fails) / 2) ? runs : fails) = fails + (runs - fails) / 2;
    const std::string limit = within(runs);
    const Ran tooBig = run("--seed=1 --size=8 --pairs=9", "", limit);
    EXPECT_EQ(tooBig.output.find("Out of memory!"), std::string::npos) << tooBig.output;
    EXPECT_EQ(tooBig.errors + std::to_string(tooBig.status), line(Message::outOfMemory) + "1");
    const std::string huge(std::size_t{8} << 20, '5');
    const Ran game = run("", huge, limit);
    EXPECT_EQ(game.output + game.errors + std::to_string(game.status),
              line(Message::sideQuestion) + line(Message::wrongLength) + line(Message::inputEnded) +
                  "1");
    const Ran solver = run("--solve -", huge, limit);
    EXPECT_EQ(solver.errors + std::to_string(solver.status),
              line(Message::solveProblem, "-", 1, messageText(Message::longLine)) + "2");
}

// --- The solver ---

// Several boards, one with no solution, each answered after a blank line from the last with its
// count and the solution the solver gives in-process: each cell's digit, then each pair's route
// as rows and columns, which the check finds a cover of the board; in the output as in the input,
// cells are parted by blanks. Then the same boards as other systems' editors save them.
TEST(Program, SolvesEveryBoardGiven) {
    std::vector<Board> boards{boardFromText("1.2/.../1.2"), boardFromText("11/22"),
                              boardFromText("1..../...../...../...../....1"),
                              boardFromText("1..1/2..2/3..3/4..4")};
    std::srand(8);
    for (const auto& [side, pairs, answers] : {std::tuple{5, 4, Answers::any},
                                               {7, 9, Answers::any},
                                               {8, 5, Answers::any},
                                               {8, 9, Answers::one}})
        boards.push_back(*findPuzzle(side, pairs, nullptr, answers).puzzle);
    const auto shown = [](const Board& board) {
        std::string text;
        for (const char cell : gridText(board) + "/") {
            if (cell != '/' && !text.empty() && text.back() != '\n') text += ' ';
            text += cell == '/' ? '\n' : cell;
        }
        return text;
    };
    std::string input;
    std::string expected;
    for (const Board& dealt : boards) {
        const Board board = boardFromText(gridText(dealt)); // each start first in reading order
        const Solutions solved = solveBoard(board);
        input += shown(board) + "\n";
        expected += std::string(expected.empty() ? "" : "\n") +
                    line(Message::solutionsCount, countText(solved.count, false));
        if (solved.count == 1)
            expected += "grade: " + std::string(gradeName(gradeBoard(board))) + '\n';
        if (solved.count == 0) continue;
        expected += shown({board.size, solved.solution});
        for (std::size_t pair = 0; pair < solved.routes.size(); ++pair) {
            expected += std::to_string(pair + 1) + ':';
            for (const int code : solved.routes[pair])
                expected +=
                    ' ' + std::to_string(rowOf(code)) + ',' + std::to_string(columnOf(code));
            expected += '\n';
        }
        EXPECT_EQ(coverFault(board, solved.routes), "") << gridText(board);
    }
    const Ran ran = run("--solve -", input);
    EXPECT_EQ(ran.output + ran.errors + std::to_string(ran.status), expected + "1");
    // The same answers for a file saved with CRLF line ends, a byte-order mark or tabs.
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string text = input;
        for (auto at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    };
    for (const std::string& saved :
         {replaced("\n", "\r\n"), "\xEF\xBB\xBF" + input, replaced(" ", "\t")})
        EXPECT_EQ(run("--solve -", saved).output, ran.output);
    // Without the board that has none, every board is solved: status 0.
    EXPECT_EQ(run("--solve -", input.substr(input.find("\n\n") + 2)).status, 0);
}

// Every byte but '.', the digits 1 to 9, a blank, a tab (a blank too) and a newline is refused
// where it stands, named with the file and the line: the second row here.
TEST(Solver, RefusesEveryOtherByteWithItsLine) {
    for (int value = 0; value < 256; ++value) {
        const char byte = char(value);
        if (std::string_view(". 123456789\t\n").find(byte) != std::string_view::npos) continue;
        std::istringstream input(std::string("1 .\n") + byte + " 1\n");
        std::ostringstream output;
        std::ostringstream errors;
        EXPECT_EQ(solveBoards(input, "f", output, errors), 2) << value;
        EXPECT_TRUE(errors.str().starts_with("pairpath: f:2: unknown character ")) << value;
        EXPECT_EQ(output.str(), "") << value;
    }
}

// --- The records ---

// --records reads the state folder the environment names: the records in order; the good lines of
// a damaged file, then each bad line with the field at fault; a relative HOME refused; each with
// its status.
TEST(Program, ShowsTheRecordsOrWhyNot) {
    const TempFolder state;
    std::filesystem::create_directories(state.path / "pairpath");
    // The status, then what --records writes on standard output and then on standard error.
    const auto shown = [&](std::string_view file, const std::string& environment) {
        std::ofstream(state.path / "pairpath/records", std::ios::binary) << file;
        const Ran ran = run("--records", "", environment);
        return std::pair(ran.status, ran.output + ran.errors);
    };
    const std::string here = "export XDG_STATE_HOME='" + state.path.string() + "'";
    EXPECT_EQ(shown("daily days=3 streak=2 last=2026-12-07 best=61\n"
                    "side=6 pairs=5 answers=one won=1 best=75 moves=40\n"
                    "side=6 pairs=5 answers=hard won=2 best=100 moves=45\n"
                    "side=5 pairs=4 answers=any won=3 best=3600 moves=21\n",
                    here),
              std::pair(0, line(Message::recordLine, 5, 5, 4, 3, "60:00", 21) +
                               line(Message::oneAnswerRecordLine, 6, 6, 5, 1, "1:15", 40) +
                               line(Message::gradedRecordLine, 6, 6, 5, "hard", 2, "1:40", 45) +
                               line(Message::dailyRecordLine, 3, 2, "2026-12-07", "1:01")));
    EXPECT_EQ(shown("", here), std::pair(0, line(Message::noRecords)));
    EXPECT_EQ(shown("side=5 pairs=4 answers=any won=3 best=3600 moves=21\n", here),
              std::pair(0, line(Message::recordLine, 5, 5, 4, 3, "60:00", 21))); // no daily line
    std::filesystem::remove(state.path / "pairpath/records");
    std::filesystem::create_directory(state.path / "pairpath/records"); // a folder in its place
    const std::string folder = (state.path / "pairpath/records").string();
    EXPECT_EQ(shown("", here),
              std::pair(1, line(Message::fileProblem, folder, std::strerror(EISDIR))));
    std::filesystem::remove(state.path / "pairpath/records");
    EXPECT_EQ(
        shown("side=5 pairs=4 answers=any won=1 best=9300000000 moves=21\n"
              "side=6 pairs=5 answers=one won=1 best=75 moves=40\n",
              here),
        std::pair(1, line(Message::oneAnswerRecordLine, 6, 6, 5, 1, "1:15", 40) +
                         line(Message::recordsBadLine, (state.path / "pairpath/records").string(),
                              1, badLineText("best", 0))));
    EXPECT_EQ(
        shown("", "unset XDG_STATE_HOME; export HOME=home"),
        std::pair(1, line(Message::fileProblem, "records", messageText(Message::relativeHome))));
}

} // namespace
} // namespace pairpath
