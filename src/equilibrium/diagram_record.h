// The record of a model's stable diagram (the three-phase model of Ks-Ps or of a database's
// liquid and two solids): its grid of compositions, melting points, eutectic and traced
// boundaries, and the phases' curves it is computed from. What fills it is stable_diagram.h; the
// hull on its grid, diagram_hull.h.
#pragma once

#include <vector>

#include "equilibrium/log_ratio.h"
#include "model/phase.h"
#include "model/phase_curve.h"
#include "numeric/matrix.h"

// J/mol: the curves are evaluated to about 1e-11 of their size, so this is rounding, not tolerance.
inline constexpr double TANGENT_TOLERANCE = 1e-6;

// 199 compositions 0.005 apart from 0.005 to 0.995, and log-ratios from -25 in steps of 0.5 up to
// the first of them, and the same towards 1.
inline constexpr int UNIFORM_POINTS = 199;
inline constexpr int END_POINTS = 40;
inline constexpr int DIAGRAM_GRID = UNIFORM_POINTS + 2 * END_POINTS;

struct CompositionGrid {
    Composition z[DIAGRAM_GRID];  // in increasing x
    // The same by column, for the loops over the grid.
    double x[DIAGRAM_GRID];
    double rest[DIAGRAM_GRID];
    double mixing[DIAGRAM_GRID];  // x ln x + (1 - x) ln(1 - x)
};

// A pure component's melting point: where the liquid's Gibbs energy meets the lower solid's.
struct MeltingPoint {
    bool exists;
    double T;          // K
    PhaseIndex solid;  // the solid that melts there
};

// A tie-line of a pair: the compositions of its first and second phase.
struct TieLine {
    double s[2];  // log-ratios
    double x[2];  // mole fractions of B
};

TieLine tieLineOf(double s0, double s1);

// The stable boundary of one pair, traced every TRACE_STEP K and at its exact ends (a melting
// point, where both compositions reach the pure component, and the eutectic).
struct TraceNode {
    double T;
    bool stable;
    double s[2];  // +-infinity at a melting point
};

inline constexpr double TRACE_STEP = 10.0;  // K
inline constexpr double TRACE_LOW = 10.0;   // K

struct StableDiagram {
    PhaseParameters model[3];  // the built-in model's coefficients, where source.curvesAt is null
    CurveSource source;        // else the curves of the three phases
    CompositionGrid grid;
    MeltingPoint melting[2];  // pure A (x = 0), pure B (x = 1)
    bool haveEutectic;
    Vector4 eutectic;         // T, xL, xBCC, xFCC
    bool traced[3];           // by PhasePair - 1, filled on the first boundaryTemperature of the pair
    std::vector<TraceNode> trace[3];
};

// The three phases' curves at T; false where the diagram's model gives none (outside its range).
bool diagramCurves(const StableDiagram& diagram, double T, PhaseCurve (&curves)[3]);

// The lowest and highest temperature of the diagram's model (K).
double lowestTemperature(const StableDiagram& diagram);
double highestTemperature(const StableDiagram& diagram);

