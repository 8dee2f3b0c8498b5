// The SVG drawing of the fit panels.
#include "plot/regression_svg.h"

#include <cmath>

#include "plot/svg.h"

namespace {

constexpr int COLUMNS = 2;
constexpr int ROWS = 3;
constexpr double PANEL_WIDTH = 480;
constexpr double PANEL_HEIGHT = 270;
constexpr double MARGIN_LEFT = 92;
constexpr double MARGIN_TOP = 76;
constexpr double MARGIN_BOTTOM = 48;
constexpr double MARGIN_RIGHT = 24;
constexpr double PAGE_TOP = 50;

struct Box {
    double left;  // pixel box of the plotting area
    double top;
    double width;
    double height;
    double low;  // ordinate range
    double high;
    double px(double x) const { return left + x * width; }
    double py(double y) const { return top + (high - y) / (high - low) * height; }
};

void drawPanel(Svg& svg, double left, double top, const RegressionPanel& panel)
{
    const Box box{left + MARGIN_LEFT, top + MARGIN_TOP, PANEL_WIDTH - MARGIN_LEFT - MARGIN_RIGHT,
                  PANEL_HEIGHT - MARGIN_TOP - MARGIN_BOTTOM, panel.low, panel.high};
    svgText(svg, left + MARGIN_LEFT, top + 22, panel.title, "start", 14, "#222", 0, true);
    svgText(svg, left + MARGIN_LEFT, top + 40, panel.coefficients, "start", 12, "#333");
    svgText(svg, left + MARGIN_LEFT, top + 56, panel.derivation, "start", 10, "#555");
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1, nullptr, 1};
    for (int i = 0; i <= 5; ++i) {
        const double px = box.px(i / 5.0);
        svgLine(svg, px, box.top, px, box.top + box.height, grid);
        svgText(svg, px, box.top + box.height + 16, formatNumber("%.1f", i / 5.0), "middle", 11);
    }
    const double step = niceStep(box.high - box.low, 5);
    for (double v = std::ceil(box.low / step) * step; v <= box.high; v += step) {
        svgLine(svg, box.left, box.py(v), box.left + box.width, box.py(v), grid);
        svgText(svg, box.left - 6, box.py(v) + 4, formatNumber("%g", std::fabs(v) < step * 1e-9 ? 0.0 : v), "end", 11);
    }
    svgRect(svg, box.left, box.top, box.width, box.height, "none", axis);
    svgText(svg, box.left + box.width / 2, box.top + box.height + 36, "x, mole fraction of Ks", "middle", 12);
    svgText(svg, left + 16, box.top + box.height / 2, panel.axisTitle + " (J/mol)", "middle", 11, "#222", -90);

    if (panel.lineFinite)
        svgLine(svg, box.px(0), box.py(panel.line.intercept), box.px(1), box.py(panel.line.intercept + panel.line.slope),
                {"#1f77b4", 1.8, nullptr, 1});
    for (const auto& [x, y] : panel.points) svgCircle(svg, box.px(x), box.py(y), 3.5, "#d62728", {"#fff", 0.8, nullptr, 1});
    if (!panel.note.empty()) svgText(svg, box.left + 8, box.top + 16, panel.note, "start", 11, "#a0522d");
}

}  // namespace

std::string drawRegression(const RegressionPanel (&panels)[3][2])
{
    Svg svg;
    const int width = static_cast<int>(COLUMNS * PANEL_WIDTH);
    const int height = static_cast<int>(PAGE_TOP + ROWS * PANEL_HEIGHT);
    svgBegin(svg, width, height, "Regressions of the measured data of Ks-Ps");
    svgText(svg, width / 2.0, 32, "The straight-line fits of the measured data, as Reg_result.txt reports them",
            "middle", 17, "#222", 0, true);
    for (int p = 0; p < ROWS; ++p) {
        const double top = PAGE_TOP + p * PANEL_HEIGHT;
        drawPanel(svg, 0, top, panels[p][0]);
        drawPanel(svg, PANEL_WIDTH, top, panels[p][1]);
    }
    svgEnd(svg);
    return svg.text;
}
