// The stability of tie-lines: the common-tangent test must agree with the lower convex hull of
// the Gibbs energy curves, which is an independent construction of the same equilibria.
#include "equilibrium/stability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "equilibrium/newton.h"
#include "plot/phase_diagram.h"

namespace {

// The example system's model, a simple eutectic at about 824 K.
constexpr PhaseParameters MODEL[3] = {
    {-11713.844698, 2.851718, 3441.959325, -1.717574},
    {11983.433124, -2.011936, -4057.015542, 2.095475},
    {13986.689572, -2.947846, 5044.692460, -2.141900},
};

// A converged tie-line of the pair at T, started close to the root of the diagram.
Vector4 tieLine(PhasePair pair, double T, double x0, double x1)
{
    std::srand(1);
    Vector4 guess = {x0, x1, 0, 0};
    Vector4 result{};
    const PhaseParameters& first = MODEL[pair == BCC_FCC ? BCC : LIQUID];
    const PhaseParameters& second = MODEL[pair == LIQUID_BCC ? BCC : FCC];
    EXPECT_LT(solveTwoPhase(T, guess, result, 2, first, second, pair), ITERATION_LIMIT);
    return result;
}

TEST(StableTieLine, AgreesWithTheLowerConvexHull)
{
    struct Case {
        PhasePair pair;
        double T;
        double x0, x1;
        bool stable;  // as the diagram of this model shows it
    };
    const Case cases[] = {
        {LIQUID_FCC, 1000, 0.37, 0.05, true},   // liquidus and solidus above the eutectic
        {LIQUID_BCC, 1100, 0.73, 0.95, true},
        {BCC_FCC, 700, 0.95, 0.04, true},       // the two solids below it
        {LIQUID_FCC, 750, 0.58, 0.08, false},   // a liquid below the eutectic: BCC undercuts
        {BCC_FCC, 1000, 0.9, 0.1, false},       // the solids above it: the liquid undercuts
    };
    GibbsCurves curves;
    for (const Case& c : cases) {
        const Vector4 x = tieLine(c.pair, c.T, c.x0, c.x1);
        gibbsCurves(MODEL, c.T, curves);
        const PhaseIndex p = firstPhase(c.pair);
        const PhaseIndex q = secondPhase(c.pair);
        EXPECT_EQ(isStableTieLine(curves, p, x[0], q, x[1]), c.stable) << c.pair << " at " << c.T;

        std::vector<StableState> states;
        stableStates(curves, {(x[0] + x[1]) / 2}, states);
        const bool hullSays = (states[0].first == p && states[0].second == q) ||
                              (states[0].first == q && states[0].second == p);
        EXPECT_EQ(hullSays, c.stable) << c.pair << " at " << c.T;
    }
}

TEST(StableTieLine, ALineThatIsNoCommonTangentIsNotStable)
{
    GibbsCurves curves;
    gibbsCurves(MODEL, 1000, curves);
    EXPECT_FALSE(isStableTieLine(curves, LIQUID, 0.45, FCC, 0.05));  // the liquid dips below it
}

TEST(StableEutectic, IsStableAtItsOwnTemperature)
{
    std::srand(1);
    Vector4 guess{};
    Vector4 result{};
    ASSERT_LT(solveEutectic(guess, result, 4, MODEL[LIQUID], MODEL[BCC], MODEL[FCC]), ITERATION_LIMIT);
    EXPECT_NEAR(result[0], 823.66, 0.01);
    EXPECT_TRUE(isStableEutectic(MODEL, {true, result[0], result[1], result[2], result[3], 5}));
}

// The test of a tie-line at T looks only near the minima of each curve's height above the line;
// the full scan of the stored curves visits every grid point. Their verdicts must agree: on
// random lines of random models (with miscibility gaps, so curves with two minima), on the
// lower hull's tie-lines moved by a little, and on the eutectic's line within 0.05 K of it, where
// the liquid dips to about the tolerance below the line.
TEST(StableTieLine, TheSearchNearTheMinimaGivesTheVerdictOfTheFullScan)
{
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double a, double b) { return a + (b - a) * unit(random); };
    GibbsCurves curves;
    std::vector<HullTieLine> hull;
    int verdicts[2] = {0, 0};
    for (int i = 0; i < 300; ++i) {
        PhaseParameters model[3];
        for (PhaseParameters& m : model)
            m = {between(-20000, 30000), between(-5, 5), between(-15000, 15000), between(-5, 5)};
        const double T = between(300, 1800);
        gibbsCurves(model, T, curves);
        for (int j = 0; j < 3; ++j) {
            const auto p = static_cast<PhaseIndex>(j);
            const auto q = static_cast<PhaseIndex>((j + 1 + i) % 3);
            const double x1 = between(0.001, 0.999);
            const double x2 = between(0.001, 0.999);
            const bool full = isStableTieLine(curves, p, x1, q, x2);
            EXPECT_EQ(isStableTieLine(model, T, p, x1, q, x2), full) << i << " " << j;
            ++verdicts[full];
        }
        hullTieLines(curves, hull);
        for (const HullTieLine& line : hull) {
            const double x1 = std::clamp(line.xLeft + between(-2e-3, 2e-3), 1e-4, 1 - 1e-4);
            const double x2 = std::clamp(line.xRight + between(-2e-3, 2e-3), 1e-4, 1 - 1e-4);
            const bool full = isStableTieLine(curves, line.left, x1, line.right, x2);
            EXPECT_EQ(isStableTieLine(model, T, line.left, x1, line.right, x2), full) << i << " hull";
            ++verdicts[full];
        }
    }
    std::srand(1);
    Vector4 guess{};
    Vector4 e{};
    ASSERT_LT(solveEutectic(guess, e, 4, MODEL[LIQUID], MODEL[BCC], MODEL[FCC]), ITERATION_LIMIT);
    for (int i = 0; i < 200; ++i) {
        const double T = e[0] + between(-0.05, 0.05);
        gibbsCurves(MODEL, T, curves);
        const bool full = isStableTieLine(curves, FCC, e[3], BCC, e[2]);
        EXPECT_EQ(isStableTieLine(MODEL, T, FCC, e[3], BCC, e[2]), full) << T;
        ++verdicts[full];
    }
    EXPECT_GT(verdicts[0], 100);
    EXPECT_GT(verdicts[1], 100);
}

}  // namespace
