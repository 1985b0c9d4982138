// The command line: one table of options for getopt_long, one usage text, and the reading of
// the arguments into an Options record, or into the one line that says what is wrong with
// them. Values are checked here against the same ranges as the start-up questions, so a game
// never starts from a setting the questions would refuse. Nothing here writes or exits.
//
// A new option takes an entry in `longOptions` (its letter, if it has one, in
// `shortOptions`), a case in `takeOption`, and its lines in `usage`.

#include "pairpath/program/commandline.hpp"

#include "pairpath/core/decimal.hpp"
#include "pairpath/core/messages.hpp"

#include "pairpath/core/board.hpp"
#include "pairpath/play/session.hpp"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace pairpath {

namespace {

constexpr std::string_view version = PAIRPATH_VERSION;

// Codes of the options that have no letter: past every character getopt_long can return.
enum OptionCode : int {
    sizeCode = 256,
    pairsCode,
    colourCode,
    solveCode,
    recordsCode,
    resumeCode,
    dailyCode,
    difficultyCode
};

// The leading ':' makes getopt_long tell a missing value (':') from an unknown option ('?').
constexpr const char* shortOptions = ":hVfus:";
constexpr std::array<option, 14> longOptions{{
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"seed", required_argument, nullptr, 's'},
    {"size", required_argument, nullptr, sizeCode},
    {"pairs", required_argument, nullptr, pairsCode},
    {"color", required_argument, nullptr, colourCode},
    {"full-screen", no_argument, nullptr, 'f'},
    {"unique", no_argument, nullptr, 'u'},
    {"solve", required_argument, nullptr, solveCode},
    {"records", no_argument, nullptr, recordsCode},
    {"resume", no_argument, nullptr, resumeCode},
    {"daily", optional_argument, nullptr, dailyCode},
    {"difficulty", required_argument, nullptr, difficultyCode},
    {nullptr, 0, nullptr, 0},
}};

constexpr auto colourChoices = std::to_array<std::string_view>({"always", "never", "auto"});

// The command line read so far.
struct Reading {
    Options options;
    std::optional<std::string_view> colourWhen; // the value of --color, already checked
    bool records = false;
    std::vector<int> given; // the options given, in order, each once
};

// What an option is among others: one that acts alone (--records, --solve), the full screen, one
// that names the puzzle (--daily, --resume), a choice of puzzle (--seed, --size, --pairs), or one
// that goes with any.
enum class Kind { alone, screen, names, choice, any };

Kind kindOf(int code) {
    switch (code) {
    case recordsCode:
    case solveCode: return Kind::alone;
    case 'f': return Kind::screen;
    case resumeCode:
    case dailyCode: return Kind::names;
    case 's':
    case sizeCode:
    case pairsCode:
    case difficultyCode: return Kind::choice;
    default: return Kind::any;
    }
}

// --records and --solve go with no other action; a puzzle named goes with no other name or choice.
bool conflicts(int code, int other) {
    const Kind kind = kindOf(code);
    const Kind otherKind = kindOf(other);
    const auto acts = [](Kind of) { return of != Kind::choice && of != Kind::any; };
    if (kind == Kind::alone || otherKind == Kind::alone) return acts(kind) && acts(otherKind);
    return (kind == Kind::names && (otherKind == Kind::names || otherKind == Kind::choice)) ||
           (otherKind == Kind::names && kind == Kind::choice);
}

// "--name" of the option with this code, or "" when there is none.
std::string longNameOf(int code) {
    for (const option& entry : longOptions) {
        if (entry.name != nullptr && entry.val == code) return std::string("--") + entry.name;
    }
    return "";
}

// The first two options given that conflict, named, or "".
std::string conflictProblem(const Reading& reading) {
    for (std::size_t at = 0; at < reading.given.size(); ++at) {
        for (std::size_t other = 0; other < at; ++other) {
            const int first = reading.given[other];
            const int second = reading.given[at];
            if (first != second && conflicts(first, second))
                return messageText(Message::conflict, longNameOf(first), longNameOf(second));
        }
    }
    return "";
}

// Stores a grid side or pair count when `text` is one from `least` to `most`; else says so.
std::string takeCount(std::string_view text, int least, int most, std::optional<int>& count) {
    if (const auto number = decimal(text, unsigned(least), unsigned(most))) {
        count = int(*number);
        return "";
    }
    return messageText(Message::range, least, most);
}

// Takes the value `text` of the option with code `code`. Returns what is wrong with it, or ""
// when it is good.
std::string takeOption(int code, std::string_view text, Reading& reading) {
    constexpr unsigned mostSeed = std::numeric_limits<unsigned>::max();
    std::string expected;
    if (code == 's') {
        reading.options.seed = decimal<unsigned>(text, 0, mostSeed);
        if (!reading.options.seed) expected = messageText(Message::range, 0, mostSeed);
    } else if (code == sizeCode) {
        expected = takeCount(text, minSide, maxSide, reading.options.size);
    } else if (code == pairsCode) {
        expected = takeCount(text, minPairs, maxPairs, reading.options.pairs);
    } else if (code == difficultyCode) {
        reading.options.grade = gradeOfName(text);
        if (reading.options.grade) reading.options.answers = Answers::one; // a grade has one answer
        if (!reading.options.grade) expected = messageText(Message::gradeNames);
    } else if (code == dailyCode) {
        reading.options.daily = text.empty() ? todayUtc() : dateOf(text);
        if (!reading.options.daily) expected = messageText(Message::dateForm);
    } else if (code == solveCode) {
        reading.options.solveFile = text;
        if (text.empty()) expected = messageText(Message::fileName);
    } else if (std::ranges::find(colourChoices, text) == colourChoices.end()) { // --color
        expected = messageText(Message::colourWhens);
    } else {
        reading.colourWhen = text;
    }
    if (expected.empty()) return "";
    return messageText(Message::badValue, text, longNameOf(code), expected);
}

// Why getopt_long refused an option; `element` is the argument it was reading when that was a
// long option (optopt is 0 then).
std::string refusedOption(std::string_view element) {
    if (optopt != 0) {
        const std::string name = longNameOf(optopt);
        if (!name.empty()) return messageText(Message::takesNoValue, name);
        return messageText(Message::unknownShort, std::string(1, char(optopt)));
    }
    const std::string typed(element.substr(0, element.find('=')));
    std::string candidates; // every long option that the typed name begins, as glibc lists them
    int matches = 0;
    for (const option& entry : longOptions) {
        if (entry.name == nullptr || !std::string_view(entry.name).starts_with(typed.substr(2)))
            continue;
        candidates += " '--" + std::string(entry.name) + "'";
        ++matches;
    }
    if (matches > 1) return messageText(Message::ambiguous, typed, candidates);
    return messageText(Message::unknownLong, typed);
}

// What is wrong with the grid side and pair count given together, or "" when they fit: more
// pairs than the side holds, or a grade asked for that their boards seldom have.
std::string combinationProblem(const Options& options) {
    if (!options.size || !options.pairs) return "";
    if (*options.pairs <= mostPairsFor(*options.size))
        return gradeProblem(*options.size, *options.pairs, options.grade);
    const int side = *options.size;
    return messageText(Message::tooManyPairsGiven, side, side, mostPairsFor(side), side,
                       *options.pairs);
}

// An explicit --color outranks NO_COLOR; without either, colours stay on as they always were.
bool coloursWanted(std::optional<std::string_view> when, const Surroundings& surroundings) {
    if (!when) return surroundings.noColour.empty();
    return *when == "always" || (*when == "auto" && surroundings.outputIsTerminal);
}

// Starts getopt_long afresh, as on a new argument vector: it keeps its place between calls, even
// within a group of short options. BSD C libraries (macOS's among them) restart on optreset;
// glibc, which has none, on optind = 0.
void restartGetopt() {
#ifdef PAIRPATH_HAVE_OPTRESET
    optreset = 1;
    optind = 1;
#else
    optind = 0;
#endif
}

// The problem as pairpath writes it, with the hint.
CommandLine refusal(const std::string& problem) {
    return {Action::refuse,
            {},
            messageText(Message::refusal, problem) + '\n' + messageText(Message::tryHelp) + '\n'};
}

} // namespace

CommandLine readCommandLine(std::span<char*> arguments, const Surroundings& surroundings) {
    opterr = 0; // the messages are made here
    restartGetopt();
    const int count = int(arguments.size());
    Reading reading;
    for (;;) {
        const int code =
            getopt_long(count, arguments.data(), shortOptions, longOptions.data(), nullptr);
        if (code == -1) break;
        if (code == 'h') return {Action::showHelp, {}, messageText(Message::usage)};
        if (std::ranges::find(reading.given, code) == reading.given.end())
            reading.given.push_back(code);
        if (code == recordsCode) {
            reading.records = true;
            continue;
        }
        if (code == 'V') return {Action::showVersion, {}, messageText(Message::version, version)};
        if (code == ':') return refusal(messageText(Message::needsValue, longNameOf(optopt)));
        if (code == '?') return refusal(refusedOption(arguments[std::size_t(optind - 1)]));
        if (code == 'f' || code == resumeCode) { // only the full screen saves its games
            reading.options.fullScreen = true;
            reading.options.resume = reading.options.resume || code == resumeCode;
            continue;
        }
        if (code == 'u' || code == dailyCode) { // the day's board has one answer too
            reading.options.answers = Answers::one;
            if (code == 'u') continue;
        }
        const std::string problem =
            takeOption(code, optarg == nullptr ? std::string_view() : optarg, reading);
        if (!problem.empty()) return refusal(problem);
    }
    if (optind < count) {
        return refusal(messageText(Message::unexpected, arguments[std::size_t(optind)]));
    }
    for (const std::string& problem :
         {conflictProblem(reading), combinationProblem(reading.options)}) {
        if (!problem.empty()) return refusal(problem);
    }
    reading.options.colours = coloursWanted(reading.colourWhen, surroundings);
    if (reading.records) return {Action::records, reading.options, ""};
    const bool solving = !reading.options.solveFile.empty();
    return {solving ? Action::solve : Action::play, reading.options, ""};
}

} // namespace pairpath
