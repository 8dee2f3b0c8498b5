// Entry point of phasediagram-tdb: fits the model to the measured data of the current directory,
// as phasediagram does, and writes it as the database KsPs.tdb for other CALPHAD programs.
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "formats/data_files.h"
#include "formats/output_file.h"
#include "formats/tdb_export.h"
#include "model/fitting.h"

namespace {

constexpr const char* PROGRAM = "phasediagram-tdb";

constexpr const char* HELP =
    "Usage: phasediagram-tdb [options]\n"
    "Writes the fitted model as a database for CALPHAD programs. Fits the model to the six\n"
    "measured-data files in this folder as phasediagram does, at full precision, and writes it to\n"
    "KsPs.tdb, a thermodynamic database in the TDB format of CALPHAD\n"
    "programs: elements KS and PS, phases LIQUID, FCC_A1 and BCC_A2, the pure-component terms and\n"
    "the Redlich-Kister interaction parameters, every number with 17 significant digits.\n"
    "\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          accepted, as by the other programs; this one prints no progress\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "Exit status: 0 done, 1 a data or file error (coefficients that are not finite write no\n"
    "database), 2 a usage error.\n";

int stop(const ErrorText& error)
{
    discardOutputs();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, error.text);
    return EXIT_DATA_ERROR;
}

}  // namespace

int main(int argc, char** argv)
{
    CommonOptions common;
    std::vector<option> options(std::begin(COMMON_LONG_OPTIONS), std::end(COMMON_LONG_OPTIONS));
    options.push_back({nullptr, 0, nullptr, 0});
    opterr = 0;
    for (int code; (code = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, options.data(), nullptr)) != -1;) {
        const int status = handleCommonOption(code, PROGRAM, HELP, argv[optind - 1], common);
        if (status >= 0) return status;
    }
    if (const int status = refuseDatabase(PROGRAM, common); status >= 0) return status;
    if (optind < argc) return usageError(PROGRAM, std::string(argv[optind]) + ": this program takes no operands");
    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    MeasuredData data;
    ErrorText error{};
    if (!readMeasuredData(data, error)) return stop(error);
    PhaseParameters parameters[3];
    PhaseFit fits[3];
    fitModel(data, parameters[LIQUID], parameters[BCC], parameters[FCC], fits);
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        if (!isFinite(parameters[p])) {
            const PhaseParameters& c = parameters[p];
            std::fprintf(stderr,
                         "%s: %s: the fit gives coefficients that are not finite (a0 = %g, a1 = %g, "
                         "b0 = %g, b1 = %g; check %s and %s); no database is written\n",
                         PROGRAM, phaseName(phase), c.a0, c.a1, c.b0, c.b1, enthalpyFileName(phase),
                         activityFileName(phase));
            return EXIT_DATA_ERROR;
        }
    }
    if (!writeDatabase(parameters, error) || !commitOutputs(error)) return stop(error);
    std::printf("The fitted model is written in the file : %s\n", DATABASE_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}
