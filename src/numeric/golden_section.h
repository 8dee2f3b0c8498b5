// The least of a function of one variable within an interval by golden-section search: for
// functions that are unimodal there and cheap enough to call some eighty times.
#pragma once

#include <cmath>

// Narrows [a, b] around the least of f until it is narrower than `width` (or after `steps`
// steps); returns the interval's ends in a and b. f is called with points inside [a, b] only.
template <typename F>
void goldenSection(F&& f, double& a, double& b, double width, int steps)
{
    const double r = 0.5 * (std::sqrt(5.0) - 1);
    double u = b - r * (b - a);
    double v = a + r * (b - a);
    double fu = f(u);
    double fv = f(v);
    for (int i = 0; i < steps && b - a > width; ++i) {
        if (fu < fv) {
            b = v;
            v = u;
            fv = fu;
            u = b - r * (b - a);
            fu = f(u);
        } else {
            a = u;
            u = v;
            fu = fv;
            v = a + r * (b - a);
            fv = f(v);
        }
    }
}
