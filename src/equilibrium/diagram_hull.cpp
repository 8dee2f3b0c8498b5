// The lower convex hull of the curves on the grid.
#include "equilibrium/diagram_hull.h"

#include <algorithm>
#include <cmath>

namespace {

// Compositions of a phase's grid points for the convex hull, with the difference of two of them
// taken on the side where it keeps its digits.
double difference(const Composition& a, const Composition& b) { return a.x >= 0.5 && b.x >= 0.5 ? a.rest - b.rest : b.x - a.x; }

}  // namespace

void phaseHeights(const StableDiagram& d, const PhaseCurve& curve, double T, double muA, double muB, double* height)
{
    const double A = curve.pure[0] - muA;
    const double B = curve.pure[1] - muB;
    const double RT = curve.gasConstant * T;
    const double* x = d.grid.x;
    const double* rest = d.grid.rest;
    const double* mixing = d.grid.mixing;
    const int orders = curve.orders;
    for (int k = 0; k < DIAGRAM_GRID; ++k) {
        const double u = rest[k] - x[k];
        double S = 0;
        for (int j = orders - 1; j >= 0; --j) S = S * u + curve.L[j];
        height[k] = rest[k] * A + x[k] * B + RT * mixing[k] + x[k] * rest[k] * S;
    }
}

int lowerHull(const StableDiagram& d, double T, HullVertex* hull)
{
    PhaseCurve c[3];
    if (!diagramCurves(d, T, c)) return 0;
    const double muA = c[lowestPhase(c, 0)].pure[0];
    const double muB = c[lowestPhase(c, 1)].pure[1];
    double height[3][DIAGRAM_GRID];
    for (int r = LIQUID; r <= FCC; ++r) phaseHeights(d, c[r], T, muA, muB, height[r]);
    int n = 0;
    for (int k = 0; k < DIAGRAM_GRID; ++k) {
        HullVertex v{k, LIQUID, height[LIQUID][k]};
        for (int r = BCC; r <= FCC; ++r)
            if (height[r][k] < v.height) v = {k, r, height[r][k]};
        while (n >= 2) {
            const Composition& a = d.grid.z[hull[n - 2].k];
            const Composition& b = d.grid.z[hull[n - 1].k];
            const Composition& z = d.grid.z[k];
            if (difference(a, b) * (v.height - hull[n - 2].height) -
                    (hull[n - 1].height - hull[n - 2].height) * difference(a, z) > 0)
                break;
            --n;
        }
        hull[n++] = v;
    }
    return n;
}

int tieLineStarts(const StableDiagram& d, PhasePair pair, double T, double (*starts)[2], int capacity, SharedHull* shared)
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    SharedHull local;
    SharedHull& kept = shared != nullptr ? *shared : local;
    if (!(kept.T == T)) {
        kept.n = lowerHull(d, T, kept.vertex);
        kept.T = T;
    }
    const HullVertex* hull = kept.vertex;
    const int n = kept.n;
    int count = 0;
    const auto add = [&](double s0, double s1) {
        if (count < capacity) {
            starts[count][0] = s0;
            starts[count][1] = s1;
            ++count;
        }
    };
    // Where the pair's phases meet on the hull; and where one stretch of a third phase lies
    // between them, across it: within a few mK of an invariant the third phase lies only
    // fractions of a J/mol above their tangent, below the grid's chords of their curves.
    int lastChange = -1;  // the last vertex before the current stretch of one phase began
    for (int v = 1; v < n; ++v) {
        if (hull[v].phase == hull[v - 1].phase) continue;
        const int a = hull[v - 1].phase;
        const int b = hull[v].phase;
        if ((a == p && b == q) || (a == q && b == p)) {
            const double sA = d.grid.z[hull[v - 1].k].s;
            const double sB = d.grid.z[hull[v].k].s;
            add(a == p ? sA : sB, a == p ? sB : sA);
        } else if (lastChange >= 0 && a != p && a != q) {
            const int c = hull[lastChange].phase;
            const double sC = d.grid.z[hull[lastChange].k].s;
            const double sB = d.grid.z[hull[v].k].s;
            if (c == p && b == q) add(sC, sB);
            if (c == q && b == p) add(sB, sC);
        }
        lastChange = v - 1;
    }
    PhaseCurve c[3];
    if (n == 0 || !diagramCurves(d, T, c)) return count;
    for (int end = 0; end < 2; ++end) {
        const HullVertex& v = hull[end == 0 ? 0 : n - 1];
        const auto shown = static_cast<PhaseIndex>(v.phase);
        const PhaseIndex pure = lowestPhase(c, end);
        if (shown == pure || !((shown == p && pure == q) || (shown == q && pure == p))) continue;
        const Composition& z = d.grid.z[v.k];
        const Potentials mu = potentials(c[shown], z, T);
        // Henry's law: muB of a phase at x -> 0 is G_B + RT ln x + S(1), muA at x -> 1 is
        // G_A + RT ln(1 - x) + S(-1), S the curve's Redlich-Kister series.
        const PhaseCurve& m = c[pure];
        const double RT = m.gasConstant * T;
        double S = 0;
        double dS = 0;
        double ddS = 0;
        curveSeries(m, end == 0 ? 1.0 : -1.0, false, S, dS, ddS);
        const double sPure = end == 0 ? (mu.muB - m.pure[1] - S) / RT : (m.pure[0] + S - mu.muA) / RT;
        // The shown phase's composition at the grid's last point, and further out where both are
        // more dilute than the grid reaches (near a melting point).
        const double outwards = end == 0 ? -5.0 : 5.0;
        for (const double sShown : {z.s, z.s + outwards}) add(shown == p ? sShown : sPure, shown == p ? sPure : sShown);
    }
    return count;
}

bool liquidBetweenSolids(const StableDiagram& d, double T, Vector4& start)
{
    HullVertex hull[DIAGRAM_GRID];
    const int n = lowerHull(d, T, hull);
    int last = -1;  // the last vertex of the stretch before the current phase began
    for (int v = 1; v < n; ++v) {
        if (hull[v].phase == hull[v - 1].phase) continue;
        if (hull[v].phase == LIQUID) {
            last = v - 1;
            continue;
        }
        if (hull[v - 1].phase != LIQUID || last < 0 || hull[last].phase == hull[v].phase) {
            last = -1;
            continue;
        }
        start = {T, (d.grid.x[hull[last + 1].k] + d.grid.x[hull[v - 1].k]) / 2, 0, 0};
        start[hull[last].phase == BCC ? 2 : 3] = d.grid.x[hull[last].k];
        start[hull[v].phase == BCC ? 2 : 3] = d.grid.x[hull[v].k];
        return true;
    }
    return false;
}

