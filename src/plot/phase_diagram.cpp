// What the phase diagram shows: completed boundaries, stability of every row, the pieces of line,
// the bands, the stable eutectic and the notes.
#include "plot/phase_diagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "equilibrium/refine.h"
#include "equilibrium/stability.h"

namespace {

// The temperature axis is widened to this span at least (K).
constexpr double MINIMUM_SPAN = 20;

std::string formatted(const char* pattern, double value)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The lowest temperature of a stable row in a table, or none.
bool lowestStable(const BoundaryTable& table, const std::vector<bool>& stable, int& T)
{
    bool found = false;
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        if (stable[r] && (!found || table.rows[r].T < T)) {
            T = table.rows[r].T;
            found = true;
        }
    return found;
}

// What the picture says when it cannot show the eutectic.
std::string eutecticNote(const BoundaryTable (&tables)[3], const std::vector<bool> (&stable)[3], const std::string& reason)
{
    std::string note = reason;
    int liquidFcc = 0;
    int liquidBcc = 0;
    const bool haveFcc = lowestStable(tables[0], stable[0], liquidFcc);
    const bool haveBcc = lowestStable(tables[1], stable[1], liquidBcc);
    if (haveFcc && haveBcc) {
        const long long low = static_cast<long long>(std::min(liquidFcc, liquidBcc)) - 1;
        const long long high = std::max(liquidFcc, liquidBcc);
        char text[200];
        std::snprintf(text, sizeof text,
                      "; the stable Liquid/FCC and Liquid/BCC boundaries end at %d K and %d K, so the eutectic lies "
                      "between %lld K and %lld K.",
                      liquidFcc, liquidBcc, low, high);
        note += text;
    } else {
        note += "; the tables hold no stable Liquid/FCC and Liquid/BCC boundaries to place it.";
    }
    return note;
}

// Which boundaries the picture completed, and where.
std::string completionNote(const std::vector<CompletedStretch>& stretches)
{
    constexpr std::size_t LISTED = 8;
    constexpr const char* NAMES[] = {"Liquid/FCC", "Liquid/BCC", "BCC/FCC"};
    std::string note = "Where the tables hold no converged row but the phases coexist stably, the picture completes "
                       "the boundary from the model: ";
    for (std::size_t i = 0; i < stretches.size() && i < LISTED; ++i) {
        const CompletedStretch& s = stretches[i];
        char text[96];
        if (s.from == s.to)
            std::snprintf(text, sizeof text, "%s%s at %d K", i > 0 ? ", " : "", NAMES[s.pair - 1], s.from);
        else
            std::snprintf(text, sizeof text, "%s%s at %d to %d K", i > 0 ? ", " : "", NAMES[s.pair - 1], s.from, s.to);
        note += text;
    }
    if (stretches.size() > LISTED) note += " and " + std::to_string(stretches.size() - LISTED) + " more stretches";
    return note + ".";
}

// The eutectic the picture shows: the table's row where it is a converged, stable eutectic; else
// the stable eutectic of the model, solved from fixed start values, with a note on what was wrong
// with the row.
void describeEutectic(const DiagramData& data, const StableDiagram& model, const BoundaryTable (&tables)[3],
                      const std::vector<bool> (&stable)[3], PhaseDiagram& diagram)
{
    EutecticMark& mark = diagram.eutectic;
    mark = EutecticMark{};
    EutecticPoint e = data.eutectic;
    std::string problem;
    if (!e.present)
        problem = "The eutectic table holds no row";
    else if (e.count >= 100)
        problem = "The eutectic solve did not converge (iteration count 100)";
    else if (!(e.xFCC > 0 && e.xFCC < 1) || !(e.xBCC > 0 && e.xBCC < 1) || !(e.xL > 0 && e.xL < 1))
        problem = formatted("The eutectic table's row at %.2f K holds a composition outside (0, 1)", e.T);
    else if (!solvesPairEquations(data.model, LIQUID_FCC, e.T, e.xL, e.xFCC, ROW_TOLERANCE) ||
             !solvesPairEquations(data.model, LIQUID_BCC, e.T, e.xL, e.xBCC, ROW_TOLERANCE))
        problem = formatted("The eutectic table's row at %.2f K does not solve the model of the data here", e.T);
    else if (!isStableEutectic(data.model, e))
        problem = formatted("The eutectic table's row at %.2f K is no stable equilibrium: another phase lies below "
                            "its three-phase line",
                            e.T);
    if (!problem.empty()) {
        if (model.haveEutectic) {
            const Vector4& u = model.eutectic;
            e = {true, u[0], u[1], u[2], u[3], 0};
            diagram.notes.push_back(problem + formatted("; the picture shows the stable eutectic of the model, solved "
                                                        "from fixed start values, at %.2f K.",
                                                        u[0]));
        } else if (!e.present || e.count >= 100) {
            diagram.notes.push_back(eutecticNote(tables, stable, problem));
            return;
        }
    }
    if (!(e.T >= diagram.low && e.T <= diagram.high) || !(e.xFCC > 0 && e.xFCC < 1) || !(e.xBCC > 0 && e.xBCC < 1) ||
        !(e.xL > 0 && e.xL < 1)) {
        char reason[160];
        std::snprintf(reason, sizeof reason, "The eutectic found at %.2f K lies outside the swept range", e.T);
        diagram.notes.push_back(eutecticNote(tables, stable, reason));
        return;
    }
    mark.shown = true;
    mark.stable = isStableEutectic(data.model, e);
    mark.T = e.T;
    mark.xL = e.xL;
    mark.xBCC = e.xBCC;
    mark.xFCC = e.xFCC;
    mark.label = formatted("Eutectic %.2f K", e.T);
    const EutecticBand& band = data.eutecticBand;
    if (band.present && band.low[0] <= band.high[0] && std::isfinite(band.low[0]) && std::isfinite(band.high[0])) {
        // The eutectic temperature's 95 % interval, as an error bar.
        mark.interval = true;
        mark.low = band.low[0];
        mark.high = band.high[0];
        char interval[96];
        std::snprintf(interval, sizeof interval, " (95 %%: %.1f to %.1f K)", band.low[0], band.high[0]);
        mark.label += interval;
    }
    if (!mark.stable) {
        mark.label += " (metastable)";
        diagram.notes.push_back(
            formatted("The eutectic at %.2f K is metastable: another phase lies below its three-phase line.", e.T));
    }
}

// The 95 % band of each composition column, in runs of neighbouring rows within the axis.
void describeBands(const DiagramData& data, PhaseDiagram& diagram)
{
    for (int t = 0; t < 3; ++t) {
        const std::vector<BandTableRow>& rows = data.bands[t].rows;
        for (int c = 0; c < 2; ++c) {
            std::size_t start = 0;
            while (start < rows.size()) {
                std::size_t end = start;
                auto usable = [&](const BandTableRow& row) {
                    return row.low[c] >= 0 && row.high[c] <= 1 && row.low[c] <= row.high[c] &&
                           row.T >= diagram.low && row.T <= diagram.high;
                };
                if (!usable(rows[start])) {
                    ++start;
                    continue;
                }
                while (end + 1 < rows.size() && usable(rows[end + 1]) && static_cast<long long>(rows[end + 1].T) - rows[end].T <= 10) ++end;
                BandArea area{t, {}};
                for (std::size_t r = start; r <= end; ++r) area.outline.push_back({rows[r].low[c], static_cast<double>(rows[r].T)});
                for (std::size_t r = end + 1; r-- > start;) area.outline.push_back({rows[r].high[c], static_cast<double>(rows[r].T)});
                diagram.bands.push_back(std::move(area));
                start = end + 1;
            }
        }
    }
}

}  // namespace

MeasuredMark measuredMark(const PointResidual& r)
{
    const BoundaryPoint& p = r.point;
    MeasuredMark mark{p.haveX ? p.x : r.xComputed, p.T, p.pair - 1, EUTECTIC_ARREST, r.haveBand && !r.withinBand};
    if (p.pair == 0) return mark;
    const auto pair = static_cast<PhasePair>(p.pair);
    const PhaseIndex phase = p.side == 0 ? firstPhase(pair) : secondPhase(pair);
    mark.kind = pair == BCC_FCC ? SOLVUS_POINT : phase == LIQUID ? LIQUIDUS_POINT : SOLIDUS_POINT;
    return mark;
}

bool isStableEutectic(const PhaseParameters (&model)[3], const EutecticPoint& eutectic)
{
    return isStableEutectic(model, Vector4{eutectic.T, eutectic.xL, eutectic.xBCC, eutectic.xFCC});
}

bool bandsOfTheData(const DiagramData& data, BandTable (&bands)[3], EutecticBand& eutecticBand)
{
    bool otherData = false;
    for (int t = 0; t < 3; ++t) {
        const bool same = data.bands[t].fingerprint == data.fingerprint;
        otherData = otherData || (data.bands[t].present && !same);
        bands[t] = same ? data.bands[t] : BandTable{};
    }
    const bool same = data.eutecticBand.fingerprint == data.fingerprint;
    otherData = otherData || (data.eutecticBand.present && !same);
    eutecticBand = same ? data.eutecticBand : EutecticBand{};
    return otherData;
}

namespace {

// The lines with their metastable pieces cut to within METASTABLE_REACH K of a stable point of
// the same pair: a metastable extension shows where a boundary would go on, a dashed line across
// another phase's field far from it says nothing an alloy does.
std::vector<DiagramLine> nearStableLines(const std::vector<DiagramLine>& lines)
{
    constexpr double METASTABLE_REACH = 100;
    std::vector<double> stableT[3];
    for (const DiagramLine& line : lines)
        if (line.segment.stable)
            for (const auto& point : line.segment.points) stableT[line.pair].push_back(point.second);
    std::vector<DiagramLine> kept;
    for (const DiagramLine& line : lines) {
        if (line.segment.stable) {
            kept.push_back(line);
            continue;
        }
        bool open = false;
        for (const auto& point : line.segment.points) {
            bool near = false;
            for (const double T : stableT[line.pair]) near = near || std::fabs(point.second - T) <= METASTABLE_REACH;
            if (near && !open) kept.push_back({line.pair, {{}, false}});
            if (near) kept.back().segment.points.push_back(point);
            open = near;
        }
    }
    return kept;
}

// What the picture says about stale and empty files, before it draws anything from them; the rows
// of a table from other data are marked unconverged in `usable`, so that none of them is drawn.
void checkInputs(const DiagramData& data, DiagramData& usable, std::vector<std::string>& notes)
{
    bool anyRows = false;
    for (const BoundaryTable& table : data.tables) anyRows = anyRows || !table.rows.empty();
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        if (anyRows && data.tables[t].rows.empty())
            notes.push_back(std::string(boundaryFileName(pair)) + " holds no rows.");
        int valid = 0;
        for (const BoundaryRow& row : data.tables[t].rows) valid += isSolved(row);
        const int stale = rowsNotSolved(data.model, pair, data.tables[t]);
        if (stale > 0) {
            notes.push_back(std::to_string(stale) + " of the " + std::to_string(valid) + " Valid rows of " +
                            boundaryFileName(pair) +
                            " do not solve the model of the data here: the tables seem to come from other data; run "
                            "phasediagram again. The picture draws the model's stable boundaries in their place.");
            // None of its rows is drawn: the completion puts the model's stable tie-lines there.
            for (BoundaryRow& row : usable.tables[t].rows) row.valid = false;
        }
        if (data.bands[t].present && data.bands[t].rows.empty() && data.bands[t].fingerprint == data.fingerprint)
            notes.push_back(std::string(bandFileName(pair)) + " holds no rows.");
    }
    if (bandsOfTheData(data, usable.bands, usable.eutecticBand))
        notes.push_back("The band files were not computed from the data here (their fingerprint differs, or they carry "
                        "none): no bands are drawn; run phasediagram-uncertainty again.");
}

}  // namespace

void describePhaseDiagram(const DiagramData& given, const StableDiagram& stable, PhaseDiagram& diagram)
{
    diagram = PhaseDiagram{};
    DiagramData data = given;
    checkInputs(given, data, diagram.notes);
    // What the tables leave out of the stable boundaries, completed from the model.
    DiagramData shown = data;
    std::vector<CompletedStretch> stretches;
    completeBoundaries(data, stable, shown.tables, stretches);
    std::vector<bool> stableRows[3];
    classifyRows(shown, stableRows);

    bool haveRange = false;
    for (const BoundaryTable& table : data.tables)
        for (const BoundaryRow& row : table.rows) {
            if (!haveRange || row.T < diagram.low) diagram.low = row.T;
            if (!haveRange || row.T > diagram.high) diagram.high = row.T;
            haveRange = true;
        }
    diagram.haveRows = haveRange;
    if (!haveRange)
        diagram.notes.push_back("The tables hold no rows: run phasediagram with an initial temperature below the final one.");
    if (data.rangeGiven) {
        diagram.low = data.low;
        diagram.high = data.high;
        haveRange = true;
    } else if (!haveRange) {
        diagram.low = 500;
        diagram.high = 1600;
    } else if (diagram.high - diagram.low < MINIMUM_SPAN) {
        diagram.low -= MINIMUM_SPAN / 2;
        diagram.high += MINIMUM_SPAN / 2;
    }

    if (haveRange) labelFields(data.model, diagram.low, diagram.high, diagram.fields);
    describeBands(data, diagram);
    std::vector<DiagramLine> lines;
    for (int t = 0; t < 3; ++t)
        for (int column = 0; column < 2; ++column)
            for (BoundarySegment& segment : boundarySegments(shown.tables[t], column, stableRows[t]))
                lines.push_back({t, std::move(segment)});
    diagram.lines = nearStableLines(lines);
    for (const MeasuredMark& mark : data.measured)
        if (mark.T >= diagram.low && mark.T <= diagram.high && mark.x >= 0 && mark.x <= 1) diagram.measured.push_back(mark);
    if (diagram.measured.size() < data.measured.size())
        diagram.notes.push_back(std::to_string(data.measured.size() - diagram.measured.size()) +
                                " measured points lie outside the picture's range and are not drawn.");
    if (!stretches.empty()) diagram.notes.push_back(completionNote(stretches));
    describeEutectic(shown, stable, shown.tables, stableRows, diagram);
}
