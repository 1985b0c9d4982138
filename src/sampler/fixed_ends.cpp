// Covers with fixed ends, counted with the frontier words of a row-by-row sweep in which each
// tied slot is labelled with its pair, so that only segments of the same pair may meet.

#include "fixed_ends.hpp"

#include "frontier.hpp"

namespace pairpath {

namespace {

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

} // namespace

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

} // namespace pairpath
