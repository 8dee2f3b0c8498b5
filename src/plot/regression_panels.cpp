// The six fit panels: points, lines, coefficients and ranges.
#include "plot/regression_panels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* ENTHALPY_TITLES[] = {"Liquid: enthalpy of mixing", "BCC: enthalpy of formation",
                                           "FCC: enthalpy of formation"};
constexpr const char* ACTIVITY_TITLES[] = {"Liquid: activity of Ks at 1500 K", "BCC: activity of Ps at 1100 K",
                                           "FCC: activity of Ks at 1100 K"};
constexpr const char* ENTHALPY_AXES[] = {"H / (x (1 - x))", "(H - 10000 (1 - x)) / (x (1 - x))",
                                         "(H - 7500 x) / (x (1 - x))"};
constexpr const char* ACTIVITY_AXES[] = {"RT ln(a / x) / (1 - x)\u00b2", "(RT ln(a / (1 - x)) - 10000) / x\u00b2",
                                         "(RT ln(a / x) - 7500) / (1 - x)\u00b2"};
constexpr const char* ACTIVITY_DERIVATIONS[] = {
    "a1 = (intercept - a0)/1500,  b1 = (slope/2 - b0)/1500",
    "b1 = (slope/2 - b0)/1100,  a1 = (intercept - a0 + b0)/1100 + b1",
    "a1 = (intercept - a0)/1100,  b1 = (slope/2 - b0)/1100"};

std::string coefficientLine(const char* first, double firstValue, const char* second, double secondValue, double r)
{
    char text[200];
    std::snprintf(text, sizeof text, "%s = %.6f,  %s = %.6f,  |r| = %.6f", first, firstValue, second, secondValue,
                  std::fabs(r));
    return text;
}

void describePanel(RegressionPanel& panel, const double* x, const double* y, int n, const LineFit& fit)
{
    panel.line = fit;
    panel.lineFinite = std::isfinite(fit.intercept) && std::isfinite(fit.slope);
    panel.points.clear();
    panel.skipped = 0;
    std::vector<double> values;
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(x[i]) && std::isfinite(y[i])) {
            values.push_back(y[i]);
            if (x[i] >= 0 && x[i] <= 1) panel.points.push_back({x[i], y[i]});
        } else {
            ++panel.skipped;
        }
    }
    if (panel.lineFinite) {
        values.push_back(fit.intercept);
        values.push_back(fit.intercept + fit.slope);
    }
    if (values.empty()) values = {0.0, 1.0};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double pad = std::max(*high - *low, std::fabs(*high) * 1e-3 + 1.0) * 0.08;
    panel.low = *low - pad;
    panel.high = *high + pad;
    panel.note = panel.lineFinite ? "" : "no line: the fit is not finite";
    if (panel.skipped > 0)
        panel.note += (panel.note.empty() ? "" : "; ") + std::to_string(panel.skipped) + " points not finite, not drawn";
}

}  // namespace

void describeRegression(const MeasuredData& data, const PhaseFit (&fits)[3], RegressionPanel (&panels)[3][2])
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const PhaseData& series = data.phase[p];
        const int n = series.activity.count;
        double y[MAX_PAIRS];
        const PhaseParameters& c = fits[p].parameters;

        RegressionPanel& enthalpy = panels[p][0];
        enthalpy.title = std::string(ENTHALPY_TITLES[p]) + ", " + enthalpyFileName(phase);
        enthalpy.axisTitle = ENTHALPY_AXES[p];
        enthalpy.derivation = "a0 = intercept,  b0 = slope";
        enthalpy.coefficients = coefficientLine("a0", c.a0, "b0", c.b0, fits[p].enthalpy.r);
        for (int i = 0; i < n; ++i) y[i] = enthalpyOrdinate(phase, series.activity.x[i], series.enthalpy.value[i]);
        describePanel(enthalpy, series.activity.x, y, n, fits[p].enthalpy);

        RegressionPanel& activity = panels[p][1];
        activity.title = std::string(ACTIVITY_TITLES[p]) + ", " + activityFileName(phase);
        activity.axisTitle = ACTIVITY_AXES[p];
        activity.derivation = ACTIVITY_DERIVATIONS[p];
        activity.coefficients = coefficientLine("a1", c.a1, "b1", c.b1, fits[p].activity.r);
        for (int i = 0; i < n; ++i) y[i] = activityOrdinate(phase, series.activity.x[i], series.activity.value[i]);
        describePanel(activity, series.activity.x, y, n, fits[p].activity);
    }
}
