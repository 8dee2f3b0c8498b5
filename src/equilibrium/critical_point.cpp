// The critical point as the root in T of the least curvature of the phase's curve: below the
// critical temperature the curve bends down over its spinodal, above it bends up everywhere.
#include "equilibrium/critical_point.h"

#include <cmath>

#include "model/sublattice_energy.h"
#include "numeric/golden_section.h"

namespace {

// d2G/dy2 (J per formula unit) along the phase's one free site fraction y (of the second element
// on the mixing sublattice), its other sublattices held at their single constituents.
struct Curvature {
    const BinarySystem* system;
    SystemAt* at;
    int phase;
    int a;        // the site fraction of the first element on the mixing sublattice
    int b;        // of the second
    double sites; // of the mixing sublattice

    double operator()(double y) const
    {
        const ModelPhase& p = system->phases[static_cast<std::size_t>(phase)];
        const int n = constituentCount(p);
        double state[MAX_CONSTITUENTS];
        for (int c = 0; c < n; ++c) state[c] = 1;  // the single constituents of the other sublattices
        state[a] = 1 - y;
        state[b] = y;
        double g[MAX_CONSTITUENTS];
        double h[MAX_CONSTITUENTS * MAX_CONSTITUENTS];
        nonIdealEnergy(p, at->values.data(), at->T, system->gasConstant, state, g, h);
        return h[a * n + a] - 2 * h[a * n + b] + h[b * n + b] + at->RT * sites * (1 / y + 1 / (1 - y));
    }
};

// The least curvature over y within (lo, hi); `where` its place.
double leastCurvature(const Curvature& c, double lo, double hi, double& where)
{
    double a = lo;
    double b = hi;
    goldenSection(c, a, b, 1e-12, 80);
    where = 0.5 * (a + b);
    return c(where);
}

}  // namespace

bool criticalPoint(const BinarySystem& system, SystemAt& at, int phase, double x, double inside, double outside,
                   double& T, double& xc)
{
    const ModelPhase& p = system.phases[static_cast<std::size_t>(phase)];
    Curvature c{&system, &at, phase, -1, -1, 0};
    if (!mixingSublattice(p, c.a, c.b, c.sites)) return false;
    // y of the mixing sublattice is x where every other sublattice holds vacancies only.
    const double lo = std::fmax(1e-9, x - 0.3);
    const double hi = std::fmin(1 - 1e-9, x + 0.3);
    double where = x;
    const auto m = [&](double t) -> double {
        if (!evaluateSystemAt(system, t, at)) return NAN;
        return leastCurvature(c, lo, hi, where);
    };
    double a = inside;
    double fa = m(a);
    if (!(fa < 0)) return false;
    // Step out from inside until the curve bends up everywhere, doubling the step.
    double step = outside - inside;
    double b = outside;
    double fb = m(b);
    for (int i = 0; i < 20 && std::isfinite(fb) && fb < 0; ++i) {
        a = b;
        fa = fb;
        step *= 2;
        b = a + step;
        fb = m(b);
    }
    if (!(fb > 0)) return false;
    for (int i = 0; i < 200 && std::fabs(b - a) > 1e-10; ++i) {
        const double mid = 0.5 * (a + b);
        const double fm = m(mid);
        if (!std::isfinite(fm)) return false;
        if (fm < 0) a = mid;
        else b = mid;
    }
    T = 0.5 * (a + b);
    m(T);
    xc = where;
    return true;
}
