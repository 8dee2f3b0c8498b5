// Linear propagation of the assessed coefficients' covariance, with Student's t.
#include "assessment/intervals.h"

#include <cmath>

#include "equilibrium/builtin_diagram.h"
#include "equilibrium/log_ratio.h"
#include "uncertainty/sensitivity.h"

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
    double share[3][2] = {};  // each estimated file's part of the variance
    double estimated = 0;
    for (int p = 0; p < 3; ++p)
        for (int kind = 0; kind < 2; ++kind) {
            if (a.fileDegrees[p][kind] <= 0) continue;
            for (int i = 0; i < COEFFICIENTS; ++i)
                for (int j = 0; j < COEFFICIENTS; ++j) share[p][kind] += h[i] * a.fileNormal[p][kind][i][j] * h[j];
            estimated += share[p][kind];
        }
    // A file's part counts at 1 + (1 + k) / (nu - 2) of its estimate, k the part that rests on known
    // scatters (points, given sds): sigma^2 / s^2 has the mean nu / (nu - 2) = 1 + 2 / (nu - 2),
    // and where the file competes with known scatter, a small s by chance both weights it too much
    // and counts it too little; where the files alone fix the quantity, Student's t carries most
    // of it. Calibrated by simulation (the assessment study).
    const double known = variance > 0 ? std::fmax(0.0, (variance - estimated) / variance) : 0;
    double total = variance - estimated;
    double spread = 0;  // sum of v_f^2 / nu_f over the files of estimated scatter
    for (int p = 0; p < 3; ++p)
        for (int kind = 0; kind < 2; ++kind) {
            const int nu = a.fileDegrees[p][kind];
            if (nu <= 0) continue;
            const double v = share[p][kind] * (1 + (1 + known) / std::fmax(nu - 2.0, 1.0));
            total += v;
            spread += v * v / nu;
        }
    const double degrees = spread > 0 ? total * total / spread : INFINITY;
    return studentQuantile975(degrees) * std::sqrt(total) * a.intervalScale;
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
    BuiltInDiagram diagram;
    if (!computeBuiltInDiagram(a.after.model, low, high, diagram)) return rows;
    // The pairs at each temperature in turn; the rows then by pair and side.
    std::vector<BoundaryBandRow> byPair[3][2];
    TieLine previous[3] = {};
    bool have[3] = {false, false, false};
    SystemAt at;
    for (double T = low; T <= high + 1e-9; T += step)
        for (int t = 0; t < 3; ++t) {
            const auto pair = static_cast<PhasePair>(t + 1);
            TieLine line{};
            have[t] = builtInTieLine(diagram, at, pair, T, have[t] ? &previous[t] : nullptr, line);
            if (!have[t]) continue;
            previous[t] = line;
            double ds[2][COEFFICIENTS];
            if (!tieLineSlopes(a.after.model, pair, T, line.s, ds)) continue;
            for (int side = 0; side < 2; ++side) {
                // In x, dx = x (1 - x) ds.
                const double w = line.x[side] * composition(-line.s[side]).x;
                double gradient[COEFFICIENTS];
                for (int k = 0; k < COEFFICIENTS; ++k) gradient[k] = w * ds[side][k];
                const double half = halfWidth95(a, gradient);
                byPair[t][side].push_back(
                    {pair, side, T, std::fmax(0.0, line.x[side] - half), std::fmin(1.0, line.x[side] + half)});
            }
        }
    for (auto& pair : byPair)
        for (auto& side : pair) rows.insert(rows.end(), side.begin(), side.end());
    return rows;
}
