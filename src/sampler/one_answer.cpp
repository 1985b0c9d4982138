// Drawing boards with one answer: the sampler's attempts, accepting only pairings with exactly one
// cover, k(E) = 1, where any board accepts a pairing with probability 1 / k(E). Nearly every
// attempt is turned down, so they are made a batch at a time, and two threads share each batch.
//
// The calling thread draws each attempt's cover number, in order, from std::rand. Drawing the
// cover and checking that it is the only one of its ends depend on that number alone, so the two
// threads may share them out in any way. Then the calling thread takes the batch's covers that
// passed, in order, through the steps that draw more random numbers. std::rand is thus drawn in
// the same order however the threads are timed, and a seed gives the same board every run.

#include "pairpath/sampler/one_answer.hpp"

#include <algorithm>
#include <barrier>
#include <span>
#include <system_error>
#include <thread>

namespace pairpath {

namespace {

// Enough attempts that a batch outlasts the threads' meeting by far, few enough that the last
// batch, drawn past the answer, costs little. The first batch is smaller, and the calling thread
// makes it alone: on small grids it nearly always holds the answer.
constexpr std::size_t attemptsPerBatch = 512;
constexpr std::size_t attemptsAlone = 64;
constexpr std::size_t threads = 2;

struct Batch {
    std::array<CoverCount, attemptsPerBatch> picks{};
    std::array<std::optional<DrawnCover>, attemptsPerBatch> passed; // only covers of their ends
    std::size_t count = 0;
    bool done = false; // no more batches: the helper leaves
};

// Draws and checks the covers of the batch's attempts `first`, `first + threads`, and so on.
void checkShare(Batch& batch, const CoverCounts& counts, std::size_t first) {
    for (std::size_t at = first; at < batch.count; at += threads) {
        auto cover = drawCover(counts, batch.picks[at]);
        batch.passed[at].reset();
        if (cover && isOnlyCoverOfItsEnds(*cover, counts.side)) batch.passed[at] = std::move(cover);
    }
}

// The board of the first cover of the batch that the rest of an attempt accepts, if any.
std::optional<Board> firstAccepted(Batch& batch, int side, RandomBits& bits) {
    for (std::size_t at = 0; at < batch.count; ++at) {
        if (!batch.passed[at]) continue;
        const std::vector<EndPair> placement = numberAndOrient(batch.passed[at]->pairs, bits);
        if (accepts(acceptanceOdds(placement, side), bits))
            return boardOfPlacement(placement, side);
    }
    return std::nullopt;
}

// A helper thread that checks its share of each batch, from when it starts to the last batch.
struct Helper {
    std::barrier<> meeting{threads};
    std::thread thread;

    void start(Batch& batch, const CoverCounts& counts) {
        try {
            thread = std::thread([&] {
                for (;;) {
                    meeting.arrive_and_wait(); // a batch is drawn, or there are no more
                    if (batch.done) return;
                    checkShare(batch, counts, 1);
                    meeting.arrive_and_wait();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread checks every attempt itself.
        }
    }
    void check(Batch& batch, const CoverCounts& counts) {
        if (!thread.joinable()) {
            checkShare(batch, counts, 0);
            checkShare(batch, counts, 1);
            return;
        }
        meeting.arrive_and_wait();
        checkShare(batch, counts, 0);
        meeting.arrive_and_wait();
    }
    void stop(Batch& batch) {
        if (!thread.joinable()) return;
        batch.done = true;
        meeting.arrive_and_wait();
        thread.join();
    }
};

} // namespace

std::optional<Board> drawWithOneAnswer(const CoverCounts& counts, std::int64_t maxAttempts) {
    // Its covers take tens of kilobytes: on the heap, where running short is reported.
    const auto batch = std::make_unique<Batch>();
    Helper helper;
    RandomBits bits;
    std::optional<Board> board;
    for (std::int64_t attempt = 0; !board && attempt < maxAttempts;) {
        if (attempt > 0 && !helper.thread.joinable()) helper.start(*batch, counts);
        const std::size_t size = attempt == 0 ? attemptsAlone : attemptsPerBatch;
        batch->count =
            std::size_t(std::min<std::int64_t>(std::int64_t(size), maxAttempts - attempt));
        std::ranges::generate(std::span(batch->picks).first(batch->count),
                              [&] { return uniformBelow(bits, counts.total()); });
        attempt += std::int64_t(batch->count);
        helper.check(*batch, counts);
        board = firstAccepted(*batch, counts.side, bits);
    }
    helper.stop(*batch);
    return board;
}

} // namespace pairpath
