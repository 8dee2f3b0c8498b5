// The equilibrium and Scheil paths of one alloy along the stable tie-lines of its primary pair.
#include "solidification/solidification.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/boundary_temperature.h"
#include "equilibrium/refine.h"
#include "equilibrium/stable_solves.h"

namespace {

constexpr double SCAN_STEP = 10;       // K between the tie-lines that bracket a composition
constexpr double SCAN_LIMIT = 6000;    // K: no stable liquid boundary lies above

PhasePair pairWith(PhaseIndex solid) { return solid == FCC ? LIQUID_FCC : LIQUID_BCC; }

// The temperature at which side `side` of the pair's boundary has composition x, from a stable
// tie-line `start` at startT; true when the solve converged to a stable tie-line.
bool boundaryAt(const PhaseParameters (&model)[3], PhasePair pair, int side, double x, double startT,
                const Vector4& start, double& T, Vector4& tieLine, GibbsCurves& curves)
{
    Vector4 solution{};
    if (solveBoundaryTemperature(model, pair, side, x, {startT, start[1 - side], 0, 0}, solution) >= ITERATION_LIMIT)
        return false;
    tieLine = side == 0 ? Vector4{x, solution[1], 0, 0} : Vector4{solution[1], x, 0, 0};
    gibbsCurves(model, solution[0], curves);
    if (!isStableTieLine(curves, firstPhase(pair), tieLine[0], secondPhase(pair), tieLine[1])) return false;
    T = solution[0];
    return true;
}

// The pair's tie-line at the eutectic: the liquid's and the solid's compositions there.
Vector4 eutecticTieLine(const Vector4& eutectic, PhasePair pair)
{
    return {eutectic[1], pair == LIQUID_FCC ? eutectic[3] : eutectic[2], 0, 0};
}

// Scans the pair's stable boundary upwards from the eutectic, whose tie-line starts it, to `to`
// for the bracket in which side `side` passes through x, then solves for the temperature there.
bool findOnBoundary(const PhaseParameters (&model)[3], PhasePair pair, int side, double x, const Vector4& eutectic,
                    double to, double& T, Vector4& tieLine, GibbsCurves& curves)
{
    const double from = eutectic[0];
    Vector4 previous = eutecticTieLine(eutectic, pair);
    double previousT = from;
    bool havePrevious = true;
    for (double t = from + SCAN_STEP; t <= to + SCAN_STEP; t += SCAN_STEP) {
        Vector4 here{};
        if (!solveStableTieLine(model, pair, t, havePrevious ? &previous : nullptr, here, curves)) {
            if (havePrevious) break;
            continue;
        }
        if (havePrevious && (previous[side] - x) * (here[side] - x) <= 0) {
            const bool nearer = std::fabs(previous[side] - x) < std::fabs(here[side] - x);
            return boundaryAt(model, pair, side, x, nearer ? previousT : t, nearer ? previous : here, T, tieLine, curves);
        }
        previous = here;
        previousT = t;
        havePrevious = true;
    }
    return false;
}

// The tie-line of the pair at T, continued from `near`.
bool tieLineAt(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4& near, Vector4& tieLine,
               GibbsCurves& curves)
{
    Vector4 guess = near;
    if (refineTwoPhase(T, guess, tieLine, model[firstPhase(pair)], model[secondPhase(pair)], pair) < ITERATION_LIMIT)
        return true;
    return solveStableTieLine(model, pair, T, &near, tieLine, curves);
}

// The integral of g over three points of unequal spacing: exact for a quadratic g.
double threePointRule(double x0, double x1, double x2, double g0, double g1, double g2)
{
    const double h0 = x1 - x0;
    const double h1 = x2 - x1;
    if (h0 == 0 || h1 == 0) return (x2 - x0) * (g0 + g2) / 2;
    return (h0 + h1) / 6 * ((2 - h1 / h0) * g0 + (h0 + h1) * (h0 + h1) / (h0 * h1) * g1 + (2 - h0 / h1) * g2);
}

struct Event {
    double T;
    const char* name;
};

}  // namespace

bool alloyLiquidus(const PhaseParameters (&model)[3], double x0, const Vector4& eutectic, PhaseIndex& primary,
                   double& liquidus, Vector4& tieLine)
{
    if (std::fabs(x0 - eutectic[1]) < 1e-9) {
        primary = LIQUID;
        liquidus = eutectic[0];
        tieLine = {x0, x0, 0, 0};
        return true;
    }
    GibbsCurves curves;
    bool found = false;
    for (const PhaseIndex solid : {FCC, BCC}) {
        double T = 0;
        Vector4 line{};
        if (findOnBoundary(model, pairWith(solid), 0, x0, eutectic, SCAN_LIMIT, T, line, curves) &&
            (!found || T > liquidus)) {
            found = true;
            primary = solid;
            liquidus = T;
            tieLine = line;
        }
    }
    return found;
}

bool solidify(const PhaseParameters (&model)[3], double x0, const PathGrid& grid, const SolidificationPath* nominal,
              SolidificationPath& path, ErrorText& error)
{
    path = SolidificationPath{};
    path.x0 = x0;
    GibbsCurves curves;

    // The stable eutectic and the alloy's liquidus, from the nominal model's where there is one.
    bool haveEutectic = false;
    if (nominal != nullptr) {
        Vector4 guess = nominal->eutectic;
        haveEutectic = refineEutectic(guess, path.eutectic, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT;
    }
    if (!haveEutectic && !solveStableEutectic(model, path.eutectic))
        return fail(error, "the model has no stable eutectic to end the Scheil path");
    const double TE = path.eutectic[0];
    bool haveLiquidus = false;
    if (nominal != nullptr && nominal->primary != LIQUID) {
        path.primary = nominal->primary;
        haveLiquidus = boundaryAt(model, pairWith(path.primary), 0, x0, nominal->liquidus, nominal->liquidusTieLine,
                                  path.liquidus, path.liquidusTieLine, curves);
    }
    if (!haveLiquidus && !alloyLiquidus(model, x0, path.eutectic, path.primary, path.liquidus, path.liquidusTieLine))
        return fail(error, "no stable liquidus of the model passes through x = %g", x0);
    if (grid.from < path.liquidus)
        return fail(error, "the path starts at %g K, below the alloy's liquidus at %.2f K: start above it", grid.from,
                    path.liquidus);

    // The equilibrium solidus: where the primary solid's composition reaches x0, above the
    // eutectic when x0 lies beyond the primary solid's composition there.
    const bool eutecticAlloy = path.primary == LIQUID;
    const PhasePair pair = eutecticAlloy ? LIQUID_FCC : pairWith(path.primary);
    const Vector4 atEutectic = eutecticTieLine(path.eutectic, pair);
    path.eutecticReached = eutecticAlloy || (x0 - atEutectic[0]) * (x0 - atEutectic[1]) < 0;
    path.solidus = TE;
    if (!path.eutecticReached) {
        const bool fromNominal = nominal != nullptr && !nominal->eutecticReached && nominal->primary == path.primary &&
                                 boundaryAt(model, pair, 1, x0, nominal->solidus, nominal->solidusTieLine, path.solidus,
                                            path.solidusTieLine, curves);
        if (!fromNominal && !findOnBoundary(model, pair, 1, x0, path.eutectic, path.liquidus, path.solidus,
                                            path.solidusTieLine, curves))
            return fail(error, "the solidus of x = %g could not be solved between the eutectic and the liquidus", x0);
    }

    // The temperatures: the grid, and the exact events in their places.
    std::vector<Event> events;
    for (long k = 0;; ++k) {
        const double T = grid.from - static_cast<double>(k) * grid.step;
        if (T < grid.to - 1e-9) break;
        events.push_back({T, ""});
    }
    if (!eutecticAlloy) events.push_back({path.liquidus, "liquidus"});
    if (!path.eutecticReached) events.push_back({path.solidus, "solidus"});
    events.push_back({TE, "eutectic"});
    events.erase(std::remove_if(events.begin(), events.end(),
                                [&](const Event& e) { return e.name[0] != '\0' && (e.T > grid.from || e.T < grid.to); }),
                 events.end());
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.T > b.T; });

    Vector4 tie = path.liquidusTieLine;  // continued downwards
    double lastT = path.liquidus;
    double integral = 0;                 // of dx / (x - xS) along the liquidus, from x0
    path.eutecticEquilibrium = 0;
    path.eutecticScheil = 0;
    for (const Event& e : events) {
        const double T = e.T;
        PathRow row{T, NAN, NAN, NAN, NAN, NAN, NAN, e.name};
        const bool eutecticRow = e.name[0] == 'e';
        if (T > path.liquidus || (T == path.liquidus && !eutecticAlloy)) {
            row.fsEquilibrium = row.fsScheil = 0;
            row.xLiquidEquilibrium = row.xLiquidScheil = x0;
            if (T == path.liquidus) row.xSolidEquilibrium = row.xSolidScheil = tie[1];
        } else if (T > TE || (eutecticRow && !eutecticAlloy)) {
            // Liquid and primary solid: the tie-line at T, and the Scheil integral up to it.
            const double Tm = (lastT + T) / 2;
            Vector4 middle{};
            Vector4 here{};
            if (!tieLineAt(model, pair, Tm, tie, middle, curves) || !tieLineAt(model, pair, T, middle, here, curves))
                return fail(error, "the %s boundary could not be followed below %.2f K", pair == LIQUID_FCC ? "Liquid/FCC" : "Liquid/BCC", lastT);
            integral += threePointRule(tie[0], middle[0], here[0], 1 / (tie[0] - tie[1]), 1 / (middle[0] - middle[1]),
                                       1 / (here[0] - here[1]));
            tie = here;
            lastT = T;
            row.fsScheil = 1 - std::exp(-integral);
            row.xLiquidScheil = here[0];
            row.xSolidScheil = here[1];
            if (!path.eutecticReached && T <= path.solidus) {
                row.fsEquilibrium = 1;
                row.xSolidEquilibrium = x0;
            } else {
                row.fsEquilibrium = (x0 - here[0]) / (here[1] - here[0]);
                row.xLiquidEquilibrium = here[0];
                row.xSolidEquilibrium = here[1];
            }
            if (eutecticRow && T == TE) {
                path.eutecticScheil = std::exp(-integral);
                if (path.eutecticReached) path.eutecticEquilibrium = 1 - row.fsEquilibrium;
            }
        } else if (eutecticRow && eutecticAlloy) {
            row.fsEquilibrium = row.fsScheil = 0;
            row.xLiquidEquilibrium = row.xLiquidScheil = x0;
            path.eutecticEquilibrium = path.eutecticScheil = 1;
        } else {
            // Below the eutectic: all solid.
            row.fsEquilibrium = row.fsScheil = 1;
            if (!path.eutecticReached) row.xSolidEquilibrium = x0;
        }
        path.rows.push_back(row);
    }
    return true;
}
