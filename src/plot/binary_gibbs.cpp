// Each phase's curve traced by its tangents: relaxed on the tangent of each slope over a wide
// range of slopes, the curve's convex stretches come out in order (a phase of one free site
// fraction is evaluated at every composition instead, so that its hump across a gap shows too).
#include "plot/binary_gibbs.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/binary_reactions.h"
#include "equilibrium/coexistence.h"
#include "model/sublattice_energy.h"
#include "plot/svg.h"

namespace {

constexpr int WIDTH = 960;
constexpr int HEIGHT = 640;
constexpr double LEFT = 100;
constexpr double TOP = 70;
constexpr double PLOT_WIDTH = 620;
constexpr double PLOT_HEIGHT = 480;
constexpr const char* COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#8c564b", "#e377c2", "#7f7f7f",
                                   "#bcbd22", "#17becf", "#ff7f0e"};

}  // namespace

bool describeBinaryGibbs(const BinarySystem& system, double T, BinaryGibbsPicture& picture)
{
    SystemAt at;
    if (!evaluateSystemAt(system, T, at)) return false;
    picture.T = T;
    picture.curves.clear();
    picture.tangents.clear();
    // The reference: each pure element in its stable phase at T.
    double pure[2] = {INFINITY, INFINITY};
    for (int end = 0; end < 2; ++end)
        for (std::size_t p = 0; p < system.phases.size(); ++p) {
            const double G = pureEnergy(system, at, static_cast<int>(p), end);
            if (std::isfinite(G)) pure[end] = std::fmin(pure[end], G);
        }
    const auto relative = [&](double x, double G) { return G - ((1 - x) * pure[0] + x * pure[1]); };
    for (std::size_t p = 0; p < system.phases.size(); ++p) {
        const ModelPhase& phase = system.phases[p];
        BinaryGibbsCurve curve{static_cast<int>(p), {}};
        int a = -1;
        int b = -1;
        double sites = 0;
        if (mixingSublattice(phase, a, b, sites)) {
            const int n = constituentCount(phase);
            for (int k = 1; k < 1000; ++k) {
                PhaseState s{static_cast<int>(p), {}, {}, {}};
                const double y = k / 1000.0;
                for (int c = 0; c < n; ++c) s.s[c] = 0;
                s.s[a] = std::log(1 - y) - std::log(y);
                if (b < a) s.s[b] = -s.s[a];
                updateSiteFractions(phase, s);
                double atoms = 0;
                const double x = moleFractionOf(phase, s, &atoms);
                curve.points.push_back({x, relative(x, formulaEnergy(at, s) / atoms)});
            }
        } else {
            // Traced by its tangents, from the first element's end to the second's.
            PhaseState s{static_cast<int>(p), {}, {}, {}};
            updateSiteFractions(phase, s);
            for (int k = -300; k <= 300; ++k) {
                const double d = k * 0.1 * at.RT;
                double mu[2] = {0, 0};
                if (!relaxOnTangent(at, s, d, mu)) continue;
                double atoms = 0;
                const double x = moleFractionOf(phase, s, &atoms);
                curve.points.push_back({x, relative(x, mu[0] + d * x)});
            }
            std::sort(curve.points.begin(), curve.points.end());
        }
        if (!curve.points.empty()) picture.curves.push_back(std::move(curve));
    }
    SystemSamples samples;
    sampleSystem(system, samples);
    Section section;
    if (!computeSection(system, samples, at, T, section)) return false;
    double low = 0;
    for (const StableTieLine& t : section.tieLines) {
        const double g0 = relative(t.x[0], t.mu[0] + (t.mu[1] - t.mu[0]) * t.x[0]);
        const double g1 = relative(t.x[1], t.mu[0] + (t.mu[1] - t.mu[0]) * t.x[1]);
        picture.tangents.push_back({{t.x[0], g0}, {t.x[1], g1}});
        low = std::fmin(low, std::fmin(g0, g1));
    }
    for (const BinaryGibbsCurve& c : picture.curves)
        for (const auto& [x, G] : c.points) low = std::fmin(low, G);
    picture.low = low - 0.1 * std::fabs(low) - 1000;
    picture.high = std::fabs(picture.low) * 0.6 + 1000;
    return true;
}

std::string drawBinaryGibbs(const BinarySystem& system, const BinaryGibbsPicture& picture)
{
    Svg svg;
    svgBegin(svg, WIDTH, HEIGHT, picture.title + " Gibbs energies");
    const auto px = [](double x) { return LEFT + x * PLOT_WIDTH; };
    const auto py = [&](double G) { return TOP + (picture.high - G) / (picture.high - picture.low) * PLOT_HEIGHT; };
    const Stroke grid{"#e6e6e6", 1, nullptr, 1};
    const Stroke axis{"#222", 1.2, nullptr, 1};
    for (int i = 0; i <= 10; ++i) {
        svgLine(svg, px(i / 10.0), TOP, px(i / 10.0), TOP + PLOT_HEIGHT, grid);
        svgText(svg, px(i / 10.0), TOP + PLOT_HEIGHT + 22, formatNumber("%.1f", i / 10.0), "middle", 12);
    }
    const double step = niceStep((picture.high - picture.low) / 1000, 8) * 1000;
    for (double G = std::ceil(picture.low / step) * step; G <= picture.high; G += step) {
        svgLine(svg, LEFT, py(G), LEFT + PLOT_WIDTH, py(G), grid);
        svgText(svg, LEFT - 10, py(G) + 4, formatNumber(step < 1000 ? "%.1f" : "%.0f", G / 1000), "end", 12);
    }
    svgRect(svg, LEFT, TOP, PLOT_WIDTH, PLOT_HEIGHT, "none", axis);
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP + PLOT_HEIGHT + 48, "Mole fraction of " + picture.element, "middle", 15);
    svgText(svg, 36, TOP + PLOT_HEIGHT / 2, "G relative to the stable elements (kJ/mol)", "middle", 14, "#222", -90);
    svgText(svg, LEFT + PLOT_WIDTH / 2, TOP - 30,
            picture.title + formatNumber(": Gibbs energies at %.2f K", picture.T), "middle", 18, "#222", 0, true);
    double legend = TOP + 10;
    for (std::size_t i = 0; i < picture.curves.size(); ++i) {
        const BinaryGibbsCurve& c = picture.curves[i];
        const char* colour = COLOURS[i % (sizeof COLOURS / sizeof COLOURS[0])];
        const bool point = c.points.back().first - c.points.front().first < 1e-6;
        // The curve in pieces within the axis: a piece ends where the curve leaves it.
        std::vector<std::pair<double, double>> points;
        bool drawn = false;
        for (std::size_t k = 0; k <= c.points.size(); ++k) {
            const bool inside = k < c.points.size() && c.points[k].second <= picture.high && c.points[k].second >= picture.low;
            if (inside) {
                points.push_back({px(c.points[k].first), py(c.points[k].second)});
                continue;
            }
            if (point && !points.empty()) {
                svgCircle(svg, points.front().first, points.front().second, 4, colour, {colour, 1, nullptr, 1});
                drawn = true;
            } else if (points.size() > 1) {
                svgPolyline(svg, points, {colour, 1.8, nullptr, 1});
                drawn = true;
            }
            points.clear();
        }
        if (!drawn) continue;
        svgLine(svg, LEFT + PLOT_WIDTH + 30, legend, LEFT + PLOT_WIDTH + 60, legend, {colour, 2.2, nullptr, 1});
        svgText(svg, LEFT + PLOT_WIDTH + 68, legend + 4, system.phases[static_cast<std::size_t>(c.phase)].name, "start", 12);
        legend += 20;
    }
    for (const auto& [a, b] : picture.tangents)
        svgLine(svg, px(a.first), py(a.second), px(b.first), py(b.second), {"#222", 1.2, "6 4", 1});
    svgText(svg, LEFT + PLOT_WIDTH + 30, legend + 14, "- - - stable tangents", "start", 12);
    svgEnd(svg);
    return svg.text;
}
