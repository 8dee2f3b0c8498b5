// The program run as a user runs it, in a scratch folder with the clock frozen: its outputs byte
// for byte, and every kind of bad input or failing output ending with one clear line, status 1,
// and the files of an earlier run left as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const OUTPUTS[] = {"Reg_result.txt", "_Data(Li-FCC).txt", "_Data(Li-BCC).txt", "_Data(BCC-FCC).txt",
                               "_Data(Eutectic).txt"};
const char* const TABLES[] = {"_Data(Li-FCC).txt", "_Data(Li-BCC).txt", "_Data(BCC-FCC).txt", "_Data(Eutectic).txt"};
const std::string EARLIER = "an earlier run's output\n";

fs::path exampleDir()
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    for (const char* name : OUTPUTS) writeFile(dir / name, EARLIER);
    return dir;
}

int lineCount(const std::string& text)
{
    int lines = 0;
    for (const char c : text) lines += c == '\n';
    return lines;
}

void expectUntouched(const fs::path& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names) EXPECT_EQ(readFile(dir / name), EARLIER) << name;
}

void expectNoScratchFiles(const fs::path& dir)
{
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
}

// A run that must stop before the prompts: status 1, one line naming the problem, no console
// text, and not one output file touched.
void expectRefusedData(const fs::path& dir, const std::string& message)
{
    const ProgramRun run = runProgram(dir, "500\n1600\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram: " + message + "\n");
    EXPECT_EQ(run.out, "");
    for (const char* name : OUTPUTS) EXPECT_EQ(readFile(dir / name), EARLIER) << name;
    expectNoScratchFiles(dir);
}

TEST(Program, ExampleRunWritesTheExpectedFilesByteForByte)
{
    const fs::path dir = exampleDir();
    const ProgramRun run = runProgram(dir, "500\n1600\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, readFile(fs::path(EXPECTED_DIR) / "console.txt"));
    for (const char* name : OUTPUTS)
        EXPECT_EQ(readFile(dir / name), readFile(fs::path(EXPECTED_DIR) / name)) << name;
    expectNoScratchFiles(dir);
}

// The program itself, with the system clock, frozen from outside by faketime (which replaces the
// C library's time for the process): the same bytes as the test build with its frozen clock.
// AddressSanitizer would refuse faketime's preloaded library ahead of its own, hence its option.
TEST(Program, TheProgramUnderAFrozenSystemClockWritesTheExpectedFiles)
{
    if (std::system("command -v faketime > /dev/null 2>&1") != 0) GTEST_SKIP() << "faketime is not installed (Debian: faketime)";
    const fs::path dir = exampleDir();
    const std::string command = "cd '" + dir.string() + "' && printf '500\\n1600\\n' | "
                                "ASAN_OPTIONS=verify_asan_link_order=0 TZ=UTC faketime -f '2026-01-01 00:00:00' '" PRODUCT_PATH
                                "' > console.out";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(dir / "console.out"), readFile(fs::path(EXPECTED_DIR) / "console.txt"));
    for (const char* name : OUTPUTS)
        EXPECT_EQ(readFile(dir / name), readFile(fs::path(EXPECTED_DIR) / name)) << name;
}

TEST(Program, AnEmptyRangeWritesTitleLinesAndStillTheEutectic)
{
    for (const char* input : {"900\n900\n", "1600 500"}) {
        const fs::path dir = exampleDir();
        const ProgramRun run = runProgram(dir, input);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, readFile(fs::path(EXPECTED_DIR) / "console.txt"));
        EXPECT_NE(run.err.find("there is no temperature to sweep"), std::string::npos) << run.err;
        EXPECT_EQ(readFile(dir / "_Data(Li-FCC).txt"), "Temp\tXb(Liquid) \tXb(FCC)\t      Iteration\t\tValidity\t\n");
        EXPECT_EQ(readFile(dir / "_Data(Li-BCC).txt"), "Temp\tXb(Liquid) \tXb(BCC)\t      Iteration\t\tValidity\t\n");
        EXPECT_EQ(readFile(dir / "_Data(BCC-FCC).txt"), "Temp\tXb(BCC) \tXb(FCC)\t      Iteration\t\tValidity\t\n");
        const std::string eutectic = readFile(dir / "_Data(Eutectic).txt");
        EXPECT_EQ(eutectic.rfind("Temp\t\tXb(L) \t\tXb(BCC) \t Xb(FCC) \tIteration\t\n", 0), 0u);
        EXPECT_EQ(lineCount(eutectic), 1);  // the row carries no line end
        EXPECT_EQ(eutectic.back(), '\t');
    }
}

TEST(Program, SweepsStopBeforeTheFinalTemperature)
{
    const fs::path dir = exampleDir();
    ASSERT_EQ(runProgram(dir, "  700\n\n703\n").status, 0);
    for (const char* name : {"_Data(Li-FCC).txt", "_Data(Li-BCC).txt", "_Data(BCC-FCC).txt"}) {
        const std::string table = readFile(dir / name);
        EXPECT_EQ(lineCount(table), 4) << name;
        EXPECT_NE(table.find("\n700\t"), std::string::npos);
        EXPECT_NE(table.find("\n702\t"), std::string::npos);
        EXPECT_EQ(table.find("\n703\t"), std::string::npos);
    }
}

TEST(Program, ReportsTheCoefficientsOfDataGeneratedFromTheModel)
{
    const fs::path dir = makeScratchDir();
    MeasuredData data{};
    generateData(GENERATED_MODEL, data);
    writeDataFiles(data, dir);
    writeFile(dir / "Reg_result.txt", std::string(2000, 'x'));  // replaced, not extended
    ASSERT_EQ(runProgram(dir, "800 801").status, 0);

    const std::string report = readFile(dir / "Reg_result.txt");
    EXPECT_EQ(report.find('x'), std::string::npos);
    EXPECT_EQ(report.rfind("\n--------------------------------------------------------------------"),
              report.size() - 69);
    const char* titles[] = {"[ Liquid ]\n", "[ BCC ]\n", "[ FCC ]\n"};
    for (int p = 0; p < 3; ++p) {
        const std::size_t at = report.find(titles[p]);
        ASSERT_NE(at, std::string::npos);
        double a0, b0, r0, a1, b1, r1;
        ASSERT_EQ(std::sscanf(report.c_str() + at + std::string(titles[p]).size(),
                              "a0 = %lf \t b0 = %lf \t r = %lf \na1 = %lf \t b1 = %lf \t r = %lf \n", &a0, &b0, &r0,
                              &a1, &b1, &r1),
                  6);
        const PhaseParameters& model = GENERATED_MODEL[p];
        EXPECT_NEAR(a0, model.a0, 1e-6) << p;
        EXPECT_NEAR(b0, model.b0, 1e-6) << p;
        EXPECT_NEAR(a1, model.a1, 1e-6) << p;
        EXPECT_NEAR(b1, model.b1, 1e-6) << p;
        EXPECT_EQ(r0, 1.0);
        EXPECT_EQ(r1, 1.0);
    }
}

TEST(Program, SurplusEnthalpyPairsAreIgnored)
{
    const fs::path dir = exampleDir();
    writeFile(dir / "Li(Hm).txt", readFile(dir / "Li(Hm).txt") + "0.95 -99999\n");
    const ProgramRun run = runProgram(dir, "500 501");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readFile(dir / "Reg_result.txt"), readFile(fs::path(EXPECTED_DIR) / "Reg_result.txt"));
}

TEST(Program, RefusesDataFilesThatCannotBeTakenAsTheyStand)
{
    fs::path dir = exampleDir();
    fs::remove(dir / "BCC(aPs).txt");
    expectRefusedData(dir, "BCC(aPs).txt: cannot open: No such file or directory");

    dir = exampleDir();
    writeFile(dir / "FCC(aKs).txt", "0.1 0.06\n0.2 0.1x3\n");
    expectRefusedData(dir, "FCC(aKs).txt: line 2: \"x3\" is not a number");

    dir = exampleDir();
    std::string many;
    for (int i = 0; i < 51; ++i) many += "0.5 -100\n";
    writeFile(dir / "Li(Hm).txt", many);
    expectRefusedData(dir, "Li(Hm).txt: line 51: more than 50 pairs; a data file holds at most 50");

    dir = exampleDir();
    writeFile(dir / "Li(a).txt", "0.1 2.7\n0.2");
    expectRefusedData(dir, "Li(a).txt: the file ends after the composition of pair 2, without its value");

    dir = exampleDir();
    writeFile(dir / "FCC(Hf).txt", "0.1 -997.24\n0.2 -1805.3\n");
    expectRefusedData(dir, "FCC(Hf).txt: 2 pairs, fewer than the 9 of FCC(aKs).txt; both files of a phase list "
                           "the same compositions");
}

TEST(Program, RefusesTemperaturesThatAreNotWholeNumbersOfKelvins)
{
    const std::pair<const char*, const char*> cases[] = {
        {"abc\n1600\n", "the initial temperature is not a whole number of kelvins: \"abc\""},
        {"12.5\n1600\n", "the final temperature is not a whole number of kelvins: \".5\""},
        {"500\n-\n", "the final temperature is not a whole number of kelvins: \"-\""},
        {"500\n2147483648\n", "the final temperature lies outside -2147483648 to 2147483647"},
        {"-99999999999999999999\n", "the initial temperature lies outside -2147483648 to 2147483647"},
        {"500\n", "the input ends before the final temperature"},
        {"", "the input ends before the initial temperature"},
        {"-3\n2\n", "the initial temperature is -3 K; temperatures must be at least 1 K"},
        {"500\n0\n", "the final temperature is 0 K; temperatures must be at least 1 K"},
    };
    for (const auto& [input, message] : cases) {
        const fs::path dir = exampleDir();
        const ProgramRun run = runProgram(dir, input);
        EXPECT_EQ(run.status, 1) << input;
        EXPECT_EQ(run.err, std::string("phasediagram: standard input: ") + message + "\n");
        for (const char* name : OUTPUTS) EXPECT_EQ(readFile(dir / name), EARLIER) << input << name;
        expectNoScratchFiles(dir);
    }
}

TEST(Program, ReadsTheFinalTemperatureUpToItsFirstOtherCharacter)
{
    const fs::path dir = exampleDir();
    const ProgramRun run = runProgram(dir, "700\n703.5e2\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "phasediagram: warning: standard input: the final temperature is read as 703; \".5e2\" after "
                       "it is ignored\n");
    EXPECT_EQ(lineCount(readFile(dir / "_Data(Li-FCC).txt")), 4);
}

TEST(Program, AReportThatCannotBeWrittenStopsBeforeThePrompts)
{
    const fs::path dir = exampleDir();
    fs::remove(dir / "Reg_result.txt");
    fs::create_directory(dir / "Reg_result.txt");
    const ProgramRun run = runProgram(dir, "500\n1600\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram: Reg_result.txt: cannot write: Is a directory\n");
    EXPECT_EQ(run.out, "");
    expectUntouched(dir, {"_Data(Li-FCC).txt", "_Data(Li-BCC).txt", "_Data(BCC-FCC).txt", "_Data(Eutectic).txt"});
    expectNoScratchFiles(dir);
}

TEST(Program, ATableThatCannotBeWrittenEndsTheRun)
{
    const fs::path dir = exampleDir();
    fs::remove(dir / "_Data(Li-BCC).txt");
    fs::create_directory(dir / "_Data(Li-BCC).txt");
    const ProgramRun run = runProgram(dir, "500\n1600\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram: _Data(Li-BCC).txt: cannot write: Is a directory\n");
    EXPECT_EQ(run.out.find("The calculated data"), std::string::npos);
    expectUntouched(dir, {"Reg_result.txt", "_Data(Li-FCC).txt", "_Data(BCC-FCC).txt", "_Data(Eutectic).txt"});
    expectNoScratchFiles(dir);
}

TEST(Program, AFullDiskLeavesTheEarlierTableInPlace)
{
    const fs::path dir = exampleDir();
    const ProgramRun run = runProgram(dir, "500\n1600\n", 8192);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "phasediagram: _Data(Li-FCC).txt: cannot write: File too large\n");
    expectUntouched(dir, {"Reg_result.txt", "_Data(Li-FCC).txt", "_Data(Li-BCC).txt", "_Data(BCC-FCC).txt",
                          "_Data(Eutectic).txt"});
    expectNoScratchFiles(dir);
}

TEST(Program, DegenerateDataRunsOnWithAWarningNamingThePhase)
{
    const fs::path dir = exampleDir();
    writeFile(dir / "FCC(aKs).txt", "0.1 0.062191\n1 0.13886\n0.3 0.2287\n");
    const ProgramRun run = runProgram(dir, "700 702");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("phasediagram: warning: FCC: the fit gives coefficients that are not finite"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("warning: FCC(Hf).txt: pair 2 has composition 0.2 where FCC(aKs).txt has 1"),
              std::string::npos)
        << run.err;
    const std::string report = readFile(dir / "Reg_result.txt");
    EXPECT_TRUE(report.find("nan") != std::string::npos || report.find("inf") != std::string::npos) << report;
}

// Data of a model whose eutectic solve, from the frozen clock's start values, first reaches a
// three-phase root at 199.20 K that FCC undercuts: the table must hold the stable eutectic.
TEST(Program, TheEutecticTableHoldsTheStableRootWhereAMetastableOneIsReachedFirst)
{
    const PhaseParameters model[3] = {
        {-14747.8, 2.2993, 4038.3, -1.6246},
        {15263.0, -1.4485, -4862.0, 2.4434},
        {15846.2, -2.4755, 5189.7, -2.0234},
    };
    MeasuredData data{};
    generateData(model, data);
    const fs::path dir = makeScratchDir();
    writeDataFiles(data, dir);
    ASSERT_EQ(runProgram(dir, "700\n701\n").status, 0);
    double T = 0;
    double x[3] = {};
    int count = 0;
    const std::string row = readFile(dir / "_Data(Eutectic).txt");
    ASSERT_EQ(std::sscanf(row.c_str() + row.find('\n'), "%lf %lf %lf %lf %d", &T, &x[0], &x[1], &x[2], &count), 5);
    EXPECT_NEAR(T, 761.302598, 2e-6);
    EXPECT_NEAR(x[0], 0.498845, 2e-6);
    EXPECT_LT(count, 100);
}

// The command line of the four programs: help, version, a bad option (status 2, one line naming
// it), and -C with the temperatures as arguments, which gives the bytes of the dialogue.
TEST(CommandLine, BehavesTheSameWayInAllFourPrograms)
{
    const fs::path dir = exampleDir();
    for (const char* program : {PROGRAM_PATH, PLOT_PATH, TDB_PATH, UNCERTAINTY_PATH}) {
        const ProgramRun help = runTool(program, dir, {"--help"});
        EXPECT_EQ(help.status, 0) << program;
        EXPECT_EQ(help.out.rfind("Usage: ", 0), 0u) << program;
        EXPECT_NE(help.out.find("Exit status"), std::string::npos) << program;
        const ProgramRun version = runTool(program, dir, {"--version"});
        EXPECT_EQ(version.status, 0);
        EXPECT_NE(version.out.find(" 1."), std::string::npos) << version.out;
        const ProgramRun bad = runTool(program, dir, {"--colour=red"});
        EXPECT_EQ(bad.status, 2) << program;
        EXPECT_NE(bad.err.find(": --colour=red: not an option (see --help)\n"), std::string::npos) << bad.err;
        EXPECT_EQ(runTool(program, dir, {"-C"}).status, 2) << program;
        EXPECT_EQ(runTool(program, dir, {"-C", "/nonexistent/folder"}).status, 1) << program;
        const ProgramRun empty = runTool(program, dir, {"--directory="});
        EXPECT_EQ(empty.status, 2) << program;
        EXPECT_NE(empty.err.find(": -C/--directory needs the name of a folder (see --help)\n"), std::string::npos) << empty.err;
    }
    for (const char* name : OUTPUTS) EXPECT_EQ(readFile(dir / name), EARLIER) << name;

    const fs::path other = dir / "elsewhere";
    fs::create_directory(other);
    const ProgramRun typed = runProgram(dir, "700\n703\n");
    const ProgramRun given = runTool(PROGRAM_PATH, other, {"-C", dir.c_str(), "700", "703"});
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.out, typed.out);
    EXPECT_TRUE(fs::is_empty(other));
    EXPECT_EQ(runTool(PROGRAM_PATH, dir, {"700"}).status, 2);
}

// The companions' notes go to standard error unless --quiet is given, before or after -C, which
// only says where to work: a file of four pairs makes phasediagram-uncertainty note that it
// has too few pairs for a linear estimate, and a Boundaries.txt without points makes
// phasediagram-plot note it.
TEST(CommandLine, QuietSilencesTheNotesWhereverItStandsAndTheDirectoryDoesNot)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const std::string activities = readFile(dir / "FCC(aKs).txt");
    std::size_t end = 0;
    for (int line = 0; line < 4; ++line) end = activities.find('\n', end) + 1;
    writeFile(dir / "FCC(aKs).txt", activities.substr(0, end));  // 4 pairs: 2 degrees of freedom
    writeFile(dir / "Boundaries.txt", "# T x pair phase\n");
    ASSERT_EQ(runTool(PROGRAM_PATH, dir, {"700", "710"}).status, 0);
    const fs::path other = dir / "elsewhere";
    fs::create_directory(other);
    const char* at = dir.c_str();
    const ProgramRun runs[2][3] = {
        {runTool(UNCERTAINTY_PATH, other, {"--replicates", "20", "--range", "700", "710", "-C", at}),
         runTool(UNCERTAINTY_PATH, other, {"--replicates", "20", "--range", "700", "710", "-C", at, "--quiet"}),
         runTool(UNCERTAINTY_PATH, other, {"--quiet", "--replicates", "20", "-C", at, "--range", "700", "710"})},
        {runTool(PLOT_PATH, other, {"-C", at}), runTool(PLOT_PATH, other, {"-C", at, "--quiet"}),
         runTool(PLOT_PATH, other, {"--quiet", "-C", at})},
    };
    for (const auto& [loud, quiet, quietFirst] : runs) {
        EXPECT_EQ(loud.status, 0) << loud.err;
        EXPECT_NE(loud.err.find(": note: "), std::string::npos) << loud.err;
        for (const ProgramRun& run : {quiet, quietFirst}) {
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(run.out, loud.out);
        }
    }
    EXPECT_TRUE(fs::is_empty(other));

    // phasediagram's notes too: an empty range is said, unless --quiet.
    EXPECT_NE(runTool(PROGRAM_PATH, dir, {"1600", "500"}).err.find("phasediagram: note: "), std::string::npos);
    const ProgramRun quiet = runTool(PROGRAM_PATH, dir, {"--quiet", "1600", "500"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST(Program, AnInterruptedRunLeavesNoScratchFileAndTheEarlierOutputs)
{
    const fs::path dir = exampleDir();
    const ProgramRun run = runInterrupted(PROGRAM_PATH, dir, {"1", "100000000"}, 300);
    EXPECT_EQ(run.status, 128 + SIGINT);
    expectNoScratchFiles(dir);
    for (const char* name : OUTPUTS) EXPECT_EQ(readFile(dir / name), EARLIER) << name;
}

}  // namespace
