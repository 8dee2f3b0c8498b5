// Common-tangent and convex-hull tests on the Gibbs energy curves of the model.
#include "equilibrium/stability.h"

#include <algorithm>
#include <cmath>

namespace {

double gridComposition(int k) { return static_cast<double>(k) / STABILITY_GRID; }

// The straight line through two points of the curves, and the test of a curve's value against it.
struct TieLine {
    double x1;
    double g1;
    double slope;
    bool below(double x, double g) const { return g < (g1 + slope * (x - x1)) - STABILITY_TOLERANCE; }
};

TieLine tieLine(const InteractionCoefficients (&c)[3], double T, PhaseIndex p, double x1, PhaseIndex q, double x2)
{
    const double g1 = gibbsEnergy(p, c[p], x1, T);
    const double g2 = gibbsEnergy(q, c[q], x2, T);
    return {x1, g1, (g2 - g1) / (x2 - x1)};
}

// A vertex of the lower hull: a grid point and the phase lowest there.
struct Vertex {
    double x;
    double g;
    int phase;
    std::size_t k;
};

void lowerHull(const GibbsCurves& curves, std::vector<Vertex>& hull)
{
    // At each grid composition only the lowest curve can lie on the lower hull.
    hull.clear();
    hull.reserve(curves.x.size());
    for (std::size_t k = 0; k < curves.x.size(); ++k) {
        int lowest = LIQUID;
        for (int r = BCC; r <= FCC; ++r)
            if (curves.g[r][k] < curves.g[lowest][k]) lowest = r;
        const Vertex v{curves.x[k], curves.g[lowest][k], lowest, k};
        // Monotone chain: drop the last vertex while it does not lie strictly below the chord.
        while (hull.size() >= 2) {
            const Vertex& a = hull[hull.size() - 2];
            const Vertex& b = hull.back();
            if ((b.x - a.x) * (v.g - a.g) - (b.g - a.g) * (v.x - a.x) > 0) break;
            hull.pop_back();
        }
        hull.push_back(v);
    }
}

// Whether the curve of `phase` lies below the line at some grid point, found without visiting
// every one. Where h = G - line < -tolerance the curve dips in stretches, each around a local
// minimum of h or reaching an end of (0, 1); a stretch that holds a grid point holds the grid
// points next to its minimum, or the grid's first or last point. So those are the only points
// to test, with the same arithmetic as the full scan and so the same verdict. The minima of h
// are the upward zero crossings of h' = G' - slope, which is monotone between the zeros of
// h'' = R T / (x (1 - x)) + 2 L1 - 2 L0 - 6 L1 x, the zeros of a cubic.
bool gridPointBelow(PhaseIndex phase, const InteractionCoefficients& c, double T, const TieLine& line)
{
    const auto belowAt = [&](int k) {
        const double x = gridComposition(std::clamp(k, 1, STABILITY_GRID - 1));
        return line.below(x, gibbsEnergy(phase, c, x, T));
    };
    if (belowAt(1) || belowAt(STABILITY_GRID - 1)) return true;
    const double RT = GAS_CONSTANT * T;
    const double dG = pureBGibbsEnergy(phase, T) - pureAGibbsEnergy(phase, T);
    const auto slope = [&](double x) {  // h'(x)
        return dG + RT * std::log(x / (1 - x)) + (1 - 2 * x) * (c.L0 + c.L1 * x) + x * (1 - x) * c.L1 - line.slope;
    };
    // x (1 - x) h''(x) = a3 x^3 + a2 x^2 + a1 x + RT; its extrema at the zeros of its derivative.
    const double a1 = 2 * c.L1 - 2 * c.L0;
    const double a2 = -a1 - 6 * c.L1;
    const double a3 = 6 * c.L1;
    const auto cubic = [&](double x) { return ((a3 * x + a2) * x + a1) * x + RT; };
    double ends[4] = {0, 1, 1, 1};  // 0, the cubic's extrema in (0, 1), 1
    int count = 1;
    const double disc = 4 * a2 * a2 - 12 * a3 * a1;
    if (a3 != 0 && disc >= 0)
        for (const double sign : {-1.0, 1.0}) {
            const double e = (-2 * a2 + sign * std::sqrt(disc)) / (6 * a3);
            if (e > 0 && e < 1) ends[count++] = e;
        }
    else if (a3 == 0 && a2 != 0 && -a1 / (2 * a2) > 0 && -a1 / (2 * a2) < 1)
        ends[count++] = -a1 / (2 * a2);
    if (count == 3 && ends[2] < ends[1]) std::swap(ends[1], ends[2]);
    ends[count++] = 1;
    // The zeros of h'' split (0, 1) into pieces where h' is monotone.
    double splits[5] = {0};
    int pieces = 1;
    for (int i = 0; i + 1 < count; ++i) {
        double lo = ends[i];
        double hi = ends[i + 1];
        if ((cubic(lo) > 0) == (cubic(hi) > 0)) continue;
        for (int b = 0; b < 80 && hi - lo > 0; ++b) {
            const double mid = (lo + hi) / 2;
            ((cubic(mid) > 0) == (cubic(lo) > 0) ? lo : hi) = mid;
        }
        splits[pieces++] = (lo + hi) / 2;
    }
    splits[pieces] = 1;
    for (int i = 0; i < pieces; ++i) {
        double lo = splits[i];
        double hi = splits[i + 1];
        // h' tends to -infinity at x = 0 and to +infinity at x = 1.
        const double left = lo == 0 ? -INFINITY : slope(lo);
        const double right = hi == 1 ? INFINITY : slope(hi);
        if (!(left < 0 && right > 0)) continue;
        if (lo == 0) lo = 1e-300;
        if (hi == 1) hi = 1 - 1e-16;
        for (int b = 0; b < 80 && hi - lo > 0; ++b) {
            const double mid = (lo + hi) / 2;
            (slope(mid) < 0 ? lo : hi) = mid;
        }
        const int k = static_cast<int>(std::floor(lo * STABILITY_GRID));
        for (int j = k - 1; j <= k + 2; ++j)
            if (belowAt(j)) return true;
    }
    return false;
}

}  // namespace

void gibbsCurves(const PhaseParameters (&model)[3], double T, GibbsCurves& curves)
{
    curves.T = T;
    if (curves.x.size() != STABILITY_GRID - 1) {
        // The grid and its mixing terms do not depend on the temperature: the logarithms once.
        curves.x.resize(STABILITY_GRID - 1);
        curves.mixing.resize(STABILITY_GRID - 1);
        for (int k = 1; k < STABILITY_GRID; ++k) {
            curves.x[k - 1] = gridComposition(k);
            curves.mixing[k - 1] = idealMixing(curves.x[k - 1]);
        }
    }
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        curves.c[p] = interactionCoefficients(model[p], T);
        curves.g[p].resize(curves.x.size());
        for (std::size_t k = 0; k < curves.x.size(); ++k)
            curves.g[p][k] = gibbsEnergy(phase, curves.c[p], curves.x[k], T, curves.mixing[k]);
    }
}

bool isStableTieLine(const GibbsCurves& curves, PhaseIndex p, double x1, PhaseIndex q, double x2)
{
    const TieLine line = tieLine(curves.c, curves.T, p, x1, q, x2);
    if (!std::isfinite(line.slope)) return false;
    for (int r = LIQUID; r <= FCC; ++r)
        for (std::size_t k = 0; k < curves.x.size(); ++k)
            if (line.below(curves.x[k], curves.g[r][k])) return false;
    return true;
}

bool isStableTieLine(const PhaseParameters (&model)[3], double T, PhaseIndex p, double x1, PhaseIndex q, double x2)
{
    const InteractionCoefficients c[3] = {interactionCoefficients(model[LIQUID], T),
                                          interactionCoefficients(model[BCC], T),
                                          interactionCoefficients(model[FCC], T)};
    const TieLine line = tieLine(c, T, p, x1, q, x2);
    if (!std::isfinite(line.slope)) return false;
    for (int r = LIQUID; r <= FCC; ++r)
        if (gridPointBelow(static_cast<PhaseIndex>(r), c[r], T, line)) return false;
    return true;
}

bool isStableEutectic(const PhaseParameters (&model)[3], const Vector4& u)
{
    return isStableTieLine(model, u[0], FCC, u[3], BCC, u[2]);
}

void stableStates(const GibbsCurves& curves, const std::vector<double>& queries, std::vector<StableState>& states)
{
    std::vector<Vertex> hull;
    lowerHull(curves, hull);
    states.resize(queries.size());
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const double x = queries[i];
        auto right = std::lower_bound(hull.begin(), hull.end(), x, [](const Vertex& v, double q) { return v.x < q; });
        if (right == hull.end()) --right;
        if (right == hull.begin()) ++right;
        const Vertex& a = *(right - 1);
        const Vertex& b = *right;
        const auto first = static_cast<PhaseIndex>(a.phase);
        const auto second = static_cast<PhaseIndex>(b.phase);
        if (a.phase == b.phase)
            states[i] = {first, first, b.k - a.k > 1};
        else
            states[i] = {first, second, false};
    }
}

void hullTieLines(const GibbsCurves& curves, std::vector<HullTieLine>& tieLines)
{
    std::vector<Vertex> hull;
    lowerHull(curves, hull);
    tieLines.clear();
    for (std::size_t v = 1; v < hull.size(); ++v)
        if (hull[v - 1].phase != hull[v].phase)
            tieLines.push_back({static_cast<PhaseIndex>(hull[v - 1].phase), static_cast<PhaseIndex>(hull[v].phase),
                                hull[v - 1].x, hull[v].x});
}
