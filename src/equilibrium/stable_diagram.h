// The stable phase diagram of a model, as one thing that the programs ask: the pure components'
// melting points, the stable eutectic, the stable tie-lines of each pair at any temperature, the
// temperature at which a phase's stable boundary reaches a composition, and the stable phases at
// a composition and temperature.
//
// A tie-line is stable when no phase lies below its common tangent: for every phase, the least
// height of its Gibbs energy curve above the tangent, found on a grid of compositions that runs in
// log-ratio steps to within 1e-11 of either end and refined by Newton's method at each low point,
// is at least -TANGENT_TOLERANCE. Tie-lines are solved in log-ratio coordinates (tie_line_newton.h),
// started from the lower convex hull of the curves on the same grid and, for a phase too dilute
// for the grid, from Henry's law.
#pragma once

#include <vector>

#include "equilibrium/diagram_record.h"

struct SharedHull;  // diagram_hull.h

// Everything but the traces: the grid, the melting points and the stable eutectic.
void buildStableDiagram(const PhaseParameters (&model)[3], StableDiagram& diagram);

// The same for the phases of a curve source, within its temperatures.
void buildStableDiagram(const CurveSource& source, StableDiagram& diagram);

// Newton's tie-line of the pair at T, and at a held composition with T free (tie_line_newton.h),
// on the diagram's model.
bool solveDiagramTieLine(const StableDiagram& diagram, PhasePair pair, double T, double (&s)[2]);
bool solveDiagramTemperature(const StableDiagram& diagram, PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther);

// The diagram of `model`, a model close to that of `from`: its grid copied, its eutectic refined
// from `from`'s (solved afresh where that fails), no traces yet. For many replicates of a model.
void followStableDiagram(const StableDiagram& from, const PhaseParameters (&model)[3], StableDiagram& diagram);

// The least height of any phase's curve above the straight line (1 - x) muA + x muB at T (J/mol),
// over 0 < x < 1; below -TANGENT_TOLERANCE some phase undercuts the line.
double lowestHeightAboveTangent(const StableDiagram& diagram, double T, double muA, double muB);

// Whether the tie-line of the pair at T is stable.
bool isStableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine& tieLine);

// Every stable tie-line of the pair at T (K), at most `capacity`, in increasing composition of the
// first phase; returns how many.
// `shared` as for tieLineStarts (diagram_hull.h).
int stableTieLines(const StableDiagram& diagram, PhasePair pair, double T, TieLine* out, int capacity,
                   SharedHull* shared = nullptr);

// The stable tie-line of the pair at T: continued from `near` (a tie-line of the pair close by, or
// null) where that gives a stable one, else the stable tie-line whose compositions lie nearest to
// `near`'s, else the first. False when the pair has none at T.
bool stableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine* near, TieLine& tieLine,
                   SharedHull* shared = nullptr);

// What the boundary temperature query found.
enum class Reach {
    FOUND,           // T and the tie-line there
    NEVER,           // the pair has a stable boundary, but side `side` never takes composition x
    NO_BOUNDARY,     // the pair has no stable boundary at any temperature
};

// The temperature at which side `side` (0 the pair's first phase, 1 its second) of the pair's
// stable boundary has composition x (0 < x < 1), solved directly. Where it does so at several
// temperatures, the one nearest to `nearT`, or the highest where nearT is NaN. With Reach::NEVER,
// `range` holds the lowest and highest composition that side takes.
Reach boundaryTemperature(StableDiagram& diagram, PhasePair pair, int side, double x, double nearT, double& T,
                          TieLine& tieLine, double (&range)[2]);

// The stable phases at (T, x): one phase (first == second) or the two ends of a stable tie-line.
struct PhasesAt {
    PhaseIndex first;
    PhaseIndex second;
};

PhasesAt stablePhasesAt(const StableDiagram& diagram, double T, double x);

// The phase whose curve lies lowest at x among curves at T.
PhaseIndex lowestCurveAt(const PhaseCurve (&curves)[3], double x, double T);
