// Newton steps on the coexistence equations, the log-ratios' steps limited so that a start far
// off does not throw a site fraction to the edge of the representable.
#include "equilibrium/coexistence.h"

#include <cmath>

#include "numeric/dense_solve.h"

namespace {

inline constexpr int ITERATIONS = 50;
inline constexpr double MAX_LOG_STEP = 4.0;
inline constexpr int MAX_UNKNOWNS = 2 * MAX_CONSTITUENTS + 2;

const ModelPhase& phaseOf(const SystemAt& at, const PhaseState& s)
{
    return at.system->phases[static_cast<std::size_t>(s.phase)];
}

// The step's largest log-ratio change scaled down to MAX_LOG_STEP; true where it was already
// below `tolerance` and the potentials' change below its own.
bool limitStep(double* step, int nLog, int nAll, double muScale, double tolerance)
{
    double largest = 0;
    for (int i = 0; i < nLog; ++i) largest = std::fmax(largest, std::fabs(step[i]));
    double largestMu = 0;
    for (int i = nLog; i < nAll; ++i) largestMu = std::fmax(largestMu, std::fabs(step[i]));
    if (largest > MAX_LOG_STEP) {
        const double f = MAX_LOG_STEP / largest;
        for (int i = 0; i < nAll; ++i) step[i] *= f;
    }
    return largest < tolerance && largestMu < tolerance * muScale;
}

// The residuals are met when below this share of the energies' scale: beyond it, a potential
// that a dilute phase barely fixes (its F moves with mu_B times 1e-6) only wanders in the rounding.
inline constexpr double RESIDUAL = 1e-13;

double largestResidual(const double* b, int n)
{
    double largest = 0;
    for (int i = 0; i < n; ++i) largest = std::fmax(largest, std::fabs(b[i]));
    return largest;
}

}  // namespace

bool solveCoexistence(const SystemAt& at, PhaseState (&states)[2], double (&mu)[2])
{
    PhaseEquations eq[2];
    double a[MAX_UNKNOWNS * MAX_UNKNOWNS];
    double b[MAX_UNKNOWNS];
    for (int iteration = 0; iteration < ITERATIONS; ++iteration) {
        for (int p = 0; p < 2; ++p) phaseEquations(at, states[p], mu, eq[p]);
        const int n0 = eq[0].n;
        const int nLog = n0 + eq[1].n;
        const int n = nLog + 2;
        for (int i = 0; i < n * n; ++i) a[i] = 0;
        // Rows: E of the first state, E of the second, F of each; columns: the log-ratios in the
        // same order, then mu_A and mu_B.
        for (int p = 0; p < 2; ++p) {
            const int offset = p == 0 ? 0 : n0;
            for (int i = 0; i < eq[p].n; ++i) {
                for (int j = 0; j < eq[p].n; ++j) a[(offset + i) * n + offset + j] = eq[p].dE[i * eq[p].n + j];
                a[(offset + i) * n + nLog] = eq[p].dEmu[i][0];
                a[(offset + i) * n + nLog + 1] = eq[p].dEmu[i][1];
                b[offset + i] = -eq[p].E[i];
            }
            const int row = nLog + p;
            for (int j = 0; j < eq[p].n; ++j) a[row * n + offset + j] = eq[p].dF[j];
            a[row * n + nLog] = eq[p].dFmu[0];
            a[row * n + nLog + 1] = eq[p].dFmu[1];
            b[row] = -eq[p].F;
        }
        const double scale = std::fmax(at.RT, std::fabs(mu[0]) + std::fabs(mu[1]));
        const bool small = largestResidual(b, n) < RESIDUAL * scale;
        if (!solveDense(a, b, n)) return false;
        const bool done = limitStep(b, nLog, n, scale, 1e-11) || small;
        for (int p = 0; p < 2; ++p) {
            const int offset = p == 0 ? 0 : n0;
            for (int i = 0; i < eq[p].n; ++i) states[p].s[eq[p].index[i]] += b[offset + i];
            updateSiteFractions(phaseOf(at, states[p]), states[p]);
        }
        mu[0] += b[nLog];
        mu[1] += b[nLog + 1];
        if (!std::isfinite(mu[0]) || !std::isfinite(mu[1])) return false;
        if (done) return true;
    }
    return false;
}

bool relaxAtPotentials(const SystemAt& at, PhaseState& state, const double (&mu)[2], double& F)
{
    PhaseEquations eq;
    double a[MAX_CONSTITUENTS * MAX_CONSTITUENTS];
    double b[MAX_CONSTITUENTS];
    for (int iteration = 0; iteration < ITERATIONS; ++iteration) {
        phaseEquations(at, state, mu, eq);
        F = eq.F;
        const int n = eq.n;
        if (n == 0) return true;
        for (int i = 0; i < n * n; ++i) a[i] = eq.dE[i];
        for (int i = 0; i < n; ++i) b[i] = -eq.E[i];
        const bool small = largestResidual(b, n) < RESIDUAL * std::fmax(at.RT, std::fabs(mu[0]) + std::fabs(mu[1]));
        if (!solveDense(a, b, n)) return false;
        const bool done = limitStep(b, n, n, 1, 1e-11) || small;
        for (int i = 0; i < n; ++i) state.s[eq.index[i]] += b[i];
        updateSiteFractions(phaseOf(at, state), state);
        if (done) {
            phaseEquations(at, state, mu, eq);
            F = eq.F;
            return true;
        }
    }
    return false;
}

bool relaxOnTangent(const SystemAt& at, PhaseState& state, double d, double (&mu)[2])
{
    const ModelPhase& phase = phaseOf(at, state);
    double atoms = 0;
    const double x = moleFractionOf(phase, state, &atoms);
    mu[0] = formulaEnergy(at, state) / atoms - d * x;
    mu[1] = mu[0] + d;
    for (int iteration = 0; iteration < ITERATIONS; ++iteration) {
        double F = 0;
        if (!relaxAtPotentials(at, state, mu, F)) return false;
        moleFractionOf(phase, state, &atoms);
        // F falls by the atoms per formula unit for each J/mol that both potentials rise.
        const double step = F / atoms;
        mu[0] += step;
        mu[1] += step;
        if (std::fabs(step) <= RESIDUAL * std::fmax(at.RT, std::fabs(mu[0]) + std::fabs(mu[1]))) return true;
    }
    return false;
}
