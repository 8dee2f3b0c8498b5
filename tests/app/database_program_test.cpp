// phasediagram with a database: its tables against the phases' potentials in mole fractions and a
// brute-force search of the third phase below each tangent, and bad databases as users write
// them refused with one line naming the file, the line and the reason, nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "formats/tdb_system.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string LEAD_TIN = (fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb").string();
const std::string EARLIER = "an earlier run's output\n";

struct Row {
    double T;
    double x[3];
};

std::vector<Row> readRows(const fs::path& path, int columns)
{
    std::istringstream in(readFile(path));
    std::string line;
    std::getline(in, line);  // the title
    std::vector<Row> rows;
    Row row{};
    while (in >> row.T) {
        for (int k = 0; k < columns; ++k) in >> row.x[k];
        rows.push_back(row);
    }
    return rows;
}

// G of a phase at x and T, and its slope in x, from the database.
void energy(const LoadedTdb& loaded, int phase, double x, double T, double& G, double& slope)
{
    ErrorText error{};
    ASSERT_TRUE(tdbGibbsEnergy(loaded.database, loaded.system.phases[phase], x, T, G, slope, error)) << error.text;
}

// The least height of a phase above the tangent through (x0, G0) with slope `slope`, over x from
// 1e-5 to 1 - 1e-5 in steps of 1e-5 (J/mol), its G from the database's terms at T.
double lowestAbove(const LoadedTdb& loaded, int phase, double T, double x0, double G0, double slope)
{
    PhaseCurve curve;
    ErrorText error{};
    EXPECT_TRUE(tdbPhaseCurve(loaded.database, loaded.system.phases[phase], T, curve, error)) << error.text;
    double lowest = INFINITY;
    for (int k = 1; k < 100000; ++k) {
        const double x = k * 1e-5;
        double G = 0;
        double s = 0;
        curveGibbsEnergy(curve, x, T, G, s);
        lowest = std::fmin(lowest, G - (G0 + slope * (x - x0)));
    }
    return lowest;
}

// The rows of a residuals report, each its tab-separated fields, without the title and summary.
std::vector<std::vector<std::string>> residualRows(const fs::path& path)
{
    std::istringstream report(readFile(path));
    std::string line;
    std::getline(report, line);
    std::vector<std::vector<std::string>> rows;
    while (std::getline(report, line) && line[0] != '#') {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

}  // namespace

// Every row a stable tie-line: both elements' potentials equal, computed in mole fractions from
// G and dG/dx (the 10 printed decimals move them by far less than 1e-3 J/mol), and the third
// phase nowhere below the tangent on a grid of 1e-5 (at every tenth row; the grid's own error is
// below 1e-3 J/mol). The liquid's pairs run from the first kelvin above the eutectic up to the
// melting points, the solids' up to the eutectic.
TEST(DatabaseProgram, PhasediagramWritesTheStableBoundariesOfTheDatabase)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun run = runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "300", "700"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("phase diagram for Pb and Sn"), std::string::npos) << run.out;
    LoadedTdb loaded;
    ErrorText error{};
    ASSERT_TRUE(loadTdb(LEAD_TIN.c_str(), "", loaded, error)) << error.text;

    struct Table {
        const char* name;
        int phases[3];  // the pair's two phases, then the third
        int first;
        int last;
    };
    // Each field's table names its phases in increasing x.
    for (const Table& t : {Table{"_Data(FCC_A1-LIQUID).txt", {1, 0, 2}, 455, 600},
                           Table{"_Data(LIQUID-BCT_A5).txt", {0, 2, 1}, 455, 505},
                           Table{"_Data(FCC_A1-BCT_A5).txt", {1, 2, 0}, 300, 454}}) {
        const std::vector<Row> rows = readRows(dir / t.name, 2);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(t.last - t.first + 1)) << t.name;
        EXPECT_EQ(rows.front().T, t.first) << t.name;
        EXPECT_EQ(rows.back().T, t.last) << t.name;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            double G[2];
            double slope[2];
            for (int k = 0; k < 2; ++k) energy(loaded, t.phases[k], r.x[k], r.T, G[k], slope[k]);
            // A printed x moves a potential by up to R T 5e-11 / x (or / (1 - x)).
            const double dilute = std::fmin(std::fmin(r.x[0], 1 - r.x[0]), std::fmin(r.x[1], 1 - r.x[1]));
            const double tolerance = 2 * TDB_GAS_CONSTANT * r.T * 5e-11 / dilute + 1e-4;
            EXPECT_NEAR(G[0] - r.x[0] * slope[0], G[1] - r.x[1] * slope[1], tolerance) << t.name << " " << r.T;
            EXPECT_NEAR(G[0] + (1 - r.x[0]) * slope[0], G[1] + (1 - r.x[1]) * slope[1], tolerance) << t.name << " " << r.T;
            if (i % 10 == 0 || i + 1 == rows.size()) {
                EXPECT_GT(lowestAbove(loaded, t.phases[2], r.T, r.x[0], G[0], slope[0]), -1e-3) << t.name << " " << r.T;
            }
        }
    }
    // The eutectic: T, the liquid's x, then each solid named with its x, in increasing x.
    std::istringstream eutectic(readFile(dir / "_Data(Eutectic).txt"));
    std::string title;
    std::getline(eutectic, title);
    EXPECT_EQ(title, "T(K)\tx(SN) in the liquid\tfirst solid\tx(SN) in it\tsecond solid\tx(SN) in it");
    double T = 0;
    double x[3] = {};
    std::string solids[2];
    eutectic >> T >> x[0] >> solids[0] >> x[1] >> solids[1] >> x[2];
    EXPECT_NEAR(T, 454.5620, 5e-5);
    EXPECT_NEAR(x[0], 0.7373324, 5e-8);
    EXPECT_EQ(solids[0], "FCC_A1");
    EXPECT_NEAR(x[1], 0.2632148, 5e-8);
    EXPECT_EQ(solids[1], "BCT_A5");
    EXPECT_NEAR(x[2], 0.9755197, 5e-8);
    // The invariants' table: the eutectic, then the melting points from the top down.
    const std::string invariants = readFile(dir / "_Invariants.txt");
    EXPECT_EQ(invariants.rfind("kind\tT(K)\tphase\tx(SN)\tphase\tx(SN)\tphase\tx(SN)\neutectic\t454.56", 0), 0u) << invariants;
    EXPECT_NE(invariants.find("\nmelting\t600.6"), std::string::npos) << invariants;
    EXPECT_NE(invariants.find("\nmelting\t505.0"), std::string::npos) << invariants;
}

// A bad database, a phase named that it lacks, or temperatures outside its terms: status 1, one
// line "phasediagram: FILE: line N: reason", and the tables of an earlier run left as they were.
TEST(DatabaseProgram, ABadDatabaseStopsTheRunWithOneLineAndWritesNothing)
{
    const fs::path dir = makeScratchDir();
    const std::string lead = readFile(LEAD_TIN);
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = lead;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    const auto lineOf = [&](const std::string& text) {
        return 1 + static_cast<int>(std::count(lead.begin(), lead.begin() + static_cast<long>(lead.find(text)), '\n'));
    };
    const std::string tables[] = {"_Data(FCC_A1-LIQUID).txt", "_Data(LIQUID-BCT_A5).txt", "_Data(FCC_A1-BCT_A5).txt",
                                  "_Data(Eutectic).txt", "_Invariants.txt"};
    for (const std::string& name : tables) writeFile(dir / name, EARLIER);
    const std::string path = (dir / "bad.tdb").string();
    const std::string parameter = "PARAMETER G(LIQUID,PB,SN;1)";
    struct Case {
        std::string text;
        std::vector<const char*> arguments;
        std::string message;
    };
    const Case cases[] = {
        {edited("+GLIQSN#;  3000 N !", "+GLIQSM#;  3000 N !"), {"300", "700"},
         "line " + std::to_string(lineOf("PARAMETER G(LIQUID,SN;0)")) + ": G(LIQUID,SN;0) uses the function GLIQSM, which the "
                                                                          "database does not define"},
        {edited("+293.82;  5000 N !", "+293.82;  5000 N"), {"300", "700"},
         "line " + std::to_string(lineOf(parameter)) + ": PARAMETER: G(LIQUID,PB,SN;1): \"PHASE FCC_A1 % 1 1.0\" after the "
                                                       "final N: a statement without its closing \"!\"?"},
        {edited("-11.8066*T;  5000 N !", "-11.8066*T;  5000 N"), {"300", "700"},
         "line " + std::to_string(lineOf("PARAMETER G(BCT_A5,PB,SN;0)")) + ": a statement without its closing \"!\""},
        {edited("+293.82;", "+293.8.2;"), {"300", "700"},
         "line " + std::to_string(lineOf(parameter)) + ": PARAMETER: G(LIQUID,PB,SN;1): \"293.8.2\" is not a number"},
        {edited("PHASE FCC_A1 % ", "TYPE_DEF & GES A_P_D FCC_A1 DIS_PART FCC_A2 ! PHASE FCC_A1 %& "),
         {"300", "700"}, "line " + std::to_string(lineOf("PHASE FCC_A1")) + ": FCC_A1 has a disordered part, which is not modelled"},
        {lead, {"--phases", "LIQUID,FCC_A1,HCP_A3", "300", "700"}, "the database holds no phase HCP_A3"},
        {edited("CONSTITUENT FCC_A1 :PB,SN: !", "CONSTITUENT FCC_A1 :PB,ZN: !"), {"300", "700"},
         "line " + std::to_string(lineOf("PHASE FCC_A1")) + ": FCC_A1 has the constituent ZN, which the database declares "
                                                            "neither as an element nor as a species"},
        {edited("PARAMETER G(BCT_A5,PB,SN;0)", "PARAMETER G(BCT_A6,PB,SN;0)"), {"300", "700"},
         "line " + std::to_string(lineOf("PARAMETER G(BCT_A5,PB,SN;0)")) +
             ": G(BCT_A6,PB,SN;0) is a parameter of BCT_A6, a phase the database does not declare"},
        {edited(parameter, "PARAMETER G(LIQUID,SN,PB;1) 298.15 +1; 5000 N !\n" + parameter), {"300", "700"},
         "line " + std::to_string(lineOf(parameter) + 1) + ": G(LIQUID,PB,SN;1) is given twice (also line " +
             std::to_string(lineOf(parameter)) + ")"},
    };
    for (const Case& c : cases) {
        writeFile(path, c.text);
        std::vector<const char*> arguments = {"--tdb", path.c_str()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        ProgramRun run{};
        switch (arguments.size()) {
        case 4:
            run = runTool(PRODUCT_PATH, dir, {arguments[0], arguments[1], arguments[2], arguments[3]});
            break;
        default:
            run = runTool(PRODUCT_PATH, dir, {arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5]});
        }
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(run.err.rfind("phasediagram: " + path + ": ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err << " wants " << c.message;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        for (const std::string& name : tables) EXPECT_EQ(readFile(dir / name), EARLIER) << name;
    }
}

// Tables beyond the temperatures the database states its terms for are computed from each term's
// nearest range, as CALPHAD programs do, and a note names the term that bounds them; a term that
// becomes undefined within them (LN of a negative number) stops the run, naming it and where.
TEST(DatabaseProgram, NotesTermsTakenBeyondTheirRangesAndStopsWhereOneIsUndefined)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun low = runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "200", "3100"});
    ASSERT_EQ(low.status, 0) << low.err;
    EXPECT_NE(low.err.find("G(LIQUID,PB;0) holds from 298.15 K; below, at 200 K, its first range is taken"),
              std::string::npos) << low.err;
    EXPECT_NE(low.err.find("holds up to 3000 K; above, up to 3099 K, its last range is taken"), std::string::npos)
        << low.err;
    std::string lead = readFile(LEAD_TIN);
    const std::string interaction = "+5125+1.46424*T;  5000 N !";
    ASSERT_NE(lead.find(interaction), std::string::npos);
    lead.replace(lead.find(interaction), interaction.size(), "+5125+1.46424*T+LN(500-T);  5000 N !");
    const std::string path = (dir / "part.tdb").string();
    writeFile(path, lead);
    writeFile(dir / "_Invariants.txt", EARLIER);
    const ProgramRun run = runTool(PRODUCT_PATH, dir, {"--tdb", path.c_str(), "300", "700"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("part.tdb: line "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("takes LN of "), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(readFile(dir / "_Invariants.txt"), EARLIER);
}

// --phases belongs to --tdb, and the programs that fit the measured data take neither.
TEST(DatabaseProgram, TheDatabaseOptionsAreRefusedWhereTheyHaveNoMeaning)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun alone = runTool(PRODUCT_PATH, dir, {"--phases", "LIQUID,FCC_A1,BCT_A5", "300", "700"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.err.find("--phases names the phases of a database given with --tdb"), std::string::npos) << alone.err;
    EXPECT_EQ(runTool(PRODUCT_PATH, dir, {"--gas-constant", "8.3144", "300", "700"}).status, 2);
    EXPECT_EQ(runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--gas-constant", "0", "300", "700"}).status, 2);
    for (const char* program : {TDB_PATH, UNCERTAINTY_PATH}) {
        const ProgramRun run = runTool(program, dir, {"--tdb", LEAD_TIN.c_str()});
        EXPECT_EQ(run.status, 2) << program;
        EXPECT_NE(run.err.find("--tdb has no meaning here"), std::string::npos) << run.err;
    }
    EXPECT_EQ(runTool(PRODUCT_PATH, dir, {"--weight", "300", "700"}).status, 2);
    EXPECT_TRUE(fs::is_empty(dir));
    // A database with a function it never defines: the picture and the path stop before writing.
    std::string text = readFile(LEAD_TIN);
    text.replace(text.find("+GLIQSN#;  3000 N !"), 19, "+GLIQSM#;  3000 N !");
    const fs::path bad = dir.parent_path() / (dir.filename().string() + ".tdb");
    writeFile(bad, text);
    for (const bool plot : {true, false}) {
        const char* program = plot ? PLOT_PATH : SOLIDIFY_PATH;
        const ProgramRun run = plot ? runTool(program, dir, {"--tdb", bad.c_str()})
                                    : runTool(program, dir, {"--tdb", bad.c_str(), "0.3"});
        EXPECT_EQ(run.status, 1) << program;
        EXPECT_NE(run.err.find(bad.string() + ": line "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("uses the function GLIQSM, which the database does not define"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

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

    const std::vector<std::vector<std::string>> rows = residualRows(dir / "Boundary_residuals.txt");
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

// --element pb counts lead: the eutectic's compositions are one less the independent
// calculation's tin fractions, the columns headed x(PB); an element the database lacks is named.
TEST(DatabaseProgram, ElementChoosesWhatXCounts)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun run = runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--element", "pb", "450", "460"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("phase diagram for Sn and Pb"), std::string::npos) << run.out;
    std::istringstream eutectic(readFile(dir / "_Data(Eutectic).txt"));
    std::string title;
    std::getline(eutectic, title);
    EXPECT_EQ(title, "T(K)\tx(PB) in the liquid\tfirst solid\tx(PB) in it\tsecond solid\tx(PB) in it");
    double T = 0;
    double x[3] = {};
    std::string solids[2];
    eutectic >> T >> x[0] >> solids[0] >> x[1] >> solids[1] >> x[2];
    EXPECT_NEAR(T, 454.5620, 5e-5);
    EXPECT_NEAR(x[0], 1 - 0.7373324, 5e-8);
    EXPECT_EQ(solids[0], "BCT_A5");
    EXPECT_NEAR(x[1], 1 - 0.9755197, 5e-8);
    EXPECT_EQ(solids[1], "FCC_A1");
    EXPECT_NEAR(x[2], 1 - 0.2632148, 5e-8);
    // The rows run to T1 - 1: the liquid's fields from the first kelvin above the eutectic, their
    // phases named in increasing x(PB).
    for (const char* name : {"_Data(LIQUID-FCC_A1).txt", "_Data(BCT_A5-LIQUID).txt"}) {
        const std::vector<Row> rows = readRows(dir / name, 2);
        ASSERT_EQ(rows.size(), 5u) << name;
        EXPECT_EQ(rows.front().T, 455) << name;
        EXPECT_EQ(rows.back().T, 459) << name;
    }
    const ProgramRun other = runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--element", "Zn", "450", "460"});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find(": the database holds no element ZN: x can count PB or SN"), std::string::npos) << other.err;
}

// Databases declare FCC_A1 magnetic in every system; without TC or BMAGN parameters the magnetic
// term is zero, and such a declaration changes nothing: the same tables as without it.
TEST(DatabaseProgram, AMagneticDeclarationWithoutItsParametersChangesNothing)
{
    const fs::path plain = makeScratchDir();
    const fs::path declared = plain / "declared";
    fs::create_directory(declared);
    std::string text = readFile(LEAD_TIN);
    text.replace(text.find("PHASE FCC_A1 % "), 15, "TYPE_DEFINITION ) GES A_P_D FCC_A1 MAGNETIC -3.0 0.28 !\nPHASE FCC_A1 %) ");
    const fs::path database = plain.parent_path() / (plain.filename().string() + "-magnetic.tdb");
    writeFile(database, text);
    ASSERT_EQ(runTool(PRODUCT_PATH, plain, {"--tdb", LEAD_TIN.c_str(), "400", "620"}).status, 0);
    const ProgramRun run = runTool(PRODUCT_PATH, declared, {"--tdb", database.c_str(), "400", "620"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"_Data(FCC_A1-LIQUID).txt", "_Data(LIQUID-BCT_A5).txt", "_Data(FCC_A1-BCT_A5).txt",
                             "_Data(Eutectic).txt", "_Invariants.txt"})
        EXPECT_EQ(readFile(declared / name), readFile(plain / name)) << name;
}

// A database of four phases: every phase the two elements form is taken, and a fourth that is
// nowhere stable changes nothing; with --phases the diagram is that of the phases named, the
// others named in a note.
TEST(DatabaseProgram, PhasesLeftOutAreNamedAndChangeNothing)
{
    const fs::path dir = makeScratchDir();
    const fs::path plain = dir / "plain";
    const fs::path all = dir / "all";
    fs::create_directory(plain);
    fs::create_directory(all);
    const fs::path database = dir.parent_path() / (dir.filename().string() + "-four.tdb");
    writeFile(database, readFile(LEAD_TIN) + "PHASE HCP_A3 % 1 1.0 !\nCONSTITUENT HCP_A3 :PB,SN: !\n"
                                             "PARAMETER G(HCP_A3,PB;0) 298.15 +300+GHSERPB#; 5000 N !\n"
                                             "PARAMETER G(HCP_A3,SN;0) 298.15 +3900+GHSERSN#; 3000 N !\n"
                                             "PARAMETER G(HCP_A3,PB,SN;0) 298.15 +20000; 3000 N !\n");
    const ProgramRun every = runTool(PRODUCT_PATH, all, {"--tdb", database.c_str(), "440", "470"});
    ASSERT_EQ(every.status, 0) << every.err;
    const ProgramRun run =
        runTool(PRODUCT_PATH, dir, {"--tdb", database.c_str(), "--phases", "bct_a5,LIQUID,FCC_A1", "440", "470"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "phasediagram: note: " + database.string() +
                           ": HCP_A3 left out: the diagram is that of LIQUID, FCC_A1 and BCT_A5 alone\n");
    ASSERT_EQ(runTool(PRODUCT_PATH, plain, {"--tdb", LEAD_TIN.c_str(), "440", "470"}).status, 0);
    for (const char* name : {"_Data(FCC_A1-LIQUID).txt", "_Data(LIQUID-BCT_A5).txt", "_Data(FCC_A1-BCT_A5).txt",
                             "_Data(Eutectic).txt"}) {
        EXPECT_EQ(readFile(dir / name), readFile(plain / name)) << name;
        EXPECT_EQ(readFile(all / name), readFile(plain / name)) << name;
    }
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
    const std::vector<std::vector<std::string>> rows = residualRows(dir / "Boundary_residuals.txt");
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

// With --weight each field's table gives its compositions by weight too: at Sn-37Pb's own
// composition, x(Sn) = 0.748234, 63 % tin by weight, so the liquid's weight percent passes 63
// where its mole fraction passes 0.748234.
TEST(DatabaseProgram, TablesByWeightToo)
{
    const fs::path dir = makeScratchDir();
    const ProgramRun run = runTool(PRODUCT_PATH, dir, {"--tdb", LEAD_TIN.c_str(), "--weight", "455", "470"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream table(readFile(dir / "_Data(LIQUID-BCT_A5).txt"));
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line, "T(K)\tx(SN) in LIQUID\tx(SN) in BCT_A5\twt%(SN) in LIQUID\twt%(SN) in BCT_A5");
    int passed = 0;
    double previous[2] = {NAN, NAN};
    while (std::getline(table, line)) {
        double T = 0;
        double x[2];
        double w[2];
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf", &T, &x[0], &x[1], &w[0], &w[1]), 5) << line;
        if (std::isfinite(previous[0]) && (previous[0] - 0.748234) * (x[0] - 0.748234) < 0) {
            EXPECT_LT((previous[1] - 63) * (w[0] - 63), 0) << T;
            ++passed;
        }
        previous[0] = x[0];
        previous[1] = w[0];
    }
    EXPECT_EQ(passed, 1);
}

