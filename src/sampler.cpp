// Drawing solvable boards directly.
//
// For some choices of side and pair count only one random placement in 10^5 to 10^8 has a full
// cover, so drawing placements with createArray until one passes takes seconds, or for ever.
// This module gives the answer of that loop without the loop: every solvable placement comes
// out with the probability the loop gives it, that is the probability createArray draws it,
// renormalised over the solvable placements. (The only odds it does not copy are the tiny bias
// of std::rand() % side, which createArray has and this module has not.)
//
// A placement X is solvable exactly when its pairing E (which cells are paired, without pair
// numbers or directions) is the set of end pairs of some cover of the grid by P paths that share
// no cell. Let k(E) be the number of such covers, T the number of covers of the grid by P paths,
// and q(X) the probability that createArray draws X. One attempt:
//   1. Draw one of the T covers uniformly. Its end pairs are E with probability k(E) / T.
//   2. Reject it if some path's two ends are side by side: createArray never pairs such cells.
//   3. Number the paths and choose each one's start, uniformly: one of the P! 2^P placements X
//      of E, each with probability 1 / (P! 2^P).
//   4. Accept with probability q(X) / qmax, where qmax bounds q over every placement.
//   5. Accept with probability 1 / k(E).
// Any rejection starts a new attempt. An attempt thus returns X with probability
//   k(E) / T * 1 / (P! 2^P) * q(X) / qmax * 1 / k(E) = q(X) / (T P! 2^P qmax),
// which is proportional to q(X) on every solvable placement and zero elsewhere: the loop's odds.
//
// q(X): createArray places the endpoints in order, each start uniformly among the free cells and
// each target uniformly among the free cells not beside its own start. With N cells, pair i
// (from 1) finds F = N - 2i + 1 free cells when its target is drawn, f of them beside its start,
// so q(X) is a constant times the product of 1 / (F - f) over the pairs. Since f is at most 4
// (and F - f at least 1), qmax uses max(F - 4, 1) in place of F - f.
//
// Steps 1 and 5 count covers with a frontier: the cells are visited row by row, and the side + 1
// edges between visited and unvisited cells (the down edges of the last `side` cells visited and
// the right edge of the last one) form a frontier word. Each slot of the word says whether a path
// crosses that edge and how the crossing segments connect: both loose ends of one segment are an
// open and a close slot, matched like brackets (paths never cross, so they nest), and a segment
// whose other end is already a path's end is a tied slot. Filling one cell maps a word to at most
// three words. Those steps depend on the side alone; the 8 x 8 ones are compiled in
// (steptable.hpp).
//
// For step 1 the number of ways to finish the grid is kept for every cell, every word that can
// stand there and every number of finished paths that can still end with P: near the top only
// what can be reached from the empty grid, near the bottom only what the cells left have room
// for. The counts take as few bytes as each cell's largest needs (12 MB in all on an 8 x 8 grid
// with 9 pairs). A cover is then drawn cell by cell with one uniform number below T: at each
// cell it falls among the completions of one way to fill it, which is taken, and what is left of
// it is uniform among those completions. The cover is abandoned as soon as a path with its ends
// side by side is finished (step 2). On grids up to 5 x 5 the count leaves out paths of two
// cells, whose ends are always side by side: the covers drawn are then uniform among the rest,
// which changes nothing above, since step 2 rejects the others anyway.
//
// Step 5 counts with the ends held fixed and each tied slot labelled with its pair, so only
// segments of the same pair may meet. That count is the slow part of an attempt, so it is
// mostly skipped: if the cover drawn shows that k(E) is at least m, accepting with probability
// 1 / m and then m / k(E) accepts with 1 / k(E), and k(E) is counted only after the first.

#include "pairpath.hpp"
#include "steptable.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <type_traits>

namespace pairpath {

namespace {

// --- Exact uniform draws from std::rand ---

// std::rand() is uniform on 0 to RAND_MAX; below the largest power of two that fits, every bit is
// uniform, and values above it are drawn again.
constexpr int bitsPerRand = int(std::bit_width(unsigned{RAND_MAX} + 1U)) - 1;

// Random bits not used yet, so that a draw of a few bits does not cost a whole std::rand() call.
struct RandomBits {
    std::uint64_t held = 0;
    int count = 0;
};

std::uint64_t takeBits(RandomBits& bits, int wanted) {
    while (bits.count < wanted) {
        unsigned value = 0;
        do {
            value = unsigned(std::rand());
        } while (value >> bitsPerRand != 0);
        bits.held |= std::uint64_t{value} << bits.count;
        bits.count += bitsPerRand;
    }
    const std::uint64_t taken =
        wanted == 64 ? bits.held : bits.held & ((std::uint64_t{1} << wanted) - 1);
    bits.held = wanted == 64 ? 0 : bits.held >> wanted;
    bits.count -= wanted;
    return taken;
}

int bitWidth(CoverCount value) {
    const auto high = std::uint64_t(value >> 64);
    return int(high != 0 ? 64 + std::bit_width(high) : std::bit_width(std::uint64_t(value)));
}

// A uniform number from 0 to bound - 1.
CoverCount uniformBelow(RandomBits& bits, CoverCount bound) {
    const int width = bitWidth(bound - 1);
    for (;;) {
        const int lowWidth = std::min(width, 32);
        CoverCount value = takeBits(bits, lowWidth);
        for (int at = lowWidth; at < width; at += 32) {
            value |= CoverCount{takeBits(bits, std::min(width - at, 32))} << at;
        }
        if (value < bound) return value;
    }
}

// --- Frontier words ---

// Slot j of a word is bits 4j to 4j + 3. Before the cell in column c is filled, slot c is the edge
// from its left neighbour and slot c + 1 the edge from the cell above; the slots before c are the
// down edges of this row's filled cells, the slots after c + 1 those of the row above.
using Word = std::uint64_t;

constexpr int slotBits = 4;
constexpr int maxSlots = maxSide + 1;

// Slot values.
constexpr unsigned noEdge = 0;
constexpr unsigned openEnd = 1;  // a segment's loose end whose other loose end lies to the right
constexpr unsigned closeEnd = 2; // the matching loose end
constexpr unsigned tiedEnd = 3;  // a segment whose other end is a path's end
constexpr unsigned newEnd = 4;   // a segment that is just its end cell, where a path needs three
constexpr unsigned firstPairTag =
    5; // tiedEnd, for the segments of one pair where pairs are told apart

constexpr unsigned slotOf(Word word, int slot) {
    return unsigned(word >> (slotBits * slot)) & 0xFU;
}
constexpr Word withSlot(Word word, int slot, unsigned value) {
    const int shift = slotBits * slot;
    return (word & ~(Word{0xF} << shift)) | (Word{value} << shift);
}
constexpr bool isTied(unsigned value) { return value >= tiedEnd; }
// A new end's segment, once it grows by a cell, is an ordinary tied one.
constexpr unsigned grown(unsigned value) { return value == newEnd ? tiedEnd : value; }

// The slot of the other loose end of the segment that has a loose end at `slot`.
int partnerOf(Word word, int slot) {
    const int direction = slotOf(word, slot) == openEnd ? 1 : -1;
    int depth = 0;
    for (int at = slot;; at += direction) {
        const unsigned value = slotOf(word, at);
        if (value == openEnd) depth += direction;
        if (value == closeEnd) depth -= direction;
        if (depth == 0) return at;
    }
}

// What the cell being filled may be: a cell inside a path, and a path's end whose segment is
// tagged `endTag` (when not noEdge).
struct Role {
    bool inside = true;
    unsigned endTag = noEdge;
};

constexpr std::uint8_t downEdge = 1;
constexpr std::uint8_t rightEdge = 2;

struct Fill {
    Word next = 0;
    bool closesPath = false; // a path got its second end in this cell
    std::uint8_t edges = 0;  // the edges leaving the cell: downEdge, rightEdge
};

using Fills = std::array<Fill, 3>;

// Collects the ways to fill one cell.
struct Filler {
    Word word;
    int column;
    int side;
    Fills& fills;
    int count = 0;

    // After the last column the row is complete: its right edge would leave the grid, so it must
    // be empty, and the word moves on to the next row.
    void add(Word next, bool closesPath, std::uint8_t edges) {
        if (column + 1 == side) {
            if (slotOf(next, side) != noEdge) return;
            next = (next << slotBits) & ((Word{1} << (slotBits * (side + 1))) - 1);
        }
        fills[std::size_t(count++)] = {next, closesPath, edges};
    }
    Word cleared() const { return withSlot(withSlot(word, column, noEdge), column + 1, noEdge); }
    Word leaving(unsigned down, unsigned right) const {
        return withSlot(withSlot(word, column, down), column + 1, right);
    }
};

// A cell inside a path joins the segments on its left and above.
void join(Filler& filler, unsigned left, unsigned up) {
    const Word word = filler.word;
    const Word cleared = filler.cleared();
    const int column = filler.column;
    if (isTied(left) && isTied(up)) {
        if (left == up) filler.add(cleared, true, 0);
    } else if (isTied(left)) {
        filler.add(withSlot(cleared, partnerOf(word, column + 1), left), false, 0);
    } else if (isTied(up)) {
        filler.add(withSlot(cleared, partnerOf(word, column), up), false, 0);
    } else if (left == openEnd && up == openEnd) {
        filler.add(withSlot(cleared, partnerOf(word, column + 1), openEnd), false, 0);
    } else if (left == closeEnd && up == closeEnd) {
        filler.add(withSlot(cleared, partnerOf(word, column), closeEnd), false, 0);
    } else if (left == closeEnd && up == openEnd) {
        filler.add(cleared, false, 0);
    }
    // An open slot then a close slot are the two loose ends of one segment: joining them would
    // close a loop.
}

// A path's end takes in the one segment that reaches it.
void finish(Filler& filler, unsigned through, int from, unsigned tag) {
    if (!isTied(through)) {
        filler.add(withSlot(filler.cleared(), partnerOf(filler.word, from), tag), false, 0);
    } else if (through != newEnd && through == tag) {
        filler.add(filler.cleared(), true, 0);
    }
}

// Every way to fill the cell in `column` of a grid of `side` columns, given the frontier word
// before it; returns how many there are.
int fillsOf(Word word, int column, int side, Role role, Fills& fills) {
    Filler filler{word, column, side, fills};
    const unsigned left = slotOf(word, column);
    const unsigned up = slotOf(word, column + 1);
    const bool canGoRight = column + 1 < side;
    const bool canEnd = role.endTag != noEdge;
    if (left == noEdge && up == noEdge) {
        if (role.inside && canGoRight) {
            filler.add(filler.leaving(openEnd, closeEnd), false, downEdge | rightEdge);
        }
        if (canEnd) filler.add(filler.leaving(role.endTag, noEdge), false, downEdge);
        if (canEnd && canGoRight) filler.add(filler.leaving(noEdge, role.endTag), false, rightEdge);
    } else if (left == noEdge || up == noEdge) {
        const unsigned through = left | up;
        if (role.inside) {
            filler.add(filler.leaving(grown(through), noEdge), false, downEdge);
            if (canGoRight) filler.add(filler.leaving(noEdge, grown(through)), false, rightEdge);
        }
        if (canEnd)
            finish(filler, through, left != noEdge ? column : column + 1, grown(role.endTag));
    } else if (role.inside) {
        join(filler, grown(left), grown(up));
    }
    return filler.count;
}

// --- Numbering the words of a side ---

constexpr int depthStep(unsigned value) {
    return value == openEnd ? 1 : value == closeEnd ? -1 : 0;
}

// Every frontier word of a side without pair labels, numbered in lexicographic order of their
// slots (slot 0 first), which makes the empty word number 0.
struct WordIndex {
    static constexpr int slotsPerByte = 8 / slotBits;
    static constexpr std::size_t depths = maxSlots + 1;
    int slots = 0;
    unsigned values = 0; // slot values in use: up to tiedEnd, or up to newEnd
    std::vector<Word> words;
    // For each byte of a word (two slots), each depth before it (how many more open slots than
    // close slots come before) and each value of the byte: how many words agree with the word
    // before the byte and hold a smaller value there (low 24 bits), and the depth after the byte
    // (high 8 bits). 0 where no word holds the byte.
    std::vector<std::uint32_t> beforeByte;

    int bytes() const { return (slots + slotsPerByte - 1) / slotsPerByte; }
    static std::size_t entry(int byte, std::size_t depth, std::size_t value) {
        return (std::size_t(byte) * depths + depth) * 256 + value;
    }

    std::uint32_t numberOf(Word word) const {
        std::uint32_t number = 0;
        std::size_t depth = 0;
        for (int byte = 0; byte < bytes(); ++byte) {
            const auto value = std::size_t(word >> (8 * byte) & 0xFFU);
            const std::uint32_t found = beforeByte[entry(byte, depth, value)];
            number += found & 0xFFFFFFU;
            depth = found >> 24;
        }
        return number;
    }
};

void listWords(WordIndex& index, int slot, int depth, Word word) {
    if (slot == index.slots) {
        index.words.push_back(word);
        return;
    }
    for (unsigned value = 0; value < index.values; ++value) {
        const int next = depth + depthStep(value);
        if (next >= 0 && next <= index.slots - slot - 1)
            listWords(index, slot + 1, next, withSlot(word, slot, value));
    }
}

WordIndex indexWords(int side, unsigned values) {
    WordIndex index;
    index.slots = side + 1;
    index.values = values;
    // endings[left][depth]: ways to fill `left` slots from `depth` back to depth 0.
    std::array<std::array<std::uint32_t, maxSlots + 2>, maxSlots + 1> endings{};
    endings[0][0] = 1;
    for (int left = 1; left <= index.slots; ++left) {
        for (int depth = 0; depth <= index.slots; ++depth) {
            for (unsigned value = 0; value < values; ++value) {
                const int next = depth + depthStep(value);
                if (next >= 0 && next <= index.slots)
                    endings[std::size_t(left)][std::size_t(depth)] +=
                        endings[std::size_t(left - 1)][std::size_t(next)];
            }
        }
    }
    // before[slot][depth][value]: the words that agree with a word before `slot`, where the depth
    // is `depth`, and hold a smaller value at `slot`.
    std::array<std::array<std::array<std::uint32_t, newEnd + 1>, WordIndex::depths>, maxSlots>
        before{};
    for (int slot = 0; slot < index.slots; ++slot) {
        for (int depth = 0; depth <= index.slots; ++depth) {
            std::uint32_t smaller = 0;
            for (unsigned value = 0; value < values; ++value) {
                before[std::size_t(slot)][std::size_t(depth)][value] = smaller;
                const int next = depth + depthStep(value);
                if (next >= 0 && next <= index.slots)
                    smaller += endings[std::size_t(index.slots - slot - 1)][std::size_t(next)];
            }
        }
    }
    index.beforeByte.assign(std::size_t(index.bytes()) * WordIndex::depths * 256, 0);
    for (int byte = 0; byte < index.bytes(); ++byte) {
        for (std::size_t depth = 0; depth < WordIndex::depths; ++depth) {
            for (unsigned value = 0; value < 256; ++value) {
                std::uint32_t smaller = 0;
                int after = int(depth);
                for (int half = 0; half < WordIndex::slotsPerByte && after >= 0; ++half) {
                    const int slot = byte * WordIndex::slotsPerByte + half;
                    const unsigned part = value >> (slotBits * half) & 0xFU;
                    if (slot < index.slots && part < values && after <= index.slots) {
                        smaller += before[std::size_t(slot)][std::size_t(after)][part];
                        after += depthStep(part);
                    } else if (part != 0 || slot < index.slots) {
                        after = -1; // no word holds this byte
                    }
                }
                if (after >= 0 && after <= index.slots)
                    index.beforeByte[WordIndex::entry(byte, depth, value)] =
                        smaller | std::uint32_t(after) << 24;
            }
        }
    }
    index.words.reserve(endings[std::size_t(index.slots)][0]);
    listWords(index, 0, 0, 0);
    return index;
}

// --- Counting the covers of the grid ---

// The words that can stand before a cell of one column, numbered from 0 in word order (so the
// empty word is 0), and the ways to fill the cell from each: in the arena, or compiled in.
struct Column {
    std::uint32_t words = 0;
    const std::uint8_t* tied = nullptr; // tied slots of each word
    const Steps* steps = nullptr;       // of each word
};

// Before column 0 nothing comes in from the left. Before another column, the cell on the left
// that sent a path both down and right had no other edge: it began a segment whose two loose ends
// are those two slots.
bool standsBefore(Word word, int column) {
    if (column == 0) return slotOf(word, 0) == noEdge;
    const unsigned down = slotOf(word, column - 1);
    const unsigned right = slotOf(word, column);
    return down == noEdge || right == noEdge || (down == openEnd && right == closeEnd);
}

constexpr std::uint32_t notInColumn = ~std::uint32_t{0};

// Where one word's counts lie in its layer, in 32 bits: the index of its first count
// (24 bits), the finished paths of that count (4 bits) and how many counts it has (4 bits; 0 when
// none).
struct Span {
    std::uint32_t bits = 0;

    static Span of(std::size_t first, int lowest, int size) {
        return {std::uint32_t(first) | std::uint32_t(lowest) << 24 | std::uint32_t(size) << 28};
    }
    std::size_t first() const { return bits & 0xFFFFFFU; }
    int lowest() const { return int(bits >> 24 & 0xFU); }
    int size() const { return int(bits >> 28); }
};

// Memory handed out in large blocks, so that building the counts seldom asks the system for more
// and touches only the pages it uses. The blocks are whole huge pages, and where the system has
// huge pages it is asked to back them so: a build then takes a few hundred page faults rather
// than thousands, and its scattered reads miss the address cache less often.
struct Arena {
    static constexpr std::size_t hugePage = std::size_t{2} << 20;
    static constexpr std::size_t blockSize = 2 * hugePage;
    struct Release {
        void operator()(std::uint8_t* block) const {
            ::operator delete (block, std::align_val_t{hugePage});
        }
    };
    // Left as they are until written: a page is touched only when a count lands on it.
    std::vector<std::unique_ptr<std::uint8_t, Release>> blocks;
    std::uint8_t* free = nullptr;
    std::size_t left = 0;

    // `bytes` bytes at a multiple of `alignment` (at most a huge page) from the block's start.
    std::uint8_t* take(std::size_t bytes, std::size_t alignment = 1) {
        const std::size_t skip = left % alignment; // blocks are whole huge pages
        if (bytes + skip <= left) {
            free += skip;
            left -= skip;
        } else {
            left = (std::max(bytes, blockSize) + hugePage - 1) / hugePage * hugePage;
            std::unique_ptr<std::uint8_t, Release> block(
                static_cast<std::uint8_t*>(::operator new (left, std::align_val_t{hugePage})));
#ifdef MADV_HUGEPAGE
            madvise(block.get(), left, MADV_HUGEPAGE); // only advice: without it pages are small
#endif
            free = block.get();
            blocks.push_back(std::move(block));
        }
        std::uint8_t* taken = free;
        free += bytes;
        left -= bytes;
        return taken;
    }

    // Everything taken from `from` on, which must lie in the last block, is free again.
    void giveBack(std::uint8_t* from) {
        left += std::size_t(free - from);
        free = from;
    }

    // `count` records, each set to T{}.
    template <typename T> T* make(std::size_t count) {
        auto* records = static_cast<T*>(static_cast<void*>(take(count * sizeof(T), alignof(T))));
        std::uninitialized_value_construct_n(records, count);
        return records;
    }
};

// The counts of a layer, in the order of the words, each in as few bytes as the layer's largest
// count needs: counts near the bottom of the grid are small, and the fewer bytes the counts take,
// the fewer pages the build has to touch.
struct Counts {
    std::uint8_t* bytes = nullptr;
    int width = 0;          // bytes per count: 1 to 8, or 16
    std::uint64_t mask = 0; // of the low 64 bits of a count
    int largest = 0;        // bit width of the largest count

    // Room for `counts` counts of `bytesEach` bytes; the last one is read and written 8 bytes at
    // a time too.
    void make(Arena& arena, std::size_t counts, int bytesEach) {
        width = bytesEach;
        mask = width >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << 8 * width) - 1;
        bytes = arena.take(counts * std::size_t(width) + 8);
    }
    // Gives back the room after the first `counts` counts, when it was the arena's last taken.
    void keepFirst(Arena& arena, std::size_t counts) const {
        arena.giveBack(bytes + counts * std::size_t(width) + 8);
    }
    // Written in order: the bytes above a count's width are zero, and the next count overwrites
    // them.
    void put(std::size_t index, std::uint64_t value) const {
        std::memcpy(bytes + index * std::size_t(width), &value, sizeof value);
    }
    void put(std::size_t index, CoverCount value) const {
        put(index, std::uint64_t(value));
        if (width != 16) return;
        const auto high = std::uint64_t(value >> 64);
        std::memcpy(bytes + index * std::size_t(width) + 8, &high, sizeof high);
    }
    std::uint64_t low(std::size_t index) const {
        std::uint64_t value = 0;
        std::memcpy(&value, bytes + index * std::size_t(width), sizeof value);
        return value & mask;
    }
    CoverCount count(std::size_t index) const {
        if (width != 16) return low(index);
        std::uint64_t high = 0;
        std::memcpy(&high, bytes + index * std::size_t(width) + 8, sizeof high);
        return CoverCount{high} << 64 | low(index);
    }
};

// The completions of one cell boundary: for each word there and each number of finished paths
// it can be met with on the way to a cover, the number of ways to fill the rest of the grid with
// exactly the wanted number of paths. A word's counts run from its least such number of finished
// paths to its greatest.
struct Layer {
    Span* spans = nullptr; // per word of the column
    Counts counts;

    CoverCount completions(std::uint32_t word, int finished) const {
        const Span span = spans[word];
        const int at = finished - span.lowest();
        if (at < 0 || at >= span.size()) return 0;
        return counts.count(span.first() + std::size_t(at));
    }
};

struct CoverCounts {
    int side = 0;
    int paths = 0;
    int shortest = 2; // cells of the shortest path allowed: 2, or 3
    std::vector<Column> columns;
    std::vector<Layer> layers; // layer i: before cell i; layer side * side: the grid is full
    Span* spans = nullptr;     // of every layer, in the arena
    Arena arena;               // the steps, the spans and the counts

    const Steps& stepsOf(int column, std::uint32_t word) const {
        return columns[std::size_t(column)].steps[word];
    }
    CoverCount total() const { return layers.front().completions(0, 0); }
};

// Works out the words and steps of every column into the arena.
void workOutColumns(CoverCounts& counts) {
    const int side = counts.side;
    const WordIndex index = indexWords(side, counts.shortest == 2 ? tiedEnd + 1 : newEnd + 1);
    // Each column's words, and each word's number in each column (or notInColumn).
    std::vector<std::vector<Word>> words(static_cast<std::size_t>(side));
    std::vector<std::vector<std::uint32_t>> numbers(static_cast<std::size_t>(side));
    for (int at = 0; at < side; ++at) {
        auto& listed = words[std::size_t(at)];
        auto& number = numbers[std::size_t(at)];
        number.assign(index.words.size(), notInColumn);
        listed.reserve(index.words.size());
        for (std::size_t word = 0; word < index.words.size(); ++word) {
            if (!standsBefore(index.words[word], at)) continue;
            number[word] = std::uint32_t(listed.size());
            listed.push_back(index.words[word]);
        }
    }
    counts.columns.resize(std::size_t(side));
    const unsigned endTag = counts.shortest == 2 ? tiedEnd : newEnd;
    Fills fills;
    for (int at = 0; at < side; ++at) {
        const auto& listed = words[std::size_t(at)];
        const auto& nextNumbers = numbers[std::size_t((at + 1) % side)];
        auto* tied = counts.arena.make<std::uint8_t>(listed.size());
        auto* steps = counts.arena.make<Steps>(listed.size());
        for (std::size_t word = 0; word < listed.size(); ++word) {
            for (int slot = 0; slot < index.slots; ++slot)
                tied[word] =
                    std::uint8_t(tied[word] + (isTied(slotOf(listed[word], slot)) ? 1 : 0));
            Steps& out = steps[word];
            out.count = fillsOf(listed[word], at, side, Role{true, endTag}, fills);
            for (int i = 0; i < out.count; ++i) {
                const Fill& fill = fills[std::size_t(i)];
                out.step[std::size_t(i)] =
                    Step::of(nextNumbers[index.numberOf(fill.next)], fill.closesPath, fill.edges);
            }
        }
        counts.columns[std::size_t(at)] = {std::uint32_t(listed.size()), tied, steps};
    }
}

// Takes the words and steps of every column from a table compiled in.
void takeColumns(CoverCounts& counts, const StepTable& table) {
    counts.columns.resize(std::size_t(table.side));
    std::size_t first = 0;
    for (std::size_t at = 0; at < counts.columns.size(); ++at) {
        counts.columns[at] = {table.words[at], table.tied.data() + first,
                              table.steps.data() + first};
        first += table.words[at];
    }
}

using Lanes = std::uint16_t; // bit f: met with f finished paths

// The numbers of finished paths that can still end with `paths`, for a word with a given number
// of tied slots, when `cellsLeft` cells are left to fill. Every unfinished path needs two ends:
// each tied slot leads to one already placed, and each cell left can be one more. Two tied slots
// can at best belong to the same path.
using Room = std::array<Lanes, maxSlots + 1>;

Room roomLeft(int paths, int cellsLeft) {
    Room room{};
    for (int tied = 0; tied <= maxSlots; ++tied) {
        const int most = paths - (tied + 1) / 2;
        for (int finished = std::max(0, paths - (cellsLeft + tied) / 2); finished <= most;
             ++finished)
            room[std::size_t(tied)] |= Lanes(1U << finished);
    }
    return room;
}

// Which words, with which numbers of finished paths, can be met before each cell up to `last` on
// the way to a cover, as far as reaching them from the empty grid and the room left tell.
std::vector<std::vector<Lanes>> reachable(const CoverCounts& counts, int last) {
    const int side = counts.side;
    const int cells = side * side;
    std::vector<std::vector<Lanes>> reach(static_cast<std::size_t>(last));
    for (int cell = 0; cell < last; ++cell)
        reach[std::size_t(cell)].assign(counts.columns[std::size_t(cell % side)].words, 0);
    reach[0][0] = 1;
    for (int cell = 0; cell + 1 < last; ++cell) {
        const auto& here = reach[std::size_t(cell)];
        auto& next = reach[std::size_t(cell + 1)];
        const Column& column = counts.columns[std::size_t(cell % side)];
        const Column& nextColumn = counts.columns[std::size_t((cell + 1) % side)];
        const Room room = roomLeft(counts.paths, cells - cell - 1);
        for (std::size_t word = 0; word < here.size(); ++word) {
            if (here[word] == 0) continue;
            const Steps& steps = column.steps[word];
            for (int i = 0; i < steps.count; ++i) {
                const Step step = steps.step[std::size_t(i)];
                next[step.next()] |=
                    Lanes((here[word] << step.closes()) & room[nextColumn.tied[step.next()]]);
            }
        }
    }
    return reach;
}

Lanes lanesOf(Span span) { return Lanes(((1U << span.size()) - 1) << span.lowest()); }

// Works out the layer before `cell` from the layer after it, adding up in `Sum`, for the numbers
// of finished paths in `lanes`. A word's counts are kept for those that have completions.
template <typename Sum>
void sumLayer(CoverCounts& counts, int cell, const std::vector<Lanes>& lanes) {
    Layer& layer = counts.layers[std::size_t(cell)];
    const Layer& after = counts.layers[std::size_t(cell + 1)];
    const Column& column = counts.columns[std::size_t(cell % counts.side)];
    std::size_t room = 0;
    for (const Lanes some : lanes)
        room += std::size_t(std::bit_width(some));
    // Three counts below 2^b add up to less than 2^(b + 2).
    const int bits = after.counts.largest + 2;
    layer.counts.make(counts.arena, room, bits > 64 ? 16 : (bits + 7) / 8);
    std::size_t used = 0;
    Sum seen = 0; // every count, or-ed
    for (std::uint32_t word = 0; word < lanes.size(); ++word) {
        layer.spans[word] = Span{};
        if (lanes[word] == 0) continue;
        const Steps& steps = column.steps[word];
        std::array<Span, 3> next{};
        unsigned live = 0;
        for (int i = 0; i < steps.count; ++i) {
            const Step step = steps.step[std::size_t(i)];
            next[std::size_t(i)] = after.spans[step.next()];
            live |= unsigned(lanesOf(next[std::size_t(i)])) >> step.closes();
        }
        live &= lanes[word];
        if (live == 0) continue;
        const int lowest = std::countr_zero(live);
        const int size = int(std::bit_width(live)) - lowest;
        layer.spans[word] = Span::of(used, lowest, size);
        // Lane l here continues as lane l + closes there, and is the sum over the ways.
        std::array<std::ptrdiff_t, 3> shift{}; // from a lane here to its count there
        std::array<int, 3> from{};
        std::array<int, 3> to{};
        for (int i = 0; i < steps.count; ++i) {
            const Span span = next[std::size_t(i)];
            const int offset = lowest + steps.step[std::size_t(i)].closes() - span.lowest();
            shift[std::size_t(i)] = std::ptrdiff_t(span.first()) + offset;
            from[std::size_t(i)] = std::max(0, -offset);
            to[std::size_t(i)] = std::min(size, span.size() - offset);
        }
        for (int lane = 0; lane < size; ++lane) {
            Sum sum = 0;
            for (std::size_t i = 0; i < std::size_t(steps.count); ++i) {
                if (lane < from[i] || lane >= to[i]) continue;
                const auto at = std::size_t(shift[i] + lane);
                if constexpr (std::is_same_v<Sum, std::uint64_t>) {
                    sum += after.counts.low(at);
                } else {
                    sum += after.counts.count(at);
                }
            }
            layer.counts.put(used++, sum);
            seen |= sum;
        }
    }
    layer.counts.keepFirst(counts.arena, used);
    layer.counts.largest = bitWidth(seen);
}

void countLayer(CoverCounts& counts, int cell, const std::vector<Lanes>& lanes) {
    if (counts.layers[std::size_t(cell + 1)].counts.largest + 2 <= 64) {
        sumLayer<std::uint64_t>(counts, cell, lanes);
    } else {
        sumLayer<CoverCount>(counts, cell, lanes);
    }
}

// Works out the steps of every column and the completions of every layer. Below `reached` the
// room left leaves about as few words and numbers of finished paths to count as what can be
// reached from the empty grid; above it far fewer can be reached than have room, and only those
// are counted.
CoverCounts countCovers(int side, int paths, int shortest) {
    CoverCounts counts;
    counts.side = side;
    counts.paths = paths;
    counts.shortest = shortest;
    if (side == builtSteps.side && shortest == 2) {
        takeColumns(counts, builtSteps);
    } else {
        workOutColumns(counts);
    }
    const int cells = side * side;
    counts.layers.resize(std::size_t(cells + 1));
    std::size_t words = 0;
    for (int cell = 0; cell <= cells; ++cell)
        words += counts.columns[std::size_t(cell % side)].words;
    counts.spans = counts.arena.make<Span>(words);
    words = 0;
    for (int cell = 0; cell <= cells; ++cell) {
        counts.layers[std::size_t(cell)].spans = counts.spans + words;
        words += counts.columns[std::size_t(cell % side)].words;
    }
    // Once every cell is filled, only the empty word with every path finished counts.
    Layer& full = counts.layers[std::size_t(cells)];
    full.spans[0] = Span::of(0, paths, 1);
    full.counts.make(counts.arena, 1, 1);
    full.counts.put(0, std::uint64_t{1});
    full.counts.largest = 1;

    const int reached = cells / 2;
    std::vector<Lanes> lanes;
    for (int cell = cells - 1; cell >= reached; --cell) {
        const Column& column = counts.columns[std::size_t(cell % side)];
        const Room room = roomLeft(paths, cells - cell);
        lanes.resize(column.words);
        for (std::size_t word = 0; word < lanes.size(); ++word)
            lanes[word] = room[column.tied[word]];
        countLayer(counts, cell, lanes);
    }
    const auto reach = reachable(counts, reached);
    for (int cell = reached - 1; cell >= 0; --cell)
        countLayer(counts, cell, reach[std::size_t(cell)]);
    return counts;
}

// The counts of the last choice drawn for, kept: a new puzzle of the same choice starts at once.
const CoverCounts& coverCountsFor(int side, int paths, int shortest) {
    static std::unique_ptr<CoverCounts> kept;
    if (!kept || kept->side != side || kept->paths != paths || kept->shortest != shortest) {
        kept.reset();
        kept = std::make_unique<CoverCounts>(countCovers(side, paths, shortest));
    }
    return *kept;
}

// --- Drawing a cover ---

// Cells in this module are numbered row * side + column.
struct EndPair {
    int first = 0;
    int second = 0;
};

bool besideEachOther(int first, int second, int side) {
    const int apart = std::abs(first - second);
    return apart == side || (apart == 1 && first / side == second / side);
}

// The paths of a cover as it is drawn, cell by cell: for the cell at each end of a segment, the
// cell at its other end.
struct Segments {
    std::array<std::uint8_t, gridCells> otherEnd{};
    std::array<bool, gridCells> isPathEnd{};
    std::vector<EndPair> finished;
    bool endsSideBySide = false;

    void finish(int first, int second, int side) {
        finished.push_back({first, second});
        endsSideBySide = endsSideBySide || besideEachOther(first, second, side);
    }
    void link(int first, int second) {
        otherEnd[std::size_t(first)] = std::uint8_t(second);
        otherEnd[std::size_t(second)] = std::uint8_t(first);
    }

    // Adds `cell`, entered from the cells in `from` (none, one or two) and leaving by `leaving`
    // edges.
    void add(int cell, std::array<int, 2> from, int entered, int leaving, int side) {
        isPathEnd[std::size_t(cell)] = entered + leaving == 1;
        if (entered == 0) {
            link(cell, cell);
            return;
        }
        const int far = otherEnd[std::size_t(from[0])];
        if (entered == 2) {
            const int otherFar = otherEnd[std::size_t(from[1])];
            if (isPathEnd[std::size_t(far)] && isPathEnd[std::size_t(otherFar)]) {
                finish(far, otherFar, side);
            } else {
                link(far, otherFar);
            }
        } else if (leaving == 0 && isPathEnd[std::size_t(far)]) {
            finish(far, cell, side);
        } else {
            link(far, cell);
        }
    }
};

// A cover as drawn: the edges leaving each cell, and the end pairs of its paths.
struct DrawnCover {
    std::array<std::uint8_t, gridCells> edges{}; // downEdge and rightEdge bits
    std::vector<EndPair> pairs;
};

// A cover drawn uniformly among all covers; empty as soon as a path turns out to have its ends
// side by side. One number below the count of all covers picks it: ranking the covers by their
// choice at each cell in turn, the number falls among the covers of one choice, and what is left
// of it is uniform among those, so it goes on to pick the choice at the next cell.
std::optional<DrawnCover> drawCover(const CoverCounts& counts, RandomBits& bits) {
    const int side = counts.side;
    DrawnCover cover;
    auto& edges = cover.edges;
    Segments segments;
    std::uint32_t word = 0;
    int finished = 0;
    CoverCount pick = uniformBelow(bits, counts.total());
    for (int cell = 0; cell < side * side; ++cell) {
        const Steps& steps = counts.stepsOf(cell % side, word);
        const Layer& next = counts.layers[std::size_t(cell + 1)];
        int chosen = 0;
        for (;; ++chosen) {
            const Step step = steps.step[std::size_t(chosen)];
            const CoverCount onward = next.completions(step.next(), finished + step.closes());
            if (pick < onward) break;
            pick -= onward;
        }
        const Step step = steps.step[std::size_t(chosen)];
        edges[std::size_t(cell)] = step.edges();
        word = step.next();
        finished += step.closes();

        std::array<int, 2> from{};
        int entered = 0;
        if (cell % side > 0 && (edges[std::size_t(cell - 1)] & rightEdge) != 0)
            from[std::size_t(entered++)] = cell - 1;
        if (cell >= side && (edges[std::size_t(cell - side)] & downEdge) != 0)
            from[std::size_t(entered++)] = cell - side;
        segments.add(cell, from, entered, std::popcount(unsigned(step.edges())), side);
        if (segments.endsSideBySide) return std::nullopt;
    }
    cover.pairs = std::move(segments.finished);
    return cover;
}

// At least how many other covers have the same end pairs as this one: where a path turns round
// a 2 x 2 square (it visits the square's four cells one after another) and another path runs
// along the far side of the turn's two middle cells, that other path can take those two cells
// in, and the first go straight across. Each such turn gives a different cover.
int otherCoversAtLeast(const DrawnCover& cover, int side) {
    const int cells = side * side;
    const auto linked = [&](int cell) {
        std::array<int, 2> next{-1, -1};
        int count = 0;
        const auto edges = [&](int at) { return cover.edges[std::size_t(at)]; };
        if ((edges(cell) & rightEdge) != 0) next[std::size_t(count++)] = cell + 1;
        if ((edges(cell) & downEdge) != 0) next[std::size_t(count++)] = cell + side;
        if (cell % side > 0 && (edges(cell - 1) & rightEdge) != 0)
            next[std::size_t(count++)] = cell - 1;
        if (cell >= side && (edges(cell - side) & downEdge) != 0)
            next[std::size_t(count++)] = cell - side;
        return next;
    };
    // Each cell's path, and its place along it.
    std::array<int, gridCells> pathOf{};
    std::array<int, gridCells> place{};
    for (std::size_t path = 0; path < cover.pairs.size(); ++path) {
        int previous = -1;
        for (int cell = cover.pairs[path].first, at = 0; cell != -1; ++at) {
            pathOf[std::size_t(cell)] = int(path);
            place[std::size_t(cell)] = at;
            const auto next = linked(cell);
            const int onward = next[0] != previous ? next[0] : next[1];
            previous = cell;
            cell = onward;
        }
    }
    const auto follows = [&](int cell, int after) {
        return pathOf[std::size_t(cell)] == pathOf[std::size_t(after)] &&
               place[std::size_t(after)] == place[std::size_t(cell)] + 1;
    };
    const auto onGrid = [&](int from, int to) {
        return to >= 0 && to < cells && (to / side == from / side || to % side == from % side);
    };
    int count = 0;
    for (int first = 0; first < cells; ++first) {
        for (const int second : linked(first)) {
            if (second < 0 || !follows(first, second)) continue;
            const int out = second - first; // from the turn's side to its far side
            for (const int third : linked(second)) {
                const int last = first + (third - second);
                if (third < 0 || !follows(second, third) || !onGrid(first, last) ||
                    !follows(third, last))
                    continue;
                const int beyondSecond = second + out;
                const int beyondThird = third + out;
                if (onGrid(second, beyondSecond) && onGrid(third, beyondThird) &&
                    pathOf[std::size_t(beyondSecond)] != pathOf[std::size_t(second)] &&
                    (follows(beyondSecond, beyondThird) || follows(beyondThird, beyondSecond)))
                    ++count;
            }
        }
    }
    return count;
}

// --- Covers with fixed ends ---

// Ways to reach each word, summed as they come in, in an open-addressing table.
struct WaysByWord {
    struct Entry {
        Word word;
        CoverCount ways;
    };
    std::vector<Entry> entries;
    std::vector<std::uint32_t> slots = std::vector<std::uint32_t>(256, 0); // entry + 1, or 0
    std::vector<std::size_t> used;

    static std::size_t hash(Word word) { return std::size_t((word * 0x9E3779B97F4A7C15ULL) >> 32); }

    void clear() {
        for (const std::size_t slot : used)
            slots[slot] = 0;
        used.clear();
        entries.clear();
    }

    void add(Word word, CoverCount ways) {
        if (2 * (entries.size() + 1) > slots.size()) grow();
        const std::size_t mask = slots.size() - 1;
        for (std::size_t slot = hash(word) & mask;; slot = (slot + 1) & mask) {
            if (slots[slot] == 0) {
                entries.push_back({word, ways});
                slots[slot] = std::uint32_t(entries.size());
                used.push_back(slot);
                return;
            }
            Entry& entry = entries[slots[slot] - 1];
            if (entry.word == word) {
                entry.ways += ways;
                return;
            }
        }
    }

    void grow() {
        std::vector<Entry> kept = std::move(entries);
        slots.assign(slots.size() * 2, 0);
        used.clear();
        entries.clear();
        for (const Entry& entry : kept)
            add(entry.word, entry.ways);
    }
};

// The number of covers whose paths join exactly the given end pairs.
CoverCount coversJoining(const std::vector<EndPair>& pairs, int side) {
    std::array<unsigned, gridCells> tagOf{};
    for (std::size_t pair = 0; pair < pairs.size(); ++pair) {
        tagOf[std::size_t(pairs[pair].first)] = firstPairTag + unsigned(pair);
        tagOf[std::size_t(pairs[pair].second)] = firstPairTag + unsigned(pair);
    }
    WaysByWord here;
    WaysByWord next;
    here.add(0, 1);
    Fills fills;
    for (int cell = 0; cell < side * side; ++cell) {
        const unsigned tag = tagOf[std::size_t(cell)];
        next.clear();
        for (const auto& [word, ways] : here.entries) {
            const int count = fillsOf(word, cell % side, side, Role{tag == noEdge, tag}, fills);
            for (int i = 0; i < count; ++i)
                next.add(fills[std::size_t(i)].next, ways);
        }
        std::swap(here, next);
    }
    // Words left with edges below the last row stand for no cover.
    for (const auto& [word, ways] : here.entries) {
        if (word == 0) return ways;
    }
    return 0;
}

// --- From a pairing to a placement ---

struct Placement {
    std::vector<EndPair> pairs; // in pair order; first is the start endpoint
};

Placement numberAndOrient(std::vector<EndPair> pairs, RandomBits& bits) {
    for (std::size_t i = pairs.size() - 1; i > 0; --i) {
        std::swap(pairs[i], pairs[std::size_t(uniformBelow(bits, i + 1))]);
    }
    for (EndPair& pair : pairs) {
        if (takeBits(bits, 1) != 0) std::swap(pair.first, pair.second);
    }
    return {pairs};
}

int freeNeighbours(int cell, int side, std::uint64_t taken) {
    const int row = cell / side;
    const int column = cell % side;
    int count = 0;
    count += row > 0 && (taken >> (cell - side) & 1U) == 0 ? 1 : 0;
    count += row + 1 < side && (taken >> (cell + side) & 1U) == 0 ? 1 : 0;
    count += column > 0 && (taken >> (cell - 1) & 1U) == 0 ? 1 : 0;
    count += column + 1 < side && (taken >> (cell + 1) & 1U) == 0 ? 1 : 0;
    return count;
}

// Accepts with probability q(X) / qmax (see the opening comment).
bool acceptOdds(const Placement& placement, int side, RandomBits& bits) {
    const int cells = side * side;
    std::uint64_t taken = 0;
    std::uint64_t accept = 1;
    std::uint64_t outOf = 1;
    for (std::size_t i = 0; i < placement.pairs.size(); ++i) {
        const EndPair& pair = placement.pairs[i];
        const int freeCells = cells - 2 * int(i) - 1;
        accept *= std::uint64_t(std::max(freeCells - 4, 1));
        outOf *= std::uint64_t(freeCells - freeNeighbours(pair.first, side, taken));
        taken |= std::uint64_t{1} << pair.first | std::uint64_t{1} << pair.second;
    }
    return uniformBelow(bits, outOf) < accept;
}

Board boardOf(const Placement& placement, int side) {
    Board board;
    board.size = side;
    board.count = 2 * int(placement.pairs.size());
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column)
            board.grid[std::size_t(row * gridStride + column)] = emptyCell;
    }
    for (std::size_t i = 0; i < placement.pairs.size(); ++i) {
        const int pair = int(i) + 1;
        const EndPair& ends = placement.pairs[i];
        for (const int cell : {ends.first, ends.second}) {
            const int code = cellCode(cell / side, cell % side);
            board.grid[std::size_t(gridIndex(code))] = digitOf(pair);
        }
        board.endpoints[2 * i] = cellCode(ends.first / side, ends.first % side);
        board.endpoints[2 * i + 1] = cellCode(ends.second / side, ends.second % side);
    }
    return board;
}

} // namespace

CoverCount countCovers(int size, int paths, int shortest) {
    return coverCountsFor(size, paths, shortest).total();
}

void writeStepTable(std::ostream& out, int side) {
    CoverCounts counts;
    counts.side = side;
    workOutColumns(counts);
    std::size_t words = 0;
    for (const Column& column : counts.columns)
        words += column.words;
    out << "// The sampler's steps for side " << side
        << ", written by pairpath_steptable when the game was built.\n\n"
           "#include \"steptable.hpp\"\n\nnamespace pairpath {\nnamespace {\n\n"
           "constexpr std::array<std::uint8_t, "
        << words << "> tied{\n";
    for (const Column& column : counts.columns) {
        for (std::uint32_t word = 0; word < column.words; ++word)
            out << int(column.tied[word]) << (word % 32 == 31 ? ",\n" : ",");
        out << '\n';
    }
    out << "};\n\nconstexpr std::array<Steps, " << words << "> steps{{\n";
    for (const Column& column : counts.columns) {
        for (std::uint32_t word = 0; word < column.words; ++word) {
            const Steps& steps = column.steps[word];
            out << "{{{";
            for (const Step step : steps.step)
                out << '{' << step.bits << "},";
            out << "}}, " << steps.count << "},\n";
        }
    }
    out << "}};\n\n} // namespace\n\nconst StepTable builtSteps{" << side << ", {";
    for (const Column& column : counts.columns)
        out << column.words << ',';
    out << "}, tied, steps};\n\n} // namespace pairpath\n";
}

std::optional<Board> drawSolvable(int size, int pairs, std::int64_t maxAttempts) {
    // On small grids nearly every cover has a two-cell path, whose ends are side by side, so
    // covers are drawn among those without one. On larger grids the frontier words that this
    // needs make the counts several times slower to build than the rejections they spare.
    constexpr int largestSideWithoutTwoCellPaths = 5;
    const int shortest = size <= largestSideWithoutTwoCellPaths ? 3 : 2;
    const CoverCounts& counts = coverCountsFor(size, pairs, shortest);
    if (counts.total() == 0) return std::nullopt;
    RandomBits bits;
    for (std::int64_t attempt = 0; attempt < maxAttempts; ++attempt) {
        const auto cover = drawCover(counts, bits);
        if (!cover) continue;
        const Placement placement = numberAndOrient(cover->pairs, bits);
        if (!acceptOdds(placement, size, bits)) continue;
        // Accepting with probability 1 / least, then least / k(E), accepts with 1 / k(E), and
        // counts k(E) far less often.
        const auto least = CoverCount(1 + otherCoversAtLeast(*cover, size));
        if (uniformBelow(bits, least) != 0) continue;
        if (uniformBelow(bits, coversJoining(cover->pairs, size)) >= least) continue;
        return boardOf(placement, size);
    }
    return std::nullopt;
}

} // namespace pairpath
