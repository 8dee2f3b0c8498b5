// Least-squares fitting and the model's coefficients recovered from data without scatter.
#include "model/fitting.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_data.h"

namespace {

TEST(FitLine, RecoversAnExactLineWithTheSignOfItsSlope)
{
    const double x[] = {0.1, 0.25, 0.4, 0.65, 0.9};
    double y[5];
    for (int i = 0; i < 5; ++i) y[i] = 2.385 - 7.25 * x[i];
    LineFit fit{};
    fitLine(fit, x, y, 5);
    EXPECT_NEAR(fit.intercept, 2.385, 1e-12);
    EXPECT_NEAR(fit.slope, -7.25, 1e-12);
    EXPECT_NEAR(fit.r, -1.0, 1e-12);
}

TEST(FitLine, EnthalpyOrdinatesOfAGeneratedLiquid)
{
    const double x[] = {0.2, 0.5, 0.8};
    double y[3];
    for (int i = 0; i < 3; ++i) {
        const double h = x[i] * (1 - x[i]) * (-10000 + 5000 * x[i]);
        y[i] = enthalpyOrdinate(LIQUID, x[i], h);
    }
    LineFit fit{};
    fitLine(fit, x, y, 3);
    EXPECT_NEAR(fit.intercept, -10000, 1e-9);
    EXPECT_NEAR(fit.slope, 5000, 1e-9);
    EXPECT_NEAR(fit.r, 1.0, 1e-12);
}

TEST(FitLine, TooFewPointsGiveValuesThatAreNotFinite)
{
    const double x[] = {0.5};
    const double y[] = {3.0};
    LineFit fit{};
    fitLine(fit, x, y, 0);
    EXPECT_TRUE(std::isnan(fit.intercept) && std::isnan(fit.slope) && std::isnan(fit.r));
    fitLine(fit, x, y, 1);
    EXPECT_FALSE(std::isfinite(fit.intercept));
    EXPECT_FALSE(std::isfinite(fit.slope));
}

TEST(FitModel, GivesBackTheCoefficientsOfDataGeneratedFromTheModel)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    PhaseParameters fitted[3]{};
    PhaseFit fits[3]{};
    fitModel(data, fitted[LIQUID], fitted[BCC], fitted[FCC], fits);
    for (int p = 0; p < 3; ++p) {
        const PhaseParameters& expected = GENERATED_MODEL[p];
        EXPECT_NEAR(fitted[p].a0, expected.a0, 1e-7) << p;
        EXPECT_NEAR(fitted[p].a1, expected.a1, 1e-9) << p;
        EXPECT_NEAR(fitted[p].b0, expected.b0, 1e-7) << p;
        EXPECT_NEAR(fitted[p].b1, expected.b1, 1e-9) << p;
        EXPECT_NEAR(std::fabs(fits[p].enthalpy.r), 1.0, 1e-12) << p;
        EXPECT_NEAR(std::fabs(fits[p].activity.r), 1.0, 1e-12) << p;
    }
}

TEST(FitModel, UsesTheActivityCompositionsAndIgnoresSurplusEnthalpyPairs)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    PhaseParameters reference[3]{};
    PhaseFit fits[3]{};
    fitModel(data, reference[0], reference[1], reference[2], fits);

    DataSeries& enthalpy = data.phase[BCC].enthalpy;
    enthalpy.x[0] = 0.123;  // superseded by the activity file's composition
    enthalpy.x[9] = 0.95;
    enthalpy.value[9] = -1e9;  // a tenth pair that the nine activity pairs do not reach
    enthalpy.count = 10;
    PhaseParameters again[3]{};
    fitModel(data, again[0], again[1], again[2], fits);
    EXPECT_EQ(again[BCC].a0, reference[BCC].a0);
    EXPECT_EQ(again[BCC].b1, reference[BCC].b1);
}

TEST(FitModel, ACompositionOfZeroMakesThePhaseNotFinite)
{
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    data.phase[FCC].activity.x[3] = 0.0;
    PhaseParameters fitted[3]{};
    PhaseFit fits[3]{};
    fitModel(data, fitted[0], fitted[1], fitted[2], fits);
    EXPECT_FALSE(std::isfinite(fitted[FCC].a0));
    EXPECT_FALSE(std::isfinite(fitted[FCC].b1));
    EXPECT_TRUE(std::isfinite(fitted[LIQUID].a0));
}

}  // namespace
