// Newton-Raphson refinement of a two-phase or eutectic solution from a start close to it: the
// solvers' iterations and convergence rule, with no random restart and no clock.
#pragma once

#include "equilibrium/newton.h"

// The same iterations started from the caller's guess, for a solution close to a known one: an
// iterate outside (0, 1) ends the solve, with no random restart and no draw from any generator,
// and a converged root is returned without the stability test.
// Return the count of the converged iteration (1 to 99), or ITERATION_LIMIT for a failure.
int refineTwoPhase(double T, Vector4& guess, Vector4& result, const PhaseParameters& first,
                   const PhaseParameters& second, PhasePair pair);
int refineEutectic(Vector4& guess, Vector4& result, const PhaseParameters& liquid, const PhaseParameters& bcc,
                   const PhaseParameters& fcc);

// Whether the compositions x0, x1 of a table row solve the pair's equations at T: the refinement
// from them ends within `tolerance` of both.
bool solvesPairEquations(const PhaseParameters (&model)[3], PhasePair pair, double T, double x0, double x1,
                         double tolerance);
