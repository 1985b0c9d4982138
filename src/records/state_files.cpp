// The files the game keeps for the player: the state folder's place, the lock around every change,
// the bounded read, the whole replacement and damage moved aside.
//
// Every change holds a write lock (fcntl) on a lock file beside its file for the whole of reading,
// changing and writing, so that two games ending at once both count. The new file is written
// beside the old one, flushed, renamed over it, and the folder flushed: a crash leaves either the
// old file or the new, never a part of one.

#include "pairpath/records/state_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace pairpath {

namespace {

namespace fs = std::filesystem;

constexpr int mostDamagedNames = 999; // FILE.damaged-1 to FILE.damaged-999
constexpr mode_t folderMode = 0700;
constexpr mode_t lockMode = 0600;

// A file descriptor, closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Makes each missing folder on the way to `folder`.
FileTrouble makeFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), folderMode) != 0 && errno != EEXIST) return systemTrouble(errno);
    }
    return {};
}

// Writes all of `text` to `fd` and flushes it to the disk, telling `done` after each.
template <typename Done> FileTrouble writeAll(int fd, std::string_view text, const Done& done) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return systemTrouble(errno);
        text.remove_prefix(std::size_t(count));
    }
    done(ReplaceStep::written);
    if (::fsync(fd) != 0) return systemTrouble(errno);
    done(ReplaceStep::flushed);
    return {};
}

} // namespace

FileTrouble systemTrouble(int error) { return {Trouble::system, error}; }

StateFolder stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && fs::path(state).is_absolute())
        return {fs::path(state) / "pairpath", {}};
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {{}, {Trouble::noStateFolder}};
    // A relative HOME would put the player's files under whatever folder the game started in.
    if (!fs::path(home).is_absolute()) return {{}, {Trouble::relativeHome}};
    return {fs::path(home) / ".local/state/pairpath", {}};
}

FileLock::FileLock(const fs::path& file) {
    trouble = makeFolders(folderOf(file));
    if (trouble) return;
    const fs::path lockFile = file.string() + ".lock";
    fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, lockMode);
    if (fd < 0) {
        trouble = systemTrouble(errno);
        return;
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    while (::fcntl(fd, F_SETLKW, &whole) != 0) {
        if (errno != EINTR) {
            trouble = systemTrouble(errno);
            return;
        }
    }
}

FileLock::~FileLock() {
    if (fd >= 0) ::close(fd);
}

Contents readUpTo(const fs::path& file, std::size_t most) {
    const Descriptor input(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.fd < 0) return {"", errno == ENOENT ? FileTrouble{} : systemTrouble(errno)};
    Contents contents;
    std::array<char, 4096> block{};
    while (contents.bytes.size() <= most) {
        const ssize_t count = ::read(input.fd, block.data(), block.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {"", systemTrouble(errno)};
        if (count == 0) break;
        contents.bytes.append(block.data(), std::size_t(count));
    }
    return contents;
}

FileTrouble replaceWhole(const fs::path& file, std::string_view text, AfterStep afterStep) {
    const auto done = [afterStep](ReplaceStep step) {
        if (afterStep != nullptr) afterStep(step);
    };
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return systemTrouble(errno);
    done(ReplaceStep::made);
    FileTrouble trouble = writeAll(fd, text, done);
    if (::close(fd) != 0 && !trouble) trouble = systemTrouble(errno);
    if (!trouble) done(ReplaceStep::closed);
    if (!trouble && ::rename(temporary.c_str(), file.c_str()) != 0) trouble = systemTrouble(errno);
    if (trouble) {
        ::unlink(temporary.c_str());
        return trouble;
    }
    done(ReplaceStep::renamed);
    const Descriptor folder(::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0 || ::fsync(folder.fd) != 0) return systemTrouble(errno);
    done(ReplaceStep::folderFlushed);
    return {};
}

MovedAside moveAside(const fs::path& file) {
    for (int count = 1; count <= mostDamagedNames; ++count) {
        const std::string name = file.filename().string() + ".damaged-" + std::to_string(count);
        if (::link(file.c_str(), (folderOf(file) / name).c_str()) == 0) {
            if (::unlink(file.c_str()) != 0) return {"", systemTrouble(errno)};
            return {name, {}};
        }
        if (errno != EEXIST) return {"", systemTrouble(errno)};
    }
    return {"", systemTrouble(EEXIST)};
}

} // namespace pairpath
