// The stable diagram's record: its phases' curves at a temperature and its range.
#include "equilibrium/diagram_record.h"

TieLine tieLineOf(double s0, double s1) { return {{s0, s1}, {composition(s0).x, composition(s1).x}}; }

bool diagramCurves(const StableDiagram& d, double T, PhaseCurve (&curves)[3])
{
    if (d.source.curvesAt != nullptr)
        return T >= d.source.lowest && T <= d.source.highest && d.source.curvesAt(d.source.context, T, curves);
    for (int r = LIQUID; r <= FCC; ++r) curves[r] = builtInCurve(static_cast<PhaseIndex>(r), d.model[r], T);
    return true;
}

double lowestTemperature(const StableDiagram& d) { return d.source.lowest; }
double highestTemperature(const StableDiagram& d) { return d.source.highest; }
