// The assessment's report.
#include "assessment/assessment_report.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "equilibrium/log_ratio.h"
#include "equilibrium/stable_diagram.h"
#include "uncertainty/sensitivity.h"

namespace {

[[gnu::format(printf, 2, 3)]] void put(std::string& text, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
}

double coefficient(const PhaseParameters (&model)[3], int k) { return (&model[k / 4].a0)[k % 4]; }

const char* KIND_NAMES[] = {"arrest", "composition", "eutectic"};

void putValue(std::string& text, const char* format, double value)
{
    if (std::isfinite(value))
        put(text, format, value);
    else
        text += "-";
}

}  // namespace

double studentQuantile975(double degrees)
{
    const double z = 1.959963985;
    if (!std::isfinite(degrees)) return z;
    const double z2 = z * z;
    const double v = degrees;
    return z + z * (z2 + 1) / (4 * v) + z * ((5 * z2 + 16) * z2 + 3) / (96 * v * v) +
           z * (((3 * z2 + 19) * z2 + 17) * z2 - 15) / (384 * v * v * v) +
           z * ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) / (92160 * v * v * v * v);
}

double halfWidth95(const Assessment& a, const double (&gradient)[COEFFICIENTS])
{
    // h = C g; the variance g^T C g splits into h^T (J_f^T J_f) h over the residual groups.
    double h[COEFFICIENTS] = {};
    for (int i = 0; i < COEFFICIENTS; ++i)
        for (int j = 0; j < COEFFICIENTS; ++j) h[i] += a.covariance[i][j] * gradient[j];
    double variance = 0;
    for (int i = 0; i < COEFFICIENTS; ++i) variance += gradient[i] * h[i];
    double spread = 0;  // sum of v_f^2 / nu_f over the files of estimated scatter
    for (int p = 0; p < 3; ++p)
        for (int kind = 0; kind < 2; ++kind) {
            if (a.fileDegrees[p][kind] <= 0) continue;
            double v = 0;
            for (int i = 0; i < COEFFICIENTS; ++i)
                for (int j = 0; j < COEFFICIENTS; ++j) v += h[i] * a.fileNormal[p][kind][i][j] * h[j];
            spread += v * v / a.fileDegrees[p][kind];
        }
    const double degrees = spread > 0 ? variance * variance / spread : INFINITY;
    return studentQuantile975(degrees) * std::sqrt(variance);
}

bool eutecticInterval(const Assessment& a, double& low, double& high)
{
    double derivative[4][12];
    if (!a.after.haveEutectic || !eutecticSensitivity(a.after.model, a.after.eutectic, derivative)) return false;
    const double half = halfWidth95(a, derivative[0]);
    low = a.after.eutectic[0] - half;
    high = a.after.eutectic[0] + half;
    return true;
}

std::vector<BoundaryBandRow> boundaryBands(const Assessment& a, double low, double high, double step)
{
    std::vector<BoundaryBandRow> rows;
    StableDiagram diagram;
    buildStableDiagram(a.after.model, diagram);
    for (int t = 1; t <= 3; ++t) {
        const auto pair = static_cast<PhasePair>(t);
        TieLine previous{};
        bool have = false;
        for (double T = low; T <= high + 1e-9; T += step) {
            TieLine line{};
            have = stableTieLine(diagram, pair, T, have ? &previous : nullptr, line);
            if (!have) continue;
            previous = line;
            double ds[2][COEFFICIENTS];
            if (!tieLineSlopes(a.after.model, pair, T, line.s, ds)) continue;
            for (int side = 0; side < 2; ++side) {
                // In x, dx = x (1 - x) ds.
                const double w = line.x[side] * composition(-line.s[side]).x;
                double gradient[COEFFICIENTS];
                for (int k = 0; k < COEFFICIENTS; ++k) gradient[k] = w * ds[side][k];
                const double half = halfWidth95(a, gradient);
                rows.push_back({pair, side, T, std::fmax(0.0, line.x[side] - half), std::fmin(1.0, line.x[side] + half)});
            }
        }
    }
    return rows;
}

std::string formatAssessment(const Assessment& a, const FitSamples& samples, const std::vector<BoundaryPoint>& points,
                             const BoundaryScatter& scatter)
{
    std::string text;
    put(text, "# Assessment of Ks-Ps: the twelve coefficients fitted at once to the six data files and %zu boundary "
              "points\n", points.size());
    put(text, "# Levenberg-Marquardt from the straight-line fits: %d iterations, until a step lowered chi-square by "
              "less than %g of itself\n", a.iterations, ASSESSMENT_TOLERANCE);
    put(text, "# scatter: arrests %g K, compositions %g, eutectic arrests %g K; each data file its own (below)\n",
        scatter.arrest, scatter.composition, scatter.eutectic);
    put(text, "# chi-square: %.4f before, %.4f after\n", a.before.chiSquare, a.after.chiSquare);
    text += "\nCoefficient\tBefore\tAfter\tStandard error\n";
    for (int k = 0; k < COEFFICIENTS; ++k)
        put(text, "%s\t%.6f\t%.6f\t%.6f\n", coefficientName(k), coefficient(a.before.model, k),
            coefficient(a.after.model, k), a.standardError[k]);
    text += "\nCorrelation";
    for (int k = 0; k < COEFFICIENTS; ++k) put(text, "\t%s", coefficientName(k));
    text += "\n";
    for (int i = 0; i < COEFFICIENTS; ++i) {
        text += coefficientName(i);
        for (int j = 0; j < COEFFICIENTS; ++j) put(text, "\t%.3f", a.correlation[i][j]);
        text += "\n";
    }
    text += "\nGroup\tScatter\tCount\tRMS before\tRMS after\tChi-square before\tChi-square after\n";
    for (int p = LIQUID; p <= FCC; ++p)
        for (int kind = ENTHALPY_FIT; kind <= ACTIVITY_FIT; ++kind) {
            const GroupFit& b = a.before.files[p][kind];
            const GroupFit& f = a.after.files[p][kind];
            put(text, "%s\t%.6g\t%d\t%.4f\t%.4f\t%.4f\t%.4f\n", fitFileName(static_cast<PhaseIndex>(p), kind),
                samples.fit[p][kind].sd, f.count, b.rms, f.rms, b.chiSquare, f.chiSquare);
        }
    const double kindScatter[3] = {scatter.arrest, scatter.composition, scatter.eutectic};
    for (int k = 0; k < 3; ++k) {
        const GroupFit& b = a.before.kinds[k];
        const GroupFit& f = a.after.kinds[k];
        put(text, "%s points\t%g\t%d\t", KIND_NAMES[k], kindScatter[k], f.count);
        putValue(text, "%.4f", b.rms);
        text += "\t";
        putValue(text, "%.4f", f.rms);
        put(text, "\t%.4f\t%.4f\n", b.chiSquare, f.chiSquare);
    }
    text += "\nLine\tT\tx\tPair\tPhase\tKind\tComputed before\tResidual before\tComputed after\tResidual after\t"
            "Normalised after\tFlag\n";
    const PhaseNames names = builtInPhaseNames();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const BoundaryPoint& p = points[i];
        const PointFit& b = a.before.points[i];
        const PointFit& f = a.after.points[i];
        put(text, "%d\t%.2f\t", p.line, p.T);
        putValue(text, "%.6f", p.haveX ? p.x : NAN);
        const std::string phase =
            p.pair == 0 ? "Liquid"
                        : names.phase[p.side == 0 ? firstPhase(static_cast<PhasePair>(p.pair))
                                                  : secondPhase(static_cast<PhasePair>(p.pair))];
        put(text, "\t%s\t%s\t%s\t", pairName(names, p.pair).c_str(), phase.c_str(), KIND_NAMES[f.kind]);
        const char* format = f.kind == COMPOSITION_POINT ? "%.6f" : "%.4f";
        putValue(text, format, b.computed);
        text += "\t";
        putValue(text, format, b.residual);
        text += "\t";
        putValue(text, format, f.computed);
        text += "\t";
        putValue(text, format, f.residual);
        put(text, "\t%.3f\t%s\n", f.normalised,
            !f.onBoundary ? "no boundary: driving force" : std::fabs(f.normalised) > 3 ? "beyond 3 sd" : "");
    }
    text += "\nEutectic\tT\txL\txBCC\txFCC\n";
    const JointFit* fits[2] = {&a.before, &a.after};
    for (int m = 0; m < 2; ++m) {
        text += m == 0 ? "before" : "after";
        if (fits[m]->haveEutectic)
            put(text, "\t%.4f\t%.6f\t%.6f\t%.6f\n", fits[m]->eutectic[0], fits[m]->eutectic[1], fits[m]->eutectic[2],
                fits[m]->eutectic[3]);
        else
            text += "\tnone\n";
    }
    double low = 0;
    double high = 0;
    if (eutecticInterval(a, low, high))
        put(text, "# the assessed eutectic's temperature, 95 %%: %.4f to %.4f K (linear propagation of the covariance)\n",
            low, high);
    return text;
}
