// Newton's method for a tie-line of two phases, in the log-ratio coordinates of both compositions:
// at a fixed temperature, or with one composition fixed and the temperature free. Well conditioned
// from x = 0.5 down to compositions of 1e-300 from either end; no random start, no clock.
#pragma once

#include "model/phase.h"
#include "model/phase_curve.h"
#include "numeric/matrix.h"

// Converged when every log-ratio moved by at most this, and the temperature by at most
// TEMPERATURE_TOLERANCE: both far below what any output prints.
inline constexpr double LOG_RATIO_TOLERANCE = 1e-10;
inline constexpr double TEMPERATURE_TOLERANCE = 1e-8;  // K

// The equality of muA and of muB between the pair's first phase at s[0] and its second at s[1],
// at T (K), solved from the start in s. True, with s the root, on convergence within 100 steps.
bool solveTieLine(const PhaseParameters (&model)[3], PhasePair pair, double T, double (&s)[2]);

// The same for two phases given by their curves at T, whichever model they come from.
bool solveTieLine(const PhaseCurve& first, const PhaseCurve& second, double T, double (&s)[2]);

// The same two equations with side `fixedSide` (0 the first phase, 1 the second) held at the
// log-ratio `sFixed`, solved for T and the other side's log-ratio `sOther` from their start
// values. True on convergence with T above 0.
bool solveTieLineTemperature(const PhaseParameters (&model)[3], PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther);

// The same on the curves of a source, evaluated afresh at each step's temperature; fails where a
// step leaves the source's range.
bool solveTieLineTemperature(const CurveSource& source, PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther);

// Distinct roots of the pair's equations at T, stable or not, found from a fixed set of start
// values: at most `capacity` pairs of log-ratios into `roots`, each with compositions at least
// 0.001 apart. Returns how many.
int pairRoots(const PhaseParameters (&model)[3], PhasePair pair, double T, double (*roots)[2], int capacity);
int pairRoots(const PhaseCurve& first, const PhaseCurve& second, double T, double (*roots)[2], int capacity);

// A three-phase equilibrium (T, xL, xBCC, xFCC) polished by Newton's method with the exact
// Jacobian (the temperature column with the slopes a1 and b1 included) in log-ratio coordinates,
// to the tolerances above. True, with `eutectic` replaced, on convergence; untouched otherwise.
bool polishEutectic(const PhaseParameters (&model)[3], Vector4& eutectic);
bool polishEutectic(const CurveSource& source, Vector4& eutectic);
