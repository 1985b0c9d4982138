// A hint in words: each deduction's rule and failure chooses its texts from the game's table,
// filled in with the pairs, ways and cells it names.

#include "pairpath/play/reasons.hpp"

#include "pairpath/core/messages.hpp"

#include <array>

namespace pairpath {

namespace {

constexpr std::array<Message, 4> wayTexts{Message::wayUp, Message::wayDown, Message::wayLeft,
                                          Message::wayRight};

std::string wayText(int from, int to) {
    return messageText(wayTexts[std::size_t(wayBetween(gridIndex(from), gridIndex(to)))]);
}

// What a move ruled out would lead to.
std::string failureText(const Deduction& deduction) {
    const int row = rowOf(deduction.cell);
    const int column = columnOf(deduction.cell);
    switch (deduction.failure) {
    case Failure::cutOff: return messageText(Message::wouldCutOff, row, column);
    case Failure::boxedIn: return messageText(Message::wouldBoxIn, deduction.other);
    case Failure::unfilled: return messageText(Message::wouldLeaveUnfilled, row, column);
    case Failure::split: return messageText(Message::wouldSplit, deduction.other);
    case Failure::unbalanced: return messageText(Message::wouldUnbalance, row, column);
    case Failure::turnBeside:
        if (deduction.other != deduction.pair) {
            return messageText(Message::wouldTrade, deduction.pair, deduction.other, row, column);
        }
        return messageText(Message::wouldRunBack, deduction.pair, row, column);
    case Failure::parallelPass:
        return messageText(Message::wouldRunBack, deduction.pair, row, column);
    case Failure::none: break;
    }
    return {};
}

} // namespace

std::string reasonText(const Deduction& deduction) {
    const std::string way = wayText(deduction.from, deduction.to);
    switch (deduction.rule) {
    case Rule::onlyWayOn: return messageText(Message::onlyWayOn, deduction.pair);
    case Rule::onlyEntry:
        return messageText(Message::onlyEntry, deduction.pair, rowOf(deduction.cell),
                           columnOf(deduction.cell));
    case Rule::local:
    case Rule::regions: return messageText(Message::elseFails, failureText(deduction));
    case Rule::trial:
        return messageText(Message::trialFails, deduction.pair, way, failureText(deduction));
    case Rule::nestedTrial:
        return messageText(Message::nestedTrialFails, deduction.pair, way, failureText(deduction));
    case Rule::search: break;
    }
    return messageText(Message::bySearch);
}

std::string hintText(const Hint& hint) {
    switch (hint.kind) {
    case HintKind::step:
        return messageText(Message::hintStep, hint.pair, rowOf(hint.from), columnOf(hint.from),
                           wayText(hint.from, hint.to)) +
               " " + reasonText(hint.reason);
    case HintKind::offSolution:
        return messageText(Message::hintOffSolution, hint.pair, rowOf(hint.to), columnOf(hint.to));
    case HintKind::solved: return messageText(Message::hintAllLinked);
    case HintKind::noSolution: break;
    }
    return messageText(Message::noHint);
}

} // namespace pairpath
