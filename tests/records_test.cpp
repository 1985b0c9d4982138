// The records, on real files in a fresh folder: the best of each choice kept, a win that waits
// for another game's lock counting that game's win too, damage refused and moved aside whole, and
// what keeps a win from being saved.

#include "checks.hpp"
#include "pairpath/records/records.hpp"
#include "pairpath/records/saved_game.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace pairpath {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

RecordKey key(int size, int pairs, Answers answers = Answers::any,
              std::optional<Grade> grade = std::nullopt) {
    return {size, pairs, answers, grade};
}

// What a win did, in short: "" when it was kept as it was, "aside NAME" when it started a fresh
// file, else why it was not kept.
std::string outcome(const WinRecorded& recorded) {
    if (recorded.trouble) return troubleText(recorded.trouble.kind, recorded.trouble.error);
    return recorded.movedAside.empty() ? "" : "aside " + recorded.movedAside;
}

struct Records : ::testing::Test {
    pairpath::testing::TempFolder temporary;
    fs::path folder = temporary.path;
    fs::path file = folder / "state/records";
    std::string win(RecordKey key, long seconds = 60, int moves = 60) const {
        return outcome(recordWin(file, key, seconds, moves));
    }
    // The good records, then each bad line with the field at fault ("" for a line that is not the
    // fields, "=N" for a choice already on line N); or why they cannot be read.
    std::string read() const {
        const RecordsRead read = readRecords(file);
        if (read.trouble.kind == Trouble::system)
            return troubleText(read.trouble.kind, read.trouble.error);
        std::string text;
        for (const Record& record : read.records)
            text += std::to_string(record.key.size) + "/" + std::to_string(record.key.pairs) +
                    (record.key.answers == Answers::one ? "u" : "") + ": " +
                    std::to_string(record.won) + " " + std::to_string(record.bestSeconds) + " " +
                    std::to_string(record.fewestMoves) + "\n";
        if (const auto& daily = read.daily)
            text += "daily " + std::to_string(daily->days) + " " + std::to_string(daily->streak) +
                    " " + dateText(daily->last) + " " + std::to_string(daily->bestSeconds) + "\n";
        for (const BadLine& bad : read.bad) {
            text += "bad " + std::to_string(bad.line) + " " + bad.field;
            if (bad.sameAs != 0) text += '=' + std::to_string(bad.sameAs);
            text += '\n';
        }
        return text;
    }
};

TEST_F(Records, KeepsTheBestOfEachChoiceInOrder) {
    EXPECT_EQ(read(), "");
    EXPECT_EQ(win(key(6, 5, Answers::one), 75, 40), "");
    EXPECT_EQ(win(key(6, 5), 200, 31), "");
    EXPECT_EQ(win(key(6, 5), 61, 35), "");
    EXPECT_EQ(win(key(5, 8), 9, 12), "");
    EXPECT_EQ(readFile(file).substr(0, 49), "side=5 pairs=8 answers=any won=1 best=9 moves=12\n");
    errno = EINTR; // as an earlier call may leave it: the file's end is still its end
    EXPECT_EQ(read(), "5/8: 1 9 12\n6/5: 2 61 31\n6/5u: 1 75 40\n");
}

// A win waits while another game holds the lock, then counts what that game wrote: the test
// holds the lock until the kernel lists the child as waiting for it.
TEST_F(Records, WaitsForTheLockAndCountsWhatItsHolderWrote) {
    if (!fs::exists("/proc/locks")) GTEST_SKIP() << "no /proc/locks to see a waiter in";
    fs::create_directories(file.parent_path());
    const int lock = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(lock, F_SETLK, &whole), 0);
    const pid_t child = fork();
    if (child == 0) std::_Exit(win(key(7, 6), 90, 30).empty() ? 0 : 1);
    const std::string waiting = "-> POSIX  ADVISORY  WRITE " + std::to_string(child) + ' ';
    // The last guard against a hang, not a measure of speed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readFile("/proc/locks").find(waiting) == std::string::npos) {
        ASSERT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the win did not wait for the lock";
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the win never asked for the lock";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    writeFile(file, "side=7 pairs=6 answers=any won=5 best=80 moves=31\n");
    ::close(lock);
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read(), "7/6: 6 80 30\n");
}

// A disk that fills up as the file is written: the win is not saved and says why, and the
// records kept stand whole, with nothing left beside them.
TEST_F(Records, KeepsTheOldFileWhenTheNewOneCannotBeWritten) {
    ASSERT_EQ(win(key(5, 4), 30, 21), "");
    const std::string before = readFile(file);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{20, 20}; // bytes a file may grow to
        setrlimit(RLIMIT_FSIZE, &small);
        std::_Exit(win(key(6, 4), 30, 21) == std::strerror(EFBIG) ? 0 : 1);
    }
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 2) << "and the lock";
}

// Every line that a win could not have written is damage, which reading names, with the field at
// fault, and leaves be; a win moves the file aside, bytes intact, under a name no file has
// (records.damaged-1 to -984 are taken), and starts a new one, in which the good lines count on.
// Past records.damaged-999 no name is left, and the damage stays.
TEST_F(Records, MovesDamageAsideWhole) {
    const std::string good = "side=6 pairs=5 answers=one won=2 best=3 moves=4\n";
    const auto with = [&](std::string_view field, std::string_view value) {
        const auto at = good.find(field) + field.size();
        return good.substr(0, at) + std::string(value) + good.substr(good.find_first_of(" \n", at));
    };
    const auto damages = std::to_array<std::pair<std::string, std::string_view>>({
        {good + std::string("\0\xff", 2), "bad 2 "},
        {with("won=", "-2"), "bad 1 won"},
        {with("won=", "0"), "bad 1 won"},
        {with("won=", "2147483648"), "bad 1 won"},
        {with("best=", "9223372037"), "bad 1 best"}, // past what the game's clock can count
        {with("best=", std::string(4000, '0') + "3"), "bad 1 "},
        {with("side=", "9"), "bad 1 side"},
        {with("side=", "4"), "bad 1 side"},
        {with("pairs=", "10"), "bad 1 pairs"},
        {"side=5 pairs=9 answers=any won=1 best=3 moves=4\n", "bad 1 pairs"},
        {with("answers=", "all"), "bad 1 answers"},
        {with("moves=", "-1"), "bad 1 moves"},
        {good + good, "bad 2 =1"},
        {good.substr(0, good.size() - 1), "bad 1 "},
    });
    fs::create_directories(file.parent_path());
    int kept = 999 - int(damages.size()) - 1;
    for (int taken = 1; taken <= kept; ++taken)
        writeFile(file.string() + ".damaged-" + std::to_string(taken), "taken");
    for (const auto& [damage, fault] : damages) {
        const std::string aside = "records.damaged-" + std::to_string(++kept);
        writeFile(file, damage);
        const bool goodFirst = damage.starts_with(good);
        EXPECT_EQ(read(), (goodFirst ? "6/5u: 2 3 4\n" : "") + std::string(fault) + "\n");
        EXPECT_EQ(win(key(6, 5, Answers::one), 3600), "aside " + aside);
        EXPECT_EQ(readFile(file.parent_path() / aside), damage);
        EXPECT_EQ(read(), goodFirst ? "6/5u: 3 3 4\n" : "6/5u: 1 3600 60\n") << damage;
    }
    writeFile(file, with("best=", "9223372036"));
    EXPECT_EQ(read(), "6/5u: 2 9223372036 4\n") << "the longest time a clock counts";
    for (const std::string& last :
         {std::string("aside records.damaged-999"), std::string(std::strerror(EEXIST))}) {
        writeFile(file, damages[0].first);
        EXPECT_EQ(win(key(8, 9, Answers::one), 3600), last);
    }
    EXPECT_EQ(readFile(file), damages[0].first);
    // Three good lines and a bad one among them: the three count on, in order.
    file = folder / "fresh/records";
    fs::create_directories(file.parent_path());
    writeFile(file, "side=7 pairs=6 answers=any won=5 best=80 moves=31\nside=5 pairs=4 answers=any "
                    "won=one best=2 moves=9\nside=5 pairs=4 answers=one won=1 best=50 moves=20\n" +
                        good);
    const std::string damaged = readFile(file);
    const WinRecorded recorded = recordWin(file, key(7, 6), 70, 40);
    EXPECT_EQ(recorded.movedAside, "records.damaged-1");
    EXPECT_EQ(readFile(folder / "fresh" / recorded.movedAside), damaged);
    EXPECT_EQ(read(), "5/4u: 1 50 20\n6/5u: 2 3 4\n7/6: 6 70 31\n");
}

// The state folder named by the environment, a relative HOME refused; and what keeps a win from
// being saved: a file, not a folder, on the way; a time or a choice that no win has.
TEST_F(Records, FollowsTheEnvironmentAndSaysWhatKeepsAWin) {
    const std::string home = std::getenv("HOME") == nullptr ? "" : std::getenv("HOME");
    const auto folderFor = [](const char* stateHome, const char* homeValue) {
        static_cast<void>(stateHome == nullptr ? ::unsetenv("XDG_STATE_HOME")
                                               : ::setenv("XDG_STATE_HOME", stateHome, 1));
        static_cast<void>(homeValue == nullptr ? ::unsetenv("HOME")
                                               : ::setenv("HOME", homeValue, 1));
        const StateFolder state = stateFolder();
        return state.why ? troubleText(state.why.kind, 0) : state.path.string();
    };
    EXPECT_EQ(folderFor("/s", "/h"), "/s/pairpath");
    EXPECT_EQ(folderFor("s", "/h"), "/h/.local/state/pairpath");
    EXPECT_EQ(folderFor("", "h"), messageText(Message::relativeHome));
    EXPECT_EQ(folderFor(nullptr, ""), messageText(Message::noStateFolder));
    EXPECT_EQ(folderFor(nullptr, nullptr), messageText(Message::noStateFolder));
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(win(key(5, 4), -1), std::strerror(EINVAL));
    EXPECT_EQ(win(key(5, 4), 9223372037), std::strerror(EINVAL));
    EXPECT_EQ(win(key(5, 9)), std::strerror(EINVAL));
    writeFile(folder / "state", "a file, not a folder");
    EXPECT_EQ(win(key(5, 4)), std::strerror(ENOTDIR));
    fs::remove(folder / "state");
    fs::create_directories(file); // a folder in the file's place cannot be read
    EXPECT_EQ(read(), std::strerror(EISDIR));
    EXPECT_EQ(win(key(5, 4)), std::strerror(EISDIR));
}

// The puzzles of the day won: a day counts once, the next day lengthens the streak, a later one
// starts another, an earlier one leaves it be; the line stands after the choices. A daily line
// that no win writes is damage, with the field at fault.
TEST_F(Records, CountsThePuzzlesOfTheDay) {
    ASSERT_EQ(win(key(5, 4), 30, 20), "");
    const auto days = std::to_array<std::tuple<std::string_view, long, std::string_view>>({
        {"2026-12-07", 90, "daily 1 1 2026-12-07 90"},
        {"2026-12-07", 80, "daily 1 1 2026-12-07 80"},
        {"2026-12-08", 100, "daily 2 2 2026-12-08 80"},
        {"2026-12-10", 70, "daily 3 1 2026-12-10 70"},
        {"2026-12-01", 60, "daily 4 1 2026-12-10 60"},
        {"2026-12-11", 65, "daily 5 2 2026-12-11 60"},
    });
    for (const auto& [day, seconds, shown] : days) {
        EXPECT_EQ(outcome(recordDailyWin(file, *dateOf(day), seconds)), "");
        EXPECT_EQ(read(), "5/4: 1 30 20\n" + std::string(shown) + "\n") << day;
    }
    EXPECT_TRUE(readFile(file).ends_with("daily days=5 streak=2 last=2026-12-11 best=60\n"));
    const std::string good = "daily days=2 streak=1 last=2026-12-11 best=60\n";
    for (const auto& [line, fault] : std::to_array<std::pair<std::string, std::string_view>>(
             {{"daily days=0 streak=1 last=2026-12-11 best=60\n", "bad 1 days"},
              {"daily days=2 streak=3 last=2026-12-11 best=60\n", "bad 1 streak"},
              {"daily days=2 streak=1 last=2026-02-30 best=60\n", "bad 1 last"},
              {"daily days=2 streak=1 last=2026-12-11 best=9223372037\n", "bad 1 best"},
              {"daily  days=2 streak=1 last=2026-12-11 best=60\n", "bad 1 "},
              {good + good, "daily 2 1 2026-12-11 60\nbad 2 =1"}})) {
        writeFile(file, line);
        EXPECT_EQ(read(), std::string(fault) + "\n") << line;
    }
}

// --- The saved game ---

// A game on the rows board: pair 1 connected along its row, pair 2 being drawn a cell in.
SavedGame savedGame(int moves) {
    SavedGame game;
    game.puzzle = pairpath::testing::boardFromText("1...1/2...2/3...3/4..../....4");
    game.answers = Answers::one;
    if (moves == 5) game.daily = dateOf("2026-12-07");
    game.position.endpoints = game.puzzle.endpoints;
    game.position.cells[0] = {1, 2, 3};
    game.position.cells[1] = {11};
    game.position.connected = 1;
    game.position.drawing = 2;
    game.moves = moves;
    game.hints = 1;
    game.playedMilliseconds = 12'500;
    return game;
}

bool same(const std::optional<SavedGame>& read, const SavedGame& game) {
    return read && read->puzzle.endpoints == game.puzzle.endpoints &&
           read->puzzle.grid == game.puzzle.grid && read->answers == game.answers &&
           read->daily == game.daily && read->position == game.position &&
           read->moves == game.moves && read->hints == game.hints &&
           read->playedMilliseconds == game.playedMilliseconds;
}

ReplaceStep stopAt{};
void stopHere(ReplaceStep step) {
    if (step == stopAt) ::raise(SIGKILL);
}

// A save killed after any step of its writing leaves the game saved before it, or the new one,
// whole; two games saving at once leave one of them whole.
TEST_F(Records, SavedGameSurvivesACrashAtAnyStep) {
    const SavedGame older = savedGame(4);
    const SavedGame newer = savedGame(5);
    ASSERT_EQ(readSavedGame(file).trouble.kind, Trouble::none);
    EXPECT_FALSE(readSavedGame(file).game) << "nothing saved yet";
    ASSERT_FALSE(saveGame(file, older));
    EXPECT_TRUE(same(readSavedGame(file).game, older));
    for (const ReplaceStep step :
         {ReplaceStep::made, ReplaceStep::written, ReplaceStep::flushed, ReplaceStep::closed,
          ReplaceStep::renamed, ReplaceStep::folderFlushed}) {
        ASSERT_FALSE(saveGame(file, older));
        stopAt = step;
        const pid_t child = fork();
        if (child == 0) std::_Exit(saveGame(file, newer, stopHere) ? 1 : 2);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "killed after step " << int(step);
        const auto read = readSavedGame(file).game;
        EXPECT_TRUE(same(read, step < ReplaceStep::renamed ? older : newer)) << int(step);
    }
    std::array<pid_t, 2> savers{};
    for (std::size_t at = 0; at < savers.size(); ++at) {
        savers[at] = fork();
        if (savers[at] != 0) continue;
        for (int time = 0; time < 25; ++time)
            static_cast<void>(saveGame(file, at == 0 ? older : newer));
        std::_Exit(0);
    }
    for (const pid_t saver : savers)
        waitpid(saver, nullptr, 0);
    const auto read = readSavedGame(file).game;
    EXPECT_TRUE(same(read, older) || same(read, newer));
    EXPECT_FALSE(forgetGame(file));
    EXPECT_FALSE(readSavedGame(file).game) << "a game won leaves none";
}

// A file the game could not have saved is damage, set aside whole: text out of form, a path that
// jumps, crosses a held cell or ends off its target, two paths being drawn, a board no deal has.
TEST_F(Records, DamagedSaveIsSetAsideWhole) {
    ASSERT_FALSE(saveGame(file, savedGame(4)));
    const std::string good = readFile(file);
    const auto with = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const auto damages = std::to_array<std::string>({
        "", // only when it holds nothing is there no game
        with("pairpath game", "pairpath gam"),
        with("side 5", "side 9"),
        with("pairs 4", "pairs 3"),
        with("answers one", "answers all"),
        with("daily none", "daily 2026-13-01"),
        with("0,0 0,4", "0,0 0,1"),                // a pair's ends side by side
        with("0,4 1,0", "0,4 0,4"),                // two ends on one cell
        with("done 0,1 0,2 0,3", "done 0,1 0,3"),  // a jump
        with("done 0,1 0,2 0,3", "done 0,1 0,2"),  // done away from its target
        with("drawing 1,1", "drawing 1,1 1,0"),    // over its own endpoint
        with("path 3 none", "path 3 drawing 2,1"), // a second path being drawn
        with("path 3 none", "path 3 none 2,1"),    // cells of a path not drawn
        with("played 12500", "played -1"),
        good + "more\n",
        good.substr(0, good.size() - 1),
    });
    for (const std::string& damage : damages) {
        writeFile(file, damage);
        const GameRead read = readSavedGame(file);
        EXPECT_FALSE(read.game) << damage;
        if (damage.empty()) continue;
        EXPECT_EQ(read.trouble.kind, Trouble::damaged) << damage;
        const MovedAside aside = setGameAside(file);
        EXPECT_EQ(readFile(file.parent_path() / aside.name), damage);
        EXPECT_FALSE(fs::exists(file));
    }
}

} // namespace
} // namespace pairpath
