// Chemical potentials from a phase's curve at one temperature: for the built-in model they are
// those of its own formulas, down to compositions of 1e-9; for a Redlich-Kister series of order
// 4 they satisfy Gibbs-Duhem and match differences of the Gibbs energy in x, in s and in T.
#include "equilibrium/log_ratio.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_data.h"

namespace {

TEST(PhaseCurve, GivesTheBuiltInModelsPotentials)
{
    for (int p = LIQUID; p <= FCC; ++p)
        for (const double T : {400.0, 1200.0})
            for (const double s : {-20.0, -3.0, 0.0, 2.5, 18.0}) {
                const auto phase = static_cast<PhaseIndex>(p);
                const Composition z = composition(s);
                const Potentials own = potentials(phase, interactionCoefficients(GENERATED_MODEL[p], T), z, T);
                const PhaseCurve curve = builtInCurve(phase, GENERATED_MODEL[p], T);
                const Potentials fromCurve = potentials(curve, z, T);
                EXPECT_NEAR(fromCurve.muA, own.muA, 1e-9 * std::fabs(own.muA) + 1e-9) << p << " " << T << " " << s;
                EXPECT_NEAR(fromCurve.muB, own.muB, 1e-9 * std::fabs(own.muB) + 1e-9) << p << " " << T << " " << s;
                EXPECT_NEAR(fromCurve.dmuA, own.dmuA, 1e-9 * std::fabs(own.dmuA) + 1e-9) << p << " " << T << " " << s;
                EXPECT_NEAR(fromCurve.dmuB, own.dmuB, 1e-9 * std::fabs(own.dmuB) + 1e-9) << p << " " << T << " " << s;
                double dA[2];
                double dB[2];
                potentialSlopesInT(phase, GENERATED_MODEL[p], z, dA[0], dB[0]);
                potentialSlopesInT(curve, z, dA[1], dB[1]);
                EXPECT_NEAR(dA[1], dA[0], 1e-9 * std::fabs(dA[0]) + 1e-9);
                EXPECT_NEAR(dB[1], dB[0], 1e-9 * std::fabs(dB[0]) + 1e-9);
                double G = 0;
                double slope = 0;
                curveGibbsEnergy(curve, z.x, T, G, slope);
                if (std::fabs(s) < 5) {
                    EXPECT_NEAR(G, gibbsEnergy(phase, interactionCoefficients(GENERATED_MODEL[p], T), z.x, T), 1e-8);
                }
            }
}

// A curve of order 4 whose coefficients move linearly with T.
PhaseCurve curveAt(double T)
{
    const double L0[5] = {-8000, 3000, -1500, 700, -300};
    const double slope[5] = {2.5, -1.25, 0.5, -0.75, 0.25};
    PhaseCurve curve{8.31451, {-5000 - 40 * (T - 800), 2000 - 55 * (T - 800)}, {-40, -55}, 5, {}, {}};
    for (int k = 0; k < 5; ++k) {
        curve.L[k] = L0[k] + slope[k] * (T - 800);
        curve.LSlope[k] = slope[k];
    }
    return curve;
}

TEST(PhaseCurve, PotentialsOfAHigherOrderSeriesAreThoseOfItsGibbsEnergy)
{
    const double T = 800;
    const PhaseCurve curve = curveAt(T);
    for (const double x : {1e-6, 0.07, 0.35, 0.5, 0.81, 1 - 1e-6}) {
        const Composition z = composition(logRatio(x));
        const Potentials mu = potentials(curve, z, T);
        double G = 0;
        double slope = 0;
        curveGibbsEnergy(curve, z.x, T, G, slope);
        EXPECT_NEAR(mu.muA, G - z.x * slope, 1e-7 * std::fabs(G)) << x;
        EXPECT_NEAR(mu.muB, G + z.rest * slope, 1e-7 * std::fabs(G)) << x;
        // Gibbs-Duhem: (1 - x) dmuA + x dmuB = 0.
        EXPECT_NEAR(z.rest * mu.dmuA + z.x * mu.dmuB, 0, 1e-9 * (std::fabs(mu.dmuA) + std::fabs(mu.dmuB))) << x;
        // The derivatives in s and in T against central differences.
        const double h = 1e-5;
        const Potentials up = potentials(curve, composition(z.s + h), T);
        const Potentials down = potentials(curve, composition(z.s - h), T);
        EXPECT_NEAR(mu.dmuA, (up.muA - down.muA) / (2 * h), 1e-5 * (std::fabs(mu.dmuA) + 1)) << x;
        EXPECT_NEAR(mu.dmuB, (up.muB - down.muB) / (2 * h), 1e-5 * (std::fabs(mu.dmuB) + 1)) << x;
        double dA = 0;
        double dB = 0;
        potentialSlopesInT(curve, z, dA, dB);
        const Potentials hotter = potentials(curveAt(T + 1e-3), z, T + 1e-3);
        const Potentials colder = potentials(curveAt(T - 1e-3), z, T - 1e-3);
        EXPECT_NEAR(dA, (hotter.muA - colder.muA) / 2e-3, 1e-5 * (std::fabs(dA) + 1)) << x;
        EXPECT_NEAR(dB, (hotter.muB - colder.muB) / 2e-3, 1e-5 * (std::fabs(dB) + 1)) << x;
    }
}

}  // namespace
