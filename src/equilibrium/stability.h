// Which equilibria are stable: the common-tangent test of a tie-line against every phase's Gibbs
// energy curve, and the lower convex hull of the three curves, which gives the stable phase or
// phases at any composition.
//
// Gibbs energies are those of the model, relative to pure Ps as FCC and pure Ks as BCC, on a grid
// of compositions k / STABILITY_GRID, k = 1 .. STABILITY_GRID - 1.
#pragma once

#include <vector>

#include "model/phase.h"
#include "numeric/matrix.h"

inline constexpr int STABILITY_GRID = 2000;

// How far a curve may lie below a tie-line and the tie-line still count as stable (J/mol): the
// compositions of the tables carry six decimals, which tilt the line by a few hundredths.
inline constexpr double STABILITY_TOLERANCE = 0.1;

// The three curves at one temperature.
struct GibbsCurves {
    double T;
    InteractionCoefficients c[3];
    std::vector<double> x;
    std::vector<double> mixing;  // idealMixing on the grid, computed once per object
    std::vector<double> g[3];
};

void gibbsCurves(const PhaseParameters (&model)[3], double T, GibbsCurves& curves);

// True when every phase's curve lies on or above the straight line through (x1, G_p(x1)) and
// (x2, G_q(x2)) over the whole grid, within STABILITY_TOLERANCE. x1 and x2 lie in (0, 1).
bool isStableTieLine(const GibbsCurves& curves, PhaseIndex p, double x1, PhaseIndex q, double x2);

// The same test at temperature T, without stored curves: only the grid points next to each
// local minimum of a curve's height above the line are evaluated, with the same arithmetic, so
// the verdict is that of the full scan at a few dozen evaluations instead of 5997.
bool isStableTieLine(const PhaseParameters (&model)[3], double T, PhaseIndex p, double x1, PhaseIndex q, double x2);

// A three-phase equilibrium u = (T, xL, xBCC, xFCC) is stable when no curve lies below the line
// through its FCC and BCC points at T: the tie-line test of FCC at xFCC against BCC at xBCC.
bool isStableEutectic(const PhaseParameters (&model)[3], const Vector4& u);

// The stable state at a composition: one phase (first == second), two phases, or the two sides
// of a miscibility gap of one phase (first == second, gap true).
struct StableState {
    PhaseIndex first;
    PhaseIndex second;
    bool gap;
};

// The stable states at the compositions `queries` (each in (0, 1)) from the lower convex hull of
// the three curves.
void stableStates(const GibbsCurves& curves, const std::vector<double>& queries, std::vector<StableState>& states);

// A stretch of the lower hull between grid points of two different phases: the tie-line of a
// stable two-phase field, to the resolution of the grid.
struct HullTieLine {
    PhaseIndex left;   // the phase at the lower composition
    PhaseIndex right;
    double xLeft;
    double xRight;
};

// The two-phase stretches of the lower hull, in increasing composition.
void hullTieLines(const GibbsCurves& curves, std::vector<HullTieLine>& tieLines);
