// The three temperature sweeps and the eutectic, each written as a tab-separated table.
#include "app/phase_tables.h"

#include <string_view>

#include "app/output_file.h"
#include "app/text_buffer.h"
#include "equilibrium/newton.h"

namespace {

struct Sweep {
    const char* file;
    std::string_view title;
    PhasePair pair;
    bool freshStart;  // draw random start values before the sweep
};

constexpr Sweep SWEEPS[] = {
    {LIQUID_FCC_FILE, "Temp\tXb(Liquid) \tXb(FCC)\t      Iteration\t\tValidity\t\n", LIQUID_FCC, true},
    {LIQUID_BCC_FILE, "Temp\tXb(Liquid) \tXb(BCC)\t      Iteration\t\tValidity\t\n", LIQUID_BCC, true},
    {BCC_FCC_FILE, "Temp\tXb(BCC) \tXb(FCC)\t      Iteration\t\tValidity\t\n", BCC_FCC, false},
};

constexpr std::string_view EUTECTIC_TITLE = "Temp\t\tXb(L) \t\tXb(BCC) \t Xb(FCC) \tIteration\t\n";
constexpr std::string_view VALID_LABEL = "\t Valid \t\n";
constexpr std::string_view INVALID_LABEL = "\tInvalid\t\n";

}  // namespace

void appendSweepRow(TextBuffer& text, int T, const Vector4& result, int count)
{
    appendInt(text, T);
    appendText(text, "\t");
    appendFixed(text, result[0]);
    appendText(text, "\t");
    appendFixed(text, result[1]);
    appendText(text, "\t");
    appendInt(text, count);
    appendText(text, "\t");
    appendText(text, count == ITERATION_LIMIT ? INVALID_LABEL : VALID_LABEL);
}

namespace {

bool writeSweep(const Sweep& sweep, int initialT, int finalT, const PhaseParameters& first,
                const PhaseParameters& second, Vector4& guess, Vector4& result, ErrorText& error)
{
    if (sweep.freshStart) randomizeGuess(guess);
    OutputFile output;
    if (!openOutput(output, sweep.file, error)) return false;
    TextBuffer text;
    text.length = 0;
    appendText(text, sweep.title);
    for (int T = initialT; T < finalT; ++T) {
        const int count = solveTwoPhase(T, guess, result, 2, first, second, sweep.pair);
        appendSweepRow(text, T, result, count);
        guess[0] = result[0];
        guess[1] = result[1];
        if (text.length > sizeof text.data - ROW_RESERVE) flushText(output, text);
    }
    flushText(output, text);
    return closeOutput(output, error);
}

}  // namespace

bool writePhaseTables(int initialT, int finalT, const PhaseParameters& liquid, const PhaseParameters& bcc,
                      const PhaseParameters& fcc, Vector4& guess, Vector4& result, int& eutecticCount,
                      ErrorText& error)
{
    const PhaseParameters* firsts[] = {&liquid, &liquid, &bcc};
    const PhaseParameters* seconds[] = {&fcc, &bcc, &fcc};
    for (int s = 0; s < 3; ++s)
        if (!writeSweep(SWEEPS[s], initialT, finalT, *firsts[s], *seconds[s], guess, result, error)) return false;

    OutputFile output;
    if (!openOutput(output, EUTECTIC_FILE, error)) return false;
    TextBuffer text;
    text.length = 0;
    appendText(text, EUTECTIC_TITLE);
    eutecticCount = solveEutectic(guess, result, 4, liquid, bcc, fcc);
    for (int i = 0; i < 4; ++i) {
        appendFixed(text, result[i]);
        appendText(text, "\t");
    }
    appendInt(text, eutecticCount);
    appendText(text, "\t");
    flushText(output, text);
    return closeOutput(output, error);
}
