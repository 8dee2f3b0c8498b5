// The uncertainty analysis: no scatter gives no spread, known scatter gives the spread of least
// squares, the eutectic's derivatives are those of the solved eutectic, failures are counted.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model_data.h"
#include "equilibrium/refine.h"
#include "equilibrium/stable_solves.h"
#include "frozen_clock.h"
#include "scratch_dir.h"
#include "uncertainty/analysis.h"
#include "uncertainty/calibration.h"
#include "formats/uncertainty_report.h"
#include "uncertainty/sensitivity.h"

namespace fs = std::filesystem;

namespace {

// Worked by hand on a skewed sample, where the interval's reflected form and the plain percentiles
// differ: pivots -1, 0 and 4 about the nominal 2 have 2.5 % and 97.5 % points -0.95 and 3.8, so
// the interval is 2 - 3.8 to 2 + 0.95. Scaled pivots divide by each replicate's scale; a
// composition's pivots are logits.
TEST(Summarise, ReflectsTheReplicatesAboutTheNominalValue)
{
    const Summary s = summarise(2.0, {1.0, 6.0, NAN, 2.0, INFINITY});
    EXPECT_EQ(s.failed, 2);
    EXPECT_EQ(s.nominal, 2.0);
    EXPECT_DOUBLE_EQ(s.sd, std::sqrt(7.0));  // of 1, 2 and 6
    EXPECT_DOUBLE_EQ(s.low, 2 - 3.8);
    EXPECT_DOUBLE_EQ(s.high, 2 + 0.95);
    EXPECT_EQ(summarise(0.0, {NAN, NAN}).failed, 2);

    // Replicates 1, 10 and 4 with scales 1, 2 and 0.5: pivots -1, 4 and 4.
    const Summary scaled = summarise(2.0, {1.0, 10.0, 4.0}, {1.0, 2.0, 0.5});
    EXPECT_DOUBLE_EQ(scaled.low, 2 - 4);
    EXPECT_DOUBLE_EQ(scaled.high, 2 - (-1 + 0.05 * 5));

    // A composition: logits -1, 0 and 4 about the nominal 0.5.
    const auto x = [](double u) { return 1 / (1 + std::exp(-u)); };
    const Summary composition = summarise(0.5, {x(-1), x(0), x(4)}, {}, true);
    EXPECT_NEAR(composition.low, x(-3.8), 1e-15);
    EXPECT_NEAR(composition.high, x(0.95), 1e-15);
}

TEST(Uncertainty, DataWithoutScatterGiveZeroWidthAndTheNominalValues)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    UncertaintyOptions options;
    options.replicates = 40;
    options.initialT = 600;
    options.finalT = 700;
    UncertaintyResult result;
    ErrorText error{};
    ASSERT_TRUE(analyseUncertainty(data, options, result, error, [](int) {})) << error.text;
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 4; ++k) {
            const Summary& s = result.coefficient[p][k];
            EXPECT_NEAR(s.nominal, coefficient(GENERATED_MODEL[p], k), 1e-6 * std::fabs(s.nominal));
            EXPECT_LE(s.high - s.low, 1e-6 * std::fabs(s.nominal)) << p << k;
            EXPECT_EQ(s.failed, 0);
        }
    ASSERT_TRUE(result.eutecticFound);
    EXPECT_LE(result.eutectic[0].high - result.eutectic[0].low, 1e-6);
    // Bands every 10 K from the initial temperature up to below the final one: BCC/FCC, stable
    // below the eutectic, from 600 to 690 K.
    for (const auto& band : result.band)
        for (const BandRow& row : band) EXPECT_LE(row.x[0].high - row.x[0].low, 1e-9);
    ASSERT_FALSE(result.band[BCC_FCC - 1].empty());
    EXPECT_EQ(result.band[BCC_FCC - 1].front().T, 600);
    EXPECT_EQ(result.band[BCC_FCC - 1].back().T, 690);
}

// a0 and b0 are the intercept and slope of the enthalpy line alone: their standard errors scale
// with the enthalpy file's sd, so each replicate's pivot is divided by that file's own sd over
// the data's, and by nothing else. The replicates are those that the same data and seed draw.
TEST(Uncertainty, ACoefficientOfOneFileIsStudentisedByThatFilesOwnScatter)
{
    MeasuredData data{};
    ASSERT_TRUE(readExampleData(data));
    UncertaintyOptions options;
    options.replicates = 400;
    options.initialT = options.finalT = 0;
    UncertaintyResult result;
    ErrorText error{};
    ASSERT_TRUE(analyseUncertainty(data, options, result, error, [](int) {})) << error.text;
    FitSamples samples{};
    ASSERT_TRUE(prepareFits(data, GivenScatter{}, samples, error)) << error.text;
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(samples, options.replicates, options.seed, models, ratios);
    for (int p = 0; p < 3; ++p)
        for (const int k : {0, 2}) {
            std::vector<double> values;
            std::vector<double> scale;
            for (std::size_t r = 0; r < models.size(); ++r) {
                values.push_back(coefficient(models[r][p], k));
                scale.push_back(ratios[r][2 * p + ENTHALPY_FIT]);
            }
            const Summary expected = summarise(result.coefficient[p][k].nominal, values, scale);
            EXPECT_NEAR(result.coefficient[p][k].low, expected.low, 1e-9 * std::fabs(expected.low)) << p << " " << k;
            EXPECT_NEAR(result.coefficient[p][k].high, expected.high, 1e-9 * std::fabs(expected.high)) << p << " " << k;
        }
}

// With scatter in one file only (the others given none) and that scatter small (1e-5 in ln a),
// every solved quantity's standard error is the data's times that file's own sd over the data's
// in each replicate, to first order: the eutectic and the bands are studentised by that ratio.
// The replicates' eutectics and tie-lines are solved here in mole fractions from the hull.
TEST(Uncertainty, SolvedQuantitiesAreStudentisedByTheScatterOfTheFileThatVaries)
{
    MeasuredData data{};
    std::mt19937_64 noise(4);
    GaussianSource gauss{noise};
    simulateMeasurements(GENERATED_MODEL, 9, 80, 1e-5, gauss, data);
    UncertaintyOptions options;
    options.replicates = 120;
    options.initialT = 1000;
    options.finalT = 1001;
    for (int p = 0; p < 3; ++p)
        for (int f = 0; f < 2; ++f) options.given.sd[p][f] = p == FCC && f == ACTIVITY_FIT ? -1 : 0;
    UncertaintyResult result;
    ErrorText error{};
    ASSERT_TRUE(analyseUncertainty(data, options, result, error, [](int) {})) << error.text;
    FitSamples samples{};
    ASSERT_TRUE(prepareFits(data, options.given, samples, error)) << error.text;
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(samples, options.replicates, options.seed, models, ratios);

    std::vector<double> eutectic[4];
    std::vector<double> liquidus[2];
    std::vector<double> scale;
    GibbsCurves curves;
    for (std::size_t r = 0; r < models.size(); ++r) {
        const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
        Vector4 e{};
        Vector4 x{};
        ASSERT_TRUE(solveStableEutectic(model, e));
        ASSERT_TRUE(solveStableTieLine(model, LIQUID_FCC, 1000, nullptr, x, curves));
        for (int i = 0; i < 4; ++i) eutectic[i].push_back(e[i]);
        for (int c = 0; c < 2; ++c) liquidus[c].push_back(x[c]);
        scale.push_back(ratios[r][2 * FCC + ACTIVITY_FIT]);
    }
    const auto expectInterval = [](const Summary& got, const Summary& expected, const char* what) {
        const double width = expected.high - expected.low;
        ASSERT_GT(width, 0) << what;
        EXPECT_NEAR(got.low, expected.low, 0.01 * width) << what;
        EXPECT_NEAR(got.high, expected.high, 0.01 * width) << what;
    };
    for (int i = 0; i < 4; ++i)
        expectInterval(result.eutectic[i], summarise(result.eutectic[i].nominal, eutectic[i], scale, i > 0), "eutectic");
    ASSERT_EQ(result.band[LIQUID_FCC - 1].size(), 1u);
    for (int c = 0; c < 2; ++c) {
        const Summary& got = result.band[LIQUID_FCC - 1][0].x[c];
        expectInterval(got, summarise(got.nominal, liquidus[c], scale, true), "Liquid/FCC at 1000 K");
    }
}

// A dilute composition's spread is even on the scale of its logarithm: FCC's solubility of Ks
// at 400 K follows Henry's law, ln x = (G_B(BCC) - G_B(FCC) - L0) / RT, linear in the
// coefficients, so the 95 % interval of x lies as far below the nominal value as above it in
// ln x, though a scatter of 1000 J/mol on the enthalpies spreads ln x by about 0.25.
TEST(Uncertainty, TheBandOfADiluteCompositionIsEvenInItsLogarithm)
{
    MeasuredData data{};
    std::mt19937_64 noise(8);
    GaussianSource gauss{noise};
    simulateMeasurements(GENERATED_MODEL, 9, 1000, 0.005, gauss, data);
    UncertaintyOptions options;
    options.replicates = 1000;
    options.initialT = 400;
    options.finalT = 401;
    UncertaintyResult result;
    ErrorText error{};
    ASSERT_TRUE(analyseUncertainty(data, options, result, error, [](int) {})) << error.text;
    ASSERT_EQ(result.band[BCC_FCC - 1].size(), 1u);
    const Summary& x = result.band[BCC_FCC - 1][0].x[1];
    ASSERT_LT(x.nominal, 0.01);
    const double above = std::log(x.high / x.nominal);
    const double below = std::log(x.nominal / x.low);
    EXPECT_GT(above + below, 0.5);
    EXPECT_NEAR(above / below, 1, 0.2);
}

// Simulation from a known truth: data sets generated with known measurement scatter, each
// analysed as a user's data would be. The 95 % intervals must contain the truth about 95 % of the
// time, and the reported sd must be the spread of the estimates across data sets.
TEST(Calibration, IntervalsContainTheTruthAsOftenAsTheyClaim)
{
    CalibrationSetup setup{{GENERATED_MODEL[0], GENERATED_MODEL[1], GENERATED_MODEL[2]}, 10, 80.0, 0.005, 60, 300, 5};
    CalibrationResult result;
    ASSERT_TRUE(runCalibration(setup, result));
    EXPECT_EQ(result.failedDataSets, 0);
    int covered = 0;
    int counted = 0;
    for (int r = 0; r < CALIBRATION_ROWS; ++r) {
        const CalibrationRow& row = result.row[r];
        EXPECT_EQ(row.counted, setup.dataSets) << calibrationRowName(r);
        EXPECT_GE(row.covered, 51) << calibrationRowName(r);  // 85 % of 60
        EXPECT_NEAR(row.meanSd, row.sdOfEstimates, 0.3 * row.sdOfEstimates) << calibrationRowName(r);
        covered += row.covered;
        counted += row.counted;
    }
    EXPECT_NEAR(static_cast<double>(covered) / counted, 0.95, 0.03);
}

// Central differences of a solution in each of the twelve coefficients against the derivatives of
// its entries 0 .. N-1: `solve` refines the solution of the perturbed model from the nominal one
// (twice, so that the second solve polishes the first below the solver's step tolerance, which
// the small differences need).
template <int N, typename Solve>
void expectCentralDifferences(PhaseParameters (&model)[3], const Vector4& solution, const double (&derivative)[N][12],
                              Solve solve)
{
    for (int k = 0; k < 12; ++k) {
        double* coefficient[4] = {&model[k / 4].a0, &model[k / 4].a1, &model[k / 4].b0, &model[k / 4].b1};
        double& theta = *coefficient[k % 4];
        const double nominal = theta;
        const double h = 1e-3 * std::max(std::fabs(nominal), 1.0);
        Vector4 solved[2];
        for (int side = 0; side < 2; ++side) {
            theta = nominal + (side == 0 ? h : -h);
            Vector4 first{};
            ASSERT_TRUE(solve(solution, first));
            ASSERT_TRUE(solve(first, solved[side]));
        }
        theta = nominal;
        for (int r = 0; r < N; ++r) {
            const double numeric = (solved[0][r] - solved[1][r]) / (2 * h);
            EXPECT_NEAR(derivative[r][k], numeric, 1e-4 * std::fabs(numeric) + 1e-9) << "u" << r << " theta" << k;
        }
    }
}

TEST(Sensitivity, MatchesCentralDifferencesOfTheSolvedEutecticAndTieLine)
{
    PhaseParameters model[3] = {GENERATED_MODEL[0], GENERATED_MODEL[1], GENERATED_MODEL[2]};
    Vector4 eutectic{};
    ASSERT_TRUE(solveStableEutectic(model, eutectic));
    double derivative[4][12];
    ASSERT_TRUE(eutecticSensitivity(model, eutectic, derivative));
    expectCentralDifferences(model, eutectic, derivative, [&](Vector4 start, Vector4& result) {
        return refineEutectic(start, result, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT;
    });

    GibbsCurves curves;
    Vector4 x{};
    ASSERT_TRUE(solveStableTieLine(model, LIQUID_FCC, 1000, nullptr, x, curves));
    double slopes[2][12];
    ASSERT_TRUE(tieLineSensitivity(model, LIQUID_FCC, 1000, x, slopes));
    expectCentralDifferences(model, x, slopes, [&](Vector4 start, Vector4& result) {
        return refineTwoPhase(1000, start, result, model[LIQUID], model[FCC], LIQUID_FCC) < ITERATION_LIMIT;
    });
}

// Neither the clock nor the roots that a clock-seeded phasediagram run left in the tables may
// change a byte: the nominal solutions come from the data alone.
TEST(UncertaintyProgram, TheSameDataAndSeedGiveTheSameFilesWhateverTheClockAndTheTables)
{
    MeasuredData data{};
    ErrorText error{};
    ASSERT_TRUE(readExampleData(data));
    UncertaintyOptions options;
    options.replicates = 200;
    options.initialT = 500;
    options.finalT = 1000;
    std::string reports[2];
    for (int run = 0; run < 2; ++run) {
        frozenCalendarTime = FROZEN_CLOCK_START + 7919 * run;
        UncertaintyResult result;
        ASSERT_TRUE(analyseUncertainty(data, options, result, error, [](int) {})) << error.text;
        reports[run] = formatUncertaintyReport(result) + formatBand(bandRows(result, BCC_FCC), BCC_FCC, "f") +
                       formatEutecticBand(eutecticBand(result), "f");
    }
    frozenCalendarTime = FROZEN_CLOCK_START;
    EXPECT_EQ(reports[0], reports[1]);

    // The program, with tables of two runs that found other roots: only the seed changes the files.
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const std::string tables[2] = {"Temp\tXb(BCC) \tXb(FCC)\t      Iteration\t\tValidity\t\n"
                                   "700\t0.952010\t0.037823\t3\t\t Valid \t\n",
                                   "Temp\tXb(BCC) \tXb(FCC)\t      Iteration\t\tValidity\t\n"
                                   "700\t0.649800\t0.958400\t5\t\t Valid \t\n"};
    std::string files[2];
    for (int run = 0; run < 2; ++run) {
        writeFile(dir / "_Data(BCC-FCC).txt", tables[run]);
        const ProgramRun result = runTool(UNCERTAINTY_PATH, dir, {"--replicates", "300", "--range", "600", "900"});
        ASSERT_EQ(result.status, 0) << result.err;
        for (const char* name : {"Uncertainty.txt", "_Band(Li-FCC).txt", "_Band(BCC-FCC).txt", "_Band(Eutectic).txt"})
            files[run] += readFile(dir / name);
    }
    EXPECT_EQ(files[0], files[1]);
    EXPECT_NE(files[0].find("Seed: 20260101"), std::string::npos);
    ASSERT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates=300", "--range", "600", "900", "--seed", "7"}).status, 0);
    EXPECT_NE(readFile(dir / "Uncertainty.txt").find("Seed: 7 "), std::string::npos);
}

TEST(UncertaintyProgram, TakesTheScatterOfAFileFromTheUser)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const ProgramRun run =
        runTool(UNCERTAINTY_PATH, dir, {"--replicates", "50", "--range", "700", "710", "--enthalpy-sd", "60", "--sd", "Li(a).txt=0.004"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = readFile(dir / "Uncertainty.txt");
    EXPECT_NE(report.find("Li(Hm).txt            9        60.000000  J/mol  given\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Li(a).txt             9         0.004000  ln a   given\n"), std::string::npos);
    EXPECT_NE(report.find("FCC(aKs).txt          9         0.001052  ln a   estimated, 7 degrees of freedom\n"),
              std::string::npos);
}

TEST(UncertaintyProgram, RefusesAFitWithoutRoomForScatterAndBadOptions)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    writeFile(dir / "FCC(aKs).txt", "0.1 0.062191\n0.2 0.13886\n");
    const ProgramRun run = runTool(UNCERTAINTY_PATH, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram-uncertainty: FCC: FCC(aKs).txt holds 2 pairs; a fit whose scatter is estimated "
                       "needs at least 3\n");
    EXPECT_FALSE(fs::exists(dir / "Uncertainty.txt"));
    const ProgramRun bad = runTool(UNCERTAINTY_PATH, dir, {"--replicates", "1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "phasediagram-uncertainty: --replicates takes a whole number from 2 to 10000000, not \"1\" (see "
                       "--help)\n");
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--range", "0", "100001"}).status, 2);  // more than 100000 K
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--range", "700", "700"}).status, 2);    // an empty range
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--sd", "Li(x).txt=3"}).status, 2);
    EXPECT_EQ(runTool(UNCERTAINTY_PATH, dir, {"-h"}).status, 0);
}

}  // namespace
