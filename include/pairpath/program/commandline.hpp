// The command line: the options pairpath takes, its usage text, and the reading of the
// arguments into a plain record. Reading never writes and never exits: it returns what the
// program is to do and the text to show, so that only main prints and chooses the exit status,
// and the tests can read any command line in-process.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/reason/trials.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pairpath {

// The settings for a game; an empty field leaves that choice as it is without options.
struct Options {
    std::optional<unsigned> seed;   // seeds the generator in place of the clock
    std::optional<int> size;        // answers the grid side question
    std::optional<int> pairs;       // answers the pair count question
    bool colours = true;            // colour the board's digits
    bool fullScreen = false;        // play with single keys on the whole screen
    bool resume = false;            // take up the saved game at once
    std::optional<Date> daily;      // play the puzzle of this day
    std::optional<Grade> grade;     // deal one-answer puzzles of this grade only
    Answers answers = Answers::any; // deal only puzzles with one solution, or any
    std::string solveFile;          // for Action::solve: the boards' file, "-" for standard input
};

enum class Action {
    play,        // play a game with `options`
    showHelp,    // write `message` (the usage) on standard output, exit 0
    showVersion, // write `message` on standard output, exit 0
    refuse,      // write `message` (the problem and a hint) on standard error, exit 2
    solve,       // solve the boards in options.solveFile
    records,     // show the records of games won
};

struct CommandLine {
    Action action = Action::play;
    Options options;
    std::string message; // empty when playing
};

// What the program's surroundings say about colours.
struct Surroundings {
    std::string_view noColour;     // the value of NO_COLOR, empty when it is not set
    bool outputIsTerminal = false; // standard output is a terminal
};

// Reads `arguments`, the program's name first, as main receives them. Options are taken in
// order, and the first that asks for help or the version, or is wrong, decides; --records and
// --solve go with no other action (--full-screen among them) and no stray argument.
// getopt_long may reorder the arguments the GNU way; its state is reset on every call.
CommandLine readCommandLine(std::span<char*> arguments, const Surroundings& surroundings);

} // namespace pairpath
