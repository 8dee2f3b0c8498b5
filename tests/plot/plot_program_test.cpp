// phasediagram-plot run as a user runs it, after phasediagram: well-formed pictures that a real
// renderer draws at their size, and a clear stop on a missing table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "equilibrium/boundary_temperature.h"
#include "equilibrium/stable_solves.h"
#include "model/fitting.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

int lineCount(const std::string& text)
{
    int lines = 0;
    for (const char c : text) lines += c == '\n';
    return lines;
}

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " > /dev/null 2>&1").c_str()) == 0; }

// Width and height from a PNG's header.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& png)
{
    auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(png[at])) << 24 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(png[at + 1])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(png[at + 2])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(png[at + 3]));
    };
    return png.size() < 24 ? std::pair<std::uint32_t, std::uint32_t>{0, 0} : std::pair{word(16), word(20)};
}

TEST(PlotProgram, DrawsTheExampleAsSelfContainedSvg)
{
    const fs::path dir = plottedExample();
    const std::string diagram = readFile(dir / "PhaseDiagram.svg");
    EXPECT_NE(diagram.find("Mole fraction of Ks"), std::string::npos);
    EXPECT_NE(diagram.find("Temperature (K)"), std::string::npos);
    EXPECT_NE(diagram.find("Eutectic 823.66 K"), std::string::npos);
    for (const char* field : {">Liquid<", ">FCC<", ">BCC<", ">Liquid + FCC<", ">Liquid + BCC<", ">BCC + FCC<"})
        EXPECT_NE(diagram.find(field), std::string::npos) << field;
    for (const std::string& svg : {diagram, readFile(dir / "Regression.svg")}) {
        EXPECT_EQ(svg.find("<script"), std::string::npos);
        EXPECT_EQ(svg.find("href"), std::string::npos);
        EXPECT_EQ(svg.find("@font-face"), std::string::npos);
    }
}

TEST(PlotProgram, WritesWellFormedXml)
{
    if (!have("xmllint")) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
    const fs::path dir = plottedExample();
    for (const char* name : {"PhaseDiagram.svg", "Regression.svg"})
        EXPECT_EQ(std::system(("xmllint --noout '" + (dir / name).string() + "'").c_str()), 0) << name;
}

TEST(PlotProgram, RendersAtItsSize)
{
    if (!have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert is not installed (Debian: librsvg2-bin)";
    const fs::path dir = plottedExample();
    const std::pair<const char*, std::pair<std::uint32_t, std::uint32_t>> pictures[] = {
        {"PhaseDiagram", {960, 740}}, {"Regression", {960, 860}}};
    for (const auto& [name, size] : pictures) {
        const fs::path svg = dir / (std::string(name) + ".svg");
        const fs::path png = dir / (std::string(name) + ".png");
        ASSERT_EQ(std::system(("rsvg-convert '" + svg.string() + "' -o '" + png.string() + "'").c_str()), 0);
        EXPECT_EQ(pngSize(readFile(png)), size) << name;
    }
}

// Any binary system of a database: silver-copper's picture names its gap's two sides, its
// eutectic with the temperature the independent calculation gives, and both melting points;
// well-formed where xmllint is at hand.
TEST(PlotProgram, DrawsTheWholeDiagramOfAnyBinarySystem)
{
    const fs::path database = fs::path(PUBLISHED_DATABASES) / "AgCu.tdb";
    if (!fs::exists(database)) GTEST_SKIP() << database.string() << " is not there";
    const fs::path dir = makeScratchDir();
    const ProgramRun run = runTool(PLOT_PATH, dir, {"--tdb", database.c_str()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string svg = readFile(dir / "PhaseDiagram.svg");
    for (const char* text : {"Mole fraction of Cu", "Temperature (\u00b0C)", ">eutectic 1056.12 K<", ">melting 1235.08 K<",
                             ">melting 1358.02 K<", ">FCC_A1#1 + FCC_A1#2<", ">LIQUID<"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    if (have("xmllint")) {
        EXPECT_EQ(std::system(("xmllint --noout '" + (dir / "PhaseDiagram.svg").string() + "'").c_str()), 0);
    }
    // Its Gibbs energies at 900 K: both phases named, and the one stable tangent across the gap.
    const ProgramRun gibbs = runTool(PLOT_PATH, dir, {"--tdb", database.c_str(), "--gibbs", "900"});
    ASSERT_EQ(gibbs.status, 0) << gibbs.err;
    const std::string curves = readFile(dir / "GibbsEnergy.svg");
    for (const char* text : {">LIQUID<", ">FCC_A1<", "Gibbs energies at 900.00 K"})
        EXPECT_NE(curves.find(text), std::string::npos) << text;
    std::size_t dashed = 0;
    for (std::size_t at = curves.find("stroke-dasharray=\"6 4\""); at != std::string::npos;
         at = curves.find("stroke-dasharray=\"6 4\"", at + 1))
        ++dashed;
    EXPECT_EQ(dashed, 1u);
}

TEST(PlotProgram, StopsOnAMissingOrBrokenTable)
{
    const fs::path dir = plottedExample();
    fs::remove(dir / "_Data(Li-BCC).txt");
    const ProgramRun missing = runTool(PLOT_PATH, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "phasediagram-plot: _Data(Li-BCC).txt: no such file: run phasediagram here first, which "
                           "writes the tables\n");
    const ProgramRun hot = runTool(PLOT_PATH, dir, {"--gibbs", "1e9"});
    EXPECT_EQ(hot.status, 2);
    EXPECT_NE(hot.err.find("below 10000000"), std::string::npos) << hot.err;

    EXPECT_EQ(runTool(PLOT_PATH, dir, {"--range", "700", "700"}).status, 2);  // an empty range
    writeFile(dir / "_Data(Li-BCC).txt", "Temp\tXb(Liquid) \tXb(BCC)\t      Iteration\t\tValidity\t\n500\tabc\n");
    const ProgramRun broken = runTool(PLOT_PATH, dir);
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, "phasediagram-plot: _Data(Li-BCC).txt: line 2 is not a row of a phase-boundary table\n");
}

// After the data change, the bands of the old data are not drawn and the old tables are named.
TEST(PlotProgram, DrawsNothingStaleAndSaysWhatItLeftOut)
{
    const fs::path dir = plottedExample();
    ASSERT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates", "50", "--range", "700", "900"}).status, 0);
    const ProgramRun fresh = runTool(PLOT_PATH, dir, {"--range", "600", "1000"});
    EXPECT_EQ(fresh.status, 0);
    EXPECT_EQ(fresh.err.find("band files"), std::string::npos) << fresh.err;
    EXPECT_NE(readFile(dir / "PhaseDiagram.svg").find("<polygon"), std::string::npos);
    // The measured points from 700 to 890 K and the eutectic arrests are held against the bands.
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    ASSERT_EQ(runTool(PLOT_PATH, dir).status, 0);
    EXPECT_NE(readFile(dir / "Boundary_residuals.txt").find("# held against the 95 % bands: 6, "), std::string::npos)
        << readFile(dir / "Boundary_residuals.txt");
    fs::remove(dir / "Boundaries.txt");

    std::string data = readFile(dir / "Li(Hm).txt");
    data.replace(data.find("-2"), 2, "-3");  // one enthalpy of mixing changed
    writeFile(dir / "Li(Hm).txt", data);
    const ProgramRun stale = runTool(PLOT_PATH, dir);
    EXPECT_EQ(stale.status, 0);
    EXPECT_NE(stale.err.find("The band files were not computed from the data here"), std::string::npos) << stale.err;
    EXPECT_NE(stale.err.find("Valid rows of _Data(Li-FCC).txt do not solve the model of the data here"),
              std::string::npos);
    const std::string picture = readFile(dir / "PhaseDiagram.svg");
    EXPECT_EQ(picture.find("<polygon"), std::string::npos);
    EXPECT_EQ(picture.find("95 %:"), std::string::npos);
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    ASSERT_EQ(runTool(PLOT_PATH, dir).status, 0);
    EXPECT_NE(readFile(dir / "Boundary_residuals.txt").find("# held against the 95 % bands: 0, "), std::string::npos);
}

// The model the programs fit to the example's data.
void exampleModel(PhaseParameters (&model)[3])
{
    MeasuredData data{};
    ASSERT_TRUE(readExampleData(data));
    PhaseFit fits[3];
    fitModel(data, model[LIQUID], model[BCC], model[FCC], fits);
}

// The example's measured points: drawn over the diagram, and each row of the report what the
// tie-line and the boundary temperature solved in mole fractions give for that point.
TEST(PlotProgram, HoldsMeasuredBoundaryPointsAgainstTheDiagram)
{
    const fs::path dir = plottedExample();
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    const ProgramRun run = runTool(PLOT_PATH, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("25 measured points: temperature residuals rms"), std::string::npos) << run.out;
    EXPECT_NE(readFile(dir / "PhaseDiagram.svg").find("liquid measured (liquidus)"), std::string::npos);
    const std::string report = readFile(dir / "Boundary_residuals.txt");
    EXPECT_EQ(lineCount(report), 1 + 25 + 4);
    EXPECT_NE(report.find("# temperature residuals: 25, "), std::string::npos) << report;
    EXPECT_NE(report.find("# composition residuals: 23, "), std::string::npos) << report;

    PhaseParameters model[3];
    exampleModel(model);
    GibbsCurves curves;
    int checked = 0;
    std::istringstream rows(report.substr(report.find('\n') + 1));
    for (std::string line; std::getline(rows, line) && line[0] != '#';) {
        std::istringstream fields(line);
        std::string number, T, x, pairText, phaseText, xComputed, dx, TComputed, dT;
        std::getline(fields, number, '\t');
        for (std::string* f : {&T, &x, &pairText, &phaseText, &xComputed, &dx, &TComputed, &dT}) std::getline(fields, *f, '\t');
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), "ok") << line;
        if (pairText == "eutectic") continue;
        const PhasePair pair = pairText == "Liquid/FCC" ? LIQUID_FCC : pairText == "Liquid/BCC" ? LIQUID_BCC : BCC_FCC;
        const int side = phaseText == phaseName(firstPhase(pair)) ? 0 : 1;
        Vector4 at{};
        ASSERT_TRUE(solveStableTieLine(model, pair, std::stod(T), nullptr, at, curves)) << line;
        EXPECT_NEAR(std::stod(xComputed), at[side], 1e-6) << line;
        EXPECT_NEAR(std::stod(dx), std::stod(x) - at[side], 1e-6) << line;
        Vector4 reached{};
        ASSERT_LT(solveBoundaryTemperature(model, pair, side, std::stod(x), {std::stod(T), at[1 - side], 0, 0}, reached), 100)
            << line;
        EXPECT_NEAR(std::stod(TComputed), reached[0], 1e-3) << line;
        EXPECT_NEAR(std::stod(dT), std::stod(T) - reached[0], 1e-3) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 22);
}

// Every file the five programs write, were they run in the example's folder, is one that git
// leaves out; the data files and Boundaries.txt are not.
TEST(AllPrograms, WriteNothingThatGitWouldTakeForSource)
{
    const fs::path source = fs::path(EXAMPLE_DATA_DIR).parent_path().parent_path();
    if (!fs::exists(source / ".git") || !have("git")) GTEST_SKIP() << "not a git work tree, or git is not installed";
    const fs::path dir = plottedExample();
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    ASSERT_EQ(runTool(UNCERTAINTY_PATH, dir, {"--replicates", "20", "--range", "700", "710"}).status, 0);
    ASSERT_EQ(runTool(PLOT_PATH, dir, {"--gibbs", "700"}).status, 0);
    ASSERT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.3", "--replicates", "20", "--step", "5"}).status, 0);
    ASSERT_EQ(runTool(TDB_PATH, dir).status, 0);
    ASSERT_EQ(runTool(ASSESS_PATH, dir).status, 0);
    int outputs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        const bool input = fs::exists(fs::path(EXAMPLE_DATA_DIR) / name);
        const std::string command = "git -C '" + source.string() + "' check-ignore -q --no-index 'examples/ks-ps/" + name + "'";
        EXPECT_EQ(std::system(command.c_str()) == 0, !input) << name;
        outputs += !input;
    }
    EXPECT_GE(outputs, 18);
}

// A Boundaries.txt with comments only: said so, no residuals, and no report with nan in it.
TEST(PlotProgram, AFileWithoutMeasuredPointsGivesNoResiduals)
{
    const fs::path dir = plottedExample();
    fs::copy_file(fs::path(EXAMPLE_DATA_DIR) / "Boundaries.txt", dir / "Boundaries.txt");
    ASSERT_EQ(runTool(PLOT_PATH, dir).status, 0);
    ASSERT_TRUE(fs::exists(dir / "Boundary_residuals.txt"));
    writeFile(dir / "Boundaries.txt", "# T x pair phase\n\n");
    const ProgramRun run = runTool(PLOT_PATH, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("Boundaries.txt holds no measured points"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(dir / "Boundary_residuals.txt"));
}

}  // namespace
