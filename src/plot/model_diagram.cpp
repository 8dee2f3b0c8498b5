// A model's stable diagram described for the picture.
#include "plot/model_diagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "equilibrium/diagram_hull.h"

namespace {

std::string formatted(const char* pattern, double a, double b = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

void defaultDiagramRange(const StableDiagram& stable, double& low, double& high)
{
    double top = -INFINITY;
    double bottom = INFINITY;
    for (const MeltingPoint& m : stable.melting)
        if (m.exists) {
            top = std::max(top, m.T);
            bottom = std::min(bottom, m.T);
        }
    if (stable.haveEutectic) bottom = std::min(bottom, stable.eutectic[0]);
    if (!std::isfinite(top) || !std::isfinite(bottom)) {
        low = lowestTemperature(stable);
        high = std::min(highestTemperature(stable), low + 1000);
        return;
    }
    low = std::max(std::floor((bottom - 150) / 10) * 10, std::ceil(lowestTemperature(stable)));
    high = std::min(std::ceil((top + 30) / 10) * 10, std::floor(highestTemperature(stable)));
}

namespace {

// The points (x, T) of one side of a pair's stable boundary: the rows, and the exact ends inside
// the axis, by temperature.
std::vector<std::pair<double, double>> sidePoints(const StableDiagram& stable, const BoundaryTable& table, PhasePair pair,
                                                  int side, double low, double high)
{
    std::vector<std::pair<double, double>> points;
    for (const BoundaryRow& row : table.rows) points.push_back({row.x[side], static_cast<double>(row.T)});
    if (stable.haveEutectic && stable.eutectic[0] >= low && stable.eutectic[0] <= high) {
        const Vector4& e = stable.eutectic;
        const PhaseIndex phase = side == 0 ? firstPhase(pair) : secondPhase(pair);
        points.push_back({e[1 + phase], e[0]});
    }
    for (int end = 0; end < 2; ++end) {
        const MeltingPoint& m = stable.melting[end];
        if (m.exists && firstPhase(pair) == LIQUID && secondPhase(pair) == m.solid && m.T >= low && m.T <= high)
            points.push_back({end == 0 ? 0.0 : 1.0, m.T});
    }
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return points;
}

}  // namespace

void describeModelDiagram(const StableDiagram& stable, const ModelDiagramRequest& request, PhaseDiagram& diagram)
{
    diagram = PhaseDiagram{};
    diagram.names = request.names;
    diagram.celsius = request.celsius;
    if (request.rangeGiven) {
        diagram.low = std::max(request.low, lowestTemperature(stable));
        diagram.high = std::min(request.high, highestTemperature(stable));
        if (diagram.low > request.low || diagram.high < request.high)
            diagram.notes.push_back(formatted("The model holds from %g K to %g K: the axis is cut to them.",
                                              lowestTemperature(stable), highestTemperature(stable)));
    } else {
        defaultDiagramRange(stable, diagram.low, diagram.high);
    }
    diagram.haveRows = true;
    const int first = static_cast<int>(std::ceil(diagram.low));
    const int last = static_cast<int>(std::floor(diagram.high));
    // The three pairs at each temperature in turn, so that those not continued from the temperature
    // before share one lower hull.
    const int step = std::max(1, request.step);
    BoundaryTable tables[3];
    TieLine previous[3] = {};
    bool havePrevious[3] = {false, false, false};
    SharedHull hull;
    for (int T = first; T <= last; T = T < last ? std::min(T + step, last) : last + 1)
        for (int t = 0; t < 3; ++t) {
            TieLine line{};
            havePrevious[t] = stableTieLine(stable, static_cast<PhasePair>(t + 1), T,
                                            havePrevious[t] ? &previous[t] : nullptr, line, &hull);
            if (!havePrevious[t]) continue;
            previous[t] = line;
            tables[t].rows.push_back({T, {line.x[0], line.x[1]}, 0, true});
        }
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        const BoundaryTable& table = tables[t];
        for (int side = 0; side < 2; ++side) {
            const std::vector<std::pair<double, double>> points = sidePoints(stable, table, pair, side, diagram.low, diagram.high);
            for (std::size_t i = 0; i < points.size(); ++i) {
                // A new piece where the boundary leaves off for more than a kelvin or jumps.
                const bool continues = i > 0 && points[i].second - points[i - 1].second <= step + 1e-9 &&
                                       std::fabs(points[i].first - points[i - 1].first) <= JUMP_LIMIT;
                if (!continues) diagram.lines.push_back({t, {{}, true}});
                diagram.lines.back().segment.points.push_back(points[i]);
            }
        }
        if (table.rows.empty() && !request.linesOnly)
            diagram.notes.push_back(pairLabel(request.names, t, "/") + " has no stable boundary within the axis.");
    }
    if (request.linesOnly) return;
    labelFields(stable, request.names.phases, diagram.low, diagram.high, diagram.fields);
    for (const MeasuredMark& mark : request.measured)
        if (mark.T >= diagram.low && mark.T <= diagram.high && mark.x >= 0 && mark.x <= 1) diagram.measured.push_back(mark);
    if (diagram.measured.size() < request.measured.size())
        diagram.notes.push_back(std::to_string(request.measured.size() - diagram.measured.size()) +
                                " measured points lie outside the picture's range and are not drawn.");
    EutecticMark& mark = diagram.eutectic;
    mark = EutecticMark{};
    if (stable.haveEutectic && stable.eutectic[0] >= diagram.low && stable.eutectic[0] <= diagram.high) {
        const Vector4& e = stable.eutectic;
        mark = {true, true, e[0], e[1], e[2], e[3], false, 0, 0, formatted("Eutectic %.2f K", e[0])};
        if (request.celsius) mark.label += formatted(" (%.2f \u00b0C)", e[0] - 273.15);
    } else if (!stable.haveEutectic) {
        diagram.notes.push_back("The model has no stable eutectic within its temperatures.");
    }
}
