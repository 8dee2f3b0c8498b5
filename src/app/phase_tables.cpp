// The three temperature sweeps and the eutectic, each written as a tab-separated table.
#include "app/phase_tables.h"

#include "formats/output_file.h"
#include "formats/result_tables.h"
#include "formats/text_buffer.h"
#include "equilibrium/newton.h"

namespace {

static_assert(ITERATION_LIMIT == UNCONVERGED_COUNT, "the tables label the solvers' failures");

struct Sweep {
    PhasePair pair;
    bool freshStart;  // draw random start values before the sweep
};

constexpr Sweep SWEEPS[] = {{LIQUID_FCC, true}, {LIQUID_BCC, true}, {BCC_FCC, false}};

constexpr const char* SWEEP_NAMES[] = {"Liquid/FCC", "Liquid/BCC", "BCC/FCC"};

bool writeSweep(const Sweep& sweep, int initialT, int finalT, const PhaseParameters& first,
                const PhaseParameters& second, Vector4& guess, Vector4& result, ErrorText& error,
                const SweepProgress& progress)
{
    if (sweep.freshStart) randomizeGuess(guess);
    OutputFile output;
    if (!openOutput(output, boundaryFileName(sweep.pair), error)) return false;
    TextBuffer text;
    text.length = 0;
    appendText(text, boundaryTitle(sweep.pair));
    for (int T = initialT; T < finalT; ++T) {
        const int count = solveTwoPhase(T, guess, result, 2, first, second, sweep.pair);
        appendSweepRow(text, T, result, count);
        guess[0] = result[0];
        guess[1] = result[1];
        if (text.length > sizeof text.data - ROW_RESERVE) flushText(output, text);
        if (progress.report != nullptr && (T & 255) == 0)
            progress.report(progress.context, SWEEP_NAMES[sweep.pair - 1],
                            static_cast<int>(100 * (static_cast<long long>(T) - initialT) /
                                             (static_cast<long long>(finalT) - initialT)));
    }
    flushText(output, text);
    return closeOutput(output, error);
}

}  // namespace

bool writePhaseTables(int initialT, int finalT, const PhaseParameters& liquid, const PhaseParameters& bcc,
                      const PhaseParameters& fcc, Vector4& guess, Vector4& result, int& eutecticCount,
                      ErrorText& error, const SweepProgress& progress)
{
    const PhaseParameters* firsts[] = {&liquid, &liquid, &bcc};
    const PhaseParameters* seconds[] = {&fcc, &bcc, &fcc};
    for (int s = 0; s < 3; ++s)
        if (!writeSweep(SWEEPS[s], initialT, finalT, *firsts[s], *seconds[s], guess, result, error, progress))
            return false;

    OutputFile output;
    if (!openOutput(output, EUTECTIC_FILE, error)) return false;
    TextBuffer text;
    text.length = 0;
    appendText(text, EUTECTIC_TITLE);
    eutecticCount = solveEutectic(guess, result, 4, liquid, bcc, fcc);
    appendEutecticRow(text, result, eutecticCount);
    flushText(output, text);
    return closeOutput(output, error);
}
