// A section at one temperature: candidates from the samples' hull, solved, checked and split.
#include "equilibrium/binary_section.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/coexistence.h"

namespace {

// Hull vertices of one phase further apart than this are a miscibility gap to be tried.
inline constexpr double GAP_WIDTH = 0.03;
inline constexpr int MAX_SPLITS = 12;
inline constexpr int BINS = SAMPLE_BINS;
// Samples of a phase off the hull by less than this share of R T are relaxed at its tangent.
inline constexpr double NEAR_HULL = 0.2;

bool sameState(const BinarySystem& system, const PhaseState& a, const PhaseState& b)
{
    if (a.phase != b.phase) return false;
    const ModelPhase& phase = system.phases[static_cast<std::size_t>(a.phase)];
    for (int c = 0; c < constituentCount(phase); ++c)
        if (std::fabs(a.s[c] - b.s[c]) > 1e-6 * (1 + std::fabs(a.s[c]))) return false;
    return true;
}

bool closeComposition(double a, double b)
{
    if (a == b) return true;  // a compound's, or a pure element's 0 and 1
    return std::fabs(std::log(a) - std::log(b)) < 1e-4 && std::fabs(std::log1p(-a) - std::log1p(-b)) < 1e-4;
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
    // Each state first relaxed at the chord's potentials: a sample of a phase of several
    // sublattices lies off its lowest internal state, and Newton's method on both at once is
    // surer from there.
    PhaseState states[2] = {first, second};
    for (PhaseState& state : states) {
        PhaseState relaxed = state;
        double F = 0;
        if (relaxAtPotentials(at, relaxed, mu, F)) state = relaxed;
    }
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
    // Two states that meet are no field: one phase on both sides of no gap, or two phases of one
    // energy at one composition (an ordered phase in its disordered state and the disordered
    // phase), whose potentials the equations leave undetermined.
    return out.x[1] - out.x[0] >= (states[0].phase == states[1].phase ? 1e-7 : 1e-9);
}

}  // namespace

double lowestBelowTangent(const BinarySystem& system, SystemSamples& samples, const SystemAt& at,
                          const double (&mu)[2], const PhaseState* skip, int skipCount, PhaseState& lowest)
{
    const int phases = static_cast<int>(system.phases.size());
    // Each phase's lowest sample in each stretch of x, in one pass over the samples; the stretches
    // lower than both neighbours are the phase's basins, each relaxed on its own (a phase with a
    // miscibility gap has two).
    samples.binBest.assign(static_cast<std::size_t>(phases * BINS), -1);
    samples.binHeight.assign(static_cast<std::size_t>(phases * BINS), INFINITY);
    int* binBest = samples.binBest.data();
    double* binHeight = samples.binHeight.data();
    const double slope = mu[1] - mu[0];
    const int* bin = samples.bin.data();
    for (const int i : samples.nearHull) {
        const std::size_t j = static_cast<std::size_t>(i);
        const double h = samples.G[j] - (mu[0] + slope * samples.x[j]);
        const int k = bin[i];
        if (h < binHeight[k]) {
            binHeight[k] = h;
            binBest[k] = i;
        }
    }
    double least = INFINITY;
    // A basin whose lowest sample lies this far above the tangent cannot reach below it: the
    // grids' samples lie within a few thousandths of R T of their basin's floor (the coarsest,
    // of phases of four free site fractions, within some hundredths).
    const double reach = NEAR_HULL * at.RT;
    for (int p = 0; p < phases; ++p) {
        const int* best = binBest + p * BINS;
        const double* height = binHeight + p * BINS;
        for (int k = 0; k < BINS; ++k) {
            if (best[k] < 0 || height[k] > reach) continue;
            if ((k > 0 && height[k - 1] < height[k]) || (k + 1 < BINS && height[k + 1] <= height[k])) continue;
            PhaseState state = sampleState(system, samples, best[k]);
            double F = 0;
            double atoms = 0;
            if (!relaxAtPotentials(at, state, mu, F)) continue;
            moleFractionOf(system.phases[static_cast<std::size_t>(p)], state, &atoms);
            bool own = false;
            for (int j = 0; j < skipCount; ++j) own = own || sameState(system, state, skip[j]);
            const double h = own ? 0.0 : F / atoms;
            if (h < least) {
                least = h;
                lowest = state;
            }
        }
    }
    return least;
}

namespace {

// Phases whose samples come near the hull within a stretch of one phase, relaxed at the hull's
// tangent there: a phase that reaches below it is stable in a field narrower than its grid (a
// compound or an ordered phase just forming), and the stretch's ends are tried against it.
void nearHull(const BinarySystem& system, SystemSamples& samples, const SystemAt& at, int hullSize,
              std::vector<std::pair<PhaseState, PhaseState>>& pending)
{
    const int phases = static_cast<int>(system.phases.size());
    const int* h = samples.hull.data();
    if (hullSize < 2) {
        samples.nearHull.assign(1, h[0]);
        return;
    }
    // Each phase's sample lowest above a hull edge between two others' states, in one pass.
    samples.binBest.assign(static_cast<std::size_t>(phases), -1);
    samples.binHeight.assign(static_cast<std::size_t>(2 * phases), NEAR_HULL * at.RT);
    int* best = samples.binBest.data();
    double* bestHeight = samples.binHeight.data();
    double* bestEdge = bestHeight + phases;
    // The same pass keeps the samples within reach of the hull: a stable tangent lies at or
    // below the true hull, which lies at or below the samples' hull, so no sample further above
    // the latter can come within reach of a tangent.
    const double reach = NEAR_HULL * at.RT;
    samples.nearHull.clear();
    int k = 0;
    for (std::size_t i = 0; i < samples.x.size(); ++i) {
        const double x = samples.x[i];
        while (k + 2 < hullSize && samples.x[static_cast<std::size_t>(h[k + 1])] < x) ++k;
        const int p = samples.phase[i];
        const std::size_t a = static_cast<std::size_t>(h[k]);
        const std::size_t b = static_cast<std::size_t>(h[k + 1]);
        const double span = samples.x[b] - samples.x[a];
        const double chord = span == 0 ? std::fmin(samples.G[a], samples.G[b])
                                       : samples.G[a] + (samples.G[b] - samples.G[a]) * (x - samples.x[a]) / span;
        const double height = samples.G[i] - chord;
        if (height <= reach) samples.nearHull.push_back(static_cast<int>(i));
        if (samples.phase[a] == p || samples.phase[b] == p || samples.phase[a] != samples.phase[b]) continue;
        if (height > 0 && height < bestHeight[p]) {
            bestHeight[p] = height;
            best[p] = static_cast<int>(i);
            bestEdge[p] = k;
        }
    }
    for (int p = 0; p < phases; ++p) {
        if (best[p] < 0) continue;
        const int edge = static_cast<int>(bestEdge[p]);
        const std::size_t a = static_cast<std::size_t>(h[edge]);
        const std::size_t b = static_cast<std::size_t>(h[edge + 1]);
        const double slope = (samples.G[b] - samples.G[a]) / (samples.x[b] - samples.x[a]);
        const double mu[2] = {samples.G[a] - slope * samples.x[a], samples.G[a] - slope * samples.x[a] + slope};
        PhaseState state = sampleState(system, samples, best[p]);
        double F = 0;
        double atoms = 0;
        if (!relaxAtPotentials(at, state, mu, F)) continue;
        moleFractionOf(system.phases[static_cast<std::size_t>(p)], state, &atoms);
        if (F / atoms >= -BELOW_TANGENT_TOLERANCE) continue;
        pending.push_back({sampleState(system, samples, h[edge]), state});
        pending.push_back({state, sampleState(system, samples, h[edge + 1])});
    }
}

}  // namespace

namespace {

// Solves the candidate tie-lines, checks each against every phase and splits it where one
// reaches below; the stable ones are added to the section, in increasing x.
void solvePending(const BinarySystem& system, SystemSamples& samples, const SystemAt& at,
                  std::vector<std::pair<PhaseState, PhaseState>>& pending, int& splits, Section& section)
{
    while (!pending.empty()) {
        const auto [first, second] = pending.back();
        pending.pop_back();
        StableTieLine line;
        // A hull edge that does not solve is most often a coarse sample's artefact; what matters
        // is whether the tie-lines found meet, counted at the end.
        if (!solveTieLine(at, first, second, line)) continue;
        PhaseState lowest;
        const double below = lowestBelowTangent(system, samples, at, line.mu, line.state, 2, lowest);
        if (below < -BELOW_TANGENT_TOLERANCE && splits < MAX_SPLITS) {
            // The lower hull of the two ends and the state below their tangent: the state and
            // each end it lies beyond.
            ++splits;
            const double x = moleFractionOf(system.phases[static_cast<std::size_t>(lowest.phase)], lowest);
            if (x > line.x[0]) pending.push_back({line.state[0], lowest});
            if (x < line.x[1]) pending.push_back({lowest, line.state[1]});
            continue;
        }
        // The same tie-line reached from two candidates: the same phases at compositions equal
        // to the few digits that a dilute end's potential leaves (its log-ratios within 1e-4).
        bool known = false;
        for (const StableTieLine& other : section.tieLines)
            known = known ||
                    (other.state[0].phase == line.state[0].phase && other.state[1].phase == line.state[1].phase &&
                     closeComposition(other.x[0], line.x[0]) && closeComposition(other.x[1], line.x[1]));
        if (!known) section.tieLines.push_back(line);
    }
    std::sort(section.tieLines.begin(), section.tieLines.end(),
              [](const StableTieLine& a, const StableTieLine& b) { return a.x[0] + a.x[1] < b.x[0] + b.x[1]; });
}

}  // namespace

bool computeSection(const BinarySystem& system, SystemSamples& samples, SystemAt& at, double T, Section& section)
{
    section.T = T;
    section.tieLines.clear();
    section.unresolved = 0;
    if (!evaluateSystemAt(system, T, at)) return false;
    sampleEnergies(at, samples);
    const int n = lowerHullOfSamples(samples);
    const int* h = samples.hull.data();
    if (n == 0) {
        section.endPhase[0] = section.endPhase[1] = -1;
        return true;
    }
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
    nearHull(system, samples, at, n, pending);
    int splits = 0;
    solvePending(system, samples, at, pending, splits, section);
    // Neighbouring tie-lines must meet in one phase: where they do not, a field between them
    // was left to a start that converged on its neighbour; it is tried from the two states.
    for (int round = 0; round < 3; ++round) {
        const std::size_t count = section.tieLines.size();
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const StableTieLine& l = section.tieLines[i];
            const StableTieLine& r = section.tieLines[i + 1];
            if (l.state[1].phase != r.state[0].phase) pending.push_back({l.state[1], r.state[0]});
        }
        if (count > 0 && section.tieLines.front().state[0].phase != section.endPhase[0])
            pending.push_back({sampleState(system, samples, h[0]), section.tieLines.front().state[0]});
        if (count > 0 && section.tieLines.back().state[1].phase != section.endPhase[1])
            pending.push_back({section.tieLines.back().state[1], sampleState(system, samples, h[n - 1])});
        if (pending.empty()) break;
        solvePending(system, samples, at, pending, splits, section);
    }
    // Neighbours that still do not meet in one phase leave a field unsolved between them.
    for (std::size_t i = 0; i + 1 < section.tieLines.size(); ++i)
        if (section.tieLines[i].state[1].phase != section.tieLines[i + 1].state[0].phase) ++section.unresolved;
    if (!section.tieLines.empty()) {
        section.endPhase[0] = section.tieLines.front().state[0].phase;
        section.endPhase[1] = section.tieLines.back().state[1].phase;
    }
    return true;
}
