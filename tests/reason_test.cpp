// The reasoning solver: on one-answer boards the game deals, every deduction it makes agrees with
// the solution, its routes are the solution's, grades are pure and agree with the levels that
// solve the board, and hints lie on the solution or name the first drawn cell off it; tiny boards
// on which each named rule fires.

#include "checks.hpp"
#include "pairpath/hunt/hunt.hpp"
#include "pairpath/play/reasons.hpp"
#include "pairpath/reason/trials.hpp"
#include "pairpath/sampler/fixed_ends.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace pairpath {
namespace {

// A one-answer board with its routes, found apart from the reasoning solver: each pair's cells in
// the solution that solveBoard gives, walked from the start endpoint through every one of them.
struct Sample {
    Board board;
    Cover routes;
};

bool walk(const Grid& solution, std::vector<int>& route, int target, std::size_t length) {
    const int at = route.back();
    if (at == target) return route.size() == length;
    for (const int step : {codeUp, codeDown, codeLeft, codeRight}) {
        const int next = at + step;
        if (next < 0 || columnOf(next) > 7 || rowOf(next) > 7 ||
            cellAt(solution, next) != cellAt(solution, at) || std::ranges::count(route, next) > 0)
            continue;
        route.push_back(next);
        if (walk(solution, route, target, length)) return true;
        route.pop_back();
    }
    return false;
}

const std::vector<Sample>& samples() {
    static const std::vector<Sample> all = [] {
        std::vector<Sample> boards;
        // Quick choices to deal: 8 x 8 takes a third of a second a board.
        for (const auto& [side, pairs, seeds] : {std::tuple{5, 6, 10},
                                                 {5, 8, 10},
                                                 {6, 4, 20},
                                                 {6, 7, 10},
                                                 {6, 9, 10},
                                                 {7, 5, 12},
                                                 {7, 7, 10},
                                                 {7, 9, 10},
                                                 {8, 9, 2}}) {
            for (int seed = 1; seed <= seeds; ++seed) {
                std::srand(unsigned(seed));
                const Board board = *findPuzzle(side, pairs, nullptr, Answers::one).puzzle;
                const Solutions solved = solveBoard(board);
                Cover routes;
                for (int pair = 1; pair <= pairs; ++pair) {
                    std::vector<int> route{startOf(board.endpoints, pair)};
                    const auto length =
                        std::size_t(std::ranges::count(solved.solution, digitOf(pair)));
                    walk(solved.solution, route, targetOf(board.endpoints, pair), length);
                    routes.push_back(route);
                }
                boards.push_back({board, routes});
            }
        }
        return boards;
    }();
    return all;
}

bool onRoute(const Cover& routes, int pair, int from, int to) {
    const std::vector<int>& route = routes[std::size_t(pair - 1)];
    for (std::size_t at = 0; at + 1 < route.size(); ++at) {
        if ((route[at] == from && route[at + 1] == to) ||
            (route[at] == to && route[at + 1] == from))
            return true;
    }
    return false;
}

std::string described(const Deduction& d) {
    return "rule " + std::to_string(int(d.rule)) + ", failure " + std::to_string(int(d.failure)) +
           ", pair " + std::to_string(d.pair) + ", " + std::to_string(d.from) + " to " +
           std::to_string(d.to) + (d.ruledOut ? " ruled out" : " taken");
}

// Every move taken is a link of the solution and no move ruled out is one, at every level; every
// rule and every failure is seen at least once, so that none goes unchecked.
TEST(Reason, EveryDeductionAgreesWithTheSolution) {
    std::set<std::pair<Rule, Failure>> seen;
    for (const auto& [board, routes] : samples()) {
        const Reasoning reasoning = reasonOut(board);
        for (const Deduction& d : reasoning.deductions) {
            ASSERT_EQ(onRoute(routes, d.pair, d.from, d.to), !d.ruledOut)
                << testing::gridText(board) << ": " << described(d);
            seen.insert({d.rule, d.failure});
        }
        EXPECT_FALSE(reasoning.impossible) << testing::gridText(board);
        if (reasoning.solved) {
            EXPECT_EQ(routesOf(reasoning.state), routes);
        }
        EXPECT_EQ(solutionRoutes(board), routes) << testing::gridText(board);
    }
    std::set<Rule> rules;
    std::set<Failure> failures;
    for (const auto& [rule, failure] : seen) {
        rules.insert(rule);
        failures.insert(failure);
    }
    EXPECT_EQ(rules.size(), 6U) << "every rule but the search";
    EXPECT_EQ(failures.size(), 8U) << "every failure, and none for moves taken";
}

// The same board always has the same grade, whatever the generator has done in between; easy
// boards are solved by levels 1 and 2, and no other is; expert boards are not solved by trials.
TEST(Reason, GradesArePureAndAgreeWithTheLevels) {
    std::set<Grade> grades;
    for (const auto& [board, routes] : samples()) {
        const Grade grade = gradeBoard(board);
        std::srand(7);
        EXPECT_EQ(gradeBoard(board), grade);
        EXPECT_EQ(reasonOut(board, {0}).solved, grade == Grade::easy) << testing::gridText(board);
        EXPECT_EQ(reasonOut(board, {1}).solved, grade != Grade::expert) << testing::gridText(board);
        if (grade == Grade::medium || grade == Grade::hard) { // medium: 1 or 2 trials
            EXPECT_EQ(reasonOut(board, {1}).trials <= 2, grade == Grade::medium);
        }
        EXPECT_EQ(gradeOfName(gradeName(grade)), grade);
        grades.insert(grade);
    }
    EXPECT_EQ(grades.size(), 4U) << "the sample holds every grade";
    EXPECT_EQ(gradeOfName("Easy"), std::nullopt);
}

// Paths drawn along the solution, each pair's a random length from its start and some connected:
// the hint, the same every time, is a link of the solution that no drawn path holds yet. A cell
// beside a drawn path's head, off the solution, drawn next: the hint names that pair and cell.
TEST(Hints, LieOnTheSolutionOrNameTheCellOffIt) {
    std::mt19937 random(1);
    for (const auto& [board, routes] : samples()) {
        std::vector<DrawnPath> drawn(routes.size());
        Grid held = board.grid;
        for (std::size_t pair = 0; pair < routes.size(); ++pair) {
            const std::size_t inside = routes[pair].size() - 2;
            const std::size_t length = random() % (inside + 1);
            drawn[pair].cells.assign(routes[pair].begin() + 1,
                                     routes[pair].begin() + 1 + long(length));
            drawn[pair].connected = length == inside && random() % 2 == 0;
            for (const int code : drawn[pair].cells)
                cellAt(held, code) = digitOf(int(pair) + 1);
        }
        const Hint hint = nextHint(board, drawn);
        const std::string text = hintText(hint);
        EXPECT_EQ(text.find('#'), std::string::npos) << text;
        EXPECT_EQ(hintText(nextHint(board, drawn)), text) << "the same hint every time";
        if (std::ranges::all_of(drawn, &DrawnPath::connected)) {
            EXPECT_EQ(hint.kind, HintKind::solved);
            continue;
        }
        ASSERT_EQ(hint.kind, HintKind::step) << testing::gridText(board);
        EXPECT_TRUE(onRoute(routes, hint.pair, hint.from, hint.to)) << text;
        // A new cell, or the other loose end of its pair, to join them.
        const std::vector<int>& own = drawn[std::size_t(hint.pair - 1)].cells;
        EXPECT_TRUE(cellAt(held, hint.to) == emptyCell ||
                    cellAt(board.grid, hint.to) != emptyCell ||
                    (!own.empty() && hint.to == own.back()))
            << text;

        // A wrong cell after the first unconnected path's head.
        const auto pair =
            std::size_t(std::ranges::find(drawn, false, &DrawnPath::connected) - drawn.begin());
        const std::vector<int>& cells = drawn[pair].cells;
        const int head = cells.empty() ? routes[pair].front() : cells.back();
        const int next = routes[pair][cells.size() + 1];
        for (const int step : {codeUp, codeDown, codeLeft, codeRight}) {
            const int wrong = head + step;
            if (!testing::isInside(board, wrong) || !besideEachOther(head, wrong) ||
                wrong == next || cellAt(held, wrong) != emptyCell)
                continue;
            drawn[pair].cells.push_back(wrong);
            const Hint off = nextHint(board, drawn);
            EXPECT_EQ(off.kind, HintKind::offSolution);
            EXPECT_EQ(off.pair, int(pair) + 1);
            EXPECT_EQ(off.to, wrong);
            break;
        }
    }
}

// Each named rule firing on a small board: somewhere among the deductions the reasoning makes
// there is this one (pair, loose end, cell entered).
TEST(Reason, EachRuleFiresOnASmallBoard) {
    struct Example {
        std::string_view rows;
        Rule rule;
        Failure failure;
        int pair, from, to;
        std::string_view words;
    };
    const auto examples = std::to_array<Example>({
        {"...../.42../..32./.1.1./...34", Rule::onlyWayOn, Failure::none, 3, 43, 42,
         "Only way on for 3."},
        {"...4./.131./....4/.3.../2..2.", Rule::onlyEntry, Failure::none, 4, 3, 4,
         "Only 4 can still enter row 0, col 4."},
        {"..4../..12./.1.3./.3.4./....2", Rule::local, Failure::cutOff, 3, 23, 24,
         "Else row 3, col 4 would be cut off."},
        {"....2/...1./31.42/..3../..4..", Rule::local, Failure::boxedIn, 1, 13, 14,
         "Else 1 would be boxed in."},
        {"4.21./....1/....3/.432./.....", Rule::local, Failure::turnBeside, 2, 11, 12,
         "Else 2 and 4 could trade cells at row 0, col 1: two answers."},
        {"...../...3./1..2./....2/134.4", Rule::local, Failure::parallelPass, 2, 23, 33,
         "Else 2 could run the other way at row 2, col 3: two answers."},
        {"..3../.2.2./...43/1.1../4....", Rule::regions, Failure::unfilled, 1, 30, 20,
         "Else no pair could fill row 0, col 0."},
        {"2..31/...../45.31/..25./4....", Rule::regions, Failure::split, 1, 14, 13,
         "Else 1's ends would be walled apart."},
        {"....3/.2.../...34/12.4./.1...", Rule::regions, Failure::unbalanced, 2, 31, 32,
         "Else the cells round row 0, col 0 would not pair up light with dark."},
        {"..1.4/.2.../.3.3./..2../1...4", Rule::trial, Failure::unfilled, 1, 40, 41,
         "1 right fails: no pair could fill row 3, col 3."},
        {"4...../...13./....../..123./....4./2.....", Rule::nestedTrial, Failure::unbalanced, 2, 33,
         23,
         "2 up fails, trying on from there: the cells round row 1, col 0 would not pair "
         "up light with dark."},
    });
    for (const Example& example : examples) {
        const Reasoning reasoning = reasonOut(testing::boardFromText(example.rows));
        const auto found = std::ranges::find_if(reasoning.deductions, [&](const Deduction& d) {
            return d.rule == example.rule && d.failure == example.failure &&
                   d.pair == example.pair && d.from == example.from && d.to == example.to;
        });
        ASSERT_NE(found, reasoning.deductions.end()) << example.rows;
        EXPECT_EQ(reasonText(*found), example.words) << example.rows;
    }
    EXPECT_EQ(solutionRoutes(testing::boardFromText("1...1/2...2/3...3/4..../...4.")),
              std::nullopt);
}

} // namespace
} // namespace pairpath
