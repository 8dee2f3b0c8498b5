// Drawing the stable diagram of any binary system from its fields, reactions and sections.
#include "plot/binary_picture.h"

#include <algorithm>
#include <cmath>

#include "formats/tdb_reader.h"
#include "plot/diagram_axes.h"
#include "plot/svg.h"

namespace {

constexpr int WIDTH = 980;
constexpr int HEIGHT = 760;
constexpr double LEFT = 90;
constexpr double TOP = 70;
constexpr double PLOT_WIDTH = 620;
constexpr double PLOT_HEIGHT = 540;
constexpr const char* LINE_COLOUR = "#1f4e99";
constexpr const char* INVARIANT_COLOUR = "#c0392b";

struct Frame {
    double low;
    double high;
    double masses[2];  // both above 0: the axis in weight fraction
    bool weight() const { return masses[0] > 0 && masses[1] > 0; }
    double px(double x) const { return LEFT + (weight() ? weightOf(masses, x) : x) * PLOT_WIDTH; }
    double py(double T) const { return TOP + (high - T) / (high - low) * PLOT_HEIGHT; }
    bool inside(double T) const { return T >= low && T <= high; }
};

const std::string& nameOf(const BinarySystem& system, int phase)
{
    return system.phases[static_cast<std::size_t>(phase)].name;
}

void drawAxes(Svg& svg, const Frame& frame, const BinaryPictureRequest& request)
{
    drawDiagramAxes(svg, {LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, frame.low, frame.high}, request.element, true,
                    frame.weight());
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP - 30, request.title + ": the stable phase diagram", "middle", 18, "#222", 0,
            true);
}

// Each field's two boundaries as lines through its rows, within the axis.
void drawFields(Svg& svg, const Frame& frame, const BinaryDiagram& diagram)
{
    const Stroke line{LINE_COLOUR, 1.8, nullptr, 1};
    for (const Field& field : diagram.fields)
        for (int side = 0; side < 2; ++side) {
            std::vector<std::pair<double, double>> points;
            double previous = NAN;
            for (const FieldRow& row : field.rows) {
                // Rows further apart than a section's step belong to stretches where the field
                // left off and came back (or to two fields of the same phases): not joined.
                const bool apart = std::isfinite(previous) && previous - row.T > DIAGRAM_STEP + 1e-9;
                previous = row.T;
                if (!frame.inside(row.T) || apart) {
                    if (points.size() > 1) svgPolyline(svg, points, line);
                    points.clear();
                    if (!frame.inside(row.T)) continue;
                }
                points.push_back({frame.px(row.x[side]), frame.py(row.T)});
            }
            if (points.size() > 1) svgPolyline(svg, points, line);
        }
    // A gap's two lines close at its critical point, above (or below) the last row that the
    // sections resolved.
    for (const SpecialPoint& p : diagram.points) {
        if (p.kind != SpecialKind::CRITICAL || !frame.inside(p.T)) continue;
        const FieldRow* nearest = nullptr;
        for (const Field& field : diagram.fields) {
            if (field.phase[0] != p.phase[0] || field.phase[1] != p.phase[0]) continue;
            for (const FieldRow* row : {&field.rows.front(), &field.rows.back()})
                if (nearest == nullptr || std::fabs(row->T - p.T) < std::fabs(nearest->T - p.T)) nearest = row;
        }
        if (nearest == nullptr || !frame.inside(nearest->T)) continue;
        svgPolyline(svg,
                    {{frame.px(nearest->x[0]), frame.py(nearest->T)}, {frame.px(p.x), frame.py(p.T)},
                     {frame.px(nearest->x[1]), frame.py(nearest->T)}},
                    line);
    }
}

// Labels of the two-phase fields at their widest row, and of the single-phase fields at the
// widest stretch each phase takes between tie-lines; a field too narrow for its label is left
// unlabelled rather than written over its neighbours.
void drawLabels(Svg& svg, const Frame& frame, const BinarySystem& system, const BinaryDiagram& diagram)
{
    // Rows near the top or bottom of what is drawn of a field crowd its reaction lines and the
    // axis: the label goes to the widest row of its middle.
    const double margin = 0.04 * (frame.high - frame.low);
    for (const Field& field : diagram.fields) {
        double top = -INFINITY;
        double bottom = INFINITY;
        for (const FieldRow& row : field.rows)
            if (frame.inside(row.T)) {
                top = std::max(top, row.T);
                bottom = std::min(bottom, row.T);
            }
        const double inner = std::min(margin, 0.2 * (top - bottom));
        const FieldRow* widest = nullptr;
        for (const FieldRow& row : field.rows)
            if (row.T <= top - inner && row.T >= bottom + inner &&
                (widest == nullptr || row.x[1] - row.x[0] > widest->x[1] - widest->x[0]))
                widest = &row;
        if (widest == nullptr) continue;
        const bool gap = field.phase[0] == field.phase[1];
        const std::string text = nameOf(system, field.phase[0]) + (gap ? "#1 + " : " + ") + nameOf(system, field.phase[1]) +
                                 (gap ? "#2" : "");
        const double width = (widest->x[1] - widest->x[0]) * PLOT_WIDTH;
        const double size = std::min(12.0, width / (0.6 * static_cast<double>(text.size())));
        if (size < 7) continue;
        svgText(svg, frame.px(0.5 * (widest->x[0] + widest->x[1])), frame.py(widest->T) + size / 2, text, "middle", size,
                "#333", 0, false, true);
    }
    const int phases = static_cast<int>(system.phases.size());
    std::vector<double> bestWidth(static_cast<std::size_t>(phases), 0.0);
    std::vector<std::pair<double, double>> at(static_cast<std::size_t>(phases), {0.0, 0.0});
    for (const SectionSummary& s : diagram.sections) {
        if (s.T > frame.high - margin || s.T < frame.low + margin) continue;
        const std::size_t n = s.phases.size();
        for (std::size_t k = 0; k <= n; ++k) {
            const double left = k == 0 ? 0.0 : s.x[k - 1].second;
            const double right = k == n ? 1.0 : s.x[k].first;
            const int phase = k == 0 ? (n == 0 ? s.endPhase[0] : s.phases[0].first) : s.phases[k - 1].second;
            if (phase < 0 || right - left <= bestWidth[static_cast<std::size_t>(phase)]) continue;
            bestWidth[static_cast<std::size_t>(phase)] = right - left;
            at[static_cast<std::size_t>(phase)] = {0.5 * (left + right), s.T};
        }
    }
    for (int p = 0; p < phases; ++p) {
        const std::string& text = nameOf(system, p);
        const std::size_t k = static_cast<std::size_t>(p);
        if (bestWidth[k] * PLOT_WIDTH >= 0.6 * 11 * static_cast<double>(text.size())) {
            svgText(svg, frame.px(at[k].first), frame.py(at[k].second), text, "middle", 13, "#111", 0, true, true);
            continue;
        }
        // A compound, or a solution too narrow for its name: the name along its line, beside the
        // middle of the longest stretch over which a field has it for a side.
        const FieldRow* first = nullptr;
        const FieldRow* last = nullptr;
        int side = 0;
        for (const Field& field : diagram.fields)
            for (int f = 0; f < 2; ++f) {
                if (field.phase[f] != p || field.rows.empty()) continue;
                const FieldRow* a = &field.rows.front();
                const FieldRow* b = &field.rows.back();
                if (first == nullptr || a->T - b->T > first->T - last->T) {
                    first = a;
                    last = b;
                    side = f;
                }
            }
        if (first == nullptr) continue;
        const double T = 0.5 * (std::min(first->T, frame.high) + std::max(last->T, frame.low));
        if (!frame.inside(T)) continue;
        const double x = 0.5 * (first->x[side] + last->x[side]);
        svgText(svg, frame.px(x) - 4, frame.py(T), text, "middle", 10, "#111", -90, false, true);
    }
}

// The invariants as horizontal lines across their three phases, with their kind and temperature
// beside them, listed again in the legend; congruent and critical points as dots.
void drawReactions(Svg& svg, const Frame& frame, const BinaryDiagram& diagram, const BinarySystem& system)
{
    const Stroke line{INVARIANT_COLOUR, 1.6, nullptr, 1};
    double legend = TOP + 10;
    const double legendX = LEFT + PLOT_WIDTH + 80;
    svgText(svg, legendX, legend, "Reactions and special points", "start", 13, "#222", 0, true);
    legend += 20;
    for (const Invariant& i : diagram.invariants) {
        if (!frame.inside(i.T)) continue;
        const double x0 = std::min({i.x[0], i.x[1], i.x[2]});
        const double x1 = std::max({i.x[0], i.x[1], i.x[2]});
        const double y = frame.py(i.T);
        svgLine(svg, frame.px(x0), y, frame.px(x1), y, line);
        svgCircle(svg, frame.px(i.x[1]), y, 2.6, INVARIANT_COLOUR, line);
        const std::string label = std::string(reactionName(i.kind)) + formatNumber(" %.2f K", i.T);
        svgText(svg, legendX, legend, label, "start", 11, INVARIANT_COLOUR);
        svgText(svg, legendX + 150, legend,
                nameOf(system, i.state[0].phase) + ", " + nameOf(system, i.state[1].phase) + ", " +
                    nameOf(system, i.state[2].phase),
                "start", 9, "#555");
        legend += 15;
    }
    for (const SpecialPoint& p : diagram.points) {
        if (!frame.inside(p.T)) continue;
        const bool pure = p.kind == SpecialKind::PURE;
        if (!pure)
            svgCircle(svg, frame.px(p.x), frame.py(p.T), 3.2, p.kind == SpecialKind::CRITICAL ? "#fff" : LINE_COLOUR,
                      {LINE_COLOUR, 1.4, nullptr, 1});
        const char* kind = p.kind == SpecialKind::CRITICAL  ? "critical"
                           : p.kind == SpecialKind::CONGRUENT ? "congruent"
                           : system.phases[static_cast<std::size_t>(p.phase[0])].liquid ? "melting"
                                                                                       : "transformation";
        svgText(svg, legendX, legend, std::string(kind) + formatNumber(" %.2f K", p.T), "start", 11,
                pure ? "#555" : LINE_COLOUR);
        const std::string phases = p.kind == SpecialKind::CRITICAL
                                       ? nameOf(system, p.phase[0])
                                       : nameOf(system, p.phase[0]) + " / " + nameOf(system, p.phase[1]);
        svgText(svg, legendX + 150, legend, (pure ? formatNumber("x = %.0f: ", p.x) : std::string()) + phases, "start", 9,
                "#555");
        legend += 15;
    }
}

void drawMeasured(Svg& svg, const Frame& frame, const BinaryPictureRequest& request)
{
    const Stroke outline{"#000", 1.2, nullptr, 1};
    for (const BinaryPictureRequest::Measured& m : request.measured) {
        if (!(m.T >= frame.low && m.T <= frame.high)) continue;
        const double x = std::isfinite(m.x) ? frame.px(m.x) : LEFT;
        const double y = frame.py(m.T);
        if (m.kind == 'l')
            svgCircle(svg, x, y, 4, "#fff", outline);
        else if (m.kind == 's')
            svgRect(svg, x - 3.5, y - 3.5, 7, 7, "#fff", outline);
        else
            svgPolygon(svg, {{x, y - 5}, {x + 5, y}, {x, y + 5}, {x - 5, y}}, "#fff", 1, &outline);
    }
}

}  // namespace

std::string drawBinaryDiagram(const BinarySystem& system, const BinaryDiagram& diagram,
                              const BinaryPictureRequest& request)
{
    Svg svg;
    svgBegin(svg, WIDTH + 220, HEIGHT, request.title + " phase diagram");
    const Frame frame{request.low, request.high, {request.masses[0], request.masses[1]}};
    drawAxes(svg, frame, request);
    drawFields(svg, frame, diagram);
    drawReactions(svg, frame, diagram, system);
    drawLabels(svg, frame, system, diagram);
    drawMeasured(svg, frame, request);
    svgText(svg, LEFT, HEIGHT - 30,
            "Computed from " + request.source + "." +
                (request.measured.empty() ? ""
                                          : " Measured: circles a liquid's composition, squares a solid's, diamonds "
                                            "arrests at a reaction."),
            "start", 12, "#555");
    if (diagram.unresolved > 0)
        svgText(svg, LEFT, HEIGHT - 12,
                formatNumber("%.0f changes between sections could not be solved as a reaction: the lines near them "
                             "may be incomplete.",
                             diagram.unresolved),
                "start", 12, "#a33");
    svgEnd(svg);
    return svg.text;
}
