// Covers with fixed ends, counted up to two by two sweeps that meet.
//
// The sweep of fixed_ends.cpp goes down the grid a cell at a time, knowing nothing of the rows
// below, and near the bottom most of its words lead to no cover. Here one sweep goes down from the
// top row and another up from the bottom row (the same sweep, run on the grid turned upside down,
// so that the columns, and the order of the slots, stay as they are), a whole row at a time, the
// one holding fewer words going on, until together they have filled every row. The boundary
// between their last rows cuts each cover into one word of each sweep: the edges the cover's paths
// cross there, and how its segments on either side join them. Conversely two such words make a
// cover exactly when they cross the same edges and their segments, followed across the boundary
// from each tied slot, alternately below and above it, lead to a slot tied to the same pair, with
// none left over (those would close a loop). Each cover is thus counted once, with the product
// of the ways to reach its two words. Counts stop at two.

#include "pairpath/sampler/meeting_sweeps.hpp"

#include "pairpath/sampler/frontier.hpp"

#include <algorithm>
#include <span>

namespace pairpath {

namespace {

// A word and the ways to reach it: 1, or 2 for two or more.
struct Weighted {
    Word word = 0;
    int ways = 0;
};

int cappedSum(int ways, int more) { return std::min(2, ways + more); }

// No word has every bit set (slot values stop below 15): the mark of a free place in the table.
constexpr Word freePlace = ~Word{0};

// The words of one cell, each listed once: an open-addressing table of their places in the list.
struct WordTable {
    std::vector<Word> keys;
    std::vector<std::uint32_t> places;
    std::vector<std::uint32_t> used;
    int bits = 0;
};

// Empties the table, with room for `most` words.
void clearFor(WordTable& table, std::size_t most) {
    for (const std::uint32_t place : table.used)
        table.keys[place] = freePlace;
    table.used.clear();
    int bits = 6;
    while ((std::size_t{1} << bits) < 2 * most)
        ++bits;
    table.bits = bits;
    if (table.keys.size() < std::size_t{1} << bits) {
        table.keys.assign(std::size_t{1} << bits, freePlace);
        table.places.resize(std::size_t{1} << bits);
    }
}

void gather(WordTable& table, std::vector<Weighted>& words, Word word, int ways) {
    const std::size_t mask = (std::size_t{1} << table.bits) - 1;
    std::uint64_t hash = word * 0x9E3779B97F4A7C15ULL;
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9ULL;
    for (auto place = std::size_t(hash >> (64 - table.bits));; place = (place + 1) & mask) {
        if (table.keys[place] == word) {
            Weighted& known = words[table.places[place]];
            known.ways = cappedSum(known.ways, ways);
            return;
        }
        if (table.keys[place] == freePlace) {
            table.keys[place] = word;
            table.places[place] = std::uint32_t(words.size());
            table.used.push_back(std::uint32_t(place));
            words.push_back({word, ways});
            return;
        }
    }
}

// One sweep: each cell's pair tag (noEdge where no path ends), how many rows it has filled, and
// the words that stand after them.
struct Sweep {
    std::array<unsigned, gridCells> tagOf{};
    int rows = 0;
    std::vector<Weighted> words{{0, 1}};
};

void fillRow(Sweep& sweep, int side) {
    thread_local WordTable table;
    thread_local std::vector<Weighted> next;
    Fills fills;
    for (int column = 0; column < side && !sweep.words.empty(); ++column) {
        const unsigned tag = sweep.tagOf[std::size_t(sweep.rows * side + column)];
        clearFor(table, mostWays * sweep.words.size());
        next.clear();
        for (const auto& [word, ways] : sweep.words) {
            const int count = fillsOf(word, column, side, Role{tag == noEdge, tag}, fills);
            for (int i = 0; i < count; ++i)
                gather(table, next, fills[std::size_t(i)].next, ways);
        }
        std::swap(sweep.words, next);
    }
    ++sweep.rows;
}

// --- Where the sweeps meet ---

// The slots of a word that a path crosses, as the lowest bit of each slot's four.
Word crossedSlots(Word word) {
    constexpr Word lowestBits = 0x1111111111111111ULL;
    return (word | word >> 1 | word >> 2 | word >> 3) & lowestBits;
}

// For each slot of a word at a row boundary that a path crosses: the slot where its segment on
// that side comes back to the boundary, or, for a segment tied to a path's end, tiedTo plus the
// pair's tag.
using Links = std::array<int, maxSlots>;
constexpr int tiedTo = 32;

Links linksOf(Word word, int side) {
    Links links{};
    std::array<int, maxSlots> opened{};
    int depth = 0;
    for (int slot = 0; slot <= side; ++slot) {
        const unsigned value = slotOf(word, slot);
        if (value == openEnd) {
            opened[std::size_t(depth++)] = slot;
        } else if (value == closeEnd) {
            const int open = opened[std::size_t(--depth)];
            links[std::size_t(slot)] = open;
            links[std::size_t(open)] = slot;
        } else if (value != noEdge) {
            links[std::size_t(slot)] = tiedTo + int(value);
        }
    }
    return links;
}

// Whether two words that cross the same slots join into whole paths (see the opening comment).
bool joinIntoPaths(const Links& above, const Links& below, Word crossed, int side) {
    Word reached = 0;
    for (int start = 0; start <= side; ++start) {
        const auto at = std::size_t(start);
        const Word bit = Word{1} << slotBits * start;
        if ((crossed & bit) == 0 || (reached & bit) != 0) continue;
        const bool tiedAbove = above[at] >= tiedTo;
        if (!tiedAbove && below[at] < tiedTo) continue;
        const int tag = tiedAbove ? above[at] : below[at];
        bool goingDown = tiedAbove;
        for (int slot = start;;) {
            reached |= Word{1} << slotBits * slot;
            const int next = (goingDown ? below : above)[std::size_t(slot)];
            if (next >= tiedTo) {
                if (next != tag) return false;
                break;
            }
            slot = next;
            goingDown = !goingDown;
        }
    }
    return reached == crossed;
}

// The words of a group that cross the same slots, with their links.
std::vector<std::pair<Links, int>> linkedGroup(std::span<const Weighted> group, int side) {
    std::vector<std::pair<Links, int>> linked;
    linked.reserve(group.size());
    for (const auto& [word, ways] : group)
        linked.emplace_back(linksOf(word, side), ways);
    return linked;
}

// The covers made of a word of each sweep, up to two; only words that cross the same slots are
// compared.
int coversWhereTheyMeet(Sweep& down, Sweep& up, int side) {
    const auto byCrossed = [](const Weighted& weighted) { return crossedSlots(weighted.word); };
    std::ranges::sort(down.words, {}, byCrossed);
    std::ranges::sort(up.words, {}, byCrossed);
    const std::span<const Weighted> above = down.words;
    const std::span<const Weighted> below = up.words;
    int covers = 0;
    for (std::size_t one = 0, other = 0; one < above.size() && other < below.size();) {
        const Word crossed = crossedSlots(above[one].word);
        const Word otherCrossed = crossedSlots(below[other].word);
        if (crossed != otherCrossed) {
            (crossed < otherCrossed ? one : other) += 1;
            continue;
        }
        std::size_t oneEnd = one;
        while (oneEnd < above.size() && crossedSlots(above[oneEnd].word) == crossed)
            ++oneEnd;
        std::size_t otherEnd = other;
        while (otherEnd < below.size() && crossedSlots(below[otherEnd].word) == crossed)
            ++otherEnd;
        const auto lower = linkedGroup(below.subspan(other, otherEnd - other), side);
        for (const auto& [word, ways] : above.subspan(one, oneEnd - one)) {
            const Links links = linksOf(word, side);
            for (const auto& [otherLinks, otherWays] : lower) {
                if (!joinIntoPaths(links, otherLinks, crossed, side)) continue;
                covers = cappedSum(covers, ways * otherWays);
                if (covers == 2) return covers;
            }
        }
        one = oneEnd;
        other = otherEnd;
    }
    return covers;
}

} // namespace

int coversJoiningUpToTwo(const std::vector<EndPair>& pairs, int side) {
    Sweep down;
    Sweep up;
    for (std::size_t pair = 0; pair < pairs.size(); ++pair) {
        const unsigned tag = firstPairTag + unsigned(pair);
        for (const int cell : {pairs[pair].first, pairs[pair].second}) {
            down.tagOf[std::size_t(cell)] = tag;
            up.tagOf[std::size_t((side - 1 - cell / side) * side + cell % side)] = tag;
        }
    }
    while (down.rows + up.rows < side) {
        Sweep& going = down.words.size() <= up.words.size() ? down : up;
        fillRow(going, side);
        if (going.words.empty()) return 0;
    }
    return coversWhereTheyMeet(down, up, side);
}

int solutionsUpToTwo(const Board& board) {
    return coversJoiningUpToTwo(endPairsOf(board), board.size);
}

} // namespace pairpath
