// The measurement-scale scatter of each data file, the replicates drawn from it, and the linear
// propagation of the same scatter.
#include "uncertainty/bootstrap.h"

#include <cmath>

namespace {

double reference(PhaseIndex phase, int kind, double x)
{
    // What the ordinate takes off a measured value before dividing: the solid data's terms of
    // the pure components in the other structure (J/mol).
    if (kind == ENTHALPY_FIT) return phase == BCC ? (1 - x) * PURE_A_BCC_OVER_FCC : phase == FCC ? PURE_B_FCC_OVER_BCC * x : 0;
    return phase == BCC ? PURE_A_BCC_OVER_FCC : phase == FCC ? PURE_B_FCC_OVER_BCC : 0;
}

double activityRT(PhaseIndex phase) { return phase == LIQUID ? RT1500 : RT1100; }

// The ordinate of a measured value m (J/mol, or ln a) at composition x.
double ordinate(PhaseIndex phase, int kind, double x, double m)
{
    return kind == ENTHALPY_FIT ? enthalpyOrdinate(phase, x, m) : activityOrdinate(phase, x, std::exp(m));
}

// dy/dm: how the ordinate scales the measurement's scatter.
double ordinateSlope(PhaseIndex phase, int kind, double x)
{
    if (kind == ENTHALPY_FIT) return 1 / (x * (1 - x));
    const double w = phase == BCC ? x * x : (1 - x) * (1 - x);
    return activityRT(phase) / w;
}

// The measurement whose ordinate is y: the inverse of `ordinate`.
double measurementOf(PhaseIndex phase, int kind, double x, double y)
{
    if (kind == ENTHALPY_FIT) return y * x * (1 - x) + reference(phase, kind, x);
    const double w = phase == BCC ? x * x : (1 - x) * (1 - x);
    const double ideal = std::log(phase == BCC ? 1 - x : x);
    return (y * w + reference(phase, kind, x)) / activityRT(phase) + ideal;
}

// sigma from the weighted fit of the ordinates y[0..n-1], weights 1 / slope_i^2, residuals taken
// back to the measured scale, n - 2 degrees of freedom.
double estimatedScatter(const double* x, const double* y, const double* slope, int n)
{
    double sw = 0, swx = 0, swy = 0, swxx = 0, swxy = 0;
    for (int i = 0; i < n; ++i) {
        const double w = 1 / (slope[i] * slope[i]);
        sw += w;
        swx += w * x[i];
        swy += w * y[i];
        swxx += w * x[i] * x[i];
        swxy += w * x[i] * y[i];
    }
    const double lineSlope = (sw * swxy - swx * swy) / (sw * swxx - swx * swx);
    const double intercept = (swy - lineSlope * swx) / sw;
    double squares = 0;
    for (int i = 0; i < n; ++i) {
        const double residual = (y[i] - (intercept + lineSlope * x[i])) / slope[i];
        squares += residual * residual;
    }
    return std::sqrt(squares / (n - 2));
}

bool prepareFit(FitSample& fit, const PhaseData& data, double given, ErrorText& error)
{
    const PhaseIndex phase = fit.phase;
    const char* file = fitFileName(phase, fit.kind);
    const DataSeries& activity = data.activity;
    fit.n = activity.count;
    if (fit.n < 2 || (fit.n < 3 && given < 0))
        return fail(error, "%s: %s holds %d pairs; a fit whose scatter is estimated needs at least 3", phaseName(phase),
                    activityFileName(phase), fit.n);
    for (int i = 0; i < fit.n; ++i) {
        const double x = activity.x[i];
        fit.x[i] = x;
        fit.y[i] = fit.kind == ENTHALPY_FIT ? enthalpyOrdinate(phase, x, data.enthalpy.value[i])
                                            : activityOrdinate(phase, x, activity.value[i]);
        fit.slope[i] = ordinateSlope(phase, fit.kind, x);
        if (!std::isfinite(fit.y[i]) || !std::isfinite(fit.slope[i]))
            return fail(error, "%s: %s: pair %d gives an ordinate that is not finite (a composition of 0 or 1, or an "
                               "activity of 0 or less)",
                        phaseName(phase), file, i + 1);
    }
    fitLine(fit.line, fit.x, fit.y, fit.n);
    if (!std::isfinite(fit.line.intercept) || !std::isfinite(fit.line.slope))
        return fail(error, "%s: %s: the compositions do not determine a line", phaseName(phase), file);
    for (int i = 0; i < fit.n; ++i)
        fit.fitted[i] = measurementOf(phase, fit.kind, fit.x[i], fit.line.intercept + fit.line.slope * fit.x[i]);
    if (given >= 0) {
        fit.sd = given;
        fit.degreesOfFreedom = 0;
    } else {
        fit.sd = estimatedScatter(fit.x, fit.y, fit.slope, fit.n);
        fit.degreesOfFreedom = fit.n - 2;
        if (!std::isfinite(fit.sd))
            return fail(error, "%s: %s: the scatter of its values cannot be estimated", phaseName(phase), file);
    }
    return true;
}

// The line fitted to one replicate of a file's measurements, and the replicate's estimate of
// the file's sd relative to the data's (1 for a given sd).
LineFit refit(const FitSample& fit, GaussianSource& gauss, double& scatterRatio)
{
    double y[MAX_PAIRS];
    for (int i = 0; i < fit.n; ++i)
        y[i] = ordinate(fit.phase, fit.kind, fit.x[i], fit.fitted[i] + fit.sd * gauss.next());
    LineFit line{};
    fitLine(line, fit.x, y, fit.n);
    scatterRatio = fit.degreesOfFreedom > 0 && fit.sd > 0 ? estimatedScatter(fit.x, y, fit.slope, fit.n) / fit.sd : 1;
    return line;
}

// Covariance of (intercept, slope) of the least-squares line under the points' variances.
void lineCovariance(const FitSample& fit, double (&covariance)[2][2])
{
    const double variance = fit.sd * fit.sd;
    double sx = 0, sxx = 0, sv = 0, svx = 0, svxx = 0;
    for (int i = 0; i < fit.n; ++i) {
        const double x = fit.x[i];
        const double v = fit.slope[i] * fit.slope[i] * variance;
        sx += x;
        sxx += x * x;
        sv += v;
        svx += v * x;
        svxx += v * x * x;
    }
    const double d = fit.n * sxx - sx * sx;
    // (X'X)^-1 = [[sxx, -sx], [-sx, n]] / d, sandwiching X' diag(v) X = [[sv, svx], [svx, svxx]].
    const double a[2][2] = {{sxx / d, -sx / d}, {-sx / d, fit.n / d}};
    const double m[2][2] = {{sv, svx}, {svx, svxx}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            double sum = 0;
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) sum += a[r][i] * m[i][j] * a[j][c];
            covariance[r][c] = sum;
        }
}

}  // namespace

const char* fitFileName(PhaseIndex phase, int kind)
{
    return kind == ENTHALPY_FIT ? enthalpyFileName(phase) : activityFileName(phase);
}

bool prepareFits(const MeasuredData& data, const GivenScatter& given, FitSamples& samples, ErrorText& error)
{
    for (int p = LIQUID; p <= FCC; ++p)
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            FitSample& fit = samples.fit[p][f];
            fit.phase = static_cast<PhaseIndex>(p);
            fit.kind = f;
            if (!prepareFit(fit, data.phase[p], given.sd[p][f], error)) return false;
        }
    return true;
}

PhaseParameters nominalCoefficients(const FitSamples& samples, PhaseIndex phase)
{
    return coefficientsFromFits(phase, samples.fit[phase][ENTHALPY_FIT].line, samples.fit[phase][ACTIVITY_FIT].line);
}

double GaussianSource::next()
{
    if (haveSpare) {
        haveSpare = false;
        return spare;
    }
    double u = 0;
    double v = 0;
    double s = 0;
    do {
        u = static_cast<double>(generator() >> 11) * 0x1.0p-52 - 1;  // uniform on [-1, 1)
        v = static_cast<double>(generator() >> 11) * 0x1.0p-52 - 1;
        s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double factor = std::sqrt(-2 * std::log(s) / s);
    spare = v * factor;
    haveSpare = true;
    return u * factor;
}

void replicateCoefficients(const FitSamples& samples, GaussianSource& gauss, PhaseParameters (&model)[3],
                           double (&scatterRatio)[3][2])
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const LineFit enthalpy = refit(samples.fit[p][ENTHALPY_FIT], gauss, scatterRatio[p][ENTHALPY_FIT]);
        const LineFit activity = refit(samples.fit[p][ACTIVITY_FIT], gauss, scatterRatio[p][ACTIVITY_FIT]);
        model[p] = coefficientsFromFits(static_cast<PhaseIndex>(p), enthalpy, activity);
    }
}

void drawReplicates(const FitSamples& samples, int count, std::uint64_t seed, std::vector<ReplicateModel>& models,
                    std::vector<ScatterRatios>& ratios)
{
    const auto replicates = static_cast<std::size_t>(count);
    models.resize(replicates);
    ratios.resize(replicates);
    std::mt19937_64 generator(seed);
    GaussianSource gauss{generator};
    for (std::size_t r = 0; r < replicates; ++r) {
        PhaseParameters drawn[3];
        double ratio[3][2];
        replicateCoefficients(samples, gauss, drawn, ratio);
        models[r] = {drawn[0], drawn[1], drawn[2]};
        ratios[r] = {ratio[0][0], ratio[0][1], ratio[1][0], ratio[1][1], ratio[2][0], ratio[2][1]};
    }
}

void coefficientGradient(const FitSamples& samples, PhaseIndex phase, double (&gradient)[4][4])
{
    // The coefficients are linear in q = (I1, S1, I2, S2): their derivatives are differences of
    // the fitting's own derivation, exact up to rounding for a step of 1.
    const LineFit lines[2] = {samples.fit[phase][ENTHALPY_FIT].line, samples.fit[phase][ACTIVITY_FIT].line};
    for (int j = 0; j < 4; ++j) {
        LineFit up[2] = {lines[0], lines[1]};
        LineFit down[2] = {lines[0], lines[1]};
        double& upValue = j % 2 == 0 ? up[j / 2].intercept : up[j / 2].slope;
        double& downValue = j % 2 == 0 ? down[j / 2].intercept : down[j / 2].slope;
        upValue += 1.0;
        downValue -= 1.0;
        const PhaseParameters high = coefficientsFromFits(phase, up[0], up[1]);
        const PhaseParameters low = coefficientsFromFits(phase, down[0], down[1]);
        for (int k = 0; k < 4; ++k) gradient[k][j] = (coefficient(high, k) - coefficient(low, k)) / 2.0;
    }
}

void coefficientCovariance(const FitSamples& samples, PhaseIndex phase, double (&covariance)[4][4])
{
    double gradient[4][4];
    coefficientGradient(samples, phase, gradient);
    double q[4][4] = {};
    double block[2][2];
    for (int f = 0; f < 2; ++f) {
        lineCovariance(samples.fit[phase][f], block);
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b) q[2 * f + a][2 * f + b] = block[a][b];
    }
    for (int k = 0; k < 4; ++k)
        for (int l = 0; l < 4; ++l) {
            double sum = 0;
            for (int a = 0; a < 4; ++a)
                for (int b = 0; b < 4; ++b) sum += gradient[k][a] * q[a][b] * gradient[l][b];
            covariance[k][l] = sum;
        }
}

void linearPropagation(const FitSamples& samples, LinearPropagation& propagation)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        coefficientGradient(samples, static_cast<PhaseIndex>(p), propagation.gradient[p]);
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) lineCovariance(samples.fit[p][f], propagation.line[p][f]);
    }
}

void fileVariances(const LinearPropagation& propagation, const double (&derivative)[12], double (&variance)[3][2])
{
    for (int p = LIQUID; p <= FCC; ++p)
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            // The quantity's derivatives with respect to this file's intercept and slope.
            double g[2] = {0, 0};
            for (int j = 0; j < 2; ++j)
                for (int k = 0; k < 4; ++k) g[j] += derivative[4 * p + k] * propagation.gradient[p][k][2 * f + j];
            const double (&c)[2][2] = propagation.line[p][f];
            variance[p][f] = g[0] * c[0][0] * g[0] + 2 * g[0] * c[0][1] * g[1] + g[1] * c[1][1] * g[1];
        }
}
