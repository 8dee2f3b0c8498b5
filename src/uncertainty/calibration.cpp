// Coverage of the analysis's intervals on data generated from a known model.
#include "uncertainty/calibration.h"

#include <cmath>
#include <random>

#include "equilibrium/stable_solves.h"
#include "uncertainty/analysis.h"

const char* calibrationRowName(int row)
{
    static constexpr const char* NAMES[CALIBRATION_ROWS] = {
        "Liquid a0", "Liquid a1", "Liquid b0", "Liquid b1", "BCC a0",      "BCC a1",        "BCC b0",       "BCC b1",
        "FCC a0",    "FCC a1",    "FCC b0",    "FCC b1",    "eutectic T", "eutectic xL", "eutectic xBCC", "eutectic xFCC"};
    return NAMES[row];
}

void simulateMeasurements(const PhaseParameters (&truth)[3], int points, double enthalpySd, double activitySd,
                          GaussianSource& gauss, MeasuredData& data)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const double T = phase == LIQUID ? LIQUID_ACTIVITY_TEMPERATURE : SOLID_ACTIVITY_TEMPERATURE;
        const double RT = GAS_CONSTANT * T;
        const InteractionCoefficients c = interactionCoefficients(truth[p], T);
        PhaseData& series = data.phase[p];
        series.enthalpy.count = series.activity.count = points;
        for (int i = 0; i < points; ++i) {
            const double x = 0.05 + 0.9 * i / (points - 1);
            const double mixing = x * (1 - x) * (truth[p].a0 + truth[p].b0 * x);
            double enthalpy = mixing;
            double lnActivity = std::log(x) + muBExcess(x, c) / RT;
            if (phase == BCC) {  // activity of A, referred to pure A as FCC
                enthalpy = mixing + (1 - x) * PURE_A_BCC_OVER_FCC;
                lnActivity = std::log(1 - x) + (muAExcess(x, c) + PURE_A_BCC_OVER_FCC) / RT;
            } else if (phase == FCC) {  // activity of B, referred to pure B as BCC
                enthalpy = mixing + x * PURE_B_FCC_OVER_BCC;
                lnActivity = std::log(x) + (muBExcess(x, c) + PURE_B_FCC_OVER_BCC) / RT;
            }
            series.enthalpy.x[i] = series.activity.x[i] = x;
            series.enthalpy.value[i] = enthalpy + enthalpySd * gauss.next();
            series.activity.value[i] = std::exp(lnActivity + activitySd * gauss.next());
        }
    }
}

bool runCalibration(const CalibrationSetup& setup, CalibrationResult& result)
{
    Vector4 eutectic{};
    if (!solveStableEutectic(setup.truth, eutectic)) return false;
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 4; ++k) result.truth[4 * p + k] = coefficient(setup.truth[p], k);
    for (int i = 0; i < 4; ++i) result.truth[12 + i] = eutectic[i];

    double sum[CALIBRATION_ROWS] = {};
    double squares[CALIBRATION_ROWS] = {};
    for (CalibrationRow& row : result.row) row = {0, 0, 0, 0, 0, 0};
    result.failedDataSets = 0;
    std::mt19937_64 noise(setup.seed);
    GaussianSource gauss{noise};
    UncertaintyOptions options;
    options.replicates = setup.replicates;
    options.initialT = options.finalT = 0;  // no bands
    for (int d = 0; d < setup.dataSets; ++d) {
        MeasuredData data{};
        simulateMeasurements(setup.truth, setup.points, setup.enthalpySd, setup.activitySd, gauss, data);
        options.seed = setup.seed + 1 + static_cast<std::uint64_t>(d);
        UncertaintyResult analysis;
        ErrorText error{};
        if (!analyseUncertainty(data, options, analysis, error, [](int) {}) || !analysis.eutecticFound) {
            ++result.failedDataSets;
            continue;
        }
        for (int r = 0; r < CALIBRATION_ROWS; ++r) {
            const Summary& s = r < 12 ? analysis.coefficient[r / 4][r % 4] : analysis.eutectic[r - 12];
            const double linear = r < 12 ? analysis.linearSd[r / 4][r % 4] : analysis.eutecticLinearSd[r - 12];
            CalibrationRow& row = result.row[r];
            if (!std::isfinite(s.low) || !std::isfinite(s.high)) continue;
            ++row.counted;
            row.covered += s.low <= result.truth[r] && result.truth[r] <= s.high;
            row.meanSd += s.sd;
            row.meanLinearSd += linear;
            sum[r] += s.nominal;
            squares[r] += s.nominal * s.nominal;
        }
    }
    for (int r = 0; r < CALIBRATION_ROWS; ++r) {
        CalibrationRow& row = result.row[r];
        if (row.counted == 0) continue;
        const double n = row.counted;
        row.meanSd /= n;
        row.meanLinearSd /= n;
        const double mean = sum[r] / n;
        row.meanEstimate = mean;
        row.sdOfEstimates = n > 1 ? std::sqrt(std::max(0.0, (squares[r] - n * mean * mean) / (n - 1))) : NAN;
    }
    return true;
}
