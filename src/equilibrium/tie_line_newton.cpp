// Newton's method for tie-lines in log-ratio coordinates.
#include "equilibrium/tie_line_newton.h"

#include <cmath>

#include "equilibrium/log_ratio.h"

namespace {

constexpr int STEP_LIMIT = 100;
// The largest step in a log-ratio (a factor of e^4 in a dilute composition) and in T: a Newton
// step from far away is shortened to it, in proportion, so the iterate cannot fly off.
constexpr double LARGEST_LOG_RATIO_STEP = 4.0;
constexpr double LARGEST_TEMPERATURE_STEP = 200.0;

// The solution of the 2 x 2 system [a b; c d] (u, v) = (e, f) by Cramer's rule; false when singular.
bool solve2(double a, double b, double c, double d, double e, double f, double& u, double& v)
{
    const double det = a * d - b * c;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    u = (e * d - b * f) / det;
    v = (a * f - e * c) / det;
    return std::isfinite(u) && std::isfinite(v);
}

// Newton's method for the equal potentials of two phases at fixed T, `first` and `second`
// giving each phase's potentials at a composition.
template <typename First, typename Second>
bool tieLineNewton(First first, Second second, double (&s)[2])
{
    for (int step = 0; step < STEP_LIMIT; ++step) {
        const Potentials a = first(composition(s[0]));
        const Potentials b = second(composition(s[1]));
        double d0 = 0;
        double d1 = 0;
        if (!solve2(a.dmuA, -b.dmuA, a.dmuB, -b.dmuB, a.muA - b.muA, a.muB - b.muB, d0, d1)) return false;
        const double largest = std::fmax(std::fabs(d0), std::fabs(d1));
        if (largest > LARGEST_LOG_RATIO_STEP) {
            d0 *= LARGEST_LOG_RATIO_STEP / largest;
            d1 *= LARGEST_LOG_RATIO_STEP / largest;
        }
        s[0] -= d0;
        s[1] -= d1;
        if (!(std::fabs(s[0]) < LOG_RATIO_LIMIT && std::fabs(s[1]) < LOG_RATIO_LIMIT)) return false;
        if (largest <= LOG_RATIO_TOLERANCE) return true;
    }
    return false;
}

// The tie-line equations with one side held at sFixed, solved for T and the other side;
// `phaseAt(k, T, z, mu, dA, dB)` gives side k's potentials and their slopes in T, false where the
// model has no curve at T.
template <typename PhaseAt>
bool tieLineTemperatureNewton(PhaseAt phaseAt, int fixedSide, double sFixed, double& T, double& sOther)
{
    const Composition fixed = composition(sFixed);
    const double sign[2] = {1.0, -1.0};  // the residuals are first phase minus second
    const int free = 1 - fixedSide;
    for (int step = 0; step < STEP_LIMIT; ++step) {
        const Composition z[2] = {fixedSide == 0 ? fixed : composition(sOther),
                                  fixedSide == 1 ? fixed : composition(sOther)};
        Potentials mu[2];
        double dT[2][2];  // [side][A or B]
        for (int k = 0; k < 2; ++k)
            if (!phaseAt(k, T, z[k], mu[k], dT[k][0], dT[k][1])) return false;
        const double FA = mu[0].muA - mu[1].muA;
        const double FB = mu[0].muB - mu[1].muB;
        double dTemperature = 0;
        double dS = 0;
        if (!solve2(dT[0][0] - dT[1][0], sign[free] * mu[free].dmuA, dT[0][1] - dT[1][1], sign[free] * mu[free].dmuB, FA,
                    FB, dTemperature, dS))
            return false;
        const double scale = std::fmin(1.0, std::fmin(LARGEST_TEMPERATURE_STEP / std::fabs(dTemperature),
                                                      LARGEST_LOG_RATIO_STEP / std::fabs(dS)));
        T -= dTemperature * scale;
        sOther -= dS * scale;
        if (!(T > 0) || !(std::fabs(sOther) < LOG_RATIO_LIMIT)) return false;
        if (std::fabs(dTemperature) <= TEMPERATURE_TOLERANCE && std::fabs(dS) <= LOG_RATIO_TOLERANCE) return true;
    }
    return false;
}

// Newton's method for the three-phase equilibrium (T, sL, sBCC, sFCC) with the exact Jacobian;
// `phaseAt(r, T, z, mu, dA, dB)` as above for phase r.
template <typename PhaseAt>
bool eutecticNewton(PhaseAt phaseAt, Vector4& eutectic)
{
    double T = eutectic[0];
    double s[3] = {logRatio(eutectic[1]), logRatio(eutectic[2]), logRatio(eutectic[3])};  // Liquid, BCC, FCC
    for (int step = 0; step < STEP_LIMIT; ++step) {
        Potentials mu[3];
        double dT[3][2];
        for (int r = LIQUID; r <= FCC; ++r)
            if (!phaseAt(r, T, composition(s[r]), mu[r], dT[r][0], dT[r][1])) return false;
        // Rows: A and B of Liquid against BCC, then against FCC; columns T, sL, sBCC, sFCC.
        Vector4 F{};
        Matrix4 J{};
        for (int solid = BCC; solid <= FCC; ++solid) {
            const int row = 2 * (solid - BCC);
            F[row] = mu[LIQUID].muA - mu[solid].muA;
            F[row + 1] = mu[LIQUID].muB - mu[solid].muB;
            J[4 * row] = dT[LIQUID][0] - dT[solid][0];
            J[4 * (row + 1)] = dT[LIQUID][1] - dT[solid][1];
            J[4 * row + 1] = mu[LIQUID].dmuA;
            J[4 * (row + 1) + 1] = mu[LIQUID].dmuB;
            J[4 * row + 1 + solid] = -mu[solid].dmuA;
            J[4 * (row + 1) + 1 + solid] = -mu[solid].dmuB;
        }
        Matrix4 inverse{};
        Vector4 d{};
        if (invertMatrix(J, inverse, 4) == 0) return false;
        multiplyMatrixVector(inverse, F, d, 4);
        for (const double v : d)
            if (!std::isfinite(v)) return false;
        T -= d[0];
        for (int r = 0; r < 3; ++r) s[r] -= d[1 + r];
        if (!(T > 0)) return false;
        const double largest = std::fmax(std::fabs(d[1]), std::fmax(std::fabs(d[2]), std::fabs(d[3])));
        if (std::fabs(d[0]) <= TEMPERATURE_TOLERANCE && largest <= LOG_RATIO_TOLERANCE) {
            eutectic = {T, composition(s[0]).x, composition(s[1]).x, composition(s[2]).x};
            return true;
        }
        if (std::fabs(d[0]) > LARGEST_TEMPERATURE_STEP || largest > LARGEST_LOG_RATIO_STEP) return false;
    }
    return false;
}

// A phase of the built-in model at (T, z), for the two solvers above.
bool builtInPhaseAt(const PhaseParameters (&model)[3], int r, double T, const Composition& z, Potentials& mu,
                    double& dA, double& dB)
{
    const auto phase = static_cast<PhaseIndex>(r);
    mu = potentials(phase, interactionCoefficients(model[r], T), z, T);
    potentialSlopesInT(phase, model[r], z, dA, dB);
    return true;
}

// A phase of a curve source at (T, z).
bool sourcePhaseAt(const CurveSource& source, int r, double T, const Composition& z, Potentials& mu, double& dA,
                   double& dB)
{
    if (!(T >= source.lowest && T <= source.highest)) return false;
    PhaseCurve curves[3];
    if (!source.curvesAt(source.context, T, curves)) return false;
    mu = potentials(curves[r], z, T);
    potentialSlopesInT(curves[r], z, dA, dB);
    return true;
}

}  // namespace

bool solveTieLine(const PhaseParameters (&model)[3], PhasePair pair, double T, double (&s)[2])
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    const InteractionCoefficients cp = interactionCoefficients(model[p], T);
    const InteractionCoefficients cq = interactionCoefficients(model[q], T);
    return tieLineNewton([&](const Composition& z) { return potentials(p, cp, z, T); },
                         [&](const Composition& z) { return potentials(q, cq, z, T); }, s);
}

bool solveTieLine(const PhaseCurve& first, const PhaseCurve& second, double T, double (&s)[2])
{
    return tieLineNewton([&](const Composition& z) { return potentials(first, z, T); },
                         [&](const Composition& z) { return potentials(second, z, T); }, s);
}

bool solveTieLineTemperature(const PhaseParameters (&model)[3], PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther)
{
    const PhaseIndex phase[2] = {firstPhase(pair), secondPhase(pair)};
    return tieLineTemperatureNewton(
        [&](int k, double t, const Composition& z, Potentials& mu, double& dA, double& dB) {
            return builtInPhaseAt(model, phase[k], t, z, mu, dA, dB);
        },
        fixedSide, sFixed, T, sOther);
}

bool solveTieLineTemperature(const CurveSource& source, PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther)
{
    const PhaseIndex phase[2] = {firstPhase(pair), secondPhase(pair)};
    return tieLineTemperatureNewton(
        [&](int k, double t, const Composition& z, Potentials& mu, double& dA, double& dB) {
            return sourcePhaseAt(source, phase[k], t, z, mu, dA, dB);
        },
        fixedSide, sFixed, T, sOther);
}

namespace {

// Distinct roots of a pair's equations from the fixed starts, `solve(s)` solving them from s.
template <typename Solve>
int rootsFromStarts(Solve solve, double (*roots)[2], int capacity)
{
    constexpr double STARTS[] = {-8.0, -4.0, -2.0, -1.0, 0.0, 1.0, 2.0, 4.0, 8.0};
    int count = 0;
    for (const double a : STARTS)
        for (const double b : STARTS) {
            double s[2] = {a, b};
            if (a == b || count >= capacity || !solve(s)) continue;
            if (std::fabs(composition(s[0]).x - composition(s[1]).x) < 1e-3) continue;
            bool seen = false;
            for (int i = 0; i < count; ++i)
                seen = seen || (std::fabs(roots[i][0] - s[0]) < 1e-6 && std::fabs(roots[i][1] - s[1]) < 1e-6);
            if (seen) continue;
            roots[count][0] = s[0];
            roots[count][1] = s[1];
            ++count;
        }
    return count;
}

}  // namespace

int pairRoots(const PhaseParameters (&model)[3], PhasePair pair, double T, double (*roots)[2], int capacity)
{
    return rootsFromStarts([&](double (&s)[2]) { return solveTieLine(model, pair, T, s); }, roots, capacity);
}

int pairRoots(const PhaseCurve& first, const PhaseCurve& second, double T, double (*roots)[2], int capacity)
{
    return rootsFromStarts([&](double (&s)[2]) { return solveTieLine(first, second, T, s); }, roots, capacity);
}

bool polishEutectic(const PhaseParameters (&model)[3], Vector4& eutectic)
{
    return eutecticNewton(
        [&](int r, double t, const Composition& z, Potentials& mu, double& dA, double& dB) {
            return builtInPhaseAt(model, r, t, z, mu, dA, dB);
        },
        eutectic);
}

bool polishEutectic(const CurveSource& source, Vector4& eutectic)
{
    return eutecticNewton(
        [&](int r, double t, const Composition& z, Potentials& mu, double& dA, double& dB) {
            return sourcePhaseAt(source, r, t, z, mu, dA, dB);
        },
        eutectic);
}
