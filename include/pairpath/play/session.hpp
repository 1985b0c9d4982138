// A run of games, the same for both ways to play: the start choice (the grid side and the pair
// count, taken from the command line where it gives them and asked otherwise, until the two
// fit), the one seeding of the generator, and the hunt for each puzzle, after which a choice
// that found nothing is asked again in full.
#pragma once

#include "pairpath/core/board.hpp"
#include "pairpath/hunt/daily.hpp"
#include "pairpath/hunt/hunt.hpp"

#include <iosfwd>
#include <optional>
#include <string>

namespace pairpath {

// Thrown by either way to play when standard input ends, or fails, before the game does.
struct InputEnded {};

struct Session {
    std::optional<unsigned> seed; // from the command line; the clock's time otherwise
    std::optional<int> givenSize; // from the command line, for the first puzzle
    std::optional<int> givenPairs;
    std::optional<int> size; // the choice for the next puzzle, as far as it is known
    std::optional<int> pairs;
    Answers answers = Answers::any; // the puzzles wanted
    std::optional<Grade> grade;     // and the grade of their one answer, when one is asked for
    bool seeded = false;
    std::optional<Date> daily;      // the day whose board comes next, in place of a hunt
    std::optional<Date> dealtDaily; // the day of the puzzle dealt last, when it was a day's
};

// A session; with `daily`, its first puzzle is that day's board, of that day's choice; with
// `grade`, every puzzle has one answer and that grade.
Session beginSession(std::optional<unsigned> seed, std::optional<int> size,
                     std::optional<int> pairs, Answers answers = Answers::any,
                     std::optional<Date> daily = std::nullopt,
                     std::optional<Grade> grade = std::nullopt);

// What the player must answer next for the next puzzle.
enum class StartQuestion { none, side, pairs };
StartQuestion nextQuestion(const Session& session);

// Takes the answer to `question`. When the grid side and the pair count do not fit together, or
// the choice offers no puzzle of the grade asked for, the answer is dropped, the same question
// comes next, and the result says why; else it is empty.
std::string takeAnswer(Session& session, StartQuestion question, int answer);

// Why a choice deals no puzzle of `grade`, naming the grades it offers; empty when it does.
std::string gradeProblem(int size, int pairs, std::optional<Grade> grade);

// The day's board when one is due; else seeds the generator the first time, then looks for a
// puzzle of the chosen side and pair count, reporting progress on `progress` when given. When
// none is found, the whole choice is forgotten, so that both questions are asked, and the result
// is empty. A hunt that `watch` stopped leaves the choice as it was, and no puzzle.
std::optional<Board> dealPuzzle(Session& session, std::ostream* progress,
                                HuntWatch* watch = nullptr);

// Forgets the choice for a new one: the command line's answers stand again.
void chooseAgain(Session& session);

// Forgets the choice, the command line's answers too, so that both questions are asked.
void forgetChoice(Session& session);

} // namespace pairpath
