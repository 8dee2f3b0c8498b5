// The assessment's judgement of itself, by simulation from a known model with known scatter: where
// the model holds, chi-square's probability is uniform and no point is called a slip; where one
// point was typed wrong, that point is named, the assessment without it finds the truth, and the
// intervals of the assessment with it are widened.
#include "assessment/goodness_of_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "assessment/intervals.h"
#include "model_data.h"

namespace {

const BoundaryScatter SCATTER{3, 0.005, 3};

// A data set of GENERATED_MODEL with its scatter given as drawn, and its boundary points scattered
// as SCATTER says.
void simulate(std::mt19937_64& random, FitSamples& samples, std::vector<BoundaryPoint>& points)
{
    std::normal_distribution<double> normal(0, 1);
    MeasuredData data;
    scatteredData(random, normal, data);
    GivenScatter given;
    for (auto& phase : given.sd) phase[ENTHALPY_FIT] = 60, phase[ACTIVITY_FIT] = 0.03;
    ErrorText error{};
    ASSERT_TRUE(prepareFits(data, given, samples, error)) << error.text;
    points = pointsOf(GENERATED_MODEL, 0, 0);
    for (BoundaryPoint& p : points) {
        if (pointKind(p) == COMPOSITION_POINT)
            p.x += SCATTER.composition * normal(random);
        else
            p.T += (pointKind(p) == EUTECTIC_POINT ? SCATTER.eutectic : SCATTER.arrest) * normal(random);
    }
}

}  // namespace

// 120 data sets of the true model: chi-square's probability falls below 0.1 in about a tenth of
// them (binomial: 12 expected, 4 to 22 allowed), the fit is called poor and a point a slip at
// most once.
TEST(GoodnessOfFit, WhereTheModelHoldsChiSquaresProbabilityIsUniform)
{
    std::mt19937_64 random(2024);
    constexpr int SETS = 120;
    int low = 0;
    int poor = 0;
    int slips = 0;
    for (int set = 0; set < SETS; ++set) {
        FitSamples samples;
        std::vector<BoundaryPoint> points;
        simulate(random, samples, points);
        if (HasFatalFailure()) return;
        Assessment a;
        ErrorText error{};
        ASSERT_TRUE(assessModel(samples, points, SCATTER, a, error)) << error.text;
        const GoodnessOfFit g = judgeFit(samples, points, SCATTER, a);
        ASSERT_EQ(g.degrees, 6 * 9 + static_cast<int>(points.size()) - COEFFICIENTS);
        low += g.probability < 0.1;
        poor += g.poor;
        slips += !g.slips.empty();
        EXPECT_EQ(a.intervalScale, g.poor ? g.scale : 1.0);
    }
    EXPECT_GE(low, 4);
    EXPECT_LE(low, 22);
    EXPECT_LE(poor, 1);
    EXPECT_LE(slips, 1);
}

// One point typed wrong in each of 18 data sets, by turns a liquidus arrest 1000 K low (a digit
// lost), a solvus composition 0.1 off and a eutectic arrest 60 K high: the fit is poor, that
// point is the first slip named, the eutectic without it lies within 5 K of the truth (the slip
// moves it by up to 20 K), and the interval of the assessment with the slip is widened.
TEST(GoodnessOfFit, ASlipIsNamedAndTheAssessmentWithoutItFindsTheTruth)
{
    std::mt19937_64 random(31);
    const double truth = generatedDiagram().eutectic[0];
    constexpr int SETS = 18;
    for (int set = 0; set < SETS; ++set) {
        FitSamples samples;
        std::vector<BoundaryPoint> points;
        simulate(random, samples, points);
        if (HasFatalFailure()) return;
        const PointKind kinds[3] = {ARREST_POINT, COMPOSITION_POINT, EUTECTIC_POINT};
        std::size_t slipped = points.size();
        for (std::size_t i = 0; i < points.size() && slipped == points.size(); ++i)
            if (pointKind(points[(i + set) % points.size()]) == kinds[set % 3]) slipped = (i + set) % points.size();
        ASSERT_LT(slipped, points.size());
        BoundaryPoint& p = points[slipped];
        if (set % 3 == 0) p.T -= 1000;
        if (set % 3 == 1) p.x += p.x < 0.5 ? 0.1 : -0.1;
        if (set % 3 == 2) p.T += 60;
        Assessment a;
        ErrorText error{};
        ASSERT_TRUE(assessModel(samples, points, SCATTER, a, error)) << error.text;
        const GoodnessOfFit g = judgeFit(samples, points, SCATTER, a);
        EXPECT_TRUE(g.poor) << set;
        ASSERT_FALSE(g.slips.empty()) << set;
        EXPECT_EQ(g.slips[0].point, slipped) << set;
        ASSERT_TRUE(g.slips[0].haveEutectic);
        EXPECT_NEAR(g.slips[0].eutecticWithout, truth, 5.0) << set;
        double widened[2];
        double plain[2];
        ASSERT_TRUE(eutecticInterval(a, widened[0], widened[1]));
        a.intervalScale = 1;
        ASSERT_TRUE(eutecticInterval(a, plain[0], plain[1]));
        EXPECT_NEAR(widened[1] - widened[0], g.scale * (plain[1] - plain[0]), 1e-9 * (widened[1] - widened[0])) << set;
        EXPECT_GT(g.scale, 1.5) << set;
    }
}
