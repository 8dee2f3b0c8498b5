// Phase-field names placed by a flood fill of the stable states on a grid.
#include "plot/field_labels.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "equilibrium/stability.h"

namespace {

// The grid of the labels, and the picture's plotting area (px), whose shape sets the distances.
constexpr int FIELD_COLUMNS = 100;
constexpr int FIELD_ROWS = 60;
constexpr double PLOT_WIDTH = 600;
constexpr double PLOT_HEIGHT = 520;

std::string fieldName(const StableState& state)
{
    if (state.first == state.second)
        return state.gap ? std::string(phaseName(state.first)) + " + " + phaseName(state.first) : phaseName(state.first);
    // Liquid first, then BCC before FCC: the names the diagram's readers know.
    PhaseIndex a = state.first;
    PhaseIndex b = state.second;
    if (b == LIQUID || (a == FCC && b == BCC)) std::swap(a, b);
    return std::string(phaseName(a)) + " + " + phaseName(b);
}

// Places a name for each field of the grid of names (row by row from `low` upwards), at the cell
// deepest inside it.
void placeLabels(const std::vector<std::string>& names, double low, double high, std::vector<FieldLabel>& labels)
{
    labels.clear();
    const double cellWidth = PLOT_WIDTH / FIELD_COLUMNS;
    const double cellHeight = PLOT_HEIGHT / FIELD_ROWS;
    std::vector<int> component(names.size(), -1);
    int components = 0;
    for (std::size_t start = 0; start < names.size(); ++start) {
        if (component[start] >= 0) continue;
        // Flood the field of this cell, then find its cell deepest inside.
        std::vector<std::size_t> cells{start};
        component[start] = components;
        for (std::size_t n = 0; n < cells.size(); ++n) {
            const int i = static_cast<int>(cells[n] % FIELD_COLUMNS);
            const int j = static_cast<int>(cells[n] / FIELD_COLUMNS);
            const int neighbours[4][2] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
            for (const auto& [ni, nj] : neighbours) {
                if (ni < 0 || nj < 0 || ni >= FIELD_COLUMNS || nj >= FIELD_ROWS) continue;
                const std::size_t next = static_cast<std::size_t>(nj * FIELD_COLUMNS + ni);
                if (component[next] < 0 && names[next] == names[start]) {
                    component[next] = components;
                    cells.push_back(next);
                }
            }
        }
        std::vector<std::size_t> border;
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (component[c] == components) continue;
            const int i = static_cast<int>(c % FIELD_COLUMNS);
            const int j = static_cast<int>(c / FIELD_COLUMNS);
            const bool touches = (i > 0 && component[c - 1] == components) ||
                                 (i + 1 < FIELD_COLUMNS && component[c + 1] == components) ||
                                 (j > 0 && component[c - FIELD_COLUMNS] == components) ||
                                 (j + 1 < FIELD_ROWS && component[c + FIELD_COLUMNS] == components);
            if (touches) border.push_back(c);
        }
        ++components;
        if (cells.size() < 6) continue;  // a sliver: no room for a name
        std::size_t best = cells[cells.size() / 2];
        double bestDepth = -1;
        for (const std::size_t c : cells) {
            // The frame of the plot bounds a field's room as its neighbours do.
            const double i = static_cast<double>(c % FIELD_COLUMNS) + 0.5;
            const double j = static_cast<double>(c / FIELD_COLUMNS) + 0.5;
            const double toSide = std::min(i, FIELD_COLUMNS - i) * cellWidth;
            const double toEdge = std::min(j, FIELD_ROWS - j) * cellHeight * 2;
            double depth = std::min(toSide * toSide, toEdge * toEdge);
            for (const std::size_t b : border) {
                const double dx = (static_cast<double>(c % FIELD_COLUMNS) - static_cast<double>(b % FIELD_COLUMNS)) * cellWidth;
                const double dy = (static_cast<double>(c / FIELD_COLUMNS) - static_cast<double>(b / FIELD_COLUMNS)) * cellHeight;
                depth = std::min(depth, dx * dx + dy * dy * 4);  // text is wider than high
            }
            if (depth > bestDepth) {
                bestDepth = depth;
                best = c;
            }
        }
        const double x = (static_cast<double>(best % FIELD_COLUMNS) + 0.5) / FIELD_COLUMNS;
        const double T = low + (static_cast<double>(best / FIELD_COLUMNS) + 0.5) / FIELD_ROWS * (high - low);
        labels.push_back({names[best], x, T});
    }
}

}  // namespace

void labelFields(const PhaseParameters (&model)[3], double low, double high, std::vector<FieldLabel>& labels)
{
    std::vector<double> queries(FIELD_COLUMNS);
    for (int i = 0; i < FIELD_COLUMNS; ++i) queries[i] = (i + 0.5) / FIELD_COLUMNS;
    std::vector<std::string> names(FIELD_COLUMNS * FIELD_ROWS);
    GibbsCurves curves;
    std::vector<StableState> states;
    for (int j = 0; j < FIELD_ROWS; ++j) {
        const double T = low + (j + 0.5) / FIELD_ROWS * (high - low);
        gibbsCurves(model, T, curves);
        stableStates(curves, queries, states);
        for (int i = 0; i < FIELD_COLUMNS; ++i) names[j * FIELD_COLUMNS + i] = fieldName(states[i]);
    }
    placeLabels(names, low, high, labels);
}

void labelFields(const StableDiagram& diagram, const std::string (&phases)[3], double low, double high,
                 std::vector<FieldLabel>& labels)
{
    std::vector<std::string> names(FIELD_COLUMNS * FIELD_ROWS);
    for (int j = 0; j < FIELD_ROWS; ++j) {
        const double T = low + (j + 0.5) / FIELD_ROWS * (high - low);
        // The stable tie-lines of every pair at T, then each composition in one of them or, where
        // in none, in the phase lowest there.
        TieLine lines[3][4];
        int count[3];
        for (int t = 0; t < 3; ++t) count[t] = stableTieLines(diagram, static_cast<PhasePair>(t + 1), T, lines[t], 4);
        PhaseCurve curves[3];
        const bool haveCurves = diagramCurves(diagram, T, curves);
        for (int i = 0; i < FIELD_COLUMNS; ++i) {
            const double x = (i + 0.5) / FIELD_COLUMNS;
            std::string& name = names[j * FIELD_COLUMNS + i];
            for (int t = 0; t < 3 && name.empty(); ++t)
                for (int k = 0; k < count[t] && name.empty(); ++k)
                    if (std::fmin(lines[t][k].x[0], lines[t][k].x[1]) <= x && x <= std::fmax(lines[t][k].x[0], lines[t][k].x[1])) {
                        const auto pair = static_cast<PhasePair>(t + 1);
                        name = phases[firstPhase(pair)] + " + " + phases[secondPhase(pair)];
                    }
            if (name.empty() && haveCurves) name = phases[lowestCurveAt(curves, x, T)];
        }
    }
    placeLabels(names, low, high, labels);
}
