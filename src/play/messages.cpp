// The game's texts, in one table. The line dialogue's are the texts it has always written, odd
// spellings included, and are never changed; the full screen's and the records' are their own.

#include "pairpath/play/messages.hpp"

#include <array>

namespace pairpath {

namespace {

// Indexed by Message; each '#' stands for a value, in order.
constexpr std::array<std::string_view, std::size_t(Message::wouldRunBack) + 1> messageTexts{
    "Invalid movemnt. Movement will go off boundary.",
    "Invalid movement. Cannot step over your current path (If you want to go back, press 'B')",
    "Invalid movement. Cannot step over original exisited number.",
    "Invalid movement. Movement will cause other path be cleaned.",
    "Invalid movement. Cannot go back since already at the original position. ",
    "To continue this step. Path # will be cleaned. Continue? (Y/N)",
    "Clean path #",
    "Redoing path # will clean the former path. Continue? (Y/N)",
    "Removing former path #...",
    "Terminating current choice...",
    "Congratulations! You connected path # successfully!",
    "Congrats! You Win the game!!!",
    "A 5 x 5 grid can hold at most 8 pairs.",
    "Input ended.",
    "Out of memory!",
    // The line dialogue.
    "Please select which number to start (press Ctrl+c to quit):",
    "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:",
    "Your current position is at row = #, col = #",
    "What size grid would you like. Please Enter a number between 5-8",
    "How many numbers would you like to link. Please Enter a number between 4-9",
    "Invalid Input. Please only input one valid char again.",
    "Invalid input: input does not match expected input. Please input your choice again.",
    "No solvable puzzle was found for this grid and number of pairs. Please choose again.",
    // The full screen.
    "pairpath: the full-screen game needs a terminal for standard input and output",
    "pairpath: the full-screen game needs a terminal that can move the cursor; TERM is #",
    "Grid side? Press # to #.",
    "How many pairs? Press # to #.",
    "# to #: choose  Q: quit",
    "No solvable # x # puzzle with # pairs was found. Please choose again.",
    "Looking for a solvable # x # puzzle with # pairs...",
    "Please make the window at least # x #.",
    "pairpath: # x #, # pairs, #",
    "# solutions",
    "1 solution",
    "Press a digit from 1 to # to choose a pair.",
    "Finish path # first, or press Q to abandon it.",
    "Quit? (Y/N)",
    "Hint: go up.",
    "Hint: go down.",
    "Hint: go left.",
    "Hint: go right.",
    "No solution goes on from this path: step back with B.",
    "Path #  Connected #/#  Cells #/#  Moves #  Hints #  #",
    "1-# path  arrows/WASD move  B back  H hint  Q abandon/quit",
    "Moves #, hints #, time #",
    "N: new puzzle  C: change grid or pairs  Q: quit",
    "not set",
    // The records.
    "Records damaged; kept as #.",
    "Records not saved: #",
    "neither XDG_STATE_HOME nor HOME is set",
    "pairpath: #: #",
    "pairpath: #:#: not a line of records",
    "# x #, # pairs: won #, best #, fewest moves #",
    "# x #, # pairs, one answer: won #, best #, fewest moves #",
    "No games won yet.",
    // Reasons a hint gives
    "Hint: # at row #, col # goes #.",
    "# leaves the solution at row #, col #: step back.",
    "Every pair is linked.",
    "up",
    "down",
    "left",
    "right",
    "Only way on for #.",
    "Only # can still enter row #, col #.",
    "Else #.",
    "# # fails: #.",
    "# # fails, trying on from there: #.",
    "Only this way leads to the solution.",
    "row #, col # would be cut off",
    "# would be boxed in",
    "no pair could fill row #, col #",
    "#'s ends would be walled apart",
    "the cells round row #, col # would not pair up light with dark",
    "# and # could trade cells at row #, col #: two answers",
    "# could run the other way at row #, col #: two answers",
};

} // namespace

std::string_view messageTemplate(Message message) { return messageTexts[std::size_t(message)]; }

std::string countText(CoverCount count, bool grouped) {
    constexpr int base = 10;
    constexpr int groupSize = 3;
    std::string digits;
    do {
        if (grouped && !digits.empty() && digits.size() % (groupSize + 1) == groupSize)
            digits += ',';
        digits += char('0' + int(count % base));
        count /= base;
    } while (count != 0);
    return {digits.rbegin(), digits.rend()};
}

std::string clockText(std::chrono::nanoseconds time) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time).count();
    constexpr int perMinute = 60;
    const auto second = seconds % perMinute;
    return std::to_string(seconds / perMinute) + (second < 10 ? ":0" : ":") +
           std::to_string(second);
}

std::string fillIn(Message message, std::initializer_list<std::string_view> values) {
    std::string text;
    const auto* value = values.begin();
    for (const char c : messageTemplate(message)) {
        if (c == '#' && value != values.end()) {
            text += *value++;
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace pairpath
