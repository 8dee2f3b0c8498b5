// The transitions of an alloy's equilibrium path on a binary system's diagram.
#include "solidification/equilibrium_path.h"

#include <algorithm>
#include <cmath>

namespace {

// The states on either side of a crossing are taken this far from it (K): far below the
// distance between two transitions of any diagram, far above the crossing's precision.
inline constexpr double SIDE_STEP = 1e-6;

// How near a congruent point's composition an alloy must lie to pass through it (the point is
// solved to about this; an alloy further off crosses the two boundaries on either side of it).
inline constexpr double CONGRUENT_MATCH = 1e-9;

bool isLiquid(const BinarySystem& system, int phase) { return system.phases[static_cast<std::size_t>(phase)].liquid; }

// The two phases at positions i < j of the invariant, with the lever rule at x0.
AlloyState tieOf(const Invariant& inv, int i, int j, double x0)
{
    AlloyState s;
    s.count = 2;
    const double second = (x0 - inv.x[i]) / (inv.x[j] - inv.x[i]);
    s.phases[0] = {inv.state[i].phase, inv.x[i], 1 - second};
    s.phases[1] = {inv.state[j].phase, inv.x[j], second};
    return s;
}

// The middle phase with an outer one, on x0's side of it; the middle phase alone at its composition.
AlloyState besideMiddle(const Invariant& inv, double x0)
{
    if (x0 < inv.x[1] - COMPOSITION_TOLERANCE) return tieOf(inv, 0, 1, x0);
    if (x0 > inv.x[1] + COMPOSITION_TOLERANCE) return tieOf(inv, 1, 2, x0);
    AlloyState s;
    s.count = 1;
    s.phases[0] = {inv.state[1].phase, x0, 1};
    return s;
}

bool samePhases(const AlloyState& a, const AlloyState& b)
{
    if (a.count != b.count) return false;
    for (int k = 0; k < a.count; ++k)
        if (a.phases[k].phase != b.phases[k].phase) return false;
    return a.count != 2 || a.field == b.field;
}

// The name of a crossing between one phase and a tie-line.
const char* crossingName(const BinarySystem& system, const AlloyState& above, const AlloyState& below)
{
    const AlloyState& one = above.count == 1 ? above : below;
    const AlloyState& two = above.count == 1 ? below : above;
    if (one.count != 1 || two.count != 2) return "boundary";
    const bool liquidTie = isLiquid(system, two.phases[0].phase) || isLiquid(system, two.phases[1].phase);
    const bool bothLiquid = isLiquid(system, two.phases[0].phase) && isLiquid(system, two.phases[1].phase);
    if (isLiquid(system, one.phases[0].phase)) return bothLiquid ? "binodal" : "liquidus";
    return liquidTie ? "solidus" : "solvus";
}

}  // namespace

bool hasLiquid(const BinarySystem& system, const AlloyState& state)
{
    for (int k = 0; k < state.count; ++k)
        if (isLiquid(system, state.phases[k].phase)) return true;
    return false;
}

double liquidAmount(const BinarySystem& system, const AlloyState& state)
{
    double sum = 0;
    for (int k = 0; k < state.count; ++k)
        if (isLiquid(system, state.phases[k].phase)) sum += state.phases[k].amount;
    return sum;
}

bool equilibriumEvents(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                       const std::vector<FieldSpan>& spans, double x0, std::vector<PathEvent>& events,
                       ErrorText& error)
{
    events.clear();
    for (const Invariant& inv : diagram.invariants) {
        if (!(inv.x[0] + COMPOSITION_TOLERANCE < x0 && x0 < inv.x[2] - COMPOSITION_TOLERANCE)) continue;
        PathEvent e{inv.T, reactionName(inv.kind), {}, {}};
        e.above = inv.decomposes ? besideMiddle(inv, x0) : tieOf(inv, 0, 2, x0);
        e.below = inv.decomposes ? tieOf(inv, 0, 2, x0) : besideMiddle(inv, x0);
        events.push_back(e);
    }
    // The alloy of a congruent point's composition turns from one phase into the other there.
    for (const SpecialPoint& p : diagram.points) {
        if (p.kind != SpecialKind::CONGRUENT || std::fabs(p.x - x0) > CONGRUENT_MATCH) continue;
        PathEvent e{p.T, "congruent", {}, {}};
        e.above.count = e.below.count = 1;
        e.above.phases[0] = {p.phase[0], x0, 1};
        e.below.phases[0] = {p.phase[1], x0, 1};
        events.push_back(e);
    }
    const std::size_t invariants = events.size();
    std::vector<double> crossings;
    for (const FieldSpan& span : spans)
        for (int side = 0; side < 2; ++side)
            if (!sideCrossings(system, at, diagram, span, side, x0, crossings))
                return fail(error, "a boundary of the field %s-%s could not be followed near x = %g",
                            system.phases[static_cast<std::size_t>(diagram.fields[span.field].phase[0])].name.c_str(),
                            system.phases[static_cast<std::size_t>(diagram.fields[span.field].phase[1])].name.c_str(),
                            x0);
    for (const double T : crossings) {
        // A span ending at an invariant whose tie-line ends at x0 is that invariant's.
        bool atInvariant = false;
        for (std::size_t i = 0; i < invariants; ++i) atInvariant = atInvariant || std::fabs(events[i].T - T) < 1e-6;
        if (atInvariant) continue;
        PathEvent e{T, "", {}, {}};
        if (!alloyStateAt(system, at, diagram, spans, T + SIDE_STEP, x0, e.above) ||
            !alloyStateAt(system, at, diagram, spans, T - SIDE_STEP, x0, e.below))
            return fail(error, "the phases of x = %g could not be solved near %.4f K", x0, T);
        if (samePhases(e.above, e.below)) continue;  // a side that only touches x0
        e.name = crossingName(system, e.above, e.below);
        // The tie-line's side at the crossing itself, where its amounts are exactly 0 and 1.
        AlloyState& tie = e.above.count == 2 ? e.above : e.below;
        for (const FieldSpan& span : spans) {
            StableTieLine line{};
            if (span.field != tie.field || T > span.top || T < span.bottom ||
                !tieLineNear(system, at, diagram, span, T, line))
                continue;
            // 0 or 1 to rounding: not printed as -0.
            const double second = std::fmin(std::fmax((x0 - line.x[0]) / (line.x[1] - line.x[0]), 0.0), 1.0);
            tie.phases[0] = {tie.phases[0].phase, line.x[0], 1 - second};
            tie.phases[1] = {tie.phases[1].phase, line.x[1], second};
            break;
        }
        events.push_back(e);
    }
    std::sort(events.begin(), events.end(), [](const PathEvent& a, const PathEvent& b) { return a.T > b.T; });
    // The same crossing found from two spans of one field meeting at a reaction.
    events.erase(std::unique(events.begin(), events.end(),
                             [](const PathEvent& a, const PathEvent& b) { return std::fabs(a.T - b.T) < 1e-9; }),
                 events.end());
    return true;
}
