// phasediagram-assess run as a user runs it: the assessed model it writes as a database gives,
// through phasediagram --tdb, the eutectic its report states; data that cannot fix a coefficient
// and bad options stop it with one line and nothing written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

fs::path exampleWithPoints()
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    return dir;
}

// The number after `label` in `text`.
double after(const std::string& text, const std::string& label)
{
    const std::size_t at = text.find(label);
    EXPECT_NE(at, std::string::npos) << label;
    return at == std::string::npos ? NAN : std::stod(text.substr(at + label.size()));
}

}  // namespace

// The assessed model read back as a database with the model's gas constant, x counting Ks: the
// eutectic of phasediagram --tdb is the report's to its four printed decimals, and the report's
// chi-square falls.
TEST(AssessProgram, TheAssessedDatabaseGivesTheReportedEutectic)
{
    const fs::path dir = exampleWithPoints();
    const ProgramRun run = runTool(ASSESS_PATH, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string report = readFile(dir / "Assessment.txt");
    EXPECT_LT(after(report, "before, "), after(report, "# chi-square: "));
    const double reported = after(report, "\nafter\t");
    const fs::path tables = dir / "tables";
    fs::create_directory(tables);
    const std::string database = (dir / "Assessed.tdb").string();
    const ProgramRun back = runTool(PRODUCT_PATH, tables, {"--tdb", database.c_str(), "--element", "ks", "--gas-constant", "8.3144", "800", "801"});
    ASSERT_EQ(back.status, 0) << back.err;
    std::istringstream eutectic(readFile(tables / "_Data(Eutectic).txt"));
    std::string title;
    std::getline(eutectic, title);
    double T = 0;
    eutectic >> T;
    EXPECT_NEAR(T, reported, 5.1e-5);
}

// Bad scatter options are usage errors; a point of a pair that does not coexist at its place
// pulls by its driving force and says so; data that cannot fix the fit (an activity file of one
// composition) stop the run with one line, the earlier outputs left as they were.
TEST(AssessProgram, RefusesWhatItCannotAssessAndWritesNothing)
{
    const fs::path dir = exampleWithPoints();
    writeFile(dir / "Assessment.txt", "an earlier run's output\n");
    // Each bad scatter named by its option, whether its value is a word of its own or not.
    const std::pair<std::vector<const char*>, const char*> badOptions[] = {
        {{"--arrest-sd", "-1"}, "--arrest-sd takes a standard deviation above 0, not \"-1\""},
        {{"--arrest-sd=0"}, "--arrest-sd takes a standard deviation above 0, not \"0\""},
        {{"--eutectic-sd", "-2"}, "--eutectic-sd takes"},
        {{"--enthalpy-sd", "nan"}, "--enthalpy-sd takes"},
        {{"--activity-sd", "-0.1"}, "--activity-sd takes"},
        {{"--composition-sd", "-1"}, "--composition-sd takes"},
        {{"--composition-sd", "2"}, "--composition-sd takes a mole fraction above 0 and at most 0.5, not \"2\""},
    };
    for (const auto& [arguments, message] : badOptions) {
        const ProgramRun run = runTool(ASSESS_PATH, dir, arguments);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.err.rfind(std::string("phasediagram-assess: ") + message, 0), 0u) << run.err;
    }
    EXPECT_EQ(runTool(ASSESS_PATH, dir, {"--composition-sd", "0.5"}).status, 0);
    EXPECT_EQ(runTool(ASSESS_PATH, dir, {"--tdb", "x.tdb"}).status, 2);
    writeFile(dir / "Boundaries.txt", "824 - eutectic\n825 - eutectic\n");  // points of one kind only
    EXPECT_EQ(runTool(ASSESS_PATH, dir).status, 0);
    writeFile(dir / "Boundaries.txt", "1000 0.3 Liquid/BCC BCC\n");  // a pair that never coexists there
    const ProgramRun far = runTool(ASSESS_PATH, dir);
    EXPECT_EQ(far.status, 0) << far.err;
    EXPECT_NE(readFile(dir / "Assessment.txt").find("no boundary: driving force"), std::string::npos);
    writeFile(dir / "Assessment.txt", "an earlier run's output\n");
    writeFile(dir / "Assessed.tdb", "an earlier run's output\n");
    writeFile(dir / "Li(a).txt", "0.3 0.2\n0.3 0.2\n0.3 0.2\n");
    const ProgramRun refused = runTool(ASSESS_PATH, dir);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_EQ(readFile(dir / "Assessment.txt"), "an earlier run's output\n");
    EXPECT_EQ(readFile(dir / "Assessed.tdb"), "an earlier run's output\n");
    EXPECT_EQ(refused.err.rfind("phasediagram-assess: Liquid: ", 0), 0u) << refused.err;
}

// The assessed model goes on: phasediagram-plot with Assessed.tdb (x counting Ks, the built-in gas
// constant) holds the example's boundary points against it, named as for the built-in model, and
// finds each residual the assessment reports after its fit.
TEST(AssessProgram, ThePictureOfTheAssessedDatabaseHasTheReportedResiduals)
{
    const fs::path dir = exampleWithPoints();
    ASSERT_EQ(runTool(ASSESS_PATH, dir).status, 0);
    const std::string database = (dir / "Assessed.tdb").string();
    const ProgramRun plot =
        runTool(PLOT_PATH, dir, {"--tdb", database.c_str(), "--element", "ks", "--gas-constant", "8.3144"});
    ASSERT_EQ(plot.status, 0) << plot.err;
    const auto reported = numberedRows(readFile(dir / "Assessment.txt"));
    const auto held = numberedRows(readFile(dir / "Boundary_residuals.txt"));
    ASSERT_EQ(reported.size(), held.size());
    ASSERT_GE(reported.size(), 20u);
    for (std::size_t i = 0; i < reported.size(); ++i) {
        ASSERT_EQ(reported[i][0], held[i][0]);
        const std::string& kind = reported[i][5];
        const std::string& after = reported[i][9];
        if (after == "-") continue;
        // Line T x Pair Phase | x computed, dx, T computed, dT
        const double expected = std::stod(after);
        if (kind == "composition")
            EXPECT_NEAR(std::stod(held[i][6]), expected, 2e-6) << "line " << reported[i][0];
        else
            EXPECT_NEAR(std::stod(held[i][8]), expected, 2e-4) << "line " << reported[i][0];
    }
}
