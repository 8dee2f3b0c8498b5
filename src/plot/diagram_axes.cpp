// Ticks every tenth of x and at a round step of T, in K and in degrees Celsius.
#include "plot/diagram_axes.h"

#include <cmath>

void drawDiagramAxes(Svg& svg, const DiagramFrame& frame, const std::string& element, bool celsius, bool percent)
{
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1.2, nullptr, 1};
    const double bottom = frame.top + frame.height;
    const double right = frame.left + frame.width;
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.px(i / 10.0);
        svgLine(svg, x, frame.top, x, bottom, grid);
        svgLine(svg, x, bottom, x, bottom + 6, axis);
        svgText(svg, x, bottom + 22, percent ? formatNumber("%.0f", 10.0 * i) : formatNumber("%.1f", i / 10.0), "middle",
                12);
    }
    const double step = niceStep(frame.high - frame.low, 8);
    for (double T = std::ceil(frame.low / step) * step; T <= frame.high + 1e-9; T += step) {
        const double y = frame.py(T);
        svgLine(svg, frame.left, y, right, y, grid);
        svgLine(svg, frame.left - 6, y, frame.left, y, axis);
        svgText(svg, frame.left - 10, y + 4, formatNumber("%.0f", T), "end", 12);
    }
    svgRect(svg, frame.left, frame.top, frame.width, frame.height, "none", axis);
    svgText(svg, frame.left + frame.width / 2, bottom + 50, (percent ? "Weight percent of " : "Mole fraction of ") + element,
            "middle", 15);
    svgText(svg, 28, frame.top + frame.height / 2, "Temperature (K)", "middle", 15, "#222", -90);
    if (!celsius) return;
    const double zero = 273.15;
    for (double C = std::ceil((frame.low - zero) / step) * step; C + zero <= frame.high + 1e-9; C += step) {
        const double y = frame.py(C + zero);
        svgLine(svg, right, y, right + 6, y, axis);
        svgText(svg, right + 10, y + 4, formatNumber("%.0f", C), "start", 12);
    }
    svgText(svg, right + 52, frame.top + frame.height / 2, "Temperature (\u00b0C)", "middle", 15, "#222", -90);
}
