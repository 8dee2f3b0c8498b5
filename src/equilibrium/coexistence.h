// Newton's method on the equilibrium of phases of a binary system at one temperature: two states
// coexisting (their site fractions and the two chemical potentials unknown), or one state relaxed
// to its stationary point at given potentials (how far below the common tangent it reaches).
#pragma once

#include "equilibrium/phase_state.h"

// Solves E = 0 for both states and F = 0 for both, from the states and potentials given (J/mol);
// false where Newton's method does not converge in 50 steps or meets a singular Jacobian (the
// states and potentials then as the last step left them).
bool solveCoexistence(const SystemAt& at, PhaseState (&states)[2], double (&mu)[2]);

// Solves E = 0 for the state at fixed potentials; F then is the state's height above the
// potentials' tangent, per formula unit (negative: the phase is more stable than the tangent).
bool relaxAtPotentials(const SystemAt& at, PhaseState& state, const double (&mu)[2], double& F);

// Relaxes the state at potentials mu_B - mu_A = d, mu_A set so that the state lies on their
// tangent (F = 0): the phase's tangent of slope d, which depends on mu_A itself where the phase's
// atoms per formula unit vary (vacancies). Fills mu; false where the relaxation fails.
bool relaxOnTangent(const SystemAt& at, PhaseState& state, double d, double (&mu)[2]);
