// The lead-tin diagram described from its database: the boundaries run from the independent
// calculation's eutectic to its melting points and pass through its liquidus point, and each
// field is named where the phases it names are the stable ones by that calculation.
#include "plot/model_diagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "formats/tdb_system.h"
#include "plot/gibbs_curves.h"
#include "model_data.h"

namespace fs = std::filesystem;

namespace {

// x of a line at T, linear between its points; NaN where it does not reach T.
double xAt(const BoundarySegment& segment, double T)
{
    const auto& p = segment.points;
    for (std::size_t i = 1; i < p.size(); ++i)
        if ((p[i - 1].second - T) * (p[i].second - T) <= 0 && p[i].second != p[i - 1].second)
            return p[i - 1].first + (T - p[i - 1].second) / (p[i].second - p[i - 1].second) * (p[i].first - p[i - 1].first);
    return NAN;
}

// The lead-tin example's database and its stable diagram.
void loadLeadTin(LoadedTdb& loaded, StableDiagram& stable)
{
    ErrorText error{};
    ASSERT_TRUE(loadTdb((fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb").c_str(), "", loaded, error))
        << error.text;
    buildStableDiagram(curveSourceOf(loaded), stable);
}

}  // namespace

TEST(ModelDiagram, LeadTinBoundariesEndAtTheEutecticAndTheMeltingPoints)
{
    LoadedTdb loaded;
    StableDiagram stable;
    loadLeadTin(loaded, stable);
    if (HasFatalFailure()) return;
    ModelDiagramRequest request{{"Pb-Sn", "Sn", {"LIQUID", "FCC_A1", "BCT_A5"}, "the database", "SER"}, true, false, 0, 0, {}};
    PhaseDiagram diagram;
    describeModelDiagram(stable, request, diagram);
    EXPECT_EQ(diagram.low, 300);   // 150 K below the eutectic, in tens
    EXPECT_EQ(diagram.high, 640);  // 30 K above lead's melting point
    ASSERT_TRUE(diagram.eutectic.shown);
    EXPECT_NEAR(diagram.eutectic.T, 454.5620, 5e-5);
    EXPECT_EQ(diagram.eutectic.label, "Eutectic 454.56 K (181.41 \u00b0C)");

    // One unbroken stable line per side of each pair: its ends and, for the liquid against
    // FCC_A1, the liquidus of x = 0.3 at 542.5055 K (the 1 K chords of a curve this gentle lie
    // within 2e-4 of it).
    struct End {
        int pair;
        int side;
        double lowT, lowX, highT, highX;
    };
    for (const End& e : {End{LIQUID_BCC - 1, 0, 454.5620, 0.7373324, 600.650, 0}, End{LIQUID_BCC - 1, 1, 454.5620, 0.2632148, 600.650, 0},
                         End{LIQUID_FCC - 1, 0, 454.5620, 0.7373324, 505.060, 1}, End{LIQUID_FCC - 1, 1, 454.5620, 0.9755197, 505.060, 1},
                         End{BCC_FCC - 1, 0, 300, NAN, 454.5620, 0.2632148}, End{BCC_FCC - 1, 1, 300, NAN, 454.5620, 0.9755197}}) {
        std::vector<const BoundarySegment*> found;
        for (const DiagramLine& line : diagram.lines)
            if (line.pair == e.pair && line.segment.stable && !line.segment.points.empty() &&
                (std::isnan(e.lowX) || std::fabs(line.segment.points.front().first - e.lowX) < 0.2 ||
                 std::fabs(line.segment.points.back().first - e.highX) < 0.2))
                found.push_back(&line.segment);
        ASSERT_FALSE(found.empty()) << e.pair << " " << e.side;
        // The side's line: the one whose ends are the side's.
        const BoundarySegment* side = nullptr;
        for (const BoundarySegment* s : found)
            if (std::fabs(s->points.back().first - e.highX) < 1e-6 && std::fabs(s->points.back().second - e.highT) < 5e-4 &&
                (std::isnan(e.lowX) || std::fabs(s->points.front().first - e.lowX) < 5e-8))
                side = s;
        ASSERT_NE(side, nullptr) << e.pair << " " << e.side;
        EXPECT_NEAR(side->points.front().second, e.lowT, 5e-4) << e.pair << " " << e.side;
    }
    bool liquidus = false;
    for (const DiagramLine& line : diagram.lines)
        if (line.pair == LIQUID_BCC - 1 && std::fabs(xAt(line.segment, 542.5055) - 0.3) < 2e-4) liquidus = true;
    EXPECT_TRUE(liquidus);

    // The fields by the calculation's numbers: between the solidus and liquidus, beside them.
    std::set<std::string> names;
    for (const FieldLabel& f : diagram.fields) {
        names.insert(f.name);
        if (f.name == "LIQUID + BCT_A5") {
            EXPECT_GT(f.T, 454.5620);
            EXPECT_LT(f.T, 505.060);
            EXPECT_GT(f.x, 0.7373324);
        } else if (f.name == "FCC_A1 + BCT_A5") {
            EXPECT_LT(f.T, 454.5620);
            EXPECT_GT(f.x, 0.1530714 - 0.15);
        } else if (f.name == "LIQUID + FCC_A1") {
            EXPECT_GT(f.T, 454.5620);
            EXPECT_LT(f.T, 600.650);
            EXPECT_LT(f.x, 0.7373324);
        } else if (f.name == "FCC_A1") {
            EXPECT_LT(f.x, 0.2632148);
        }
    }
    EXPECT_EQ(names, (std::set<std::string>{"LIQUID", "FCC_A1", "BCT_A5", "LIQUID + FCC_A1", "LIQUID + BCT_A5",
                                            "FCC_A1 + BCT_A5"}));
}

// The Gibbs picture of the database at 480 K: every tangent touches both curves where it is drawn,
// its ends on the phases' energies from the database and its slope each phase's dG/dx there (so
// that the chord is the common tangent); the liquid's two stable tie-lines and the solids'
// metastable one, whose FCC_A1 end lies where the liquid undercuts it.
TEST(ModelDiagram, GibbsTangentsOfADatabaseTouchBothCurves)
{
    LoadedTdb loaded;
    StableDiagram stable;
    loadLeadTin(loaded, stable);
    if (HasFatalFailure()) return;
    GibbsPicture picture;
    describeGibbsCurves(stable, 480, picture, {"Pb-Sn", "Sn", {"LIQUID", "FCC_A1", "BCT_A5"}, "", ""});
    int stableCount = 0;
    int metastableCount = 0;
    for (const CommonTangent& t : picture.tangents) {
        const auto pair = static_cast<PhasePair>(t.pair + 1);
        const int phases[2] = {firstPhase(pair), secondPhase(pair)};
        const double chord = (t.g[1] - t.g[0]) / (t.x[1] - t.x[0]);
        for (int k = 0; k < 2; ++k) {
            double G = 0;
            double slope = 0;
            ErrorText error{};
            ASSERT_TRUE(tdbGibbsEnergy(loaded.database, loaded.system.phases[phases[k]], t.x[k], 480, G, slope, error));
            EXPECT_NEAR(t.g[k], G, 1e-6) << t.pair << " " << k;
            EXPECT_NEAR(chord, slope, 1e-4) << t.pair << " " << k;
        }
        (t.stable ? stableCount : metastableCount) += 1;
        if (!t.stable) {
            EXPECT_EQ(t.pair, BCC_FCC - 1);
        }
    }
    EXPECT_EQ(stableCount, 2);
    EXPECT_EQ(metastableCount, 1);
}
