// The full screen's dealing, on a thread of its own: the screen goes on reading keys while a hunt
// runs (Q stops it), and the next puzzle of the same choice is dealt while the player plays, so
// that N after a win shows it at once.
#pragma once

#include "pairpath/hunt/hunt.hpp"
#include "pairpath/play/session.hpp"

#include <atomic>
#include <optional>
#include <thread>

namespace pairpath {

// A puzzle dealt, with what the screen shows of it.
struct Dealt {
    std::optional<Board> puzzle; // none when the hunt found nothing or was stopped
    CoverCount solutions = 0;
    std::optional<Grade> grade; // when it has one solution
    std::optional<Date> daily;  // the day, for the puzzle of a day
};

// One deal at a time, which has the session to itself until it is taken or dropped: the deals
// follow one another as they would on one thread, so a seed gives the same puzzles in the same
// order however the threads are timed.
struct Dealer {
    Dealer() = default;
    ~Dealer(); // drops a deal still running
    Dealer(const Dealer&) = delete;
    Dealer& operator=(const Dealer&) = delete;

    std::thread worker;
    HuntWatch watch;
    std::atomic<bool> done{false};
    Dealt dealt; // written by the worker before `done`
};

// Starts dealing the session's next puzzle; the session must not be touched until the deal is
// taken or dropped.
void startDeal(Dealer& dealer, Session& session);
bool dealing(const Dealer& dealer);
// Waits for the deal started and takes it.
Dealt takeDeal(Dealer& dealer);
// Stops the deal started, if any, and waits for its thread.
void dropDeal(Dealer& dealer);

} // namespace pairpath
