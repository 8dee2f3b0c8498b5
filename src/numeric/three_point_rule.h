// The integral of a function over three points of unequal spacing, from its values there.
#pragma once

// Exact for a quadratic g; the trapezoid over the whole where two points coincide.
inline double threePointRule(double x0, double x1, double x2, double g0, double g1, double g2)
{
    const double h0 = x1 - x0;
    const double h1 = x2 - x1;
    if (h0 == 0 || h1 == 0) return (x2 - x0) * (g0 + g2) / 2;
    return (h0 + h1) / 6 * ((2 - h1 / h0) * g0 + (h0 + h1) * (h0 + h1) / (h0 * h1) * g1 + (2 - h0 / h1) * g2);
}
