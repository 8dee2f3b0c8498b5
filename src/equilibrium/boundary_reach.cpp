// Where a stable boundary reaches a composition: the pair's stable boundary traced over the
// temperatures, bracketed between its nodes (its exact ends at the melting points and at the
// eutectic among them), then solved directly for the temperature.
#include <algorithm>
#include <cmath>

#include "equilibrium/stable_diagram.h"
#include "equilibrium/tie_line_newton.h"

namespace {

constexpr int BISECTIONS = 60;

// The exact ends of the pair's boundary: the eutectic's tie-line of the pair, and a melting point
// where the pair's two phases meet as a pure component (both log-ratios infinite).
void exactEnds(const StableDiagram& d, PhasePair pair, std::vector<TraceNode>& nodes)
{
    if (d.haveEutectic) {
        const Vector4& e = d.eutectic;
        const double xFirst = pair == BCC_FCC ? e[2] : e[1];
        const double xSecond = pair == LIQUID_BCC ? e[2] : e[3];
        nodes.push_back({e[0], true, {logRatio(xFirst), logRatio(xSecond)}});
    }
    for (int end = 0; end < 2; ++end) {
        const MeltingPoint& m = d.melting[end];
        if (!m.exists || firstPhase(pair) != LIQUID || secondPhase(pair) != m.solid) continue;
        const double s = end == 0 ? -INFINITY : INFINITY;
        nodes.push_back({m.T, true, {s, s}});
    }
}

void tracePair(StableDiagram& d, PhasePair pair)
{
    std::vector<TraceNode>& nodes = d.trace[pair - 1];
    nodes.clear();
    exactEnds(d, pair, nodes);
    double top = 0;
    for (const MeltingPoint& m : d.melting) top = std::max(top, m.exists ? m.T : 6000.0);
    top = std::min(top + TRACE_STEP, highestTemperature(d));
    const std::size_t exact = nodes.size();
    for (double T = std::max(TRACE_LOW, lowestTemperature(d)); T <= top; T += TRACE_STEP) {
        bool clash = false;
        for (std::size_t i = 0; i < exact; ++i) clash = clash || std::fabs(nodes[i].T - T) < 1e-3;
        if (!clash) nodes.push_back({T, false, {NAN, NAN}});
    }
    std::sort(nodes.begin(), nodes.end(), [](const TraceNode& a, const TraceNode& b) { return a.T < b.T; });
    const TraceNode* previous = nullptr;
    for (TraceNode& node : nodes) {
        if (!node.stable) {
            TieLine near{};
            const bool haveNear = previous != nullptr && std::isfinite(previous->s[0]) && std::isfinite(previous->s[1]);
            if (haveNear) near = tieLineOf(previous->s[0], previous->s[1]);
            TieLine line{};
            node.stable = stableTieLine(d, pair, node.T, haveNear ? &near : nullptr, line);
            if (node.stable) std::copy(std::begin(line.s), std::end(line.s), std::begin(node.s));
        }
        previous = node.stable ? &node : nullptr;
    }
    d.traced[pair - 1] = true;
}

// The temperature between two stable nodes at which side `side` takes the log-ratio target:
// Newton's method from the nearer node, else bisection on the tie-lines, polished by Newton.
bool solveBetween(const StableDiagram& d, PhasePair pair, int side, double target, const TraceNode& a,
                  const TraceNode& b, double& T, TieLine& tieLine)
{
    const int other = 1 - side;
    const auto accept = [&](double t, double sOther) {
        if (!(t >= a.T - 1e-6 && t <= b.T + 1e-6)) return false;
        const TieLine line = side == 0 ? tieLineOf(target, sOther) : tieLineOf(sOther, target);
        if (!isStableTieLine(d, pair, t, line)) return false;
        T = t;
        tieLine = line;
        return true;
    };
    const bool aFinite = std::isfinite(a.s[side]);
    const bool bFinite = std::isfinite(b.s[side]);
    const TraceNode& start =
        !bFinite || (aFinite && std::fabs(a.s[side] - target) <= std::fabs(b.s[side] - target)) ? a : b;
    double t = start.T;
    double sOther = start.s[other];
    if (solveDiagramTemperature(d, pair, side, target, t, sOther) && accept(t, sOther)) return true;

    // Bisection in T on the stable tie-lines, each continued from the nearer end of the bracket.
    double lo = a.T;
    double hi = b.T;
    TieLine loLine{};
    TieLine hiLine{};
    const bool loFinite = aFinite && std::isfinite(a.s[other]);
    const bool hiFinite = bFinite && std::isfinite(b.s[other]);
    if (loFinite) loLine = tieLineOf(a.s[0], a.s[1]);
    if (hiFinite) hiLine = tieLineOf(b.s[0], b.s[1]);
    const double loSign = a.s[side] - target;
    TieLine middleLine{};
    for (int i = 0; i < BISECTIONS; ++i) {
        const double middle = (lo + hi) / 2;
        const bool fromLo = loFinite && (!hiFinite || middle - lo <= hi - middle);
        if (!stableTieLine(d, pair, middle, fromLo ? &loLine : (hiFinite ? &hiLine : nullptr), middleLine)) return false;
        if ((middleLine.s[side] - target) * loSign > 0) {
            lo = middle;
            loLine = middleLine;
        } else {
            hi = middle;
            hiLine = middleLine;
        }
    }
    t = (lo + hi) / 2;
    sOther = middleLine.s[other];
    if (solveDiagramTemperature(d, pair, side, target, t, sOther) && accept(t, sOther)) return true;
    T = (lo + hi) / 2;
    tieLine = middleLine;
    return true;
}

}  // namespace

Reach boundaryTemperature(StableDiagram& diagram, PhasePair pair, int side, double x, double nearT, double& T,
                          TieLine& tieLine, double (&range)[2])
{
    if (!diagram.traced[pair - 1]) tracePair(diagram, pair);
    const std::vector<TraceNode>& nodes = diagram.trace[pair - 1];
    const double target = logRatio(x);
    range[0] = INFINITY;
    range[1] = -INFINITY;
    bool any = false;
    bool found = false;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!nodes[i].stable) continue;
        any = true;
        const double xi = composition(nodes[i].s[side]).x;
        range[0] = std::min(range[0], std::isinf(nodes[i].s[side]) ? (nodes[i].s[side] < 0 ? 0.0 : 1.0) : xi);
        range[1] = std::max(range[1], std::isinf(nodes[i].s[side]) ? (nodes[i].s[side] < 0 ? 0.0 : 1.0) : xi);
        if (i + 1 == nodes.size() || !nodes[i + 1].stable) continue;
        const double da = nodes[i].s[side] - target;
        const double db = nodes[i + 1].s[side] - target;
        if (!(da == 0 || db == 0 || (da < 0) != (db < 0))) continue;
        double t = 0;
        TieLine line{};
        if (!solveBetween(diagram, pair, side, target, nodes[i], nodes[i + 1], t, line)) continue;
        const bool better = !found || (std::isnan(nearT) ? t > T : std::fabs(t - nearT) < std::fabs(T - nearT));
        if (better) {
            T = t;
            tieLine = line;
        }
        found = true;
    }
    if (found) return Reach::FOUND;
    return any ? Reach::NEVER : Reach::NO_BOUNDARY;
}
