// Entry point of phasediagram: derives the phase diagram of Ks-Ps from the measured data in the
// current directory (or the one given with -C).
#include <cstdio>

#include "app/command_line.h"
#include "app/database_option.h"
#include "app/run.h"
#include "formats/output_file.h"

namespace {

constexpr const char* PROGRAM = "phasediagram";

constexpr int WEIGHT = 2000;

constexpr const char* HELP =
    "Usage: phasediagram [options] [T0 T1]\n"
    "Derives the phase diagram of Ks-Ps from the six measured-data files in this folder. Fits the\n"
    "subregular model of Liquid, BCC and FCC to Li(Hm).txt, Li(a).txt, BCC(Hf).txt, BCC(aPs).txt,\n"
    "FCC(Hf).txt and FCC(aKs).txt and writes the coefficients to Reg_result.txt; asks for the initial\n"
    "and the final temperature (whole kelvins, at least 1 K), or takes them as T0 and T1; and writes\n"
    "one row per temperature from T0 to T1 - 1 to _Data(Li-FCC).txt, _Data(Li-BCC).txt and\n"
    "_Data(BCC-FCC).txt, and the eutectic to _Data(Eutectic).txt. The five outputs replace earlier\n"
    "ones only when all are complete.\n"
    "\n"
    "With --tdb FILE, the model is that of a binary system in a TDB database instead, and nothing is\n"
    "fitted: its whole stable diagram is found, every phase the two elements can form (compounds,\n"
    "sublattices, magnetic ordering, miscibility gaps), and written as a table per two-phase field,\n"
    "named after its phases in increasing x (_Data(FCC_A1-LIQUID).txt, one phase on both sides of a\n"
    "gap as FCC_A1#1 and FCC_A1#2), with a row per temperature from T0 to T1 - 1 where it is stable;\n"
    "_Invariants.txt, every invariant reaction with its kind, temperature and three compositions,\n"
    "then the congruent, critical, melting and transformation points; and _Data(Eutectic).txt,\n"
    "every eutectic.\n"
    "\n"
    "      --tdb FILE       the system of the database FILE\n"
    "      --elements A,B   its two elements, where it holds more (default: the database's two)\n"
    "      --phases LIST    only these phases, e.g. LIQUID,FCC_A1,BCT_A5 (default: every phase\n"
    "                       the two elements can form)\n"
    "      --element EL     x is the mole fraction of EL (default: the second element in\n"
    "                       alphabetical order)\n"
    "      --gas-constant R the gas constant with the database, J/(mol K) (default 8.31451, as the\n"
    "                       programs that write databases take it; 8.3144 for phasediagram-tdb's)\n"
    "      --weight         each field's table also gives its compositions in weight percent of the\n"
    "                       second element (the database must give the elements' masses)\n"
    "  -C, --directory DIR  work in DIR instead of the current directory\n"
    "      --quiet          no progress of long sweeps on a terminal, no notes\n"
    "  -h, --help           this text\n"
    "      --version        the program's version\n"
    "\n"
    "Exit status: 0 done, 1 a data, input or file error, 2 a usage error.\n";

}  // namespace

int main(int argc, char** argv)
{
    CommonOptions common;
    option options[COMMON_OPTION_COUNT + 2] = {};  // the closing entry stays zero
    for (int i = 0; i < COMMON_OPTION_COUNT; ++i) options[i] = COMMON_LONG_OPTIONS[i];
    options[COMMON_OPTION_COUNT] = {"weight", no_argument, nullptr, WEIGHT};
    RunOptions run;
    opterr = 0;
    for (int code; (code = getopt_long(argc, argv, COMMON_SHORT_OPTIONS, options, nullptr)) != -1;) {
        if (code == WEIGHT) {
            run.weight = true;
            continue;
        }
        const int status = handleCommonOption(code, PROGRAM, HELP, argv[optind - 1], common);
        if (status >= 0) return status;
    }
    run.quiet = common.quiet;
    const int operands = argc - optind;
    if (operands == 2) {
        run.temperatures[0] = argv[optind];
        run.temperatures[1] = argv[optind + 1];
    } else if (operands != 0) {
        return usageErrorf(PROGRAM, "takes two temperatures T0 T1 or none (then it asks for them)");
    }
    if (const int status = checkDatabaseOptions(PROGRAM, common); status >= 0) return status;
    if (run.weight && common.tdb == nullptr)
        return usageErrorf(PROGRAM, "--weight adds weight percents of a database's element to its tables, with --tdb");
    LoadedBinary database;
    if (common.tdb != nullptr) {
        if (!openBinaryDatabase(PROGRAM, common, database)) return EXIT_DATA_ERROR;
        run.database = &database;
        run.databasePath = common.tdb;
    }
    if (!enterDirectory(PROGRAM, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();
    return runPhaseDiagram(stdin, stdout, stderr, run);
}
