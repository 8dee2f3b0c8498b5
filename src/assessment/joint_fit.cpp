// The joint weighted least-squares fit of the twelve coefficients.
#include "assessment/joint_fit.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/log_ratio.h"
#include "equilibrium/stable_diagram.h"
#include "numeric/symmetric.h"
#include "uncertainty/sensitivity.h"

namespace {

using Row = std::array<double, COEFFICIENTS>;

// The model's value of a file's fit line at x and the line's slopes in the phase's four
// coefficients: a0 + b0 x for enthalpies; L0 + 2 L1 x (Liquid, FCC) or (L0 - L1) + 2 L1 x (BCC)
// for activities, L at the data temperature.
double lineOf(const FitSample& f, const PhaseParameters& p, double x, double (&slope)[4])
{
    if (f.kind == ENTHALPY_FIT) {
        slope[0] = 1;
        slope[1] = 0;
        slope[2] = x;
        slope[3] = 0;
        return p.a0 + p.b0 * x;
    }
    const double T = f.phase == LIQUID ? LIQUID_ACTIVITY_TEMPERATURE : SOLID_ACTIVITY_TEMPERATURE;
    const double L0 = p.a0 + p.a1 * T;
    const double L1 = p.b0 + p.b1 * T;
    const double m = f.phase == BCC ? 2 * x - 1 : 2 * x;
    slope[0] = 1;
    slope[1] = T;
    slope[2] = m;
    slope[3] = m * T;
    return L0 + m * L1;
}

void addToGroup(GroupFit& g, double r)
{
    ++g.count;
    g.chiSquare += r * r;
}

void closeGroup(GroupFit& g) { g.rms = g.count > 0 ? std::sqrt(g.chiSquare / g.count) : NAN; }

// The lower hull of the three curves at x from their values on the diagram's grid, the pure ends
// and x itself: the least chord over x, or a curve at x. Where no tie-line is solved over x: a
// single-phase field, or a few kelvins above 0 K, where the solubilities (e^-500 and below) lie
// beyond the tie-line solver's reach; there the chord's ends are the pure components to far below
// rounding. The slopes are the lever-rule mix of the ends', at their fixed compositions.
double gridHullEnergy(const StableDiagram& d, double T, double x, Row& slope)
{
    constexpr int N = DIAGRAM_GRID + 3;
    double xs[3][N];
    double G[3][N];
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const InteractionCoefficients c = interactionCoefficients(d.model[p], T);
        xs[p][0] = 0;
        G[p][0] = pureAGibbsEnergy(phase, T);
        for (int i = 0; i < DIAGRAM_GRID; ++i) {
            xs[p][i + 1] = d.grid.x[i];
            G[p][i + 1] = gibbsEnergy(phase, c, d.grid.x[i], T, d.grid.mixing[i]);
        }
        xs[p][N - 2] = 1;
        G[p][N - 2] = pureBGibbsEnergy(phase, T);
        xs[p][N - 1] = x;
        G[p][N - 1] = gibbsEnergy(phase, c, x, T);
    }
    double best = INFINITY;
    int ends[2][2] = {};  // [left, right][phase, index]
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < N; ++i) {
            if (!(xs[p][i] <= x)) continue;
            for (int q = 0; q < 3; ++q)
                for (int j = 0; j < N; ++j) {
                    if (!(xs[q][j] >= x)) continue;
                    const double span = xs[q][j] - xs[p][i];
                    const double chord = span > 0 ? (G[p][i] * (xs[q][j] - x) + G[q][j] * (x - xs[p][i])) / span : G[p][i];
                    if (chord < best) {
                        best = chord;
                        ends[0][0] = p;
                        ends[0][1] = i;
                        ends[1][0] = q;
                        ends[1][1] = j;
                    }
                }
        }
    slope.fill(0);
    const double left = xs[ends[0][0]][ends[0][1]];
    const double right = xs[ends[1][0]][ends[1][1]];
    const double f = right > left ? (x - left) / (right - left) : 0;
    for (int k = 0; k < 2; ++k) {
        double dG[4];
        energyCoefficientSlopes(k == 0 ? left : right, T, dG);
        for (int j = 0; j < 4; ++j) slope[4 * ends[k][0] + j] += (k == 0 ? 1 - f : f) * dG[j];
    }
    return best;
}

// The stable state's Gibbs energy at (T, x) (the lower hull of the curves) and its slopes in the
// coefficients, by the envelope theorem: the lever-rule mix of the tie-line ends' energies, each
// differentiated at its fixed composition.
double hullEnergy(const StableDiagram& d, double T, double x, Row& slope)
{
    slope.fill(0);
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        TieLine lines[4];
        const int n = stableTieLines(d, pair, T, lines, 4);
        for (int i = 0; i < n; ++i) {
            const double lo = std::fmin(lines[i].x[0], lines[i].x[1]);
            const double hi = std::fmax(lines[i].x[0], lines[i].x[1]);
            if (!(x >= lo && x <= hi)) continue;
            const double f = (x - lines[i].x[0]) / (lines[i].x[1] - lines[i].x[0]);
            const PhaseIndex phases[2] = {firstPhase(pair), secondPhase(pair)};
            double G = 0;
            for (int k = 0; k < 2; ++k) {
                const double weight = k == 0 ? 1 - f : f;
                // The mixing term from the log-ratio: at a few tens of kelvins an end lies within
                // 1e-16 of a pure component, where x rounds to 1 and x ln x + (1 - x) ln(1 - x)
                // computed from x would be NaN.
                const double xk = lines[i].x[k];
                const double mixing = mixingOf(composition(lines[i].s[k]));
                G += weight * gibbsEnergy(phases[k], interactionCoefficients(d.model[phases[k]], T), xk, T, mixing);
                double dG[4];
                energyCoefficientSlopes(xk, T, dG);
                for (int j = 0; j < 4; ++j) slope[4 * phases[k] + j] += weight * dG[j];
            }
            return G;
        }
    }
    // A single-phase field: the lowest curve at x, where its tangent there has no curve below it.
    PhaseIndex q = LIQUID;
    double G = INFINITY;
    for (int p = LIQUID; p <= FCC; ++p) {
        const double g = gibbsEnergy(static_cast<PhaseIndex>(p), interactionCoefficients(d.model[p], T), x, T);
        if (g < G) {
            G = g;
            q = static_cast<PhaseIndex>(p);
        }
    }
    const Potentials mu = potentials(q, interactionCoefficients(d.model[q], T), composition(logRatio(x)), T);
    if (!(lowestHeightAboveTangent(d, T, mu.muA, mu.muB) >= -TANGENT_TOLERANCE)) return gridHullEnergy(d, T, x, slope);
    double dG[4];
    energyCoefficientSlopes(x, T, dG);
    for (int j = 0; j < 4; ++j) slope[4 * q + j] = dG[j];
    return G;
}

// The driving-force residual of the measured phase at (T, x), and its slopes.
double drivingForce(const StableDiagram& d, PhaseIndex phase, double T, double x, double sigmaX, Row& slope)
{
    Row hull{};
    const double h = hullEnergy(d, T, x, hull);
    const double G = gibbsEnergy(phase, interactionCoefficients(d.model[phase], T), x, T);
    const double scale = GAS_CONSTANT * T * sigmaX / (x * (1 - x));
    const double excess = G - h;
    slope.fill(0);
    if (!(excess > 0)) return 0;
    double dG[4];
    energyCoefficientSlopes(x, T, dG);
    for (int k = 0; k < COEFFICIENTS; ++k) slope[k] = -hull[k] / scale;
    for (int j = 0; j < 4; ++j) slope[4 * phase + j] += dG[j] / scale;
    return excess / scale;
}

// The normal equations J^T J and the gradient J^T r of the normalised residuals, and the Cholesky
// factor of J^T J; fails naming the coefficient the residuals do not fix.
bool factorNormal(const std::vector<double>& r, const std::vector<Row>& J, SymmetricMatrix& normal,
                  double (&gradient)[COEFFICIENTS], SymmetricMatrix& factor, ErrorText& error)
{
    for (int i = 0; i < COEFFICIENTS; ++i)
        for (int j = 0; j < COEFFICIENTS; ++j) normal[i][j] = 0;
    for (std::size_t n = 0; n < r.size(); ++n)
        for (int i = 0; i < COEFFICIENTS; ++i) {
            gradient[i] += J[n][i] * r[n];
            for (int j = 0; j < COEFFICIENTS; ++j) normal[i][j] += J[n][i] * J[n][j];
        }
    const int deficient = choleskyFactor(normal, COEFFICIENTS, factor);
    if (deficient < 0) return true;
    return fail(error, "the data and the boundary points cannot fix %s: it is a combination of the coefficients before it",
                coefficientName(deficient));
}

}  // namespace

PointKind pointKind(const BoundaryPoint& point)
{
    if (point.pair == 0) return EUTECTIC_POINT;
    return point.pair == BCC_FCC ? COMPOSITION_POINT : ARREST_POINT;
}

const char* coefficientName(int k)
{
    static constexpr const char* NAMES[COEFFICIENTS] = {"a0 of Liquid", "a1 of Liquid", "b0 of Liquid", "b1 of Liquid",
                                                        "a0 of BCC",    "a1 of BCC",    "b0 of BCC",    "b1 of BCC",
                                                        "a0 of FCC",    "a1 of FCC",    "b0 of FCC",    "b1 of FCC"};
    return NAMES[k];
}

void assessmentResiduals(const FitSamples& samples, const std::vector<BoundaryPoint>& points,
                         const BoundaryScatter& scatter, const PhaseParameters (&model)[3], std::vector<double>& residuals,
                         std::vector<Row>& jacobian, JointFit& fit)
{
    residuals.clear();
    jacobian.clear();
    fit = JointFit{};
    std::copy(std::begin(model), std::end(model), std::begin(fit.model));
    const auto add = [&](double r, const Row& row, GroupFit& group) {
        residuals.push_back(r);
        jacobian.push_back(row);
        addToGroup(group, r);
    };
    // The data, on their own scales: the ordinate's error over dy/dm is the measurement's.
    for (int p = LIQUID; p <= FCC; ++p)
        for (int kind = ENTHALPY_FIT; kind <= ACTIVITY_FIT; ++kind) {
            const FitSample& f = samples.fit[p][kind];
            for (int i = 0; i < f.n; ++i) {
                double slope[4];
                const double line = lineOf(f, model[p], f.x[i], slope);
                const double scale = f.slope[i] * f.sd;
                Row row{};
                for (int j = 0; j < 4; ++j) row[4 * p + j] = -slope[j] / scale;
                add((f.y[i] - line) / scale, row, fit.files[p][kind]);
            }
        }

    StableDiagram diagram;
    buildStableDiagram(model, diagram);
    fit.haveEutectic = diagram.haveEutectic;
    fit.eutectic = diagram.eutectic;
    for (const BoundaryPoint& point : points) {
        PointFit result{pointKind(point), false, NAN, NAN, 0};
        Row row{};
        if (result.kind == EUTECTIC_POINT) {
            double derivative[4][12];
            if (diagram.haveEutectic && eutecticSensitivity(model, diagram.eutectic, derivative)) {
                result.onBoundary = true;
                result.computed = diagram.eutectic[0];
                result.residual = point.T - result.computed;
                const double sd = std::isnan(point.sd) ? scatter.eutectic : point.sd;
                result.normalised = result.residual / sd;
                for (int k = 0; k < COEFFICIENTS; ++k) row[k] = -derivative[0][k] / sd;
            }
        } else {
            const auto pair = static_cast<PhasePair>(point.pair);
            const int side = point.side;
            if (result.kind == ARREST_POINT) {
                double T = 0;
                TieLine line{};
                double range[2] = {0, 0};
                double dT[COEFFICIENTS];
                if (boundaryTemperature(diagram, pair, side, point.x, point.T, T, line, range) == Reach::FOUND &&
                    boundaryTemperatureSlopes(model, pair, side, T, line.s, dT)) {
                    result.onBoundary = true;
                    result.computed = T;
                    result.residual = point.T - T;
                    const double sd = std::isnan(point.sd) ? scatter.arrest : point.sd;
                    result.normalised = result.residual / sd;
                    for (int k = 0; k < COEFFICIENTS; ++k) row[k] = -dT[k] / sd;
                }
            } else {
                TieLine lines[4];
                const int n = stableTieLines(diagram, pair, point.T, lines, 4);
                int best = -1;
                for (int i = 0; i < n; ++i)
                    if (best < 0 || std::fabs(lines[i].x[side] - point.x) < std::fabs(lines[best].x[side] - point.x)) best = i;
                double ds[2][COEFFICIENTS];
                if (best >= 0 && tieLineSlopes(model, pair, point.T, lines[best].s, ds)) {
                    const double x = lines[best].x[side];
                    const double w = x * (1 - composition(lines[best].s[side]).x);
                    result.onBoundary = true;
                    result.computed = x;
                    result.residual = point.x - x;
                    const double sd = std::isnan(point.sd) ? scatter.composition : point.sd;
                    result.normalised = result.residual / sd;
                    for (int k = 0; k < COEFFICIENTS; ++k) row[k] = -w * ds[side][k] / sd;
                }
            }
            if (!result.onBoundary) {
                const PhaseIndex phase = side == 0 ? firstPhase(pair) : secondPhase(pair);
                const double sigmaX = result.kind == COMPOSITION_POINT && !std::isnan(point.sd) ? point.sd : scatter.composition;
                result.normalised = drivingForce(diagram, phase, point.T, point.x, sigmaX, row);
            }
        }
        add(result.normalised, row, fit.kinds[result.kind]);
        fit.points.push_back(result);
    }
    for (auto& phase : fit.files)
        for (GroupFit& g : phase) closeGroup(g);
    for (GroupFit& g : fit.kinds) closeGroup(g);
    for (const double r : residuals) fit.chiSquare += r * r;
}

bool assessModel(const FitSamples& samples, const std::vector<BoundaryPoint>& points, const BoundaryScatter& scatter,
                 Assessment& a, ErrorText& error)
{
    PhaseParameters model[3];
    for (int p = LIQUID; p <= FCC; ++p) model[p] = nominalCoefficients(samples, static_cast<PhaseIndex>(p));
    std::vector<double> r;
    std::vector<Row> J;
    assessmentResiduals(samples, points, scatter, model, r, J, a.before);
    JointFit current = a.before;
    double lambda = 1e-3;
    bool converged = false;
    a.iterations = 0;
    SymmetricMatrix normal{};
    SymmetricMatrix factor{};
    while (!converged && a.iterations < ASSESSMENT_ITERATION_LIMIT) {
        ++a.iterations;
        double gradient[COEFFICIENTS] = {};
        if (!factorNormal(r, J, normal, gradient, factor, error)) return false;
        bool accepted = false;
        while (!accepted && lambda < 1e12) {
            SymmetricMatrix damped{};
            for (int i = 0; i < COEFFICIENTS; ++i)
                for (int j = 0; j < COEFFICIENTS; ++j) damped[i][j] = normal[i][j] + (i == j ? lambda * normal[i][i] : 0);
            SymmetricMatrix dampedFactor{};
            choleskyFactor(damped, COEFFICIENTS, dampedFactor);
            double step[COEFFICIENTS];
            choleskySolve(dampedFactor, COEFFICIENTS, gradient, step);
            PhaseParameters trial[3];
            for (int p = 0; p < 3; ++p)
                trial[p] = {model[p].a0 - step[4 * p], model[p].a1 - step[4 * p + 1], model[p].b0 - step[4 * p + 2],
                            model[p].b1 - step[4 * p + 3]};
            std::vector<double> rTrial;
            std::vector<Row> JTrial;
            JointFit fitTrial;
            assessmentResiduals(samples, points, scatter, trial, rTrial, JTrial, fitTrial);
            if (std::isfinite(fitTrial.chiSquare) && fitTrial.chiSquare <= current.chiSquare) {
                converged = current.chiSquare - fitTrial.chiSquare <= ASSESSMENT_TOLERANCE * current.chiSquare;
                std::copy(std::begin(trial), std::end(trial), std::begin(model));
                r = std::move(rTrial);
                J = std::move(JTrial);
                current = fitTrial;
                lambda = std::fmax(lambda / 10, 1e-12);
                accepted = true;
            } else {
                lambda *= 10;
            }
        }
        // No step lowers chi-square: the minimum, to rounding.
        if (!accepted) converged = true;
    }
    if (!converged)
        return fail(error, "the assessment did not converge in %d iterations (chi-square %.6g)", ASSESSMENT_ITERATION_LIMIT,
                    current.chiSquare);
    a.after = current;
    // The covariance of the coefficients: the inverse of J^T J of the normalised residuals at the minimum.
    double gradient[COEFFICIENTS] = {};
    if (!factorNormal(r, J, normal, gradient, factor, error)) return false;
    SymmetricMatrix inverse{};
    choleskyInverse(factor, COEFFICIENTS, inverse);
    // The data residuals come first, file by file, in the order of assessmentResiduals.
    std::size_t n = 0;
    for (int p = LIQUID; p <= FCC; ++p)
        for (int kind = ENTHALPY_FIT; kind <= ACTIVITY_FIT; ++kind) {
            auto& fileNormal = a.fileNormal[p][kind];
            for (auto& row : fileNormal)
                for (double& v : row) v = 0;
            for (int i = 0; i < samples.fit[p][kind].n; ++i, ++n)
                for (int k = 0; k < COEFFICIENTS; ++k)
                    for (int j = 0; j < COEFFICIENTS; ++j) fileNormal[k][j] += J[n][k] * J[n][j];
            a.fileDegrees[p][kind] = samples.fit[p][kind].degreesOfFreedom;
        }
    for (int i = 0; i < COEFFICIENTS; ++i) {
        for (int j = 0; j < COEFFICIENTS; ++j) a.covariance[i][j] = inverse[i][j];
        a.standardError[i] = std::sqrt(inverse[i][i]);
    }
    for (int i = 0; i < COEFFICIENTS; ++i)
        for (int j = 0; j < COEFFICIENTS; ++j) a.correlation[i][j] = inverse[i][j] / (a.standardError[i] * a.standardError[j]);
    return true;
}
