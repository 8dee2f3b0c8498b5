// Entry point of phasediagram-assess: the twelve coefficients fitted at once to the six data
// files and the measured boundary points of Boundaries.txt, reported in Assessment.txt and
// written as a database, Assessed.tdb, that the other programs take with --tdb.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "assessment/assessment_report.h"
#include "formats/data_files.h"
#include "formats/output_file.h"
#include "formats/tdb_export.h"
#include "assessment/assessed_picture.h"

namespace {

constexpr const char* PROGRAM = "phasediagram-assess";

constexpr const char* HELP =
    "Usage: phasediagram-assess [options]\n"
    "Assesses the model: fits the twelve coefficients of Liquid, BCC and FCC at once to the six data\n"
    "files (enthalpies in J/mol, activities in ln a, each file with its scatter as\n"
    "phasediagram-uncertainty estimates it) and to the phase-boundary points of Boundaries.txt (an\n"
    "arrest of a pair with the liquid by its temperature, a point of BCC/FCC by its composition, a\n"
    "eutectic arrest by its temperature), by weighted least squares with Levenberg-Marquardt from\n"
    "the straight-line fits. Writes Assessment.txt (coefficients before and after, standard errors,\n"
    "correlations, every group's and every point's residuals, the eutectic with its 95 % interval,\n"
    "chi-square against its degrees of freedom with its probability; where that is below 0.001,\n"
    "intervals widened by sqrt(chi-square / degrees of freedom); points over 4 sd off refitted\n"
    "without, the probable slip named)\n"
    "and Assessed.tdb, the assessed model as a database for phasediagram --tdb and CALPHAD programs,\n"
    "and AssessedDiagram.svg: the assessed diagram over the measured points, the straight-line fits'\n"
    "diagram beneath it in grey.\n"
    "Without Boundaries.txt the result is the weighted fit of the data.\n"
    "\n"
    "  --arrest-sd K        scatter of a liquidus or solidus arrest (default 5 K)\n"
    "  --composition-sd X   scatter of a measured composition, at most 0.5 (default 0.01)\n"
    "  --eutectic-sd K      scatter of a eutectic arrest (default 2 K)\n"
    "  --enthalpy-sd S      scatter of every enthalpy file in J/mol (default: estimated per file)\n"
    "  --activity-sd S      scatter of every activity file in ln a (default: estimated per file)\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          no notes on standard error\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "Exit status: 0 done, 1 a data or file error (or data that cannot fix a coefficient), 2 a usage\n"
    "error.\n";

enum Option { ARREST_SD = 5000, COMPOSITION_SD, EUTECTIC_SD, ENTHALPY_SD, ACTIVITY_SD };

int stop(const ErrorText& error)
{
    discardOutputs();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, error.text);
    return EXIT_DATA_ERROR;
}

bool positive(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CommonOptions common;
    BoundaryScatter scatter;
    GivenScatter given;
    std::vector<option> options(std::begin(COMMON_LONG_OPTIONS), std::end(COMMON_LONG_OPTIONS));
    options.insert(options.end(), {{"arrest-sd", required_argument, nullptr, ARREST_SD},
                                   {"composition-sd", required_argument, nullptr, COMPOSITION_SD},
                                   {"eutectic-sd", required_argument, nullptr, EUTECTIC_SD},
                                   {"enthalpy-sd", required_argument, nullptr, ENTHALPY_SD},
                                   {"activity-sd", required_argument, nullptr, ACTIVITY_SD},
                                   {nullptr, 0, nullptr, 0}});
    opterr = 0;
    int index = 0;
    for (int code; (code = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, options.data(), &index)) != -1;) {
        double value = 0;
        if (code >= ARREST_SD && code <= ACTIVITY_SD) {
            // Named from the table: the word before optarg is the value itself in "--arrest-sd -1".
            const std::string name = std::string("--") + options[index].name;
            if (!positive(optarg, value))
                return usageError(PROGRAM, name + " takes a standard deviation above 0, not \"" + optarg + "\"");
            // A scatter of half the composition range says nothing of where a boundary lies.
            if (code == COMPOSITION_SD && !(value <= 0.5))
                return usageError(PROGRAM, name + " takes a mole fraction above 0 and at most 0.5, not \"" + optarg + "\"");
            if (code == ARREST_SD) scatter.arrest = value;
            if (code == COMPOSITION_SD) scatter.composition = value;
            if (code == EUTECTIC_SD) scatter.eutectic = value;
            for (auto& phase : given.sd) {
                if (code == ENTHALPY_SD) phase[ENTHALPY_FIT] = value;
                if (code == ACTIVITY_SD) phase[ACTIVITY_FIT] = value;
            }
            continue;
        }
        const int status = handleCommonOption(code, PROGRAM, HELP, argv[optind - 1], common);
        if (status >= 0) return status;
    }
    if (const int status = refuseDatabase(PROGRAM, common); status >= 0) return status;
    if (optind < argc) return usageError(PROGRAM, std::string(argv[optind]) + ": this program takes no operands");
    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    ErrorText error{};
    MeasuredData data;
    FitSamples samples;
    if (!readMeasuredData(data, error) || !prepareFits(data, given, samples, error)) return stop(error);
    std::vector<BoundaryPoint> points;
    bool present = false;
    if (!readBoundaryPoints(BOUNDARY_POINTS_FILE, points, present, error)) return stop(error);
    if (points.empty() && !common.quiet)
        std::fprintf(stderr, "%s: note: %s: no boundary points: the assessment is the weighted fit of the data\n", PROGRAM,
                     BOUNDARY_POINTS_FILE);
    Assessment assessment;
    if (!assessModel(samples, points, scatter, assessment, error)) return stop(error);
    const GoodnessOfFit goodness = judgeFit(samples, points, scatter, assessment);
    const std::string report = formatAssessment(assessment, goodness, samples, points, scatter);
    TextBuffer database;
    database.length = 0;
    formatDatabase(assessment.after.model, database);
    const std::string picture = drawAssessment(assessment, points);
    if (!writeWholeFile(ASSESSMENT_FILE, report.data(), report.size(), error) ||
        !writeWholeFile(ASSESSED_DATABASE_FILE, database.data, database.length, error) ||
        !writeWholeFile(ASSESSED_DIAGRAM_FILE, picture.data(), picture.size(), error) || !commitOutputs(error))
        return stop(error);
    std::printf("Assessed in %d iterations: chi-square %.2f before, %.2f after, %zu boundary points\n",
                assessment.iterations, assessment.before.chiSquare, assessment.after.chiSquare, points.size());
    std::fputs(goodnessLine(goodness).c_str(), stdout);
    // Warnings whatever --quiet says: they are about the result, not the run.
    const std::string warning = fitWarning(goodness, points);
    for (std::size_t at = 0; at < warning.size();) {
        const std::size_t end = warning.find('\n', at);
        std::fprintf(stderr, "%s: %s\n", PROGRAM, warning.substr(at, end - at).c_str());
        at = end + 1;
    }
    if (assessment.after.haveEutectic) {
        double low = 0;
        double high = 0;
        if (eutecticInterval(assessment, low, high))
            std::printf("Eutectic %.2f K (95 %%: %.2f to %.2f K), before %.2f K\n", assessment.after.eutectic[0], low,
                        high, assessment.before.eutectic[0]);
    }
    std::printf("The assessment is written in the files : %s, %s, %s\n", ASSESSMENT_FILE, ASSESSED_DATABASE_FILE,
                ASSESSED_DIAGRAM_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}
