// Both paths of alloys of any binary system, checked against what holds whatever the code: each
// element conserved, the Scheil path equal to the lever rule where the solid is a compound, the
// rows independent of the grid, the three-phase solver's paths on the same database, and a liquid
// miscibility gap passed through on both paths.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formats/tdb_binary.h"
#include "scratch_dir.h"
#include "solidification/alloy_path.h"
#include "solidification/solidification.h"
#include "formats/tdb_system.h"

namespace {

const std::string MAGNESIUM_NICKEL = EXAMPLE_DATA_DIR "/../mg-ni/MgNi.tdb";
const std::string LEAD_TIN = EXAMPLE_DATA_DIR "/../pb-sn/PbSn.tdb";

struct Alloy {
    LoadedBinary loaded;
    BinaryDiagram diagram;
    AlloyPath path;
};

// The system's whole diagram and both paths of x0 on the grid (its ends the default ones where
// `grid.from` is 0).
void solve(const std::string& file, double x0, PathGrid grid, Alloy& a)
{
    ErrorText error{};
    ASSERT_TRUE(loadBinary(file.c_str(), "", "", "", 8.31451, a.loaded, error)) << error.text;
    double top = 0;
    ASSERT_TRUE(diagramTop(a.loaded.system, top));
    ASSERT_TRUE(computeBinaryDiagram(a.loaded.system, 300, top, DIAGRAM_STEP, a.diagram));
    ASSERT_TRUE(alloyTransitions(a.loaded.system, a.diagram, x0, a.path, error)) << error.text;
    if (grid.from == 0) {
        grid.from = std::ceil(a.path.scheil.liquidus) + 20;
        grid.to = std::floor(lastTransition(a.path)) - 20;
    }
    ASSERT_TRUE(alloyPathRows(a.loaded.system, a.diagram, grid, a.path, error)) << error.text;
}

// The column of the phase named, or -1.
int column(const Alloy& a, const std::string& name)
{
    for (std::size_t k = 0; k < a.path.phases.size(); ++k)
        if (a.loaded.system.phases[static_cast<std::size_t>(a.path.phases[k])].name == name) return static_cast<int>(k);
    return -1;
}

}  // namespace

// Mg-40Ni (atomic): the Laves phase MgNi2 first, then past the peritectic that forms Mg2Ni the liquid
// goes on along Mg2Ni's liquidus to the eutectic with magnesium. Both solids are compounds, so
// nickel's balance, x0 = 2/3 a(MgNi2) + 1/3 a(Mg2Ni) + fL xL, holds at every row the liquid
// still has, whatever the Scheil integral did to get there; and the amounts add up to one.
TEST(AlloyPath, ScheilThroughAPeritecticConservesNickel)
{
    Alloy a;
    solve(MAGNESIUM_NICKEL, 0.4, {1240, 770, 0.5}, a);
    ASSERT_EQ(a.path.scheil.stages.size(), 4u);  // Laves, the peritectic, Mg2Ni, the eutectic
    EXPECT_STREQ(a.path.scheil.stages[1].name, "peritectic");
    EXPECT_STREQ(a.path.scheil.endName, "eutectic");
    const int laves = column(a, "LAVES_C36");
    const int mg2ni = column(a, "MG2NI");
    const int liquid = column(a, "LIQUID");
    ASSERT_GE(laves, 0);
    ASSERT_GE(mg2ni, 0);
    int checked = 0;
    for (const AlloyPathRow& row : a.path.rows) {
        double sum = 0;
        for (const double amount : row.amount[1]) sum += amount;
        EXPECT_NEAR(sum, 1, 1e-12) << row.T;
        if (!std::isfinite(row.xLiquid[1]) || row.T > a.path.scheil.liquidus) continue;
        const std::vector<double>& f = row.amount[1];
        EXPECT_NEAR(2.0 / 3 * f[laves] + 1.0 / 3 * f[mg2ni] + f[liquid] * row.xLiquid[1], 0.4, 1e-9) << row.T;
        EXPECT_NEAR(1 - f[liquid], row.fs[1], 1e-12);
        ++checked;
    }
    EXPECT_GT(checked, 400);
    // The equilibrium path's peritectic: the liquid and the Laves phase above, the two compounds
    // below, by the lever rule at the compounds' compositions.
    ASSERT_EQ(a.path.events.size(), 2u);  // the liquidus, the peritectic that leaves two compounds
    const PathEvent& peritectic = a.path.events[1];
    EXPECT_STREQ(peritectic.name, "peritectic");
    EXPECT_NEAR(peritectic.below.phases[0].amount, (2.0 / 3 - 0.4) / (1.0 / 3), 1e-9);
}

// Where the primary solid is a compound the solid cannot be out of equilibrium: the Scheil path
// is the lever rule down to the eutectic.
TEST(AlloyPath, ScheilIsTheLeverRuleWhereTheSolidIsACompound)
{
    Alloy a;
    solve(MAGNESIUM_NICKEL, 0.2, {980, 790, 1}, a);
    int compared = 0;
    for (const AlloyPathRow& row : a.path.rows) {
        if (row.T <= a.path.scheil.end) continue;
        EXPECT_NEAR(row.fs[1], row.fs[0], 1e-9) << row.T;
        ++compared;
    }
    EXPECT_GT(compared, 150);
}

// The Scheil integral is converged wherever the rows fall: halving the grid's step changes no
// fraction solid at the temperatures both grids share.
TEST(AlloyPath, HalvingTheStepChangesNoRow)
{
    Alloy coarse;
    Alloy fine;
    solve(MAGNESIUM_NICKEL, 0.4, {1240, 770, 2}, coarse);
    solve(MAGNESIUM_NICKEL, 0.4, {1240, 770, 1}, fine);
    int compared = 0;
    for (const AlloyPathRow& c : coarse.path.rows)
        for (const AlloyPathRow& f : fine.path.rows)
            if (c.T == f.T) {
                EXPECT_NEAR(c.fs[1], f.fs[1], 1e-10) << c.T;
                EXPECT_NEAR(c.fs[0], f.fs[0], 1e-12) << c.T;
                ++compared;
            }
    EXPECT_GT(compared, 200);
}

// On a liquid and two solid solutions the three-phase solver, with its own tie-lines, its own
// eutectic and its own Scheil walk, gives the same paths.
TEST(AlloyPath, LeadTinAgreesWithTheThreePhaseSolver)
{
    const double x0 = 0.3;
    const PathGrid grid{560, 440, 0.5};
    Alloy a;
    solve(LEAD_TIN, x0, grid, a);
    LoadedTdb loaded;
    ErrorText error{};
    ASSERT_TRUE(loadTdb(LEAD_TIN.c_str(), "", loaded, error)) << error.text;
    StableDiagram diagram;
    buildStableDiagram(curveSourceOf(loaded), diagram);
    SolidificationPath old;
    ASSERT_TRUE(solidify(diagram, x0, grid, nullptr, old, error)) << error.text;
    EXPECT_NEAR(a.path.scheil.liquidus, old.liquidus, 1e-8);
    EXPECT_NEAR(a.path.scheil.end, old.eutectic[0], 1e-8);
    EXPECT_NEAR(a.path.scheil.finalFraction, old.eutecticScheil, 1e-8);
    int compared = 0;
    for (const PathRow& o : old.rows)
        for (const AlloyPathRow& r : a.path.rows)
            if (o.T == r.T && o.event[0] == '\0') {
                EXPECT_NEAR(r.fs[0], o.fsEquilibrium, 1e-8) << r.T;
                EXPECT_NEAR(r.fs[1], o.fsScheil, 1e-8) << r.T;
                ++compared;
            }
    EXPECT_GT(compared, 200);
    // The independent calculation (OpenCalphad): x = 0.3's liquidus at 542.5055 K.
    EXPECT_NEAR(a.path.scheil.liquidus, 542.5055, 1e-3);
}

// Lead-tin's FCC solvus passes x = 0.1530714 at 400 K in the independent calculation: the alloy of
// that composition crosses it there, from FCC alone into FCC and BCT_A5.
TEST(AlloyPath, TheSolvusOfAnAlloyIsTheIndependentCalculations)
{
    Alloy a;
    solve(LEAD_TIN, 0.1530714, {0, 0, 5}, a);
    const PathEvent* solvus = nullptr;
    for (const PathEvent& e : a.path.events)
        if (std::string(e.name) == "solvus") solvus = &e;
    ASSERT_NE(solvus, nullptr);
    EXPECT_NEAR(solvus->T, 400, 1e-3);
    ASSERT_EQ(solvus->above.count, 1);
    ASSERT_EQ(solvus->below.count, 2);
    EXPECT_NEAR(solvus->below.phases[1].amount, 0, 1e-12);
}

// A liquid gap above copper's liquidus (a regular liquid of L0 = 30000 - 5 T J/mol, critical near
// 1388 K) ends in a monotectic on it. Cu-10Pb (atomic) forms copper, then at the monotectic the
// liquid splits into copper and the lead-rich liquid, which goes on to the eutectic near lead; an
// alloy inside the gap separates into two liquids first, which the Scheil path does not follow
// and says so.
TEST(AlloyPath, ALiquidGapIsPassedThroughOnBothPaths)
{
    const std::string database =
        "ELEMENT VA VACUUM 0 0 0 !\n"
        "ELEMENT CU FCC_A1 63.546 0 0 !\n"
        "ELEMENT PB FCC_A1 207.2 0 0 !\n"
        "PHASE LIQUID % 1 1.0 !\n"
        "CONSTITUENT LIQUID :CU,PB: !\n"
        "PHASE FCC_A1 % 1 1.0 !\n"
        "CONSTITUENT FCC_A1 :CU,PB: !\n"
        "PARAMETER G(LIQUID,CU;0) 298.15 13000-9.6*T; 6000 N !\n"
        "PARAMETER G(LIQUID,PB;0) 298.15 4800-8*T; 6000 N !\n"
        "PARAMETER G(FCC_A1,CU;0) 298.15 0; 6000 N !\n"
        "PARAMETER G(FCC_A1,PB;0) 298.15 0; 6000 N !\n"
        "PARAMETER G(LIQUID,CU,PB;0) 298.15 30000-5*T; 6000 N !\n"
        "PARAMETER G(FCC_A1,CU,PB;0) 298.15 40000; 6000 N !\n";
    const std::filesystem::path dir = makeScratchDir();
    writeFile(dir / "CuPb.tdb", database);
    const std::string file = (dir / "CuPb.tdb").string();

    Alloy dilute;
    solve(file, 0.1, {0, 0, 0.5}, dilute);
    ASSERT_TRUE(dilute.path.scheil.stopped.empty()) << dilute.path.scheil.stopped;
    bool monotectic = false;
    for (const ScheilStage& s : dilute.path.scheil.stages) monotectic = monotectic || std::string(s.name) == "monotectic";
    EXPECT_TRUE(monotectic);
    EXPECT_STREQ(dilute.path.scheil.endName, "eutectic");
    // Lead's balance at the end, every solid and reaction product added up from the stages: the
    // solids along each liquidus are not of one composition, so this sums what the header says
    // each stage formed, and checks only that nothing is lost or made twice.
    double formed = 0;
    for (const ScheilStage& s : dilute.path.scheil.stages) formed += s.amount[0] + s.amount[1];
    EXPECT_NEAR(formed, 1, 1e-12);

    Alloy gap;
    solve(file, 0.4, {0, 0, 0.5}, gap);
    ASSERT_FALSE(gap.path.events.empty());
    EXPECT_STREQ(gap.path.events[0].name, "binodal");
    EXPECT_NE(gap.path.scheil.stopped.find("two liquids"), std::string::npos) << gap.path.scheil.stopped;
    // Inside the gap the equilibrium path holds two liquids, the lever rule between them.
    const PathEvent& split = gap.path.events[0];
    ASSERT_EQ(split.below.count, 2);
    EXPECT_NEAR(split.below.phases[0].amount + split.below.phases[1].amount, 1, 1e-12);
    EXPECT_EQ(split.below.phases[0].phase, split.below.phases[1].phase);
    EXPECT_NEAR(split.below.phases[0].x, 0.4, 1e-12);
}

// An alloy at a compound's exact composition: at the Laves phase's congruent point it freezes at
// one temperature on both paths; at Mg2Ni's, which forms in a peritectic, it is Mg2Ni alone below
// that, with no boundary of the fields that meet at its composition taken for a crossing.
TEST(AlloyPath, ACompoundsOwnCompositionIsThatCompound)
{
    Alloy laves;
    solve(MAGNESIUM_NICKEL, 2.0 / 3, {0, 0, 1}, laves);
    ASSERT_EQ(laves.path.events.size(), 1u);
    EXPECT_STREQ(laves.path.events[0].name, "congruent");
    EXPECT_STREQ(laves.path.scheil.endName, "congruent");
    EXPECT_EQ(laves.path.scheil.end, laves.path.events[0].T);
    EXPECT_EQ(laves.path.scheil.finalFraction, 1);

    Alloy mg2ni;
    solve(MAGNESIUM_NICKEL, 1.0 / 3, {1120, 300, 5}, mg2ni);
    ASSERT_EQ(mg2ni.path.events.size(), 2u);  // the liquidus of the Laves phase, the peritectic
    const AlloyState& below = mg2ni.path.events[1].below;
    ASSERT_EQ(below.count, 1);
    EXPECT_EQ(mg2ni.loaded.system.phases[static_cast<std::size_t>(below.phases[0].phase)].name, "MG2NI");
    for (const AlloyPathRow& row : mg2ni.path.rows) {
        if (row.T >= mg2ni.path.events[1].T) continue;
        EXPECT_EQ(row.amount[0][column(mg2ni, "MG2NI")], 1) << row.T;
    }
}
