// Layout and drawing of the phase diagram.
#include "plot/phase_diagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "equilibrium/stability.h"
#include "equilibrium/stable_solves.h"
#include "plot/svg.h"

namespace {

constexpr int WIDTH = 960;
constexpr int HEIGHT = 740;
constexpr double LEFT = 90;
constexpr double TOP = 80;
constexpr double PLOT_WIDTH = 600;
constexpr double PLOT_HEIGHT = 520;

constexpr const char* PAIR_COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c"};
constexpr const char* PAIR_NAMES[] = {"Liquid / FCC", "Liquid / BCC", "BCC / FCC"};
constexpr const char* METASTABLE_DASH = "7 5";
constexpr double METASTABLE_OPACITY = 0.45;

// Characters of a line of a note at the foot of the picture.
constexpr std::size_t NOTE_CHARACTERS = 125;

// Grid of the phase-field labels.
constexpr int FIELD_COLUMNS = 100;
constexpr int FIELD_ROWS = 60;

struct Frame {
    double low;  // K at the bottom of the plot
    double high;
    double px(double x) const { return LEFT + x * PLOT_WIDTH; }
    double py(double T) const { return TOP + (high - T) / (high - low) * PLOT_HEIGHT; }
};

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

// Names each phase field that appears, at the grid cell farthest from the other fields.
void labelFields(Svg& svg, const DiagramData& data, const Frame& frame)
{
    std::vector<double> queries(FIELD_COLUMNS);
    for (int i = 0; i < FIELD_COLUMNS; ++i) queries[i] = (i + 0.5) / FIELD_COLUMNS;
    std::vector<std::string> names(FIELD_COLUMNS * FIELD_ROWS);
    GibbsCurves curves;
    std::vector<StableState> states;
    for (int j = 0; j < FIELD_ROWS; ++j) {
        const double T = frame.low + (j + 0.5) / FIELD_ROWS * (frame.high - frame.low);
        gibbsCurves(data.model, T, curves);
        stableStates(curves, queries, states);
        for (int i = 0; i < FIELD_COLUMNS; ++i) names[j * FIELD_COLUMNS + i] = fieldName(states[i]);
    }

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
        const double T = frame.low + (static_cast<double>(best / FIELD_COLUMNS) + 0.5) / FIELD_ROWS * (frame.high - frame.low);
        svgText(svg, frame.px(x), frame.py(T) + 4, names[best], "middle", 13, "#555");
    }
}

void drawAxes(Svg& svg, const Frame& frame)
{
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1.2, nullptr, 1};
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.px(i / 10.0);
        svgLine(svg, x, TOP, x, TOP + PLOT_HEIGHT, grid);
        svgLine(svg, x, TOP + PLOT_HEIGHT, x, TOP + PLOT_HEIGHT + 6, axis);
        svgText(svg, x, TOP + PLOT_HEIGHT + 22, formatNumber("%.1f", i / 10.0), "middle", 12);
    }
    const double step = niceStep(frame.high - frame.low, 8);
    for (double T = std::ceil(frame.low / step) * step; T <= frame.high + 1e-9; T += step) {
        const double y = frame.py(T);
        svgLine(svg, LEFT, y, LEFT + PLOT_WIDTH, y, grid);
        svgLine(svg, LEFT - 6, y, LEFT, y, axis);
        svgText(svg, LEFT - 10, y + 4, formatNumber("%.0f", T), "end", 12);
    }
    svgRect(svg, LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, "none", axis);
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + PLOT_HEIGHT + 50, "Mole fraction of Ks", "middle", 15);
    svgText(svg, 28, TOP + PLOT_HEIGHT / 2, "Temperature (K)", "middle", 15, "#222", -90);
}

// The 2.5 to 97.5 percent band of each composition column, in runs of neighbouring rows.
void drawBands(Svg& svg, const DiagramData& data, const Frame& frame)
{
    for (int t = 0; t < 3; ++t) {
        const std::vector<BandTableRow>& rows = data.bands[t].rows;
        for (int c = 0; c < 2; ++c) {
            std::size_t start = 0;
            while (start < rows.size()) {
                std::size_t end = start;
                auto usable = [&](const BandTableRow& row) {
                    return row.low[c] >= 0 && row.high[c] <= 1 && row.low[c] <= row.high[c] &&
                           row.T >= frame.low && row.T <= frame.high;
                };
                if (!usable(rows[start])) {
                    ++start;
                    continue;
                }
                while (end + 1 < rows.size() && usable(rows[end + 1]) && static_cast<long long>(rows[end + 1].T) - rows[end].T <= 10) ++end;
                std::vector<std::pair<double, double>> outline;
                for (std::size_t r = start; r <= end; ++r) outline.push_back({frame.px(rows[r].low[c]), frame.py(rows[r].T)});
                for (std::size_t r = end + 1; r-- > start;) outline.push_back({frame.px(rows[r].high[c]), frame.py(rows[r].T)});
                svgPolygon(svg, outline, PAIR_COLOURS[t], 0.2);
                start = end + 1;
            }
        }
    }
}

void drawLegend(Svg& svg, bool bands)
{
    const double x = LEFT + PLOT_WIDTH + 30;
    double y = TOP + 10;
    for (int p = 0; p < 3; ++p) {
        svgLine(svg, x, y, x + 36, y, {PAIR_COLOURS[p], 2.2, nullptr, 1});
        svgText(svg, x + 46, y + 4, PAIR_NAMES[p], "start", 13);
        y += 24;
    }
    y += 10;
    svgLine(svg, x, y, x + 36, y, {"#444", 2.2, nullptr, 1});
    svgText(svg, x + 46, y + 4, "stable", "start", 13);
    y += 24;
    svgLine(svg, x, y, x + 36, y, {"#444", 2.2, METASTABLE_DASH, METASTABLE_OPACITY});
    svgText(svg, x + 46, y + 4, "metastable", "start", 13);
    y += 24;
    svgLine(svg, x, y, x + 36, y, {"#000", 1.6, nullptr, 1});
    svgCircle(svg, x + 18, y, 4, "#000", {"#000", 1, nullptr, 1});
    svgText(svg, x + 46, y + 4, "eutectic", "start", 13);
    if (bands) {
        y += 24;
        svgRect(svg, x, y - 6, 36, 12, "#888", {"none", 0, nullptr, 1});
        svgText(svg, x + 46, y + 4, "95 % interval from", "start", 13);
        svgText(svg, x + 46, y + 20, "the measured scatter", "start", 13);
    }
}

// The lowest temperature of a stable row in a table, or none.
bool lowestStable(const BoundaryTable& table, const std::vector<bool>& stable, int& T)
{
    bool found = false;
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        if (stable[r] && (!found || table.rows[r].T < T)) {
            T = table.rows[r].T;
            found = true;
        }
    return found;
}

// What the picture says when it cannot show the eutectic.
std::string eutecticNote(const DiagramData& data, const std::vector<bool> (&stable)[3], const std::string& reason)
{
    std::string note = reason;
    int liquidFcc = 0;
    int liquidBcc = 0;
    const bool haveFcc = lowestStable(data.tables[0], stable[0], liquidFcc);
    const bool haveBcc = lowestStable(data.tables[1], stable[1], liquidBcc);
    if (haveFcc && haveBcc) {
        const long long low = static_cast<long long>(std::min(liquidFcc, liquidBcc)) - 1;
        const long long high = std::max(liquidFcc, liquidBcc);
        char text[200];
        std::snprintf(text, sizeof text,
                      "; the stable Liquid/FCC and Liquid/BCC boundaries end at %d K and %d K, so the eutectic lies "
                      "between %lld K and %lld K.",
                      liquidFcc, liquidBcc, low, high);
        note += text;
    } else {
        note += "; the tables hold no stable Liquid/FCC and Liquid/BCC boundaries to place it.";
    }
    return note;
}

// Which boundaries the picture completed, and where.
std::string completionNote(const std::vector<CompletedStretch>& stretches)
{
    constexpr std::size_t LISTED = 8;
    constexpr const char* NAMES[] = {"Liquid/FCC", "Liquid/BCC", "BCC/FCC"};
    std::string note = "Where the tables hold no converged row but the phases coexist stably, the picture completes "
                       "the boundary from the model: ";
    for (std::size_t i = 0; i < stretches.size() && i < LISTED; ++i) {
        const CompletedStretch& s = stretches[i];
        char text[96];
        if (s.from == s.to)
            std::snprintf(text, sizeof text, "%s%s at %d K", i > 0 ? ", " : "", NAMES[s.pair - 1], s.from);
        else
            std::snprintf(text, sizeof text, "%s%s at %d to %d K", i > 0 ? ", " : "", NAMES[s.pair - 1], s.from, s.to);
        note += text;
    }
    if (stretches.size() > LISTED) note += formatNumber(" and %.0f more stretches", static_cast<double>(stretches.size() - LISTED));
    return note + ".";
}

void drawEutectic(Svg& svg, const DiagramData& data, const Frame& frame, const std::vector<bool> (&stable)[3],
                  std::vector<std::string>& notes)
{
    // The table's row where it is a converged, stable eutectic; else the stable eutectic of the
    // model, solved from fixed start values, with a note on what was wrong with the row.
    EutecticPoint e = data.eutectic;
    std::string problem;
    if (!e.present)
        problem = "The eutectic table holds no row";
    else if (e.count >= 100)
        problem = "The eutectic solve did not converge (iteration count 100)";
    else if (!(e.xFCC > 0 && e.xFCC < 1) || !(e.xBCC > 0 && e.xBCC < 1) || !(e.xL > 0 && e.xL < 1) ||
             !isStableEutectic(data.model, e))
        problem = formatNumber("The eutectic table's row at %.2f K is no stable equilibrium: another phase lies below "
                               "its three-phase line",
                               e.T);
    if (!problem.empty()) {
        Vector4 u{};
        if (solveStableEutectic(data.model, u)) {
            e = {true, u[0], u[1], u[2], u[3], 0};
            notes.push_back(problem + formatNumber("; the picture shows the stable eutectic of the model, solved from "
                                                   "fixed start values, at %.2f K.",
                                                   u[0]));
        } else if (!e.present || e.count >= 100) {
            notes.push_back(eutecticNote(data, stable, problem));
            return;
        }
    }
    if (!(e.T >= frame.low && e.T <= frame.high) || !(e.xFCC > 0 && e.xFCC < 1) ||
        !(e.xBCC > 0 && e.xBCC < 1) || !(e.xL > 0 && e.xL < 1)) {
        char reason[160];
        std::snprintf(reason, sizeof reason, "The eutectic found at %.2f K lies outside the swept range", e.T);
        notes.push_back(eutecticNote(data, stable, reason));
        return;
    }
    const bool stableEutectic = isStableEutectic(data.model, e);
    const Stroke line{"#000", 1.8, stableEutectic ? nullptr : METASTABLE_DASH, stableEutectic ? 1.0 : 0.6};
    const double y = frame.py(e.T);
    svgLine(svg, frame.px(e.xFCC), y, frame.px(e.xBCC), y, line);
    svgCircle(svg, frame.px(e.xL), y, 4.5, stableEutectic ? "#000" : "#fff", {"#000", 1.2, nullptr, 1});
    std::string label = formatNumber("Eutectic %.2f K", e.T);
    const EutecticBand& band = data.eutecticBand;
    if (band.present && band.low[0] <= band.high[0] && std::isfinite(band.low[0]) && std::isfinite(band.high[0])) {
        // The eutectic temperature's 95 % interval from the bootstrap, as an error bar.
        const Stroke bar{"#000", 1.3, nullptr, 1};
        const double x = frame.px(e.xL);
        svgLine(svg, x, frame.py(band.low[0]), x, frame.py(band.high[0]), bar);
        svgLine(svg, x - 6, frame.py(band.low[0]), x + 6, frame.py(band.low[0]), bar);
        svgLine(svg, x - 6, frame.py(band.high[0]), x + 6, frame.py(band.high[0]), bar);
        char interval[96];
        std::snprintf(interval, sizeof interval, " (95 %%: %.1f to %.1f K)", band.low[0], band.high[0]);
        label += interval;
    }
    if (!stableEutectic) {
        label += " (metastable)";
        notes.push_back(formatNumber("The eutectic at %.2f K is metastable: another phase lies below its three-phase line.", e.T));
    }
    svgText(svg, frame.px(e.xL), y + 20, label, "middle", 13, "#000", 0, true);
}

}  // namespace

namespace {

bool isSolved(const BoundaryRow& row)
{
    return row.valid && row.x[0] > 0 && row.x[0] < 1 && row.x[1] > 0 && row.x[1] < 1;
}

// Solves the rows first, first + step, ... up to and including last, each from the one before
// (from `start` for the first, where given), and marks those that gave a stable tie-line.
void walkGap(const PhaseParameters (&model)[3], PhasePair pair, std::vector<BoundaryRow>& rows, std::ptrdiff_t first,
             std::ptrdiff_t last, std::ptrdiff_t step, const BoundaryRow* start, std::vector<bool>& solved,
             GibbsCurves& curves)
{
    bool havePrevious = start != nullptr;
    Vector4 previous = havePrevious ? Vector4{start->x[0], start->x[1], 0, 0} : Vector4{};
    for (std::ptrdiff_t k = first; step > 0 ? k <= last : k >= last; k += step) {
        BoundaryRow& row = rows[static_cast<std::size_t>(k)];
        Vector4 solution{};
        havePrevious = solveStableTieLine(model, pair, row.T, havePrevious ? &previous : nullptr, solution, curves);
        if (!havePrevious) continue;
        previous = solution;
        row = {row.T, {solution[0], solution[1]}, 0, true};
        solved[static_cast<std::size_t>(k)] = true;
    }
}

}  // namespace

void completeBoundaries(const DiagramData& data, BoundaryTable (&completed)[3], std::vector<CompletedStretch>& stretches)
{
    stretches.clear();
    GibbsCurves curves;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        completed[t] = data.tables[t];
        std::vector<BoundaryRow>& rows = completed[t].rows;
        const auto size = static_cast<std::ptrdiff_t>(rows.size());
        std::vector<bool> solved(rows.size(), false);
        for (std::ptrdiff_t i = 0; i < size;) {
            if (isSolved(rows[static_cast<std::size_t>(i)])) {
                ++i;
                continue;
            }
            std::ptrdiff_t j = i;
            while (j + 1 < size && !isSolved(rows[static_cast<std::size_t>(j + 1)])) ++j;
            // The gap i..j: its lower half continued upwards from the row below it, its upper half
            // downwards from the row above it; a gap at an end of the table from its one side.
            const BoundaryRow* below = i > 0 ? &data.tables[t].rows[static_cast<std::size_t>(i - 1)] : nullptr;
            const BoundaryRow* above = j + 1 < size ? &data.tables[t].rows[static_cast<std::size_t>(j + 1)] : nullptr;
            const std::ptrdiff_t split = below != nullptr && above != nullptr ? i + (j - i + 1) / 2
                                        : below != nullptr                    ? j + 1
                                                                              : i;
            walkGap(data.model, pair, rows, i, split - 1, 1, below, solved, curves);
            walkGap(data.model, pair, rows, j, split, -1, above, solved, curves);
            i = j + 1;
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!solved[r]) continue;
            if (r > 0 && solved[r - 1] && !stretches.empty() && static_cast<long long>(stretches.back().to) + 1 == rows[r].T)
                stretches.back().to = rows[r].T;
            else
                stretches.push_back({pair, rows[r].T, rows[r].T});
        }
    }
}

void classifyRows(const DiagramData& data, std::vector<bool> (&stable)[3])
{
    std::map<int, std::vector<std::pair<int, std::size_t>>> rowsAt;  // T -> (table, row)
    for (int t = 0; t < 3; ++t) {
        stable[t].assign(data.tables[t].rows.size(), false);
        for (std::size_t r = 0; r < data.tables[t].rows.size(); ++r) {
            const BoundaryRow& row = data.tables[t].rows[r];
            if (row.valid && row.x[0] > 0 && row.x[0] < 1 && row.x[1] > 0 && row.x[1] < 1)
                rowsAt[row.T].push_back({t, r});
        }
    }
    GibbsCurves curves;
    for (const auto& [T, rows] : rowsAt) {
        gibbsCurves(data.model, T, curves);
        for (const auto& [t, r] : rows) {
            const auto pair = static_cast<PhasePair>(t + 1);
            const BoundaryRow& row = data.tables[t].rows[r];
            stable[t][r] = isStableTieLine(curves, firstPhase(pair), row.x[0], secondPhase(pair), row.x[1]);
        }
    }
}

std::vector<BoundarySegment> boundarySegments(const BoundaryTable& table, int column, const std::vector<bool>& stable)
{
    std::vector<BoundarySegment> segments;
    bool open = false;
    int previousT = 0;
    double previousX = 0;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const BoundaryRow& row = table.rows[r];
        const double x = row.x[column];
        if (!row.valid || !(x > 0 && x < 1)) {
            open = false;
            continue;
        }
        const bool continues = open && row.T == static_cast<long long>(previousT) + 1 && std::fabs(x - previousX) <= JUMP_LIMIT;
        if (!continues) {
            segments.push_back({{}, stable[r]});
        } else if (segments.back().stable != stable[r]) {
            segments.push_back({{{previousX, static_cast<double>(previousT)}}, stable[r]});
        }
        segments.back().points.push_back({x, static_cast<double>(row.T)});
        open = true;
        previousT = row.T;
        previousX = x;
    }
    return segments;
}

bool isStableEutectic(const PhaseParameters (&model)[3], const EutecticPoint& eutectic)
{
    return isStableEutectic(model, Vector4{eutectic.T, eutectic.xL, eutectic.xBCC, eutectic.xFCC});
}

std::string drawPhaseDiagram(const DiagramData& data, std::vector<std::string>& notes)
{
    // What the tables leave out of the stable boundaries, completed from the model.
    DiagramData shown = data;
    std::vector<CompletedStretch> stretches;
    completeBoundaries(data, shown.tables, stretches);
    std::vector<bool> stable[3];
    classifyRows(shown, stable);

    bool haveRange = false;
    Frame frame{0, 0};
    for (const BoundaryTable& table : data.tables)
        for (const BoundaryRow& row : table.rows) {
            if (!haveRange || row.T < frame.low) frame.low = row.T;
            if (!haveRange || row.T > frame.high) frame.high = row.T;
            haveRange = true;
        }
    if (!haveRange) {
        notes.push_back("The tables hold no rows: run phasediagram with an initial temperature below the final one.");
        frame = {500, 1600};
    } else if (frame.high - frame.low < 20) {
        frame.low -= 10;
        frame.high += 10;
    }

    Svg svg;
    svgBegin(svg, WIDTH, HEIGHT, "Phase diagram of Ks-Ps");
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, "Phase diagram of Ks-Ps", "middle", 20, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56,
            "Liquid, BCC and FCC from the fitted model; solid lines stable, dashed lines metastable", "middle", 12,
            "#555");
    drawAxes(svg, frame);
    if (haveRange) labelFields(svg, data, frame);
    drawBands(svg, data, frame);

    for (int t = 0; t < 3; ++t)
        for (int column = 0; column < 2; ++column)
            for (const BoundarySegment& segment : boundarySegments(shown.tables[t], column, stable[t])) {
                std::vector<std::pair<double, double>> points;
                for (const auto& [x, T] : segment.points) points.push_back({frame.px(x), frame.py(T)});
                const Stroke stroke = segment.stable ? Stroke{PAIR_COLOURS[t], 2.2, nullptr, 1}
                                                     : Stroke{PAIR_COLOURS[t], 1.8, METASTABLE_DASH, METASTABLE_OPACITY};
                svgPolyline(svg, points, stroke);
            }
    if (!stretches.empty()) notes.push_back(completionNote(stretches));
    drawEutectic(svg, shown, frame, stable, notes);
    drawLegend(svg, data.bands[0].present || data.bands[1].present || data.bands[2].present);

    double y = TOP + PLOT_HEIGHT + 80;
    for (const std::string& note : notes) {
        // Wrapped at blanks to the width of the picture.
        std::size_t start = 0;
        while (start < note.size()) {
            std::size_t end = note.size();
            if (end - start > NOTE_CHARACTERS) {
                end = note.rfind(' ', start + NOTE_CHARACTERS);
                if (end == std::string::npos || end <= start) end = start + NOTE_CHARACTERS;
            }
            svgText(svg, LEFT, y, note.substr(start, end - start), "start", 12, "#a0522d");
            y += 16;
            start = end < note.size() && note[end] == ' ' ? end + 1 : end;
        }
    }
    svgEnd(svg);
    return svg.text;
}
