// Entry point of phasediagram-uncertainty: how far the coefficients, the eutectic and the phase
// boundaries move within the scatter of the measured data in the current directory.
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "app/phase_tables.h"
#include "model/measured_data.h"
#include "plot/result_tables.h"
#include "uncertainty/analysis.h"
#include "uncertainty/report.h"

namespace {

// The widest range of --range: 10000 temperatures of each band.
constexpr long long MAX_SPAN = 100000;

constexpr const char* HELP =
    "Usage: phasediagram-uncertainty [--replicates N] [--seed S] [--range T0 T1]\n"
    "Resamples the residuals of the six straight-line fits of the measured data in this folder (a\n"
    "residual bootstrap, compositions fixed) N times (default 2000) and refits the model each time;\n"
    "solves the eutectic and the phase boundaries every 10 K (default: the range of the tables here)\n"
    "from the nominal solutions; writes Uncertainty.txt, beside the linear estimate, and _Band files.\n";

int stop(const char* message)
{
    std::fprintf(stderr, "phasediagram-uncertainty: %s\n", message);
    return 1;
}

bool parseInteger(const char* text, long long low, long long high, long long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

bool exists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    UncertaintyOptions options;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        long long value = 0;
        long long second = 0;
        if (std::strcmp(option, "--help") == 0) {
            std::fputs(HELP, stdout);
            return 0;
        } else if (std::strcmp(option, "--replicates") == 0 && i + 1 < argc &&
                   parseInteger(argv[i + 1], 2, 10000000, value)) {
            options.replicates = static_cast<int>(value);
            ++i;
        } else if (std::strcmp(option, "--seed") == 0 && i + 1 < argc && argv[i + 1][0] != '-' &&
                   parseInteger(argv[i + 1], 0, LLONG_MAX, value)) {
            options.seed = static_cast<std::uint64_t>(value);
            ++i;
        } else if (std::strcmp(option, "--range") == 0 && i + 2 < argc &&
                   parseInteger(argv[i + 1], INT_MIN, INT_MAX, value) && parseInteger(argv[i + 2], INT_MIN, INT_MAX, second) &&
                   value < second && second - value <= MAX_SPAN) {
            options.rangeGiven = true;
            options.initialT = static_cast<int>(value);
            options.finalT = static_cast<int>(second);
            i += 2;
        } else {
            std::fprintf(stderr,
                         "phasediagram-uncertainty: %s: not an option, or a value that is not valid: --replicates "
                         "takes a whole number of at least 2, --seed a whole number, --range two temperatures "
                         "T0 < T1 in K at most 100000 K apart (see --help)\n",
                         option);
            return 1;
        }
    }

    ErrorText error{};
    MeasuredData data;
    if (!readMeasuredData(data, error)) return stop(error.text);

    // The tables of a phasediagram run, where the folder holds them.
    BoundaryTable tables[3];
    bool haveTables = true;
    for (int t = 0; t < 3; ++t) {
        const char* name = boundaryFileName(static_cast<PhasePair>(t + 1));
        if (!exists(name)) {
            haveTables = false;
            continue;
        }
        if (!readBoundaryTable(name, tables[t], error)) return stop(error.text);
    }
    EutecticPoint eutecticRow{};
    const bool haveEutectic = exists(EUTECTIC_FILE);
    if (haveEutectic && !readEutecticTable(EUTECTIC_FILE, eutecticRow, error)) return stop(error.text);

    const auto start = std::chrono::steady_clock::now();
    auto reported = start;
    const auto progress = [&](int percent) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start > std::chrono::seconds(1) && now - reported > std::chrono::seconds(1)) {
            std::fprintf(stderr, "phasediagram-uncertainty: %d %% of the solves done\n", percent);
            reported = now;
        }
    };
    UncertaintyResult result;
    if (!analyseUncertainty(data, haveTables ? tables : nullptr, haveEutectic ? &eutecticRow : nullptr, options,
                            result, error, progress))
        return stop(error.text);
    if (!writeUncertaintyFiles(result, options, error)) return stop(error.text);
    for (const std::string& note : result.notes) std::fprintf(stderr, "phasediagram-uncertainty: note: %s\n", note.c_str());
    std::printf("The uncertainty report is written in the file : %s\n", UNCERTAINTY_FILE);
    std::printf("The bands of the phase boundaries are written in the files : _Band(Li-FCC).txt, _Band(Li-BCC).txt, "
                "_Band(BCC-FCC).txt, %s\n",
                EUTECTIC_BAND_FILE);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
