// The full screen's dealer: each deal runs dealPuzzle on a thread of its own and counts the
// solutions of what it found, so that the screen thread never waits on a hunt it cannot stop.
// Nothing else in the program draws random numbers while a deal runs, and only one runs at a
// time, so std::rand and the sampler's counts see the same calls in the same order as on one
// thread.

#include "pairpath/screen/dealer.hpp"

#include "pairpath/sampler/fixed_ends.hpp"

#include <system_error>
#include <utility>

namespace pairpath {

Dealer::~Dealer() { dropDeal(*this); }

void startDeal(Dealer& dealer, Session& session) {
    dropDeal(dealer);
    dealer.watch.stop = false;
    dealer.watch.tried = 0;
    dealer.done = false;
    const auto deal = [&dealer, &session] {
        Dealt dealt;
        dealt.puzzle = dealPuzzle(session, nullptr, &dealer.watch);
        dealt.daily = session.dealtDaily;
        if (dealt.puzzle) dealt.solutions = countSolutions(*dealt.puzzle);
        if (dealt.solutions == 1) dealt.grade = gradeBoard(*dealt.puzzle);
        dealer.dealt = dealt;
        dealer.done = true;
    };
    try {
        dealer.worker = std::thread(deal);
    } catch (const std::system_error&) {
        deal(); // no thread to be had: the deal is made here, and the screen waits
    }
}

bool dealing(const Dealer& dealer) { return dealer.worker.joinable(); }

Dealt takeDeal(Dealer& dealer) {
    if (dealer.worker.joinable()) dealer.worker.join();
    return std::exchange(dealer.dealt, Dealt{});
}

void dropDeal(Dealer& dealer) {
    if (!dealer.worker.joinable()) return;
    dealer.watch.stop = true;
    dealer.worker.join();
    dealer.dealt = {};
}

} // namespace pairpath
