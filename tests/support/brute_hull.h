// The two-phase fields of a binary system at one temperature found the slow, sure way: every
// phase's Gibbs energy per atom evaluated directly on a fine grid of compositions (a compound at
// its one composition), and the lower convex hull of all the points; its chords longer than ten
// grid steps are the fields.
#pragma once

#include <utility>
#include <vector>

#include "equilibrium/phase_state.h"

// The fields' ends (x of the left and the right phase), in increasing x, at the temperature of
// `at` (evaluated for the system). Phases are solutions of one mixing sublattice of the system's
// two elements (the others filled), or compounds; N grid points per solution.
std::vector<std::pair<double, double>> bruteForceFields(const BinarySystem& system, const SystemAt& at, int N);
