// The key decoder: reads the bytes of one key from a file descriptor and names the key. A key
// that begins with Esc may be an escape sequence (CSI "ESC [" or SS3 "ESC O", then parameters and
// a final byte); its bytes come together, so a short wait after the Esc tells it from the Esc
// key alone. A report of the mouse (SGR encoding) becomes a mouse key with its screen cell.
// Sequences that name no key here are read to their end and reported as `other`, so
// that none of their bytes is taken for a key of its own.
//
// The waits use select, not poll: macOS's poll does not serve terminal devices.

#include "pairpath/terminal/keys.hpp"

#include <sys/select.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

namespace pairpath {

namespace {

constexpr int longestSequence = 16; // bytes read at most from one unknown escape sequence
constexpr char escape = '\033';
constexpr char controlH = 8;
constexpr char deleteKey = 127;

// Waits until `fd` has a byte to read, or its end or an error, for at most `wait` (negative:
// however long it takes). False when the wait ran out.
bool readable(int fd, std::chrono::milliseconds wait) {
    if (fd >= FD_SETSIZE) return true; // select cannot watch it: the read blocks instead
    for (;;) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(fd, &ready);
        timeval limit{};
        limit.tv_sec = decltype(limit.tv_sec)(wait.count() / 1000);
        limit.tv_usec = decltype(limit.tv_usec)(wait.count() % 1000 * 1000);
        const int count =
            select(fd + 1, &ready, nullptr, nullptr, wait.count() < 0 ? nullptr : &limit);
        if (count < 0 && errno == EINTR) continue;
        return count != 0; // an error, too, is for the read to report
    }
}

// One byte of `fd` within `wait` (negative: however long it takes), or nothing. Sets `ended`
// when the input has ended or failed.
std::optional<char> nextByte(int fd, std::chrono::milliseconds wait, bool& ended) {
    for (;;) {
        if (!readable(fd, wait)) return std::nullopt;
        char byte = 0;
        const ssize_t got = read(fd, &byte, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) {
            ended = true;
            return std::nullopt;
        }
        return byte;
    }
}

// A report of the mouse in SGR form, "<" button ";" column ";" row, then 'M' for a press or a
// move and 'm' for a release: the left button's, or `other`. Only the left button plays.
KeyPress decodeMouse(std::string_view parameters, char final) {
    constexpr int motionBit = 32;
    constexpr int otherButtons = 3 | 64 | 128; // middle, right, wheel and extra buttons
    constexpr int largest = 9999;
    std::array values{0, 0, 0}; // the button, the column and the row
    std::size_t index = 0;
    for (const char c : parameters.substr(1)) {
        if (c == ';') {
            if (++index == values.size()) return {Key::other}; // a fourth value
            continue;
        }
        if (c < '0' || c > '9') return {Key::other};
        values[index] = std::min(largest, values[index] * 10 + (c - '0'));
    }
    const auto [button, column, row] = values;
    if (index != 2 || column < 1 || row < 1 || (button & otherButtons) != 0) return {Key::other};
    const bool moved = (button & motionBit) != 0;
    if (final == 'm' && moved) return {Key::other};
    const MouseAction action = final == 'm' ? MouseAction::release
                               : moved      ? MouseAction::drag
                                            : MouseAction::press;
    return {Key::mouse, 0, action, row - 1, column - 1};
}

// The rest of a key that began with Esc: an arrow, a mouse report, Esc itself, or something
// else.
KeyPress decodeEscape(int fd, std::chrono::milliseconds wait) {
    bool ended = false;
    const auto introducer = nextByte(fd, wait, ended);
    if (!introducer) return {ended ? Key::ended : Key::escape};
    if (*introducer != '[' && *introducer != 'O') return {Key::other};
    // Parameters until a final byte from '@' to '~', which ends every control sequence.
    std::string parameters;
    auto byte = nextByte(fd, wait, ended);
    for (; byte && (*byte < '@' || *byte > '~') && int(parameters.size()) < longestSequence;
         byte = nextByte(fd, wait, ended))
        parameters += *byte;
    if (!byte || (*byte < '@' || *byte > '~')) return {ended ? Key::ended : Key::other};
    if (parameters.empty()) {
        constexpr std::array arrows{Key::up, Key::down, Key::right, Key::left};
        if (*byte >= 'A' && *byte <= 'D') return {arrows[std::size_t(*byte - 'A')]};
        return {Key::other};
    }
    if (*introducer == '[' && parameters.front() == '<' && (*byte == 'M' || *byte == 'm'))
        return decodeMouse(parameters, *byte);
    return {Key::other};
}

} // namespace

KeyPress readKeyFrom(int fd, std::chrono::milliseconds wait) {
    bool ended = false;
    const auto byte = nextByte(fd, std::chrono::milliseconds(-1), ended);
    if (!byte) return {Key::ended};
    switch (*byte) {
    case escape: return decodeEscape(fd, wait);
    case deleteKey:
    case controlH: return {Key::backspace};
    default: return {Key::character, *byte};
    }
}

} // namespace pairpath
