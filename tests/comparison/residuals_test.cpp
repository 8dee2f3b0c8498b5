// Measured boundary points against the model: a point on a boundary has no residual, the two
// directions of the residual agree with the solves they rest on, and points where the boundary
// does not exist are reported as such.
#include "comparison/residuals.h"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/stable_solves.h"
#include "model_data.h"

namespace {

TEST(Residuals, VanishOnTheBoundaryAndMeasureTheDistanceOffIt)
{
    const PhaseParameters (&model)[3] = GENERATED_MODEL;
    StableDiagram diagram;
    buildStableDiagram(model, diagram);
    GibbsCurves curves;
    Vector4 at1000{};
    Vector4 at1010{};
    ASSERT_TRUE(solveStableTieLine(model, LIQUID_FCC, 1000, nullptr, at1000, curves));
    ASSERT_TRUE(solveStableTieLine(model, LIQUID_FCC, 1010, nullptr, at1010, curves));
    const Vector4& eutectic = diagram.eutectic;

    const std::vector<BoundaryPoint> points = {
        {1, 1000, true, at1000[0], LIQUID_FCC, 0},  // on the liquidus
        {2, 1000, true, at1000[1], LIQUID_FCC, 1},  // on the solidus
        {3, 1000, true, at1010[0], LIQUID_FCC, 0},  // the liquid of 1010 K, measured at 1000 K
        {4, 3000, true, 0.4, LIQUID_FCC, 0},        // far above the melting points
        {5, eutectic[0] + 2.5, false, NAN, 0, 0},   // an arrest 2.5 K above the eutectic
    };
    const BandTable noBands[3] = {};
    std::vector<PointResidual> residuals;
    computeResiduals(diagram, points, noBands, EutecticBand{}, residuals);
    ASSERT_EQ(residuals.size(), points.size());
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(residuals[i].dx, 0, 1e-9) << i;
        EXPECT_NEAR(residuals[i].dT, 0, 1e-6) << i;
        EXPECT_EQ(residuals[i].status, "ok");
    }
    EXPECT_NEAR(residuals[2].dx, at1010[0] - at1000[0], 1e-9);
    EXPECT_NEAR(residuals[2].TComputed, 1010, 1e-6);  // where the composition solve put that liquid
    EXPECT_NEAR(residuals[2].dT, -10, 1e-6);
    // No boundary at 3000 K, but the liquidus reaches x = 0.4 lower down, where the stable
    // tie-line, solved there with the composition free, has it.
    EXPECT_TRUE(std::isnan(residuals[3].dx));
    EXPECT_EQ(residuals[3].status, "no stable Liquid/FCC boundary at 3000.00 K");
    Vector4 atComputed{};
    ASSERT_TRUE(solveStableTieLine(model, LIQUID_FCC, residuals[3].TComputed, nullptr, atComputed, curves));
    EXPECT_NEAR(atComputed[0], 0.4, 1e-7);
    EXPECT_NEAR(residuals[4].dT, 2.5, 1e-9);
    EXPECT_FALSE(residuals[0].haveBand);

    const ResidualSummary summary = summariseResiduals(residuals);
    EXPECT_EQ(summary.count, 5);
    EXPECT_EQ(summary.withX, 3);
    EXPECT_NEAR(summary.maxT, 3000 - residuals[3].TComputed, 1e-9);
}

}  // namespace
