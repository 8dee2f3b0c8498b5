// The bootstrap's scatter model against a known truth: data sets simulated from a model with a
// known sd on each enthalpy and each ln a. The sd estimated from a file is unbiased in its
// square; the linear covariance and the replicates of one data set spread as the estimates do
// across data sets, the replicates centred on that data set's fit; a replicate's own sd over the
// data's is distributed as sqrt(chi2(n - 2) / (n - 2)).
#include "uncertainty/bootstrap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "model_data.h"
#include "uncertainty/calibration.h"

namespace {

constexpr int POINTS = 9;
constexpr double ENTHALPY_SD = 80.0;   // J/mol
constexpr double ACTIVITY_SD = 0.005;  // in ln a

double trueSd(int kind) { return kind == ENTHALPY_FIT ? ENTHALPY_SD : ACTIVITY_SD; }

// Mean and sample sd of values.
std::pair<double, double> meanAndSd(const std::vector<double>& values)
{
    double mean = 0;
    for (const double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    double squares = 0;
    for (const double v : values) squares += (v - mean) * (v - mean);
    return {mean, std::sqrt(squares / static_cast<double>(values.size() - 1))};
}

TEST(Bootstrap, ScatterAndSpreadMatchThoseOfDataSetsDrawnFromTheTruth)
{
    constexpr int DATA_SETS = 2000;
    std::mt19937_64 noise(20261207);
    GaussianSource gauss{noise};
    GivenScatter truth;
    for (int p = 0; p < 3; ++p)
        for (int f = 0; f < 2; ++f) truth.sd[p][f] = trueSd(f);

    std::vector<double> estimates[12];
    double variance[3][2] = {};  // mean of the estimated sd^2 over sigma^2
    FitSamples first{};
    for (int d = 0; d < DATA_SETS; ++d) {
        MeasuredData data{};
        simulateMeasurements(GENERATED_MODEL, POINTS, ENTHALPY_SD, ACTIVITY_SD, gauss, data);
        FitSamples estimated{};
        ErrorText error{};
        ASSERT_TRUE(prepareFits(data, GivenScatter{}, estimated, error)) << error.text;
        for (int p = 0; p < 3; ++p) {
            for (int f = 0; f < 2; ++f) {
                const double ratio = estimated.fit[p][f].sd / trueSd(f);
                variance[p][f] += ratio * ratio / DATA_SETS;
            }
            const PhaseParameters c = nominalCoefficients(estimated, static_cast<PhaseIndex>(p));
            for (int k = 0; k < 4; ++k) estimates[4 * p + k].push_back(coefficient(c, k));
        }
        if (d == 0) {
            ASSERT_TRUE(prepareFits(data, truth, first, error)) << error.text;
        }
    }
    // chi2(7) / 7 has sd 0.53: its mean over 2000 data sets lies within 0.04 of 1.
    for (int p = 0; p < 3; ++p)
        for (int f = 0; f < 2; ++f) EXPECT_NEAR(variance[p][f], 1, 0.04) << fitFileName(static_cast<PhaseIndex>(p), f);

    // The sd of each coefficient across data sets, against the linear propagation of the true
    // scatter and the spread of 2000 replicates of the first data set: an sd from 2000 values
    // is good to 1.6 %.
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(first, 2000, 7, models, ratios);
    for (int p = 0; p < 3; ++p) {
        double covariance[4][4];
        coefficientCovariance(first, static_cast<PhaseIndex>(p), covariance);
        const PhaseParameters nominal = nominalCoefficients(first, static_cast<PhaseIndex>(p));
        for (int k = 0; k < 4; ++k) {
            const double sampling = meanAndSd(estimates[4 * p + k]).second;
            std::vector<double> replicated;
            for (const ReplicateModel& m : models) replicated.push_back(coefficient(m[p], k));
            const auto [mean, sd] = meanAndSd(replicated);
            EXPECT_NEAR(std::sqrt(covariance[k][k]) / sampling, 1, 0.06) << p << " " << k;
            EXPECT_NEAR(sd / sampling, 1, 0.08) << p << " " << k;
            // Centred on the first data set's own fit, within four standard errors of the mean.
            EXPECT_NEAR(mean, coefficient(nominal, k), 4 * sd / std::sqrt(2000.0)) << p << " " << k;
        }
    }
}

// A replicate's own estimate of the sd over the data's: its square times n - 2 is chi-square with
// n - 2 degrees of freedom, whatever the data's sd, so its mean is 1 and its 90th percentile that
// of chi2(7) / 7, 1.7085; a file whose sd is given has none, its ratio is 1.
TEST(Bootstrap, AReplicatesOwnScatterIsThatOfItsDegreesOfFreedom)
{
    std::mt19937_64 noise(11);
    GaussianSource gauss{noise};
    MeasuredData data{};
    simulateMeasurements(GENERATED_MODEL, POINTS, ENTHALPY_SD, ACTIVITY_SD, gauss, data);
    FitSamples samples{};
    ErrorText error{};
    GivenScatter given;
    given.sd[LIQUID][ACTIVITY_FIT] = ACTIVITY_SD;
    ASSERT_TRUE(prepareFits(data, given, samples, error)) << error.text;
    constexpr int REPLICATES = 4000;
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(samples, REPLICATES, 3, models, ratios);
    for (int f = 0; f < 6; ++f) {
        if (f == 2 * LIQUID + ACTIVITY_FIT) {
            for (const ScatterRatios& r : ratios) ASSERT_EQ(r[f], 1.0);
            continue;
        }
        std::vector<double> squares;
        for (const ScatterRatios& r : ratios) squares.push_back(r[f] * r[f]);
        EXPECT_NEAR(meanAndSd(squares).first, 1, 0.03) << f;  // 0.53 / sqrt(4000) = 0.008
        std::sort(squares.begin(), squares.end());
        EXPECT_NEAR(squares[REPLICATES * 9 / 10], 1.7085, 0.06) << f;
    }
}

// The polar method's variates: mean 0, variance 1, kurtosis 3, and no correlation between one and
// the next (the two of a pair, and the last of one pair with the first of the next).
TEST(Bootstrap, GaussianVariatesHaveTheMomentsOfTheStandardNormal)
{
    std::mt19937_64 generator(5);
    GaussianSource gauss{generator};
    constexpr int N = 200000;
    double sum = 0, squares = 0, fourth = 0, lagged = 0, previous = 0;
    for (int i = 0; i < N; ++i) {
        const double z = gauss.next();
        sum += z;
        squares += z * z;
        fourth += z * z * z * z;
        lagged += z * previous;
        previous = z;
    }
    EXPECT_NEAR(sum / N, 0, 0.01);          // se 0.0022
    EXPECT_NEAR(squares / N, 1, 0.01);      // se 0.0032
    EXPECT_NEAR(fourth / N, 3, 0.07);       // se 0.022
    EXPECT_NEAR(lagged / N, 0, 0.01);
}

}  // namespace
