// Every phase of a binary system sampled over its site fractions, and the lower convex hull of
// the samples' Gibbs energies per mole of atoms at a temperature: where Newton's method starts.
//
// Each free log-ratio runs over a grid uniform in the site fraction in the middle and in log-ratio
// steps out to 1e-13 of either edge; the more free log-ratios a phase has, the coarser each grid,
// so that no phase takes more than about twenty thousand samples (a phase of more than
// MAX_FREE_SITE_FRACTIONS is refused when the system is chosen). The samples' products of site fractions
// are kept, so that at each temperature a sample's energy is a sum over its terms.
#pragma once

#include <vector>

#include "equilibrium/phase_state.h"

// The stretches of x in which a phase's samples are searched for separate low points.
inline constexpr int SAMPLE_BINS = 50;

struct SystemSamples {
    // Per sample, in increasing x over all phases.
    std::vector<int> phase;
    std::vector<double> x;
    std::vector<double> atoms;  // per formula unit
    std::vector<double> ideal;  // sum of sites * y ln y
    std::vector<int> first;     // where its log-ratios and its monomials begin
    std::vector<double> s;      // the phase's constituents' log-ratios
    std::vector<int> firstMonomial;
    std::vector<double> monomials;
    std::vector<double> G;      // J per mole of atoms at the last temperature
    std::vector<int> hull;      // room for every sample
    std::vector<int> bin;       // phase * SAMPLE_BINS + the stretch of x it lies in
    std::vector<int> nearHull;  // the samples within reach of the hull at the last temperature
    std::vector<int> binBest;   // working storage of the stability checks
    std::vector<double> binHeight;
};

void sampleSystem(const BinarySystem& system, SystemSamples& samples);

// G of every sample at the system's temperature.
void sampleEnergies(const SystemAt& at, SystemSamples& samples);

// The samples on the lower convex hull of (x, G), in increasing x, into samples.hull; returns how
// many.
int lowerHullOfSamples(SystemSamples& samples);

// The state of sample i.
PhaseState sampleState(const BinarySystem& system, const SystemSamples& samples, int i);
