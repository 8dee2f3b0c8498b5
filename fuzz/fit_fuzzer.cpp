// libFuzzer target: arbitrary bytes through the data-file reader, the fitting, the regression
// report and a few equilibrium solves. The input holds up to six files, in the order the
// program reads them, separated by '#'.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "formats/regression_report.h"
#include "formats/text_buffer.h"
#include "model/fitting.h"
#include "formats/data_files.h"
#include "equilibrium/newton.h"

namespace {

// One file's bytes as a stream; an empty file is a single blank.
bool readChunk(const std::uint8_t* data, std::size_t size, const char* name, DataSeries& series, ErrorText& error)
{
    static char blank[] = " ";
    std::FILE* stream = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "r") : fmemopen(blank, 1, "r");
    if (stream == nullptr) return false;
    const bool read = readDataStream(stream, name, series, error);
    std::fclose(stream);
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MeasuredData measured{};
    ErrorText error{};
    std::size_t start = 0;
    for (int file = 0; file < 6; ++file) {
        std::size_t end = start;
        while (end < size && data[end] != '#') ++end;
        const auto phase = static_cast<PhaseIndex>(file / 2);
        PhaseData& series = measured.phase[phase];
        const bool read = file % 2 == 0
                              ? readChunk(data + start, end - start, enthalpyFileName(phase), series.enthalpy, error)
                              : readChunk(data + start, end - start, activityFileName(phase), series.activity, error);
        if (!read) return 0;
        if (file % 2 == 1 && !checkPhaseData(phase, series, error)) return 0;
        start = end < size ? end + 1 : size;
    }

    PhaseParameters liquid{}, bcc{}, fcc{};
    PhaseFit fits[3];
    fitModel(measured, liquid, bcc, fcc, fits);
    TextBuffer text;
    text.length = 0;
    formatRegressionReport(fits, text);

    Vector4 guess{};
    Vector4 result{};
    randomizeGuess(guess);
    for (const double T : {600.0, 900.0}) {
        solveTwoPhase(T, guess, result, 2, liquid, fcc, LIQUID_FCC);
        text.length = 0;
        appendFixed(text, result[0]);
        appendFixed(text, result[1]);
    }
    solveEutectic(guess, result, 4, liquid, bcc, fcc);
    for (int i = 0; i < 4; ++i) appendFixed(text, result[i]);
    return 0;
}
