// pairpath_steptable SIDE FILE: writes to FILE the C++ source of the sampler's steps for grids of
// SIDE, which the build compiles into the game. Built from the frontier code alone, so that only
// a change there works the table out again.

#include "pairpath/sampler/frontier.hpp"

#include <charconv>
#include <fstream>
#include <iostream>
#include <span>
#include <string_view>

namespace {

using namespace pairpath;

constexpr int valuesPerLine = 32;

void writeTied(std::ostream& out, const WorkedSteps& worked) {
    out << "constexpr std::array<std::uint8_t, " << worked.tied.size() << "> tied{\n";
    std::size_t first = 0;
    for (int column = 0; column < worked.table.side; ++column) {
        const std::uint32_t words = worked.table.words[std::size_t(column)];
        for (std::uint32_t word = 0; word < words; ++word) {
            const bool lineEnds = word % valuesPerLine == valuesPerLine - 1;
            out << int(worked.tied[first + word]) << (lineEnds ? ",\n" : ",");
        }
        out << '\n';
        first += words;
    }
    out << "};\n\n";
}

void writeSteps(std::ostream& out, const WorkedSteps& worked) {
    out << "constexpr std::array<Steps, " << worked.steps.size() << "> steps{{\n";
    for (const Steps& steps : worked.steps) {
        out << "{{{";
        for (const Step step : steps.step)
            out << '{' << step.bits << "},";
        out << "}}, " << steps.count << "},\n";
    }
    out << "}};\n\n";
}

// C++ source that defines builtSteps as the table of `side`.
void writeStepTable(std::ostream& out, int side) {
    const WorkedSteps worked = workOutSteps(side, 2);
    out << "// The sampler's steps for side " << side
        << ", written by pairpath_steptable when the game was built.\n\n"
           "#include \"pairpath/sampler/steptable.hpp\"\n\nnamespace pairpath {\nnamespace {\n\n";
    writeTied(out, worked);
    writeSteps(out, worked);
    out << "} // namespace\n\nconst StepTable builtSteps{" << side << ", {";
    for (int column = 0; column < side; ++column)
        out << worked.table.words[std::size_t(column)] << ',';
    out << "}, tied, steps};\n\n} // namespace pairpath\n";
}

} // namespace

int main(int argc, char* argv[]) {
    const std::span arguments(argv, std::size_t(argc));
    int side = 0;
    if (arguments.size() == 3) {
        const std::string_view text = arguments[1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), side);
        if (error != std::errc{} || end != text.data() + text.size()) side = 0;
    }
    if (side < 2 || side > maxSide) {
        std::cerr << "usage: pairpath_steptable SIDE FILE (SIDE from 2 to " << maxSide << ")\n";
        return 2;
    }
    std::ofstream out(arguments[2]);
    writeStepTable(out, side);
    out.close();
    return out ? 0 : 1;
}
