// The files the game keeps for the player, in its state folder, and the care they are kept with:
// a write lock held around every read-change-write, a bounded read, a new file written aside,
// flushed and renamed over the old one, and damage moved aside with its bytes intact. Nothing here
// writes words: each step says what went wrong as a FileTrouble, which the front ends put in words.
#pragma once

#include "pairpath/core/messages.hpp"

#include <filesystem>
#include <string>
#include <string_view>

namespace pairpath {

// What went wrong with a file, if anything.
struct FileTrouble {
    Trouble kind = Trouble::none;
    int error = 0; // the errno, for Trouble::system
    explicit operator bool() const { return kind != Trouble::none; }
};

FileTrouble systemTrouble(int error);

// $XDG_STATE_HOME/pairpath, or $HOME/.local/state/pairpath when XDG_STATE_HOME is unset, empty or
// not an absolute path. Empty, with why, when HOME is unset or empty, or not an absolute path.
struct StateFolder {
    std::filesystem::path path;
    FileTrouble why;
};
StateFolder stateFolder();

// A write lock on FILE.lock beside `file`, held while this lives; the folders on the way are made
// (mode 0700) first. `trouble` says why it could not be had.
struct FileLock {
    explicit FileLock(const std::filesystem::path& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    int fd = -1;
    FileTrouble trouble;
};

// The first bytes of `file`, a little past `most` when it is longer; a missing file reads as empty.
struct Contents {
    std::string bytes;
    FileTrouble trouble;
};
Contents readUpTo(const std::filesystem::path& file, std::size_t most);

// The steps of a replacement, in order, for a test to stop it between any two.
enum class ReplaceStep { made, written, flushed, closed, renamed, folderFlushed };
using AfterStep = void (*)(ReplaceStep);

// Replaces `file` with one that holds `text`: written beside it, flushed to the disk, renamed over
// it, and the folder flushed, so that a crash leaves the old file or the new, never a part of one.
// `afterStep`, when given, is called after each step.
FileTrouble replaceWhole(const std::filesystem::path& file, std::string_view text,
                         AfterStep afterStep = nullptr);

// Gives `file` beside it the first name FILE.damaged-N (N from 1 to 999) that no file has, never
// replacing one, and returns that name.
struct MovedAside {
    std::string name;
    FileTrouble trouble;
};
MovedAside moveAside(const std::filesystem::path& file);

} // namespace pairpath
