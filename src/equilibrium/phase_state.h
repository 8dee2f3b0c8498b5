// The state of a phase of a binary system and the equations of its equilibrium at given chemical
// potentials.
//
// Site fractions are held as log-ratios to the last constituent of their sublattice, s_c =
// ln(y_c / y_last): a fraction of 1e-30 keeps its digits, and ideal mixing, the part of the
// energy that grows without bound near the edges, is linear in s. At potentials mu_A and mu_B a
// state is in equilibrium when F = G - mu_A n_A - mu_B n_B (per formula unit, n the moles of
// each element in it) is stationary in the site fractions: for each free constituent d of a
// sublattice whose last is l,
//   E_d = dG/dy_d - dG/dy_l - sites (mu(d) - mu(l)) = 0,
// with mu of a vacancy 0; and a phase that coexists with others at those potentials has F = 0.
#pragma once

#include <vector>

#include "model/binary_system.h"

struct PhaseState {
    int phase;
    double s[MAX_CONSTITUENTS];  // 0 for the last constituent of each sublattice
    double y[MAX_CONSTITUENTS];
    double lnY[MAX_CONSTITUENTS];
};

// The largest |s| kept: y = e^-700 is still a normal double.
inline constexpr double SITE_LOG_LIMIT = 700.0;

// y and ln y from s (each s clamped to the limit).
void updateSiteFractions(const ModelPhase& phase, PhaseState& state);

// The mole fraction of the second element, and the atoms per formula unit.
double moleFractionOf(const ModelPhase& phase, const PhaseState& state, double* atoms = nullptr);

// A system at one temperature: its parameters evaluated once.
struct SystemAt {
    const BinarySystem* system = nullptr;
    double T = 0;
    double RT = 0;
    std::vector<double> values;
};

// Evaluates the parameters at T into `at` (its buffer kept from an earlier T); false where some
// parameter is undefined at T (the reason kept by the system's parameter source).
bool evaluateSystemAt(const BinarySystem& system, double T, SystemAt& at);

// G of a formula unit at the state (J), with its ideal mixing.
double formulaEnergy(const SystemAt& at, const PhaseState& state);

// The equations of a state at potentials mu[0] (A) and mu[1] (B), with their derivatives in the
// free log-ratios and in the potentials.
struct PhaseEquations {
    int n;                        // free constituents
    int index[MAX_CONSTITUENTS];  // their places among the site fractions
    double E[MAX_CONSTITUENTS];
    double dE[MAX_CONSTITUENTS * MAX_CONSTITUENTS];  // dE_i / ds_j, row-major n x n
    double dEmu[MAX_CONSTITUENTS][2];
    double F;
    double dF[MAX_CONSTITUENTS];
    double dFmu[2];  // minus the atoms of each element
};

void phaseEquations(const SystemAt& at, const PhaseState& state, const double (&mu)[2], PhaseEquations& eq);
