// What an alloy asks of a computed diagram, against the brute-force hull of the phases on a fine
// grid: the phases at (T, x0) and their amounts, and the temperature at which a field's side
// passes through x0.
#include "equilibrium/diagram_queries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "brute_hull.h"
#include "formats/tdb_binary.h"

namespace {

const std::string MAGNESIUM_NICKEL =
    (std::filesystem::path(EXAMPLE_DATA_DIR).parent_path() / "mg-ni" / "MgNi.tdb").string();

// The example's magnesium-nickel system read and its whole diagram computed.
void wholeDiagram(LoadedBinary& l, BinaryDiagram& d)
{
    ErrorText error{};
    ASSERT_TRUE(loadBinary(MAGNESIUM_NICKEL.c_str(), "", "", "", 8.31451, l, error)) << error.text;
    double top = 0;
    ASSERT_TRUE(diagramTop(l.system, top));
    ASSERT_TRUE(computeBinaryDiagram(l.system, 300, top, DIAGRAM_STEP, d));
}

// Magnesium-nickel (two compounds, a magnetic solid) at temperatures between its reactions: at
// every tenth of x (and at the compounds' own compositions) the state of the alloy is the hull's:
// a tie-line whose ends lie within two grid steps of a chord's, with the lever rule's amounts, or
// the one phase where x lies on no chord.
TEST(DiagramQueries, TheStateOfAnAlloyIsTheHulls)
{
    LoadedBinary l;
    BinaryDiagram d;
    wholeDiagram(l, d);
    const std::vector<FieldSpan> spans = fieldSpans(d);
    const int N = 100001;
    for (const double T : {700.0, 903.3, 1100.0, 1250.0, 1500.0}) {
        SystemAt at;
        ASSERT_TRUE(evaluateSystemAt(l.system, T, at));
        const std::vector<std::pair<double, double>> fields = bruteForceFields(l.system, at, N);
        for (const double x0 : {0.05, 0.15, 0.25, 1.0 / 3, 0.45, 0.55, 0.65, 2.0 / 3, 0.75, 0.85, 0.95}) {
            AlloyState state;
            ASSERT_TRUE(alloyStateAt(l.system, at, d, spans, T, x0, state)) << T << " " << x0;
            const std::pair<double, double>* chord = nullptr;
            for (const auto& f : fields)
                if (f.first + 2.0 / N < x0 && x0 < f.second - 2.0 / N) chord = &f;
            if (chord == nullptr) {
                EXPECT_EQ(state.count, 1) << T << " K, x0 = " << x0;
                continue;
            }
            ASSERT_EQ(state.count, 2) << T << " K, x0 = " << x0;
            EXPECT_NEAR(state.phases[0].x, chord->first, 2.0 / N) << T << " " << x0;
            EXPECT_NEAR(state.phases[1].x, chord->second, 2.0 / N) << T << " " << x0;
            EXPECT_NEAR(state.phases[1].amount, (x0 - chord->first) / (chord->second - chord->first), 1e-4);
            EXPECT_NEAR(state.phases[0].amount + state.phases[1].amount, 1, 1e-12);
        }
    }
}

// A side's crossing of x0 is where the tie-line there has that composition, found from the rows
// by regula falsi: the tie-line solved afresh at the crossing's temperature has it to 1e-9, and
// the side lies on either side of x0 a kelvin above and below.
TEST(DiagramQueries, ACrossingIsWhereTheSideHasTheAlloysComposition)
{
    LoadedBinary l;
    BinaryDiagram d;
    wholeDiagram(l, d);
    SystemAt at;
    int found = 0;
    for (const FieldSpan& span : fieldSpans(d))
        for (int side = 0; side < 2; ++side) {
            std::vector<double> crossings;
            ASSERT_TRUE(sideCrossings(l.system, at, d, span, side, 0.1, crossings));
            for (const double T : crossings) {
                StableTieLine line;
                ASSERT_TRUE(tieLineNear(l.system, at, d, span, T, line));
                EXPECT_NEAR(line.x[side], 0.1, 1e-9) << T;
                StableTieLine above;
                StableTieLine below;
                if (T + 1 < span.top && T - 1 > span.bottom && tieLineNear(l.system, at, d, span, T + 1, above) &&
                    tieLineNear(l.system, at, d, span, T - 1, below)) {
                    EXPECT_LT((above.x[side] - 0.1) * (below.x[side] - 0.1), 0) << T;
                }
                ++found;
            }
        }
    EXPECT_GE(found, 1);  // the liquidus of Mg2Ni at x = 0.1
}

}  // namespace
