// The records, on real files in a fresh folder: the best of each choice kept, a win that waits
// for another game's lock counting that game's win too, damage refused and moved aside whole, notes
// for failures.

#include "pairpath/records/records.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

struct Records : testing::Test {
    fs::path folder;
    fs::path file;
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "pairpath-records-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        folder = name;
        file = folder / "state/records";
    }
    void TearDown() override { fs::remove_all(folder); }
    // The exit status of --records, then what it writes on standard output and error.
    std::string shown() const { return shownFrom(file); }
    static std::string shownFrom(const fs::path& records) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = printRecords(records, out, err);
        return std::to_string(status) + out.str() + err.str();
    }
};

TEST_F(Records, KeepsTheBestOfEachChoiceInOrder) {
    EXPECT_EQ(shown(), "0No games won yet.\n");
    EXPECT_EQ(recordWin(file, {6, 5, true}, 75, 40), "");
    EXPECT_EQ(recordWin(file, {6, 5, false}, 200, 31), "");
    EXPECT_EQ(recordWin(file, {6, 5, false}, 61, 35), "");
    EXPECT_EQ(recordWin(file, {5, 8, false}, 9, 12), "");
    EXPECT_EQ(readFile(file).substr(0, 49), "side=5 pairs=8 answers=any won=1 best=9 moves=12\n");
    errno = EINTR; // as an earlier call may leave it: the file's end is still its end
    EXPECT_EQ(shown(), "05 x 5, 8 pairs: won 1, best 0:09, fewest moves 12\n"
                       "6 x 6, 5 pairs: won 2, best 1:01, fewest moves 31\n"
                       "6 x 6, 5 pairs, one answer: won 1, best 1:15, fewest moves 40\n");
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
    if (child == 0) std::_Exit(recordWin(file, {7, 6, false}, 90, 30).empty() ? 0 : 1);
    const std::string waiting = "-> POSIX  ADVISORY  WRITE " + std::to_string(child) + ' ';
    while (readFile("/proc/locks").find(waiting) == std::string::npos)
        ASSERT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the win did not wait for the lock";
    writeFile(file, "side=7 pairs=6 answers=any won=5 best=80 moves=31\n");
    ::close(lock);
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shown(), "07 x 7, 6 pairs: won 6, best 1:20, fewest moves 30\n");
}

// A disk that fills up as the file is written: the win is not saved and says why, and the
// records kept stand whole, with nothing left beside them.
TEST_F(Records, KeepsTheOldFileWhenTheNewOneCannotBeWritten) {
    ASSERT_EQ(recordWin(file, {5, 4, false}, 30, 21), "");
    const std::string before = readFile(file);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{20, 20}; // bytes a file may grow to
        setrlimit(RLIMIT_FSIZE, &small);
        const std::string note = recordWin(file, {6, 4, false}, 30, 21);
        std::_Exit(note == "Records not saved: File too large" ? 0 : 1);
    }
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 2) << "and the lock";
}

// Each damage is named by --records, on standard error, and left be; a win moves it aside, bytes
// intact, under a name no file has (records.damaged-1 to -990 are taken), and starts a fresh
// file. Past records.damaged-999 no name is left, and the damage stays.
TEST_F(Records, MovesDamageAsideWhole) {
    const std::string head = "side=6 pairs=5 answers=one won=";
    const std::string good = head + "2 best=3 moves=4\n";
    const std::array<std::string, 8> damages{
        good + std::string("\0\xff", 2),
        head + "-2 best=3 moves=4\n",
        head + "2147483648 best=3 moves=4\n",
        "side=5 pairs=9 answers=any won=1 best=3 moves=4\n",
        "side=9 pairs=4 answers=any won=1 best=3 moves=4\n",
        good + good,
        good.substr(0, good.size() - 1),
        head + "2 best=" + std::string(4000, '0') + "3 moves=4\n",
    };
    fs::create_directories(file.parent_path());
    int kept = 990;
    for (int taken = 1; taken <= kept; ++taken)
        writeFile(file.string() + ".damaged-" + std::to_string(taken), "taken");
    for (const std::string& damage : damages) {
        const std::string aside = "records.damaged-" + std::to_string(++kept);
        writeFile(file, damage);
        EXPECT_TRUE(shown().starts_with("1pairpath: " + file.string() + ":")) << damage;
        EXPECT_EQ(recordWin(file, {8, 9, true}, 3600, 60),
                  "Records damaged; kept as " + aside + ".");
        EXPECT_EQ(readFile(file.parent_path() / aside), damage);
    }
    EXPECT_EQ(shown(), "08 x 8, 9 pairs, one answer: won 1, best 60:00, fewest moves 60\n");
    for (const std::string_view last :
         {"Records damaged; kept as records.damaged-999.", "Records not saved: File exists"}) {
        writeFile(file, damages[0]);
        EXPECT_EQ(recordWin(file, {8, 9, true}, 3600, 60), last);
    }
    EXPECT_EQ(readFile(file), damages[0]);
}

// The file named by the environment; a note, not a failure, where none can be written.
TEST_F(Records, FollowsTheEnvironmentAndNotesWhatItCannotSave) {
    const std::string home = std::getenv("HOME") == nullptr ? "" : std::getenv("HOME");
    writeFile(folder / "state", "a file, not a folder");
    ::setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(recordsFile(), folder / "state/pairpath/records");
    EXPECT_EQ(recordWin(recordsFile(), {5, 4, false}, 1, 1), "Records not saved: Not a directory");
    ::setenv("XDG_STATE_HOME", "", 1);
    EXPECT_EQ(recordsFile(), "/h/.local/state/pairpath/records");
    ::unsetenv("HOME");
    EXPECT_EQ(recordWin(recordsFile(), {5, 4, false}, 1, 1),
              "Records not saved: neither XDG_STATE_HOME nor HOME is set");
    const std::string unset = shownFrom(recordsFile());
    EXPECT_TRUE(unset.starts_with("1pairpath: records: ")) << unset;
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(recordWin(file, {5, 4, false}, -1, 1), "Records not saved: Invalid argument");
    fs::remove(folder / "state");
    fs::create_directories(file); // a folder in the file's place cannot be read
    EXPECT_EQ(shown(), "1pairpath: " + file.string() + ": Is a directory\n");
    EXPECT_EQ(recordWin(file, {5, 4, false}, 1, 1), "Records not saved: Is a directory");
}

} // namespace
} // namespace pairpath
