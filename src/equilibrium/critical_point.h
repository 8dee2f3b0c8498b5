// The critical point of a miscibility gap in a phase whose composition is one free site
// fraction (a substitutional solution with vacancies on any other sublattice): where the curve's
// second and third derivatives in x vanish together, the top (or bottom) of its spinodal.
#pragma once

#include "equilibrium/phase_state.h"

// Searches from a temperature `inside` the gap (K, where the phase's curve has a spinodal near
// composition `x`) towards `outside` for the critical point; false where the phase has more than
// one free site fraction, or no spinodal closes between them. T and x to 1e-9.
bool criticalPoint(const BinarySystem& system, SystemAt& at, int phase, double x, double inside, double outside,
                   double& T, double& xc);
