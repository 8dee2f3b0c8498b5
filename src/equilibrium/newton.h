// Newton-Raphson solvers for the two-phase and the eutectic equilibria, with the full inverse of
// the analytic Jacobian, and the random start values they fall back on.
//
// Both return the number of the iteration in which they converged (1 to 99), or 100 when 99
// Newton steps, rejected ones included, did not converge. A new iterate with a checked
// composition outside (0, 1) (or NaN) is rejected and new start values are drawn from the C
// library's generator without reseeding it. Otherwise it has converged when every unknown
// moved by at most 1e-6; if not, it becomes the next guess.
//
// On return, result holds the newest iterate. After convergence guess holds the iterate the last
// step was taken from; after 100, guess holds the last iterate if it was accepted, else the
// values drawn after its rejection.
#pragma once

#include "model/phase.h"
#include "numeric/matrix.h"

inline constexpr int ITERATION_LIMIT = 100;
inline constexpr double STEP_TOLERANCE = 1e-6;

// What the range test and the step test make of a new iterate.
enum class Verdict { REJECTED, CONVERGED, ACCEPTED };

// Entries first..n-1 of result are range-tested in increasing order; the first one outside
// (0, 1), or NaN, rejects the iterate and redraws guess[first..n-1] in increasing order. An
// iterate in range has converged when every entry 0..n-1 moved by at most STEP_TOLERANCE from
// guess (a NaN move is not small); otherwise it is accepted. guess is touched only on rejection.
Verdict judgeIterate(Vector4& guess, const Vector4& result, int first, int n);

// Reseeds the C library's generator from the calendar clock, then writes v[0..3], each
// (rand() % 999 + 1.0) / 1000.0: 0.001 to 0.999 in steps of 0.001.
void randomizeGuess(Vector4& v);

// Compositions (x in the first phase, x in the second) of the pair at T (K), from guess[0..1].
// n is 2. The equations are evaluated once at guess as the caller passed it, unchecked.
int solveTwoPhase(double T, Vector4& guess, Vector4& result, int n, const PhaseParameters& first,
                  const PhaseParameters& second, PhasePair pair);

// (T, xL, xBCC, xFCC) of Liquid + BCC + FCC; n is 4. Starts from 1000 K and three compositions
// drawn after randomizeGuess, whatever guess held. The temperature is never range-checked and
// after a rejection keeps its value; the coefficients are evaluated at it in every iteration.
// A converged root that is not stable (isStableEutectic) counts as a rejected step: the
// compositions are drawn anew, the temperature goes back to 1000 K and the count goes on.
int solveEutectic(Vector4& guess, Vector4& result, int n, const PhaseParameters& liquid,
                  const PhaseParameters& bcc, const PhaseParameters& fcc);
