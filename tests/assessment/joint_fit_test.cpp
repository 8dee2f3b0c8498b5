// The assessment: its derivatives against central differences of its own residuals, the weighted
// straight-line fits given back where there are no boundary points, and, on data sets simulated
// from a known model with known scatter, a eutectic and liquidus nearer the truth than the
// straight-line fits give.
#include "assessment/joint_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "equilibrium/stable_diagram.h"
#include "assessment/assessment_report.h"
#include "model_data.h"

namespace {

void exactSamples(FitSamples& samples)
{
    MeasuredData data;
    generateData(GENERATED_MODEL, data);
    ErrorText error{};
    GivenScatter given;
    for (auto& phase : given.sd) phase[ENTHALPY_FIT] = 50, phase[ACTIVITY_FIT] = 0.02;
    ASSERT_TRUE(prepareFits(data, given, samples, error)) << error.text;
}

}  // namespace

// Every derivative of every residual, data and boundary points of all kinds (points off the
// boundary by 8 K and 0.01 so that none is zero, and one liquidus arrest above the liquidus,
// which pulls by its driving force), against a central difference of the residual itself.
TEST(JointFit, DerivativesAreThoseOfTheResiduals)
{
    FitSamples samples;
    exactSamples(samples);
    if (HasFatalFailure()) return;
    std::vector<BoundaryPoint> points = pointsOf(GENERATED_MODEL, 8, 0.01);
    points.push_back({99, 2500, true, 0.5, LIQUID_FCC, 1});  // far above the liquidus: driving force
    const BoundaryScatter scatter;
    std::vector<double> r;
    std::vector<std::array<double, COEFFICIENTS>> J;
    JointFit fit;
    assessmentResiduals(samples, points, scatter, GENERATED_MODEL, r, J, fit);
    ASSERT_FALSE(fit.points.back().onBoundary);
    ASSERT_GT(fit.points.back().normalised, 0);
    for (int k = 0; k < COEFFICIENTS; ++k) {
        PhaseParameters up[3];
        PhaseParameters down[3];
        std::copy(std::begin(GENERATED_MODEL), std::end(GENERATED_MODEL), std::begin(up));
        std::copy(std::begin(GENERATED_MODEL), std::end(GENERATED_MODEL), std::begin(down));
        double* u = &up[k / 4].a0 + k % 4;
        double* d = &down[k / 4].a0 + k % 4;
        const double h = 1e-5 * std::fmax(1.0, std::fabs(*u));
        *u += h;
        *d -= h;
        std::vector<double> rUp;
        std::vector<double> rDown;
        std::vector<std::array<double, COEFFICIENTS>> ignored;
        JointFit fUp;
        JointFit fDown;
        assessmentResiduals(samples, points, scatter, up, rUp, ignored, fUp);
        assessmentResiduals(samples, points, scatter, down, rDown, ignored, fDown);
        ASSERT_EQ(rUp.size(), r.size());
        for (std::size_t n = 0; n < r.size(); ++n) {
            const double difference = (rUp[n] - rDown[n]) / (2 * h);
            EXPECT_NEAR(J[n][k], difference, 1e-4 * std::fabs(difference) + 1e-9) << coefficientName(k) << " residual " << n;
        }
    }
}

// Without boundary points the assessment is the weighted least-squares fit of each file's line
// (weights 1 / (sd dy/dm)^2): computed here by the normal equations of each line on its own.
TEST(JointFit, WithoutBoundaryPointsItIsTheWeightedFitOfTheData)
{
    std::mt19937_64 random(7);
    std::normal_distribution<double> normal(0, 1);
    MeasuredData data;
    scatteredData(random, normal, data);
    FitSamples samples;
    ErrorText error{};
    ASSERT_TRUE(prepareFits(data, GivenScatter{}, samples, error)) << error.text;
    Assessment a;
    ASSERT_TRUE(assessModel(samples, {}, BoundaryScatter{}, a, error)) << error.text;
    for (int p = LIQUID; p <= FCC; ++p) {
        LineFit lines[2];
        for (int kind = 0; kind < 2; ++kind) {
            const FitSample& f = samples.fit[p][kind];
            double s = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
            for (int i = 0; i < f.n; ++i) {
                const double w = 1 / (f.slope[i] * f.slope[i]);
                s += w;
                sx += w * f.x[i];
                sy += w * f.y[i];
                sxx += w * f.x[i] * f.x[i];
                sxy += w * f.x[i] * f.y[i];
            }
            lines[kind].slope = (s * sxy - sx * sy) / (s * sxx - sx * sx);
            lines[kind].intercept = (sy - lines[kind].slope * sx) / s;
        }
        const PhaseParameters expected = coefficientsFromFits(static_cast<PhaseIndex>(p), lines[0], lines[1]);
        const PhaseParameters& got = a.after.model[p];
        EXPECT_NEAR(got.a0, expected.a0, 1e-7 * std::fabs(expected.a0)) << p;
        EXPECT_NEAR(got.a1, expected.a1, 1e-6 * std::fabs(expected.a1) + 1e-9) << p;
        EXPECT_NEAR(got.b0, expected.b0, 1e-7 * std::fabs(expected.b0)) << p;
        EXPECT_NEAR(got.b1, expected.b1, 1e-6 * std::fabs(expected.b1) + 1e-9) << p;
    }
    EXPECT_LE(a.after.chiSquare, a.before.chiSquare);
}

// Twelve data sets simulated from the model with realistic scatter (60 J/mol, 3 % in activity),
// each with boundary points of the true diagram scattered by 3 K and 0.005: the assessment's
// eutectic temperature and the liquidus of three alloys lie nearer the truth, in root-mean-square
// over the data sets, than those of the straight-line fits.
TEST(JointFit, BoundaryPointsBringTheDiagramNearerTheTruth)
{
    std::mt19937_64 random(20261208);
    std::normal_distribution<double> normal(0, 1);
    StableDiagram truth;
    buildStableDiagram(GENERATED_MODEL, truth);
    const std::vector<BoundaryPoint> exact = pointsOf(GENERATED_MODEL, 0, 0);
    const double alloys[3] = {0.25, 0.35, 0.75};
    double trueLiquidus[3];
    for (int k = 0; k < 3; ++k) {
        TieLine tie{};
        double range[2];
        const PhasePair pair = alloys[k] < truth.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
        ASSERT_EQ(boundaryTemperature(truth, pair, 0, alloys[k], NAN, trueLiquidus[k], tie, range), Reach::FOUND);
    }
    double squares[2][4] = {};  // [straight-line, assessed][eutectic, three liquidus]
    for (int set = 0; set < 12; ++set) {
        MeasuredData data;
        scatteredData(random, normal, data);
        std::vector<BoundaryPoint> points = exact;
        for (BoundaryPoint& p : points) {
            if (pointKind(p) == COMPOSITION_POINT)
                p.x += 0.005 * normal(random);
            else
                p.T += 3 * normal(random);
        }
        FitSamples samples;
        ErrorText error{};
        ASSERT_TRUE(prepareFits(data, GivenScatter{}, samples, error)) << error.text;
        Assessment a;
        ASSERT_TRUE(assessModel(samples, points, BoundaryScatter{3, 0.005, 3}, a, error)) << error.text;
        const JointFit* fits[2] = {&a.before, &a.after};
        for (int m = 0; m < 2; ++m) {
            StableDiagram d;
            buildStableDiagram(fits[m]->model, d);
            ASSERT_TRUE(d.haveEutectic);
            squares[m][0] += std::pow(d.eutectic[0] - truth.eutectic[0], 2);
            for (int k = 0; k < 3; ++k) {
                TieLine tie{};
                double range[2];
                double T = NAN;
                const PhasePair pair = alloys[k] < truth.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
                ASSERT_EQ(boundaryTemperature(d, pair, 0, alloys[k], trueLiquidus[k], T, tie, range), Reach::FOUND);
                squares[m][1 + k] += std::pow(T - trueLiquidus[k], 2);
            }
        }
        EXPECT_LT(a.iterations, 30);
    }
    for (int q = 0; q < 4; ++q) EXPECT_LT(squares[1][q], squares[0][q]) << q;
}

// A design that cannot fix a coefficient: the liquid's enthalpies all at one composition fix only
// a0 + 0.4 b0, so one combination of the liquid's four coefficients is free; the assessment names
// the last of them, b1 of Liquid, instead of solving into noise.
TEST(JointFit, ACoefficientTheDataCannotFixIsNamed)
{
    FitSamples samples;
    exactSamples(samples);
    if (HasFatalFailure()) return;
    FitSample& f = samples.fit[LIQUID][ENTHALPY_FIT];
    for (int i = 0; i < f.n; ++i) f.x[i] = 0.4;
    Assessment a;
    ErrorText error{};
    EXPECT_FALSE(assessModel(samples, {}, BoundaryScatter{}, a, error));
    EXPECT_STREQ(error.text, "the data and the boundary points cannot fix b1 of Liquid: it is a combination of the "
                             "coefficients before it");
}

// Coverage by simulation from the known model with known scatter (given to the assessment as it
// was drawn): the 95 % intervals of the eutectic temperature, of two coefficients and of the FCC
// solvus composition at 700 K contain the truth in 88 to 99 % of 150 data sets, with boundary
// points and without.
TEST(JointFit, IntervalsContainTheTruthAsOftenAsTheyClaim)
{
    std::mt19937_64 random(95);
    std::normal_distribution<double> normal(0, 1);
    StableDiagram truth;
    buildStableDiagram(GENERATED_MODEL, truth);
    const std::vector<BoundaryPoint> exact = pointsOf(GENERATED_MODEL, 0, 0);
    const BoundaryScatter scatter{3, 0.005, 3};
    constexpr int SETS = 150;
    TieLine trueLine{};
    ASSERT_TRUE(stableTieLine(truth, BCC_FCC, 700, nullptr, trueLine));
    const double trueSolvus = trueLine.x[1];
    for (const bool withPoints : {true, false}) {
        int covered[4] = {0, 0, 0, 0};  // the eutectic's T, a0 of Liquid, b1 of FCC, the solvus
        for (int set = 0; set < SETS; ++set) {
            MeasuredData data;
            scatteredData(random, normal, data);
            std::vector<BoundaryPoint> points;
            if (withPoints) {
                points = exact;
                for (BoundaryPoint& p : points) {
                    if (pointKind(p) == COMPOSITION_POINT)
                        p.x += scatter.composition * normal(random);
                    else
                        p.T += (pointKind(p) == EUTECTIC_POINT ? scatter.eutectic : scatter.arrest) * normal(random);
                }
            }
            GivenScatter given;
            for (auto& phase : given.sd) phase[ENTHALPY_FIT] = 60, phase[ACTIVITY_FIT] = 0.03;
            FitSamples samples;
            ErrorText error{};
            ASSERT_TRUE(prepareFits(data, given, samples, error)) << error.text;
            Assessment a;
            ASSERT_TRUE(assessModel(samples, points, scatter, a, error)) << error.text;
            double low = 0;
            double high = 0;
            ASSERT_TRUE(eutecticInterval(a, low, high));
            covered[0] += truth.eutectic[0] >= low && truth.eutectic[0] <= high;
            covered[1] += std::fabs(a.after.model[LIQUID].a0 - GENERATED_MODEL[LIQUID].a0) <= 1.959964 * a.standardError[0];
            covered[2] += std::fabs(a.after.model[FCC].b1 - GENERATED_MODEL[FCC].b1) <= 1.959964 * a.standardError[11];
            StableDiagram assessed;
            buildStableDiagram(a.after.model, assessed);
            TieLine line{};
            double ds[2][COEFFICIENTS];
            ASSERT_TRUE(stableTieLine(assessed, BCC_FCC, 700, nullptr, line));
            ASSERT_TRUE(tieLineSlopes(a.after.model, BCC_FCC, 700, line.s, ds));
            double gradient[COEFFICIENTS];
            for (int k = 0; k < COEFFICIENTS; ++k) gradient[k] = line.x[1] * (1 - line.x[1]) * ds[1][k];
            covered[3] += std::fabs(line.x[1] - trueSolvus) <= halfWidth95(a, gradient);
        }
        for (int q = 0; q < 4; ++q) {
            EXPECT_GE(covered[q], 0.88 * SETS) << q << (withPoints ? " with points" : " without");
            EXPECT_LE(covered[q], 0.99 * SETS) << q << (withPoints ? " with points" : " without");
        }
    }
}

// A point's own scatter replaces its kind's: the same arrest 8 K off counts 8 / 0.5 with its own
// 0.5 K and 8 / 5 with the default.
TEST(JointFit, APointsOwnScatterReplacesItsKinds)
{
    FitSamples samples;
    exactSamples(samples);
    if (HasFatalFailure()) return;
    std::vector<BoundaryPoint> points = pointsOf(GENERATED_MODEL, 8, 0.01);
    points.resize(2);
    points[1].sd = 0.5;
    std::vector<double> r;
    std::vector<std::array<double, COEFFICIENTS>> J;
    JointFit fit;
    assessmentResiduals(samples, points, BoundaryScatter{}, GENERATED_MODEL, r, J, fit);
    EXPECT_NEAR(fit.points[0].normalised, 8.0 / 5, 1e-6);
    EXPECT_NEAR(fit.points[1].normalised, 8.0 / 0.5, 1e-5);
}

// A liquidus arrest typed far below the solidus pulls by the liquid's driving force at every
// temperature from 1 K up: the height of the liquid above the lower hull of the three curves,
// against a brute-force hull of chords between points of all curves on a grid of log-ratios
// from -700 to 700 (solubilities down to e^-700, which the tie-line solver does not reach).
TEST(JointFit, APointFarBelowTheSolidusPullsByItsDrivingForceDownToOneKelvin)
{
    FitSamples samples;
    exactSamples(samples);
    if (HasFatalFailure()) return;
    const BoundaryScatter scatter;
    const double x = 0.5;
    for (const double T : {1.0, 2.0, 5.0, 25.0, 58.0, 300.0}) {
        const std::vector<BoundaryPoint> points = {{1, T, true, x, LIQUID_BCC, 0}};
        std::vector<double> r;
        std::vector<std::array<double, COEFFICIENTS>> J;
        JointFit fit;
        assessmentResiduals(samples, points, scatter, GENERATED_MODEL, r, J, fit);
        ASSERT_FALSE(fit.points[0].onBoundary) << T;
        const double pulled = fit.points[0].normalised * GAS_CONSTANT * T * scatter.composition / (x * (1 - x));

        std::vector<double> xs[2];  // left and right of x
        std::vector<double> gs[2];
        for (int p = LIQUID; p <= FCC; ++p) {
            const auto phase = static_cast<PhaseIndex>(p);
            const InteractionCoefficients c = interactionCoefficients(GENERATED_MODEL[p], T);
            for (double s = -700; s <= 700; s += 0.5) {
                const Composition z = composition(s);
                const int side = z.x < x ? 0 : 1;
                xs[side].push_back(z.x);
                gs[side].push_back(gibbsEnergy(phase, c, z.x, T, mixingOf(z)));
            }
        }
        double hull = INFINITY;
        for (std::size_t i = 0; i < xs[0].size(); ++i)
            for (std::size_t j = 0; j < xs[1].size(); ++j)
                hull = std::fmin(hull, (gs[0][i] * (xs[1][j] - x) + gs[1][j] * (x - xs[0][i])) / (xs[1][j] - xs[0][i]));
        const double liquid = gibbsEnergy(LIQUID, interactionCoefficients(GENERATED_MODEL[LIQUID], T), x, T);
        ASSERT_GT(liquid - hull, 1000) << T;
        EXPECT_NEAR(pulled, liquid - hull, 1e-4 * (liquid - hull) + 0.5) << T;
    }
}
