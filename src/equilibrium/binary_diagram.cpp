// The sweep of sections from the top down, the bisection of each change, and the fields' rows.
#include "equilibrium/binary_diagram.h"

#include <algorithm>
#include <cmath>

#include "equilibrium/binary_reactions.h"
#include "equilibrium/coexistence.h"

namespace {

// Sections closer than this in temperature are not split further: the change between them is
// one reaction, solved exactly from there.
inline constexpr double BISECTION_WIDTH = 1e-3;  // K

bool sameFields(const Section& a, const Section& b)
{
    if (a.endPhase[0] != b.endPhase[0] || a.endPhase[1] != b.endPhase[1] || a.tieLines.size() != b.tieLines.size())
        return false;
    for (std::size_t i = 0; i < a.tieLines.size(); ++i)
        if (a.tieLines[i].state[0].phase != b.tieLines[i].state[0].phase ||
            a.tieLines[i].state[1].phase != b.tieLines[i].state[1].phase)
            return false;
    return true;
}

struct Sweep {
    const BinarySystem& system;
    SystemSamples& samples;
    SystemAt& at;
    BinaryDiagram& diagram;
    std::vector<Section> sections;  // every section computed, for the fields' rows
    bool failed = false;

    bool section(double T, Section& out)
    {
        if (!computeSection(system, samples, at, T, out)) return failed = true, false;
        diagram.unresolved += out.unresolved;
        sections.push_back(out);
        return true;
    }

    // Narrows the change between `above` and `below` down to single reactions.
    void narrow(const Section& above, const Section& below, int depth)
    {
        if (above.T - below.T <= BISECTION_WIDTH || depth > 60) {
            if (!resolveChange(system, at, above, below, diagram)) {
                ++diagram.unresolved;
                diagram.unresolvedAt.push_back(0.5 * (above.T + below.T));
            }
            return;
        }
        Section middle;
        if (!section(0.5 * (above.T + below.T), middle)) return;
        const bool likeAbove = sameFields(middle, above);
        const bool likeBelow = sameFields(middle, below);
        if (!likeAbove) narrow(above, middle, depth + 1);
        if (failed) return;
        if (!likeBelow) narrow(middle, below, depth + 1);
    }
};

// The field of each tie-line of a section: the same pair of phases, counted in increasing x.
void addRows(const Section& s, std::vector<Field>& fields)
{
    for (std::size_t i = 0; i < s.tieLines.size(); ++i) {
        const StableTieLine& t = s.tieLines[i];
        int occurrence = 1;
        for (std::size_t j = 0; j < i; ++j)
            if (s.tieLines[j].state[0].phase == t.state[0].phase && s.tieLines[j].state[1].phase == t.state[1].phase)
                ++occurrence;
        Field* field = nullptr;
        for (Field& f : fields)
            if (f.phase[0] == t.state[0].phase && f.phase[1] == t.state[1].phase && f.occurrence == occurrence)
                field = &f;
        if (field == nullptr) {
            fields.push_back({{t.state[0].phase, t.state[1].phase}, occurrence, {}});
            field = &fields.back();
        }
        field->rows.push_back({s.T, {t.x[0], t.x[1]}, {t.state[0], t.state[1]}, {t.mu[0], t.mu[1]}});
    }
}

// The step of the scan for the highest melting point (K); a pure element's solid stable over a
// shorter stretch above its last solid than this could be missed, which no database has.
inline constexpr double MELTING_SCAN = 25;
inline constexpr double MELTED_SPAN = 1500;  // K above the last solid that the scan goes on

// The phase of lowest G at a pure end at the system's temperature.
int stablePure(const BinarySystem& system, SystemAt& at, int end)
{
    int best = -1;
    double lowest = INFINITY;
    for (std::size_t p = 0; p < system.phases.size(); ++p) {
        const double G = pureEnergy(system, at, static_cast<int>(p), end);
        if (G < lowest) {
            lowest = G;
            best = static_cast<int>(p);
        }
    }
    return best;
}

}  // namespace

bool highestMeltingPoint(const BinarySystem& system, double& T)
{
    SystemAt at;
    T = NAN;
    double solidUpTo = NAN;
    for (double t = 300; t <= 6000; t += MELTING_SCAN) {
        if (!evaluateSystemAt(system, t, at)) return false;
        bool solid = false;
        for (int end = 0; end < 2; ++end) {
            const int p = stablePure(system, at, end);
            solid = solid || (p >= 0 && !system.phases[static_cast<std::size_t>(p)].liquid);
        }
        if (solid) solidUpTo = t;
        // No pure element of a database turns solid again 1500 K above its melting.
        if (std::isfinite(solidUpTo) && t > solidUpTo + MELTED_SPAN) break;
    }
    T = solidUpTo;
    if (!std::isfinite(T)) return true;
    // Narrowed to 1e-4 K: the range, and with it every section's temperature, does not depend on
    // the scan's step.
    double low = T;
    double high = T + MELTING_SCAN;
    while (high - low > 1e-4) {
        const double mid = 0.5 * (low + high);
        if (!evaluateSystemAt(system, mid, at)) return false;
        bool solid = false;
        for (int end = 0; end < 2; ++end) {
            const int p = stablePure(system, at, end);
            solid = solid || (p >= 0 && !system.phases[static_cast<std::size_t>(p)].liquid);
        }
        (solid ? low : high) = mid;
    }
    T = low;
    return true;
}

bool isLiquidPhase(const BinarySystem& system, int phase) { return system.phases[static_cast<std::size_t>(phase)].liquid; }

// Above the highest melting point no solid of a database lasts beyond this (K).
inline constexpr double HIGHEST_TOP = 6000;
inline constexpr double TOP_STEP = 50;  // K

bool diagramTop(const BinarySystem& system, double& T)
{
    double melting = NAN;
    if (!highestMeltingPoint(system, melting)) return false;
    T = std::isfinite(melting) ? melting + TOP_STEP : 2000;
    SystemSamples samples;
    sampleSystem(system, samples);
    SystemAt at;
    Section section;
    for (bool raised = false; T < HIGHEST_TOP; T += TOP_STEP, raised = true) {
        if (!computeSection(system, samples, at, T, section)) return false;
        // A solid anywhere: at an end, or on a tie-line (a liquid gap alone does not count).
        bool solid = false;
        for (const int end : section.endPhase) solid = solid || (end >= 0 && !isLiquidPhase(system, end));
        for (const StableTieLine& t : section.tieLines)
            solid = solid || !isLiquidPhase(system, t.state[0].phase) || !isLiquidPhase(system, t.state[1].phase);
        if (!solid) {
            if (raised) T += TOP_STEP;
            return true;
        }
    }
    return true;
}

bool computeBinaryDiagram(const BinarySystem& system, double T0, double T1, double step, BinaryDiagram& diagram)
{
    diagram = BinaryDiagram{};
    diagram.lowest = T0;
    diagram.highest = T1;
    SystemSamples samples;
    sampleSystem(system, samples);
    SystemAt at;
    Sweep sweep{system, samples, at, diagram, {}};
    Section above;
    if (!sweep.section(T1, above)) return false;
    const int steps = std::max(1, static_cast<int>(std::ceil((T1 - T0) / step)));
    for (int k = 1; k <= steps; ++k) {
        const double T = k == steps ? T0 : T1 - k * step;
        Section below;
        if (!sweep.section(T, below)) return false;
        if (!sameFields(above, below)) sweep.narrow(above, below, 0);
        if (sweep.failed) return false;
        above = below;
    }
    std::sort(diagram.invariants.begin(), diagram.invariants.end(),
              [](const Invariant& a, const Invariant& b) { return a.T > b.T; });
    std::sort(diagram.points.begin(), diagram.points.end(),
              [](const SpecialPoint& a, const SpecialPoint& b) { return a.T > b.T; });
    std::sort(sweep.sections.begin(), sweep.sections.end(),
              [](const Section& a, const Section& b) { return a.T > b.T; });
    for (const Section& s : sweep.sections) {
        addRows(s, diagram.fields);
        SectionSummary summary{s.T, {s.endPhase[0], s.endPhase[1]}, {}, {}};
        for (const StableTieLine& t : s.tieLines) {
            summary.phases.push_back({t.state[0].phase, t.state[1].phase});
            summary.x.push_back({t.x[0], t.x[1]});
        }
        diagram.sections.push_back(std::move(summary));
    }
    return true;
}

bool fieldCovers(const Field& field, double T)
{
    // The rows bracketing T, by decreasing T: a field stable throughout has rows at most one
    // section's step apart; further apart, T lies where the field had left off.
    for (std::size_t k = 0; k < field.rows.size(); ++k) {
        if (field.rows[k].T == T) return true;
        if (field.rows[k].T > T) continue;
        return k > 0 && field.rows[k - 1].T - field.rows[k].T <= DIAGRAM_STEP + 1e-9;
    }
    return false;
}

bool tieLineFromRow(const BinarySystem& system, SystemAt& at, const FieldRow& row, double T, StableTieLine& line)
{
    if ((at.system != &system || at.T != T) && !evaluateSystemAt(system, T, at)) return false;
    PhaseState states[2] = {row.state[0], row.state[1]};
    double mu[2] = {row.mu[0], row.mu[1]};
    if (!solveCoexistence(at, states, mu)) return false;
    for (int k = 0; k < 2; ++k) {
        line.state[k] = states[k];
        line.x[k] = moleFractionOf(system.phases[static_cast<std::size_t>(states[k].phase)], states[k]);
        line.mu[k] = mu[k];
    }
    return true;
}

bool fieldTieLineAt(const BinarySystem& system, SystemAt& at, const Field& field, double T, StableTieLine& line)
{
    if (!fieldCovers(field, T)) return false;
    const FieldRow* nearest = &field.rows.front();
    for (const FieldRow& row : field.rows)
        if (std::fabs(row.T - T) < std::fabs(nearest->T - T)) nearest = &row;
    return tieLineFromRow(system, at, *nearest, T, line);
}
