// Terms of the compound energy formalism as products of linear factors in the site fractions,
// differentiated twice by the product rule, and the magnetic energy through TC and the moment.
#include "model/sublattice_energy.h"

#include <cmath>
#include <utility>

#include "model/magnetic.h"

int freeVariables(const ModelPhase& phase)
{
    int free = 0;
    for (const Sublattice& s : phase.sublattices) free += s.count - 1;
    return free;
}

namespace {

// A term as linear factors: y[index[q]] - y[minus[q]] (minus -1: none) to the power power[q].
struct Factors {
    int m;
    int index[MAX_FACTORS + 1];
    int minus[MAX_FACTORS + 1];
    int power[MAX_FACTORS + 1];
    double value[MAX_FACTORS + 1];
};

Factors factorsOf(const EnergyTerm& term, const double* y)
{
    Factors f{};
    for (int q = 0; q < term.factors; ++q) {
        f.index[q] = term.factor[q];
        f.minus[q] = -1;
        f.power[q] = 1;
        f.value[q] = y[term.factor[q]];
    }
    f.m = term.factors;
    if (term.order > 0) {
        f.index[f.m] = term.rkFirst;
        f.minus[f.m] = term.rkSecond;
        f.power[f.m] = term.order;
        f.value[f.m] = y[term.rkFirst] - y[term.rkSecond];
        ++f.m;
    }
    return f;
}

double power(double v, int k)
{
    double p = 1;
    for (int i = 0; i < k; ++i) p *= v;
    return p;
}

// Adds weight * (gradient vector of factor q) * scale into g.
void addGradient(const Factors& f, int q, double scale, double* g)
{
    g[f.index[q]] += scale;
    if (f.minus[q] >= 0) g[f.minus[q]] -= scale;
}

void addOuter(const Factors& f, int q, int r, double scale, double* h, int n)
{
    const int a[2] = {f.index[q], f.minus[q]};
    const int b[2] = {f.index[r], f.minus[r]};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            if (a[i] < 0 || b[j] < 0) continue;
            const double sign = (i == 0 ? 1.0 : -1.0) * (j == 0 ? 1.0 : -1.0);
            h[a[i] * n + b[j]] += sign * scale;
        }
}

// weight * the term's monomial differentiated once into g and twice into h. With v_q the value of
// factor q to its power and d_q, dd_q its first and second derivatives, the products of all
// factors but one (or two) come from prefix and suffix products, so that a zero factor needs no
// division.
void addDerivatives(const EnergyTerm& term, const double* y, double weight, double* g, double* h, int n)
{
    const Factors f = factorsOf(term, y);
    const int m = f.m;
    double v[MAX_FACTORS + 1];
    double d[MAX_FACTORS + 1];
    double dd[MAX_FACTORS + 1];
    for (int q = 0; q < m; ++q) {
        const int k = f.power[q];
        v[q] = power(f.value[q], k);
        d[q] = k * power(f.value[q], k - 1);
        dd[q] = k >= 2 ? k * (k - 1) * power(f.value[q], k - 2) : 0.0;
    }
    double prefix[MAX_FACTORS + 2];
    double suffix[MAX_FACTORS + 2];
    prefix[0] = weight;
    for (int q = 0; q < m; ++q) prefix[q + 1] = prefix[q] * v[q];
    suffix[m] = 1;
    for (int q = m - 1; q >= 0; --q) suffix[q] = suffix[q + 1] * v[q];
    for (int q = 0; q < m; ++q) {
        const double others = prefix[q] * suffix[q + 1];
        if (g != nullptr) addGradient(f, q, others * d[q], g);
        if (h == nullptr) continue;
        if (dd[q] != 0) addOuter(f, q, q, others * dd[q], h, n);
        // Factors strictly between q and r, multiplied as r moves on.
        double between = 1;
        for (int r = q + 1; r < m; ++r) {
            const double rest = prefix[q] * between * suffix[r + 1];
            const double scale = rest * d[q] * d[r];
            addOuter(f, q, r, scale, h, n);
            addOuter(f, r, q, scale, h, n);
            between *= v[r];
        }
    }
}

// R T ln(beta + 1) g(T / TC), with TC and beta divided by the antiferromagnetic factor where
// negative; 0 where TC is 0.
double magneticEnergy(const ModelPhase& phase, double T, double R, double TC, double beta)
{
    if (TC < 0) TC /= phase.antiferromagnetic;
    if (beta < 0) beta /= phase.antiferromagnetic;
    if (!(TC > 0) || T > 1e8 * TC) return 0;
    return R * T * std::log(beta + 1) * magneticFunction(T / TC, phase.structureFactor).g;
}

}  // namespace

double termMonomial(const EnergyTerm& term, const double* y)
{
    double product = 1;
    for (int q = 0; q < term.factors; ++q) product *= y[term.factor[q]];
    if (term.order > 0) product *= power(y[term.rkFirst] - y[term.rkSecond], term.order);
    return product;
}

double energyOfMonomials(const ModelPhase& phase, const double* values, double T, double R, const double* monomials)
{
    double G = 0;
    double TC = 0;
    double beta = 0;
    for (std::size_t i = 0; i < phase.terms.size(); ++i) {
        const EnergyTerm& t = phase.terms[i];
        const double v = values[t.parameter] * monomials[i];
        if (t.kind == GIBBS_TERM) G += v;
        else if (t.kind == CURIE_TERM) TC += v;
        else beta += v;
    }
    if (phase.magnetic) G += magneticEnergy(phase, T, R, TC, beta);
    return G;
}

double nonIdealEnergy(const ModelPhase& phase, const double* values, double T, double R, const double* y,
                      double* gradient, double* hessian)
{
    const int n = constituentCount(phase);
    if (gradient != nullptr)
        for (int i = 0; i < n; ++i) gradient[i] = 0;
    if (hessian != nullptr)
        for (int i = 0; i < n * n; ++i) hessian[i] = 0;
    double G = 0;
    double TC = 0;
    double beta = 0;
    double dTC[MAX_CONSTITUENTS] = {};
    double dBeta[MAX_CONSTITUENTS] = {};
    double hTC[MAX_CONSTITUENTS * MAX_CONSTITUENTS] = {};
    double hBeta[MAX_CONSTITUENTS * MAX_CONSTITUENTS] = {};
    const bool derivatives = gradient != nullptr || hessian != nullptr;
    for (const EnergyTerm& t : phase.terms) {
        const double v = values[t.parameter];
        const double m = termMonomial(t, y);
        if (t.kind == GIBBS_TERM) {
            G += v * m;
            if (derivatives) addDerivatives(t, y, v, gradient, hessian, n);
        } else if (t.kind == CURIE_TERM) {
            TC += v * m;
            if (derivatives) addDerivatives(t, y, v, dTC, hTC, n);
        } else {
            beta += v * m;
            if (derivatives) addDerivatives(t, y, v, dBeta, hBeta, n);
        }
    }
    if (!phase.magnetic) return G;
    // Through the antiferromagnetic factor, TC and beta and their derivatives scale alike.
    const double cTC = TC < 0 ? 1 / phase.antiferromagnetic : 1.0;
    const double cBeta = beta < 0 ? 1 / phase.antiferromagnetic : 1.0;
    TC *= cTC;
    beta *= cBeta;
    // Far above TC (a Curie temperature of a trace of the magnetic element) the energy is below
    // R T beta 1e-40, and its derivatives, formed through 1/TC^2, would overflow.
    if (!(TC > 0) || T > 1e8 * TC) return G;
    const double tau = T / TC;
    const MagneticFunction f = magneticFunction(tau, phase.structureFactor);
    const double RT = R * T;
    const double lb = std::log(beta + 1);
    const double gb = 1 / (beta + 1);
    G += RT * lb * f.g;
    if (!derivatives) return G;
    const double tauTC = -tau / TC;            // d tau / d TC
    const double tauTCTC = 2 * tau / (TC * TC);
    for (int i = 0; i < n; ++i) {
        const double bi = cBeta * dBeta[i];
        const double ti = cTC * dTC[i];
        if (gradient != nullptr) gradient[i] += RT * (gb * bi * f.g + lb * f.dg * tauTC * ti);
        if (hessian == nullptr) continue;
        for (int j = 0; j < n; ++j) {
            const double bj = cBeta * dBeta[j];
            const double tj = cTC * dTC[j];
            hessian[i * n + j] += RT * (-gb * gb * bi * bj * f.g + gb * f.dg * tauTC * (bi * tj + ti * bj) +
                                        lb * (f.ddg * tauTC * tauTC + f.dg * tauTCTC) * ti * tj +
                                        gb * f.g * cBeta * hBeta[i * n + j] + lb * f.dg * tauTC * cTC * hTC[i * n + j]);
        }
    }
    return G;
}

double idealMixing(const ModelPhase& phase, const double* y, const double* lnY)
{
    double total = 0;
    for (const Sublattice& s : phase.sublattices) {
        double sum = 0;
        for (int c = s.first; c < s.first + s.count; ++c)
            if (y[c] > 0) sum += y[c] * lnY[c];
        total += s.sites * sum;
    }
    return total;
}

void atomsOf(const ModelPhase& phase, const double* y, double& nA, double& nB)
{
    nA = 0;
    nB = 0;
    for (const Sublattice& s : phase.sublattices)
        for (int c = s.first; c < s.first + s.count; ++c) {
            if (phase.species[static_cast<std::size_t>(c)] == ELEMENT_A) nA += s.sites * y[c];
            if (phase.species[static_cast<std::size_t>(c)] == ELEMENT_B) nB += s.sites * y[c];
        }
}

bool mixingSublattice(const ModelPhase& phase, int& a, int& b, double& sites)
{
    a = b = -1;
    for (const Sublattice& s : phase.sublattices) {
        if (s.count == 1) continue;
        if (a >= 0 || s.count != 2) return false;
        a = s.first;
        b = s.first + 1;
        sites = s.sites;
        if (phase.species[static_cast<std::size_t>(a)] != ELEMENT_A) std::swap(a, b);
    }
    return a >= 0 && phase.species[static_cast<std::size_t>(a)] == ELEMENT_A &&
           phase.species[static_cast<std::size_t>(b)] == ELEMENT_B;
}
