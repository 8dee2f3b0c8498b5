// The equilibrium and Scheil paths of one alloy along the stable tie-lines of its primary pair.
#include "solidification/solidification.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/tie_line_newton.h"
#include "numeric/three_point_rule.h"

namespace {

// Halvings of a Scheil step at most, and the change of the step's integral below which halving stops.
constexpr int SCHEIL_DEPTH = 20;
constexpr double SCHEIL_TOLERANCE = 1e-13;

PhasePair pairWith(PhaseIndex solid) { return solid == FCC ? LIQUID_FCC : LIQUID_BCC; }

// to.x - from.x, from whichever of x and 1 - x keeps the digits of two compositions near an end.
double towards(const Composition& from, const Composition& to)
{
    return from.x < 0.5 && to.x < 0.5 ? to.x - from.x : from.rest - to.rest;
}

// The pair's tie-line at T continued from `near`, else the stable one nearest it.
bool tieLineAt(const StableDiagram& d, PhasePair pair, double T, const TieLine& near, TieLine& tieLine)
{
    double s[2] = {near.s[0], near.s[1]};
    if (solveDiagramTieLine(d, pair, T, s) && std::fabs(s[0] - s[1]) > 1e-9) {
        tieLine = tieLineOf(s[0], s[1]);
        return true;
    }
    return stableTieLine(d, pair, T, &near, tieLine);
}

// The Scheil integrand in the liquid's log-ratio: x (1 - x) / (x - xS) of the tie-line.
double scheilIntegrand(const TieLine& t)
{
    const Composition liquid = composition(t.s[0]);
    return liquid.x * liquid.rest / towards(composition(t.s[1]), liquid);
}

// A point of the liquidus walked by the Scheil integral.
struct Node {
    double T;
    TieLine line;
    double g;  // the integrand
};

double rule(const Node& a, const Node& m, const Node& b)
{
    return threePointRule(a.line.s[0], m.line.s[0], b.line.s[0], a.g, m.g, b.g);
}

bool node(const StableDiagram& d, PhasePair pair, double T, const TieLine& near, Node& out)
{
    out.T = T;
    if (!tieLineAt(d, pair, T, near, out.line)) return false;
    out.g = scheilIntegrand(out.line);
    return true;
}

// Adds the integral from a through m to b, whose three-point value is `whole`, halving the step
// until the halves agree with the whole.
bool integrate(const StableDiagram& d, PhasePair pair, const Node& a, const Node& m, const Node& b, double whole,
               int depth, double& sum)
{
    Node q1{};
    Node q3{};
    if (!node(d, pair, (a.T + m.T) / 2, a.line, q1) || !node(d, pair, (m.T + b.T) / 2, m.line, q3)) return false;
    const double left = rule(a, q1, m);
    const double right = rule(m, q3, b);
    if (depth == 0 || std::fabs(left + right - whole) <= SCHEIL_TOLERANCE) {
        sum += left + right;
        return true;
    }
    return integrate(d, pair, a, q1, m, left, depth - 1, sum) && integrate(d, pair, m, q3, b, right, depth - 1, sum);
}

// The boundary temperature at which side `side` of the pair has composition x0, started from a
// nominal path's solution; true when it converged to a stable tie-line.
bool fromNominal(const StableDiagram& d, PhasePair pair, int side, double x0, double startT, const TieLine& start,
                 double& T, TieLine& tieLine)
{
    const double sFixed = logRatio(x0);
    double t = startT;
    double sOther = start.s[1 - side];
    if (!solveDiagramTemperature(d, pair, side, sFixed, t, sOther)) return false;
    const TieLine line = side == 0 ? tieLineOf(sFixed, sOther) : tieLineOf(sOther, sFixed);
    if (!isStableTieLine(d, pair, t, line)) return false;
    T = t;
    tieLine = line;
    return true;
}

struct Event {
    double T;
    const char* name;
};

}  // namespace

bool alloyTemperatures(StableDiagram& diagram, double x0, const SolidificationPath* nominal, SolidificationPath& path,
                       ErrorText& error)
{
    path = SolidificationPath{};
    path.x0 = x0;
    if (!diagram.haveEutectic) return fail(error, "the model has no stable eutectic to end the Scheil path");
    path.eutectic = diagram.eutectic;
    const double TE = path.eutectic[0];

    bool haveLiquidus = false;
    if (nominal != nullptr && nominal->primary != LIQUID) {
        path.primary = nominal->primary;
        haveLiquidus = fromNominal(diagram, pairWith(path.primary), 0, x0, nominal->liquidus, nominal->liquidusTieLine,
                                   path.liquidus, path.liquidusTieLine);
    }
    if (!haveLiquidus && std::fabs(x0 - path.eutectic[1]) < 1e-9) {
        path.primary = LIQUID;
        path.liquidus = TE;
        path.liquidusTieLine = tieLineOf(logRatio(x0), logRatio(x0));
        haveLiquidus = true;
    }
    for (const PhaseIndex solid : {FCC, BCC}) {
        if (haveLiquidus && (nominal != nullptr || path.primary == LIQUID)) break;
        double T = 0;
        TieLine line{};
        double range[2];
        if (boundaryTemperature(diagram, pairWith(solid), 0, x0, NAN, T, line, range) == Reach::FOUND &&
            (!haveLiquidus || T > path.liquidus)) {
            haveLiquidus = true;
            path.primary = solid;
            path.liquidus = T;
            path.liquidusTieLine = line;
        }
    }
    if (!haveLiquidus) return fail(error, "no stable liquidus of the model passes through x = %g", x0);

    // The equilibrium solidus: where the primary solid's composition reaches x0, above the
    // eutectic when x0 lies beyond the primary solid's composition there; the first such
    // temperature below the liquidus.
    const bool eutecticAlloy = path.primary == LIQUID;
    const PhasePair pair = eutecticAlloy ? LIQUID_FCC : pairWith(path.primary);
    const double xSolidAtEutectic = pair == LIQUID_FCC ? path.eutectic[3] : path.eutectic[2];
    path.eutecticReached = eutecticAlloy || (x0 - path.eutectic[1]) * (x0 - xSolidAtEutectic) < 0;
    path.solidus = TE;
    if (!path.eutecticReached) {
        const bool solved = nominal != nullptr && !nominal->eutecticReached && nominal->primary == path.primary &&
                            fromNominal(diagram, pair, 1, x0, nominal->solidus, nominal->solidusTieLine, path.solidus,
                                        path.solidusTieLine);
        double range[2];
        if (!solved && boundaryTemperature(diagram, pair, 1, x0, path.liquidus, path.solidus, path.solidusTieLine,
                                           range) != Reach::FOUND)
            return fail(error, "the solidus of x = %g could not be solved between the eutectic and the liquidus", x0);
    }
    return true;
}

bool solidificationRows(const StableDiagram& diagram, const PathGrid& grid, SolidificationPath& path, ErrorText& error)
{
    const double x0 = path.x0;
    const double TE = path.eutectic[0];
    if (grid.from < path.liquidus)
        return fail(error, "the path starts at %g K, below the alloy's liquidus at %.2f K: start above it", grid.from,
                    path.liquidus);
    const bool eutecticAlloy = path.primary == LIQUID;
    const PhasePair pair = eutecticAlloy ? LIQUID_FCC : pairWith(path.primary);

    // The temperatures: the grid, and the exact events in their places. An event outside the
    // grid's range is still passed through, so the eutectic fractions do not depend on the range.
    std::vector<Event> events;
    for (long k = 0;; ++k) {
        const double T = grid.from - static_cast<double>(k) * grid.step;
        if (T < grid.to - 1e-9) break;
        events.push_back({T, ""});
    }
    if (!eutecticAlloy) events.push_back({path.liquidus, "liquidus"});
    if (!path.eutecticReached) events.push_back({path.solidus, "solidus"});
    events.push_back({TE, "eutectic"});
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.T > b.T; });

    Node last{path.liquidus, path.liquidusTieLine, 0};  // continued downwards
    if (!eutecticAlloy) last.g = scheilIntegrand(last.line);
    double integral = 0;  // of dx / (x - xS) along the liquidus, from x0
    path.rows.clear();
    path.eutecticEquilibrium = 0;
    path.eutecticScheil = 0;
    const Composition alloy = composition(logRatio(x0));
    for (const Event& e : events) {
        const double T = e.T;
        PathRow row{T, NAN, NAN, NAN, NAN, NAN, NAN, e.name};
        const bool eutecticRow = e.name[0] == 'e';
        if (T > path.liquidus || (T == path.liquidus && !eutecticAlloy)) {
            row.fsEquilibrium = row.fsScheil = 0;
            row.xLiquidEquilibrium = row.xLiquidScheil = x0;
            if (T == path.liquidus) row.xSolidEquilibrium = row.xSolidScheil = path.liquidusTieLine.x[1];
        } else if (T > TE || (eutecticRow && !eutecticAlloy)) {
            // Liquid and primary solid: the tie-line at T, and the Scheil integral up to it.
            Node middle{};
            Node here{};
            if (T < last.T) {
                if (!node(diagram, pair, (last.T + T) / 2, last.line, middle) || !node(diagram, pair, T, middle.line, here) ||
                    !integrate(diagram, pair, last, middle, here, rule(last, middle, here), SCHEIL_DEPTH, integral))
                    return fail(error, "the %s boundary could not be followed below %.2f K",
                                pair == LIQUID_FCC ? "Liquid/FCC" : "Liquid/BCC", last.T);
                last = here;
            }
            const Composition liquid = composition(last.line.s[0]);
            row.fsScheil = -std::expm1(-integral);
            row.xLiquidScheil = last.line.x[0];
            row.xSolidScheil = last.line.x[1];
            if (!path.eutecticReached && T <= path.solidus) {
                row.fsEquilibrium = 1;
                row.xSolidEquilibrium = x0;
            } else {
                row.fsEquilibrium = towards(liquid, alloy) / towards(liquid, composition(last.line.s[1]));
                row.xLiquidEquilibrium = last.line.x[0];
                row.xSolidEquilibrium = last.line.x[1];
            }
            if (eutecticRow) {
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
        if (T <= grid.from && T >= grid.to - 1e-9) path.rows.push_back(row);
    }
    return true;
}

bool solidify(StableDiagram& diagram, double x0, const PathGrid& grid, const SolidificationPath* nominal,
              SolidificationPath& path, ErrorText& error)
{
    return alloyTemperatures(diagram, x0, nominal, path, error) && solidificationRows(diagram, grid, path, error);
}
