// A field's stretches, its tie-lines between rows, and an alloy's state and crossings on them.
#include "equilibrium/diagram_queries.h"

#include <algorithm>
#include <cmath>

#include "numeric/regula_falsi.h"

namespace {

// How far from a stretch's last row the reaction that ends it may lie (K): the sweep's bisection
// stops 1e-3 K from it, and a field too narrow for the sections is seen up to 1 K late.
inline constexpr double REACTION_REACH = 1.0;

// How close the compositions at a stretch's end must lie to a reaction's for the stretch to end
// there.
inline constexpr double END_MATCH = 0.05;

// How near a stretch's end a tie-line that cannot be solved is taken for the field's end (K).
inline constexpr double DEGENERATE_REACH = 0.5;

bool near(double a, double b) { return std::fabs(a - b) < END_MATCH; }

// Whether the reaction at temperature-ordered positions of three phases ends a field whose tie-line
// at the stretch's end is `row`.
bool invariantEnds(const Invariant& inv, const Field& f, const FieldRow& row)
{
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (inv.state[i].phase == f.phase[0] && inv.state[j].phase == f.phase[1] && near(inv.x[i], row.x[0]) &&
                near(inv.x[j], row.x[1]))
                return true;
    return false;
}

bool pointEnds(const SpecialPoint& p, const Field& f, const FieldRow& row)
{
    const bool samePhases = (p.phase[0] == f.phase[0] && p.phase[1] == f.phase[1]) ||
                            (p.phase[0] == f.phase[1] && p.phase[1] == f.phase[0]);
    return samePhases && (near(p.x, row.x[0]) || near(p.x, row.x[1]));
}

// The temperature of the reaction nearest to `T` in the direction `sign` (-1 below, +1 above)
// within REACTION_REACH that ends the field at its row; T itself where none does.
double reactionEnd(const BinaryDiagram& d, const Field& f, const FieldRow& row, double sign)
{
    double best = row.T;
    double distance = INFINITY;
    const auto consider = [&](double T) {
        const double away = sign * (T - row.T);
        if (away >= 0 && away <= REACTION_REACH && away < distance) {
            distance = away;
            best = T;
        }
    };
    for (const Invariant& inv : d.invariants)
        if (invariantEnds(inv, f, row)) consider(inv.T);
    for (const SpecialPoint& p : d.points)
        if (pointEnds(p, f, row)) consider(p.T);
    return best;
}

// The invariant between two rows of a field that ends the field at the upper row (`upper`) or
// starts it at the lower; null where none does. A field of the same phases elsewhere in x then
// carries on under the same name.
const Invariant* reactionBetween(const BinaryDiagram& d, const Field& f, const FieldRow& upper, const FieldRow& lower,
                                 bool atUpper)
{
    for (const Invariant& inv : d.invariants)
        if (inv.T < upper.T && inv.T > lower.T && invariantEnds(inv, f, atUpper ? upper : lower)) return &inv;
    return nullptr;
}

}  // namespace

std::vector<FieldSpan> fieldSpans(const BinaryDiagram& diagram)
{
    std::vector<FieldSpan> spans;
    for (std::size_t i = 0; i < diagram.fields.size(); ++i) {
        const Field& f = diagram.fields[i];
        if (f.rows.empty()) continue;
        double top = reactionEnd(diagram, f, f.rows.front(), +1);
        for (std::size_t k = 1; k <= f.rows.size(); ++k) {
            const Invariant* ends = nullptr;
            const Invariant* starts = nullptr;
            if (k < f.rows.size()) {
                ends = reactionBetween(diagram, f, f.rows[k - 1], f.rows[k], true);
                starts = reactionBetween(diagram, f, f.rows[k - 1], f.rows[k], false);
                if (ends == nullptr && starts == nullptr && f.rows[k - 1].T - f.rows[k].T <= DIAGRAM_STEP + 1e-9)
                    continue;
            }
            spans.push_back({static_cast<int>(i), top, ends != nullptr ? ends->T : reactionEnd(diagram, f, f.rows[k - 1], -1)});
            if (k < f.rows.size()) top = starts != nullptr ? starts->T : reactionEnd(diagram, f, f.rows[k], +1);
        }
    }
    return spans;
}

const FieldRow* nearestRow(const BinaryDiagram& diagram, const FieldSpan& span, double T)
{
    const Field& field = diagram.fields[static_cast<std::size_t>(span.field)];
    const FieldRow* nearest = nullptr;
    for (const FieldRow& row : field.rows)
        if (row.T <= span.top && row.T >= span.bottom &&
            (nearest == nullptr || std::fabs(row.T - T) < std::fabs(nearest->T - T)))
            nearest = &row;
    return nearest;
}

bool tieLineNear(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram, const FieldSpan& span,
                 double T, StableTieLine& line)
{
    const FieldRow* nearest = nearestRow(diagram, span, T);
    if (nearest == nullptr) return false;
    if (tieLineFromRow(system, at, *nearest, T, line)) return true;
    // Where a boundary moves fast in x (near a pure element) one Newton solve from the row may not
    // reach T: the tie-line is continued there in steps, each from the last.
    for (const int steps : {4, 32}) {
        FieldRow from = *nearest;
        bool solved = true;
        for (int k = 1; k <= steps && solved; ++k) {
            const double t = k == steps ? T : nearest->T + (T - nearest->T) * k / steps;
            solved = tieLineFromRow(system, at, from, t, line);
            from = {t, {line.x[0], line.x[1]}, {line.state[0], line.state[1]}, {line.mu[0], line.mu[1]}};
        }
        if (solved) return true;
    }
    return false;
}

bool alloyStateAt(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                  const std::vector<FieldSpan>& spans, double T, double x0, AlloyState& state)
{
    state = AlloyState{};
    int left = -1;   // the field of the tie-line nearest below x0, and nearest above
    int right = -1;
    double leftX = -INFINITY;
    double rightX = INFINITY;
    int edge = -1;
    for (const FieldSpan& span : spans) {
        if (T > span.top || T < span.bottom) continue;
        const Field& f = diagram.fields[static_cast<std::size_t>(span.field)];
        StableTieLine line{};
        if (!tieLineNear(system, at, diagram, span, T, line)) {
            // Near the ends of a stretch the tie-line may degenerate (a pure element's melting, a
            // critical point): the field is then taken as ended.
            if (T - span.bottom < DEGENERATE_REACH || span.top - T < DEGENERATE_REACH) continue;
            return false;
        }
        // An alloy at a tie-line's end (a compound's composition) is that phase alone.
        for (int k = 0; k < 2; ++k)
            if (std::fabs(line.x[k] - x0) <= COMPOSITION_TOLERANCE) edge = f.phase[k];
        if (line.x[0] + COMPOSITION_TOLERANCE < x0 && x0 < line.x[1] - COMPOSITION_TOLERANCE) {
            const double width = line.x[1] - line.x[0];
            const double second = width > 0 ? (x0 - line.x[0]) / width : 0.5;
            state.count = 2;
            state.field = span.field;
            state.phases[0] = {f.phase[0], line.x[0], 1 - second};
            state.phases[1] = {f.phase[1], line.x[1], second};
            return true;
        }
        if (line.x[1] < x0 && line.x[1] > leftX) {
            leftX = line.x[1];
            left = span.field;
        }
        if (line.x[0] > x0 && line.x[0] < rightX) {
            rightX = line.x[0];
            right = span.field;
        }
    }
    int phase = edge;
    if (phase >= 0) {
    } else if (left >= 0) {
        phase = diagram.fields[static_cast<std::size_t>(left)].phase[1];
    } else if (right >= 0) {
        phase = diagram.fields[static_cast<std::size_t>(right)].phase[0];
    } else {
        // No tie-line at T: one phase across, the one the nearest section has at its ends.
        const SectionSummary* nearest = nullptr;
        for (const SectionSummary& s : diagram.sections)
            if (nearest == nullptr || std::fabs(s.T - T) < std::fabs(nearest->T - T)) nearest = &s;
        if (nearest != nullptr) phase = nearest->endPhase[0];
    }
    state.count = 1;
    state.phases[0] = {phase, x0, 1};
    return phase >= 0;
}

bool sideCrossings(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram, const FieldSpan& span,
                   int side, double x0, std::vector<double>& found)
{
    const Field& f = diagram.fields[static_cast<std::size_t>(span.field)];
    StableTieLine line{};
    const auto offset = [&](double T, double& value) {
        if (!tieLineNear(system, at, diagram, span, T, line)) return false;
        value = line.x[side] - x0;
        return true;
    };
    // The span's ends and the rows within it, by decreasing temperature. At an end that is a
    // critical point, a congruent point or a pure element the tie-line degenerates to the point's
    // one composition (where Newton's method may find it, or the trivial solution beside it): the
    // side's composition there is the point's.
    const auto pointAt = [&](double T) -> const SpecialPoint* {
        for (const SpecialPoint& p : diagram.points)
            if (p.T == T) return &p;
        return nullptr;
    };
    std::vector<double> Ts{span.top};
    for (const FieldRow& row : f.rows)
        if (row.T < span.top && row.T > span.bottom) Ts.push_back(row.T);
    if (span.bottom < span.top) Ts.push_back(span.bottom);
    double previous = NAN;
    for (std::size_t k = 0; k < Ts.size(); ++k) {
        double value = 0;
        const bool end = k == 0 || k + 1 == Ts.size();
        if (const SpecialPoint* point = end ? pointAt(Ts[k]) : nullptr) {
            value = point->x - x0;
        } else if (!offset(Ts[k], value)) {
            // Where the tie-line degenerates (both ends at x = 0 or 1 at a pure element's melting,
            // or at one composition near a critical point), Newton's method has nothing to find:
            // no crossing is bracketed across that temperature.
            previous = NAN;
            continue;
        }
        // A zero counts as above x0: a side that stays at x0 (a compound at the alloy's own
        // composition, to rounding) is never crossed.
        if (std::fabs(value) <= COMPOSITION_TOLERANCE) value = 0;
        if (k > 0 && std::isfinite(previous) && (previous < 0) != (value < 0)) {
            if (value == 0 || previous == 0) {
                found.push_back(value == 0 ? Ts[k] : Ts[k - 1]);
            } else {
                const double T = regulaFalsi(
                    [&](double t) {
                        double v = 0;
                        return offset(t, v) ? v : NAN;
                    },
                    Ts[k - 1], Ts[k], 1e-10);
                if (!std::isfinite(T)) return false;
                found.push_back(T);
            }
        }
        previous = value;
    }
    return true;
}
