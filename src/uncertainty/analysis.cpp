// Bootstrap replicates of the coefficients, the eutectic and the boundaries.
#include "uncertainty/analysis.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "equilibrium/refine.h"
#include "uncertainty/bootstrap.h"
#include "uncertainty/sensitivity.h"

namespace {

constexpr int BAND_STEP = 10;  // K between the temperatures of the bands

const PhaseParameters& firstOf(const PhaseParameters (&model)[3], PhasePair pair) { return model[firstPhase(pair)]; }
const PhaseParameters& secondOf(const PhaseParameters (&model)[3], PhasePair pair) { return model[secondPhase(pair)]; }

double percentile(const std::vector<double>& sorted, double p)
{
    const double position = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (position - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

// A boundary point solved from `start` with the nominal coefficients, or false.
bool solveNominalPoint(const PhaseParameters (&model)[3], PhasePair pair, int T, Vector4 start, Vector4& solution)
{
    Vector4 result{};
    if (refineTwoPhase(T, start, result, firstOf(model, pair), secondOf(model, pair), pair) >= ITERATION_LIMIT)
        return false;
    solution = result;
    return true;
}

// Start compositions tried, in this order, where no nearby solution is known.
constexpr double GRID_STARTS[] = {0.05, 0.2, 0.35, 0.5, 0.65, 0.8, 0.95};

// The nominal boundary of a pair at every BAND_STEP K: from the table's Valid row at that
// temperature where there is one, else continued from the previous temperature, else from a grid
// of start values.
std::vector<std::pair<int, Vector4>> nominalBoundary(const PhaseParameters (&model)[3], PhasePair pair,
                                                     const BoundaryTable* table, int initialT, int finalT)
{
    std::vector<std::pair<int, Vector4>> points;
    bool havePrevious = false;
    Vector4 previous{};
    for (long long step = initialT; step < finalT; step += BAND_STEP) {
        const int T = static_cast<int>(step);
        Vector4 solution{};
        bool found = false;
        if (table != nullptr)
            for (const BoundaryRow& row : table->rows)
                if (row.T == T && row.valid) {
                    found = solveNominalPoint(model, pair, T, {row.x[0], row.x[1], 0, 0}, solution);
                    break;
                }
        if (!found && havePrevious) found = solveNominalPoint(model, pair, T, previous, solution);
        for (const double a : GRID_STARTS) {
            for (const double b : GRID_STARTS) {
                if (found) break;
                if (a != b) found = solveNominalPoint(model, pair, T, {a, b, 0, 0}, solution);
            }
        }
        havePrevious = found;
        if (found) {
            previous = solution;
            points.push_back({T, solution});
        }
    }
    return points;
}

// The nominal eutectic: as the program starts it, else from the eutectic table, else from a grid.
bool nominalEutectic(const PhaseParameters (&model)[3], const EutecticPoint* row, Vector4& eutectic,
                     std::vector<std::string>& notes)
{
    Vector4 guess{};
    Vector4 result{};
    if (solveEutectic(guess, result, 4, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT) {
        eutectic = result;
        return true;
    }
    std::vector<Vector4> starts;
    if (row != nullptr && row->present && row->count < ITERATION_LIMIT) starts.push_back({row->T, row->xL, row->xBCC, row->xFCC});
    for (const double T : {1000.0, 800.0, 1200.0, 600.0})
        for (const double xL : {0.5, 0.3, 0.7})
            for (const double xBCC : {0.9, 0.7})
                for (const double xFCC : {0.1, 0.3}) starts.push_back({T, xL, xBCC, xFCC});
    for (Vector4 start : starts) {
        if (refineEutectic(start, result, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT) {
            eutectic = result;
            notes.push_back("The nominal eutectic did not converge from the program's random start; it was solved "
                            "from fixed start values instead.");
            return true;
        }
    }
    return false;
}

}  // namespace

Summary summarise(double nominal, std::vector<double> values)
{
    Summary summary{nominal, NAN, NAN, NAN, 0};
    std::vector<double> kept;
    kept.reserve(values.size());
    for (const double v : values) {
        if (std::isfinite(v))
            kept.push_back(v);
        else
            ++summary.failed;
    }
    if (kept.empty()) return summary;
    std::sort(kept.begin(), kept.end());
    summary.low = percentile(kept, 0.025);
    summary.high = percentile(kept, 0.975);
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

bool analyseUncertainty(const MeasuredData& data, const BoundaryTable* tables, const EutecticPoint* eutecticRow,
                        const UncertaintyOptions& options, UncertaintyResult& result, ErrorText& error,
                        const std::function<void(int)>& progress)
{
    FitSamples samples;
    if (!prepareFits(data, samples, error)) return false;
    PhaseParameters nominal[3];
    double covariance[3][4][4];
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        nominal[p] = nominalCoefficients(samples, phase);
        coefficientCovariance(samples, phase, covariance[p]);
        for (int k = 0; k < 4; ++k) result.linearSd[p][k] = std::sqrt(covariance[p][k][k]);
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            double squares = 0;
            for (int i = 0; i < samples.fit[p][f].n; ++i) squares += samples.fit[p][f].residual[i] * samples.fit[p][f].residual[i];
            if (squares == 0)
                result.notes.push_back(std::string(phaseName(phase)) + ": " +
                                       (f == ENTHALPY_FIT ? enthalpyFileName(phase) : activityFileName(phase)) +
                                       " lies exactly on its line: its fit has no scatter to resample.");
        }
    }

    // The range of the bands.
    result.initialT = options.initialT;
    result.finalT = options.finalT;
    if (!options.rangeGiven && tables != nullptr) {
        bool any = false;
        for (int t = 0; t < 3; ++t)
            for (const BoundaryRow& row : tables[t].rows) {
                if (!any || row.T < result.initialT) result.initialT = row.T;
                if (!any || row.T >= result.finalT) result.finalT = row.T == INT_MAX ? INT_MAX : row.T + 1;
                any = true;
            }
    }

    // Nominal solutions.
    Vector4 eutectic{};
    result.eutecticFound = nominalEutectic(nominal, eutecticRow, eutectic, result.notes);
    double derivative[4][12] = {};
    if (result.eutecticFound && eutecticSensitivity(nominal, eutectic, derivative)) {
        propagateToEutectic(derivative, covariance, result.eutecticLinearSd);
    } else {
        for (double& sd : result.eutecticLinearSd) sd = NAN;
        if (!result.eutecticFound) result.notes.push_back("No nominal eutectic was found: the eutectic has no statistics.");
    }
    std::vector<std::pair<int, Vector4>> boundary[3];
    for (int t = 0; t < 3; ++t)
        boundary[t] = nominalBoundary(nominal, static_cast<PhasePair>(t + 1), tables != nullptr ? &tables[t] : nullptr,
                                      result.initialT, result.finalT);

    // The replicates' coefficients, drawn in order; each quantity is then solved for every
    // replicate and summarised at once, so that memory does not grow with the range.
    const auto replicates = static_cast<std::size_t>(options.replicates);
    std::vector<std::array<PhaseParameters, 3>> models(replicates);
    std::mt19937_64 generator(options.seed);
    for (auto& model : models) {
        PhaseParameters drawn[3];
        replicateCoefficients(samples, generator, drawn);
        model = {drawn[0], drawn[1], drawn[2]};
    }
    std::vector<double> values(replicates);
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 4; ++k) {
            for (std::size_t r = 0; r < replicates; ++r) values[r] = coefficient(models[r][p], k);
            result.coefficient[p][k] = summarise(coefficient(nominal[p], k), values);
        }

    std::size_t total = 1;
    for (const auto& points : boundary) total += points.size();
    std::size_t done = 0;
    const auto advance = [&] { progress(static_cast<int>(100 * ++done / total)); };

    std::vector<Vector4> solved(replicates);
    std::vector<bool> ok(replicates);
    if (result.eutecticFound) {
        for (std::size_t r = 0; r < replicates; ++r) {
            const auto& m = models[r];
            Vector4 start = eutectic;
            ok[r] = refineEutectic(start, solved[r], m[LIQUID], m[BCC], m[FCC]) < ITERATION_LIMIT;
        }
        for (int i = 0; i < 4; ++i) {
            for (std::size_t r = 0; r < replicates; ++r) values[r] = ok[r] ? solved[r][i] : NAN;
            result.eutectic[i] = summarise(eutectic[i], values);
        }
    } else {
        for (Summary& s : result.eutectic) s = Summary{NAN, NAN, NAN, NAN, 0};
    }
    advance();

    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        result.band[t].clear();
        for (const auto& [T, start] : boundary[t]) {
            for (std::size_t r = 0; r < replicates; ++r) {
                const PhaseParameters model[3] = {models[r][0], models[r][1], models[r][2]};
                Vector4 guess = start;
                ok[r] = refineTwoPhase(T, guess, solved[r], firstOf(model, pair), secondOf(model, pair), pair) <
                        ITERATION_LIMIT;
            }
            BandRow row{T, {}};
            for (int c = 0; c < 2; ++c) {
                for (std::size_t r = 0; r < replicates; ++r) values[r] = ok[r] ? solved[r][c] : NAN;
                row.x[c] = summarise(start[c], values);
            }
            result.band[t].push_back(row);
            advance();
        }
    }
    return true;
}
