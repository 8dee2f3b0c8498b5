// What the diagram says: lines that never bridge a gap, the stable eutectic and every stable
// boundary, and notes where the tables fall short.
#include "plot/phase_diagram.h"
#include "plot/phase_diagram_svg.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "equilibrium/stable_solves.h"
#include "equilibrium/tie_line_newton.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

BoundaryRow row(int T, double x0, double x1, bool valid = true) { return {T, {x0, x1}, valid ? 3 : 100, valid}; }

TEST(BoundarySegments, BreakAtInvalidRowsMissingTemperaturesAndJumps)
{
    BoundaryTable table;
    table.rows = {row(700, 0.300, 0.9), row(701, 0.301, 0.9), row(702, 0.5, 0.9, false), row(703, 0.303, 0.9),
                  row(704, 0.304, 0.9), row(706, 0.306, 0.9), row(707, 0.307, 0.9), row(708, 0.407, 0.9),
                  row(709, 0.408, 0.9)};
    const std::vector<bool> stable(table.rows.size(), true);
    const std::vector<BoundarySegment> segments = boundarySegments(table, 0, stable);
    ASSERT_EQ(segments.size(), 4u);
    EXPECT_EQ(segments[0].points.size(), 2u);  // 700-701, then the Invalid row
    EXPECT_EQ(segments[1].points.size(), 2u);  // 703-704, then 705 is missing
    EXPECT_EQ(segments[2].points.size(), 2u);  // 706-707, then a jump of 0.1
    EXPECT_EQ(segments[3].points.front().second, 708.0);
}

// Temperatures at the ends of a 32-bit integer: no overflow in the step from row to row.
TEST(BoundarySegments, TakeTemperaturesAtTheEndsOfTheIntegerRange)
{
    BoundaryTable table;
    table.rows = {row(INT_MAX - 1, 0.3, 0.9), row(INT_MAX, 0.3, 0.9), row(INT_MIN, 0.3, 0.9), row(INT_MIN + 1, 0.3, 0.9)};
    const std::vector<BoundarySegment> segments = boundarySegments(table, 0, std::vector<bool>(4, true));
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].points.size(), 2u);
    EXPECT_EQ(segments[1].points.size(), 2u);
}

TEST(BoundarySegments, ContinueAcrossAChangeOfStability)
{
    BoundaryTable table;
    table.rows = {row(820, 0.50, 0.07), row(821, 0.501, 0.07), row(822, 0.502, 0.07), row(823, 0.503, 0.07)};
    const std::vector<BoundarySegment> segments = boundarySegments(table, 0, {false, false, true, true});
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_FALSE(segments[0].stable);
    EXPECT_TRUE(segments[1].stable);
    EXPECT_EQ(segments[1].points.front(), segments[0].points.back());  // no gap, no bridge
}

TEST(PhaseDiagram, EmptyTablesGiveAnEmptyDiagramWithANote)
{
    DiagramData data{};
    data.model[LIQUID] = {-11713.8, 2.85, 3441.9, -1.72};
    data.model[BCC] = {11983.4, -2.01, -4057.0, 2.10};
    data.model[FCC] = {13986.7, -2.95, 5044.7, -2.14};
    StableDiagram stable;
    buildStableDiagram(data.model, stable);
    PhaseDiagram diagram;
    describePhaseDiagram(data, stable, diagram);
    const std::vector<std::string>& notes = diagram.notes;
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].rfind("The tables hold no rows", 0), 0u);
    EXPECT_EQ(notes[1], "The eutectic table holds no row; the picture shows the stable eutectic of the model, solved "
                        "from fixed start values, at 823.61 K.");
    EXPECT_TRUE(diagram.lines.empty());
    EXPECT_TRUE(diagram.eutectic.shown);
}

// The picture of the example with an unconverged eutectic row: it shows the model's stable
// eutectic instead, and completes the BCC/FCC boundary where the table's first rows are Invalid.
TEST(PhaseDiagram, ShowsTheStableEutecticAndEveryStableBoundaryThatTheTablesLack)
{
    DiagramData data{};
    const fs::path expected = EXPECTED_DIR;
    ErrorText error{};
    for (int t = 0; t < 3; ++t) {
        const fs::path table = expected / boundaryFileName(static_cast<PhasePair>(t + 1));
        ASSERT_TRUE(readBoundaryTable(table.c_str(), data.tables[t], error)) << error.text;
    }
    data.model[LIQUID] = {-11713.844698, 2.851718, 3441.959325, -1.717574};
    data.model[BCC] = {11983.433124, -2.011936, -4057.015542, 2.095475};
    data.model[FCC] = {13986.689572, -2.947846, 5044.692460, -2.141900};
    data.eutectic = {true, 900, 0.5, 0.9, 0.1, 100};
    StableDiagram stable;
    buildStableDiagram(data.model, stable);
    PhaseDiagram diagram;
    describePhaseDiagram(data, stable, diagram);
    const std::vector<std::string>& notes = diagram.notes;
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Where the tables hold no converged row but the phases coexist stably, the picture completes "
                        "the boundary from the model: BCC/FCC at 500 to 504 K.");
    EXPECT_EQ(notes[1], "The eutectic solve did not converge (iteration count 100); the picture shows the stable "
                        "eutectic of the model, solved from fixed start values, at 823.66 K.");
    EXPECT_EQ(diagram.eutectic.label, "Eutectic 823.66 K");
    EXPECT_TRUE(diagram.eutectic.stable);
    // The completed rows are drawn as the stable lines they are.
    int completedLines = 0;
    for (const DiagramLine& line : diagram.lines)
        if (line.pair == BCC_FCC - 1 && line.segment.points.front().second == 500) {
            EXPECT_TRUE(line.segment.stable);
            ++completedLines;
        }
    EXPECT_EQ(completedLines, 2);  // the BCC and the FCC side

    BoundaryTable completed[3];
    std::vector<CompletedStretch> stretches;
    completeBoundaries(data, stable, completed, stretches);
    const BoundaryRow& first = completed[BCC_FCC - 1].rows[0];  // 500 K: x in BCC and in FCC
    EXPECT_EQ(first.T, 500);
    EXPECT_TRUE(first.valid);
    EXPECT_NEAR(first.x[0], 0.986401, 1e-6);
    EXPECT_NEAR(first.x[1], 0.008284, 1e-6);
}

// The example's tables against a model of other data: none of their rows is drawn, every line is
// the other model's stable boundary, and the eutectic is that model's.
TEST(PhaseDiagram, DrawsTheModelsStableBoundariesInPlaceOfTablesFromOtherData)
{
    DiagramData data{};
    const fs::path expected = EXPECTED_DIR;
    ErrorText error{};
    for (int t = 0; t < 3; ++t) {
        const fs::path table = expected / boundaryFileName(static_cast<PhasePair>(t + 1));
        ASSERT_TRUE(readBoundaryTable(table.c_str(), data.tables[t], error)) << error.text;
    }
    ASSERT_TRUE(readEutecticTable((expected / EUTECTIC_FILE).c_str(), data.eutectic, error)) << error.text;
    std::copy(std::begin(GENERATED_MODEL), std::end(GENERATED_MODEL), std::begin(data.model));
    PhaseDiagram diagram;
    describePhaseDiagram(data, generatedDiagram(), diagram);
    int staleNotes = 0;
    for (const std::string& note : diagram.notes) staleNotes += note.find("in their place") != std::string::npos;
    EXPECT_EQ(staleNotes, 3);
    GibbsCurves curves;
    ASSERT_FALSE(diagram.lines.empty());
    for (const DiagramLine& line : diagram.lines) {
        EXPECT_TRUE(line.segment.stable);
        const auto [x, T] = line.segment.points[line.segment.points.size() / 2];
        Vector4 reference{};
        ASSERT_TRUE(solveStableTieLine(GENERATED_MODEL, static_cast<PhasePair>(line.pair + 1), T, nullptr, reference, curves));
        EXPECT_TRUE(std::fabs(x - reference[0]) < 1e-6 || std::fabs(x - reference[1]) < 1e-6) << line.pair << " at " << T;
    }
    EXPECT_NEAR(diagram.eutectic.T, generatedDiagram().eutectic[0], 1e-9);
}

// Tables of the three pairs from 780 to 870 K with a gap of unconverged rows from 800 to 850 K,
// across the eutectic, and the rows around it converged, stable or metastable as phasediagram
// leaves them. Completed, every row of the gap where the tie-line solved in mole fractions is
// stable holds it, every other row is left as it was, and the stretches name exactly those rows.
TEST(CompleteBoundaries, FillEveryStableRowOfAGapAndNoOther)
{
    DiagramData data{};
    std::copy(std::begin(GENERATED_MODEL), std::end(GENERATED_MODEL), std::begin(data.model));
    GibbsCurves curves;
    bool stableAt[3][91] = {};
    Vector4 reference[3][91];
    std::vector<CompletedStretch> expected;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        // A stable root to continue the metastable rows from: 830 K for the liquid pairs, 800 K for BCC/FCC.
        Vector4 seed{};
        ASSERT_TRUE(solveStableTieLine(GENERATED_MODEL, pair, pair == BCC_FCC ? 800 : 830, nullptr, seed, curves));
        for (int T = 780; T <= 870; ++T) {
            const int i = T - 780;
            stableAt[t][i] = solveStableTieLine(GENERATED_MODEL, pair, T, nullptr, reference[t][i], curves);
            BoundaryRow row{T, {0.5, 0.5}, 100, false};
            if (T == 830) {
                row = {T, {0.3, 1.0}, 3, true};  // a converged row with a composition of 1 is no solution
            } else if (T < 800 || T > 850) {
                double s[2] = {logRatio(seed[0]), logRatio(seed[1])};
                if (!stableAt[t][i]) {
                    ASSERT_TRUE(solveTieLine(GENERATED_MODEL, pair, T, s)) << pair << " at " << T;
                }
                row = {T, {stableAt[t][i] ? reference[t][i][0] : composition(s[0]).x,
                            stableAt[t][i] ? reference[t][i][1] : composition(s[1]).x}, 3, true};
            }
            data.tables[t].rows.push_back(row);
            const bool completes = T >= 800 && T <= 850 && stableAt[t][i];
            if (completes && !expected.empty() && expected.back().pair == pair && expected.back().to == T - 1)
                expected.back().to = T;
            else if (completes)
                expected.push_back({pair, T, T});
        }
    }
    BoundaryTable completed[3];
    std::vector<CompletedStretch> stretches;
    completeBoundaries(data, generatedDiagram(), completed, stretches);
    for (int t = 0; t < 3; ++t)
        for (int T = 800; T <= 850; ++T) {
            const int i = T - 780;
            const BoundaryRow& row = completed[t].rows[static_cast<std::size_t>(i)];
            const BoundaryRow& given = data.tables[t].rows[static_cast<std::size_t>(i)];
            if (stableAt[t][i]) {
                EXPECT_TRUE(row.valid) << t << " at " << T;
                EXPECT_NEAR(row.x[0], reference[t][i][0], 1e-6) << t << " at " << T;
                EXPECT_NEAR(row.x[1], reference[t][i][1], 1e-6) << t << " at " << T;
            } else {
                EXPECT_EQ(row.valid, given.valid) << t << " at " << T;
                EXPECT_EQ(row.x[0], given.x[0]) << t << " at " << T;
                EXPECT_EQ(row.x[1], given.x[1]) << t << " at " << T;
            }
        }
    ASSERT_EQ(stretches.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(stretches[k].pair, expected[k].pair) << k;
        EXPECT_EQ(stretches[k].from, expected[k].from) << k;
        EXPECT_EQ(stretches[k].to, expected[k].to) << k;
    }
    // The liquid pairs from just above the eutectic to the gap's top, BCC/FCC from its bottom to
    // just below the eutectic.
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(expected[2].from, 800);
    EXPECT_EQ(expected[0].to, 850);
}

// Rows printed to six decimals from the tie-lines solved in mole fractions solve the model; a row
// moved by 2e-5, as a small change of the data moves it, does not.
TEST(RowsNotSolved, PassRoundingToTheSixthDecimalAndCatchAShiftInTheFifth)
{
    GibbsCurves curves;
    BoundaryTable table;
    for (int T = 1000; T < 1010; ++T) {
        Vector4 x{};
        ASSERT_TRUE(solveStableTieLine(GENERATED_MODEL, LIQUID_BCC, T, nullptr, x, curves));
        table.rows.push_back({T, {std::round(x[0] * 1e6) / 1e6, std::round(x[1] * 1e6) / 1e6}, 3, true});
    }
    EXPECT_EQ(rowsNotSolved(GENERATED_MODEL, LIQUID_BCC, table), 0);
    table.rows[4].x[0] += 2e-5;
    EXPECT_EQ(rowsNotSolved(GENERATED_MODEL, LIQUID_BCC, table), 1);
}

// A measured point is marked by what was measured: the liquid, a solid against the liquid, a
// solid against the other solid, or an arrest (drawn at the computed liquid's composition where
// it has none of its own); hollow only when it lies outside a band.
TEST(MeasuredMarks, SayWhatWasMeasured)
{
    const auto residual = [](BoundaryPoint point, bool haveBand, bool within) {
        return PointResidual{point, 0.505, NAN, NAN, NAN, haveBand, 0, 1, within, NAN, "ok", "", ""};
    };
    const std::pair<PointResidual, MeasuredKind> cases[] = {
        {residual({1, 1000, true, 0.3, LIQUID_FCC, 0}, false, false), LIQUIDUS_POINT},
        {residual({2, 1000, true, 0.03, LIQUID_FCC, 1}, true, true), SOLIDUS_POINT},
        {residual({3, 1000, true, 0.7, LIQUID_BCC, 0}, true, false), LIQUIDUS_POINT},
        {residual({4, 1000, true, 0.97, LIQUID_BCC, 1}, false, false), SOLIDUS_POINT},
        {residual({5, 700, true, 0.95, BCC_FCC, 0}, false, false), SOLVUS_POINT},
        {residual({6, 700, true, 0.02, BCC_FCC, 1}, false, false), SOLVUS_POINT},
        {residual({7, 823, false, NAN, 0, 0}, true, false), EUTECTIC_ARREST},
    };
    for (const auto& [r, kind] : cases) {
        const MeasuredMark mark = measuredMark(r);
        EXPECT_EQ(mark.kind, kind) << r.point.line;
        EXPECT_EQ(mark.pair, r.point.pair - 1) << r.point.line;
        EXPECT_EQ(mark.x, r.point.haveX ? r.point.x : 0.505) << r.point.line;
        EXPECT_EQ(mark.T, r.point.T);
        EXPECT_EQ(mark.outsideBand, r.haveBand && !r.withinBand) << r.point.line;
    }
}

// However many notes there are, every line of them lies inside the picture: it grows downwards.
TEST(PhaseDiagramSvg, KeepsEveryNoteInsideThePicture)
{
    for (const int count : {0, 2, 7}) {
        PhaseDiagram diagram{};
        diagram.low = 500;
        diagram.high = 1600;
        for (int i = 0; i < count; ++i)
            diagram.notes.push_back("Note " + std::to_string(i) + ": " + std::string(180, 'x').replace(90, 1, " "));
        const std::string svg = drawPhaseDiagram(diagram);
        const double height = std::stod(svg.substr(svg.find("height=\"") + 8));
        EXPECT_GE(height, 740);
        int lines = 0;
        for (std::size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) {
            const std::size_t end = svg.find('>', at);
            if (svg.substr(at, end - at).find("#a0522d") == std::string::npos) continue;
            const double y = std::stod(svg.substr(svg.find(" y=\"", at) + 4));
            EXPECT_LT(y + 4, height) << count;
            ++lines;
        }
        EXPECT_EQ(lines, 2 * count);  // each note of 188 characters takes two lines
        if (count == 0) {
            EXPECT_EQ(height, 740);
        }
    }
}

}  // namespace
