// Text of the uncertainty report and of the band files.
#include "uncertainty/report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "app/output_file.h"

namespace {

constexpr const char* COEFFICIENT_NAMES[] = {"a0", "a1", "b0", "b1"};
constexpr const char* EUTECTIC_NAMES[] = {"T (K)", "x in Liquid", "x in BCC", "x in FCC"};
constexpr const char* FIRST_TITLES[] = {"Xb(Liquid)", "Xb(Liquid)", "Xb(BCC)"};
constexpr const char* SECOND_TITLES[] = {"Xb(FCC)", "Xb(BCC)", "Xb(FCC)"};
constexpr const char* PAIR_NAMES[] = {"Liquid/FCC", "Liquid/BCC", "BCC/FCC"};

void appendf(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendf(std::string& text, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
}

void appendRow(std::string& text, const char* label, const Summary& s, double linear, int replicates)
{
    appendf(text, "%-16s %16.6f %14.6f %16.6f %16.6f %14.6f %6d of %d\n", label, s.nominal, s.sd, s.low, s.high, linear,
            s.failed, replicates);
}


}  // namespace

std::string formatUncertaintyReport(const UncertaintyResult& result, const UncertaintyOptions& options)
{
    std::string text;
    text += "Uncertainty of the Ks-Ps model from the scatter of its measured data\n\n";
    text += "Method: parametric bootstrap, with the scatter of each data file on the scale on which it is\n"
            "measured: enthalpies additive in J/mol, activities relative (additive in ln a), one sd per\n"
            "file, estimated from the file's points by a fit weighted by each point's measurement scatter\n"
            "(n - 2 degrees of freedom) unless given. Each replicate adds Gaussian scatter of that sd to\n"
            "the measurements on the program's fitted lines, refits the six lines by least squares as the\n"
            "program does, derives a0, b0, a1, b1, and solves the stable eutectic and the stable phase\n"
            "boundaries from the nominal solutions. 95 % low to high: the 95 % interval, studentised\n"
            "(bootstrap-t): each replicate also estimates the sds from its own values, so that the\n"
            "interval allows for the few points they rest on; compositions on the scale of ln(x/(1-x)).\n"
            "Linear sd: the same scatter propagated to first order through the fits and the eutectic.\n\n";
    appendf(text, "Replicates: %d\nSeed: %" PRIu64 " (std::mt19937_64)\n", options.replicates, options.seed);
    appendf(text, "Boundaries: every %d K from %d K to below %d K\n\n", BAND_STEP, result.initialT, result.finalT);

    text += "Scatter of the measured data (one sd per file, on the measured scale)\n";
    appendf(text, "%-16s %6s %16s  %-6s %s\n", "File", "pairs", "sd", "unit", "source");
    for (int p = LIQUID; p <= FCC; ++p)
        for (int f = ENTHALPY_FIT; f <= ACTIVITY_FIT; ++f) {
            const FileScatter& s = result.scatter[p][f];
            char source[64];
            if (s.degreesOfFreedom > 0)
                std::snprintf(source, sizeof source, "estimated, %d degrees of freedom", s.degreesOfFreedom);
            else
                std::snprintf(source, sizeof source, "given");
            appendf(text, "%-16s %6d %16.6f  %-6s %s\n", fitFileName(static_cast<PhaseIndex>(p), f), s.n, s.sd,
                    f == ENTHALPY_FIT ? "J/mol" : "ln a", source);
        }
    text += "\n";

    const char* header = "%-16s %16s %14s %16s %16s %14s %s\n";
    appendf(text, header, "Coefficient", "nominal", "bootstrap sd", "95 % low", "95 % high", "linear sd", "failed");
    for (int p = LIQUID; p <= FCC; ++p)
        for (int k = 0; k < 4; ++k) {
            char label[32];
            std::snprintf(label, sizeof label, "%s %s", phaseName(static_cast<PhaseIndex>(p)), COEFFICIENT_NAMES[k]);
            appendRow(text, label, result.coefficient[p][k], result.linearSd[p][k], options.replicates);
        }
    text += "(a0, b0 in J/mol; a1, b1 in J/(mol K))\n\n";

    appendf(text, header, "Eutectic", "nominal", "bootstrap sd", "95 % low", "95 % high", "linear sd", "failed");
    if (result.eutecticFound) {
        for (int i = 0; i < 4; ++i)
            appendRow(text, EUTECTIC_NAMES[i], result.eutectic[i], result.eutecticLinearSd[i], options.replicates);
    } else {
        text += "(no nominal eutectic)\n";
    }
    text += "(x: mole fraction of Ks)\n\n";

    text += "Stable phase boundaries  temperatures    replicate solves    failed\n";
    for (int t = 0; t < 3; ++t) {
        long failed = 0;
        for (const BandRow& row : result.band[t]) failed += row.x[0].failed;
        const long solves = static_cast<long>(result.band[t].size()) * options.replicates;
        appendf(text, "%-24s %12zu %19ld %9ld   in %s\n", PAIR_NAMES[t], result.band[t].size(), solves, failed,
                bandFileName(static_cast<PhasePair>(t + 1)));
    }
    if (!result.notes.empty()) {
        text += "\nNotes:\n";
        for (const std::string& note : result.notes) text += "- " + note + "\n";
    }
    return text;
}

std::string formatBand(const UncertaintyResult& result, PhasePair pair)
{
    const int t = pair - 1;
    std::string text;
    appendf(text, "Temp\t%s\t2.5%%\t97.5%%\t%s\t2.5%%\t97.5%%\tFailed\n", FIRST_TITLES[t], SECOND_TITLES[t]);
    for (const BandRow& row : result.band[t])
        appendf(text, "%d\t%f\t%f\t%f\t%f\t%f\t%f\t%d\n", row.T, row.x[0].nominal, row.x[0].low, row.x[0].high,
                row.x[1].nominal, row.x[1].low, row.x[1].high, row.x[0].failed);
    return text;
}

std::string formatEutecticBand(const UncertaintyResult& result)
{
    std::string text = "Temp\t2.5%\t97.5%\tXb(L)\t2.5%\t97.5%\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n";
    if (!result.eutecticFound) return text;
    for (const Summary& s : result.eutectic) appendf(text, "%f\t%f\t%f\t", s.nominal, s.low, s.high);
    appendf(text, "%d\n", result.eutectic[0].failed);
    return text;
}

bool writeUncertaintyFiles(const UncertaintyResult& result, const UncertaintyOptions& options, ErrorText& error)
{
    const std::string report = formatUncertaintyReport(result, options);
    if (!writeWholeFile(UNCERTAINTY_FILE, report.data(), report.size(), error)) return false;
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        const std::string band = formatBand(result, pair);
        if (!writeWholeFile(bandFileName(pair), band.data(), band.size(), error)) return false;
    }
    const std::string eutectic = formatEutecticBand(result);
    return writeWholeFile(EUTECTIC_BAND_FILE, eutectic.data(), eutectic.size(), error);
}
