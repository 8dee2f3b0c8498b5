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
#include "database_energy.h"
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

