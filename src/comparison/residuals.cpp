// Residuals of measured boundary points, solved directly on the model.
#include "comparison/residuals.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "equilibrium/stable_diagram.h"

namespace {

// Half the width of a 95 % interval in standard deviations of a normal distribution.
constexpr double HALF_WIDTH_SIGMAS = 1.959963984540054;

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

void boundaryResidual(StableDiagram& diagram, const BandTable (&bands)[3], const PhaseNames& names, PointResidual& r)
{
    const BoundaryPoint& p = r.point;
    const auto pair = static_cast<PhasePair>(p.pair);
    const PhaseIndex phase = p.side == 0 ? firstPhase(pair) : secondPhase(pair);
    std::string status;
    const auto addStatus = [&status](const std::string& reason) { status += (status.empty() ? "" : "; ") + reason; };

    // The phase's composition on the stable boundary at the point's temperature: of the pair's
    // stable tie-lines there (a pair may have one on either side), the one nearest the point.
    TieLine lines[4];
    const int n = stableTieLines(diagram, pair, p.T, lines, 4);
    for (int i = 0; i < n; ++i)
        if (i == 0 || std::fabs(lines[i].x[p.side] - p.x) < std::fabs(r.xComputed - p.x)) r.xComputed = lines[i].x[p.side];
    if (n > 0)
        r.dx = p.x - r.xComputed;
    else
        addStatus("no stable " + pairName(names, p.pair) + " boundary at " + kelvins(p.T));

    // The temperature at which the stable boundary reaches the point's composition, nearest the
    // point's own where it does so more than once.
    double T = 0;
    TieLine line{};
    double range[2] = {0, 0};
    switch (boundaryTemperature(diagram, pair, p.side, p.x, p.T, T, line, range)) {
    case Reach::FOUND:
        r.TComputed = T;
        r.dT = p.T - T;
        break;
    case Reach::NEVER: {
        char text[200];
        std::snprintf(text, sizeof text, "the stable %s boundary never reaches this composition: its %s composition lies "
                      "between %.6g and %.6g", pairName(names, p.pair).c_str(), names.phase[phase].c_str(), range[0],
                      range[1]);
        addStatus(text);
        break;
    }
    case Reach::NO_BOUNDARY:
        addStatus("the model has no stable " + pairName(names, p.pair) + " boundary at any temperature");
        break;
    }
    double low = 0;
    double high = 0;
    if (n > 0 && bands[p.pair - 1].present && bandAt(bands[p.pair - 1], p.side, p.T, low, high))
        holdAgainstBand(r, p.x, r.xComputed, low, high);
    r.status = status.empty() ? "ok" : status;
}

}  // namespace

void computeResiduals(StableDiagram& diagram, const std::vector<BoundaryPoint>& points, const BandTable (&bands)[3],
                      const EutecticBand& eutecticBand, std::vector<PointResidual>& residuals, const PhaseNames& names)
{
    residuals.clear();
    const Vector4& eutectic = diagram.eutectic;
    for (const BoundaryPoint& point : points) {
        PointResidual r{point, NAN, NAN, NAN, NAN, false, NAN, NAN, false, NAN, "", "", ""};
        if (point.pair != 0) {
            boundaryResidual(diagram, bands, names, r);
        } else {
            if (diagram.haveEutectic) {
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
