// Exact uniform draws from std::rand: whole numbers below any bound up to 2^128, with no bias,
// from the random bits that std::rand() gives, none of them wasted.
#pragma once

#include "pairpath/core/board.hpp"

#include <cstdint>

namespace pairpath {

// Random bits not used yet, so that a draw of a few bits does not cost a whole std::rand() call.
struct RandomBits {
    std::uint64_t held = 0;
    int count = 0;
};

// `wanted` (1 to 32) uniform random bits.
std::uint64_t takeBits(RandomBits& bits, int wanted);

// The number of bits `value` needs.
int bitWidth(CoverCount value);

// A uniform number from 0 to bound - 1.
CoverCount uniformBelow(RandomBits& bits, CoverCount bound);

} // namespace pairpath
