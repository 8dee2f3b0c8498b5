// How the computed phase boundaries move with the built-in model's twelve coefficients (a0, a1,
// b0, b1 of Liquid, BCC and FCC in this order), exactly: the implicit-function theorem on the
// tie-line equations muA(first, s0) = muA(second, s1), muB likewise, in log-ratio coordinates.
#pragma once

#include "model/phase.h"

inline constexpr int COEFFICIENTS = 12;

// d(muA)/d theta and d(muB)/d theta of a phase at composition x and T, for its own four
// coefficients (the other phases' are zero).
void potentialCoefficientSlopes(double x, double T, double (&dA)[4], double (&dB)[4]);

// dG/d theta of a phase at x and T for its own four coefficients.
void energyCoefficientSlopes(double x, double T, double (&dG)[4]);

// ds0/d theta and ds1/d theta of a tie-line of the pair at fixed T (its log-ratios s). False where
// the Jacobian is singular.
bool tieLineSlopes(const PhaseParameters (&model)[3], PhasePair pair, double T, const double (&s)[2],
                   double (&ds)[2][COEFFICIENTS]);

// dT/d theta of the boundary of the pair where side `side` holds its composition s[side]: the
// temperature at which that side reaches it, the other side free. False where singular.
bool boundaryTemperatureSlopes(const PhaseParameters (&model)[3], PhasePair pair, int side, double T,
                               const double (&s)[2], double (&dT)[COEFFICIENTS]);
