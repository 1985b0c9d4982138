// Looking for a puzzle: draws candidates from the generator until one has a full cover, or, for
// the choices where that is slow, draws a solvable board directly (the sampler) with the same
// odds.
//
// The answer is always the first candidate, in the generator's order, that has a cover, so the
// same seed gives the same puzzle however the work is shared out, and the same puzzles after it.
// Short hunts run on the calling thread alone. A long one shares the work with a helper thread: the
// calling thread alone draws candidates (std::rand is one sequence), a batch at a time, and both
// threads search whole batches. Batches are numbered in drawing order; the hunt ends when every
// batch before the first one holding a cover has been searched, or when the candidate limit is
// spent.

#include "pairpath/hunt/hunt.hpp"

#include "pairpath/core/generate.hpp"
#include "pairpath/core/messages.hpp"
#include "pairpath/core/search.hpp"
#include "pairpath/sampler/drawing.hpp"
#include "pairpath/sampler/meeting_sweeps.hpp"

#include <chrono>
#include <condition_variable>
#include <iostream>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace pairpath {

namespace {

using Clock = std::chrono::steady_clock;

// The puzzles a hunt looks for: any that can be solved, or those with one answer, and of a grade.
struct Wanted {
    Answers answers = Answers::any;
    std::optional<Grade> grade;
};

constexpr auto quietWait = std::chrono::seconds(1);
constexpr auto reportInterval = std::chrono::seconds(1);
constexpr std::int64_t aloneCandidates = 256; // drawn and searched before the helper starts
// Large batches let each thread stream through memory the other wrote; small ones make the
// candidates' cache lines bounce between the cores and slow the drawing down.
constexpr int batchSize = 512;
constexpr int ringSize = 3; // batches drawn ahead of the search

// Tells the player, past the first second, how far the hunt has got, and the watcher at every
// look; a stop asked for by the watcher ends the hunt as the limit does.
struct Progress {
    std::ostream* out = nullptr;
    std::int64_t limit = 0;
    Answers answers = Answers::any;
    HuntWatch* watch = nullptr;
    Clock::time_point nextReport = Clock::now() + quietWait;
    bool reported = false;

    void update(std::int64_t drawn) {
        if (watch != nullptr) watch->tried = drawn;
        if (out == nullptr || Clock::now() < nextReport) return;
        const Message kind = answers == Answers::one ? Message::oneAnswerKind : Message::anyKind;
        *out << '\r'
             << messageText(Message::huntProgress, messageText(kind),
                            countText(CoverCount(drawn), true), countText(CoverCount(limit), true))
             << std::flush;
        reported = true;
        nextReport = Clock::now() + reportInterval;
    }
    bool stopped() const { return watch != nullptr && watch->stop; }
    void finish() const {
        if (reported) *out << '\n' << std::flush;
    }
};

enum class Stage { empty, drawn, searching, searched };

struct Batch {
    std::array<Board, batchSize> boards;
    int count = 0;
    int firstCover = -1; // index of the first board with a cover, once searched
    Stage stage = Stage::empty;
};

// The state both threads share; every field is guarded by `lock`. Batches are numbered in the
// order they are drawn, and batch b lives in ring[b % ringSize]. At all times:
// - batches before `settledBatches` were searched and hold no cover, and their slots are free;
// - batches from `settledBatches` to `drawnBatches` - 1 are drawn, each being searched or
//   waiting, or searched with the index of its first cover; at most ringSize are in the ring;
// - the answer is the first cover of batch `settledBatches`, once that batch is searched:
//   every earlier candidate is known to have none.
struct SharedHunt {
    Wanted wanted; // set before the threads start
    std::mutex lock;
    std::condition_variable changed;
    std::array<Batch, ringSize> ring; // batch b lives in ring[b % ringSize]
    std::int64_t drawnBatches = 0;
    std::int64_t settledBatches = 0; // batches searched without a cover, all of them in order
    bool drawingDone = false;        // the candidate limit is reached
    bool finished = false;

    Batch& batch(std::int64_t number) { return ring[std::size_t(number % ringSize)]; }

    // The oldest drawn batch that nobody searches yet, or -1.
    std::int64_t nextToSearch() {
        for (std::int64_t number = settledBatches; number < drawnBatches; ++number) {
            if (batch(number).stage == Stage::drawn) return number;
        }
        return -1;
    }

    // Moves past searched batches without a cover; frees their slots for drawing.
    void settle() {
        while (settledBatches < drawnBatches) {
            Batch& oldest = batch(settledBatches);
            if (oldest.stage != Stage::searched) break;
            if (oldest.firstCover >= 0) {
                finished = true;
                break;
            }
            oldest.stage = Stage::empty;
            ++settledBatches;
        }
        if (drawingDone && settledBatches == drawnBatches) finished = true;
    }
};

// For Answers::one, a cover search that has looked at this many states without an answer gives
// way to counting the solutions up to two, which takes about as long on every board of a choice:
// the searches that run longer are few, but they would take most of the time. Measured in
// processor time per candidate, 100 states is within a tenth of the best budget on every choice
// drawn and checked.
constexpr std::int64_t statesBeforeCounting = 100;

// Whether a board with one solution has the grade wanted, if one is.
bool hasGrade(const Board& board, const Wanted& wanted) {
    return !wanted.grade || gradeBoard(board) == *wanted.grade;
}

// Whether a candidate is a puzzle: it has a full cover, and for Answers::one no other, and then
// the grade wanted. Most boards are settled by a search that stops at the second cover; the rest
// are counted, up to two, unless the one cover found shows another at once.
bool isPuzzle(const Board& candidate, const Wanted& wanted) {
    if (wanted.answers == Answers::any) return findCover(candidate).has_value();
    const CoverTally tally = countCoversWithin(candidate, 2, statesBeforeCounting);
    if (tally.finished) return tally.covers == 1 && hasGrade(candidate, wanted);
    if (tally.cover && showsAnotherCover(*tally.cover, candidate.size)) return false;
    return solutionsUpToTwo(candidate) == 1 && hasGrade(candidate, wanted);
}

int firstPuzzle(const Batch& batch, const Wanted& wanted) {
    for (int i = 0; i < batch.count; ++i) {
        if (isPuzzle(batch.boards[std::size_t(i)], wanted)) return i;
    }
    return -1;
}

// Searches batch `number`, which the caller has claimed, then records the outcome.
void searchBatch(SharedHunt& hunt, std::unique_lock<std::mutex>& held, std::int64_t number) {
    Batch& batch = hunt.batch(number);
    batch.stage = Stage::searching;
    held.unlock();
    const int firstCover = firstPuzzle(batch, hunt.wanted);
    held.lock();
    batch.firstCover = firstCover;
    batch.stage = Stage::searched;
    hunt.settle();
    hunt.changed.notify_all();
}

void helpSearch(SharedHunt& hunt) {
    std::unique_lock<std::mutex> held(hunt.lock);
    for (;;) {
        hunt.changed.wait(held, [&] { return hunt.finished || hunt.nextToSearch() >= 0; });
        if (hunt.finished) return;
        searchBatch(hunt, held, hunt.nextToSearch());
    }
}

// The calling thread's part: draws batches while there is room, searches when there is not.
// Once the answer is known it still draws until the ring is full: how far the drawing had got
// by then depends on how the threads were timed, but the ring's end does not, so std::rand is
// left where this seed always leaves it and the boards after this one are the same every run.
void drawAndSearch(SharedHunt& hunt, int size, int pairs, std::int64_t drawnAlready,
                   std::int64_t maxCandidates, Progress& progress) {
    std::int64_t drawn = drawnAlready;
    std::unique_lock<std::mutex> held(hunt.lock);
    for (;;) {
        const bool roomToDraw = hunt.drawnBatches - hunt.settledBatches < ringSize;
        if (!hunt.drawingDone && roomToDraw) {
            Batch& batch = hunt.batch(hunt.drawnBatches);
            held.unlock();
            batch.count = int(std::min<std::int64_t>(batchSize, maxCandidates - drawn));
            for (int i = 0; i < batch.count; ++i) {
                batch.boards[std::size_t(i)] = createArray(size, pairs);
            }
            drawn += batch.count;
            progress.update(drawn);
            held.lock();
            batch.stage = Stage::drawn;
            ++hunt.drawnBatches;
            hunt.drawingDone = drawn >= maxCandidates || progress.stopped();
            hunt.changed.notify_all();
        } else if (hunt.finished) {
            return;
        } else if (const std::int64_t number = hunt.nextToSearch(); number >= 0) {
            searchBatch(hunt, held, number);
        } else {
            hunt.changed.wait(held);
        }
    }
}

PuzzleHunt huntTogether(int size, int pairs, const Wanted& wanted, std::int64_t drawnAlready,
                        std::int64_t maxCandidates, Progress& progress) {
    // Its batches take a quarter of a megabyte: on the heap, where running short of memory is
    // reported, rather than on the stack.
    const auto shared = std::make_unique<SharedHunt>();
    SharedHunt& hunt = *shared;
    hunt.wanted = wanted;
    std::thread helper;
    try {
        helper = std::thread(helpSearch, std::ref(hunt));
    } catch (const std::system_error&) {
        // No thread to be had (memory or a process limit): the calling thread searches alone.
    }
    drawAndSearch(hunt, size, pairs, drawnAlready, maxCandidates, progress);
    if (helper.joinable()) helper.join();

    PuzzleHunt result;
    result.candidates = maxCandidates;
    if (hunt.settledBatches < hunt.drawnBatches) {
        const Batch& found = hunt.batch(hunt.settledBatches);
        result.puzzle = found.boards[std::size_t(found.firstCover)];
        result.candidates = drawnAlready + hunt.settledBatches * batchSize + found.firstCover + 1;
    }
    return result;
}

} // namespace

bool isDrawnDirectly(int size, int pairs, Answers answers) {
    // From this many pairs on, drawing and checking takes longer in the median than drawing
    // directly (measured with the benchmark). Choices with more pairs than a grid can hold are
    // left to the bounded loop.
    constexpr std::array<int, maxSide + 1> fewestDrawnDirectly{0, 0, 0, 0, 0, 7, 7, 8, 9};
    constexpr std::array<int, maxSide + 1> fewestDrawnDirectlyWithOneAnswer{0, 0, 0, 0, 0,
                                                                            6, 6, 7, 8};
    const auto& fewest =
        answers == Answers::one ? fewestDrawnDirectlyWithOneAnswer : fewestDrawnDirectly;
    return size >= minSide && size <= maxSide && pairs >= fewest[std::size_t(size)] &&
           pairs <= std::min(maxPairs, mostPairsFor(size));
}

std::vector<Grade> gradesOffered(int size, int pairs) {
    // Each grade whose boards come, on a 2-core machine, in at most a second in the median and
    // five at the 99th percentile (measured with the benchmark's --difficulty): a bit per grade,
    // easy first, for each side and number of pairs from 4 to 9.
    constexpr std::array<std::array<unsigned, maxPairs - minPairs + 1>, maxSide - minSide + 1>
        offered{{{0b0011, 0b0001, 0b0001, 0b0001, 0b0001, 0b0000},
                 {0b1111, 0b0111, 0b0011, 0b0001, 0b0001, 0b0001},
                 {0b1111, 0b1111, 0b0111, 0b0111, 0b0011, 0b0001},
                 {0b1000, 0b1100, 0b1110, 0b0111, 0b0111, 0b0111}}};
    std::vector<Grade> grades;
    if (size < minSide || size > maxSide || pairs < minPairs || pairs > maxPairs) return grades;
    const unsigned bits = offered[std::size_t(size - minSide)][std::size_t(pairs - minPairs)];
    for (const Grade grade : {Grade::easy, Grade::medium, Grade::hard, Grade::expert}) {
        if ((bits >> unsigned(grade) & 1U) != 0) grades.push_back(grade);
    }
    return grades;
}

namespace {

// The sampler's attempts, a batch at a time, so that a long wait can be reported; the limit
// on them is the limit on candidates.
PuzzleHunt drawDirectly(int size, int pairs, const Wanted& wanted, Progress& progress) {
    const Answers answers = wanted.answers;
    // One-answer attempts take longer: fewer between two looks, so that a stop is quick.
    const std::int64_t attemptsPerReport = std::int64_t{1} << (answers == Answers::one ? 12 : 16);
    for (std::int64_t attempts = 0; attempts < progress.limit && !progress.stopped();
         attempts += attemptsPerReport) {
        const auto board = drawSolvable(size, pairs, answers,
                                        std::min(attemptsPerReport, progress.limit - attempts));
        // A board of another grade is turned down as the loop would turn it down: among those
        // with one solution, each of the grade keeps its odds.
        if (board && hasGrade(*board, wanted)) return {board, 0};
        progress.update(std::min(attempts + attemptsPerReport, progress.limit));
    }
    return {std::nullopt, 0};
}

} // namespace

PuzzleHunt findPuzzle(int size, int pairs, std::ostream* progressOut, Answers answers,
                      std::int64_t maxCandidates, HuntWatch* watch, std::optional<Grade> grade) {
    // A grade asks for one answer.
    const Wanted wanted{grade ? Answers::one : answers, grade};
    answers = wanted.answers;
    Progress progress{progressOut, maxCandidates, answers, watch};
    PuzzleHunt hunt;
    if (isDrawnDirectly(size, pairs, answers)) {
        hunt = drawDirectly(size, pairs, wanted, progress);
        progress.finish();
        return hunt;
    }
    const std::int64_t alone = std::min(aloneCandidates, maxCandidates);
    while (hunt.candidates < alone && !progress.stopped()) {
        const Board candidate = createArray(size, pairs);
        ++hunt.candidates;
        if (isPuzzle(candidate, wanted)) {
            hunt.puzzle = candidate;
            return hunt;
        }
    }
    if (hunt.candidates < maxCandidates && !progress.stopped()) {
        hunt = huntTogether(size, pairs, wanted, hunt.candidates, maxCandidates, progress);
    }
    progress.finish();
    return hunt;
}

} // namespace pairpath
