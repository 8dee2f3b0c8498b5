// Deterministic solves of the stable equilibria, for the programs that must give the same answer
// on every run: start values from the lower convex hull of the Gibbs energy curves or from a
// solution nearby, Newton's method without random restarts, and the common-tangent test to
// accept only what an alloy reaches.
#pragma once

#include "equilibrium/stability.h"
#include "model/phase.h"
#include "numeric/matrix.h"

// The stable tie-line of a pair at T (K): first refined from `start` (compositions of the pair's
// first and second phase, for continuation from a neighbouring temperature) where one is given,
// else or failing that from the hull's stretch between the pair's two phases. True, with the
// compositions in solution[0..1], when the solve converged to a stable tie-line; `curves` is
// scratch space.
bool solveStableTieLine(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4* start,
                        Vector4& solution, GibbsCurves& curves);

// The stable eutectic (T, xL, xBCC, xFCC) of the model. Its temperature is bracketed as the
// lowest at which the liquid appears on the lower hull between FCC and BCC and narrowed by
// bisection; the hull's tie-lines there start Newton's method, and fixed start values are tried
// after them. True when a converged and stable three-phase equilibrium was found.
bool solveStableEutectic(const PhaseParameters (&model)[3], Vector4& eutectic);

// The eutectic of the model `target`, followed from `start`, a eutectic of the model `from`: first
// refined from it directly, then, where that fails, along the straight path between the two sets
// of coefficients in 2, 4, 8 or 16 equal steps, each refined from the last. No stability test.
bool followEutectic(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], const Vector4& start,
                    Vector4& solution);

// The same for a tie-line of a pair at T.
bool followTieLine(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], PhasePair pair, double T,
                   const Vector4& start, Vector4& solution);
