// The six fit panels.
#include "plot/regression_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "plot/svg.h"

namespace {

constexpr int COLUMNS = 2;
constexpr int ROWS = 3;
constexpr double PANEL_WIDTH = 480;
constexpr double PANEL_HEIGHT = 270;
constexpr double MARGIN_LEFT = 92;
constexpr double MARGIN_TOP = 62;
constexpr double MARGIN_BOTTOM = 48;
constexpr double MARGIN_RIGHT = 24;
constexpr double PAGE_TOP = 50;

constexpr const char* ENTHALPY_TITLES[] = {"Liquid: enthalpy of mixing", "BCC: enthalpy of formation",
                                           "FCC: enthalpy of formation"};
constexpr const char* ACTIVITY_TITLES[] = {"Liquid: activity of Ks at 1500 K", "BCC: activity of Ps at 1100 K",
                                           "FCC: activity of Ks at 1100 K"};
constexpr const char* ENTHALPY_AXES[] = {"H / (x (1 - x))", "(H - 10000 (1 - x)) / (x (1 - x))",
                                         "(H - 7500 x) / (x (1 - x))"};
constexpr const char* ACTIVITY_AXES[] = {"RT ln(a / x) / (1 - x)^2", "(RT ln(a / (1 - x)) - 10000) / x^2",
                                         "(RT ln(a / x) - 7500) / (1 - x)^2"};

struct Panel {
    double left;  // pixel box of the plotting area
    double top;
    double width;
    double height;
    double low;  // ordinate range
    double high;
    double px(double x) const { return left + x * width; }
    double py(double y) const { return top + (high - y) / (high - low) * height; }
};

void drawPanel(Svg& svg, double left, double top, const std::string& title, const std::string& axisTitle,
               const std::string& coefficients, const double* x, const double* y, int n, const LineFit& fit)
{
    Panel panel{left + MARGIN_LEFT, top + MARGIN_TOP, PANEL_WIDTH - MARGIN_LEFT - MARGIN_RIGHT,
                PANEL_HEIGHT - MARGIN_TOP - MARGIN_BOTTOM, 0, 0};
    const bool lineFinite = std::isfinite(fit.intercept) && std::isfinite(fit.slope);
    std::vector<double> values;
    int skipped = 0;
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(x[i]) && std::isfinite(y[i]))
            values.push_back(y[i]);
        else
            ++skipped;
    }
    if (lineFinite) {
        values.push_back(fit.intercept);
        values.push_back(fit.intercept + fit.slope);
    }
    if (values.empty()) values = {0.0, 1.0};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double pad = std::max(*high - *low, std::fabs(*high) * 1e-3 + 1.0) * 0.08;
    panel.low = *low - pad;
    panel.high = *high + pad;

    svgText(svg, left + MARGIN_LEFT, top + 22, title, "start", 14, "#222", 0, true);
    svgText(svg, left + MARGIN_LEFT, top + 42, coefficients, "start", 12, "#333");
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1, nullptr, 1};
    for (int i = 0; i <= 5; ++i) {
        const double px = panel.px(i / 5.0);
        svgLine(svg, px, panel.top, px, panel.top + panel.height, grid);
        svgText(svg, px, panel.top + panel.height + 16, formatNumber("%.1f", i / 5.0), "middle", 11);
    }
    const double step = niceStep(panel.high - panel.low, 5);
    for (double v = std::ceil(panel.low / step) * step; v <= panel.high; v += step) {
        svgLine(svg, panel.left, panel.py(v), panel.left + panel.width, panel.py(v), grid);
        svgText(svg, panel.left - 6, panel.py(v) + 4, formatNumber("%g", std::fabs(v) < step * 1e-9 ? 0.0 : v), "end", 11);
    }
    svgRect(svg, panel.left, panel.top, panel.width, panel.height, "none", axis);
    svgText(svg, panel.left + panel.width / 2, panel.top + panel.height + 36, "x, mole fraction of Ks", "middle", 12);
    svgText(svg, left + 16, panel.top + panel.height / 2, axisTitle + " (J/mol)", "middle", 11, "#222", -90);

    if (lineFinite)
        svgLine(svg, panel.px(0), panel.py(fit.intercept), panel.px(1), panel.py(fit.intercept + fit.slope),
                {"#1f77b4", 1.8, nullptr, 1});
    for (int i = 0; i < n; ++i)
        if (std::isfinite(x[i]) && std::isfinite(y[i]) && x[i] >= 0 && x[i] <= 1)
            svgCircle(svg, panel.px(x[i]), panel.py(y[i]), 3.5, "#d62728", {"#fff", 0.8, nullptr, 1});
    if (skipped > 0 || !lineFinite) {
        std::string note = lineFinite ? "" : "no line: the fit is not finite";
        if (skipped > 0) note += (note.empty() ? "" : "; ") + formatNumber("%.0f points not finite, not drawn", skipped);
        svgText(svg, panel.left + 8, panel.top + 16, note, "start", 11, "#a0522d");
    }
}

std::string coefficientLine(const char* first, double firstValue, const char* second, double secondValue, double r)
{
    char text[200];
    std::snprintf(text, sizeof text, "%s = %.6f,  %s = %.6f,  |r| = %.6f", first, firstValue, second, secondValue,
                  std::fabs(r));
    return text;
}

}  // namespace

std::string drawRegression(const MeasuredData& data, const PhaseFit (&fits)[3])
{
    Svg svg;
    const int width = static_cast<int>(COLUMNS * PANEL_WIDTH);
    const int height = static_cast<int>(PAGE_TOP + ROWS * PANEL_HEIGHT);
    svgBegin(svg, width, height, "Regressions of the measured data of Ks-Ps");
    svgText(svg, width / 2.0, 32, "The straight-line fits of the measured data, as Reg_result.txt reports them",
            "middle", 17, "#222", 0, true);
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const PhaseData& series = data.phase[p];
        const int n = series.activity.count;
        double y[MAX_PAIRS];
        const double top = PAGE_TOP + p * PANEL_HEIGHT;
        const PhaseParameters& c = fits[p].parameters;

        for (int i = 0; i < n; ++i) y[i] = enthalpyOrdinate(phase, series.activity.x[i], series.enthalpy.value[i]);
        drawPanel(svg, 0, top, std::string(ENTHALPY_TITLES[p]) + ", " + enthalpyFileName(phase), ENTHALPY_AXES[p],
                  coefficientLine("a0", c.a0, "b0", c.b0, fits[p].enthalpy.r), series.activity.x, y, n,
                  fits[p].enthalpy);

        for (int i = 0; i < n; ++i) y[i] = activityOrdinate(phase, series.activity.x[i], series.activity.value[i]);
        drawPanel(svg, PANEL_WIDTH, top, std::string(ACTIVITY_TITLES[p]) + ", " + activityFileName(phase),
                  ACTIVITY_AXES[p], coefficientLine("a1", c.a1, "b1", c.b1, fits[p].activity.r), series.activity.x,
                  y, n, fits[p].activity);
    }
    svgEnd(svg);
    return svg.text;
}
