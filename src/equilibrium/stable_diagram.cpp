// The stable diagram of a model: grid, melting points, stability of a tangent, stable tie-lines.
#include "equilibrium/stable_diagram.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/diagram_hull.h"
#include "equilibrium/refine.h"
#include "equilibrium/stable_solves.h"
#include "equilibrium/tie_line_newton.h"

namespace {

constexpr double END_LOG_RATIO = -25.0;  // the grid's first point: x = 1.4e-11
constexpr double END_STEP = 0.5;
// A grid minimum of a curve's height above a tangent lower than this is refined: between grid
// points the height can dip below its grid values by at most h^2/8 times its curvature, about
// 12 J/mol at 0.005 from an end and far less elsewhere.
constexpr double REFINE_BELOW = 25.0;
constexpr double MELTING_LOW = 1.0;       // K: where melting points are sought
constexpr double MELTING_HIGH = 20000.0;  // K

constexpr int CANDIDATES = 16;

void buildGrid(CompositionGrid& grid)
{
    int k = 0;
    for (int i = 0; i < END_POINTS; ++i) grid.z[k++] = composition(END_LOG_RATIO + i * END_STEP);
    for (int i = 1; i <= UNIFORM_POINTS; ++i) {
        const double x = i / (UNIFORM_POINTS + 1.0);
        Composition z = composition(logRatio(x));
        z.x = x;  // exactly the grid's value, its rest from the log-ratio
        grid.z[k++] = z;
    }
    for (int i = END_POINTS - 1; i >= 0; --i) grid.z[k++] = composition(-(END_LOG_RATIO + i * END_STEP));
    for (int j = 0; j < DIAGRAM_GRID; ++j) {
        grid.x[j] = grid.z[j].x;
        grid.rest[j] = grid.z[j].rest;
        grid.mixing[j] = mixingOf(grid.z[j]);
    }
}


// The liquid above the lower solid of a pure component: positive below its melting point, NaN
// where the model gives no curves at T.
double meltingDrive(const StableDiagram& d, int end, double T, PhaseIndex& solid)
{
    PhaseCurve c[3];
    if (!diagramCurves(d, T, c)) return NAN;
    solid = lowestSolid(c, end);
    return c[LIQUID].pure[end] - c[solid].pure[end];
}

MeltingPoint meltingPoint(const StableDiagram& d, int end)
{
    double low = lowestTemperature(d);
    double high = highestTemperature(d);
    PhaseIndex solid = FCC;
    if (!(meltingDrive(d, end, low, solid) > 0) || !(meltingDrive(d, end, high, solid) < 0)) return {false, 0, FCC};
    while (true) {
        const double middle = (low + high) / 2;
        if (!(middle > low && middle < high)) break;
        (meltingDrive(d, end, middle, solid) > 0 ? low : high) = middle;
    }
    const double T = std::fabs(meltingDrive(d, end, low, solid)) <= std::fabs(meltingDrive(d, end, high, solid)) ? low : high;
    meltingDrive(d, end, T, solid);
    return {true, T, solid};
}

// g(s) = d(height)/dx of a phase at log-ratio s, zero at a low point, and its derivative in s.
void heightSlope(const PhaseCurve& curve, double s, double T, double muA, double muB, double& g, double& dg,
                 double& height)
{
    const Composition z = composition(s);
    const Potentials mu = potentials(curve, z, T);
    g = (mu.muB - muB) - (mu.muA - muA);
    dg = mu.dmuB - mu.dmuA;
    height = z.rest * (mu.muA - muA) + z.x * (mu.muB - muB);
}

// The least height over the log-ratios between lo and hi, where the slope changes sign from
// negative to positive; NaN where it does not.
double refinedLowPoint(const PhaseCurve& curve, double lo, double hi, double T, double muA, double muB)
{
    double g = 0;
    double dg = 0;
    double h = 0;
    heightSlope(curve, lo, T, muA, muB, g, dg, h);
    if (!(g < 0)) return NAN;
    heightSlope(curve, hi, T, muA, muB, g, dg, h);
    if (!(g > 0)) return NAN;
    double s = (lo + hi) / 2;
    for (int i = 0; i < 200; ++i) {
        heightSlope(curve, s, T, muA, muB, g, dg, h);
        (g < 0 ? lo : hi) = s;
        double next = dg > 0 ? s - g / dg : NAN;
        if (!(next > lo && next < hi)) next = (lo + hi) / 2;
        if (std::fabs(next - s) <= LOG_RATIO_TOLERANCE || !(hi > lo)) break;
        s = next;
    }
    return h;
}

// The least height of the curves at T above the line (1 - x) muA + x muB, refined at each low point.
double lowestHeightOfCurves(const StableDiagram& d, const PhaseCurve (&curves)[3], double T, double muA, double muB)
{
    double lowest = INFINITY;
    double height[DIAGRAM_GRID];
    for (int r = LIQUID; r <= FCC; ++r) {
        phaseHeights(d, curves[r], T, muA, muB, height);
        for (int k = 0; k < DIAGRAM_GRID; ++k) lowest = std::fmin(lowest, height[k]);
        for (int k = 0; k < DIAGRAM_GRID; ++k) {
            const bool low = (k == 0 || height[k] <= height[k - 1]) && (k + 1 == DIAGRAM_GRID || height[k] <= height[k + 1]);
            if (!low || !(height[k] < REFINE_BELOW)) continue;
            const double lo = k == 0 ? -LOG_RATIO_LIMIT + 1 : d.grid.z[k - 1].s;
            const double hi = k + 1 == DIAGRAM_GRID ? LOG_RATIO_LIMIT - 1 : d.grid.z[k + 1].s;
            const double refined = refinedLowPoint(curves[r], lo, hi, T, muA, muB);
            if (refined < lowest) lowest = refined;
        }
    }
    return lowest;
}

// Bisects [low, high] (K) `steps` times, the liquid between the solids at high and not at low, and
// keeps the hull's start values (T, xL, xBCC, xFCC) of the upper end in `start`.
void narrowToEutectic(const StableDiagram& d, int steps, double& low, double& high, Vector4& start)
{
    for (int i = 0; i < steps; ++i) {
        const double middle = (low + high) / 2;
        Vector4 here{};
        if (liquidBetweenSolids(d, middle, here)) {
            high = middle;
            start = here;
        } else {
            low = middle;
        }
    }
}

// The stable eutectic: the lowest temperature at which the liquid lies on the hull between the
// two solids, found by steps of 25 K from 1000 K and bisection, then refined by Newton's method
// from the hull's tie-lines there; the slower search of stable_solves.h where that fails.
bool builtInEutectic(const StableDiagram& d, Vector4& eutectic)
{
    constexpr double STEP = 25.0;
    Vector4 start{};
    double high = 1000.0;
    while (!liquidBetweenSolids(d, high, start) && high < 6000.0) high += STEP;
    bool found = high < 6000.0;
    if (found) {
        double low = high - STEP;
        Vector4 below{};
        while (low > STEP && liquidBetweenSolids(d, low, below)) {
            high = low;
            start = below;
            low -= STEP;
        }
        narrowToEutectic(d, 16, low, high, start);
        found = refineEutectic(start, eutectic, d.model[LIQUID], d.model[BCC], d.model[FCC]) < ITERATION_LIMIT &&
                isStableEutectic(d.model, eutectic);
    }
    found = found || solveStableEutectic(d.model, eutectic);
    // The solves above stop at steps of 1e-6 with the temperature slopes of L0 and L1 left out of
    // their Jacobian; the exact Newton step takes the root to the last digit.
    if (found) polishEutectic(d.model, eutectic);
    return found;
}

// The same on a curve source: the lowest temperature of the liquid between the solids on the
// hull, in steps of 5 K from the source's lowest temperature up to the higher melting point (at
// most 6000 K) and by bisection, then Newton's method on the three phases from the hull's
// compositions there (or, failing that, from the two liquid tie-lines solved there). Where the
// liquid lies between the solids already at the lowest temperature, the eutectic lies below the
// source's range: none.
bool curveEutectic(const StableDiagram& d, Vector4& eutectic)
{
    constexpr double STEP = 5.0;
    const double lowest = lowestTemperature(d);
    // Up to the higher melting point, or where a component does not melt within the source's
    // temperatures, no higher than the built-in search goes.
    double top = std::fmin(highestTemperature(d), 6000.0);
    if (d.melting[0].exists && d.melting[1].exists) top = std::fmin(top, std::fmax(d.melting[0].T, d.melting[1].T));
    Vector4 start{};
    double high = lowest;
    while (!liquidBetweenSolids(d, high, start)) {
        if (high >= top) return false;
        high = std::fmin(high + STEP, top);
    }
    if (high == lowest) return false;
    double low = std::fmax(high - STEP, lowest);
    narrowToEutectic(d, 20, low, high, start);
    eutectic = start;
    if (!polishEutectic(d.source, eutectic)) {
        double sBCC[2] = {logRatio(start[1]), logRatio(start[2])};
        double sFCC[2] = {logRatio(start[1]), logRatio(start[3])};
        if (!solveDiagramTieLine(d, LIQUID_BCC, start[0], sBCC) || !solveDiagramTieLine(d, LIQUID_FCC, start[0], sFCC))
            return false;
        eutectic = {start[0], composition((sBCC[0] + sFCC[0]) / 2).x, composition(sBCC[1]).x, composition(sFCC[1]).x};
        if (!polishEutectic(d.source, eutectic)) return false;
    }
    PhaseCurve c[3];
    if (!diagramCurves(d, eutectic[0], c)) return false;
    const Potentials mu = potentials(c[LIQUID], composition(logRatio(eutectic[1])), eutectic[0]);
    return lowestHeightOfCurves(d, c, eutectic[0], mu.muA, mu.muB) >= -TANGENT_TOLERANCE;
}

void clearTraces(StableDiagram& diagram)
{
    for (int t = 0; t < 3; ++t) {
        diagram.traced[t] = false;
        diagram.trace[t].clear();
    }
}

}  // namespace


void buildStableDiagram(const PhaseParameters (&model)[3], StableDiagram& diagram)
{
    std::copy(std::begin(model), std::end(model), std::begin(diagram.model));
    diagram.source = {nullptr, nullptr, MELTING_LOW, MELTING_HIGH};
    buildGrid(diagram.grid);
    diagram.melting[0] = meltingPoint(diagram, 0);
    diagram.melting[1] = meltingPoint(diagram, 1);
    diagram.haveEutectic = builtInEutectic(diagram, diagram.eutectic);
    clearTraces(diagram);
}

void buildStableDiagram(const CurveSource& source, StableDiagram& diagram)
{
    for (PhaseParameters& p : diagram.model) p = PhaseParameters{};
    diagram.source = source;
    buildGrid(diagram.grid);
    diagram.melting[0] = meltingPoint(diagram, 0);
    diagram.melting[1] = meltingPoint(diagram, 1);
    diagram.haveEutectic = curveEutectic(diagram, diagram.eutectic);
    clearTraces(diagram);
}

void followStableDiagram(const StableDiagram& from, const PhaseParameters (&model)[3], StableDiagram& diagram)
{
    std::copy(std::begin(model), std::end(model), std::begin(diagram.model));
    diagram.source = {nullptr, nullptr, MELTING_LOW, MELTING_HIGH};
    diagram.grid = from.grid;
    diagram.melting[0] = meltingPoint(diagram, 0);
    diagram.melting[1] = meltingPoint(diagram, 1);
    Vector4 guess = from.eutectic;
    // Polished from the nominal eutectic, else refined from it, else solved afresh.
    if (from.haveEutectic && polishEutectic(model, guess)) {
        diagram.eutectic = guess;
        diagram.haveEutectic = true;
    } else {
        diagram.haveEutectic =
            (from.haveEutectic &&
             refineEutectic(guess, diagram.eutectic, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT) ||
            solveStableEutectic(model, diagram.eutectic);
    }
    clearTraces(diagram);
}

bool solveDiagramTieLine(const StableDiagram& d, PhasePair pair, double T, double (&s)[2])
{
    if (d.source.curvesAt == nullptr) return solveTieLine(d.model, pair, T, s);
    PhaseCurve c[3];
    return diagramCurves(d, T, c) && solveTieLine(c[firstPhase(pair)], c[secondPhase(pair)], T, s);
}

bool solveDiagramTemperature(const StableDiagram& d, PhasePair pair, int fixedSide, double sFixed, double& T,
                             double& sOther)
{
    if (d.source.curvesAt == nullptr) return solveTieLineTemperature(d.model, pair, fixedSide, sFixed, T, sOther);
    return solveTieLineTemperature(d.source, pair, fixedSide, sFixed, T, sOther);
}

double lowestHeightAboveTangent(const StableDiagram& d, double T, double muA, double muB)
{
    PhaseCurve curves[3];
    if (!diagramCurves(d, T, curves)) return NAN;
    return lowestHeightOfCurves(d, curves, T, muA, muB);
}

bool isStableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine& tieLine)
{
    PhaseCurve curves[3];
    if (!diagramCurves(diagram, T, curves)) return false;
    const Potentials mu = potentials(curves[firstPhase(pair)], composition(tieLine.s[0]), T);
    return lowestHeightOfCurves(diagram, curves, T, mu.muA, mu.muB) >= -TANGENT_TOLERANCE;
}

int stableTieLines(const StableDiagram& diagram, PhasePair pair, double T, TieLine* out, int capacity, SharedHull* shared)
{
    double starts[CANDIDATES][2];
    const int n = tieLineStarts(diagram, pair, T, starts, CANDIDATES, shared);
    int found = 0;
    for (int i = 0; i < n && found < capacity; ++i) {
        double s[2] = {starts[i][0], starts[i][1]};
        if (!solveDiagramTieLine(diagram, pair, T, s)) continue;
        bool seen = false;
        for (int j = 0; j < found; ++j)
            seen = seen || (std::fabs(out[j].s[0] - s[0]) < 1e-6 && std::fabs(out[j].s[1] - s[1]) < 1e-6);
        const TieLine line = tieLineOf(s[0], s[1]);
        if (seen || std::fabs(s[0] - s[1]) < 1e-9 || !isStableTieLine(diagram, pair, T, line)) continue;
        out[found++] = line;
    }
    std::sort(out, out + found, [](const TieLine& a, const TieLine& b) { return a.s[0] < b.s[0]; });
    return found;
}

bool stableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine* near, TieLine& tieLine,
                   SharedHull* shared)
{
    if (near != nullptr && std::isfinite(near->s[0]) && std::isfinite(near->s[1])) {
        double s[2] = {near->s[0], near->s[1]};
        if (solveDiagramTieLine(diagram, pair, T, s) && std::fabs(s[0] - s[1]) > 1e-9) {
            const TieLine line = tieLineOf(s[0], s[1]);
            if (isStableTieLine(diagram, pair, T, line)) {
                tieLine = line;
                return true;
            }
        }
    }
    TieLine lines[4];
    const int n = stableTieLines(diagram, pair, T, lines, 4, shared);
    if (n == 0) return false;
    int best = 0;
    if (near != nullptr)
        for (int i = 1; i < n; ++i)
            if (std::fabs(lines[i].x[0] - near->x[0]) + std::fabs(lines[i].x[1] - near->x[1]) <
                std::fabs(lines[best].x[0] - near->x[0]) + std::fabs(lines[best].x[1] - near->x[1]))
                best = i;
    tieLine = lines[best];
    return true;
}

PhasesAt stablePhasesAt(const StableDiagram& diagram, double T, double x)
{
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        TieLine lines[4];
        const int n = stableTieLines(diagram, pair, T, lines, 4);
        for (int i = 0; i < n; ++i)
            if (std::fmin(lines[i].x[0], lines[i].x[1]) <= x && x <= std::fmax(lines[i].x[0], lines[i].x[1]))
                return {firstPhase(pair), secondPhase(pair)};
    }
    PhaseCurve curves[3];
    if (!diagramCurves(diagram, T, curves)) return {LIQUID, LIQUID};
    const PhaseIndex lowest = lowestCurveAt(curves, x, T);
    return {lowest, lowest};
}

PhaseIndex lowestCurveAt(const PhaseCurve (&curves)[3], double x, double T)
{
    PhaseIndex lowest = LIQUID;
    double g = INFINITY;
    for (int r = LIQUID; r <= FCC; ++r) {
        double G = 0;
        double slope = 0;
        curveGibbsEnergy(curves[r], x, T, G, slope);
        if (G < g) {
            g = G;
            lowest = static_cast<PhaseIndex>(r);
        }
    }
    return lowest;
}
