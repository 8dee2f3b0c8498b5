// Site fractions from log-ratios, and a phase's equilibrium equations with their Jacobian.
#include "equilibrium/phase_state.h"

#include <cmath>

#include "model/sublattice_energy.h"

void updateSiteFractions(const ModelPhase& phase, PhaseState& state)
{
    for (const Sublattice& sub : phase.sublattices) {
        const int last = sub.first + sub.count - 1;
        state.s[last] = 0;
        double top = 0;
        for (int c = sub.first; c < last; ++c) {
            state.s[c] = std::fmax(-SITE_LOG_LIMIT, std::fmin(SITE_LOG_LIMIT, state.s[c]));
            top = std::fmax(top, state.s[c]);
        }
        // ln of the sum of e^s, taken from the largest so that nothing overflows.
        double sum = 0;
        for (int c = sub.first; c <= last; ++c) sum += std::exp(state.s[c] - top);
        const double logSum = top + std::log(sum);
        for (int c = sub.first; c <= last; ++c) {
            state.lnY[c] = state.s[c] - logSum;
            state.y[c] = std::exp(state.lnY[c]);
        }
    }
}

double moleFractionOf(const ModelPhase& phase, const PhaseState& state, double* atoms)
{
    double nA = 0;
    double nB = 0;
    atomsOf(phase, state.y, nA, nB);
    if (atoms != nullptr) *atoms = nA + nB;
    return nB / (nA + nB);
}

bool evaluateSystemAt(const BinarySystem& system, double T, SystemAt& at)
{
    at.system = &system;
    at.T = T;
    at.RT = system.gasConstant * T;
    at.values.resize(static_cast<std::size_t>(system.parameters.count));
    return system.parameters.count == 0 || system.parameters.valuesAt(system.parameters.context, T, at.values.data());
}

double formulaEnergy(const SystemAt& at, const PhaseState& state)
{
    const ModelPhase& phase = at.system->phases[static_cast<std::size_t>(state.phase)];
    return nonIdealEnergy(phase, at.values.data(), at.T, at.system->gasConstant, state.y, nullptr, nullptr) +
           at.RT * idealMixing(phase, state.y, state.lnY);
}

void phaseEquations(const SystemAt& at, const PhaseState& state, const double (&mu)[2], PhaseEquations& eq)
{
    const ModelPhase& phase = at.system->phases[static_cast<std::size_t>(state.phase)];
    const int m = constituentCount(phase);
    double g[MAX_CONSTITUENTS];
    double h[MAX_CONSTITUENTS * MAX_CONSTITUENTS];
    const double G = nonIdealEnergy(phase, at.values.data(), at.T, at.system->gasConstant, state.y, g, h);
    const auto muOf = [&](int c) {
        const Species sp = phase.species[static_cast<std::size_t>(c)];
        return sp == VACANCY ? 0.0 : mu[sp];
    };
    // dF/dy of every site fraction, ideal mixing included.
    double fy[MAX_CONSTITUENTS];
    int sublatticeOf[MAX_CONSTITUENTS];
    for (std::size_t k = 0; k < phase.sublattices.size(); ++k) {
        const Sublattice& sub = phase.sublattices[k];
        for (int c = sub.first; c < sub.first + sub.count; ++c) {
            fy[c] = g[c] + at.RT * sub.sites * (state.lnY[c] + 1) - sub.sites * muOf(c);
            sublatticeOf[c] = static_cast<int>(k);
        }
    }
    double nA = 0;
    double nB = 0;
    atomsOf(phase, state.y, nA, nB);
    eq.F = G + at.RT * idealMixing(phase, state.y, state.lnY) - mu[0] * nA - mu[1] * nB;
    eq.dFmu[0] = -nA;
    eq.dFmu[1] = -nB;
    eq.n = 0;
    for (const Sublattice& sub : phase.sublattices)
        for (int c = sub.first; c < sub.first + sub.count - 1; ++c) eq.index[eq.n++] = c;
    const int n = eq.n;
    for (int i = 0; i < n; ++i) {
        const int d = eq.index[i];
        const Sublattice& sub = phase.sublattices[static_cast<std::size_t>(sublatticeOf[d])];
        const int l = sub.first + sub.count - 1;
        eq.E[i] = g[d] - g[l] + at.RT * sub.sites * state.s[d] - sub.sites * (muOf(d) - muOf(l));
        for (int k = 0; k < 2; ++k) {
            const Species sd = phase.species[static_cast<std::size_t>(d)];
            const Species sl = phase.species[static_cast<std::size_t>(l)];
            eq.dEmu[i][k] = -sub.sites * ((sd == k ? 1.0 : 0.0) - (sl == k ? 1.0 : 0.0));
        }
        for (int j = 0; j < n; ++j) {
            const int e = eq.index[j];
            const Sublattice& se = phase.sublattices[static_cast<std::size_t>(sublatticeOf[e])];
            // dy_c/ds_e = y_c (delta_ce - y_e) within e's sublattice.
            double weighted = 0;
            for (int c = se.first; c < se.first + se.count; ++c) weighted += (h[d * m + c] - h[l * m + c]) * state.y[c];
            double v = (h[d * m + e] - h[l * m + e]) * state.y[e] - state.y[e] * weighted;
            if (d == e) v += at.RT * sub.sites;
            eq.dE[i * n + j] = v;
        }
    }
    for (int j = 0; j < n; ++j) {
        const int e = eq.index[j];
        const Sublattice& se = phase.sublattices[static_cast<std::size_t>(sublatticeOf[e])];
        double mean = 0;
        for (int c = se.first; c < se.first + se.count; ++c) mean += fy[c] * state.y[c];
        eq.dF[j] = state.y[e] * (fy[e] - mean);
    }
}
