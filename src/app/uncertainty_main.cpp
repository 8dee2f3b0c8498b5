// Entry point of phasediagram-uncertainty: how far the coefficients, the eutectic and the phase
// boundaries move within the scatter of the measured data in the current directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "formats/data_files.h"
#include "formats/fingerprint.h"
#include "formats/result_tables.h"
#include "formats/band_files.h"
#include "uncertainty/analysis.h"
#include "formats/output_file.h"
#include "formats/uncertainty_report.h"

namespace {

constexpr const char* PROGRAM = "phasediagram-uncertainty";

// The widest range of --range: 10000 temperatures of each band.
constexpr long long MAX_SPAN = 100000;

constexpr const char* HELP =
    "Usage: phasediagram-uncertainty [options]\n"
    "How sure the phase diagram is, given the scatter of the six measured-data files in this folder.\n"
    "Each file's scatter is modelled where it is measured: enthalpies additive (J/mol), activities\n"
    "relative (additive in ln a), one sd per file, estimated from the file's own points (a fit weighted\n"
    "by each point's scatter, n - 2 degrees of freedom) unless given. Each of N replicates adds that\n"
    "scatter to the fitted measurements, refits the model as phasediagram does and solves the stable\n"
    "eutectic and the stable phase boundaries every 10 K. The 95 % intervals are studentised bootstrap\n"
    "intervals (each replicate re-estimates the sds), so that they hold for few points too: over many\n"
    "data sets they contain the true value 95 % of the time.\n"
    "\n"
    "  --replicates N       N replicates (default 2000, at least 2)\n"
    "  --seed S             seed of the generator (default 20260101): the same data and seed give\n"
    "                       the same files\n"
    "  --range T0 T1        bands from T0 K up to below T1 K, at most 100000 K apart (default: the\n"
    "                       range of the _Data tables here, else 500 to 1600)\n"
    "  --enthalpy-sd S      the sd of every enthalpy file, in J/mol, instead of its estimate\n"
    "  --activity-sd S      the sd of every activity file, in ln a (0.004 for 0.4 % of a)\n"
    "  --sd FILE=S          the sd of one file, for instance --sd 'Li(a).txt=0.003'\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          no progress and no notes on standard error\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "Writes Uncertainty.txt and _Band(Li-FCC).txt, _Band(Li-BCC).txt, _Band(BCC-FCC).txt,\n"
    "_Band(Eutectic).txt, each marked with a fingerprint of the data files, and replaces earlier\n"
    "ones only when all five are complete.\n"
    "\n"
    "Exit status: 0 done, 1 a data or file error, 2 a usage error.\n";

int stop(const char* message)
{
    discardOutputs();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message);
    return EXIT_DATA_ERROR;
}

int usage(const std::string& message) { return usageError(PROGRAM, message); }

bool parseInteger(const char* text, long long low, long long high, long long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

bool parseScatter(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value >= 0;
}

// "Li(a).txt=0.003" (the ".txt" may be left out) into the given sd of that file.
bool parseFileScatter(const char* text, GivenScatter& given)
{
    const char* equals = std::strrchr(text, '=');
    if (equals == nullptr) return false;
    std::string name(text, equals);
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) name += ".txt";
    double value = 0;
    if (!parseScatter(equals + 1, value)) return false;
    for (int p = LIQUID; p <= FCC; ++p)
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f)
            if (name == fitFileName(static_cast<PhaseIndex>(p), f)) {
                given.sd[p][f] = value;
                return true;
            }
    return false;
}

bool exists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

// The report and the band files, each replacing an earlier one only once complete.
bool writeUncertaintyFiles(const UncertaintyResult& result, ErrorText& error)
{
    const std::string report = formatUncertaintyReport(result);
    if (!writeWholeFile(UNCERTAINTY_FILE, report.data(), report.size(), error)) return false;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        const std::string band = formatBand(bandRows(result, pair), pair, result.fingerprint);
        if (!writeWholeFile(bandFileName(pair), band.data(), band.size(), error)) return false;
    }
    const std::string eutectic = formatEutecticBand(eutecticBand(result), result.fingerprint);
    return writeWholeFile(EUTECTIC_BAND_FILE, eutectic.data(), eutectic.size(), error);
}

enum Option { REPLICATES = 3000, SEED, RANGE, ENTHALPY_SD, ACTIVITY_SD, FILE_SD };

}  // namespace

int main(int argc, char** argv)
{
    UncertaintyOptions options;
    bool rangeGiven = false;
    double enthalpySd = -1;
    double activitySd = -1;
    GivenScatter perFile;
    CommonOptions common;
    std::vector<option> longOptions(std::begin(COMMON_LONG_OPTIONS), std::end(COMMON_LONG_OPTIONS));
    longOptions.insert(longOptions.end(), {
        {"replicates", required_argument, nullptr, REPLICATES},
        {"seed", required_argument, nullptr, SEED},
        {"range", required_argument, nullptr, RANGE},
        {"enthalpy-sd", required_argument, nullptr, ENTHALPY_SD},
        {"activity-sd", required_argument, nullptr, ACTIVITY_SD},
        {"sd", required_argument, nullptr, FILE_SD},
        {nullptr, 0, nullptr, 0},
    });
    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, longOptions.data(), nullptr);
        if (c == -1) break;
        long long value = 0;
        long long second = 0;
        switch (c) {
        case REPLICATES:
            if (!parseInteger(optarg, 2, 10000000, value))
                return usage(std::string("--replicates takes a whole number from 2 to 10000000, not \"") + optarg + "\"");
            options.replicates = static_cast<int>(value);
            break;
        case SEED:
            if (!parseInteger(optarg, 0, LLONG_MAX, value))
                return usage(std::string("--seed takes a whole number of at least 0, not \"") + optarg + "\"");
            options.seed = static_cast<std::uint64_t>(value);
            break;
        case RANGE:
            if (optind >= argc) return usage("--range takes two temperatures, T0 and T1");
            if (!parseInteger(optarg, INT_MIN, INT_MAX, value) || !parseInteger(argv[optind], INT_MIN, INT_MAX, second) ||
                !(value < second) || second - value > MAX_SPAN)
                return usage(std::string("--range takes two whole temperatures T0 < T1 in K at most 100000 K apart, not \"") +
                             optarg + " " + argv[optind] + "\"");
            ++optind;
            rangeGiven = true;
            options.initialT = static_cast<int>(value);
            options.finalT = static_cast<int>(second);
            break;
        case ENTHALPY_SD:
        case ACTIVITY_SD: {
            double sd = 0;
            if (!parseScatter(optarg, sd))
                return usage(std::string(c == ENTHALPY_SD ? "--enthalpy-sd" : "--activity-sd") +
                             " takes a standard deviation of 0 or more, not \"" + optarg + "\"");
            (c == ENTHALPY_SD ? enthalpySd : activitySd) = sd;
            break;
        }
        case FILE_SD:
            if (!parseFileScatter(optarg, perFile))
                return usage(std::string("--sd takes FILE=S with FILE one of the six data files and S a standard "
                                         "deviation of 0 or more, not \"") +
                             optarg + "\"");
            break;
        default: {
            const int status = handleCommonOption(c, PROGRAM, HELP, argv[optind - 1], common);
            if (status >= 0) return status;
        }
        }
    }
    if (const int status = refuseDatabase(PROGRAM, common); status >= 0) return status;
    if (optind < argc) return usage(std::string(argv[optind]) + ": this program takes no operands");
    for (int p = LIQUID; p <= FCC; ++p) {
        if (enthalpySd >= 0) options.given.sd[p][ENTHALPY_FIT] = enthalpySd;
        if (activitySd >= 0) options.given.sd[p][ACTIVITY_FIT] = activitySd;
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f)
            if (perFile.sd[p][f] >= 0) options.given.sd[p][f] = perFile.sd[p][f];
    }

    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    ErrorText error{};
    MeasuredData data;
    if (!readMeasuredData(data, error)) return stop(error.text);
    std::string fingerprint;
    if (!dataFingerprint(fingerprint, error)) return stop(error.text);

    // The default range: that of the tables of a phasediagram run, where the folder holds them.
    if (!rangeGiven) {
        bool any = false;
        for (int t = 0; t < 3; ++t) {
            const char* name = boundaryFileName(static_cast<PhasePair>(t + 1));
            if (!exists(name)) continue;
            BoundaryTable table;
            if (!readBoundaryTable(name, table, error)) return stop(error.text);
            for (const BoundaryRow& row : table.rows) {
                if (!any || row.T < options.initialT) options.initialT = row.T;
                if (!any || row.T >= options.finalT) options.finalT = row.T == INT_MAX ? INT_MAX : row.T + 1;
                any = true;
            }
        }
        if (static_cast<long long>(options.finalT) - options.initialT > MAX_SPAN)
            return stop("the tables here span more than 100000 K; give the bands' range with --range");
    }

    // Progress on a terminal, for analyses over a second.
    const bool showProgress = !common.quiet && isatty(fileno(stderr)) != 0;
    const auto start = std::chrono::steady_clock::now();
    auto reported = start;
    bool progressShown = false;
    const auto progress = [&](int percent) {
        const auto now = std::chrono::steady_clock::now();
        if (showProgress && now - start > std::chrono::seconds(1) && now - reported > std::chrono::seconds(1)) {
            std::fprintf(stderr, "\r%s: %3d %% of the solves done", PROGRAM, percent);
            reported = now;
            progressShown = true;
        }
    };
    UncertaintyResult result;
    const bool analysed = analyseUncertainty(data, options, result, error, progress);
    if (progressShown) std::fprintf(stderr, "\r%60s\r", "");  // the progress line erased
    if (!analysed) return stop(error.text);
    result.fingerprint = fingerprint;
    if (!writeUncertaintyFiles(result, error) || !commitOutputs(error)) return stop(error.text);
    if (!common.quiet)
        for (const std::string& note : result.notes) std::fprintf(stderr, "%s: note: %s\n", PROGRAM, note.c_str());
    std::printf("The uncertainty report is written in the file : %s\n", UNCERTAINTY_FILE);
    std::printf("The bands of the phase boundaries are written in the files : _Band(Li-FCC).txt, _Band(Li-BCC).txt, "
                "_Band(BCC-FCC).txt, %s\n",
                EUTECTIC_BAND_FILE);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
