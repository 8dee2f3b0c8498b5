// The uncertainty analysis: no scatter gives no spread, known scatter gives the spread of least
// squares, the eutectic's derivatives are those of the solved eutectic, failures are counted.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model_data.h"
#include "equilibrium/refine.h"
#include "scratch_dir.h"
#include "uncertainty/analysis.h"
#include "uncertainty/bootstrap.h"
#include "uncertainty/sensitivity.h"

namespace fs = std::filesystem;

namespace {

TEST(Summarise, CountsAFailedReplicateAndLeavesItOut)
{
    const Summary s = summarise(2.0, {1.0, 3.0, NAN, 2.0, INFINITY});
    EXPECT_EQ(s.failed, 2);
    EXPECT_EQ(s.nominal, 2.0);
    EXPECT_DOUBLE_EQ(s.sd, 1.0);
    EXPECT_DOUBLE_EQ(s.low, 1.05);  // 2.5 % of {1, 2, 3}, between the order statistics
    EXPECT_DOUBLE_EQ(s.high, 2.95);
    EXPECT_EQ(summarise(0.0, {NAN, NAN}).failed, 2);
}

TEST(Uncertainty, DataWithoutScatterGiveZeroWidthAndTheNominalValues)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    UncertaintyOptions options;
    options.replicates = 40;
    options.rangeGiven = true;
    options.initialT = 600;
    options.finalT = 700;
    UncertaintyResult result;
    ErrorText error{};
    ASSERT_TRUE(analyseUncertainty(data, nullptr, nullptr, options, result, error, [](int) {})) << error.text;
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 4; ++k) {
            const Summary& s = result.coefficient[p][k];
            EXPECT_NEAR(s.nominal, coefficient(GENERATED_MODEL[p], k), 1e-6 * std::fabs(s.nominal));
            EXPECT_LE(s.high - s.low, 1e-6 * std::fabs(s.nominal)) << p << k;
            EXPECT_EQ(s.failed, 0);
        }
    ASSERT_TRUE(result.eutecticFound);
    EXPECT_LE(result.eutectic[0].high - result.eutectic[0].low, 1e-6);
    for (const auto& band : result.band)
        for (const BandRow& row : band) EXPECT_LE(row.x[0].high - row.x[0].low, 1e-9);
}

// Liquid enthalpies whose ordinates carry Gaussian noise of a known sd; the other series exact.
MeasuredData noisyLiquid(std::mt19937_64& noise, double sigma, int n)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    std::normal_distribution<double> gauss(0.0, sigma);
    DataSeries& enthalpy = data.phase[LIQUID].enthalpy;
    DataSeries& activity = data.phase[LIQUID].activity;
    const PhaseParameters& m = GENERATED_MODEL[LIQUID];
    const InteractionCoefficients c = interactionCoefficients(m, 1500.0);
    enthalpy.count = activity.count = n;
    for (int i = 0; i < n; ++i) {
        const double x = 0.05 + 0.9 * i / (n - 1);
        enthalpy.x[i] = activity.x[i] = x;
        enthalpy.value[i] = x * (1 - x) * (m.a0 + m.b0 * x + gauss(noise));
        activity.value[i] = x * std::exp(muBExcess(x, c) / (GAS_CONSTANT * 1500.0));
    }
    return data;
}

TEST(Bootstrap, SpreadMatchesLeastSquaresForKnownNoise)
{
    constexpr double SIGMA = 150.0;
    constexpr int N = 50;
    constexpr int DATA_SETS = 8;
    std::mt19937_64 noise(11);
    double bootstrapVariance[2] = {};  // a0 and b0, summed over the data sets
    double analyticVariance[2] = {};
    for (int d = 0; d < DATA_SETS; ++d) {
        const MeasuredData data = noisyLiquid(noise, SIGMA, N);
        FitSamples samples;
        ErrorText error{};
        ASSERT_TRUE(prepareFits(data, samples, error)) << error.text;
        std::mt19937_64 generator(100 + d);
        std::vector<double> values[2];
        PhaseParameters model[3];
        for (int r = 0; r < 4000; ++r) {
            replicateCoefficients(samples, generator, model);
            values[0].push_back(model[LIQUID].a0);
            values[1].push_back(model[LIQUID].b0);
        }
        double covariance[4][4];
        coefficientCovariance(samples, LIQUID, covariance);
        const double linear[2] = {std::sqrt(covariance[0][0]), std::sqrt(covariance[2][2])};
        double meanX = 0, spread = 0;
        for (int i = 0; i < N; ++i) meanX += samples.fit[LIQUID][ENTHALPY_FIT].x[i] / N;
        for (int i = 0; i < N; ++i) spread += std::pow(samples.fit[LIQUID][ENTHALPY_FIT].x[i] - meanX, 2);
        analyticVariance[0] += SIGMA * SIGMA * (1.0 / N + meanX * meanX / spread);
        analyticVariance[1] += SIGMA * SIGMA / spread;
        for (int k = 0; k < 2; ++k) {
            const double sd = summarise(0, values[k]).sd;
            EXPECT_NEAR(sd, linear[k], 0.1 * linear[k]) << "data set " << d << " coefficient " << k;
            bootstrapVariance[k] += sd * sd;
        }
    }
    for (int k = 0; k < 2; ++k)
        EXPECT_NEAR(std::sqrt(bootstrapVariance[k] / DATA_SETS), std::sqrt(analyticVariance[k] / DATA_SETS),
                    0.1 * std::sqrt(analyticVariance[k] / DATA_SETS))
            << k;
}

TEST(EutecticSensitivity, MatchesCentralDifferencesOfTheSolvedEutectic)
{
    PhaseParameters model[3] = {GENERATED_MODEL[0], GENERATED_MODEL[1], GENERATED_MODEL[2]};
    std::srand(1);
    Vector4 guess{};
    Vector4 eutectic{};
    ASSERT_LT(solveEutectic(guess, eutectic, 4, model[LIQUID], model[BCC], model[FCC]), ITERATION_LIMIT);
    double derivative[4][12];
    ASSERT_TRUE(eutecticSensitivity(model, eutectic, derivative));
    for (int k = 0; k < 12; ++k) {
        double* coefficient[4] = {&model[k / 4].a0, &model[k / 4].a1, &model[k / 4].b0, &model[k / 4].b1};
        double& theta = *coefficient[k % 4];
        const double nominal = theta;
        const double h = 1e-3 * std::max(std::fabs(nominal), 1.0);
        Vector4 solved[2];
        for (int side = 0; side < 2; ++side) {
            theta = nominal + (side == 0 ? h : -h);
            // Solved twice: the second solve starts at the first one's result and polishes it
            // below the solver's step tolerance, which the small differences need.
            Vector4 start = eutectic;
            Vector4 first{};
            ASSERT_LT(refineEutectic(start, first, model[LIQUID], model[BCC], model[FCC]), ITERATION_LIMIT);
            ASSERT_LT(refineEutectic(first, solved[side], model[LIQUID], model[BCC], model[FCC]), ITERATION_LIMIT);
        }
        theta = nominal;
        for (int r = 0; r < 4; ++r) {
            const double numeric = (solved[0][r] - solved[1][r]) / (2 * h);
            EXPECT_NEAR(derivative[r][k], numeric, 1e-4 * std::fabs(numeric) + 1e-9) << "u" << r << " theta" << k;
        }
    }
}

TEST(UncertaintyProgram, TheSameSeedGivesTheSameReport)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const ProgramRun first = runTool(UNCERTAINTY_PATH, dir, {"--replicates", "300", "--range", "700", "900"});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string report = readFile(dir / "Uncertainty.txt");
    EXPECT_NE(report.find("Seed: 20260101"), std::string::npos);
    EXPECT_NE(report.find("Replicates: 300\n"), std::string::npos);
    ASSERT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates", "300", "--range", "700", "900"}).status, 0);
    EXPECT_EQ(readFile(dir / "Uncertainty.txt"), report);
    ASSERT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates", "300", "--range", "700", "900", "--seed", "7"}).status, 0);
    const std::string other = readFile(dir / "Uncertainty.txt");
    EXPECT_NE(other, report);
    EXPECT_NE(other.find("Seed: 7 "), std::string::npos);
}

TEST(UncertaintyProgram, RefusesAFitWithoutRoomForScatter)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    writeFile(dir / "FCC(aKs).txt", "0.1 0.062191\n0.2 0.13886\n");
    const ProgramRun run = runTool(UNCERTAINTY_PATH, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram-uncertainty: FCC: FCC(aKs).txt holds 2 pairs; a fit with scatter to resample "
                       "needs at least 3\n");
    EXPECT_FALSE(fs::exists(dir / "Uncertainty.txt"));
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates", "1"}).status, 1);
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--range", "0", "100001"}).status, 1);  // more than 100000 K
}

}  // namespace
