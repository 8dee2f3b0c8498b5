// The SVG drawing of a solidification path.
#include "plot/solidification_svg.h"

#include <cmath>

#include "plot/svg.h"

namespace {

constexpr int WIDTH = 900;
constexpr int HEIGHT = 660;
constexpr double LEFT = 90;
constexpr double TOP = 80;
constexpr double PLOT_WIDTH = 540;
constexpr double PLOT_HEIGHT = 440;
constexpr const char* EQUILIBRIUM_COLOUR = "#1f77b4";
constexpr double LABEL_LINE = 14;  // px between two labels' baselines
constexpr const char* SCHEIL_COLOUR = "#d62728";

// The fraction solid axis runs a little beyond 0 and 1, so that the liquid's stretch at fS = 0
// and the last drop at fS = 1 lie inside the frame, not on it.
constexpr double FS_MARGIN = 0.04;

struct Frame {
    double low;
    double high;
    double px(double fs) const { return LEFT + (fs + FS_MARGIN) / (1 + 2 * FS_MARGIN) * PLOT_WIDTH; }
    double py(double T) const { return TOP + (high - T) / (high - low) * PLOT_HEIGHT; }
};

std::vector<std::pair<double, double>> pixels(const Frame& frame, const std::vector<std::pair<double, double>>& points,
                                              double shift = 0)
{
    std::vector<std::pair<double, double>> result;
    for (const auto& [fs, T] : points)
        if (std::isfinite(fs) && std::isfinite(T)) result.push_back({frame.px(fs), frame.py(T) + shift});
    return result;
}

// The second panel's height and its distance below the first.
constexpr double AMOUNT_HEIGHT = 360;
constexpr double AMOUNT_GAP = 120;
constexpr const char* PHASE_COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                         "#8c564b", "#e377c2", "#17becf", "#7f7f7f", "#bcbd22"};

// Each phase's amount against temperature, the panel's top `shift` pixels below the first's.
void drawAmounts(Svg& svg, const SolidificationPicture& picture, double shift)
{
    const Frame frame{picture.low, picture.high};
    const double scale = AMOUNT_HEIGHT / PLOT_HEIGHT;
    const Frame amounts{picture.low, picture.high};
    const auto y = [&](double T) { return TOP + shift + (amounts.py(T) - TOP) * scale; };
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.px(i / 10.0);
        svgLine(svg, x, TOP + shift, x, TOP + shift + AMOUNT_HEIGHT, grid);
        svgText(svg, x, TOP + shift + AMOUNT_HEIGHT + 22, formatNumber("%.1f", i / 10.0), "middle", 12);
    }
    const double step = niceStep(frame.high - frame.low, 6);
    for (double T = std::ceil(frame.low / step) * step; T <= frame.high + 1e-9; T += step) {
        svgLine(svg, LEFT, y(T), LEFT + PLOT_WIDTH, y(T), grid);
        svgText(svg, LEFT - 10, y(T) + 4, formatNumber("%.0f", T), "end", 12);
    }
    svgRect(svg, LEFT, TOP + shift, PLOT_WIDTH, AMOUNT_HEIGHT, "none", {"#222", 1.2, nullptr, 1});
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + shift - 12, "Amount of each phase (moles of atoms per mole of alloy)",
            "middle", 13, "#555");
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + shift + AMOUNT_HEIGHT + 50, "Amount", "middle", 15);
    svgText(svg, 28, TOP + shift + AMOUNT_HEIGHT / 2, "Temperature (K)", "middle", 15, "#222", -90);
    const auto points = [&](const std::vector<std::pair<double, double>>& line) {
        std::vector<std::pair<double, double>> result;
        for (const auto& [a, T] : line)
            if (std::isfinite(a) && std::isfinite(T)) result.push_back({frame.px(a), y(T)});
        return result;
    };
    double legendY = TOP + shift + 10;
    for (std::size_t i = 0; i < picture.phases.size(); ++i) {
        const char* colour = PHASE_COLOURS[i % (sizeof PHASE_COLOURS / sizeof PHASE_COLOURS[0])];
        svgPolyline(svg, points(picture.phases[i].equilibrium), {colour, 2.2, nullptr, 1});
        svgPolyline(svg, points(picture.phases[i].scheil), {colour, 2.2, "8 4", 1});
        const double x = LEFT + PLOT_WIDTH + 30;
        svgLine(svg, x, legendY, x + 36, legendY, {colour, 2.2, nullptr, 1});
        svgText(svg, x + 46, legendY + 4, picture.phases[i].name, "start", 13);
        legendY += 22;
    }
    svgText(svg, LEFT + PLOT_WIDTH + 30, legendY + 8, "solid: equilibrium; dashed: Scheil", "start", 11, "#555");
}

}  // namespace

std::string drawSolidification(const SolidificationPicture& picture)
{
    const Frame frame{picture.low, picture.high};
    Svg svg;
    const double shift = PLOT_HEIGHT + AMOUNT_GAP + 16 * static_cast<double>(picture.notes.size());
    const bool amounts = !picture.phases.empty();
    svgBegin(svg, WIDTH, amounts ? static_cast<int>(HEIGHT + shift - PLOT_HEIGHT + AMOUNT_HEIGHT - 20) : HEIGHT,
             picture.title);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, picture.title, "middle", 19, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56, "Fraction solid on cooling: equilibrium (lever rule) and Scheil (no diffusion in the solid)",
            "middle", 12, "#555");
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1.2, nullptr, 1};
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.px(i / 10.0);
        svgLine(svg, x, TOP, x, TOP + PLOT_HEIGHT, grid);
        svgText(svg, x, TOP + PLOT_HEIGHT + 22, formatNumber("%.1f", i / 10.0), "middle", 12);
    }
    const double step = niceStep(frame.high - frame.low, 8);
    for (double T = std::ceil(frame.low / step) * step; T <= frame.high + 1e-9; T += step) {
        svgLine(svg, LEFT, frame.py(T), LEFT + PLOT_WIDTH, frame.py(T), grid);
        svgText(svg, LEFT - 10, frame.py(T) + 4, formatNumber("%.0f", T), "end", 12);
    }
    svgRect(svg, LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, "none", axis);
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + PLOT_HEIGHT + 50, "Fraction solid", "middle", 15);
    svgText(svg, 28, TOP + PLOT_HEIGHT / 2, "Temperature (K)", "middle", 15, "#222", -90);

    const Stroke equilibriumOutline{EQUILIBRIUM_COLOUR, 0.8, nullptr, 0.6};
    const Stroke scheilOutline{SCHEIL_COLOUR, 0.8, nullptr, 0.6};
    svgPolygon(svg, pixels(frame, picture.equilibriumBand), EQUILIBRIUM_COLOUR, 0.2, &equilibriumOutline);
    svgPolygon(svg, pixels(frame, picture.scheilBand), SCHEIL_COLOUR, 0.2, &scheilOutline);
    svgPolyline(svg, pixels(frame, picture.equilibrium), {EQUILIBRIUM_COLOUR, 2.2, nullptr, 1});
    svgPolyline(svg, pixels(frame, picture.scheil), {SCHEIL_COLOUR, 2.2, "8 4", 1});
    // The labels on each side of their points, each kept a line below the last on that side where
    // transitions lie close together.
    double lastLabel[2] = {-INFINITY, -INFINITY};
    for (const auto& marker : picture.markers) {
        if (!std::isfinite(marker.fs) || !std::isfinite(marker.T)) continue;
        const double x = frame.px(marker.fs);
        const double y = frame.py(marker.T);
        svgCircle(svg, x, y, 4, "#000", {"#000", 1, nullptr, 1});
        if (marker.label.empty()) continue;
        // Above the point near the top of the frame's range, below it otherwise.
        const bool right = marker.fs < 0.6;
        double labelY = y < TOP + PLOT_HEIGHT / 2 ? y - 8 : y + 18;
        labelY = std::fmax(labelY, lastLabel[right] + LABEL_LINE);
        lastLabel[right] = labelY;
        svgText(svg, right ? x + 8 : x - 8, labelY, marker.label, right ? "start" : "end", 12, "#000", 0, false, true);
    }

    const double x = LEFT + PLOT_WIDTH + 30;
    double y = TOP + 10;
    svgLine(svg, x, y, x + 36, y, {EQUILIBRIUM_COLOUR, 2.2, nullptr, 1});
    svgText(svg, x + 46, y + 4, "equilibrium", "start", 13);
    y += 24;
    svgLine(svg, x, y, x + 36, y, {SCHEIL_COLOUR, 2.2, "8 4", 1});
    svgText(svg, x + 46, y + 4, "Scheil", "start", 13);
    if (!picture.equilibriumBand.empty() || !picture.scheilBand.empty()) {
        y += 24;
        svgPolygon(svg, {{x, y - 6}, {x + 36, y - 6}, {x + 36, y + 6}, {x, y + 6}}, "#888", 0.2, &equilibriumOutline);
        svgText(svg, x + 46, y + 4, "95 % band", "start", 13);
    }
    y = TOP + PLOT_HEIGHT + 80;
    for (const std::string& note : picture.notes) {
        svgText(svg, LEFT, y, note, "start", 12, "#a0522d");
        y += 16;
    }
    if (amounts) drawAmounts(svg, picture, shift);
    svgEnd(svg);
    return svg.text;
}
