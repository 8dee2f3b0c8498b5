// Entry point of phasediagram-solidify: how an alloy of a chosen composition solidifies on
// cooling, on the equilibrium and the Scheil path, from the model of the data in the folder, with
// 95 % bands from replicates of the data's scatter where asked.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/database_option.h"
#include "app/alloy_report.h"
#include "app/solidify_database.h"
#include "equilibrium/stable_diagram.h"
#include "formats/data_files.h"
#include "formats/fingerprint.h"
#include "formats/output_file.h"
#include "formats/solidification_table.h"
#include "model/builtin_system.h"
#include "model/fitting.h"
#include "plot/solidification_svg.h"
#include "solidification/replicate_spread.h"
#include "solidification/solidification.h"
#include "uncertainty/bootstrap.h"

namespace {

constexpr const char* PROGRAM = "phasediagram-solidify";

// The most rows a path may have, and the highest temperature it may start at (K).
constexpr double MAX_ROWS = 100000;
constexpr double MAX_TEMPERATURE = 100000;

constexpr const char* HELP =
    "Usage: phasediagram-solidify [options] X0\n"
    "How an alloy of overall composition X0 (mole fraction of Ks) solidifies on cooling, from the model\n"
    "fitted to the six data files in this folder: the equilibrium path (the lever rule on the stable\n"
    "tie-lines) and the Scheil path (no diffusion in the solid, a perfectly mixed liquid), with the\n"
    "alloy's liquidus, solidus and eutectic solved directly and the fraction of eutectic on each path.\n"
    "Writes Solidification.txt (a row per temperature and the exact liquidus, solidus and eutectic\n"
    "rows) and Solidification.svg; with --replicates also Solidification_band.txt, the 95 % bands.\n"
    "\n"
    "  --from T             start of the path in K (default: 20 K above the liquidus)\n"
    "  --to T               end of the path in K (default: 20 K below the eutectic)\n"
    "  --step S             K between rows (default 0.5)\n"
    "  --replicates N       also solve N replicates of the model, drawn as phasediagram-uncertainty\n"
    "                       draws them, for 95 % bands (percentiles of the replicates)\n"
    "  --seed S             seed of those replicates (default 20260101)\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          no notes on standard error\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "With --tdb FILE the model is that of a binary system in a TDB database, X0 the mole fraction of its\n"
    "second element in alphabetical order, or with --weight its weight percent (Sn-37Pb, 63 % tin by\n"
    "weight, is --weight 63). The paths then pass through every field and reaction of the system's\n"
    "diagram, and the table gives the amount of each phase on both.\n"
    "\n"
    "      --tdb FILE       the model of the database FILE\n"
    DATABASE_OPTIONS_HELP
    "      --weight         X0 is the weight percent of the second element (with --tdb)\n"
    "\n"
    "Exit status: 0 done, 1 a data or file error (or an alloy whose path leaves what the model\n"
    "solves), 2 a usage error.\n";

enum Option { FROM = 4000, TO, STEP, REPLICATES, SEED, WEIGHT };

int stop(const std::string& message)
{
    discardOutputs();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return EXIT_DATA_ERROR;
}

bool number(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value);
}

// An option that takes no value, so that what follows it is an operand.
bool isFlag(const char* argument)
{
    for (const char* flag : {"--quiet", "-h", "--help", "--version", "--weight"})
        if (std::strcmp(argument, flag) == 0) return true;
    double value = 0;
    return number(argument, value);  // a number is an operand, not an option
}

std::string formatted(const char* pattern, double a, double b = 0, double c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    CommonOptions common;
    bool fromGiven = false;
    bool toGiven = false;
    PathGrid grid{0, 0, 0.5};
    long long replicates = 0;
    unsigned long long seed = 20260101;
    bool weight = false;
    std::vector<option> options(std::begin(COMMON_LONG_OPTIONS), std::end(COMMON_LONG_OPTIONS));
    options.insert(options.end(), {{"from", required_argument, nullptr, FROM},
                                   {"to", required_argument, nullptr, TO},
                                   {"step", required_argument, nullptr, STEP},
                                   {"replicates", required_argument, nullptr, REPLICATES},
                                   {"seed", required_argument, nullptr, SEED},
                                   {"weight", no_argument, nullptr, WEIGHT},
                                   {nullptr, 0, nullptr, 0}});
    // A negative X0 would read as a cluster of short options: say what is wrong with it as a
    // composition instead.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        double negative = 0;
        const bool takesValue = i > 1 && argv[i - 1][0] == '-' && std::strchr(argv[i - 1], '=') == nullptr &&
                                !isFlag(argv[i - 1]);
        if (argv[i][0] == '-' && number(argv[i], negative) && !takesValue)
            return usageError(PROGRAM, std::string("X0 is a mole fraction strictly between 0 and 1, not \"") + argv[i] + "\"");
    }
    opterr = 0;
    for (int code; (code = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, options.data(), nullptr)) != -1;) {
        double value = 0;
        switch (code) {
        case FROM:
        case TO:
            if (!number(optarg, value) || !(value > 0 && value <= MAX_TEMPERATURE))
                return usageError(PROGRAM, std::string(code == FROM ? "--from" : "--to") +
                                               " takes a temperature in K above 0 and at most 100000, not \"" + optarg +
                                               "\"");
            (code == FROM ? grid.from : grid.to) = value;
            (code == FROM ? fromGiven : toGiven) = true;
            break;
        case STEP:
            if (!number(optarg, value) || !(value >= 0.01 && value <= 100))
                return usageError(PROGRAM, std::string("--step takes 0.01 to 100 K, not \"") + optarg + "\"");
            grid.step = value;
            break;
        case REPLICATES:
            if (!number(optarg, value) || value != std::floor(value) || !(value >= 2 && value <= 100000))
                return usageError(PROGRAM, std::string("--replicates takes a whole number from 2 to 100000, not \"") +
                                               optarg + "\"");
            replicates = static_cast<long long>(value);
            break;
        case WEIGHT:
            weight = true;
            break;
        case SEED: {
            char* end = nullptr;
            errno = 0;
            seed = std::strtoull(optarg, &end, 10);
            if (end == optarg || *end != '\0' || errno != 0 || optarg[0] == '-')
                return usageError(PROGRAM, std::string("--seed takes a whole number of at least 0, not \"") + optarg + "\"");
            break;
        }
        default: {
            const int status = handleCommonOption(code, PROGRAM, HELP, argv[optind - 1], common);
            if (status >= 0) return status;
        }
        }
    }
    if (argc - optind != 1) return usageError(PROGRAM, "takes one operand, the alloy's composition X0");
    if (const int status = checkDatabaseOptions(PROGRAM, common); status >= 0) return status;
    const bool database = common.tdb != nullptr;
    if (weight && !database)
        return usageError(PROGRAM, "--weight reads X0 as a weight percent of a database's element, with --tdb");
    if (replicates > 0 && database)
        return usageError(PROGRAM, "--replicates draws replicates of the model fitted to the measured data; a database's "
                                   "model has none");
    double x0 = 0;
    double given = 0;
    if (weight) {
        if (!number(argv[optind], given) || !(given > 0 && given < 100))
            return usageError(PROGRAM, std::string("X0 with --weight is a weight percent strictly between 0 and 100, not \"") +
                                           argv[optind] + "\"");
    } else if (!number(argv[optind], x0) || !(x0 > 0 && x0 < 1)) {
        return usageError(PROGRAM, std::string("X0 is a mole fraction strictly between 0 and 1, not \"") + argv[optind] + "\"");
    }
    if (fromGiven && toGiven && !(grid.to < grid.from))
        return usageError(PROGRAM, "the end temperature (--to) must lie below the start (--from)");
    if (database) return solidifyFromDatabase(PROGRAM, common, {weight ? given : x0, weight, grid, fromGiven, toGiven});
    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    ErrorText error{};
    MeasuredData data;
    if (!readMeasuredData(data, error)) return stop(error.text);
    BuiltInCoefficients model;
    PhaseFit fits[3];
    fitModel(data, model.model[LIQUID], model.model[BCC], model.model[FCC], fits);
    const BinarySystem system = builtInSystem(model);
    const AlloyNames names{"Ks-Ps", {"Ps", "Ks"}, false, {0, 0}};
    AlloyGrid asked{grid, fromGiven, toGiven};
    BinaryDiagram diagram;
    AlloyPath path;
    switch (solveAlloy(system, x0, asked, diagram, path, error)) {
    case AlloyFailure::NONE: break;
    case AlloyFailure::ROWS: return usageError(PROGRAM, error.text);
    case AlloyFailure::PARAMETERS: return stop("the model's parameters are undefined at some temperature");
    case AlloyFailure::GRID: return stop(error.text);
    default: return stop(std::string("the model fitted to the data files here: ") + error.text);
    }
    grid = asked.grid;

    // Replicates of the model drawn from the data's scatter, each path followed from the nominal
    // model's, for the 95 % bands.
    ReplicateSpread spread{};
    std::string fingerprint;
    if (replicates > 0) {
        FitSamples samples;
        if (!prepareFits(data, GivenScatter{}, samples, error) || !dataFingerprint(fingerprint, error))
            return stop(error.text);
        std::vector<ReplicateModel> models;
        std::vector<ScatterRatios> ratios;
        drawReplicates(samples, static_cast<int>(replicates), seed, models, ratios);
        StableDiagram nominal;
        buildStableDiagram(model.model, nominal);
        if (!spreadOfReplicates(nominal, models, x0, grid, spread, error)) return stop(error.text);
    }

    std::vector<std::string> header = alloyHeader(names, system, path, grid);
    SolidificationPicture picture = alloyPicture(names, system, path, grid);
    if (replicates > 0) {
        char line[160];
        std::snprintf(line, sizeof line, "replicates: %lld (seed %llu), of which %d could not be solved", replicates, seed,
                      spread.failed);
        header.push_back(line);
        header.push_back(formatted("liquidus 95 %%: %.2f to %.2f K", spread.liquidus[0], spread.liquidus[1]));
        header.push_back(formatted("eutectic fraction 95 %%: equilibrium %.4f to %.4f", spread.eutecticEquilibrium[0],
                                   spread.eutecticEquilibrium[1]) +
                         formatted(", Scheil %.4f to %.4f", spread.eutecticScheil[0], spread.eutecticScheil[1]));
        for (const PathBandRow& row : spread.band) picture.equilibriumBand.push_back({row.equilibriumLow, row.T});
        for (auto r = spread.band.rbegin(); r != spread.band.rend(); ++r) picture.equilibriumBand.push_back({r->equilibriumHigh, r->T});
        for (const PathBandRow& row : spread.band) picture.scheilBand.push_back({row.scheilLow, row.T});
        for (auto r = spread.band.rbegin(); r != spread.band.rend(); ++r) picture.scheilBand.push_back({r->scheilHigh, r->T});
        picture.notes.push_back(formatted("95 %%: liquidus %.2f to %.2f K", spread.liquidus[0], spread.liquidus[1]) +
                                formatted(", eutectic fraction %.4f to %.4f (equilibrium)", spread.eutecticEquilibrium[0],
                                          spread.eutecticEquilibrium[1]) +
                                formatted(", %.4f to %.4f (Scheil)", spread.eutecticScheil[0], spread.eutecticScheil[1]));
    }
    std::vector<std::string> phases;
    for (const int p : path.phases) phases.push_back(system.phases[static_cast<std::size_t>(p)].name);
    const std::string table = formatAlloyPathTable(header, phases, path.rows);
    const std::string svg = drawSolidification(picture);
    if (!writeWholeFile(SOLIDIFICATION_FILE, table.data(), table.size(), error) ||
        !writeWholeFile(SOLIDIFICATION_PLOT_FILE, svg.data(), svg.size(), error))
        return stop(error.text);
    if (replicates > 0) {
        const std::string band = formatSolidificationBand(spread.band, x0, fingerprint);
        if (!writeWholeFile(SOLIDIFICATION_BAND_FILE, band.data(), band.size(), error)) return stop(error.text);
    }
    if (!commitOutputs(error)) return stop(error.text);
    // A band of an earlier run belongs to another alloy or other data, or to replicates not asked
    // for now: it goes with the results it was drawn for.
    if (replicates == 0 && std::remove(SOLIDIFICATION_BAND_FILE) != 0 && errno != ENOENT)
        return stop(std::string(SOLIDIFICATION_BAND_FILE) + ": cannot remove the band of an earlier run: " +
                    std::strerror(errno));
    std::printf("%s\n", alloySummary(path).c_str());
    std::printf("The paths are written in the files : %s, %s%s\n", SOLIDIFICATION_FILE, SOLIDIFICATION_PLOT_FILE,
                replicates > 0 ? ", Solidification_band.txt" : "");
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}
