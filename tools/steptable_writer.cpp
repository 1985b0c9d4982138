// pairpath_steptable SIDE FILE: writes to FILE the C++ source of the sampler's steps for grids of
// SIDE, which the build compiles into the game.

#include "steptable.hpp"

#include <fstream>
#include <iostream>
#include <span>
#include <string>

int main(int argc, char* argv[]) {
    const std::span arguments(argv, std::size_t(argc));
    if (arguments.size() != 3) {
        std::cerr << "usage: pairpath_steptable SIDE FILE\n";
        return 2;
    }
    std::ofstream out(arguments[2]);
    pairpath::writeStepTable(out, std::stoi(arguments[1]));
    out.close();
    return out ? 0 : 1;
}
