// The names the pictures give.
#include "plot/diagram_names.h"

#include "model/phase.h"

DiagramNames builtInNames()
{
    return {"Ks-Ps", "Ks", {"Liquid", "BCC", "FCC"}, "the fitted model", "pure Ps as FCC and pure Ks as BCC"};
}

std::string pairLabel(const DiagramNames& names, int pair, const char* between)
{
    const auto p = static_cast<PhasePair>(pair + 1);
    return names.phases[firstPhase(p)] + between + names.phases[secondPhase(p)];
}
