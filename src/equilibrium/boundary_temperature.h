// The temperature at which a phase boundary passes through a given composition: the two
// equations of a pair solved for the temperature and the other phase's composition, with one
// phase's composition held fixed. What a thermal-analysis point measures.
#pragma once

#include "model/phase.h"
#include "numeric/matrix.h"

// With the composition of side `fixedSide` (0: the pair's first phase, 1: its second) held at x,
// solves F(T, y) = 0 for T (K) and y, the other phase's composition, by Newton's method with the
// analytic Jacobian, the temperature column including the slopes a1 and b1 of L0 and L1, from
// start = (T, y). Converged when every unknown moved by at most 1e-6; an iterate with y outside
// (0, 1) or T at or below 0 ends the solve. Returns the count of the converged iteration (1 to
// 99), or 100, with solution = (T, y).
int solveBoundaryTemperature(const PhaseParameters (&model)[3], PhasePair pair, int fixedSide, double x,
                             const Vector4& start, Vector4& solution);
