// Newton-Raphson solvers: the start values, the range and step tests of each iterate, and that a
// reported convergence is a solution of the equations.
#include "equilibrium/newton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "frozen_clock.h"
#include "equilibrium/eutectic.h"
#include "equilibrium/stability.h"
#include "equilibrium/two_phase.h"

namespace {

// Coefficients of the example system (a0, a1, b0, b1).
constexpr PhaseParameters LIQUID_MODEL = {-11713.844698, 2.851718, 3441.959325, -1.717574};
constexpr PhaseParameters BCC_MODEL = {11983.433124, -2.011936, -4057.015542, 2.095475};
constexpr PhaseParameters FCC_MODEL = {13986.689572, -2.947846, 5044.692460, -2.141900};

double drawn(int r) { return (r % 999 + 1.0) / 1000.0; }

class ClockTest : public testing::Test {
protected:
    void TearDown() override { frozenCalendarTime = FROZEN_CLOCK_START; }
};

TEST_F(ClockTest, RandomizeGuessReseedsFromTheClockAndMapsEachDraw)
{
    frozenCalendarTime = 1234567;
    Vector4 first{};
    Vector4 second{};
    randomizeGuess(first);
    randomizeGuess(second);
    EXPECT_EQ(first, second);  // the same second of the clock gives the same values

    std::srand(1234567);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(first[i], drawn(std::rand())) << i;
    EXPECT_EQ(drawn(0), 0.001);
    EXPECT_EQ(drawn(998), 0.999);
    EXPECT_EQ(drawn(999), 0.001);
    EXPECT_EQ(drawn(32767), 0.8);
}

TEST(JudgeIterate, ConvergesOnlyWhenEveryUnknownHasSettled)
{
    Vector4 guess = {0.2, 0.3, 0, 0};
    EXPECT_EQ(judgeIterate(guess, {0.7, 0.3000001, 0, 0}, 0, 2), Verdict::ACCEPTED);
    EXPECT_EQ(judgeIterate(guess, {0.2000001, 0.8, 0, 0}, 0, 2), Verdict::ACCEPTED);
    EXPECT_EQ(judgeIterate(guess, {0.2000001, 0.2999999, 0, 0}, 0, 2), Verdict::CONVERGED);
    EXPECT_EQ(guess, (Vector4{0.2, 0.3, 0, 0}));  // guess is the caller's to update
}

TEST(JudgeIterate, AStepOfExactlyTheToleranceHasConverged)
{
    // 2e-6 - 1e-6 is exactly the double 1e-6.
    Vector4 guess = {1e-6, 1e-6, 0, 0};
    EXPECT_EQ(judgeIterate(guess, {2e-6, 2e-6, 0, 0}, 0, 2), Verdict::CONVERGED);
    EXPECT_EQ(judgeIterate(guess, {std::nextafter(2e-6, 1.0), 2e-6, 0, 0}, 0, 2), Verdict::ACCEPTED);
}

TEST(JudgeIterate, EutecticTemperatureMustSettleButIsNeverRangeTested)
{
    Vector4 guess = {-300, 0.5, 0.9, 0.1};
    EXPECT_EQ(judgeIterate(guess, {-250, 0.5, 0.9, 0.1}, 1, 4), Verdict::ACCEPTED);
    EXPECT_EQ(judgeIterate(guess, {-300.0000001, 0.5, 0.9, 0.1}, 1, 4), Verdict::CONVERGED);
    EXPECT_EQ(judgeIterate(guess, {NAN, 0.5, 0.9, 0.1}, 1, 4), Verdict::ACCEPTED);
}

TEST(JudgeIterate, RejectsZeroOneAndNaNAndRedrawsTheCheckedEntriesInOrder)
{
    for (const double bad : {0.0, 1.0, std::nan(""), -0.5, 1.5}) {
        std::srand(77);
        Vector4 guess = {0.5, 0.5, 0.5, 0.5};
        EXPECT_EQ(judgeIterate(guess, {0.4, bad, 0.4, 0.4}, 0, 2), Verdict::REJECTED) << bad;
        std::srand(77);
        const double a = drawn(std::rand());
        const double b = drawn(std::rand());
        EXPECT_EQ(guess, (Vector4{a, b, 0.5, 0.5})) << bad;
    }
    std::srand(77);
    Vector4 guess = {900, 0.5, 0.5, 0.5};
    EXPECT_EQ(judgeIterate(guess, {850, 0.4, 0.4, 1.0}, 1, 4), Verdict::REJECTED);
    std::srand(77);
    const double a = drawn(std::rand());
    const double b = drawn(std::rand());
    const double c = drawn(std::rand());
    EXPECT_EQ(guess, (Vector4{900, a, b, c}));  // the temperature keeps its value
}

double largestResidual(PhasePair pair, double T, const Vector4& x, const PhaseParameters& first,
                       const PhaseParameters& second)
{
    Vector4 F{};
    twoPhaseResiduals(F, x, T, interactionCoefficients(first, T), interactionCoefficients(second, T), pair);
    return std::fmax(std::fabs(F[0]), std::fabs(F[1]));
}

TEST(SolveTwoPhase, ConvergedRowsOfASweepSolveTheEquations)
{
    std::srand(5);
    Vector4 guess = {0.3, 0.8, 0, 0};
    Vector4 result{};
    int converged = 0;
    for (int T = 600; T < 1000; T += 7) {
        const int count = solveTwoPhase(T, guess, result, 2, LIQUID_MODEL, BCC_MODEL, LIQUID_BCC);
        ASSERT_GE(count, 1);
        ASSERT_LE(count, ITERATION_LIMIT);
        if (count < ITERATION_LIMIT) {
            ++converged;
            EXPECT_LT(largestResidual(LIQUID_BCC, T, result, LIQUID_MODEL, BCC_MODEL), 1e-3) << T;
        }
        guess[0] = result[0];
        guess[1] = result[1];
    }
    EXPECT_GT(converged, 40);
}

TEST(SolveTwoPhase, StartingFromASolutionConvergesInTheFirstIteration)
{
    std::srand(11);
    Vector4 guess = {0.5, 0.9, 0, 0};
    Vector4 result{};
    ASSERT_LT(solveTwoPhase(750, guess, result, 2, LIQUID_MODEL, FCC_MODEL, LIQUID_FCC), ITERATION_LIMIT);
    const Vector4 solution = result;
    guess = solution;
    EXPECT_EQ(solveTwoPhase(750, guess, result, 2, LIQUID_MODEL, FCC_MODEL, LIQUID_FCC), 1);
    EXPECT_EQ(guess, solution);
    EXPECT_NEAR(result[0], solution[0], 1e-12);
    EXPECT_NEAR(result[1], solution[1], 1e-12);
}

TEST(SolveTwoPhase, RecoversFromAStartThatIsNotANumber)
{
    std::srand(3);
    Vector4 guess = {NAN, NAN, 0, 0};
    Vector4 result{};
    const int count = solveTwoPhase(1000, guess, result, 2, BCC_MODEL, FCC_MODEL, BCC_FCC);
    EXPECT_GT(count, 1);
    ASSERT_LT(count, ITERATION_LIMIT);
    EXPECT_LT(largestResidual(BCC_FCC, 1000, result, BCC_MODEL, FCC_MODEL), 1e-3);
}

TEST_F(ClockTest, SolveEutecticStartsFromItsOwnValuesAndSolvesAllFourEquations)
{
    Vector4 guess = {0.1, 0.2, 0.3, 0.4};
    Vector4 result{};
    const int count = solveEutectic(guess, result, 4, LIQUID_MODEL, BCC_MODEL, FCC_MODEL);
    ASSERT_LT(count, ITERATION_LIMIT);

    Vector4 otherGuess = {-5, NAN, 7, 2};
    Vector4 otherResult{};
    EXPECT_EQ(solveEutectic(otherGuess, otherResult, 4, LIQUID_MODEL, BCC_MODEL, FCC_MODEL), count);
    EXPECT_EQ(otherResult, result);

    const double T = result[0];
    Vector4 F{};
    eutecticResiduals(F, result, interactionCoefficients(LIQUID_MODEL, T), interactionCoefficients(BCC_MODEL, T),
                      interactionCoefficients(FCC_MODEL, T));
    for (int i = 0; i < 4; ++i) EXPECT_LT(std::fabs(F[i]), 1e-3) << i;
}

// A model with a stable eutectic at 761.30 K and three-phase roots near 200 K that FCC undercuts
// by thousands of J/mol; from about half of the clock's seconds Newton's method reaches one of
// those first. A root that is not stable must never be returned as converged.
constexpr PhaseParameters TWO_ROOT_MODEL[3] = {
    {-14747.8, 2.2993, 4038.3, -1.6246},
    {15263.0, -1.4485, -4862.0, 2.4434},
    {15846.2, -2.4755, 5189.7, -2.0234},
};

TEST_F(ClockTest, SolveEutecticConvergesOnlyToTheStableRoot)
{
    int converged = 0;
    for (std::time_t t = FROZEN_CLOCK_START; t < FROZEN_CLOCK_START + 40; ++t) {
        frozenCalendarTime = t;
        Vector4 guess{};
        Vector4 result{};
        if (solveEutectic(guess, result, 4, TWO_ROOT_MODEL[LIQUID], TWO_ROOT_MODEL[BCC], TWO_ROOT_MODEL[FCC]) ==
            ITERATION_LIMIT)
            continue;
        ++converged;
        EXPECT_NEAR(result[0], 761.3026, 1e-4) << "clock " << t;
        EXPECT_TRUE(isStableEutectic(TWO_ROOT_MODEL, result)) << "clock " << t;
    }
    EXPECT_GE(converged, 25);
}

}  // namespace
