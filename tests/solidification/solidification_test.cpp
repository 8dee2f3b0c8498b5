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

// The eutectic solved in mole fractions.
Vector4 eutecticOfTheModel()
{
    Vector4 e{};
    EXPECT_TRUE(solveStableEutectic(MODEL, e));
    return e;
}

// The stable tie-line of the pair at T, solved in mole fractions.
Vector4 tieLine(PhasePair pair, double T)
{
    GibbsCurves curves;
    Vector4 x{};
    EXPECT_TRUE(solveStableTieLine(MODEL, pair, T, nullptr, x, curves)) << pair << " at " << T;
    return x;
}

// Alloys on each kind of path: FCC first and BCC first, each either reaching the eutectic or
// freezing as one solid above it, and one 0.004 short of the eutectic liquid. Every equilibrium row is the lever rule on the
// tie-line solved in mole fractions, the liquidus and solidus lie where the tie-lines have the
// alloy's composition, and the eutectic fractions follow from the eutectic's compositions.
TEST(Solidify, TheEquilibriumPathIsTheLeverRuleOnTheStableTieLines)
{
    const Vector4 e = eutecticOfTheModel();
    const double alloys[] = {0.3, e[3] / 2, (e[1] + e[2]) / 2, (1 + e[2]) / 2, e[1] - 0.004};
    for (const double x0 : alloys) {
        SCOPED_TRACE(x0);
        const bool fccFirst = x0 < e[1];
        const double xSolidAtEutectic = fccFirst ? e[3] : e[2];
        const bool reachesEutectic = (x0 - e[1]) * (x0 - xSolidAtEutectic) < 0;
        const PhasePair pair = fccFirst ? LIQUID_FCC : LIQUID_BCC;
        SolidificationPath path;
        ErrorText error{};
        ASSERT_TRUE(solidify(diagram(), x0, {1700, 700, 0.5}, nullptr, path, error)) << error.text;
        EXPECT_EQ(path.primary, fccFirst ? FCC : BCC);
        EXPECT_EQ(path.eutecticReached, reachesEutectic);
        EXPECT_NEAR(path.eutectic[0], e[0], 1e-5);

        // At the liquidus the liquid is the alloy; at a solidus above the eutectic the solid is.
        const Vector4 atLiquidus = tieLine(pair, path.liquidus);
        EXPECT_NEAR(atLiquidus[0], x0, 1e-8);
        EXPECT_NEAR(path.liquidusTieLine.x[1], atLiquidus[1], 1e-8);
        if (reachesEutectic) {
            EXPECT_EQ(path.solidus, path.eutectic[0]);
            const double fE = (x0 - xSolidAtEutectic) / (e[1] - xSolidAtEutectic);
            EXPECT_NEAR(path.eutecticEquilibrium, fE, 1e-6);
        } else {
            EXPECT_NEAR(tieLine(pair, path.solidus)[1], x0, 1e-8);
            EXPECT_GT(path.solidus, e[0]);
            EXPECT_EQ(path.eutecticEquilibrium, 0);
        }

        int checked = 0;
        int interior = 0;  // every 25th row between the liquidus and the eutectic is checked
        for (const PathRow& row : path.rows) {
            if (row.T > path.liquidus) {
                EXPECT_EQ(row.fsEquilibrium, 0);
                EXPECT_EQ(row.xLiquidEquilibrium, x0);
            } else if (row.T < path.solidus) {
                EXPECT_EQ(row.fsEquilibrium, 1) << row.T;
                if (reachesEutectic) {
                    EXPECT_TRUE(std::isnan(row.xSolidEquilibrium)) << row.T;  // two solids
                } else {
                    EXPECT_EQ(row.xSolidEquilibrium, x0) << row.T;  // one solid, the alloy
                }
            } else if (row.T > e[0] && row.T < path.liquidus && row.event[0] == '\0' && interior++ % 25 == 0) {
                const Vector4 x = tieLine(pair, row.T);
                EXPECT_NEAR(row.xLiquidEquilibrium, x[0], 1e-7) << row.T;
                EXPECT_NEAR(row.xSolidEquilibrium, x[1], 1e-7) << row.T;
                EXPECT_NEAR(row.fsEquilibrium, (x0 - x[0]) / (x[1] - x[0]), 1e-6) << row.T;
                ++checked;
            }
            if (row.event[0] == 'l') {
                EXPECT_NEAR(row.xSolidEquilibrium, atLiquidus[1], 1e-8);
            }
        }
        EXPECT_GT(checked, 0);
    }
}

// The eutectic alloy has no primary solid: all of it is eutectic, on both paths.
TEST(Solidify, TheEutecticAlloyFreezesAtOnce)
{
    const Vector4& e = diagram().eutectic;
    SolidificationPath path;
    ErrorText error{};
    ASSERT_TRUE(solidify(diagram(), e[1], {900, 800, 0.5}, nullptr, path, error)) << error.text;
    EXPECT_EQ(path.primary, LIQUID);
    EXPECT_EQ(path.liquidus, e[0]);
    EXPECT_EQ(path.eutecticEquilibrium, 1);
    EXPECT_EQ(path.eutecticScheil, 1);
}

// The Scheil path conserves the solute: what froze, each layer at the solid's composition of its
// temperature, and the liquid left hold x0 between them, at every row down to the eutectic.
TEST(Solidify, TheScheilPathConservesTheSolute)
{
    for (const double x0 : {0.3, 0.75}) {
        SolidificationPath path;
        ErrorText error{};
        ASSERT_TRUE(solidify(diagram(), x0, {1700, 700, 0.25}, nullptr, path, error)) << error.text;
        double solid = 0;  // solute in the solid, by the trapezoidal rule over the rows
        const PathRow* previous = nullptr;
        for (const PathRow& row : path.rows) {
            if (!std::isfinite(row.xSolidScheil) || row.T < path.eutectic[0]) continue;
            if (previous != nullptr)
                solid += (row.fsScheil - previous->fsScheil) * (row.xSolidScheil + previous->xSolidScheil) / 2;
            previous = &row;
            EXPECT_NEAR(solid + (1 - row.fsScheil) * row.xLiquidScheil, x0, 1e-6) << x0 << " at " << row.T;
        }
        ASSERT_NE(previous, nullptr);
        EXPECT_NEAR(1 - previous->fsScheil, path.eutecticScheil, 1e-12);
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
