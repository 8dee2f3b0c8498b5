// The chi-square tail by the incomplete gamma function: its power series below a + 1, where it
// converges fast, and its continued fraction (evaluated by Lentz's method) above, where the
// series would lose the tail to cancellation.
#include "numeric/distributions.h"

#include <cmath>

namespace {

constexpr double EPSILON = 1e-15;
constexpr double TINY = 1e-300;
constexpr int TERMS = 1000;

// ln(x^a e^-x / Gamma(a)), the factor both expansions share.
double logPrefactor(double a, double x) { return a * std::log(x) - x - std::lgamma(a); }

// P(a, x) by the series e^-x x^a / Gamma(a + 1) * sum x^n / ((a + 1) ... (a + n)).
double lowerSeries(double a, double x)
{
    double term = 1 / a;
    double sum = term;
    for (int n = 1; n < TERMS; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * EPSILON) break;
    }
    return sum * std::exp(logPrefactor(a, x));
}

// Q(a, x) by the continued fraction 1 / (x + 1 - a - 1 (1 - a) / (x + 3 - a - 2 (2 - a) / (x + 5 - a - ...))).
double upperFraction(double a, double x)
{
    double b = x + 1 - a;
    double c = 1 / TINY;
    double d = 1 / b;
    double fraction = d;
    for (int n = 1; n < TERMS; ++n) {
        const double an = -n * (n - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < TINY) d = TINY;
        c = b + an / c;
        if (std::fabs(c) < TINY) c = TINY;
        d = 1 / d;
        const double delta = d * c;
        fraction *= delta;
        if (std::fabs(delta - 1) < EPSILON) break;
    }
    return std::exp(logPrefactor(a, x)) * fraction;
}

}  // namespace

double chiSquareTail(double chiSquare, double degrees)
{
    if (!(chiSquare > 0)) return 1;
    if (std::isinf(chiSquare)) return 0;
    const double a = degrees / 2;
    const double x = chiSquare / 2;
    return x < a + 1 ? 1 - lowerSeries(a, x) : upperFraction(a, x);
}
