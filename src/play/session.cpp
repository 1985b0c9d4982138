// A run of games, the same for both ways to play: which start question comes next, when an
// answer fits, the one seeding of the generator, and what a hunt that finds nothing leaves.

#include "pairpath/play/session.hpp"

#include "pairpath/core/messages.hpp"
#include "pairpath/hunt/hunt.hpp"

#include <algorithm>

#include <cstdlib>
#include <ctime>
#include <utility>

namespace pairpath {

Session beginSession(std::optional<unsigned> seed, std::optional<int> size,
                     std::optional<int> pairs, Answers answers, std::optional<Date> daily,
                     std::optional<Grade> grade) {
    if (daily) {
        const DailyChoice choice = dailyChoice(*daily);
        size = choice.side;
        pairs = choice.pairs;
    }
    if (grade) answers = Answers::one;
    return {seed, size, pairs, size, pairs, answers, grade, false, daily, std::nullopt};
}

StartQuestion nextQuestion(const Session& session) {
    if (!session.size) return StartQuestion::side;
    if (!session.pairs) return StartQuestion::pairs;
    return StartQuestion::none;
}

std::string gradeProblem(int size, int pairs, std::optional<Grade> grade) {
    const std::vector<Grade> offered = gradesOffered(size, pairs);
    if (!grade || std::ranges::find(offered, *grade) != offered.end()) return "";
    std::string names;
    for (std::size_t at = 0; at < offered.size(); ++at) {
        if (at > 0) names += at + 1 == offered.size() ? messageText(Message::orWord) : ", ";
        names += gradeName(offered[at]);
    }
    return messageText(Message::gradeNotOffered, gradeName(*grade), size, size, pairs, names);
}

std::string takeAnswer(Session& session, StartQuestion question, int answer) {
    std::optional<int>& answered = question == StartQuestion::side ? session.size : session.pairs;
    answered = answer;
    if (!session.size || !session.pairs) return "";
    std::string problem = *session.pairs > mostPairsFor(*session.size)
                              ? messageText(Message::tooManyPairs)
                              : gradeProblem(*session.size, *session.pairs, session.grade);
    if (!problem.empty()) answered.reset();
    return problem;
}

std::optional<Board> dealPuzzle(Session& session, std::ostream* progress, HuntWatch* watch) {
    session.dealtDaily = std::exchange(session.daily, std::nullopt);
    if (session.dealtDaily) return dailyBoard(*session.dealtDaily);
    // Seeded once, after the first answers: the same seed (by default the second) and the same
    // answers give the same candidates.
    if (!session.seeded) std::srand(session.seed.value_or(unsigned(std::time(nullptr))));
    session.seeded = true;
    const PuzzleHunt hunt = findPuzzle(*session.size, *session.pairs, progress, session.answers,
                                       candidateLimit, watch, session.grade);
    // The command line's answers found nothing: from now on both questions are asked.
    if (!hunt.puzzle && (watch == nullptr || !watch->stop)) forgetChoice(session);
    return hunt.puzzle;
}

void chooseAgain(Session& session) {
    session.size = session.givenSize;
    session.pairs = session.givenPairs;
}

void forgetChoice(Session& session) {
    session.givenSize.reset();
    session.givenPairs.reset();
    chooseAgain(session);
}

} // namespace pairpath
