// Residuals of a database's measured points on the fields and reactions of its diagram.
#include "comparison/system_residuals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "equilibrium/diagram_queries.h"

namespace {

std::string formatted(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The side of field f that the point's measured phase is, or -1 where the field is not its pair.
int sideOf(const Field& f, const SystemPoint& p)
{
    const int measured = p.phase[p.side];
    const int other = p.phase[1 - p.side];
    if (measured == other) return f.phase[0] == measured && f.phase[1] == measured ? p.set[p.side] - 1 : -1;
    if (f.phase[0] == measured && f.phase[1] == other) return 0;
    if (f.phase[1] == measured && f.phase[0] == other) return 1;
    return -1;
}

void boundaryResidual(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                      const std::vector<FieldSpan>& spans, const SystemPoint& p, PointResidual& r)
{
    std::vector<double> crossings;
    bool paired = false;
    for (const FieldSpan& span : spans) {
        const int side = sideOf(diagram.fields[static_cast<std::size_t>(span.field)], p);
        if (side < 0) continue;
        paired = true;
        StableTieLine line{};
        if (p.T <= span.top && p.T >= span.bottom && tieLineNear(system, at, diagram, span, p.T, line) &&
            (!std::isfinite(r.xComputed) || std::fabs(line.x[side] - p.x) < std::fabs(r.xComputed - p.x)))
            r.xComputed = line.x[side];
        sideCrossings(system, at, diagram, span, side, p.x, crossings);
    }
    for (const double T : crossings)
        if (!std::isfinite(r.TComputed) || std::fabs(T - p.T) < std::fabs(r.TComputed - p.T)) r.TComputed = T;
    r.dx = p.x - r.xComputed;
    r.dT = p.T - r.TComputed;
    if (!paired)
        r.status = "the diagram has no stable " + p.pairText + " field";
    else if (!std::isfinite(r.xComputed))
        r.status = "no stable " + p.pairText + " boundary at " + formatted("%.2f K", p.T);
    else if (!std::isfinite(r.TComputed))
        r.status = "the " + p.phaseText + " side of " + p.pairText + " never reaches x = " + formatted("%g", p.x);
    else
        r.status = "ok";
}

bool samePhases(const Invariant& inv, const SystemPoint& p)
{
    if (p.reaction[0] < 0) return true;
    int a[3] = {inv.state[0].phase, inv.state[1].phase, inv.state[2].phase};
    int b[3] = {p.reaction[0], p.reaction[1], p.reaction[2]};
    std::sort(a, a + 3);
    std::sort(b, b + 3);
    return std::equal(a, a + 3, b);
}

void arrestResidual(const BinaryDiagram& diagram, const SystemPoint& p, PointResidual& r)
{
    const Invariant* nearest = nullptr;
    for (const Invariant& inv : diagram.invariants)
        if (p.kind == reactionName(inv.kind) && samePhases(inv, p) &&
            (nearest == nullptr || std::fabs(inv.T - p.T) < std::fabs(nearest->T - p.T)))
            nearest = &inv;
    if (nearest == nullptr) {
        r.status = "the diagram has no " + p.pairText;
        return;
    }
    r.TComputed = nearest->T;
    r.dT = p.T - nearest->T;
    r.xComputed = nearest->x[1];
    if (p.haveX) r.dx = p.x - nearest->x[1];
    r.status = "ok";
}

}  // namespace

void computeSystemResiduals(const BinarySystem& system, const BinaryDiagram& diagram,
                            const std::vector<SystemPoint>& points, std::vector<PointResidual>& residuals)
{
    residuals.clear();
    const std::vector<FieldSpan> spans = fieldSpans(diagram);
    SystemAt at;
    for (const SystemPoint& p : points) {
        BoundaryPoint point{p.line, p.T, p.haveX, p.x, 0, p.side, p.sd};
        PointResidual r{point, NAN, NAN, NAN, NAN, false, NAN, NAN, false, NAN, "", p.pairText, p.phaseText};
        if (p.arrest)
            arrestResidual(diagram, p, r);
        else
            boundaryResidual(system, at, diagram, spans, p, r);
        residuals.push_back(std::move(r));
    }
}
