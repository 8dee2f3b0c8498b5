// The stable diagram of a model: grid, melting points, stability of a tangent, stable tie-lines.
#include "equilibrium/stable_diagram.h"

#include <algorithm>
#include <cmath>

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

// The height of a phase's curve above the line (1 - x) muA + x muB at every grid point: the
// terms of heightAboveTangent, with what does not depend on x taken out of the loop.
void phaseHeights(const StableDiagram& d, PhaseIndex phase, double T, double muA, double muB, double* height)
{
    const InteractionCoefficients c = interactionCoefficients(d.model[phase], T);
    const double A = pureAGibbsEnergy(phase, T) - muA;
    const double B = pureBGibbsEnergy(phase, T) - muB;
    const double RT = GAS_CONSTANT * T;
    const double* x = d.grid.x;
    const double* rest = d.grid.rest;
    const double* mixing = d.grid.mixing;
    for (int k = 0; k < DIAGRAM_GRID; ++k)
        height[k] = rest[k] * A + x[k] * B + RT * mixing[k] + x[k] * rest[k] * (c.L0 + c.L1 * x[k]);
}

// The Gibbs energy of pure A (end 0) or pure B (end 1) in a phase.
double pureGibbsEnergy(int end, PhaseIndex phase, double T)
{
    return end == 0 ? pureAGibbsEnergy(phase, T) : pureBGibbsEnergy(phase, T);
}

PhaseIndex lowestSolid(int end, double T)
{
    return pureGibbsEnergy(end, FCC, T) < pureGibbsEnergy(end, BCC, T) ? FCC : BCC;
}

PhaseIndex lowestPhase(int end, double T)
{
    const PhaseIndex solid = lowestSolid(end, T);
    return pureGibbsEnergy(end, LIQUID, T) < pureGibbsEnergy(end, solid, T) ? LIQUID : solid;
}

// The liquid above the lower solid of a pure component: positive below its melting point.
double meltingDrive(int end, double T)
{
    return pureGibbsEnergy(end, LIQUID, T) - pureGibbsEnergy(end, lowestSolid(end, T), T);
}

MeltingPoint meltingPoint(int end)
{
    double low = MELTING_LOW;
    double high = MELTING_HIGH;
    if (!(meltingDrive(end, low) > 0) || !(meltingDrive(end, high) < 0)) return {false, 0, FCC};
    while (true) {
        const double middle = (low + high) / 2;
        if (!(middle > low && middle < high)) break;
        (meltingDrive(end, middle) > 0 ? low : high) = middle;
    }
    const double T = std::fabs(meltingDrive(end, low)) <= std::fabs(meltingDrive(end, high)) ? low : high;
    return {true, T, lowestSolid(end, T)};
}

// g(s) = d(height)/dx of a phase at log-ratio s, zero at a low point, and its derivative in s.
void heightSlope(PhaseIndex phase, const InteractionCoefficients& c, double s, double T, double muA, double muB,
                 double& g, double& dg, double& height)
{
    const Composition z = composition(s);
    const Potentials mu = potentials(phase, c, z, T);
    g = (mu.muB - muB) - (mu.muA - muA);
    dg = mu.dmuB - mu.dmuA;
    height = z.rest * (mu.muA - muA) + z.x * (mu.muB - muB);
}

// The least height over the log-ratios between lo and hi, where the slope changes sign from
// negative to positive; NaN where it does not.
double refinedLowPoint(PhaseIndex phase, const InteractionCoefficients& c, double lo, double hi, double T, double muA,
                       double muB)
{
    double g = 0;
    double dg = 0;
    double h = 0;
    heightSlope(phase, c, lo, T, muA, muB, g, dg, h);
    if (!(g < 0)) return NAN;
    heightSlope(phase, c, hi, T, muA, muB, g, dg, h);
    if (!(g > 0)) return NAN;
    double s = (lo + hi) / 2;
    for (int i = 0; i < 200; ++i) {
        heightSlope(phase, c, s, T, muA, muB, g, dg, h);
        (g < 0 ? lo : hi) = s;
        double next = dg > 0 ? s - g / dg : NAN;
        if (!(next > lo && next < hi)) next = (lo + hi) / 2;
        if (std::fabs(next - s) <= LOG_RATIO_TOLERANCE || !(hi > lo)) break;
        s = next;
    }
    return h;
}

// Compositions of a phase's grid points for the convex hull, with the difference of two of them
// taken on the side where it keeps its digits.
double difference(const Composition& a, const Composition& b) { return a.x >= 0.5 && b.x >= 0.5 ? a.rest - b.rest : b.x - a.x; }

struct Vertex {
    int k;
    int phase;
    double height;
};

// The lower convex hull of the three curves at T on the grid, heights measured from the line
// through the lowest pure components.
int lowerHull(const StableDiagram& d, double T, Vertex* hull)
{
    const double muA = pureAGibbsEnergy(lowestPhase(0, T), T);
    const double muB = pureBGibbsEnergy(lowestPhase(1, T), T);
    double height[3][DIAGRAM_GRID];
    for (int r = LIQUID; r <= FCC; ++r) phaseHeights(d, static_cast<PhaseIndex>(r), T, muA, muB, height[r]);
    int n = 0;
    for (int k = 0; k < DIAGRAM_GRID; ++k) {
        Vertex v{k, LIQUID, height[LIQUID][k]};
        for (int r = BCC; r <= FCC; ++r)
            if (height[r][k] < v.height) v = {k, r, height[r][k]};
        while (n >= 2) {
            const Composition& a = d.grid.z[hull[n - 2].k];
            const Composition& b = d.grid.z[hull[n - 1].k];
            const Composition& z = d.grid.z[k];
            if (difference(a, b) * (v.height - hull[n - 2].height) -
                    (hull[n - 1].height - hull[n - 2].height) * difference(a, z) > 0)
                break;
            --n;
        }
        hull[n++] = v;
    }
    return n;
}

// Start values for the pair's tie-lines at T: the hull's stretches between its two phases and,
// where the hull's end phase is not the pure component's stable phase, a tie-line too dilute for
// the grid, started from Henry's law.
int tieLineStarts(const StableDiagram& d, PhasePair pair, double T, double (*starts)[2], int capacity)
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    Vertex hull[DIAGRAM_GRID];
    const int n = lowerHull(d, T, hull);
    int count = 0;
    const auto add = [&](double s0, double s1) {
        if (count < capacity) {
            starts[count][0] = s0;
            starts[count][1] = s1;
            ++count;
        }
    };
    for (int v = 1; v < n; ++v) {
        const double sLeft = d.grid.z[hull[v - 1].k].s;
        const double sRight = d.grid.z[hull[v].k].s;
        if (hull[v - 1].phase == p && hull[v].phase == q) add(sLeft, sRight);
        if (hull[v - 1].phase == q && hull[v].phase == p) add(sRight, sLeft);
    }
    const double RT = GAS_CONSTANT * T;
    for (int end = 0; end < 2; ++end) {
        const Vertex& v = hull[end == 0 ? 0 : n - 1];
        const auto shown = static_cast<PhaseIndex>(v.phase);
        const PhaseIndex pure = lowestPhase(end, T);
        if (shown == pure || !((shown == p && pure == q) || (shown == q && pure == p))) continue;
        const Composition& z = d.grid.z[v.k];
        const Potentials mu = potentials(shown, interactionCoefficients(d.model[shown], T), z, T);
        const PhaseParameters& m = d.model[pure];
        const InteractionCoefficients c = interactionCoefficients(m, T);
        // Henry's law: muB of a phase at x -> 0 is G_B + RT ln x + L0; muA at x -> 1 is G_A + RT ln(1 - x) + L0 + L1.
        const double sPure = end == 0 ? (mu.muB - pureBGibbsEnergy(pure, T) - c.L0) / RT
                                      : (pureAGibbsEnergy(pure, T) + c.L0 + c.L1 - mu.muA) / RT;
        // The shown phase's composition at the grid's last point, and further out where both are
        // more dilute than the grid reaches (near a melting point).
        const double outwards = end == 0 ? -5.0 : 5.0;
        for (const double sShown : {z.s, z.s + outwards}) add(shown == p ? sShown : sPure, shown == p ? sPure : sShown);
    }
    return count;
}

// Whether the liquid lies on the hull at T between two different solids, and if so start values
// (T, xL, xBCC, xFCC) of the eutectic from the hull's two tie-lines on either side of it.
bool liquidBetweenSolids(const StableDiagram& d, double T, Vector4& start)
{
    Vertex hull[DIAGRAM_GRID];
    const int n = lowerHull(d, T, hull);
    int last = -1;  // the last vertex of the stretch before the current phase began
    for (int v = 1; v < n; ++v) {
        if (hull[v].phase == hull[v - 1].phase) continue;
        if (hull[v].phase == LIQUID) {
            last = v - 1;
            continue;
        }
        if (hull[v - 1].phase != LIQUID || last < 0 || hull[last].phase == hull[v].phase) {
            last = -1;
            continue;
        }
        start = {T, (d.grid.x[hull[last + 1].k] + d.grid.x[hull[v - 1].k]) / 2, 0, 0};
        start[hull[last].phase == BCC ? 2 : 3] = d.grid.x[hull[last].k];
        start[hull[v].phase == BCC ? 2 : 3] = d.grid.x[hull[v].k];
        return true;
    }
    return false;
}

// The stable eutectic: the lowest temperature at which the liquid lies on the hull between the
// two solids, found by steps of 25 K from 1000 K and bisection, then refined by Newton's method
// from the hull's tie-lines there; the slower search of stable_solves.h where that fails.
bool stableEutectic(const StableDiagram& d, Vector4& eutectic)
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
        for (int i = 0; i < 16; ++i) {
            const double middle = (low + high) / 2;
            Vector4 here{};
            if (liquidBetweenSolids(d, middle, here)) {
                high = middle;
                start = here;
            } else {
                low = middle;
            }
        }
        found = refineEutectic(start, eutectic, d.model[LIQUID], d.model[BCC], d.model[FCC]) < ITERATION_LIMIT &&
                isStableEutectic(d.model, eutectic);
    }
    found = found || solveStableEutectic(d.model, eutectic);
    // The solves above stop at steps of 1e-6 with the temperature slopes of L0 and L1 left out of
    // their Jacobian; the exact Newton step takes the root to the last digit.
    if (found) polishEutectic(d.model, eutectic);
    return found;
}

}  // namespace

TieLine tieLineOf(double s0, double s1) { return {{s0, s1}, {composition(s0).x, composition(s1).x}}; }

void buildStableDiagram(const PhaseParameters (&model)[3], StableDiagram& diagram)
{
    std::copy(std::begin(model), std::end(model), std::begin(diagram.model));
    buildGrid(diagram.grid);
    diagram.melting[0] = meltingPoint(0);
    diagram.melting[1] = meltingPoint(1);
    diagram.haveEutectic = stableEutectic(diagram, diagram.eutectic);
    for (int t = 0; t < 3; ++t) {
        diagram.traced[t] = false;
        diagram.trace[t].clear();
    }
}

void followStableDiagram(const StableDiagram& from, const PhaseParameters (&model)[3], StableDiagram& diagram)
{
    std::copy(std::begin(model), std::end(model), std::begin(diagram.model));
    diagram.grid = from.grid;
    diagram.melting[0] = meltingPoint(0);
    diagram.melting[1] = meltingPoint(1);
    Vector4 guess = from.eutectic;
    diagram.haveEutectic =
        (from.haveEutectic && polishEutectic(model, guess) && (diagram.eutectic = guess, true)) ||
        (from.haveEutectic && refineEutectic(guess, diagram.eutectic, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT) ||
        solveStableEutectic(model, diagram.eutectic);
    for (int t = 0; t < 3; ++t) {
        diagram.traced[t] = false;
        diagram.trace[t].clear();
    }
}

double lowestHeightAboveTangent(const StableDiagram& d, double T, double muA, double muB)
{
    double lowest = INFINITY;
    double height[DIAGRAM_GRID];
    for (int r = LIQUID; r <= FCC; ++r) {
        const auto phase = static_cast<PhaseIndex>(r);
        const InteractionCoefficients c = interactionCoefficients(d.model[r], T);
        phaseHeights(d, phase, T, muA, muB, height);
        for (int k = 0; k < DIAGRAM_GRID; ++k) lowest = std::fmin(lowest, height[k]);
        for (int k = 0; k < DIAGRAM_GRID; ++k) {
            const bool low = (k == 0 || height[k] <= height[k - 1]) && (k + 1 == DIAGRAM_GRID || height[k] <= height[k + 1]);
            if (!low || !(height[k] < REFINE_BELOW)) continue;
            const double lo = k == 0 ? -LOG_RATIO_LIMIT + 1 : d.grid.z[k - 1].s;
            const double hi = k + 1 == DIAGRAM_GRID ? LOG_RATIO_LIMIT - 1 : d.grid.z[k + 1].s;
            const double refined = refinedLowPoint(phase, c, lo, hi, T, muA, muB);
            if (refined < lowest) lowest = refined;
        }
    }
    return lowest;
}

bool isStableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine& tieLine)
{
    const PhaseIndex p = firstPhase(pair);
    const Potentials mu = potentials(p, interactionCoefficients(diagram.model[p], T), composition(tieLine.s[0]), T);
    return lowestHeightAboveTangent(diagram, T, mu.muA, mu.muB) >= -TANGENT_TOLERANCE;
}

int stableTieLines(const StableDiagram& diagram, PhasePair pair, double T, TieLine* out, int capacity)
{
    double starts[CANDIDATES][2];
    const int n = tieLineStarts(diagram, pair, T, starts, CANDIDATES);
    int found = 0;
    for (int i = 0; i < n && found < capacity; ++i) {
        double s[2] = {starts[i][0], starts[i][1]};
        if (!solveTieLine(diagram.model, pair, T, s)) continue;
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

bool stableTieLine(const StableDiagram& diagram, PhasePair pair, double T, const TieLine* near, TieLine& tieLine)
{
    if (near != nullptr && std::isfinite(near->s[0]) && std::isfinite(near->s[1])) {
        double s[2] = {near->s[0], near->s[1]};
        if (solveTieLine(diagram.model, pair, T, s) && std::fabs(s[0] - s[1]) > 1e-9) {
            const TieLine line = tieLineOf(s[0], s[1]);
            if (isStableTieLine(diagram, pair, T, line)) {
                tieLine = line;
                return true;
            }
        }
    }
    TieLine lines[4];
    const int n = stableTieLines(diagram, pair, T, lines, 4);
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
    const Composition z = composition(logRatio(x));
    PhaseIndex lowest = LIQUID;
    double g = INFINITY;
    for (int r = LIQUID; r <= FCC; ++r) {
        const auto phase = static_cast<PhaseIndex>(r);
        const double h = heightAboveTangent(phase, interactionCoefficients(diagram.model[r], T), z, T, mixingOf(z), 0, 0);
        if (h < g) {
            g = h;
            lowest = phase;
        }
    }
    return {lowest, lowest};
}
