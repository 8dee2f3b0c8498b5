// The chi-square tail against its closed forms: e^-x sum x^i / i! for even degrees of freedom,
// erfc(sqrt(x)) for one, on both sides of the switch between series and continued fraction and
// far into the tail.
#include "numeric/distributions.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Distributions, ChiSquareTailMeetsItsClosedForms)
{
    for (const int k : {1, 2, 3, 10, 40, 150}) {
        const int degrees = 2 * k;
        for (const double chiSquare : {0.01, 0.5, 3.0, 20.0, 79.0, 80.0, 81.0, 300.0, 1200.0}) {
            const double x = chiSquare / 2;
            // The sum's terms in logarithms, so that neither x^i nor i! overflows.
            double sum = 0;
            for (int i = 0; i < k; ++i) sum += std::exp(i * std::log(x) - std::lgamma(i + 1.0) - x);
            EXPECT_NEAR(chiSquareTail(chiSquare, degrees), sum, 1e-12 * sum + 1e-300) << degrees << " " << chiSquare;
        }
    }
    for (const double chiSquare : {0.001, 0.3, 1.0, 2.0, 9.0, 50.0, 400.0})
        EXPECT_NEAR(chiSquareTail(chiSquare, 1), std::erfc(std::sqrt(chiSquare / 2)),
                    1e-12 * std::erfc(std::sqrt(chiSquare / 2)) + 1e-300)
            << chiSquare;
    EXPECT_EQ(chiSquareTail(0, 5), 1);
    EXPECT_EQ(chiSquareTail(INFINITY, 5), 0);
}
