// Bootstrap replicates of the coefficients, the eutectic and the boundaries.
#include "uncertainty/analysis.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "equilibrium/refine.h"
#include "equilibrium/builtin_diagram.h"
#include "equilibrium/stable_solves.h"
#include "uncertainty/bootstrap.h"
#include "uncertainty/sensitivity.h"

namespace {

// The standard error of a quantity to first order, from its derivatives with respect to the
// coefficients, with each file's sd scaled by `ratio` (a replicate's own estimate over the data's),
// or as the data give it where ratio is null.
double standardError(const LinearPropagation& propagation, const double (&derivative)[12], const ScatterRatios* ratio)
{
    double variance[3][2];
    fileVariances(propagation, derivative, variance);
    double sum = 0;
    for (int f = 0; f < 6; ++f) {
        const double r = ratio != nullptr ? (*ratio)[f] : 1.0;
        sum += variance[f / 2][f % 2] * r * r;
    }
    return std::sqrt(sum);
}

// Per replicate, the standard error of a quantity with the same derivatives for every replicate,
// relative to the data's.
void relativeScales(const LinearPropagation& propagation, const double (&derivative)[12],
                    const std::vector<ScatterRatios>& ratios, std::vector<double>& scale)
{
    const double nominal = standardError(propagation, derivative, nullptr);
    scale.assign(ratios.size(), 1.0);
    if (!(nominal > 0) || !std::isfinite(nominal)) return;
    for (std::size_t r = 0; r < ratios.size(); ++r) scale[r] = standardError(propagation, derivative, &ratios[r]) / nominal;
}

// The nominal stable boundary of a pair at every BAND_STEP K from the model's diagram: where the
// pair has two stable tie-lines, the one nearest the last.
std::vector<std::pair<int, Vector4>> nominalBoundary(const BuiltInDiagram& diagram, PhasePair pair, int initialT,
                                                     int finalT)
{
    std::vector<std::pair<int, Vector4>> points;
    bool havePrevious = false;
    TieLine previous{};
    SystemAt at;
    for (long long step = initialT; step < finalT; step += BAND_STEP) {
        const int T = static_cast<int>(step);
        TieLine line{};
        havePrevious = builtInTieLine(diagram, at, pair, T, havePrevious ? &previous : nullptr, line);
        if (!havePrevious) continue;
        previous = line;
        points.push_back({T, Vector4{line.x[0], line.x[1], 0, 0}});
    }
    return points;
}

}  // namespace

double percentile(const std::vector<double>& sorted, double p)
{
    const double position = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (position - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

Summary summarise(double nominal, const std::vector<double>& values, const std::vector<double>& scale,
                  bool composition)
{
    const auto forward = [composition](double x) { return composition ? std::log(x / (1 - x)) : x; };
    const auto back = [composition](double u) { return composition ? 1 / (1 + std::exp(-u)) : u; };
    const double centre = forward(nominal);
    Summary summary{nominal, NAN, NAN, NAN, 0};
    std::vector<double> kept;
    std::vector<double> pivots;
    kept.reserve(values.size());
    pivots.reserve(values.size());
    for (std::size_t r = 0; r < values.size(); ++r) {
        const double s = scale.empty() ? 1.0 : scale[r];
        const double u = forward(values[r]);
        if (std::isfinite(values[r]) && std::isfinite(u) && std::isfinite(s) && s > 0) {
            kept.push_back(values[r]);
            pivots.push_back((u - centre) / s);
        } else {
            ++summary.failed;
        }
    }
    if (kept.empty()) return summary;
    std::sort(pivots.begin(), pivots.end());
    summary.low = back(centre - percentile(pivots, 0.975));
    summary.high = back(centre - percentile(pivots, 0.025));
    if (kept.size() >= 2) {
        double mean = 0;
        for (const double v : kept) mean += v;
        mean /= static_cast<double>(kept.size());
        double squares = 0;
        for (const double v : kept) squares += (v - mean) * (v - mean);
        summary.sd = std::sqrt(squares / static_cast<double>(kept.size() - 1));
    }
    return summary;
}

bool analyseUncertainty(const MeasuredData& data, const UncertaintyOptions& options, UncertaintyResult& result,
                        ErrorText& error, const std::function<void(int)>& progress)
{
    FitSamples samples;
    if (!prepareFits(data, options.given, samples, error)) return false;
    LinearPropagation propagation;
    linearPropagation(samples, propagation);
    PhaseParameters nominal[3];
    double covariance[3][4][4];
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        nominal[p] = nominalCoefficients(samples, phase);
        coefficientCovariance(samples, phase, covariance[p]);
        for (int k = 0; k < 4; ++k) result.linearSd[p][k] = std::sqrt(covariance[p][k][k]);
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            const FitSample& fit = samples.fit[p][f];
            result.scatter[p][f] = {fit.n, fit.sd, fit.degreesOfFreedom};
            if (fit.sd == 0)
                result.notes.push_back(std::string(phaseName(phase)) + ": " + fitFileName(phase, f) +
                                       (fit.degreesOfFreedom > 0 ? " lies exactly on its line" : " is given no scatter") +
                                       ": its fit does not vary between replicates.");
            else if (fit.degreesOfFreedom > 0 && fit.degreesOfFreedom <= 2)
                result.notes.push_back(std::string(phaseName(phase)) + ": " + fitFileName(phase, f) +
                                       " has too few pairs for a finite linear estimate of the scatter's effect; the "
                                       "bootstrap's intervals still hold.");
        }
    }
    result.replicates = options.replicates;
    result.seed = options.seed;
    result.initialT = options.initialT;
    result.finalT = options.finalT;

    // Nominal solutions, from the data alone.
    BuiltInDiagram diagram;
    if (!computeBuiltInDiagram(nominal, result.initialT, result.finalT, diagram))
        return fail(error, "the nominal model's diagram could not be computed");
    const Vector4 eutectic = diagram.eutectic;
    result.eutecticFound = diagram.haveEutectic;
    double derivative[4][12] = {};
    const bool haveDerivative = result.eutecticFound && eutecticSensitivity(nominal, eutectic, derivative);
    if (haveDerivative) {
        propagateToEutectic(derivative, covariance, result.eutecticLinearSd);
    } else {
        for (double& sd : result.eutecticLinearSd) sd = NAN;
        if (!result.eutecticFound) result.notes.push_back("The model has no stable eutectic that the analysis could solve: the eutectic has no statistics.");
    }
    std::vector<std::pair<int, Vector4>> boundary[3];
    for (int t = 0; t < 3; ++t)
        boundary[t] = nominalBoundary(diagram, static_cast<PhasePair>(t + 1), result.initialT, result.finalT);

    // The replicates' coefficients, drawn in order; each quantity is then solved for every
    // replicate and summarised at once, so that memory does not grow with the range.
    const auto replicates = static_cast<std::size_t>(options.replicates);
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(samples, options.replicates, options.seed, models, ratios);
    std::vector<double> scale;
    std::vector<double> values(replicates);
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 4; ++k) {
            for (std::size_t r = 0; r < replicates; ++r) values[r] = coefficient(models[r][p], k);
            double unit[12] = {};
            unit[4 * p + k] = 1;
            relativeScales(propagation, unit, ratios, scale);
            result.coefficient[p][k] = summarise(coefficient(nominal[p], k), values, scale);
        }

    std::size_t total = 1;
    for (const auto& points : boundary) total += points.size();
    std::size_t done = 0;
    const auto advance = [&] { progress(static_cast<int>(100 * ++done / total)); };

    std::vector<Vector4> solved(replicates);
    std::vector<bool> ok(replicates);
    if (result.eutecticFound) {
        for (std::size_t r = 0; r < replicates; ++r) {
            const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
            ok[r] = followEutectic(nominal, model, eutectic, solved[r]) || solveStableEutectic(model, solved[r]);
        }
        // Each replicate's standard errors from its own eutectic's sensitivity and its own sds.
        std::vector<std::array<double, 4>> errors(replicates);
        for (std::size_t r = 0; r < replicates; ++r) {
            const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
            double slopes[4][12];
            const bool have = ok[r] && haveDerivative && eutecticSensitivity(model, solved[r], slopes);
            for (int i = 0; i < 4; ++i) errors[r][i] = have ? standardError(propagation, slopes[i], &ratios[r]) : NAN;
        }
        for (int i = 0; i < 4; ++i) {
            for (std::size_t r = 0; r < replicates; ++r) values[r] = ok[r] ? solved[r][i] : NAN;
            const double nominalError = haveDerivative ? standardError(propagation, derivative[i], nullptr) : NAN;
            scale.clear();
            if (nominalError > 0 && std::isfinite(nominalError)) {
                // On the composition's logit scale the errors carry the factor 1 / (x (1 - x)).
                const auto logitSlope = [i](double x) { return i > 0 ? 1 / (x * (1 - x)) : 1.0; };
                scale.resize(replicates);
                for (std::size_t r = 0; r < replicates; ++r)
                    scale[r] = errors[r][i] * logitSlope(solved[r][i]) / (nominalError * logitSlope(eutectic[i]));
            }
            result.eutectic[i] = summarise(eutectic[i], values, scale, i > 0);
        }
    } else {
        for (Summary& s : result.eutectic) s = Summary{NAN, NAN, NAN, NAN, 0};
    }
    advance();

    GibbsCurves curves;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        result.band[t].clear();
        for (const auto& [T, start] : boundary[t]) {
            for (std::size_t r = 0; r < replicates; ++r) {
                const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
                ok[r] = followTieLine(nominal, model, pair, T, start, solved[r]) ||
                        solveStableTieLine(model, pair, T, nullptr, solved[r], curves);
            }
            BandRow row{T, {}};
            double slopes[2][12];
            const bool haveSlopes = tieLineSensitivity(nominal, pair, T, start, slopes);
            // Each replicate's own standard errors of both compositions, from one sensitivity.
            std::vector<std::array<double, 2>> errors(replicates, {NAN, NAN});
            for (std::size_t r = 0; haveSlopes && r < replicates; ++r) {
                const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
                double own[2][12];
                if (!ok[r] || !tieLineSensitivity(model, pair, T, solved[r], own)) continue;
                for (int c = 0; c < 2; ++c) errors[r][c] = standardError(propagation, own[c], &ratios[r]);
            }
            for (int c = 0; c < 2; ++c) {
                for (std::size_t r = 0; r < replicates; ++r) values[r] = ok[r] ? solved[r][c] : NAN;
                const double nominalError = haveSlopes ? standardError(propagation, slopes[c], nullptr) : NAN;
                scale.clear();
                if (nominalError > 0 && std::isfinite(nominalError)) {
                    // Each replicate's own standard error, on the logit scale, relative to the data's.
                    scale.resize(replicates);
                    for (std::size_t r = 0; r < replicates; ++r) {
                        const double x = solved[r][c];
                        scale[r] = errors[r][c] / (x * (1 - x)) / (nominalError / (start[c] * (1 - start[c])));
                    }
                }
                row.x[c] = summarise(start[c], values, scale, true);
            }
            result.band[t].push_back(row);
            advance();
        }
    }
    return true;
}
