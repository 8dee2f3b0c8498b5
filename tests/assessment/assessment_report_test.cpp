// The report's interval quantile against Student's t as tables give it, and the report's numbers
// against the assessment they come from.
#include "assessment/assessment_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_data.h"

// 97.5 % quantiles of Student's t (Abramowitz and Stegun, table 26.10).
TEST(AssessmentReport, StudentQuantilesAreThoseOfTheTables)
{
    const double table[][2] = {{3, 3.182446}, {4, 2.776445}, {6, 2.446912}, {10, 2.228139}, {30, 2.042272}, {120, 1.979930}};
    for (const auto& [degrees, t] : table) EXPECT_NEAR(studentQuantile975(degrees), t, 2e-3 * t) << degrees;
    EXPECT_NEAR(studentQuantile975(INFINITY), 1.959964, 1e-6);
}

// The example assessed with its boundary points: each coefficient's row holds the straight-line
// fit's and the assessment's values, and the eutectic row the assessed diagram's.
TEST(AssessmentReport, TheReportHoldsTheAssessment)
{
    MeasuredData data;
    ASSERT_TRUE(readExampleData(data));
    FitSamples samples;
    ErrorText error{};
    ASSERT_TRUE(prepareFits(data, GivenScatter{}, samples, error)) << error.text;
    std::vector<BoundaryPoint> points;
    bool present = false;
    ASSERT_TRUE(readBoundaryPoints(EXAMPLE_DATA_DIR "/Boundaries.txt", points, present, error)) << error.text;
    Assessment a;
    ASSERT_TRUE(assessModel(samples, points, BoundaryScatter{}, a, error)) << error.text;
    const GoodnessOfFit goodness = judgeFit(samples, points, BoundaryScatter{}, a);
    const std::string report = formatAssessment(a, goodness, samples, points, BoundaryScatter{});
    for (int k = 0; k < COEFFICIENTS; ++k) {
        char row[160];
        std::snprintf(row, sizeof row, "\n%s\t%.6f\t%.6f\t%.6f\n", coefficientName(k), (&a.before.model[k / 4].a0)[k % 4],
                      (&a.after.model[k / 4].a0)[k % 4], a.standardError[k]);
        EXPECT_NE(report.find(row), std::string::npos) << row;
    }
    char eutectic[120];
    std::snprintf(eutectic, sizeof eutectic, "\nafter\t%.4f\t", a.after.eutectic[0]);
    EXPECT_NE(report.find(eutectic), std::string::npos);
    EXPECT_EQ(a.after.points.size(), points.size());
}
