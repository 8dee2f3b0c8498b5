// The SVG drawing of the phase diagram's description.
#include "plot/phase_diagram_svg.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "plot/diagram_axes.h"
#include "plot/svg.h"

namespace {

constexpr int WIDTH = 960;
constexpr int HEIGHT = 740;
constexpr double LEFT = 90;
constexpr double TOP = 80;
constexpr double PLOT_WIDTH = 600;
constexpr double PLOT_HEIGHT = 520;

constexpr const char* PAIR_COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c"};
constexpr const char* METASTABLE_DASH = "7 5";
constexpr double METASTABLE_OPACITY = 0.45;

// Characters of a line of a note at the foot of the picture.
constexpr std::size_t NOTE_CHARACTERS = 125;
constexpr double NOTES_TOP = TOP + PLOT_HEIGHT + 80;  // the baseline of the notes' first line
constexpr double NOTE_LINE = 16;

struct Frame {
    double low;  // K at the bottom of the plot
    double high;
    double px(double x) const { return LEFT + x * PLOT_WIDTH; }
    double py(double T) const { return TOP + (high - T) / (high - low) * PLOT_HEIGHT; }
};

// The legend's left edge: further right where a Celsius axis takes the room beside the plot.
double legendLeft(const PhaseDiagram& diagram) { return LEFT + PLOT_WIDTH + (diagram.celsius ? 70 : 30); }

void drawAxes(Svg& svg, const Frame& frame, const PhaseDiagram& diagram)
{
    drawDiagramAxes(svg, {LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, frame.low, frame.high}, diagram.names.element,
                    diagram.celsius);
}

// A text's box in pixels, from its anchor, size and length (an average letter is 0.6 em wide).
struct Box {
    double left;
    double top;
    double right;
    double bottom;
    bool overlaps(const Box& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

Box textBox(double x, double baseline, const std::string& text, double size, bool centred)
{
    const double width = 0.6 * size * static_cast<double>(text.size());
    const double left = centred ? x - width / 2 : x;
    return {left, baseline - size, left + width, baseline + 0.3 * size};
}

// A measured point: a circle for a liquid's composition, a square for a solid's in equilibrium
// with the liquid, a triangle for a solid's with the other solid, a diamond for a eutectic arrest;
// hollow where it lies outside the 95 % band.
void drawMarker(Svg& svg, double x, double y, MeasuredKind kind, const char* colour, bool hollow)
{
    const char* fill = hollow ? "#fff" : colour;
    const Stroke edge{colour, 1.4, nullptr, 1};
    constexpr double R = 4.5;
    switch (kind) {
    case LIQUIDUS_POINT:
        svgCircle(svg, x, y, R, fill, edge);
        return;
    case SOLIDUS_POINT:
        svgPolygon(svg, {{x - R, y - R}, {x + R, y - R}, {x + R, y + R}, {x - R, y + R}}, fill, 1, &edge);
        return;
    case SOLVUS_POINT:
        svgPolygon(svg, {{x, y - R - 1}, {x + R + 1, y + R}, {x - R - 1, y + R}}, fill, 1, &edge);
        return;
    case EUTECTIC_ARREST:
        break;
    }
    svgPolygon(svg, {{x, y - R - 1.5}, {x + R + 1.5, y}, {x, y + R + 1.5}, {x - R - 1.5, y}}, fill, 1, &edge);
}

// The legend lists what the picture draws, and only that.
void drawLegend(Svg& svg, const PhaseDiagram& diagram)
{
    bool pairDrawn[3] = {false, false, false};
    bool stableDrawn = false;
    bool metastableDrawn = diagram.eutectic.shown && !diagram.eutectic.stable;
    for (const DiagramLine& line : diagram.lines) {
        pairDrawn[line.pair] = true;
        (line.segment.stable ? stableDrawn : metastableDrawn) = true;
    }
    const bool bands = !diagram.bands.empty() || diagram.eutectic.interval;
    const double x = legendLeft(diagram);
    double y = TOP + 10;
    for (int p = 0; p < 3; ++p) {
        if (!pairDrawn[p]) continue;
        svgLine(svg, x, y, x + 36, y, {PAIR_COLOURS[p], 2.2, nullptr, 1});
        svgText(svg, x + 46, y + 4, pairLabel(diagram.names, p, " / "), "start", 13);
        y += 24;
    }
    y += 10;
    if (!diagram.reference.empty()) {
        svgLine(svg, x, y, x + 36, y, {"#888", 1.6, METASTABLE_DASH, 0.9});
        svgText(svg, x + 46, y + 4, diagram.referenceLabel, "start", 13);
        y += 24;
    }
    if (stableDrawn) {
        svgLine(svg, x, y, x + 36, y, {"#444", 2.2, nullptr, 1});
        svgText(svg, x + 46, y + 4, "stable", "start", 13);
        y += 24;
    }
    if (metastableDrawn) {
        svgLine(svg, x, y, x + 36, y, {"#444", 2.2, METASTABLE_DASH, METASTABLE_OPACITY});
        svgText(svg, x + 46, y + 4, "metastable", "start", 13);
        y += 24;
    }
    if (diagram.eutectic.shown) {
        svgLine(svg, x, y, x + 36, y, {"#000", 1.6, nullptr, 1});
        svgCircle(svg, x + 18, y, 4, "#000", {"#000", 1, nullptr, 1});
        svgText(svg, x + 46, y + 4, "eutectic", "start", 13);
        y += 24;
    }
    // Each kind of measured point drawn, by its mark.
    constexpr const char* KIND_NAMES[] = {"liquid measured (liquidus)", "solid against the liquid", "solid against a solid",
                                          "eutectic arrest"};
    bool kindDrawn[4] = {false, false, false, false};
    for (const MeasuredMark& mark : diagram.measured) kindDrawn[mark.kind] = true;
    for (int k = 0; k < 4; ++k) {
        if (!kindDrawn[k]) continue;
        drawMarker(svg, x + 18, y, static_cast<MeasuredKind>(k), "#444", false);
        svgText(svg, x + 46, y + 4, KIND_NAMES[k], "start", 13);
        y += 22;
    }
    if (!diagram.measured.empty() && bands) {
        svgText(svg, x + 46, y, "hollow: outside its 95 % band", "start", 11, "#555");
        y += 22;
    }
    if (!diagram.measured.empty()) y += 2;
    if (bands) {
        const Stroke outline{"#888", 0.8, nullptr, 0.8};
        svgPolygon(svg, {{x, y - 6}, {x + 36, y - 6}, {x + 36, y + 6}, {x, y + 6}}, "#888", 0.2, &outline);
        svgText(svg, x + 46, y + 4, "95 % interval from", "start", 13);
        svgText(svg, x + 46, y + 20, "the measured scatter", "start", 13);
    }
}

// The eutectic: its three-phase line, the liquid's point, the 95 % interval of its temperature as
// an error bar with caps beside the point, and its label with a halo. Returns the label's box.
Box drawEutectic(Svg& svg, const EutecticMark& e, const Frame& frame)
{
    const Stroke line{"#000", 1.8, e.stable ? nullptr : METASTABLE_DASH, e.stable ? 1.0 : 0.6};
    const double y = frame.py(e.T);
    svgLine(svg, frame.px(e.xFCC), y, frame.px(e.xBCC), y, line);
    if (e.interval) {
        const Stroke bar{"#000", 1.6, nullptr, 1};
        const double x = frame.px(e.xL) + 14;
        // At least 4 px either side, so that an interval of a few kelvins on a wide axis still
        // shows; the label gives its ends.
        const double low = std::max(frame.py(e.low), y + 4);
        const double high = std::min(frame.py(e.high), y - 4);
        svgLine(svg, x, low, x, high, bar);
        svgLine(svg, x - 6, low, x + 6, low, bar);
        svgLine(svg, x - 6, high, x + 6, high, bar);
    }
    // The liquid's point ringed in white, over any measured arrest drawn at the same place.
    svgCircle(svg, frame.px(e.xL), y, 5, e.stable ? "#000" : "#fff", {"#fff", 1.5, nullptr, 1});
    svgCircle(svg, frame.px(e.xL), y, 4, e.stable ? "#000" : "#fff", {"#000", 1.2, nullptr, 1});
    const double labelX = frame.px(e.xL);
    svgText(svg, labelX, y + 20, e.label, "middle", 13, "#000", 0, true, true);
    return textBox(labelX, y + 20, e.label, 13, true);
}

// The notes as lines of the picture, each note wrapped at blanks to its width.
std::vector<std::string> wrappedNotes(const std::vector<std::string>& notes)
{
    std::vector<std::string> lines;
    for (const std::string& note : notes) {
        std::size_t start = 0;
        while (start < note.size()) {
            std::size_t end = note.size();
            if (end - start > NOTE_CHARACTERS) {
                end = note.rfind(' ', start + NOTE_CHARACTERS);
                if (end == std::string::npos || end <= start) end = start + NOTE_CHARACTERS;
            }
            lines.push_back(note.substr(start, end - start));
            start = end < note.size() && note[end] == ' ' ? end + 1 : end;
        }
    }
    return lines;
}

}  // namespace

std::string drawPhaseDiagram(const PhaseDiagram& diagram)
{
    const Frame frame{diagram.low, diagram.high};
    // The picture grows downwards to hold every line of its notes.
    const std::vector<std::string> noteLines = wrappedNotes(diagram.notes);
    const double lastNote = NOTES_TOP + NOTE_LINE * (static_cast<double>(noteLines.size()) - 1);
    const int height = std::max(HEIGHT, static_cast<int>(std::ceil(lastNote + 14)));
    Svg svg;
    const DiagramNames& names = diagram.names;
    const std::string title = "Phase diagram of " + names.system;
    svgBegin(svg, WIDTH, height, title);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, title, "middle", 20, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56,
            names.phases[0] + ", " + names.phases[1] + " and " + names.phases[2] + " from " + names.source +
                "; solid lines stable, dashed lines metastable",
            "middle", 12, "#555");
    drawAxes(svg, frame, diagram);
    std::vector<std::pair<double, double>> points;
    for (const BandArea& band : diagram.bands) {
        // Outlined, so that a band narrower than its line still shows.
        points.clear();
        for (const auto& [x, T] : band.outline) points.push_back({frame.px(x), frame.py(T)});
        const Stroke outline{PAIR_COLOURS[band.pair], 0.9, nullptr, 0.8};
        svgPolygon(svg, points, PAIR_COLOURS[band.pair], 0.3, &outline);
    }
    for (const DiagramLine& line : diagram.reference) {
        points.clear();
        for (const auto& [x, T] : line.segment.points) points.push_back({frame.px(x), frame.py(T)});
        svgPolyline(svg, points, {"#888", 1.6, METASTABLE_DASH, 0.9});
    }
    for (const DiagramLine& line : diagram.lines) {
        points.clear();
        for (const auto& [x, T] : line.segment.points) points.push_back({frame.px(x), frame.py(T)});
        const Stroke stroke = line.segment.stable ? Stroke{PAIR_COLOURS[line.pair], 2.2, nullptr, 1}
                                                  : Stroke{PAIR_COLOURS[line.pair], 1.8, METASTABLE_DASH, METASTABLE_OPACITY};
        svgPolyline(svg, points, stroke);
    }
    for (const MeasuredMark& mark : diagram.measured)
        drawMarker(svg, frame.px(mark.x), frame.py(mark.T), mark.kind, mark.pair < 0 ? "#555" : PAIR_COLOURS[mark.pair],
                   mark.outsideBand);
    std::vector<Box> taken;
    if (diagram.eutectic.shown) taken.push_back(drawEutectic(svg, diagram.eutectic, frame));
    // The field names, with halos, inside the frame and clear of each other; where a name would
    // touch a drawn line (a narrow field), moved a little sideways or set smaller.
    std::vector<std::pair<double, double>> drawn;
    for (const DiagramLine& line : diagram.lines)
        for (const auto& [x, T] : line.segment.points) drawn.push_back({frame.px(x), frame.py(T)});
    // Capitals run wider than the average letter the boxes assume, and the halo adds 3 px.
    const auto touchesLines = [&](const Box& box) {
        const double wider = 0.1 * (box.right - box.left) + 3;
        for (const auto& [x, y] : drawn)
            if (x > box.left - wider && x < box.right + wider && y > box.top - 3 && y < box.bottom + 3) return true;
        return false;
    };
    // Draws the name at the field's point moved by `shift` px, set at `size`, where it is clear of
    // the names drawn so far and, when `avoidLines`, of the lines.
    const auto place = [&](const FieldLabel& field, double size, double shift, bool avoidLines) {
        const double width = 0.6 * size * static_cast<double>(field.name.size());
        const double x = std::clamp(frame.px(field.x) + shift, LEFT + width / 2 + 4, LEFT + PLOT_WIDTH - width / 2 - 4);
        const double y = std::clamp(frame.py(field.T) + 4, TOP + size + 4, TOP + PLOT_HEIGHT - 6);
        const Box box = textBox(x, y, field.name, size, true);
        if (avoidLines && touchesLines(box)) return false;
        for (const Box& other : taken)
            if (box.overlaps(other)) return false;
        taken.push_back(box);
        svgText(svg, x, y, field.name, "middle", size, "#555", 0, false, true);
        return true;
    };
    for (const FieldLabel& field : diagram.fields) {
        bool placed = false;
        for (const double size : {13.0, 11.0})
            for (const double shift : {0.0, -6.0, 6.0, -12.0, 12.0}) placed = placed || place(field, size, shift, true);
        // No clear place: at the field's deepest point, as long as no other name is there.
        if (!placed) place(field, 13, 0, false);
    }
    drawLegend(svg, diagram);

    double y = NOTES_TOP;
    for (const std::string& line : noteLines) {
        svgText(svg, LEFT, y, line, "start", 12, "#a0522d");
        y += NOTE_LINE;
    }
    svgEnd(svg);
    return svg.text;
}
