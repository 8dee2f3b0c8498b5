// Common-tangent and convex-hull tests on the Gibbs energy curves of the model.
#include "plot/stability.h"

#include <algorithm>
#include <cmath>

void gibbsCurves(const PhaseParameters (&model)[3], double T, GibbsCurves& curves)
{
    curves.T = T;
    curves.x.resize(STABILITY_GRID - 1);
    for (int k = 1; k < STABILITY_GRID; ++k) curves.x[k - 1] = static_cast<double>(k) / STABILITY_GRID;
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        curves.c[p] = interactionCoefficients(model[p], T);
        curves.g[p].resize(curves.x.size());
        for (std::size_t k = 0; k < curves.x.size(); ++k)
            curves.g[p][k] = gibbsEnergy(phase, curves.c[p], curves.x[k], T);
    }
}

bool isStableTieLine(const GibbsCurves& curves, PhaseIndex p, double x1, PhaseIndex q, double x2)
{
    const double g1 = gibbsEnergy(p, curves.c[p], x1, curves.T);
    const double g2 = gibbsEnergy(q, curves.c[q], x2, curves.T);
    const double slope = (g2 - g1) / (x2 - x1);
    if (!std::isfinite(slope)) return false;
    for (int r = LIQUID; r <= FCC; ++r)
        for (std::size_t k = 0; k < curves.x.size(); ++k) {
            const double line = g1 + slope * (curves.x[k] - x1);
            if (curves.g[r][k] < line - STABILITY_TOLERANCE) return false;
        }
    return true;
}

void stableStates(const GibbsCurves& curves, const std::vector<double>& queries, std::vector<StableState>& states)
{
    // At each grid composition only the lowest curve can lie on the lower hull.
    struct Vertex {
        double x;
        double g;
        int phase;
        std::size_t k;
    };
    std::vector<Vertex> hull;
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
