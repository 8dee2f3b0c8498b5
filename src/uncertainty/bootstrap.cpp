// Resampling of the fits and the linear propagation of their covariance.
#include "uncertainty/bootstrap.h"

#include <cmath>

namespace {

// `file` holds the ordinates' values; the activity file sets the number of pairs of both fits.
bool prepareFit(FitSample& fit, PhaseIndex phase, const char* file, ErrorText& error)
{
    if (fit.n < 3)
        return fail(error, "%s: %s holds %d pairs; a fit with scatter to resample needs at least 3", phaseName(phase),
                    activityFileName(phase), fit.n);
    for (int i = 0; i < fit.n; ++i)
        if (!std::isfinite(fit.y[i]))
            return fail(error, "%s: %s: pair %d gives an ordinate that is not finite (a composition of 0 or 1, or an "
                               "activity of 0 or less)",
                        phaseName(phase), file, i + 1);
    fitLine(fit.line, fit.x, fit.y, fit.n);
    if (!std::isfinite(fit.line.intercept) || !std::isfinite(fit.line.slope))
        return fail(error, "%s: %s: the compositions do not determine a line", phaseName(phase), file);
    for (int i = 0; i < fit.n; ++i) {
        fit.fitted[i] = fit.line.intercept + fit.line.slope * fit.x[i];
        fit.residual[i] = fit.y[i] - fit.fitted[i];
    }
    fit.scale = std::sqrt(static_cast<double>(fit.n) / (fit.n - 2));
    return true;
}

// The line fitted to a replicate of the ordinates.
LineFit refit(const FitSample& fit, std::mt19937_64& generator)
{
    double y[MAX_PAIRS];
    for (int i = 0; i < fit.n; ++i)
        y[i] = fit.fitted[i] + fit.scale * fit.residual[uniformIndex(generator, static_cast<std::uint64_t>(fit.n))];
    LineFit line{};
    fitLine(line, fit.x, y, fit.n);
    return line;
}

// Covariance of (intercept, slope) of a least-squares line, from its residual variance.
void lineCovariance(const FitSample& fit, double (&covariance)[2][2])
{
    double mean = 0;
    for (int i = 0; i < fit.n; ++i) mean += fit.x[i];
    mean /= fit.n;
    double spread = 0;
    double squares = 0;
    for (int i = 0; i < fit.n; ++i) {
        spread += (fit.x[i] - mean) * (fit.x[i] - mean);
        squares += fit.residual[i] * fit.residual[i];
    }
    const double variance = squares / (fit.n - 2);
    covariance[1][1] = variance / spread;
    covariance[0][1] = covariance[1][0] = -mean * variance / spread;
    covariance[0][0] = variance / fit.n + mean * mean * variance / spread;
}

}  // namespace

bool prepareFits(const MeasuredData& data, FitSamples& samples, ErrorText& error)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const DataSeries& activity = data.phase[p].activity;
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            FitSample& fit = samples.fit[p][f];
            fit.n = activity.count;
            for (int i = 0; i < fit.n; ++i) {
                fit.x[i] = activity.x[i];
                fit.y[i] = f == ENTHALPY_FIT ? enthalpyOrdinate(phase, activity.x[i], data.phase[p].enthalpy.value[i])
                                             : activityOrdinate(phase, activity.x[i], activity.value[i]);
            }
            const char* file = f == ENTHALPY_FIT ? enthalpyFileName(phase) : activityFileName(phase);
            if (!prepareFit(fit, phase, file, error)) return false;
        }
    }
    return true;
}

PhaseParameters nominalCoefficients(const FitSamples& samples, PhaseIndex phase)
{
    return coefficientsFromFits(phase, samples.fit[phase][ENTHALPY_FIT].line, samples.fit[phase][ACTIVITY_FIT].line);
}

std::uint64_t uniformIndex(std::mt19937_64& generator, std::uint64_t n)
{
    const std::uint64_t limit = generator.max() - generator.max() % n;  // a whole number of n-blocks
    std::uint64_t draw = generator();
    while (draw >= limit) draw = generator();
    return draw % n;
}

void replicateCoefficients(const FitSamples& samples, std::mt19937_64& generator, PhaseParameters (&model)[3])
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const LineFit enthalpy = refit(samples.fit[p][ENTHALPY_FIT], generator);
        const LineFit activity = refit(samples.fit[p][ACTIVITY_FIT], generator);
        model[p] = coefficientsFromFits(static_cast<PhaseIndex>(p), enthalpy, activity);
    }
}

void coefficientCovariance(const FitSamples& samples, PhaseIndex phase, double (&covariance)[4][4])
{
    // The coefficients are linear in q = (I1, S1, I2, S2): their derivatives are differences of
    // the fitting's own derivation, exact up to rounding for a step of 1.
    const LineFit lines[2] = {samples.fit[phase][ENTHALPY_FIT].line, samples.fit[phase][ACTIVITY_FIT].line};
    double gradient[4][4];  // d coefficient k / d q j
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
