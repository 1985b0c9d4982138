// Exact uniform draws from std::rand.

#include "pairpath/sampler/random_bits.hpp"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace pairpath {

namespace {

// std::rand() is uniform on 0 to RAND_MAX; below the largest power of two that fits, every bit is
// uniform, and values above it are drawn again.
constexpr int bitsPerRand = int(std::bit_width(unsigned{RAND_MAX} + 1U)) - 1;

// Numbers wider than this are put together from draws of this many bits.
constexpr int bitsPerPiece = 32;

} // namespace

std::uint64_t takeBits(RandomBits& bits, int wanted) {
    while (bits.count < wanted) {
        unsigned value = 0;
        do {
            value = unsigned(std::rand());
        } while (value >> bitsPerRand != 0);
        bits.held |= std::uint64_t{value} << bits.count;
        bits.count += bitsPerRand;
    }
    const std::uint64_t taken = bits.held & ((std::uint64_t{1} << wanted) - 1);
    bits.held >>= wanted;
    bits.count -= wanted;
    return taken;
}

int bitWidth(CoverCount value) {
    const auto high = std::uint64_t(value >> 64);
    return int(high != 0 ? 64 + std::bit_width(high) : std::bit_width(std::uint64_t(value)));
}

CoverCount uniformBelow(RandomBits& bits, CoverCount bound) {
    const int width = bitWidth(bound - 1);
    for (;;) {
        const int lowWidth = std::min(width, bitsPerPiece);
        CoverCount value = takeBits(bits, lowWidth);
        for (int at = lowWidth; at < width; at += bitsPerPiece) {
            value |= CoverCount{takeBits(bits, std::min(width - at, bitsPerPiece))} << at;
        }
        if (value < bound) return value;
    }
}

} // namespace pairpath
