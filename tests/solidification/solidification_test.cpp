// The solidification paths: the liquidus and solidus solved directly lie where the stable
// tie-lines say, and the Scheil integral along the tie-lines agrees with the same integral taken
// in the liquid's composition, and with itself at half the step.
#include "solidification/solidification.h"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/boundary_temperature.h"
#include "equilibrium/stable_solves.h"
#include "model_data.h"

namespace {

const PhaseParameters (&MODEL)[3] = GENERATED_MODEL;

StableDiagram& diagram() { return generatedDiagram(); }

// The Scheil fraction solid of each row of `coarse` and of the row of `fine` at the same
// temperature (a path at half the step) agree to 1e-10.
void expectTheSameScheilFractions(const SolidificationPath& coarse, const SolidificationPath& fine)
{
    std::size_t j = 0;
    for (const PathRow& row : coarse.rows) {
        while (j < fine.rows.size() && fine.rows[j].T > row.T) ++j;
        ASSERT_LT(j, fine.rows.size());
        if (std::isfinite(row.fsScheil)) {
            EXPECT_NEAR(row.fsScheil, fine.rows[j].fsScheil, 1e-10) << row.T;
        }
    }
}

TEST(Solidify, LiquidusAndSolidusLieOnTheStableTieLines)
{
    for (const double x0 : {0.3, 0.97}) {
        SolidificationPath path;
        ErrorText error{};
        ASSERT_TRUE(solidify(diagram(), x0, {1700, 700, 0.5}, nullptr, path, error)) << error.text;
        GibbsCurves curves;
        Vector4 atLiquidus{};
        const PhasePair pair = path.primary == FCC ? LIQUID_FCC : LIQUID_BCC;
        ASSERT_TRUE(solveStableTieLine(MODEL, pair, path.liquidus, nullptr, atLiquidus, curves));
        EXPECT_NEAR(atLiquidus[0], x0, 1e-8) << x0;  // the liquid of the liquidus is the alloy
        if (!path.eutecticReached) {
            Vector4 atSolidus{};
            ASSERT_TRUE(solveStableTieLine(MODEL, pair, path.solidus, nullptr, atSolidus, curves));
            EXPECT_NEAR(atSolidus[1], x0, 1e-8) << x0;  // the solid of the solidus is the alloy
            EXPECT_GT(path.solidus, path.eutectic[0]);
        }
        // The equilibrium path's fraction solid is the lever rule's.
        for (const PathRow& row : path.rows) {
            if (std::isfinite(row.xLiquidEquilibrium) && std::isfinite(row.xSolidEquilibrium)) {
                EXPECT_NEAR(row.fsEquilibrium * row.xSolidEquilibrium + (1 - row.fsEquilibrium) * row.xLiquidEquilibrium,
                            x0, 1e-12);
            }
        }
    }
}

TEST(Solidify, TheScheilFractionIsAccurateToTenDigitsAtHalfAKelvin)
{
    const double x0 = 0.3;
    SolidificationPath coarse;
    SolidificationPath fine;
    ErrorText error{};
    ASSERT_TRUE(solidify(diagram(), x0, {1700, 700, 0.5}, nullptr, coarse, error)) << error.text;
    ASSERT_TRUE(solidify(diagram(), x0, {1700, 700, 0.25}, nullptr, fine, error)) << error.text;
    expectTheSameScheilFractions(coarse, fine);

    // The same integral, of dx / (x - xS(x)) from x0 to the eutectic liquid, taken by Simpson's
    // rule on 2000 equal steps of the liquid's composition, with xS from the boundary solved at
    // each composition.
    const PhasePair pair = coarse.primary == FCC ? LIQUID_FCC : LIQUID_BCC;
    const double xE = coarse.eutectic[1];
    const int steps = 2000;
    double sum = 0;
    Vector4 start = {coarse.liquidus, coarse.liquidusTieLine.x[1], 0, 0};
    for (int k = 0; k <= steps; ++k) {
        const double x = x0 + (xE - x0) * k / steps;
        Vector4 solution{};
        ASSERT_LT(solveBoundaryTemperature(MODEL, pair, 0, x, start, solution), 100) << x;
        start = solution;
        const double weight = k == 0 || k == steps ? 1 : k % 2 == 1 ? 4 : 2;
        sum += weight / (x - solution[1]);
    }
    const double integral = sum * (xE - x0) / steps / 3;
    EXPECT_NEAR(coarse.eutecticScheil, std::exp(-integral), 1e-9);
}

}  // namespace

namespace {

// A dilute alloy, 0.2 % of Ps in Ks: the liquid's composition runs fastest just below the
// liquidus, where the integrand grows as 1 / (1 - x). Halving the step changes nothing, and the
// same integral in u = ln(1 - x) on 4000 Simpson steps, with xS from the boundary solved in mole
// fractions at each composition, agrees.
TEST(Solidify, TheScheilFractionOfADiluteAlloyIsAccurateToTenDigits)
{
    const double x0 = 0.998;
    SolidificationPath coarse;
    SolidificationPath fine;
    ErrorText error{};
    ASSERT_TRUE(solidify(diagram(), x0, {1400, 700, 0.5}, nullptr, coarse, error)) << error.text;
    ASSERT_TRUE(solidify(diagram(), x0, {1400, 700, 0.25}, nullptr, fine, error)) << error.text;
    ASSERT_EQ(coarse.primary, BCC);
    expectTheSameScheilFractions(coarse, fine);

    const double u0 = std::log1p(-x0);
    const double uE = std::log1p(-coarse.eutectic[1]);
    const int steps = 4000;
    double sum = 0;
    Vector4 start = {coarse.liquidus, coarse.liquidusTieLine.x[1], 0, 0};
    for (int k = 0; k <= steps; ++k) {
        const double u = u0 + (uE - u0) * k / steps;
        const double x = -std::expm1(u);
        Vector4 solution{};
        ASSERT_LT(solveBoundaryTemperature(GENERATED_MODEL, LIQUID_BCC, 0, x, start, solution), 100) << x;
        start = solution;
        const double weight = k == 0 || k == steps ? 1 : k % 2 == 1 ? 4 : 2;
        sum += weight * -std::exp(u) / (x - solution[1]);  // dx = -(1 - x) du
    }
    const double integral = sum * (uE - u0) / steps / 3;
    EXPECT_NEAR(coarse.eutecticScheil, std::exp(-integral), 1e-9);
}

}  // namespace
