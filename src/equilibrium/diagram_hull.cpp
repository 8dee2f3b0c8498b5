// The lower convex hull of the curves on the grid.
#include "equilibrium/diagram_hull.h"

#include <algorithm>
#include <cmath>

namespace {

// Compositions of a phase's grid points for the convex hull, with the difference of two of them
// taken on the side where it keeps its digits.
double difference(const Composition& a, const Composition& b) { return a.x >= 0.5 && b.x >= 0.5 ? a.rest - b.rest : b.x - a.x; }

}  // namespace

void phaseHeights(const StableDiagram& d, PhaseIndex phase, double T, double muA, double muB, double* height)
{
    const InteractionCoefficients c = interactionCoefficients(d.model[phase], T);
    const double A = pureAGibbsEnergy(phase, T) - muA;
    const double B = pureBGibbsEnergy(phase, T) - muB;
    const double RT = GAS_CONSTANT * T;
    const double* x = d.grid.x;
    const double* rest = d.grid.rest;
    const double* mixing = d.grid.mixing;
    for (int k = 0; k < DIAGRAM_GRID; ++k)
        height[k] = rest[k] * A + x[k] * B + RT * mixing[k] + x[k] * rest[k] * (c.L0 + c.L1 * x[k]);
}

int lowerHull(const StableDiagram& d, double T, HullVertex* hull)
{
    const double muA = pureAGibbsEnergy(lowestPhase(0, T), T);
    const double muB = pureBGibbsEnergy(lowestPhase(1, T), T);
    double height[3][DIAGRAM_GRID];
    for (int r = LIQUID; r <= FCC; ++r) phaseHeights(d, static_cast<PhaseIndex>(r), T, muA, muB, height[r]);
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

int tieLineStarts(const StableDiagram& d, PhasePair pair, double T, double (*starts)[2], int capacity)
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    HullVertex hull[DIAGRAM_GRID];
    const int n = lowerHull(d, T, hull);
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
    const double RT = GAS_CONSTANT * T;
    for (int end = 0; end < 2; ++end) {
        const HullVertex& v = hull[end == 0 ? 0 : n - 1];
        const auto shown = static_cast<PhaseIndex>(v.phase);
        const PhaseIndex pure = lowestPhase(end, T);
        if (shown == pure || !((shown == p && pure == q) || (shown == q && pure == p))) continue;
        const Composition& z = d.grid.z[v.k];
        const Potentials mu = potentials(shown, interactionCoefficients(d.model[shown], T), z, T);
        const PhaseParameters& m = d.model[pure];
        const InteractionCoefficients c = interactionCoefficients(m, T);
        // Henry's law: muB of a phase at x -> 0 is G_B + RT ln x + L0; muA at x -> 1 is G_A + RT ln(1 - x) + L0 + L1.
        const double sPure = end == 0 ? (mu.muB - pureBGibbsEnergy(pure, T) - c.L0) / RT
                                      : (pureAGibbsEnergy(pure, T) + c.L0 + c.L1 - mu.muA) / RT;
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

