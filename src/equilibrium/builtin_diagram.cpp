// The built-in model's diagram by the engine, read as the three-phase companions read theirs.
#include "equilibrium/builtin_diagram.h"

#include <cmath>

bool computeBuiltInDiagram(const PhaseParameters (&model)[3], double low, double high, BuiltInDiagram& out)
{
    for (int p = 0; p < 3; ++p) out.coefficients.model[p] = model[p];
    out.system = builtInSystem(out.coefficients);
    out.haveEutectic = false;
    double top = 0;
    if (!diagramTop(out.system, top) ||
        !computeBinaryDiagram(out.system, std::fmin(300.0, low), std::fmax(top, high), DIAGRAM_STEP, out.diagram))
        return false;
    // The eutectic of the liquid between the two solids, the highest where there were more.
    for (const Invariant& i : out.diagram.invariants) {
        if (out.haveEutectic || i.kind != ReactionKind::EUTECTIC || i.state[1].phase != LIQUID ||
            i.state[0].phase == i.state[2].phase)
            continue;
        out.haveEutectic = true;
        out.eutectic[0] = i.T;
        out.eutectic[1] = i.x[1];
        for (const int k : {0, 2}) out.eutectic[i.state[k].phase == BCC ? 2 : 3] = i.x[k];
    }
    return true;
}

bool builtInTieLine(const BuiltInDiagram& d, SystemAt& at, PhasePair pair, double T, const TieLine* near,
                    TieLine& line)
{
    const int first = firstPhase(pair);
    const int second = secondPhase(pair);
    bool found = false;
    double distance = INFINITY;
    for (const Field& field : d.diagram.fields) {
        const bool ordered = field.phase[0] == first && field.phase[1] == second;
        if (!ordered && !(field.phase[0] == second && field.phase[1] == first)) continue;
        StableTieLine t;
        if (!fieldTieLineAt(d.system, at, field, T, t)) continue;
        // Each phase is one sublattice of Ps then Ks: its log-ratio ln(y(Ps) / y(Ks)) is minus the
        // pair's ln(x / (1 - x)), to the last digit near either end.
        TieLine candidate{};
        for (int k = 0; k < 2; ++k) {
            const int from = ordered ? k : 1 - k;
            candidate.s[k] = -t.state[from].s[0];
            candidate.x[k] = t.x[from];
        }
        const double apart = near == nullptr ? 0
                                             : std::fabs(candidate.x[0] - near->x[0]) + std::fabs(candidate.x[1] - near->x[1]);
        if (!found || apart < distance) {
            line = candidate;
            distance = apart;
        }
        found = true;
    }
    return found;
}
