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
    for (int r = LIQUID; r <= FCC; ++r) {
        const auto phase = static_cast<PhaseIndex>(r);
        for (int k = 1; k < STABILITY_GRID; ++k) {
            const double x = gridComposition(k);
            if (line.below(x, gibbsEnergy(phase, c[r], x, T))) return false;
        }
    }
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
