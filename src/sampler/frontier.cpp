// Frontier words: the ways to fill one cell from a word, and the numbering of every word of a
// side, from which the steps of each column are worked out.

#include "pairpath/sampler/frontier.hpp"

#include <algorithm>

namespace pairpath {

namespace {

constexpr unsigned slotMask = (1U << slotBits) - 1;

constexpr Word withSlot(Word word, int slot, unsigned value) {
    const int shift = slotBits * slot;
    return (word & ~(Word{slotMask} << shift)) | (Word{value} << shift);
}
// A new end's segment, once it grows by a cell, is an ordinary tied one.
constexpr unsigned grown(unsigned value) { return value == newEnd ? tiedEnd : value; }

// The slot of the other loose end of the segment that has a loose end at `slot`.
int partnerOf(Word word, int slot) {
    const int direction = slotOf(word, slot) == openEnd ? 1 : -1;
    int depth = 0;
    for (int at = slot; at >= 0 && at < maxSlots; at += direction) {
        const unsigned value = slotOf(word, at);
        if (value == openEnd) depth += direction;
        if (value == closeEnd) depth -= direction;
        if (depth == 0) return at;
    }
    return slot; // not reached: every loose end in a word has its partner
}

// --- Filling one cell ---

// Collects the ways to fill one cell.
struct Filler {
    Word word;
    int column;
    int side;
    Fills& fills;
    int count = 0;

    // The grid's right side: in the last column no way may leave the cell to the right, and
    // after it the row is complete, so the word moves on to the next row.
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

} // namespace

std::array<int, 2> linkedCells(const std::array<std::uint8_t, gridCells>& edges, int cell,
                               int side) {
    std::array<int, 2> linked{-1, -1};
    int count = 0;
    const auto leaves = [&](int at, std::uint8_t edge) {
        return (edges[std::size_t(at)] & edge) != 0;
    };
    if (leaves(cell, rightEdge)) linked[std::size_t(count++)] = cell + 1;
    if (leaves(cell, downEdge)) linked[std::size_t(count++)] = cell + side;
    if (cell % side > 0 && leaves(cell - 1, rightEdge)) linked[std::size_t(count++)] = cell - 1;
    if (cell >= side && leaves(cell - side, downEdge)) linked[std::size_t(count++)] = cell - side;
    return linked;
}

int fillsOf(Word word, int column, int side, Role role, Fills& fills) {
    Filler filler{word, column, side, fills};
    const unsigned left = slotOf(word, column);
    const unsigned up = slotOf(word, column + 1);
    const bool canEnd = role.endTag != noEdge;
    if (left == noEdge && up == noEdge) {
        if (role.inside) filler.add(filler.leaving(openEnd, closeEnd), false, downEdge | rightEdge);
        if (canEnd) filler.add(filler.leaving(role.endTag, noEdge), false, downEdge);
        if (canEnd) filler.add(filler.leaving(noEdge, role.endTag), false, rightEdge);
    } else if (left == noEdge || up == noEdge) {
        const unsigned through = left | up;
        if (role.inside) {
            filler.add(filler.leaving(grown(through), noEdge), false, downEdge);
            filler.add(filler.leaving(noEdge, grown(through)), false, rightEdge);
        }
        if (canEnd)
            finish(filler, through, left != noEdge ? column : column + 1, grown(role.endTag));
    } else if (role.inside) {
        join(filler, grown(left), grown(up));
    }
    return filler.count;
}

// --- Numbering the words of a side ---

namespace {

constexpr int depthStep(unsigned value) {
    return value == openEnd ? 1 : value == closeEnd ? -1 : 0;
}

constexpr int slotsPerByte = 8 / slotBits;
constexpr std::size_t depths = maxSlots + 1;
constexpr std::size_t byteValues = 256;

// endings[left][depth]: the ways to fill `left` slots from `depth` back to depth 0.
using Endings = std::array<std::array<std::uint32_t, maxSlots + 2>, maxSlots + 1>;
// before[slot][depth][value]: the words that agree with a word before `slot`, where the depth
// is `depth`, and hold a smaller value at `slot`.
using Before = std::array<std::array<std::array<std::uint32_t, newEnd + 1>, depths>, maxSlots>;

// Every frontier word of a side without pair labels, numbered in lexicographic order of their
// slots (slot 0 first), which makes the empty word number 0.
struct WordIndex {
    int slots = 0;
    unsigned values = 0; // slot values in use: up to tiedEnd, or up to newEnd
    std::vector<Word> words;
    // For each byte of a word (two slots), each depth before it (how many more open slots than
    // close slots come before) and each value of the byte: how many words agree with the word
    // before the byte and hold a smaller value there, and the depth after the byte. 0 where no
    // word holds the byte.
    std::vector<std::uint32_t> beforeByte;

    int bytes() const { return (slots + slotsPerByte - 1) / slotsPerByte; }
    static std::size_t entry(int byte, std::size_t depth, std::size_t value) {
        return (std::size_t(byte) * depths + depth) * byteValues + value;
    }

    std::uint32_t numberOf(Word word) const {
        std::uint32_t number = 0;
        std::size_t depth = 0;
        for (int byte = 0; byte < bytes(); ++byte) {
            const auto value = std::size_t(word >> (8 * byte) & 0xFFU);
            const std::uint32_t found = beforeByte[entry(byte, depth, value)];
            number += numberedBeforeField.of(found);
            depth = depthAfterField.of(found);
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

Endings countEndings(const WordIndex& index) {
    Endings endings{};
    endings[0][0] = 1;
    for (int left = 1; left <= index.slots; ++left) {
        for (int depth = 0; depth <= index.slots; ++depth) {
            for (unsigned value = 0; value < index.values; ++value) {
                const int next = depth + depthStep(value);
                if (next >= 0 && next <= index.slots)
                    endings[std::size_t(left)][std::size_t(depth)] +=
                        endings[std::size_t(left - 1)][std::size_t(next)];
            }
        }
    }
    return endings;
}

Before countBefore(const WordIndex& index, const Endings& endings) {
    Before before{};
    for (int slot = 0; slot < index.slots; ++slot) {
        for (int depth = 0; depth <= index.slots; ++depth) {
            std::uint32_t smaller = 0;
            for (unsigned value = 0; value < index.values; ++value) {
                before[std::size_t(slot)][std::size_t(depth)].at(value) = smaller;
                const int next = depth + depthStep(value);
                if (next >= 0 && next <= index.slots)
                    smaller += endings[std::size_t(index.slots - slot - 1)][std::size_t(next)];
            }
        }
    }
    return before;
}

// The entry of byte `byte` holding `value` after depth `depth`, for a byte that some word holds:
// the words it puts before, and the depth after it.
std::uint32_t byteEntry(const WordIndex& index, const Before& before, int byte, int depth,
                        unsigned value) {
    std::uint32_t smaller = 0;
    int after = depth;
    const int end = std::min(index.slots, (byte + 1) * slotsPerByte);
    for (int slot = byte * slotsPerByte; slot < end; ++slot) {
        const unsigned part = value >> (slotBits * (slot % slotsPerByte)) & slotMask;
        smaller += before[std::size_t(slot)][std::size_t(after)][part];
        after += depthStep(part);
    }
    return numberedBeforeField.holding(smaller) | depthAfterField.holding(std::uint32_t(after));
}

// The entries of every byte that some word holds; the others stay 0.
void numberBytes(WordIndex& index, const Before& before) {
    index.beforeByte.assign(std::size_t(index.bytes()) * depths * byteValues, 0);
    for (const Word word : index.words) {
        std::size_t depth = 0;
        for (int byte = 0; byte < index.bytes(); ++byte) {
            const auto value = unsigned(word >> (8 * byte) & 0xFFU);
            std::uint32_t& entry = index.beforeByte[WordIndex::entry(byte, depth, value)];
            entry = byteEntry(index, before, byte, int(depth), value);
            depth = depthAfterField.of(entry);
        }
    }
}

WordIndex indexWords(int side, unsigned values) {
    WordIndex index;
    index.slots = side + 1;
    index.values = values;
    const Endings endings = countEndings(index);
    index.words.reserve(endings[std::size_t(index.slots)][0]);
    listWords(index, 0, 0, 0);
    numberBytes(index, countBefore(index, endings));
    return index;
}

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

// Each column's words, and each word's number in each column (or notInColumn).
struct ColumnWords {
    std::vector<std::vector<Word>> words;
    std::vector<std::vector<std::uint32_t>> numbers;
};

ColumnWords sortIntoColumns(const WordIndex& index, int side) {
    ColumnWords columns{std::vector<std::vector<Word>>(std::size_t(side)),
                        std::vector<std::vector<std::uint32_t>>(std::size_t(side))};
    for (int at = 0; at < side; ++at) {
        auto& listed = columns.words[std::size_t(at)];
        auto& number = columns.numbers[std::size_t(at)];
        number.assign(index.words.size(), notInColumn);
        listed.reserve(index.words.size());
        for (std::size_t word = 0; word < index.words.size(); ++word) {
            if (!standsBefore(index.words[word], at)) continue;
            number[word] = std::uint32_t(listed.size());
            listed.push_back(index.words[word]);
        }
    }
    return columns;
}

} // namespace

WorkedSteps workOutSteps(int side, int shortest) {
    const WordIndex index = indexWords(side, shortest == 2 ? tiedEnd + 1 : newEnd + 1);
    const ColumnWords columns = sortIntoColumns(index, side);
    const unsigned endTag = shortest == 2 ? tiedEnd : newEnd;
    WorkedSteps worked;
    worked.table.side = side;
    Fills fills;
    for (int at = 0; at < side; ++at) {
        const auto& listed = columns.words[std::size_t(at)];
        const auto& nextNumbers = columns.numbers[std::size_t((at + 1) % side)];
        worked.table.words[std::size_t(at)] = std::uint32_t(listed.size());
        for (const Word word : listed) {
            std::uint8_t tied = 0;
            for (int slot = 0; slot < index.slots; ++slot)
                tied = std::uint8_t(tied + (isTied(slotOf(word, slot)) ? 1 : 0));
            worked.tied.push_back(tied);
            Steps& out = worked.steps.emplace_back();
            out.count = fillsOf(word, at, side, Role{true, endTag}, fills);
            for (int i = 0; i < out.count; ++i) {
                const Fill& fill = fills[std::size_t(i)];
                out.step[std::size_t(i)] =
                    Step::of(nextNumbers[index.numberOf(fill.next)], fill.closesPath, fill.edges);
            }
        }
    }
    worked.table.tied = worked.tied;
    worked.table.steps = worked.steps;
    return worked;
}

} // namespace pairpath
