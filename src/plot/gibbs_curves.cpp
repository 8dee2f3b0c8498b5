// The Gibbs energy curves at a temperature with their common tangents, described and drawn.
#include "plot/gibbs_curves.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/refine.h"
#include "equilibrium/stable_solves.h"
#include "plot/svg.h"

namespace {

constexpr int CURVE_POINTS = 499;  // x = 0.002 .. 0.998
constexpr double STARTS[] = {0.02, 0.1, 0.3, 0.5, 0.7, 0.9, 0.98};

constexpr int WIDTH = 900;
constexpr int HEIGHT = 620;
constexpr double LEFT = 100;
constexpr double TOP = 80;
constexpr double PLOT_WIDTH = 560;
constexpr double PLOT_HEIGHT = 440;
constexpr const char* PHASE_COLOURS[] = {"#9467bd", "#d62728", "#1f77b4"};  // Liquid, BCC, FCC
constexpr const char* PAIR_NAMES[] = {"Liquid / FCC", "Liquid / BCC", "BCC / FCC"};

CommonTangent tangent(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4& x, bool stable)
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    return {pair - 1, stable, {x[0], x[1]},
            {gibbsEnergy(p, interactionCoefficients(model[p], T), x[0], T),
             gibbsEnergy(q, interactionCoefficients(model[q], T), x[1], T)}};
}

}  // namespace

void describeGibbsCurves(const PhaseParameters (&model)[3], double T, GibbsPicture& picture)
{
    picture = GibbsPicture{};
    picture.T = T;
    picture.low = INFINITY;
    picture.high = -INFINITY;
    for (int p = LIQUID; p <= FCC; ++p) {
        const InteractionCoefficients c = interactionCoefficients(model[p], T);
        for (int k = 1; k <= CURVE_POINTS; ++k) {
            const double x = k / (CURVE_POINTS + 1.0);
            const double g = gibbsEnergy(static_cast<PhaseIndex>(p), c, x, T);
            picture.curve[p].push_back({x, g});
            if (std::isfinite(g)) {
                picture.low = std::min(picture.low, g);
                picture.high = std::max(picture.high, g);
            }
        }
    }
    GibbsCurves curves;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        Vector4 stable{};
        const bool haveStable = solveStableTieLine(model, pair, T, nullptr, stable, curves);
        if (haveStable) picture.tangents.push_back(tangent(model, pair, T, stable, true));
        // A metastable common tangent: a root of the pair's equations that is not the stable one.
        bool found = false;
        for (const double a : STARTS)
            for (const double b : STARTS) {
                Vector4 guess = {a, b, 0, 0};
                Vector4 root{};
                if (found || a == b ||
                    refineTwoPhase(T, guess, root, model[firstPhase(pair)], model[secondPhase(pair)], pair) >= ITERATION_LIMIT)
                    continue;
                if (std::fabs(root[0] - root[1]) < 1e-3) continue;
                if (haveStable && std::fabs(root[0] - stable[0]) < 1e-6 && std::fabs(root[1] - stable[1]) < 1e-6) continue;
                gibbsCurves(model, T, curves);
                if (isStableTieLine(curves, firstPhase(pair), root[0], secondPhase(pair), root[1])) continue;
                picture.tangents.push_back(tangent(model, pair, T, root, false));
                found = true;
            }
    }
    const double pad = std::max(picture.high - picture.low, 1.0) * 0.06;
    picture.low -= pad;
    picture.high += pad;
}

std::string drawGibbsCurves(const GibbsPicture& picture)
{
    const auto px = [](double x) { return LEFT + x * PLOT_WIDTH; };
    const auto py = [&](double g) { return TOP + (picture.high - g) / (picture.high - picture.low) * PLOT_HEIGHT; };
    Svg svg;
    const std::string title = formatNumber("Gibbs energies of Ks-Ps at %.2f K", picture.T);
    svgBegin(svg, WIDTH, HEIGHT, title);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, title, "middle", 19, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56,
            "relative to pure Ps as FCC and pure Ks as BCC; common tangents solid where stable, dashed where metastable",
            "middle", 12, "#555");
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1.2, nullptr, 1};
    for (int i = 0; i <= 10; ++i) {
        svgLine(svg, px(i / 10.0), TOP, px(i / 10.0), TOP + PLOT_HEIGHT, grid);
        svgText(svg, px(i / 10.0), TOP + PLOT_HEIGHT + 22, formatNumber("%.1f", i / 10.0), "middle", 12);
    }
    const double step = niceStep(picture.high - picture.low, 8);
    for (double g = std::ceil(picture.low / step) * step; g <= picture.high; g += step) {
        svgLine(svg, LEFT, py(g), LEFT + PLOT_WIDTH, py(g), grid);
        svgText(svg, LEFT - 10, py(g) + 4, formatNumber("%g", std::fabs(g) < step * 1e-9 ? 0.0 : g), "end", 12);
    }
    svgRect(svg, LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, "none", axis);
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + PLOT_HEIGHT + 50, "Mole fraction of Ks", "middle", 15);
    svgText(svg, 28, TOP + PLOT_HEIGHT / 2, "Molar Gibbs energy (J/mol)", "middle", 15, "#222", -90);

    std::vector<std::pair<double, double>> points;
    for (int p = LIQUID; p <= FCC; ++p) {
        points.clear();
        for (const auto& [x, g] : picture.curve[p]) points.push_back({px(x), py(g)});
        svgPolyline(svg, points, {PHASE_COLOURS[p], 2, nullptr, 1});
    }
    for (const CommonTangent& t : picture.tangents) {
        // The tangent a little beyond its points, so that it reads as a line touching two curves.
        const double slope = (t.g[1] - t.g[0]) / (t.x[1] - t.x[0]);
        const double from = std::max(0.0, std::min(t.x[0], t.x[1]) - 0.08);
        const double to = std::min(1.0, std::max(t.x[0], t.x[1]) + 0.08);
        const Stroke line{"#000", t.stable ? 1.4 : 1.1, t.stable ? nullptr : "6 4", t.stable ? 1.0 : 0.6};
        svgLine(svg, px(from), py(t.g[0] + slope * (from - t.x[0])), px(to), py(t.g[0] + slope * (to - t.x[0])), line);
        for (int i = 0; i < 2; ++i)
            svgCircle(svg, px(t.x[i]), py(t.g[i]), 3.5, t.stable ? "#000" : "#fff", {"#000", 1.2, nullptr, 1});
    }

    const double x = LEFT + PLOT_WIDTH + 30;
    double y = TOP + 10;
    for (int p = LIQUID; p <= FCC; ++p) {
        svgLine(svg, x, y, x + 36, y, {PHASE_COLOURS[p], 2, nullptr, 1});
        svgText(svg, x + 46, y + 4, phaseName(static_cast<PhaseIndex>(p)), "start", 13);
        y += 24;
    }
    y += 10;
    for (const CommonTangent& t : picture.tangents) {
        svgLine(svg, x, y, x + 36, y, {"#000", t.stable ? 1.4 : 1.1, t.stable ? nullptr : "6 4", t.stable ? 1.0 : 0.6});
        svgText(svg, x + 46, y + 4, std::string(PAIR_NAMES[t.pair]) + (t.stable ? ", stable" : ", metastable"), "start", 12);
        y += 16;
        svgText(svg, x + 46, y + 4, formatNumber("x = %.4f", t.x[0]) + formatNumber(" and %.4f", t.x[1]), "start", 11,
                "#555");
        y += 22;
    }
    svgEnd(svg);
    return svg.text;
}
