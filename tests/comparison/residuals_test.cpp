// Measured boundary points against the model, on every pair and both of its sides: the residuals
// agree with the tie-lines and the eutectic solved in mole fractions (a solver of its own), and a
// point is held against the band of its own phase, read between the band's rows.
#include "comparison/residuals.h"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/stable_solves.h"
#include "model_data.h"

namespace {

const PhaseParameters (&MODEL)[3] = GENERATED_MODEL;

// Half the width of a 95 % normal interval in standard deviations.
constexpr double Z975 = 1.959963984540054;

// The stable tie-line of the pair at T, solved in mole fractions.
Vector4 tieLine(PhasePair pair, double T)
{
    GibbsCurves curves;
    Vector4 x{};
    EXPECT_TRUE(solveStableTieLine(MODEL, pair, T, nullptr, x, curves)) << pair << " at " << T;
    return x;
}

// A point measured 4 K above a band row, whose composition is that of the boundary 10 K higher:
// it lies 10 K below its boundary and off it by the boundary's change over those 10 K. The pair's
// band has rows 10 K apart around it, built so that the interval read at the point's temperature
// is [low, high] in the measured phase's column and far away in the other phase's.
struct Case {
    PhasePair pair;
    int side;
    int T0;            // a band row; the point lies at T0 + 4
    double lowSpan;    // the interval at the point: computed - lowSpan |dx| to computed + highSpan |dx|
    double highSpan;
};

TEST(Residuals, OnEveryPairAndSideAgreeWithTheMoleFractionSolvesAndTheirOwnBands)
{
    const Case cases[] = {
        {LIQUID_FCC, 0, 1000, 2.0, 3.0}, {LIQUID_FCC, 1, 1000, 1.5, 1.25}, {LIQUID_BCC, 0, 1000, 0.25, 0.5},
        {LIQUID_BCC, 1, 1100, 3.0, 2.0}, {BCC_FCC, 0, 600, 1.5, 1.5},      {BCC_FCC, 1, 700, 0.75, 0.5},
    };
    std::vector<PointResidual> all;
    int outside = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(pairName(c.pair)) + " side " + std::to_string(c.side));
        const double T = c.T0 + 4;
        const Vector4 here = tieLine(c.pair, T);
        const Vector4 above = tieLine(c.pair, T + 10);
        const double x = above[c.side];
        const double dx = x - here[c.side];
        ASSERT_GT(std::fabs(dx), 1e-4);

        // Rows at T0 and T0 + 10 whose straight line passes through [low, high] at T0 + 4.
        const double low = here[c.side] - c.lowSpan * std::fabs(dx);
        const double high = here[c.side] + c.highSpan * std::fabs(dx);
        BandTable bands[3] = {};
        BandTable& band = bands[c.pair - 1];
        band.present = true;
        for (int r = 0; r < 2; ++r) {
            const double shift = r == 0 ? -0.4 * 0.01 : 0.6 * 0.01;  // 0.01 per 10 K
            BandTableRow row{c.T0 + 10 * r, {here[0], here[1]}, {}, {}, 0};
            row.low[c.side] = low + shift;
            row.high[c.side] = high + shift;
            row.low[1 - c.side] = 0.40 + shift;  // the other phase's interval, nowhere near
            row.high[1 - c.side] = 0.41 + shift;
            band.rows.push_back(row);
        }
        const BoundaryPoint point{7, T, true, x, c.pair, c.side};
        std::vector<PointResidual> residuals;
        computeResiduals(generatedDiagram(), {point}, bands, EutecticBand{}, residuals);
        ASSERT_EQ(residuals.size(), 1u);
        const PointResidual& r = residuals[0];
        EXPECT_EQ(r.status, "ok");
        EXPECT_NEAR(r.xComputed, here[c.side], 2e-6);
        EXPECT_NEAR(r.dx, dx, 2e-6);
        EXPECT_NEAR(r.TComputed, T + 10, 1e-4);
        EXPECT_NEAR(r.dT, -10, 1e-4);
        ASSERT_TRUE(r.haveBand);
        EXPECT_NEAR(r.bandLow, low, 1e-12);
        EXPECT_NEAR(r.bandHigh, high, 1e-12);
        const bool within = (dx < 0 ? c.lowSpan : c.highSpan) >= 1;
        EXPECT_EQ(r.withinBand, within);
        EXPECT_NEAR(r.sigmas, dx / ((high - low) / (2 * Z975)), 1e-6 * (c.lowSpan + c.highSpan));
        outside += !within;
        all.push_back(r);
    }
    // The report says of each point whether it lies within its band, and counts those outside.
    const ResidualSummary summary = summariseResiduals(all);
    EXPECT_EQ(summary.withBand, 6);
    EXPECT_EQ(summary.outsideBand, outside);
    const std::string report = formatResiduals(all, summary);
    int saidOutside = 0;
    for (std::size_t at = report.find("\tno\t"); at != std::string::npos; at = report.find("\tno\t", at + 1)) ++saidOutside;
    EXPECT_EQ(saidOutside, outside);
    EXPECT_NE(report.find("# held against the 95 % bands: 6, outside them: " + std::to_string(outside) + "\n"),
              std::string::npos);
}

TEST(Residuals, WhereTheBoundaryIsMissingTheyAreSaidToBe)
{
    const Vector4 at1000 = tieLine(LIQUID_FCC, 1000);
    const std::vector<BoundaryPoint> points = {
        {1, 1000, true, at1000[0], LIQUID_FCC, 0},  // on the liquidus
        {2, 3000, true, 0.4, LIQUID_FCC, 0},        // far above the melting points
        {3, 1000, true, 0.9, LIQUID_FCC, 0},        // beyond the liquidus's reach
        {4, 1000, true, 0.5, BCC_FCC, 1},           // above the eutectic: no BCC/FCC boundary
    };
    const BandTable noBands[3] = {};
    std::vector<PointResidual> residuals;
    computeResiduals(generatedDiagram(), points, noBands, EutecticBand{}, residuals);
    ASSERT_EQ(residuals.size(), points.size());
    EXPECT_NEAR(residuals[0].dx, 0, 1e-9);
    EXPECT_NEAR(residuals[0].dT, 0, 1e-6);
    EXPECT_FALSE(residuals[0].haveBand);

    // No boundary at 3000 K, but the liquidus reaches x = 0.4 lower down, where the tie-line
    // solved in mole fractions has it.
    EXPECT_TRUE(std::isnan(residuals[1].dx));
    EXPECT_EQ(residuals[1].status, "no stable Liquid/FCC boundary at 3000.00 K");
    EXPECT_NEAR(tieLine(LIQUID_FCC, residuals[1].TComputed)[0], 0.4, 1e-7);
    EXPECT_NEAR(residuals[1].dT, 3000 - residuals[1].TComputed, 1e-9);

    Vector4 eutectic{};
    ASSERT_TRUE(solveStableEutectic(MODEL, eutectic));
    EXPECT_TRUE(std::isnan(residuals[2].dT));
    char range[160];
    std::snprintf(range, sizeof range, "its Liquid composition lies between 0 and %.6g", eutectic[1]);
    EXPECT_NE(residuals[2].status.find(range), std::string::npos) << residuals[2].status;
    EXPECT_TRUE(std::isnan(residuals[3].dx));
    EXPECT_EQ(residuals[3].status.rfind("no stable BCC/FCC boundary at 1000.00 K", 0), 0u) << residuals[3].status;

    // Root-mean-squares over the residuals that exist.
    const ResidualSummary summary = summariseResiduals(residuals);
    EXPECT_EQ(summary.withX, 2);
    EXPECT_NEAR(summary.rmsX, std::sqrt((residuals[0].dx * residuals[0].dx + residuals[2].dx * residuals[2].dx) / 2), 1e-15);
    EXPECT_EQ(summary.maxX, std::fmax(std::fabs(residuals[0].dx), std::fabs(residuals[2].dx)));
    EXPECT_EQ(summary.withT, 2);
    EXPECT_NEAR(summary.rmsT, std::sqrt((residuals[0].dT * residuals[0].dT + residuals[1].dT * residuals[1].dT) / 2), 1e-12);
    EXPECT_NEAR(summary.maxT, 3000 - residuals[1].TComputed, 1e-9);
}

// A eutectic arrest with the liquid's composition, against the eutectic solved in mole fractions
// and its band.
TEST(Residuals, AEutecticArrestIsHeldAgainstTheLiquidOfTheEutectic)
{
    Vector4 eutectic{};
    ASSERT_TRUE(solveStableEutectic(MODEL, eutectic));
    EutecticBand band{};
    band.present = true;
    for (int k = 0; k < 4; ++k) band.nominal[k] = band.low[k] = band.high[k] = eutectic[k];
    band.low[0] = eutectic[0] - 1;
    band.high[0] = eutectic[0] + 4;
    const BoundaryPoint arrest{1, eutectic[0] + 2.5, true, 0.45, 0, 0};
    const BandTable noBands[3] = {};
    std::vector<PointResidual> residuals;
    computeResiduals(generatedDiagram(), {arrest}, noBands, band, residuals);
    const PointResidual& r = residuals.at(0);
    EXPECT_NEAR(r.TComputed, eutectic[0], 1e-5);
    EXPECT_NEAR(r.dT, 2.5, 1e-5);
    EXPECT_NEAR(r.xComputed, eutectic[1], 1e-7);
    EXPECT_NEAR(r.dx, 0.45 - eutectic[1], 1e-7);
    ASSERT_TRUE(r.haveBand);
    EXPECT_TRUE(r.withinBand);
    EXPECT_NEAR(r.sigmas, 2.5 / (5 / (2 * Z975)), 1e-5);
}

}  // namespace
