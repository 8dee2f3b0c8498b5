// The companions on a database's system: an alloy's paths by weight, measured points on its
// fields and reactions, by their names in the database and by weight.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "database_energy.h"
#include "formats/tdb_system.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string LEAD_TIN = (fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb").string();

}  // namespace

// Sn-37Pb, 63 % tin by weight: with the masses of the database's elements, x0 = (63 / 118.71) /
// (63 / 118.71 + 37 / 207.2). It freezes as BCT_A5 first, and the equilibrium path ends in as much
// eutectic as the lever rule gives on the independent calculation's eutectic (454.5620 K, liquid
// 0.7373324, BCT_A5 0.9755197); every two-phase row balances both potentials in mole fractions.
TEST(DatabaseProgram, SolidifyTakesASolderByWeightAndEndsOnTheLeverRule)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun run = runTool(SOLIDIFY_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--weight", "63"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string table = readFile(dir / "Solidification.txt");
    const double x0 = (63 / 118.71) / (63 / 118.71 + 37 / 207.2);
    char expected[120];
    std::snprintf(expected, sizeof expected, "# Solidification of the alloy x0 = %.6f (mole fraction of Sn)", x0);
    EXPECT_EQ(table.rfind(expected, 0), 0u) << table.substr(0, 200);
    EXPECT_NE(table.find("# x0 by weight: 63.0000 % Sn\n# liquidus: "), std::string::npos);
    // The liquid just above the eutectic, on the equilibrium path, by the lever rule on the
    // independent calculation's eutectic compositions.
    const double lever = (x0 - 0.9755197) / (0.7373324 - 0.9755197);
    const std::size_t at = table.find(" K, eutectic: LIQUID ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::stod(table.substr(at + 21)), lever, 2e-6);

    LoadedTdb loaded;
    ErrorText error{};
    ASSERT_TRUE(loadTdb(LEAD_TIN.c_str(), "", loaded, error)) << error.text;
    std::istringstream in(table);
    std::string line;
    int balanced = 0;
    while (std::getline(in, line)) {
        double T = 0;
        double fS = 0;
        double xL = 0;
        char xS[32] = "";
        if (line[0] == '#' || std::sscanf(line.c_str(), "%lf %lf %lf %31s", &T, &fS, &xL, xS) != 4 || xS[0] == '-' ||
            !(fS > 0 && fS < 1))
            continue;
        double G[2];
        double slope[2];
        energy(loaded, 0, xL, T, G[0], slope[0]);
        energy(loaded, 2, std::stod(xS), T, G[1], slope[1]);
        // Six printed decimals of xS near 0.99 move lead's potential by up to R T 5e-7 / 0.01.
        EXPECT_NEAR(G[0] - xL * slope[0], G[1] - std::stod(xS) * slope[1], 0.2) << T;
        EXPECT_NEAR(G[0] + (1 - xL) * slope[0], G[1] + (1 - std::stod(xS)) * slope[1], 0.02) << T;
        ++balanced;
    }
    EXPECT_GE(balanced, 3);

    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"--weight", "63"}).status, 2);
    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--replicates", "20", "0.3"}).status, 2);
    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--weight", "100"}).status, 2);

    // What the path cannot take from the database is refused naming it: a weight percent where the
    // database gives no masses.
    std::string lead = readFile(LEAD_TIN);
    for (const char* element : {"ELEMENT PB  FCC_A1        207.2", "ELEMENT SN  BCT_A5        118.71"}) {
        const std::string e = element;
        ASSERT_NE(lead.find(e), std::string::npos) << e;
        lead.replace(lead.find(e), e.size(), e.substr(0, e.rfind(' ')) + " 0");
    }
    const std::string path = (dir / "no-masses.tdb").string();
    writeFile(path, lead);
    const ProgramRun refused = runTool(SOLIDIFY_PATH, dir, {"--tdb", path.c_str(), "--weight", "63"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind("phasediagram-solidify: " + path + ": ", 0), 0u) << refused.err;
}

// Points of the independent calculation as measured points, named with the database's phases:
// the liquidus of x = 0.3 at 542.5055 K, the 400 K solvus of FCC_A1 at 0.1530714 and the
// eutectic arrest at 454.5620 K lie on the diagram to the digits they are given with. A pair
// the system does not have is refused, the database's names listed.
TEST(DatabaseProgram, PlotHoldsMeasuredPointsNamedWithTheDatabasesPhases)
{
    const fs::path dir = makeScratchDir();
    writeFile(dir / "Boundaries.txt", "542.5055 0.3 LIQUID/FCC_A1 LIQUID\n400 0.1530714 fcc_a1/bct_a5 FCC_A1\n"
                                      "454.5620 0.7373324 eutectic\n");
    const ProgramRun run = runTool(PLOT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--celsius", "--gibbs", "480"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(dir / "Regression.svg"));
    const std::string svg = readFile(dir / "PhaseDiagram.svg");
    EXPECT_NE(svg.find("Pb-Sn: the stable phase diagram"), std::string::npos);
    EXPECT_NE(svg.find("Mole fraction of Sn"), std::string::npos);
    EXPECT_NE(svg.find("Temperature (\u00b0C)"), std::string::npos);
    EXPECT_NE(readFile(dir / "GibbsEnergy.svg").find("Pb-Sn: Gibbs energies at 480.00 K"), std::string::npos);

    const std::vector<std::vector<std::string>> rows = numberedRows(readFile(dir / "Boundary_residuals.txt"));
    ASSERT_EQ(rows.size(), 3u);
    // Line, T, x, Pair, Phase, x computed, dx, T computed, dT, ..., Status
    EXPECT_EQ(rows[0][3], "LIQUID/FCC_A1");
    EXPECT_EQ(rows[0][4], "LIQUID");
    EXPECT_NEAR(std::stod(rows[0][8]), 0, 5e-4);
    EXPECT_EQ(rows[1][3], "FCC_A1/BCT_A5");
    EXPECT_NEAR(std::stod(rows[1][6]), 0, 1e-6);
    EXPECT_NEAR(std::stod(rows[2][8]), 0, 5e-4);
    for (const auto& row : rows) EXPECT_EQ(row.back(), "ok");

    // A name before the structure suffix stands for the phase (FCC for FCC_A1); other names do not.
    writeFile(dir / "Boundaries.txt", "542.5 0.3 Liquid/FCC Liquid\n");
    EXPECT_EQ(runTool(PLOT_PATH, dir, {"--tdb", LEAD_TIN.c_str()}).status, 0);
    EXPECT_NE(readFile(dir / "Boundary_residuals.txt").find("\tLIQUID/FCC_A1\tLIQUID\t"), std::string::npos);
    writeFile(dir / "Boundaries.txt", "542.5 0.3 Liquid/HCP Liquid\n");
    const ProgramRun bad = runTool(PLOT_PATH, dir, {"--tdb", LEAD_TIN.c_str()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "phasediagram-plot: Boundaries.txt: line 1: \"Liquid/HCP\" is not a pair of the system's phases "
                       "(LIQUID, FCC_A1, BCT_A5) as A/B, nor a reaction\n");
}

// Measured points on fields and reactions the three-phase model had no name for: silver-copper's
// eutectic arrest and the copper-rich FCC set just below it, at the independent calculation's
// values (OpenCalphad: 1056.1245 K, x(Cu) 0.41490741 in the liquid, 0.95418566 in FCC_A1#2), lie on
// the diagram to its precision; with --weight the axis is in weight percent, and a point given by
// weight is the mole fraction it stands for.
TEST(DatabaseProgram, PlotHoldsPointsOnAGapAndItsEutectic)
{
    const fs::path database = fs::path(PUBLISHED_DATABASES) / "AgCu.tdb";
    if (!fs::exists(database)) GTEST_SKIP() << database.string() << " is not there";
    const fs::path dir = makeScratchDir();
    writeFile(dir / "Boundaries.txt", "1056.1245 0.41490741 eutectic\n"
                                      "1056.1244 0.95418566 FCC_A1#1/FCC_A1#2 FCC_A1#2\n"
                                      "1056.1244 0.13 fcc#1/fcc#2 fcc#1\n");
    const ProgramRun run = runTool(PLOT_PATH, dir, {"--tdb", database.c_str()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::vector<std::string>> rows = numberedRows(readFile(dir / "Boundary_residuals.txt"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][3], "FCC_A1#1/FCC_A1#2");
    EXPECT_EQ(rows[2][4], "FCC_A1#1");
    for (const auto& row : rows) EXPECT_EQ(row.back(), "ok");
    EXPECT_NEAR(std::stod(rows[0][6]), 0, 2e-6);  // dx
    EXPECT_NEAR(std::stod(rows[1][6]), 0, 2e-6);
    EXPECT_NEAR(std::stod(rows[2][5]), 0.13006474, 2e-6);  // x computed
    EXPECT_NEAR(std::stod(rows[0][8]), 0, 1e-3);  // dT of the arrest

    // Sn-37Pb by weight is x(Sn) = 0.748234; the axis says what it counts.
    writeFile(dir / "Boundaries.txt", "455 63wt eutectic\n");
    ASSERT_EQ(runTool(PLOT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--weight"}).status, 0);
    EXPECT_NE(readFile(dir / "Boundary_residuals.txt").find("\t0.748234\t"), std::string::npos);
    EXPECT_NE(readFile(dir / "PhaseDiagram.svg").find(">Weight percent of Sn<"), std::string::npos);
    EXPECT_EQ(runTool(PLOT_PATH, dir, {"--weight"}).status, 2);
}
