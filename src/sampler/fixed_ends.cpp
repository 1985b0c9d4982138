// Covers with fixed ends, counted with the frontier words of a row-by-row sweep in which each
// tied slot is labelled with its pair, so that only segments of the same pair may meet. Each
// word reached keeps the number of ways to reach it and, when one cover is wanted, the word
// before it and the edges its cell took, so that one cover can be read back from the end.

#include "pairpath/sampler/fixed_ends.hpp"

#include "pairpath/sampler/frontier.hpp"

namespace pairpath {

namespace {

// How a word was first reached: from which word of the cell before, by which edges.
struct Reached {
    std::uint32_t from = 0;
    std::uint8_t edges = 0;
};

// Ways to reach each word, summed as they come in, in an open-addressing table.
struct WaysByWord {
    struct Entry {
        Word word;
        CoverCount ways;
        Reached reached;
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

    void add(Word word, CoverCount ways, Reached reached) {
        if (2 * (entries.size() + 1) > slots.size()) grow();
        const std::size_t mask = slots.size() - 1;
        for (std::size_t slot = hash(word) & mask;; slot = (slot + 1) & mask) {
            if (slots[slot] == 0) {
                entries.push_back({word, ways, reached});
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
            add(entry.word, entry.ways, entry.reached);
    }
};

} // namespace

CoversJoining coversJoining(const std::vector<EndPair>& pairs, int side, bool oneOfThem) {
    std::array<unsigned, gridCells> tagOf{};
    for (std::size_t pair = 0; pair < pairs.size(); ++pair) {
        tagOf[std::size_t(pairs[pair].first)] = firstPairTag + unsigned(pair);
        tagOf[std::size_t(pairs[pair].second)] = firstPairTag + unsigned(pair);
    }
    // Kept from call to call, so that their room is not asked for again for every board.
    thread_local WaysByWord here;
    thread_local WaysByWord next;
    here.clear();
    here.add(0, 1, {});
    std::vector<std::vector<Reached>> history; // for each cell, how each word after it was reached
    Fills fills;
    for (int cell = 0; cell < side * side; ++cell) {
        const unsigned tag = tagOf[std::size_t(cell)];
        next.clear();
        for (std::size_t at = 0; at < here.entries.size(); ++at) {
            const auto& [word, ways, reached] = here.entries[at];
            const int count = fillsOf(word, cell % side, side, Role{tag == noEdge, tag}, fills);
            for (int i = 0; i < count; ++i) {
                const Fill& fill = fills[std::size_t(i)];
                next.add(fill.next, ways, {std::uint32_t(at), fill.edges});
            }
        }
        std::swap(here, next);
        if (!oneOfThem) continue;
        auto& kept = history.emplace_back();
        for (const auto& entry : here.entries)
            kept.push_back(entry.reached);
    }
    // Words left with edges below the last row stand for no cover.
    CoversJoining covers;
    for (std::size_t at = 0; at < here.entries.size(); ++at) {
        if (here.entries[at].word != 0) continue;
        covers.count = here.entries[at].ways;
        for (auto cell = history.size(); cell-- > 0;) {
            covers.edges[cell] = history[cell][at].edges;
            at = history[cell][at].from;
        }
        break;
    }
    return covers;
}

Solutions solveBoard(const Board& board) {
    const int side = board.size;
    const std::vector<EndPair> pairs = endPairsOf(board);
    const CoversJoining covers = coversJoining(pairs, side, true);
    Solutions solved{covers.count, {}, {}};
    if (covers.count == 0) return solved;
    // Each path, from its first end to its second, is its pair's.
    for (std::size_t pair = 0; pair < pairs.size(); ++pair) {
        int previous = -1;
        std::vector<int>& route = solved.routes.emplace_back();
        for (int cell = pairs[pair].first; cell != -1;) {
            route.push_back(cellCode(cell / side, cell % side));
            cellAt(solved.solution, route.back()) = digitOf(int(pair) + 1);
            const auto linked = linkedCells(covers.edges, cell, side);
            const int onward = linked[0] != previous ? linked[0] : linked[1];
            previous = cell;
            cell = onward;
        }
    }
    return solved;
}

CoverCount countSolutions(const Board& board) {
    return coversJoining(endPairsOf(board), board.size).count;
}

std::vector<EndPair> endPairsOf(const Board& board) {
    std::vector<EndPair> pairs;
    const auto cellOf = [side = board.size](int code) {
        return rowOf(code) * side + columnOf(code);
    };
    for (int pair = 1; pair <= board.count / 2; ++pair) {
        pairs.push_back(
            {cellOf(startOf(board.endpoints, pair)), cellOf(targetOf(board.endpoints, pair))});
    }
    return pairs;
}

} // namespace pairpath
