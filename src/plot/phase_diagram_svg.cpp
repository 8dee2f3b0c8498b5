// The SVG drawing of the phase diagram's description.
#include "plot/phase_diagram_svg.h"

#include <cmath>

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

struct Frame {
    double low;  // K at the bottom of the plot
    double high;
    double px(double x) const { return LEFT + x * PLOT_WIDTH; }
    double py(double T) const { return TOP + (high - T) / (high - low) * PLOT_HEIGHT; }
};

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

void drawEutectic(Svg& svg, const EutecticMark& e, const Frame& frame)
{
    const Stroke line{"#000", 1.8, e.stable ? nullptr : METASTABLE_DASH, e.stable ? 1.0 : 0.6};
    const double y = frame.py(e.T);
    svgLine(svg, frame.px(e.xFCC), y, frame.px(e.xBCC), y, line);
    svgCircle(svg, frame.px(e.xL), y, 4.5, e.stable ? "#000" : "#fff", {"#000", 1.2, nullptr, 1});
    if (e.interval) {
        const Stroke bar{"#000", 1.3, nullptr, 1};
        const double x = frame.px(e.xL);
        svgLine(svg, x, frame.py(e.low), x, frame.py(e.high), bar);
        svgLine(svg, x - 6, frame.py(e.low), x + 6, frame.py(e.low), bar);
        svgLine(svg, x - 6, frame.py(e.high), x + 6, frame.py(e.high), bar);
    }
    svgText(svg, frame.px(e.xL), y + 20, e.label, "middle", 13, "#000", 0, true);
}

}  // namespace

std::string drawPhaseDiagram(const PhaseDiagram& diagram)
{
    const Frame frame{diagram.low, diagram.high};
    Svg svg;
    svgBegin(svg, WIDTH, HEIGHT, "Phase diagram of Ks-Ps");
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, "Phase diagram of Ks-Ps", "middle", 20, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56,
            "Liquid, BCC and FCC from the fitted model; solid lines stable, dashed lines metastable", "middle", 12,
            "#555");
    drawAxes(svg, frame);
    for (const FieldLabel& field : diagram.fields)
        svgText(svg, frame.px(field.x), frame.py(field.T) + 4, field.name, "middle", 13, "#555");
    std::vector<std::pair<double, double>> points;
    for (const BandArea& band : diagram.bands) {
        points.clear();
        for (const auto& [x, T] : band.outline) points.push_back({frame.px(x), frame.py(T)});
        svgPolygon(svg, points, PAIR_COLOURS[band.pair], 0.2);
    }
    for (const DiagramLine& line : diagram.lines) {
        points.clear();
        for (const auto& [x, T] : line.segment.points) points.push_back({frame.px(x), frame.py(T)});
        const Stroke stroke = line.segment.stable ? Stroke{PAIR_COLOURS[line.pair], 2.2, nullptr, 1}
                                                  : Stroke{PAIR_COLOURS[line.pair], 1.8, METASTABLE_DASH, METASTABLE_OPACITY};
        svgPolyline(svg, points, stroke);
    }
    if (diagram.eutectic.shown) drawEutectic(svg, diagram.eutectic, frame);
    drawLegend(svg, diagram.bandsPresent);

    double y = TOP + PLOT_HEIGHT + 80;
    for (const std::string& note : diagram.notes) {
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
