// Residuals of measured boundary points, solved directly on the model.
#include "comparison/residuals.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "equilibrium/boundary_temperature.h"
#include "equilibrium/newton.h"
#include "equilibrium/stable_solves.h"

namespace {

// Half the width of a 95 % interval in standard deviations of a normal distribution.
constexpr double HALF_WIDTH_SIGMAS = 1.959963984540054;
// How far from the point's temperature a stable tie-line is sought to start the temperature solve.
constexpr double SEARCH_STEP = 10;
constexpr int SEARCH_STEPS = 60;

std::string kelvins(double T)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f K", T);
    return text;
}

// The band's interval of column `side` at T, interpolated between its rows 10 K apart.
bool bandAt(const BandTable& band, int side, double T, double& low, double& high)
{
    const std::vector<BandTableRow>& rows = band.rows;
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        const double T0 = rows[r].T;
        const double T1 = rows[r + 1].T;
        if (!(T0 <= T && T <= T1) || T1 - T0 > 10) continue;
        const double f = T1 > T0 ? (T - T0) / (T1 - T0) : 0;
        low = rows[r].low[side] + f * (rows[r + 1].low[side] - rows[r].low[side]);
        high = rows[r].high[side] + f * (rows[r + 1].high[side] - rows[r].high[side]);
        return std::isfinite(low) && std::isfinite(high) && low <= high;
    }
    if (rows.size() == 1 && rows[0].T == T) {
        low = rows[0].low[side];
        high = rows[0].high[side];
        return std::isfinite(low) && std::isfinite(high) && low <= high;
    }
    return false;
}

void holdAgainstBand(PointResidual& r, double measured, double computed, double low, double high)
{
    r.haveBand = true;
    r.bandLow = low;
    r.bandHigh = high;
    r.withinBand = low <= measured && measured <= high;
    const double sd = (high - low) / (2 * HALF_WIDTH_SIGMAS);
    r.sigmas = sd > 0 ? (measured - computed) / sd : NAN;
}

void boundaryResidual(const PhaseParameters (&model)[3], const BandTable (&bands)[3], PointResidual& r,
                      GibbsCurves& curves)
{
    const BoundaryPoint& p = r.point;
    const auto pair = static_cast<PhasePair>(p.pair);
    const int other = 1 - p.side;
    Vector4 tieLine{};
    std::string status;
    const bool stableHere = solveStableTieLine(model, pair, p.T, nullptr, tieLine, curves);
    if (stableHere) {
        r.xComputed = tieLine[p.side];
        r.dx = p.x - r.xComputed;
    } else {
        status = std::string("no stable ") + pairName(p.pair) + " boundary at " + kelvins(p.T);
    }

    // The temperature solve starts from a stable tie-line at the point's temperature, or the
    // nearest one found within SEARCH_STEPS steps either way.
    bool haveStart = stableHere;
    double startT = p.T;
    for (int k = 1; !haveStart && k <= SEARCH_STEPS; ++k)
        for (const double sign : {-1.0, 1.0}) {
            const double T = p.T + sign * k * SEARCH_STEP;
            if (haveStart || !(T > 0)) continue;
            haveStart = solveStableTieLine(model, pair, T, nullptr, tieLine, curves);
            startT = T;
        }
    Vector4 solution{};
    if (!haveStart) {
        status += std::string(status.empty() ? "" : "; ") + "no stable " + pairName(p.pair) + " boundary within " +
                  kelvins(SEARCH_STEP * SEARCH_STEPS) + " of the point";
    } else if (solveBoundaryTemperature(model, pair, p.side, p.x, {startT, tieLine[other], 0, 0}, solution) >=
               ITERATION_LIMIT) {
        status += std::string(status.empty() ? "" : "; ") + "the boundary does not reach this composition";
    } else {
        const double x0 = p.side == 0 ? p.x : solution[1];
        const double x1 = p.side == 0 ? solution[1] : p.x;
        gibbsCurves(model, solution[0], curves);
        if (isStableTieLine(curves, firstPhase(pair), x0, secondPhase(pair), x1)) {
            r.TComputed = solution[0];
            r.dT = p.T - r.TComputed;
        } else {
            status += std::string(status.empty() ? "" : "; ") + "the boundary reaches this composition only where it is "
                                                                 "metastable (" + kelvins(solution[0]) + ")";
        }
    }
    double low = 0;
    double high = 0;
    if (stableHere && bands[p.pair - 1].present && bandAt(bands[p.pair - 1], p.side, p.T, low, high))
        holdAgainstBand(r, p.x, r.xComputed, low, high);
    r.status = status.empty() ? "ok" : status;
}

}  // namespace

void computeResiduals(const PhaseParameters (&model)[3], const std::vector<BoundaryPoint>& points,
                      const BandTable (&bands)[3], const EutecticBand& eutecticBand,
                      std::vector<PointResidual>& residuals)
{
    residuals.clear();
    GibbsCurves curves;
    bool eutecticSolved = false;
    bool haveEutectic = false;
    Vector4 eutectic{};
    for (const BoundaryPoint& point : points) {
        PointResidual r{point, NAN, NAN, NAN, NAN, false, NAN, NAN, false, NAN, ""};
        if (point.pair != 0) {
            boundaryResidual(model, bands, r, curves);
        } else {
            if (!eutecticSolved) {
                haveEutectic = solveStableEutectic(model, eutectic);
                eutecticSolved = true;
            }
            if (haveEutectic) {
                r.TComputed = eutectic[0];
                r.dT = point.T - eutectic[0];
                r.xComputed = eutectic[1];
                if (point.haveX) r.dx = point.x - eutectic[1];
                if (eutecticBand.present && std::isfinite(eutecticBand.low[0]) && std::isfinite(eutecticBand.high[0]))
                    holdAgainstBand(r, point.T, eutectic[0], eutecticBand.low[0], eutecticBand.high[0]);
                r.status = "ok";
            } else {
                r.status = "the model has no stable eutectic";
            }
        }
        residuals.push_back(r);
    }
}
