// Newton's method in log-ratios, with the temperature free, against the tie-lines solved at a
// fixed temperature: on all three pairs, with either side held, and for the three-phase
// equilibrium against the eutectic solved in mole fractions.
#include "equilibrium/tie_line_newton.h"

#include <gtest/gtest.h>

#include "equilibrium/log_ratio.h"
#include "equilibrium/stable_solves.h"
#include "model_data.h"

namespace {

const PhaseParameters (&MODEL)[3] = GENERATED_MODEL;

// The stable tie-line of the pair at T, solved in mole fractions, then again in log-ratios at the
// same fixed temperature; no temperature derivative enters either.
void fixedTemperatureTieLine(PhasePair pair, double T, double (&s)[2])
{
    GibbsCurves curves;
    Vector4 x{};
    ASSERT_TRUE(solveStableTieLine(MODEL, pair, T, nullptr, x, curves)) << pair << " at " << T;
    s[0] = logRatio(x[0]);
    s[1] = logRatio(x[1]);
    ASSERT_TRUE(solveTieLine(MODEL, pair, T, s));
    EXPECT_NEAR(composition(s[0]).x, x[0], 1e-6);
}

TEST(TieLineNewton, WithOneSideHeldFindsTheTemperatureOfThatComposition)
{
    struct Case {
        PhasePair pair;
        double T;
    };
    for (const Case c : {Case{LIQUID_FCC, 1000}, Case{LIQUID_FCC, 1400}, Case{LIQUID_BCC, 900}, Case{LIQUID_BCC, 1200},
                         Case{BCC_FCC, 450}, Case{BCC_FCC, 780}}) {
        double s[2];
        fixedTemperatureTieLine(c.pair, c.T, s);
        double sStart[2];
        fixedTemperatureTieLine(c.pair, c.T - 15, sStart);
        for (int side = 0; side < 2; ++side) {
            // Started 15 K below, from the other side's composition there.
            double T = c.T - 15;
            double sOther = sStart[1 - side];
            ASSERT_TRUE(solveTieLineTemperature(MODEL, c.pair, side, s[side], T, sOther))
                << c.pair << " side " << side << " at " << c.T;
            EXPECT_NEAR(T, c.T, 1e-7) << c.pair << " side " << side;
            EXPECT_NEAR(sOther, s[1 - side], 1e-9) << c.pair << " side " << side;
        }
    }
}

TEST(TieLineNewton, PolishesAThreePhaseEquilibriumToTheEutectic)
{
    Vector4 eutectic{};
    ASSERT_TRUE(solveStableEutectic(MODEL, eutectic));
    Vector4 start = {eutectic[0] + 3, eutectic[1] + 0.01, eutectic[2] - 0.01, eutectic[3] + 0.005};
    ASSERT_TRUE(polishEutectic(MODEL, start));
    // Both liquid tie-lines at the polished temperature end at its compositions.
    for (const PhasePair pair : {LIQUID_BCC, LIQUID_FCC}) {
        double s[2] = {logRatio(start[1]), logRatio(start[pair == LIQUID_BCC ? 2 : 3])};
        const double before[2] = {s[0], s[1]};
        ASSERT_TRUE(solveTieLine(MODEL, pair, start[0], s));
        EXPECT_NEAR(s[0], before[0], 1e-9) << pair;
        EXPECT_NEAR(s[1], before[1], 1e-9) << pair;
    }
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(start[k], eutectic[k], k == 0 ? 1e-5 : 1e-7) << k;
}

}  // namespace
