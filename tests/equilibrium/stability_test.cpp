// The stability of tie-lines: the common-tangent test must agree with the lower convex hull of
// the Gibbs energy curves, which is an independent construction of the same equilibria.
#include "equilibrium/stability.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace
