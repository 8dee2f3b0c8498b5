// Sampling the phases on grids of log-ratios, and the monotone-chain lower hull of the samples.
#include "equilibrium/phase_samples.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "model/sublattice_energy.h"

namespace {

inline constexpr double EDGE_LOG = 30.0;  // y = e^-30, about 1e-13

// The grid of one free log-ratio: `uniform` site fractions k / (uniform + 1), odd so that 1/2 is
// one of them, and steps of `edgeStep` from the first of them out to -EDGE_LOG, and the same
// towards +EDGE_LOG.
std::vector<double> logGrid(int uniform, double edgeStep)
{
    std::vector<double> grid;
    for (int k = 1; k <= uniform; ++k) {
        const double y = static_cast<double>(k) / (uniform + 1);
        grid.push_back(std::log(y) - std::log1p(-y));
    }
    const double inner = grid.front();
    for (double s = inner - edgeStep; s > -EDGE_LOG; s -= edgeStep) {
        grid.push_back(s);
        grid.push_back(-s);
    }
    grid.push_back(-EDGE_LOG);
    grid.push_back(EDGE_LOG);
    std::sort(grid.begin(), grid.end());
    return grid;
}

std::vector<double> gridFor(int free)
{
    switch (free) {
    case 1: return logGrid(199, 0.5);
    case 2: return logGrid(39, 3.0);
    case 3: return logGrid(9, 8.0);
    case 4: return logGrid(3, 12.0);
    case 5:
    case 6: return logGrid(1, 15.0);
    default: return logGrid(1, 30.0);  // -30, 0 and 30: 3^9 samples at most
    }
}

}  // namespace

void sampleSystem(const BinarySystem& system, SystemSamples& samples)
{
    samples = SystemSamples{};
    struct Raw {
        double x;
        int phase;
        std::vector<double> s;
    };
    std::vector<Raw> raw;
    for (std::size_t p = 0; p < system.phases.size(); ++p) {
        const ModelPhase& phase = system.phases[p];
        int freeIndex[MAX_CONSTITUENTS];
        int free = 0;
        for (const Sublattice& sub : phase.sublattices)
            for (int c = sub.first; c < sub.first + sub.count - 1; ++c) freeIndex[free++] = c;
        const std::vector<double> grid = gridFor(free);
        std::vector<int> at(static_cast<std::size_t>(free), 0);
        for (;;) {
            PhaseState state{static_cast<int>(p), {}, {}, {}};
            for (int k = 0; k < free; ++k) state.s[freeIndex[k]] = grid[static_cast<std::size_t>(at[static_cast<std::size_t>(k)])];
            updateSiteFractions(phase, state);
            double atoms = 0;
            const double x = moleFractionOf(phase, state, &atoms);
            if (atoms > 1e-9) raw.push_back({x, static_cast<int>(p), std::vector<double>(state.s, state.s + constituentCount(phase))});
            int k = 0;
            while (k < free && ++at[static_cast<std::size_t>(k)] == static_cast<int>(grid.size())) at[static_cast<std::size_t>(k++)] = 0;
            if (k == free) break;
        }
    }
    std::stable_sort(raw.begin(), raw.end(), [](const Raw& a, const Raw& b) { return a.x < b.x; });
    for (const Raw& r : raw) {
        const ModelPhase& phase = system.phases[static_cast<std::size_t>(r.phase)];
        PhaseState state{r.phase, {}, {}, {}};
        std::copy(r.s.begin(), r.s.end(), state.s);
        updateSiteFractions(phase, state);
        double atoms = 0;
        samples.phase.push_back(r.phase);
        samples.bin.push_back(r.phase * SAMPLE_BINS + std::min(SAMPLE_BINS - 1, static_cast<int>(r.x * SAMPLE_BINS)));
        samples.x.push_back(moleFractionOf(phase, state, &atoms));
        samples.atoms.push_back(atoms);
        samples.ideal.push_back(idealMixing(phase, state.y, state.lnY));
        samples.first.push_back(static_cast<int>(samples.s.size()));
        samples.s.insert(samples.s.end(), r.s.begin(), r.s.end());
        samples.firstMonomial.push_back(static_cast<int>(samples.monomials.size()));
        for (const EnergyTerm& t : phase.terms) samples.monomials.push_back(termMonomial(t, state.y));
    }
    samples.G.assign(raw.size(), 0.0);
    samples.hull.assign(raw.size(), 0);
}

void sampleEnergies(const SystemAt& at, SystemSamples& samples)
{
    const BinarySystem& system = *at.system;
    const double* values = at.values.data();
    for (std::size_t i = 0; i < samples.x.size(); ++i) {
        const ModelPhase& phase = system.phases[static_cast<std::size_t>(samples.phase[i])];
        const double* m = samples.monomials.data() + samples.firstMonomial[i];
        double G = 0;
        if (phase.magnetic) {
            G = energyOfMonomials(phase, values, at.T, system.gasConstant, m);
        } else {
            // Without magnetic ordering G is the sum of the Gibbs-energy terms alone.
            const std::size_t terms = phase.terms.size();
            for (std::size_t k = 0; k < terms; ++k)
                if (phase.terms[k].kind == GIBBS_TERM) G += values[phase.terms[k].parameter] * m[k];
        }
        samples.G[i] = (G + at.RT * samples.ideal[i]) / samples.atoms[i];
    }
}

int lowerHullOfSamples(SystemSamples& samples)
{
    int n = 0;
    int* h = samples.hull.data();
    const double* x = samples.x.data();
    const double* G = samples.G.data();
    for (int i = 0; i < static_cast<int>(samples.x.size()); ++i) {
        if (n > 0 && x[i] == x[h[n - 1]]) {
            // Two phases of one energy at one state (an ordered phase in its disordered state and
            // the disordered phase): the first declared keeps the place, whatever the rounding.
            if (G[i] >= G[h[n - 1]] - 1e-12 * std::fabs(G[i])) continue;
            --n;
        }
        while (n >= 2) {
            const int a = h[n - 2];
            const int b = h[n - 1];
            // b lies on or above the chord from a to i: not a vertex of the lower hull.
            const double cross = (x[b] - x[a]) * (G[i] - G[a]) - (G[b] - G[a]) * (x[i] - x[a]);
            if (cross > 0) break;
            --n;
        }
        h[n++] = i;
    }
    // Samples of different phases at the ends differ in x by a hair (1e-13); the outermost
    // belongs to the hull whatever its energy. Where it lies above its neighbour, it is no
    // stable end.
    while (n > 2 && x[h[n - 1]] - x[h[n - 2]] < 1e-9 && G[h[n - 1]] > G[h[n - 2]]) --n;
    int drop = 0;
    while (n - drop > 2 && x[h[drop + 1]] - x[h[drop]] < 1e-9 && G[h[drop]] > G[h[drop + 1]]) ++drop;
    if (drop > 0) {
        for (int k = 0; k + drop < n; ++k) h[k] = h[k + drop];
        n -= drop;
    }
    return n;
}

PhaseState sampleState(const BinarySystem& system, const SystemSamples& samples, int i)
{
    const ModelPhase& phase = system.phases[static_cast<std::size_t>(samples.phase[static_cast<std::size_t>(i)])];
    PhaseState state{samples.phase[static_cast<std::size_t>(i)], {}, {}, {}};
    const double* s = samples.s.data() + samples.first[static_cast<std::size_t>(i)];
    std::copy(s, s + constituentCount(phase), state.s);
    updateSiteFractions(phase, state);
    return state;
}
