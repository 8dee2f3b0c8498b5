// Entry point of phasediagram-plot: draws the phase diagram of the result tables in the current
// directory, and the fits of its measured data, as two SVG pictures.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/database_option.h"
#include "comparison/residuals.h"
#include "comparison/system_residuals.h"
#include "formats/band_files.h"
#include "formats/boundary_points.h"
#include "formats/data_files.h"
#include "formats/fingerprint.h"
#include "formats/output_file.h"
#include "formats/result_tables.h"
#include "formats/table_text.h"
#include "model/fitting.h"
#include "equilibrium/binary_diagram.h"
#include "plot/binary_gibbs.h"
#include "plot/binary_picture.h"
#include "plot/gibbs_curves.h"
#include "plot/model_diagram.h"
#include "plot/phase_diagram_svg.h"
#include "plot/regression_svg.h"

namespace {

constexpr const char* PROGRAM = "phasediagram-plot";

constexpr const char* HELP =
    "Usage: phasediagram-plot [options]\n"
    "Draws the phase diagram and the fits of the measured data as two SVG pictures. Where phasediagram\n"
    "ran, PhaseDiagram.svg from the tables _Data(Li-FCC).txt, _Data(Li-BCC).txt, _Data(BCC-FCC).txt and\n"
    "_Data(Eutectic).txt and the model fitted to the six data files: the boundaries, stable lines\n"
    "solid and metastable ones dashed, the phase fields, the stable eutectic, and the 95 % bands of\n"
    "phasediagram-uncertainty where its band files were computed from the same data; and\n"
    "Regression.svg, the six straight-line fits of the data.\n"
    "Stable boundaries that the tables lack are completed from the model, and a note says where.\n"
    "Where the folder holds Boundaries.txt, phase-boundary points measured directly (T, x, the pair\n"
    "and the phase, or T, x or - and eutectic), draws them over the diagram and writes how far each\n"
    "lies from it to Boundary_residuals.txt, with a summary on standard output.\n"
    "\n"
    "With --tdb FILE, draws the whole stable diagram of a binary system in a TDB database instead\n"
    "(no tables, no data files): every two-phase field, compounds, miscibility gaps, every invariant\n"
    "reaction with its kind and temperature, the congruent and critical points, each field named, the\n"
    "axis in K and in degrees Celsius; --gibbs T draws every phase's curve, a compound as a point,\n"
    "with the stable tangents. Where the folder holds Boundaries.txt, its points name any field of\n"
    "the system by its phases (T x LIQUID/FCC_A1 LIQUID; FCC_A1#1/FCC_A1#2 FCC_A1#2 across a gap), or\n"
    "an arrest by its reaction (T x-or-- peritectic, or eutectic LIQUID/FCC_A1/ALMG_BETA where there\n"
    "are several). Regression.svg is not drawn: nothing was fitted.\n"
    "\n"
    "  --range T0 T1        the temperature axis from T0 to T1 K (default: that of the tables, or\n"
    "                       for a database from 150 K below its eutectic to 30 K above its melting)\n"
    "  --celsius            a second temperature axis in degrees Celsius\n"
    "  --weight             with --tdb, the composition axis in weight percent of the second element\n"
    "                       (Boundaries.txt may then give compositions as weight percents, 37wt)\n"
    "      --tdb FILE       the model of the database FILE\n"
    DATABASE_OPTIONS_HELP
    "  --gibbs T            also draw GibbsEnergy.svg: the Gibbs energy curves of the three phases at\n"
    "                       T K with their common tangents, stable and metastable\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          no notes on standard error (the picture keeps them)\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "Exit status: 0 done, 1 a data or file error, 2 a usage error.\n";

enum Option { RANGE = 2000, GIBBS, CELSIUS, WEIGHT };

int stop(const ErrorText& error)
{
    discardOutputs();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, error.text);
    return EXIT_DATA_ERROR;
}

bool parseTemperature(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0 && value < 1e7;
}

// Ends the run after the outputs are committed: the notes, then what was written where.
int signOff(const CommonOptions& common, const PhaseDiagram& diagram, bool regression, double gibbsT, bool havePoints,
            const ResidualSummary& summary)
{
    if (!common.quiet)
        for (const std::string& note : diagram.notes) std::fprintf(stderr, "%s: note: %s\n", PROGRAM, note.c_str());
    std::printf("The phase diagram is drawn in the file : %s\n", DIAGRAM_FILE);
    if (regression) std::printf("The fits of the measured data are drawn in the file : %s\n", REGRESSION_PLOT_FILE);
    if (gibbsT > 0) std::printf("The Gibbs energy curves are drawn in the file : %s\n", GIBBS_PLOT_FILE);
    if (havePoints)
        std::printf("%s; each point in the file : %s\n", residualSummaryLine(summary).c_str(), BOUNDARY_RESIDUALS_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}

// What both kinds of run write after the phase diagram: the Gibbs energy curves where asked, the
// residuals' report (or an earlier one removed where the points file holds none), the commit of
// all outputs, then the notes and the closing lines.
int finish(const CommonOptions& common, const StableDiagram& stable, const DiagramNames& names,
           const PhaseNames& phaseNames, double gibbsT, const std::vector<PointResidual>& residuals, bool havePoints,
           bool noPoints, bool regression, PhaseDiagram& diagram)
{
    ErrorText error{};
    if (gibbsT > 0) {
        GibbsPicture gibbs;
        describeGibbsCurves(stable, gibbsT, gibbs, names);
        const std::string gibbsSvg = drawGibbsCurves(gibbs);
        if (!writeWholeFile(GIBBS_PLOT_FILE, gibbsSvg.data(), gibbsSvg.size(), error)) return stop(error);
    }
    const ResidualSummary summary = summariseResiduals(residuals);
    if (havePoints) {
        const std::string report = formatResiduals(residuals, summary, phaseNames);
        if (!writeWholeFile(BOUNDARY_RESIDUALS_FILE, report.data(), report.size(), error)) return stop(error);
    }
    if (!commitOutputs(error)) return stop(error);
    if (noPoints && std::remove(BOUNDARY_RESIDUALS_FILE) != 0 && errno != ENOENT) {
        fail(error, "%s: cannot remove the residuals of an earlier run: %s", BOUNDARY_RESIDUALS_FILE, std::strerror(errno));
        return stop(error);
    }
    if (noPoints)
        diagram.notes.push_back(std::string(BOUNDARY_POINTS_FILE) + " holds no measured points: no residuals are computed.");
    return signOff(common, diagram, regression, gibbsT, havePoints, summary);
}

// The whole stable diagram of any binary system of a database, from the one engine, and its
// Gibbs energies at gibbsT where that is above 0.
int drawBinary(const LoadedBinary& loaded, const CommonOptions& common, const DiagramData& data, double gibbsT,
               bool weight)
{
    ErrorText error{};
    double low = 300;
    double high = 0;
    if (data.rangeGiven) {
        low = data.low;
        high = data.high;
    } else {
        if (!diagramTop(loaded.system, high)) return stop(parameterError(loaded.values));
    }
    BinaryDiagram diagram;
    if (!computeBinaryDiagram(loaded.system, low, high, DIAGRAM_STEP, diagram)) return stop(parameterError(loaded.values));
    BinaryPictureRequest request{loaded.symbols[0] + "-" + loaded.symbols[1], loaded.symbols[1],
                                 "the database " + std::filesystem::path(common.tdb).filename().string(), low, high, {}};
    // Measured points, where the folder holds them, on any field or reaction of the diagram.
    std::vector<std::string> phases;
    for (const ModelPhase& phase : loaded.system.phases) phases.push_back(phase.name);
    std::vector<SystemPoint> points;
    bool havePoints = false;
    double masses[2] = {0, 0};
    const bool haveMasses = elementMasses(loaded.database, loaded.system.elements, masses);
    if (!readSystemPoints(BOUNDARY_POINTS_FILE, phases, haveMasses ? masses : nullptr, points, havePoints, error))
        return stop(error);
    if (weight) {
        if (!haveMasses) {
            fail(error, "%s: --weight needs the masses of the elements, which the database does not give", common.tdb);
            return stop(error);
        }
        request.masses[0] = masses[0];
        request.masses[1] = masses[1];
    }
    const bool noPoints = havePoints && points.empty();
    havePoints = havePoints && !noPoints;
    std::vector<PointResidual> residuals;
    computeSystemResiduals(loaded.system, diagram, points, residuals);
    for (const SystemPoint& p : points) {
        const bool liquid = !p.arrest && loaded.system.phases[static_cast<std::size_t>(p.phase[p.side])].liquid;
        request.measured.push_back({p.haveX ? p.x : NAN, p.T, p.arrest ? 'a' : liquid ? 'l' : 's'});
    }
    const std::string svg = drawBinaryDiagram(loaded.system, diagram, request);
    if (!writeWholeFile(DIAGRAM_FILE, svg.data(), svg.size(), error)) return stop(error);
    const ResidualSummary summary = summariseResiduals(residuals);
    if (havePoints) {
        const std::string report = formatResiduals(residuals, summary);
        if (!writeWholeFile(BOUNDARY_RESIDUALS_FILE, report.data(), report.size(), error)) return stop(error);
    }
    if (gibbsT > 0) {
        BinaryGibbsPicture gibbs;
        gibbs.title = request.title;
        gibbs.element = request.element;
        if (!describeBinaryGibbs(loaded.system, gibbsT, gibbs)) return stop(parameterError(loaded.values));
        const std::string curves = drawBinaryGibbs(loaded.system, gibbs);
        if (!writeWholeFile(GIBBS_PLOT_FILE, curves.data(), curves.size(), error)) return stop(error);
    }
    if (!commitOutputs(error)) return stop(error);
    if (noPoints && std::remove(BOUNDARY_RESIDUALS_FILE) != 0 && errno != ENOENT) {
        fail(error, "%s: cannot remove the residuals of an earlier run: %s", BOUNDARY_RESIDUALS_FILE, std::strerror(errno));
        return stop(error);
    }
    if (noPoints && !common.quiet)
        std::fprintf(stderr, "%s: note: %s holds no measured points: no residuals are computed.\n", PROGRAM,
                     BOUNDARY_POINTS_FILE);
    if (diagram.unresolved > 0 && !common.quiet)
        std::fprintf(stderr, "%s: note: %s: %d changes between sections could not be solved as a reaction; the lines "
                             "near them may be incomplete\n", PROGRAM, common.tdb, diagram.unresolved);
    std::printf("The phase diagram is drawn in the file : %s\n", DIAGRAM_FILE);
    if (gibbsT > 0) std::printf("The Gibbs energy curves are drawn in the file : %s\n", GIBBS_PLOT_FILE);
    if (havePoints)
        std::printf("%s; each point in the file : %s\n", residualSummaryLine(summary).c_str(), BOUNDARY_RESIDUALS_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}

}  // namespace

int main(int argc, char** argv)
{
    CommonOptions common;
    DiagramData data;
    std::vector<option> options(std::begin(COMMON_LONG_OPTIONS), std::end(COMMON_LONG_OPTIONS));
    options.insert(options.end(), {{"range", required_argument, nullptr, RANGE},
                                   {"gibbs", required_argument, nullptr, GIBBS},
                                   {"celsius", no_argument, nullptr, CELSIUS},
                                   {"weight", no_argument, nullptr, WEIGHT},
                                   {nullptr, 0, nullptr, 0}});
    double gibbsT = 0;
    bool celsius = false;
    bool weight = false;
    opterr = 0;
    for (int code; (code = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, options.data(), nullptr)) != -1;) {
        if (code == GIBBS) {
            if (!parseTemperature(optarg, gibbsT) || !(gibbsT > 0))
                return usageError(PROGRAM, std::string("--gibbs takes a temperature in K above 0 and below 10000000, not \"") +
                                               optarg + "\"");
            continue;
        }
        if (code == CELSIUS) {
            celsius = true;
            continue;
        }
        if (code == WEIGHT) {
            weight = true;
            continue;
        }
        if (code == RANGE) {
            if (optind >= argc || !parseTemperature(optarg, data.low) || !parseTemperature(argv[optind], data.high) ||
                !(data.low < data.high))
                return usageError(PROGRAM, "--range takes two temperatures T0 < T1 in K, from 0 to 10000000");
            ++optind;
            data.rangeGiven = true;
            continue;
        }
        const int status = handleCommonOption(code, PROGRAM, HELP, argv[optind - 1], common);
        if (status >= 0) return status;
    }
    if (optind < argc) return usageError(PROGRAM, std::string(argv[optind]) + ": this program takes no operands");
    if (const int status = checkDatabaseOptions(PROGRAM, common); status >= 0) return status;
    if (weight && common.tdb == nullptr)
        return usageError(PROGRAM, "--weight draws the axis in weight percent of a database's element, with --tdb");
    if (common.tdb != nullptr) {
        LoadedBinary binary;
        if (!openBinaryDatabase(PROGRAM, common, binary)) return EXIT_DATA_ERROR;
        if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
        removeOutputsOnSignals();
        return drawBinary(binary, common, data, gibbsT, weight);
    }
    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    ErrorText error{};
    MeasuredData measured;
    if (!readMeasuredData(measured, error)) return stop(error);
    if (!dataFingerprint(data.fingerprint, error)) return stop(error);
    PhaseFit fits[3];
    fitModel(measured, data.model[LIQUID], data.model[BCC], data.model[FCC], fits);
    // The tables are phasediagram's: where one is missing, say so and how to make it.
    for (int t = 0; t <= 3; ++t) {
        const char* name = t < 3 ? boundaryFileName(static_cast<PhasePair>(t + 1)) : EUTECTIC_FILE;
        if (missing(name)) {
            fail(error, "%s: no such file: run phasediagram here first, which writes the tables", name);
            return stop(error);
        }
    }
    for (int t = 0; t < 3; ++t)
        if (!readBoundaryTable(boundaryFileName(static_cast<PhasePair>(t + 1)), data.tables[t], error)) return stop(error);
    if (!readEutecticTable(EUTECTIC_FILE, data.eutectic, error)) return stop(error);
    for (int t = 0; t < 3; ++t)
        if (!readBandTable(bandFileName(static_cast<PhasePair>(t + 1)), data.bands[t], error)) return stop(error);
    if (!readEutecticBand(EUTECTIC_BAND_FILE, data.eutecticBand, error)) return stop(error);

    StableDiagram stable;
    buildStableDiagram(data.model, stable);

    // Measured boundary points, where the folder holds them, against the bands of the same data.
    std::vector<BoundaryPoint> points;
    bool havePoints = false;
    if (!readBoundaryPoints(BOUNDARY_POINTS_FILE, points, havePoints, error)) return stop(error);
    std::vector<PointResidual> residuals;
    // A file without points gives no residuals, and no report that would stand for one.
    const bool noPoints = havePoints && points.empty();
    havePoints = havePoints && !noPoints;
    if (havePoints) {
        BandTable bands[3];
        EutecticBand eutecticBand;
        bandsOfTheData(data, bands, eutecticBand);
        computeResiduals(stable, points, bands, eutecticBand, residuals);
        for (const PointResidual& r : residuals) data.measured.push_back(measuredMark(r));
    }

    PhaseDiagram diagram;
    describePhaseDiagram(data, stable, diagram);
    diagram.celsius = celsius;
    const std::string diagramSvg = drawPhaseDiagram(diagram);
    RegressionPanel panels[3][2];
    describeRegression(measured, fits, panels);
    const std::string regressionSvg = drawRegression(panels);
    if (!writeWholeFile(DIAGRAM_FILE, diagramSvg.data(), diagramSvg.size(), error) ||
        !writeWholeFile(REGRESSION_PLOT_FILE, regressionSvg.data(), regressionSvg.size(), error))
        return stop(error);
    return finish(common, stable, builtInNames(), builtInPhaseNames(), gibbsT, residuals, havePoints, noPoints, true,
                  diagram);
}
