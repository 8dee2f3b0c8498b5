// Reactions between sections: told apart by the tie-lines the two sections do not share, and
// solved by the regula falsi (Illinois) on a function of temperature that changes sign there.
#include "equilibrium/binary_reactions.h"

#include <cmath>
#include <functional>

#include "equilibrium/coexistence.h"
#include "equilibrium/critical_point.h"
#include "numeric/golden_section.h"
#include "numeric/regula_falsi.h"

namespace {

inline constexpr double ROOT_TOLERANCE = 1e-10;  // K
// J/mol: pure energies of two phases closer than this are one state of the element.
inline constexpr double IDENTICAL = 1e-4;

double rootBetween(const std::function<double(double)>& f, double a, double b)
{
    return regulaFalsi(f, a, b, ROOT_TOLERANCE);
}

// The root nearest to the bracket where the sections saw the change: a field too narrow for the
// sections (a congruent point's first hundredths of a kelvin, a pure element's e^-30 of x) shows
// a little after its equation changes sign, so the bracket is widened tenfold at a time up to 1 K.
double rootNear(const std::function<double(double)>& f, double above, double below)
{
    double T = rootBetween(f, above, below);
    for (double w = above - below; !std::isfinite(T) && w < 1; w *= 10) T = rootBetween(f, above + w, below - w);
    return T;
}

bool isLiquid(const BinarySystem& system, int phase) { return system.phases[static_cast<std::size_t>(phase)].liquid; }

ReactionKind decomposition(const BinarySystem& system, int alpha, int beta, int gamma)
{
    const int liquids = isLiquid(system, alpha) + isLiquid(system, gamma);
    if (isLiquid(system, beta)) return liquids == 0 ? ReactionKind::EUTECTIC : ReactionKind::MONOTECTIC;
    if (liquids > 0) return ReactionKind::METATECTIC;
    return alpha == beta || gamma == beta ? ReactionKind::MONOTECTOID : ReactionKind::EUTECTOID;
}

ReactionKind formation(const BinarySystem& system, int alpha, int beta, int gamma)
{
    const int liquids = isLiquid(system, alpha) + isLiquid(system, gamma);
    if (isLiquid(system, beta)) return ReactionKind::OTHER;
    if (liquids == 2) return ReactionKind::SYNTECTIC;
    return liquids == 1 ? ReactionKind::PERITECTIC : ReactionKind::PERITECTOID;
}

// The height (J/mol of atoms) of beta relaxed below the tangent of the alpha + gamma tie-line at
// T; the states carried on from call to call. NaN where a solve fails.
struct ThreePhases {
    const BinarySystem* system;
    SystemAt* at;
    PhaseState outer[2];
    PhaseState middle;
    double mu[2];

    double operator()(double T)
    {
        if (!evaluateSystemAt(*system, T, *at)) return NAN;
        PhaseState states[2] = {outer[0], outer[1]};
        double m[2] = {mu[0], mu[1]};
        if (!solveCoexistence(*at, states, m)) return NAN;
        PhaseState b = middle;
        double F = 0;
        if (!relaxAtPotentials(*at, b, m, F)) return NAN;
        double atoms = 0;
        moleFractionOf(system->phases[static_cast<std::size_t>(b.phase)], b, &atoms);
        outer[0] = states[0];
        outer[1] = states[1];
        middle = b;
        mu[0] = m[0];
        mu[1] = m[1];
        return F / atoms;
    }
};

// G of `other` less G of `base` (J/mol of atoms) at the composition where their slopes are equal
// (zero at a congruent point), and that composition and slope; the states carried on.
struct CommonComposition {
    const BinarySystem* system;
    SystemAt* at;
    PhaseState base;
    PhaseState other;
    double slope;  // found: the common slope (J/mol)
    double x;      // found: the common composition
    double low;    // slopes bracketing the common one (J/mol)
    double high;

    // The base phase's tangent of slope d, and the other phase relaxed below it: returns
    // x(other) - x(base), and in `difference` the other's height above the tangent (J/mol).
    double apart(double d, double& difference)
    {
        double mu[2] = {0, 0};
        if (!relaxOnTangent(*at, base, d, mu)) return NAN;
        double F = 0;
        if (!relaxAtPotentials(*at, other, mu, F)) return NAN;
        double atoms = 0;
        const double xo = moleFractionOf(system->phases[static_cast<std::size_t>(other.phase)], other, &atoms);
        const double xb = moleFractionOf(system->phases[static_cast<std::size_t>(base.phase)], base);
        difference = F / atoms;
        x = 0.5 * (xb + xo);
        return xo - xb;
    }
    // The new phase touches the base's curve where its height above the base's tangent of slope
    // d is least over d: there the two compositions are equal, and the height is their energies'
    // difference at that composition. The least is sought by golden section between the slopes
    // of the fields on either side of the new phase; x(other) - x(base) may change sign elsewhere
    // too, where a phase of bounded composition sits at its bound.
    double operator()(double T)
    {
        if (!evaluateSystemAt(*system, T, *at)) return NAN;
        const PhaseState startBase = base;
        const PhaseState startOther = other;
        const auto delta = [&](double d) {
            base = startBase;
            other = startOther;
            double difference = NAN;
            return std::isfinite(apart(d, difference)) ? difference : NAN;
        };
        double a = low;
        double b = high;
        goldenSection(
            [&](double d) {
                const double h = delta(d);
                return std::isfinite(h) ? h : INFINITY;
            },
            a, b, 1e-10 * (1 + std::fabs(a)), 100);
        // The least found to the golden section's precision in d; the compositions' equality then
        // by the secant method on their difference, which crosses zero simply there.
        double d0 = a;
        double d1 = b;
        double difference = NAN;
        base = startBase;
        other = startOther;
        double g0 = apart(d0, difference);
        double g1 = apart(d1, difference);
        for (int i = 0; i < 30 && std::isfinite(g0) && std::isfinite(g1) && g1 != g0 && std::fabs(g1) > 1e-15; ++i) {
            const double d2 = d1 - g1 * (d1 - d0) / (g1 - g0);
            if (!(d2 >= low && d2 <= high)) break;
            d0 = d1;
            g0 = g1;
            d1 = d2;
            g1 = apart(d1, difference);
        }
        slope = d1;
        return std::isfinite(g1) ? difference : delta(0.5 * (a + b));
    }
};

// The invariant of the middle phase and the tie-line of the outer two, solved where the middle
// phase's height below the outer tangent changes sign near the bracket [below, above]; false
// where it does not. `decomposes`: the middle phase is stable above.
bool addInvariant(const BinarySystem& system, SystemAt& at, const StableTieLine& outer, const PhaseState& middle,
                  bool decomposes, double above, double below, BinaryDiagram& diagram)
{
    ThreePhases f{&system, &at, {outer.state[0], outer.state[1]}, middle, {outer.mu[0], outer.mu[1]}};
    const double T = rootNear(std::ref(f), above, below);
    if (!std::isfinite(T)) return false;
    f(T);
    Invariant inv{};
    inv.T = T;
    inv.state[0] = f.outer[0];
    inv.state[1] = f.middle;
    inv.state[2] = f.outer[1];
    for (int k = 0; k < 3; ++k)
        inv.x[k] = moleFractionOf(system.phases[static_cast<std::size_t>(inv.state[k].phase)], inv.state[k]);
    const int alpha = inv.state[0].phase;
    const int beta = inv.state[1].phase;
    const int gamma = inv.state[2].phase;
    inv.decomposes = decomposes;
    inv.kind = decomposes ? decomposition(system, alpha, beta, gamma) : formation(system, alpha, beta, gamma);
    diagram.invariants.push_back(inv);
    return true;
}

// Tie-lines of one field on both sides of a change: the same phases, and compositions that a
// hair of temperature moves by far less than 0.01 (a field of the same phases on the other side
// of a gap is another field).
bool samePairs(const StableTieLine& a, const StableTieLine& b)
{
    return a.state[0].phase == b.state[0].phase && a.state[1].phase == b.state[1].phase &&
           std::fabs(a.x[0] - b.x[0]) < 0.01 && std::fabs(a.x[1] - b.x[1]) < 0.01;
}

}  // namespace

// A state of the phase at the pure end (x 0 or 1): on its tangent whose other element's potential
// lies 500 R T below the element's, so that that element's site fractions settle near e^-500,
// where they start; vacancies free. G per atom is then the element's potential.
inline constexpr double PURE_LOG = 500;

double pureEnergy(const BinarySystem& system, SystemAt& at, int phase, int end)
{
    const ModelPhase& p = system.phases[static_cast<std::size_t>(phase)];
    PhaseState s{phase, {}, {}, {}};
    const Species absent = end == 0 ? ELEMENT_B : ELEMENT_A;
    for (const Sublattice& sub : p.sublattices) {
        const int last = sub.first + sub.count - 1;
        const bool lastAbsent = p.species[static_cast<std::size_t>(last)] == absent;
        for (int c = sub.first; c < last; ++c) {
            const bool isAbsent = p.species[static_cast<std::size_t>(c)] == absent;
            s.s[c] = isAbsent ? -PURE_LOG : lastAbsent ? PURE_LOG : 0;
        }
    }
    updateSiteFractions(p, s);
    // A phase that needs the other element (a compound of both) has no state at this end.
    if (std::fabs(moleFractionOf(p, s) - end) > 1e-9) return NAN;
    double mu[2] = {0, 0};
    if (!relaxOnTangent(at, s, end == 0 ? -PURE_LOG * at.RT : PURE_LOG * at.RT, mu)) return NAN;
    return mu[end];
}

const char* reactionName(ReactionKind kind)
{
    switch (kind) {
    case ReactionKind::EUTECTIC: return "eutectic";
    case ReactionKind::MONOTECTIC: return "monotectic";
    case ReactionKind::EUTECTOID: return "eutectoid";
    case ReactionKind::MONOTECTOID: return "monotectoid";
    case ReactionKind::METATECTIC: return "metatectic";
    case ReactionKind::PERITECTIC: return "peritectic";
    case ReactionKind::PERITECTOID: return "peritectoid";
    case ReactionKind::SYNTECTIC: return "syntectic";
    default: return "invariant";
    }
}

bool resolveChange(const BinarySystem& system, SystemAt& at, const Section& above, const Section& below,
                   BinaryDiagram& diagram)
{
    const std::vector<StableTieLine>& A = above.tieLines;
    const std::vector<StableTieLine>& B = below.tieLines;
    std::size_t head = 0;
    while (head < A.size() && head < B.size() && samePairs(A[head], B[head])) ++head;
    std::size_t tail = 0;
    while (tail < A.size() - head && tail < B.size() - head &&
           samePairs(A[A.size() - 1 - tail], B[B.size() - 1 - tail]))
        ++tail;
    const std::size_t na = A.size() - head - tail;
    const std::size_t nb = B.size() - head - tail;
    const double Ta = above.T;
    const double Tb = below.T;
    // Three phases: the middle one's two fields on one side, the outer pair's on the other.
    if ((na == 2 && nb == 1) || (na == 1 && nb == 2)) {
        const bool decomposes = na == 2;
        const StableTieLine& l = decomposes ? A[head] : B[head];
        const StableTieLine& r = decomposes ? A[head + 1] : B[head + 1];
        const StableTieLine& outer = decomposes ? B[head] : A[head];
        if (l.state[1].phase != r.state[0].phase || outer.state[0].phase != l.state[0].phase ||
            outer.state[1].phase != r.state[1].phase)
            return false;
        return addInvariant(system, at, outer, l.state[1], decomposes, Ta, Tb, diagram);
    }
    // A phase appearing inside another's field (or vanishing into it): a congruent point; a gap
    // opening inside one phase: a critical point.
    if ((na == 0 && nb == 2) || (na == 2 && nb == 0)) {
        const bool appears = nb == 2;
        const StableTieLine& l = appears ? B[head] : A[head];
        const StableTieLine& r = appears ? B[head + 1] : A[head + 1];
        if (l.state[0].phase != r.state[1].phase || l.state[1].phase != r.state[0].phase) return false;
        const double dl = l.mu[1] - l.mu[0];
        const double dr = r.mu[1] - r.mu[0];
        CommonComposition f{&system, &at, l.state[0], l.state[1], 0.5 * (dl + dr), 0, std::fmin(dl, dr),
                            std::fmax(dl, dr)};
        const double T = rootNear(std::ref(f), Ta, Tb);
        if (!std::isfinite(T)) return false;
        f(T);
        const int before = appears ? l.state[0].phase : l.state[1].phase;
        const int after = appears ? l.state[1].phase : l.state[0].phase;
        diagram.points.push_back({SpecialKind::CONGRUENT, T, f.x, {before, after}});
        return true;
    }
    // A reaction at an end whose third field is too narrow to be seen: a field touching the end
    // changes its end phase with the end itself (tin melting in silicon-tin, the liquid's x of
    // the eutectic within 1e-7 of 1; yttrium's bcc turning hcp beside the liquid).
    if (na == 1 && nb == 1) {
        const StableTieLine& a = A[head];
        const StableTieLine& b = B[head];
        const int side = a.state[0].phase == b.state[0].phase && a.state[1].phase != b.state[1].phase   ? 1
                         : a.state[1].phase == b.state[1].phase && a.state[0].phase != b.state[0].phase ? 0
                                                                                                         : -1;
        // Where no such root exists, the change is the pure element's alone (below).
        if (side >= 0 && above.endPhase[side] != below.endPhase[side] &&
            addInvariant(system, at, b, a.state[side], true, Ta, Tb, diagram))
            return true;
    }
    // A phase between two fields turning into another of its composition (a compound's
    // polymorphs): a congruent transformation.
    if (na == 2 && nb == 2 && A[head].state[0].phase == B[head].state[0].phase &&
        A[head + 1].state[1].phase == B[head + 1].state[1].phase &&
        A[head].state[1].phase == A[head + 1].state[0].phase && B[head].state[1].phase == B[head + 1].state[0].phase &&
        A[head].state[1].phase != B[head].state[1].phase) {
        const double dl = A[head].mu[1] - A[head].mu[0];
        const double dr = A[head + 1].mu[1] - A[head + 1].mu[0];
        CommonComposition f{&system, &at, A[head].state[1], B[head].state[1], 0.5 * (dl + dr), 0, std::fmin(dl, dr),
                            std::fmax(dl, dr)};
        const double T = rootNear(std::ref(f), Ta, Tb);
        if (!std::isfinite(T)) return false;
        f(T);
        diagram.points.push_back({SpecialKind::CONGRUENT, T, f.x, {A[head].state[1].phase, B[head].state[1].phase}});
        return true;
    }
    // A pure element's transition: the phase at an end changes (the new field may be too narrow
    // yet to be seen on one side).
    for (int end = 0; end < 2; ++end) {
        if (above.endPhase[end] == below.endPhase[end]) continue;
        if (na + nb > 2) return false;
        const int from = above.endPhase[end];
        const int to = below.endPhase[end];
        const auto f = [&](double T) -> double {
            if (!evaluateSystemAt(system, T, at)) return NAN;
            return pureEnergy(system, at, to, end) - pureEnergy(system, at, from, end);
        };
        // Two phases that a database gives one energy for the pure element, or one within 0.1
        // mJ/mol (COST 507's boron as BETA_RHOMBO_B and as DIAMOND_A4; lithium as BCC_A2 and as
        // AlLi's ordered phase): the hull's choice between them is rounding, no change. A true
        // transition parts them by its entropy times the bracket, some mJ/mol.
        if (std::fabs(f(Ta)) < IDENTICAL && std::fabs(f(Tb)) < IDENTICAL) return true;
        const double T = rootNear(f, Ta, Tb);
        if (!std::isfinite(T)) return false;
        diagram.points.push_back({SpecialKind::PURE, T, static_cast<double>(end), {from, to}});
        return true;
    }
    if ((na == 0 && nb == 1) || (na == 1 && nb == 0)) {
        const StableTieLine& t = nb == 1 ? B[head] : A[head];
        // The field of a transition seen on one side only now that it is wide enough: no change.
        if (t.x[0] > 1 - 1e-3 || t.x[1] < 1e-3) return true;
        if (t.state[0].phase == t.state[1].phase) {
            // The gap seen from where the sections' grid resolves it; its critical point solved
            // from the phase's curvature where the phase allows, else where it was seen.
            const bool below = nb == 1;
            double T = 0.5 * (Ta + Tb);
            double x = 0.5 * (t.x[0] + t.x[1]);
            double Tc = 0;
            double xc = 0;
            if (criticalPoint(system, at, t.state[0].phase, x, below ? Tb : Ta, below ? Ta : Tb, Tc, xc)) {
                T = Tc;
                x = xc;
            }
            diagram.points.push_back({SpecialKind::CRITICAL, T, x, {t.state[0].phase, t.state[0].phase}});
            return true;
        }
    }
    return false;
}
