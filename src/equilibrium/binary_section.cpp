// A section at one temperature: candidates from the samples' hull, solved, checked and split.
#include "equilibrium/binary_section.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/coexistence.h"

namespace {

// Hull vertices of one phase further apart than this are a miscibility gap to be tried.
inline constexpr double GAP_WIDTH = 0.03;
inline constexpr int MAX_SPLITS = 12;
// A phase's samples are searched for separate low points in this many stretches of x.
inline constexpr int BINS = 50;

bool sameState(const BinarySystem& system, const PhaseState& a, const PhaseState& b)
{
    if (a.phase != b.phase) return false;
    const ModelPhase& phase = system.phases[static_cast<std::size_t>(a.phase)];
    for (int c = 0; c < constituentCount(phase); ++c)
        if (std::fabs(a.s[c] - b.s[c]) > 1e-6 * (1 + std::fabs(a.s[c]))) return false;
    return true;
}

// The tie-line between two states, started from the chord of their energies.
bool solveTieLine(const SystemAt& at, PhaseState first, PhaseState second, StableTieLine& out)
{
    const BinarySystem& system = *at.system;
    double n0 = 0;
    double n1 = 0;
    const ModelPhase& p0 = system.phases[static_cast<std::size_t>(first.phase)];
    const ModelPhase& p1 = system.phases[static_cast<std::size_t>(second.phase)];
    const double x0 = moleFractionOf(p0, first, &n0);
    const double x1 = moleFractionOf(p1, second, &n1);
    const double G0 = formulaEnergy(at, first) / n0;
    const double G1 = formulaEnergy(at, second) / n1;
    const double slope = (G1 - G0) / (x1 - x0);
    double mu[2] = {G0 - slope * x0, G0 - slope * x0 + slope};
    PhaseState states[2] = {first, second};
    if (!solveCoexistence(at, states, mu)) return false;
    out.x[0] = moleFractionOf(p0, states[0]);
    out.x[1] = moleFractionOf(p1, states[1]);
    if (!(out.x[0] <= out.x[1])) {
        std::swap(states[0], states[1]);
        std::swap(out.x[0], out.x[1]);
    }
    out.state[0] = states[0];
    out.state[1] = states[1];
    out.mu[0] = mu[0];
    out.mu[1] = mu[1];
    // Two states of one phase that meet are no gap.
    return !(states[0].phase == states[1].phase && out.x[1] - out.x[0] < 1e-7);
}

}  // namespace

double lowestBelowTangent(const BinarySystem& system, const SystemSamples& samples, const SystemAt& at,
                          const double (&mu)[2], const PhaseState* skip, int skipCount, PhaseState& lowest)
{
    double least = INFINITY;
    const int phases = static_cast<int>(system.phases.size());
    const double near = 1e-3 * at.RT;  // how far above the tangent a sample may lie and still be relaxed
    for (int p = 0; p < phases; ++p) {
        // The phase's lowest sample in each stretch of x; the stretches lower than both
        // neighbours are its basins, each relaxed on its own (a phase with a miscibility gap has two).
        int binBest[BINS];
        double binHeight[BINS];
        for (int k = 0; k < BINS; ++k) {
            binBest[k] = -1;
            binHeight[k] = INFINITY;
        }
        for (std::size_t i = 0; i < samples.x.size(); ++i) {
            if (samples.phase[i] != p) continue;
            const double h = samples.G[i] - (mu[0] + (mu[1] - mu[0]) * samples.x[i]);
            const int k = std::min(BINS - 1, static_cast<int>(samples.x[i] * BINS));
            if (h < binHeight[k]) {
                binHeight[k] = h;
                binBest[k] = static_cast<int>(i);
            }
        }
        int best[BINS];
        double bestHeight[BINS];
        int count = 0;
        for (int k = 0; k < BINS; ++k) {
            if (binBest[k] < 0) continue;
            if ((k > 0 && binHeight[k - 1] < binHeight[k]) || (k + 1 < BINS && binHeight[k + 1] <= binHeight[k])) continue;
            best[count] = binBest[k];
            bestHeight[count++] = binHeight[k];
        }
        double lowestSample = INFINITY;
        for (int k = 0; k < count; ++k) lowestSample = std::fmin(lowestSample, bestHeight[k]);
        for (int k = 0; k < count; ++k) {
            if (bestHeight[k] > lowestSample + near && bestHeight[k] > near) continue;
            PhaseState state = sampleState(system, samples, best[k]);
            double F = 0;
            double atoms = 0;
            if (!relaxAtPotentials(at, state, mu, F)) continue;
            moleFractionOf(system.phases[static_cast<std::size_t>(p)], state, &atoms);
            bool own = false;
            for (int j = 0; j < skipCount; ++j) own = own || sameState(system, state, skip[j]);
            const double height = own ? 0.0 : F / atoms;
            if (height < least) {
                least = height;
                lowest = state;
            }
        }
    }
    return least;
}

bool computeSection(const BinarySystem& system, SystemSamples& samples, SystemAt& at, double T, Section& section)
{
    section.T = T;
    section.tieLines.clear();
    section.unresolved = 0;
    if (!evaluateSystemAt(system, T, at)) return false;
    sampleEnergies(at, samples);
    const int n = lowerHullOfSamples(samples);
    const int* h = samples.hull.data();
    section.endPhase[0] = samples.phase[static_cast<std::size_t>(h[0])];
    section.endPhase[1] = samples.phase[static_cast<std::size_t>(h[n - 1])];
    // Candidates as pairs of states, solved and checked in turn; a split pushes two more.
    std::vector<std::pair<PhaseState, PhaseState>> pending;
    for (int k = n - 2; k >= 0; --k) {
        const int a = h[k];
        const int b = h[k + 1];
        if (samples.phase[static_cast<std::size_t>(a)] == samples.phase[static_cast<std::size_t>(b)] &&
            samples.x[static_cast<std::size_t>(b)] - samples.x[static_cast<std::size_t>(a)] <= GAP_WIDTH)
            continue;
        pending.push_back({sampleState(system, samples, a), sampleState(system, samples, b)});
    }
    int splits = 0;
    while (!pending.empty()) {
        const auto [first, second] = pending.back();
        pending.pop_back();
        StableTieLine line;
        if (!solveTieLine(at, first, second, line)) {
            if (first.phase != second.phase) ++section.unresolved;
            continue;
        }
        PhaseState lowest;
        const double below = lowestBelowTangent(system, samples, at, line.mu, line.state, 2, lowest);
        if (below < -STABILITY_TOLERANCE && splits < MAX_SPLITS) {
            // The lower hull of the two ends and the state below their tangent: the state and
            // each end it lies beyond.
            ++splits;
            const double x = moleFractionOf(system.phases[static_cast<std::size_t>(lowest.phase)], lowest);
            if (x > line.x[0]) pending.push_back({line.state[0], lowest});
            if (x < line.x[1]) pending.push_back({lowest, line.state[1]});
            continue;
        }
        bool known = false;
        for (const StableTieLine& other : section.tieLines)
            known = known || (sameState(system, other.state[0], line.state[0]) &&
                              sameState(system, other.state[1], line.state[1]));
        if (!known) section.tieLines.push_back(line);
    }
    std::sort(section.tieLines.begin(), section.tieLines.end(),
              [](const StableTieLine& a, const StableTieLine& b) { return a.x[0] + a.x[1] < b.x[0] + b.x[1]; });
    if (!section.tieLines.empty()) {
        section.endPhase[0] = section.tieLines.front().state[0].phase;
        section.endPhase[1] = section.tieLines.back().state[1].phase;
    }
    return true;
}
