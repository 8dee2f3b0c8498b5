// The stable diagram against what is known without it: the melting points from the pure terms,
// the dilute limits (Henry's law and van 't Hoff's), a brute-force scan of the curves for which
// tangents are stable, and the boundary temperature against the tie-line solved at that
// temperature, on both pairs and both sides, down to compositions of 1e-9 from either end.
#include "equilibrium/stable_diagram.h"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/tie_line_newton.h"
#include "model_data.h"

namespace {

const PhaseParameters (&MODEL)[3] = GENERATED_MODEL;

StableDiagram& diagram() { return generatedDiagram(); }

// The lowest any curve lies below the tangent through the first phase's point of the tie-line,
// on 200001 equally spaced compositions: no log-ratios, no refinement.
double bruteForceDeficit(PhasePair pair, double T, const TieLine& line)
{
    const PhaseIndex p = firstPhase(pair);
    const double x1 = line.x[0];
    const double x2 = line.x[1];
    const double g1 = gibbsEnergy(p, interactionCoefficients(MODEL[p], T), x1, T);
    const double g2 = gibbsEnergy(secondPhase(pair), interactionCoefficients(MODEL[secondPhase(pair)], T), x2, T);
    const double slope = (g2 - g1) / (x2 - x1);
    double lowest = INFINITY;
    for (int r = LIQUID; r <= FCC; ++r)
        for (int k = 1; k < 200001; ++k) {
            const double x = k / 200001.0;
            const double g = gibbsEnergy(static_cast<PhaseIndex>(r), interactionCoefficients(MODEL[r], T), x, T);
            lowest = std::fmin(lowest, g - (g1 + slope * (x - x1)));
        }
    return lowest;
}

TEST(StableDiagram, PureComponentsMeltWhereTheirPureTermsCross)
{
    // Pure A: liquid 15000 - 10 T above FCC; pure B: liquid 16250 - 12.5 T above BCC.
    EXPECT_NEAR(diagram().melting[0].T, 1500.0, 1e-9);
    EXPECT_EQ(diagram().melting[0].solid, FCC);
    EXPECT_NEAR(diagram().melting[1].T, 1300.0, 1e-9);
    EXPECT_EQ(diagram().melting[1].solid, BCC);
}

TEST(StableDiagram, DiluteTieLinesFollowTheLimitingLaws)
{
    const double R = GAS_CONSTANT;
    // 0.01 K below pure A's melting point: x(Liquid) - x(FCC) = (G_A(L) - G_A(FCC)) / RT and
    // x(FCC) / x(Liquid) = exp((G_B(L) - G_B(FCC) + L0(L) - L0(FCC)) / RT), to first order in x.
    double T = 1500 - 0.01;
    TieLine line{};
    ASSERT_TRUE(stableTieLine(diagram(), LIQUID_FCC, T, nullptr, line));
    const double gap = (15000 - 10 * T) / (R * T);
    EXPECT_NEAR((line.x[0] - line.x[1]) / gap, 1, 1e-3);
    const double L0L = MODEL[LIQUID].a0 + MODEL[LIQUID].a1 * T;
    const double L0F = MODEL[FCC].a0 + MODEL[FCC].a1 * T;
    EXPECT_NEAR(line.x[1] / line.x[0] / std::exp(((16250 - 12.5 * T) - 7500 + L0L - L0F) / (R * T)), 1, 1e-3);

    // The same 0.01 K below pure B's, where 1 - x is the dilute one and BCC the solid.
    T = 1300 - 0.01;
    ASSERT_TRUE(stableTieLine(diagram(), LIQUID_BCC, T, nullptr, line));
    EXPECT_NEAR(((1 - line.x[0]) - (1 - line.x[1])) / ((16250 - 12.5 * T) / (R * T)), 1, 1e-3);

    // At 150 K the BCC/FCC solvus: FCC holds B by Henry's law against nearly pure BCC,
    // ln x = (G_B(BCC) - G_B(FCC) - L0(FCC)) / RT, and BCC holds A against nearly pure FCC,
    // ln(1 - x) = (G_A(FCC) - G_A(BCC) - L0(BCC) - L1(BCC)) / RT.
    T = 150;
    ASSERT_TRUE(stableTieLine(diagram(), BCC_FCC, T, nullptr, line));
    const InteractionCoefficients cF = interactionCoefficients(MODEL[FCC], T);
    const InteractionCoefficients cB = interactionCoefficients(MODEL[BCC], T);
    EXPECT_NEAR(std::log(line.x[1]) / ((-7500 - cF.L0) / (R * T)), 1, 1e-6);
    EXPECT_NEAR(std::log1p(-line.x[0]) / ((-10000 - cB.L0 - cB.L1) / (R * T)), 1, 1e-6);
    EXPECT_LT(line.x[1], 1e-6);
}

TEST(StableDiagram, StableTangentsHaveNoCurveBelowThemAndOthersDo)
{
    for (const double T : {300.0, 700.0, 900.0, 1200.0}) {
        for (int t = 0; t < 3; ++t) {
            const auto pair = static_cast<PhasePair>(t + 1);
            TieLine stable[4];
            const int n = stableTieLines(diagram(), pair, T, stable, 4);
            for (int i = 0; i < n; ++i) EXPECT_GT(bruteForceDeficit(pair, T, stable[i]), -1e-3) << T << " " << t;
            // Every other root of the pair's equations has a curve clearly below its tangent.
            double roots[16][2];
            const int m = pairRoots(MODEL, pair, T, roots, 16);
            for (int i = 0; i < m; ++i) {
                const TieLine root = tieLineOf(roots[i][0], roots[i][1]);
                bool isStable = false;
                for (int j = 0; j < n; ++j) isStable = isStable || std::fabs(root.x[0] - stable[j].x[0]) < 1e-9;
                if (!isStable) {
                    EXPECT_LT(bruteForceDeficit(pair, T, root), -1e-3) << T << " " << t << " " << root.x[0];
                }
            }
        }
    }
    // Above the eutectic the liquid lies between the solids and BCC/FCC is no stable pair; below it
    // the liquid has no stable boundary.
    TieLine line{};
    const double TE = diagram().eutectic[0];
    EXPECT_FALSE(stableTieLine(diagram(), BCC_FCC, TE + 5, nullptr, line));
    EXPECT_FALSE(stableTieLine(diagram(), LIQUID_FCC, TE - 5, nullptr, line));
    EXPECT_FALSE(stableTieLine(diagram(), LIQUID_BCC, TE - 5, nullptr, line));
    EXPECT_TRUE(stableTieLine(diagram(), BCC_FCC, TE - 5, nullptr, line));
}

TEST(StableDiagram, TheEutecticIsWhereTheThreeBoundariesMeet)
{
    const Vector4& e = diagram().eutectic;
    ASSERT_TRUE(diagram().haveEutectic);
    // Just above it the two liquid boundaries end at the eutectic's compositions.
    TieLine fcc{};
    TieLine bcc{};
    ASSERT_TRUE(stableTieLine(diagram(), LIQUID_FCC, e[0] + 1e-4, nullptr, fcc));
    ASSERT_TRUE(stableTieLine(diagram(), LIQUID_BCC, e[0] + 1e-4, nullptr, bcc));
    EXPECT_NEAR(fcc.x[0], e[1], 1e-5);
    EXPECT_NEAR(bcc.x[0], e[1], 1e-5);
    EXPECT_NEAR(fcc.x[1], e[3], 1e-5);
    EXPECT_NEAR(bcc.x[1], e[2], 1e-5);
}

TEST(StableDiagram, BoundaryTemperatureIsWhereTheTieLineHasThatComposition)
{
    struct Case {
        PhasePair pair;
        int side;
        double x;
    };
    const Case cases[] = {
        {LIQUID_FCC, 0, 0.3},       {LIQUID_FCC, 0, 1e-9},     {LIQUID_FCC, 1, 0.02},     {LIQUID_FCC, 1, 1e-9},
        {LIQUID_BCC, 0, 0.8},       {LIQUID_BCC, 0, 1 - 1e-9}, {LIQUID_BCC, 1, 0.97},     {LIQUID_BCC, 1, 1 - 1e-9},
        {BCC_FCC, 0, 0.95},         {BCC_FCC, 0, 1 - 1e-9},    {BCC_FCC, 1, 0.01},        {BCC_FCC, 1, 1e-9},
    };
    for (const Case& c : cases) {
        double T = 0;
        TieLine line{};
        double range[2];
        ASSERT_EQ(boundaryTemperature(diagram(), c.pair, c.side, c.x, NAN, T, line, range), Reach::FOUND)
            << c.pair << " " << c.side << " " << c.x;
        // Solved again at that temperature, with the composition free, the tie-line has it.
        TieLine again{};
        ASSERT_TRUE(stableTieLine(diagram(), c.pair, T, nullptr, again)) << T;
        // In log-ratios: the relative difference of the dilute component's mole fraction (a
        // dilute liquid within 1e-6 K of a melting point is proportional to the distance from it,
        // which T, a number near 1300, holds to about 1e-13 K).
        EXPECT_NEAR(again.s[c.side], logRatio(c.x), 1e-6) << c.pair << " " << c.side << " " << c.x << " at " << T;
        // And within 0.01 K of a melting point for the dilute liquids.
        if (c.pair != BCC_FCC && (c.x < 1e-8 || c.x > 1 - 1e-8)) {
            EXPECT_LT(diagram().melting[c.x < 0.5 ? 0 : 1].T - T, 0.01) << T;
            EXPECT_GT(diagram().melting[c.x < 0.5 ? 0 : 1].T - T, 0) << T;
        }
    }
    // Compositions a side never takes, with the range it does take: from a pure end (the melting
    // points, and BCC/FCC's solvus at 10 K) to its composition at the eutectic.
    const Vector4& e = diagram().eutectic;
    struct Never {
        PhasePair pair;
        int side;
        double low;
        double high;
    };
    for (const Never& c : {Never{LIQUID_FCC, 0, 0, e[1]}, Never{LIQUID_FCC, 1, 0, e[3]}, Never{LIQUID_BCC, 0, e[1], 1},
                           Never{LIQUID_BCC, 1, e[2], 1}, Never{BCC_FCC, 0, e[2], 1}, Never{BCC_FCC, 1, 0, e[3]}}) {
        double T = 0;
        TieLine line{};
        double range[2];
        const double x = c.low > 0 ? c.low / 2 : (1 + c.high) / 2;
        EXPECT_EQ(boundaryTemperature(diagram(), c.pair, c.side, x, NAN, T, line, range), Reach::NEVER) << c.pair << c.side;
        EXPECT_NEAR(range[0], c.low, 1e-9) << c.pair << " " << c.side;
        EXPECT_NEAR(range[1], c.high, 1e-9) << c.pair << " " << c.side;
    }
}

// Stability changes at the eutectic to the thousandth of a kelvin: there the metastable
// tangent lies a few mJ/mol above a curve, between the points of the grid.
TEST(StableDiagram, TheLiquidBoundariesEndAndTheSolvusBeginsAtTheEutectic)
{
    const double TE = diagram().eutectic[0];
    TieLine line{};
    for (const PhasePair pair : {LIQUID_FCC, LIQUID_BCC}) {
        EXPECT_TRUE(stableTieLine(diagram(), pair, TE + 1e-3, nullptr, line)) << pair;
        EXPECT_FALSE(stableTieLine(diagram(), pair, TE - 1e-3, nullptr, line)) << pair;
    }
    EXPECT_TRUE(stableTieLine(diagram(), BCC_FCC, TE - 1e-3, nullptr, line));
    EXPECT_FALSE(stableTieLine(diagram(), BCC_FCC, TE + 1e-3, nullptr, line));
}

}  // namespace
