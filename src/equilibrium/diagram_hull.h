// The lower convex hull of the three Gibbs energy curves on the stable diagram's grid, and what
// it gives: start values for a pair's tie-lines and for the eutectic.
#pragma once

#include <cmath>

#include "equilibrium/diagram_record.h"

// The lower of the two solids, and the lowest phase, of a pure component (end 0 the first element,
// 1 the second) among the phases' curves at one temperature.
inline PhaseIndex lowestSolid(const PhaseCurve (&c)[3], int end) { return c[FCC].pure[end] < c[BCC].pure[end] ? FCC : BCC; }

inline PhaseIndex lowestPhase(const PhaseCurve (&c)[3], int end)
{
    const PhaseIndex solid = lowestSolid(c, end);
    return c[LIQUID].pure[end] < c[solid].pure[end] ? LIQUID : solid;
}

// The height of a phase's curve at T above the line (1 - x) muA + x muB at every grid point (J/mol).
void phaseHeights(const StableDiagram& d, const PhaseCurve& curve, double T, double muA, double muB, double* height);

// A vertex of the lower hull: a grid point and the phase lowest there, with its height above the
// line through the lowest pure components.
struct HullVertex {
    int k;
    int phase;
    double height;
};

// The hull's vertices at T, in increasing composition, into `hull` (room for DIAGRAM_GRID); returns
// how many, 0 where the model gives no curves at T.
int lowerHull(const StableDiagram& d, double T, HullVertex* hull);

// The hull at one temperature, kept for the next question at the same temperature.
struct SharedHull {
    double T = NAN;
    int n = 0;
    HullVertex vertex[DIAGRAM_GRID];
};

// Start values (log-ratios of the first and second phase) for the pair's tie-lines at T: the
// hull's stretches between the pair's two phases, or across one stretch of the third phase, and,
// where the hull's end phase is not the pure
// component's stable phase, a tie-line too dilute for the grid, started from Henry's law. At most
// `capacity`; returns how many.
// With `shared`, the hull is taken from it where it holds the hull at T, else computed into it:
// a sweep that asks all three pairs at each temperature computes one hull, not three.
int tieLineStarts(const StableDiagram& d, PhasePair pair, double T, double (*starts)[2], int capacity,
                  SharedHull* shared = nullptr);

// Whether the liquid lies on the hull at T between two different solids, and if so start values
// (T, xL, xBCC, xFCC) of the eutectic from the hull's two tie-lines on either side of it.
bool liquidBetweenSolids(const StableDiagram& d, double T, Vector4& start);
