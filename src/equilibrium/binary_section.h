// The stable phases of a binary system across all compositions at one temperature: its stable
// tie-lines in increasing composition, the fields of one phase lying between them and at the ends.
//
// Found without being told what to expect: the lower convex hull of every phase's samples gives
// the candidates (a hull edge between two phases, or across a stretch of one phase wider than its
// grid, a miscibility gap); Newton's method solves each exactly; every phase is then relaxed to
// its lowest point below each tie-line's tangent, and a phase that reaches below it (a field
// narrower than the grid) splits the tie-line into two, solved in turn.
#pragma once

#include <vector>

#include "equilibrium/phase_samples.h"

struct StableTieLine {
    PhaseState state[2];  // in increasing x
    double x[2];
    double mu[2];  // J/mol of A and of B
};

struct Section {
    double T = 0;
    int endPhase[2] = {-1, -1};  // the phase stable at x = 0 and at x = 1
    std::vector<StableTieLine> tieLines;
    int unresolved = 0;  // neighbouring tie-lines that do not meet in one phase: a field left unsolved
};

// A phase reaching more than this below a tangent (J/mol of atoms) makes it unstable.
inline constexpr double BELOW_TANGENT_TOLERANCE = 1e-7;

// The section at T into `section` (its buffers reused); false where the system's parameters are
// undefined at T. `at` and `samples` are working storage of the system.
bool computeSection(const BinarySystem& system, SystemSamples& samples, SystemAt& at, double T, Section& section);

// The lowest height of any phase (J/mol of atoms) below the tangent mu at the section's
// temperature, relaxed by Newton's method from each phase's lowest sample, with the state that
// reaches it; `skip` the tie-line's own states, not counted where a relaxed state falls on one.
double lowestBelowTangent(const BinarySystem& system, SystemSamples& samples, const SystemAt& at,
                          const double (&mu)[2], const PhaseState* skip, int skipCount, PhaseState& lowest);
