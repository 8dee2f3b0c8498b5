// Entry point of phasediagram-tdb: fits the model to the measured data of the current directory,
// as phasediagram does, and writes it as the database KsPs.tdb for other CALPHAD programs.
#include <cstdio>

#include "formats/tdb_export.h"
#include "model/fitting.h"
#include "formats/data_files.h"

int main()
{
    MeasuredData data;
    ErrorText error{};
    if (!readMeasuredData(data, error)) {
        std::fprintf(stderr, "phasediagram-tdb: %s\n", error.text);
        return 1;
    }
    PhaseParameters parameters[3];
    PhaseFit fits[3];
    fitModel(data, parameters[LIQUID], parameters[BCC], parameters[FCC], fits);
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        if (!isFinite(parameters[p])) {
            const PhaseParameters& c = parameters[p];
            std::fprintf(stderr,
                         "phasediagram-tdb: %s: the fit gives coefficients that are not finite (a0 = %g, a1 = %g, "
                         "b0 = %g, b1 = %g; check %s and %s); no database is written\n",
                         phaseName(phase), c.a0, c.a1, c.b0, c.b1, enthalpyFileName(phase), activityFileName(phase));
            return 1;
        }
    }
    if (!writeDatabase(parameters, error)) {
        std::fprintf(stderr, "phasediagram-tdb: %s\n", error.text);
        return 1;
    }
    std::printf("The fitted model is written in the file : %s\n", DATABASE_FILE);
    if (std::fflush(stdout) != 0) return 1;
    return 0;
}
