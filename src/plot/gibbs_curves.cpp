// The Gibbs energy curves at a temperature with their common tangents, described and drawn.
#include "plot/gibbs_curves.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/tie_line_newton.h"
#include "plot/svg.h"

namespace {

constexpr int CURVE_POINTS = 499;  // x = 0.002 .. 0.998

constexpr int WIDTH = 900;
constexpr int HEIGHT = 620;
constexpr double LEFT = 100;
constexpr double TOP = 80;
constexpr double PLOT_WIDTH = 560;
constexpr double PLOT_HEIGHT = 440;
// The phases in colours of their own; the tangents in the colours the phase diagram gives their
// pairs, so that blue and red mean the same in both pictures.
constexpr const char* PHASE_COLOURS[] = {"#7b4fa6", "#e08a1e", "#6b6b6b"};  // Liquid, BCC, FCC
constexpr const char* PAIR_COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c"};  // Liquid/FCC, Liquid/BCC, BCC/FCC

Stroke tangentStroke(const CommonTangent& t)
{
    return {PAIR_COLOURS[t.pair], t.stable ? 1.8 : 1.3, t.stable ? nullptr : "6 4", t.stable ? 1.0 : 0.7};
}

CommonTangent tangent(const PhaseCurve (&curves)[3], PhasePair pair, double T, const TieLine& line, bool stable)
{
    double g[2] = {0, 0};
    double slope = 0;
    curveGibbsEnergy(curves[firstPhase(pair)], line.x[0], T, g[0], slope);
    curveGibbsEnergy(curves[secondPhase(pair)], line.x[1], T, g[1], slope);
    return {pair - 1, stable, {line.x[0], line.x[1]}, {g[0], g[1]}};
}

}  // namespace

void describeGibbsCurves(const StableDiagram& diagram, double T, GibbsPicture& picture, const DiagramNames& names)
{
    picture = GibbsPicture{};
    picture.names = names;
    picture.T = T;
    picture.low = INFINITY;
    picture.high = -INFINITY;
    PhaseCurve curves[3];
    if (!diagramCurves(diagram, T, curves)) {
        picture.low = -1;
        picture.high = 1;
        return;
    }
    for (int p = LIQUID; p <= FCC; ++p) {
        for (int k = 1; k <= CURVE_POINTS; ++k) {
            const double x = k / (CURVE_POINTS + 1.0);
            double g = 0;
            double slope = 0;
            curveGibbsEnergy(curves[p], x, T, g, slope);
            picture.curve[p].push_back({x, g});
            if (std::isfinite(g)) {
                picture.low = std::min(picture.low, g);
                picture.high = std::max(picture.high, g);
            }
        }
    }
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        // Every stable tangent of the pair, then one metastable root of its equations, if any.
        TieLine stable[4];
        const int n = stableTieLines(diagram, pair, T, stable, 4);
        for (int i = 0; i < n; ++i) picture.tangents.push_back(tangent(curves, pair, T, stable[i], true));
        double roots[16][2];
        const int m = pairRoots(curves[firstPhase(pair)], curves[secondPhase(pair)], T, roots, 16);
        for (int i = 0; i < m; ++i) {
            const TieLine root = tieLineOf(roots[i][0], roots[i][1]);
            bool known = false;
            for (int j = 0; j < n; ++j)
                known = known || (std::fabs(root.s[0] - stable[j].s[0]) < 1e-6 && std::fabs(root.s[1] - stable[j].s[1]) < 1e-6);
            if (known || isStableTieLine(diagram, pair, T, root)) continue;
            picture.tangents.push_back(tangent(curves, pair, T, root, false));
            break;
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
    const DiagramNames& names = picture.names;
    const std::string title = "Gibbs energies of " + names.system + formatNumber(" at %.2f K", picture.T);
    // Wider where the legend's names are longer than the built-in model's ("Liquid / BCC,
    // metastable", 24 letters of 7.2 px at its size).
    std::size_t longest = 24;
    for (const CommonTangent& t : picture.tangents)
        longest = std::max(longest, pairLabel(names, t.pair, " / ").size() + (t.stable ? 8 : 12));
    const int width = WIDTH + static_cast<int>(std::ceil(7.2 * static_cast<double>(longest - 24)));
    svgBegin(svg, width, HEIGHT, title);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 34, title, "middle", 19, "#222", 0, true);
    svgText(svg, LEFT + PLOT_WIDTH / 2, 56,
            "relative to " + names.reference + "; common tangents solid where stable, dashed where metastable",
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
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + PLOT_HEIGHT + 50, "Mole fraction of " + names.element, "middle", 15);
    svgText(svg, 28, TOP + PLOT_HEIGHT / 2, "Molar Gibbs energy (J/mol)", "middle", 15, "#222", -90);

    std::vector<std::pair<double, double>> points;
    for (int p = LIQUID; p <= FCC; ++p) {
        points.clear();
        for (const auto& [x, g] : picture.curve[p]) points.push_back({px(x), py(g)});
        svgPolyline(svg, points, {PHASE_COLOURS[p], 2, nullptr, 1});
    }
    for (const CommonTangent& t : picture.tangents) {
        // The tangent between its two points: the tie-line's chord of the curves, where the
        // alloys between them are two phases.
        svgLine(svg, px(t.x[0]), py(t.g[0]), px(t.x[1]), py(t.g[1]), tangentStroke(t));
        for (int i = 0; i < 2; ++i)
            svgCircle(svg, px(t.x[i]), py(t.g[i]), 3.5, t.stable ? PAIR_COLOURS[t.pair] : "#fff",
                      {PAIR_COLOURS[t.pair], 1.2, nullptr, 1});
    }

    const double x = LEFT + PLOT_WIDTH + 30;
    double y = TOP + 10;
    for (int p = LIQUID; p <= FCC; ++p) {
        svgLine(svg, x, y, x + 36, y, {PHASE_COLOURS[p], 2, nullptr, 1});
        svgText(svg, x + 46, y + 4, names.phases[p], "start", 13);
        y += 24;
    }
    y += 10;
    for (const CommonTangent& t : picture.tangents) {
        svgLine(svg, x, y, x + 36, y, tangentStroke(t));
        svgText(svg, x + 46, y + 4, pairLabel(names, t.pair, " / ") + (t.stable ? ", stable" : ", metastable"), "start", 12);
        y += 16;
        svgText(svg, x + 46, y + 4, formatNumber("x = %.4f", t.x[0]) + formatNumber(" and %.4f", t.x[1]), "start", 11,
                "#555");
        y += 22;
    }
    svgEnd(svg);
    return svg.text;
}
