// Reading a number as the player or a file writes it: decimal digits alone, within bounds.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace pairpath {

// `text` as a number from `least` to `most`, written in decimal digits only (no sign, blank or
// prefix); nothing when it is not one.
template <typename Number>
std::optional<Number> decimal(std::string_view text, Number least, Number most) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || value < least || value > most) return std::nullopt;
    return value;
}

} // namespace pairpath
