// The Scheil path walked from stretch to stretch of liquidus, through the reactions between them.
#include "solidification/scheil_path.h"

#include <cmath>
#include <cstdio>

#include "equilibrium/log_ratio.h"
#include "numeric/three_point_rule.h"

namespace {

// Halvings of a step at most, and the change of the step's integral below which halving stops.
constexpr int SCHEIL_DEPTH = 20;
constexpr double SCHEIL_TOLERANCE = 1e-13;

// Temperatures this close are one (K): the stretches' ends are the reactions' own temperatures.
constexpr double SAME_T = 1e-9;

// How far below a stretch's end the next may begin where the solid turns into another of its
// composition (K): the sections' bisection stops 1e-3 K from the change.
constexpr double POLYMORPH_REACH = 0.01;

// How near the liquid at a stretch's end must lie to a reaction's liquid to meet it.
constexpr double LIQUID_MATCH = 1e-3;

bool isLiquid(const BinarySystem& system, int phase) { return system.phases[static_cast<std::size_t>(phase)].liquid; }

// A point of a liquidus: the liquid's and solid's compositions and the integrand x (1 - x) / (x - xS).
struct Node {
    double T;
    double s;
    double xL;
    double xS;
    double g;
};

struct Walker {
    const BinarySystem& system;
    SystemAt& at;
    const BinaryDiagram& diagram;
    const std::vector<FieldSpan>& spans;
    ScheilPath& path;
    std::vector<double> formed;  // by phase: the solids of the stretches and reactions passed
    double x0 = 0;
    int liquidPhase = -1;
    const FieldSpan* span = nullptr;  // the stretch followed
    int liquidSide = 0;
    double from = NAN;    // K: where the stretch started
    double L0 = 1;        // liquid at the stretch's start
    double integral = 0;  // of dx / (x - xS) from there
    Node last{};
    bool ended = false;
    double stoppedAt = NAN;

    const Field& field() const { return diagram.fields[static_cast<std::size_t>(span->field)]; }
    int solid() const { return field().phase[1 - liquidSide]; }

    bool node(double T, Node& out)
    {
        StableTieLine line{};
        if (!tieLineNear(system, at, diagram, *span, T, line)) return false;
        out.T = T;
        out.xL = line.x[liquidSide];
        out.xS = line.x[1 - liquidSide];
        out.s = logRatio(out.xL);
        out.g = out.xL * (1 - out.xL) / (out.xL - out.xS);
        return std::isfinite(out.g) && std::isfinite(out.s);
    }

    static double rule(const Node& a, const Node& m, const Node& b)
    {
        return threePointRule(a.s, m.s, b.s, a.g, m.g, b.g);
    }

    bool integrate(const Node& a, const Node& m, const Node& b, double whole, int depth)
    {
        Node q1{};
        Node q3{};
        if (!node(0.5 * (a.T + m.T), q1) || !node(0.5 * (m.T + b.T), q3)) return false;
        const double left = rule(a, q1, m);
        const double right = rule(m, q3, b);
        if (depth == 0 || std::fabs(left + right - whole) <= SCHEIL_TOLERANCE) {
            integral += left + right;
            return true;
        }
        return integrate(a, q1, m, left, depth - 1) && integrate(m, q3, b, right, depth - 1);
    }

    // Follows the stretch's liquidus down to T.
    bool advance(double T)
    {
        if (!(T < last.T)) return true;
        Node m{};
        Node b{};
        if (!node(0.5 * (last.T + T), m) || !node(T, b) || !integrate(last, m, b, rule(last, m, b), SCHEIL_DEPTH))
            return false;
        last = b;
        return true;
    }

    double liquidLeft() const { return L0 * std::exp(-integral); }

    // Starts the stretch of `s` at T, the liquid on side `side`, with `liquid` of it left.
    bool begin(const FieldSpan& s, int side, double liquid, double T)
    {
        span = &s;
        liquidSide = side;
        L0 = liquid;
        integral = 0;
        from = T;
        return node(T, last);
    }

    void stop(double T, const char* why)
    {
        char text[200];
        std::snprintf(text, sizeof text, "the Scheil path stops at %.4f K: %s", T, why);
        path.stopped = text;
        stoppedAt = T;
    }

    // The stretch of liquidus that starts at T, or within a reach of the sweep's bisection below it,
    // whose liquid has composition x: below a reaction, or where the solid that forms turns into
    // another of the same composition (a compound's polymorphs).
    const FieldSpan* stretchBelow(double T, double x, double reach, int& side) const
    {
        const FieldSpan* best = nullptr;
        for (const FieldSpan& s : spans) {
            if (&s == span || s.top > T + SAME_T || s.top < T - reach) continue;
            if (best != nullptr && s.top <= best->top) continue;
            const Field& f = diagram.fields[static_cast<std::size_t>(s.field)];
            const FieldRow* first = nearestRow(diagram, s, T);
            for (int k = 0; k < 2 && first != nullptr; ++k) {
                if (!isLiquid(system, f.phase[k]) || isLiquid(system, f.phase[1 - k])) continue;
                if (std::fabs(first->x[k] - x) > 0.05) continue;
                side = k;
                best = &s;
            }
        }
        return best;
    }

    // Where the stretch ends at a pure element's melting or a congruent point, its tie-line
    // degenerates there: the liquid is followed to the stretch's last row above it.
    double lastFollowed() const
    {
        bool degenerate = false;
        for (const SpecialPoint& point : diagram.points)
            degenerate = degenerate || (std::fabs(point.T - span->bottom) <= SAME_T && point.kind != SpecialKind::CRITICAL);
        double above = span->bottom;
        if (!degenerate) return above;
        for (const FieldRow& r : field().rows)
            if (r.T <= span->top && r.T > span->bottom && (above == span->bottom || r.T < above)) above = r.T;
        return above;
    }

    // Ends the stretch at its bottom: the reaction the liquid meets there, and the next stretch.
    bool endStretch()
    {
        const double T = span->bottom;
        if (!advance(lastFollowed())) return false;
        const double left = liquidLeft();
        formed[static_cast<std::size_t>(solid())] += L0 - left;
        path.stages.push_back({from, T, "", {solid(), -1}, {L0 - left, 0}});
        const double xL = last.xL;
        for (const Invariant& inv : diagram.invariants) {
            if (std::fabs(inv.T - T) > SAME_T) continue;
            int p = -1;
            for (int k = 0; k < 3; ++k)
                if (inv.state[k].phase == liquidPhase && std::fabs(inv.x[k] - xL) < LIQUID_MATCH) p = k;
            if (p < 0) continue;
            double next = left;
            double xNext = inv.x[p];
            ScheilStage stage{T, T, reactionName(inv.kind), {-1, -1}, {0, 0}};
            if (p == 1 && inv.decomposes) {
                const bool liquid0 = isLiquid(system, inv.state[0].phase);
                const bool liquid2 = isLiquid(system, inv.state[2].phase);
                if (!liquid0 && !liquid2) {
                    // The liquid left forms the two solids.
                    const double first = left * (inv.x[2] - xL) / (inv.x[2] - inv.x[0]);
                    stage.phase[0] = inv.state[0].phase;
                    stage.phase[1] = inv.state[2].phase;
                    stage.amount[0] = first;
                    stage.amount[1] = left - first;
                    formed[static_cast<std::size_t>(stage.phase[0])] += first;
                    formed[static_cast<std::size_t>(stage.phase[1])] += left - first;
                    path.stages.push_back(stage);
                    path.end = T;
                    path.endName = stage.name;
                    path.finalFraction = left;
                    ended = true;
                    return true;
                }
                // A monotectic: the liquid splits into the solid and the other liquid.
                const int q = liquid0 ? 2 : 0;
                const int r = 2 - q;
                const double solidPart = left * (xL - inv.x[r]) / (inv.x[q] - inv.x[r]);
                stage.phase[0] = inv.state[q].phase;
                stage.amount[0] = solidPart;
                formed[static_cast<std::size_t>(stage.phase[0])] += solidPart;
                next = left - solidPart;
                xNext = inv.x[r];
            }
            path.stages.push_back(stage);
            int side = 0;
            const FieldSpan* below = stretchBelow(T, xNext, SAME_T, side);
            if (below == nullptr) {
                stop(T, "no liquidus goes on below the reaction");
                return true;
            }
            return begin(*below, side, next, T);
        }
        for (const SpecialPoint& point : diagram.points) {
            if (std::fabs(point.T - T) > SAME_T || point.kind == SpecialKind::CRITICAL) continue;
            // The liquid reaches the solid's composition: what is left solidifies as it.
            formed[static_cast<std::size_t>(solid())] += left;
            const char* name = point.kind == SpecialKind::CONGRUENT ? "congruent" : "melting point";
            path.stages.push_back({T, T, name, {solid(), -1}, {left, 0}});
            path.end = T;
            path.endName = name;
            path.finalFraction = left;
            ended = true;
            return true;
        }
        // No reaction: the liquidus goes on where the solid that forms changes (polymorphs of a
        // compound, a bisection's width below).
        int side = 0;
        if (const FieldSpan* next = stretchBelow(T, xL, POLYMORPH_REACH, side)) return begin(*next, side, left, next->top);
        stop(T, T <= diagram.lowest + SAME_T ? "the diagram's lowest temperature, with liquid left"
                                             : "the liquidus ends there in no reaction that was solved");
        return true;
    }

    ScheilPoint pointAt(double T) const
    {
        ScheilPoint p{T, NAN, NAN, NAN, formed};
        if (ended) {
            p.fs = 1;
            return p;
        }
        if (!path.stopped.empty() && T < stoppedAt) {
            for (double& a : p.amount) a = NAN;
            return p;
        }
        if (span == nullptr) {
            // Stopped where it starts: all liquid still.
            p.fs = 0;
            p.xLiquid = x0;
            p.amount[static_cast<std::size_t>(liquidPhase)] = 1;
            return p;
        }
        const double left = liquidLeft();
        p.amount[static_cast<std::size_t>(solid())] += L0 - left;
        p.amount[static_cast<std::size_t>(liquidPhase)] = left;
        p.fs = 1 - left;
        p.xLiquid = last.xL;
        p.xSolid = last.xS;
        return p;
    }
};

}  // namespace

bool scheilPath(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                const std::vector<FieldSpan>& spans, double x0, const std::vector<PathEvent>& equilibrium,
                const std::vector<double>& temperatures, ScheilPath& path, ErrorText& error)
{
    path = ScheilPath{};
    const PathEvent* start = nullptr;
    for (const PathEvent& e : equilibrium)
        if (start == nullptr && e.above.count == 1 && isLiquid(system, e.above.phases[0].phase)) start = &e;
    Walker w{system, at, diagram, spans, path, std::vector<double>(system.phases.size(), 0.0)};
    if (start == nullptr) {
        // An alloy in a miscibility gap of the liquid that reaches above the diagram.
        AlloyState top;
        if (!alloyStateAt(system, at, diagram, spans, diagram.highest, x0, top) || top.count != 2 ||
            !isLiquid(system, top.phases[0].phase) || !isLiquid(system, top.phases[1].phase))
            return fail(error, "the alloy x = %g is not all liquid even at the diagram's top, %.2f K: its liquidus lies "
                               "higher",
                        x0, diagram.highest);
        w.liquidPhase = top.phases[0].phase;
        w.x0 = x0;
        path.liquidus = diagram.highest;
        path.twoLiquidsAtTop = true;
        w.stop(diagram.highest, "the alloy is two liquids at the diagram's top (a miscibility gap of the liquid), and "
                                "the path follows one liquid only");
        for (const double T : temperatures) path.points.push_back(w.pointAt(T));
        return true;
    }
    w.liquidPhase = start->above.phases[0].phase;
    w.x0 = x0;
    path.liquidus = start->T;
    const AlloyState& below = start->below;
    const bool liquid0 = below.count == 2 && isLiquid(system, below.phases[0].phase);
    const bool liquid1 = below.count == 2 && isLiquid(system, below.phases[1].phase);
    if (below.count == 2 && liquid0 != liquid1) {
        const FieldSpan* first = nullptr;
        for (const FieldSpan& s : spans)
            if (s.field == below.field && s.top >= start->T - SAME_T && s.bottom <= start->T + SAME_T) first = &s;
        if (first == nullptr || !w.begin(*first, liquid0 ? 0 : 1, 1, start->T))
            return fail(error, "the liquidus of x = %g could not be followed from %.4f K", x0, start->T);
    } else if (below.count == 1 && !isLiquid(system, below.phases[0].phase)) {
        // At a congruent point's composition the liquid solidifies at one temperature as a whole.
        w.formed[static_cast<std::size_t>(below.phases[0].phase)] = 1;
        path.stages.push_back({start->T, start->T, start->name, {below.phases[0].phase, -1}, {1, 0}});
        path.end = start->T;
        path.endName = start->name;
        path.finalFraction = 1;
        w.ended = true;
    } else if (start->name != std::string("liquidus") && below.count == 2 && !liquid0 && !liquid1) {
        // The alloy has the composition of a eutectic's liquid: it all forms the two solids there.
        for (int k = 0; k < 2; ++k) w.formed[static_cast<std::size_t>(below.phases[k].phase)] += below.phases[k].amount;
        path.stages.push_back({start->T, start->T, start->name, {below.phases[0].phase, below.phases[1].phase},
                               {below.phases[0].amount, below.phases[1].amount}});
        path.end = start->T;
        path.endName = start->name;
        path.finalFraction = 1;
        w.ended = true;
    } else {
        w.stop(start->T, "the liquid separates into two liquids, and the path follows one liquid only");
    }
    for (const double T : temperatures) {
        if (T > path.liquidus) {
            ScheilPoint p{T, 0, x0, NAN, std::vector<double>(system.phases.size(), 0.0)};
            p.amount[static_cast<std::size_t>(w.liquidPhase)] = 1;
            path.points.push_back(p);
            continue;
        }
        while (!w.ended && path.stopped.empty() && T < w.span->bottom - SAME_T)
            if (!w.endStretch()) return fail(error, "the liquidus could not be followed below %.4f K", w.last.T);
        if (!w.ended && path.stopped.empty() && !w.advance(T))
            return fail(error, "the liquidus could not be followed below %.4f K", w.last.T);
        path.points.push_back(w.pointAt(T));
    }
    // On to the end, whatever range the points cover.
    while (!w.ended && path.stopped.empty())
        if (!w.endStretch()) return fail(error, "the liquidus could not be followed below %.4f K", w.last.T);
    return true;
}
