// The text of the uncertainty report, and the band records of the analysis.
#include "formats/uncertainty_report.h"

#include <cinttypes>
#include <cstdio>

#include "formats/data_files.h"
#include "formats/table_text.h"

namespace {

constexpr const char* COEFFICIENT_NAMES[] = {"a0", "a1", "b0", "b1"};
constexpr const char* EUTECTIC_NAMES[] = {"T (K)", "x in Liquid", "x in BCC", "x in FCC"};
constexpr const char* PAIR_NAMES[] = {"Liquid/FCC", "Liquid/BCC", "BCC/FCC"};

void appendRow(std::string& text, const char* label, const Summary& s, double linear, int replicates)
{
    appendFormat(text, "%-16s %16.6f %14.6f %16.6f %16.6f %14.6f %6d of %d\n", label, s.nominal, s.sd, s.low, s.high, linear,
            s.failed, replicates);
}

}  // namespace

std::string formatUncertaintyReport(const UncertaintyResult& result)
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
    appendFormat(text, "Data files: fingerprint %s\n", result.fingerprint.c_str());
    appendFormat(text, "Replicates: %d\nSeed: %" PRIu64 " (std::mt19937_64)\n", result.replicates, result.seed);
    appendFormat(text, "Boundaries: every %d K from %d K to below %d K\n\n", BAND_STEP, result.initialT, result.finalT);

    text += "Scatter of the measured data (one sd per file, on the measured scale)\n";
    appendFormat(text, "%-16s %6s %16s  %-6s %s\n", "File", "pairs", "sd", "unit", "source");
    for (int p = LIQUID; p <= FCC; ++p)
        for (int f = 0; f < 2; ++f) {
            const FileScatter& s = result.scatter[p][f];
            char source[64];
            if (s.degreesOfFreedom > 0)
                std::snprintf(source, sizeof source, "estimated, %d degrees of freedom", s.degreesOfFreedom);
            else
                std::snprintf(source, sizeof source, "given");
            appendFormat(text, "%-16s %6d %16.6f  %-6s %s\n", f == 0 ? enthalpyFileName(static_cast<PhaseIndex>(p)) : activityFileName(static_cast<PhaseIndex>(p)), s.n, s.sd,
                    f == 0 ? "J/mol" : "ln a", source);
        }
    text += "\n";

    const char* header = "%-16s %16s %14s %16s %16s %14s %s\n";
    appendFormat(text, header, "Coefficient", "nominal", "bootstrap sd", "95 % low", "95 % high", "linear sd", "failed");
    for (int p = LIQUID; p <= FCC; ++p)
        for (int k = 0; k < 4; ++k) {
            char label[32];
            std::snprintf(label, sizeof label, "%s %s", phaseName(static_cast<PhaseIndex>(p)), COEFFICIENT_NAMES[k]);
            appendRow(text, label, result.coefficient[p][k], result.linearSd[p][k], result.replicates);
        }
    text += "(a0, b0 in J/mol; a1, b1 in J/(mol K))\n\n";

    appendFormat(text, header, "Eutectic", "nominal", "bootstrap sd", "95 % low", "95 % high", "linear sd", "failed");
    if (result.eutecticFound) {
        for (int i = 0; i < 4; ++i)
            appendRow(text, EUTECTIC_NAMES[i], result.eutectic[i], result.eutecticLinearSd[i], result.replicates);
    } else {
        text += "(no nominal eutectic)\n";
    }
    text += "(x: mole fraction of Ks)\n\n";

    text += "Stable phase boundaries  temperatures    replicate solves    failed\n";
    for (int t = 0; t < 3; ++t) {
        long failed = 0;
        for (const BandRow& row : result.band[t]) failed += row.x[0].failed;
        const long solves = static_cast<long>(result.band[t].size()) * result.replicates;
        appendFormat(text, "%-24s %12zu %19ld %9ld   in %s\n", PAIR_NAMES[t], result.band[t].size(), solves, failed,
                bandFileName(static_cast<PhasePair>(t + 1)));
    }
    if (!result.notes.empty()) {
        text += "\nNotes:\n";
        for (const std::string& note : result.notes) text += "- " + note + "\n";
    }
    return text;
}

std::vector<BandTableRow> bandRows(const UncertaintyResult& result, PhasePair pair)
{
    std::vector<BandTableRow> rows;
    for (const BandRow& row : result.band[pair - 1])
        rows.push_back({row.T, {row.x[0].nominal, row.x[1].nominal}, {row.x[0].low, row.x[1].low},
                        {row.x[0].high, row.x[1].high}, row.x[0].failed});
    return rows;
}

EutecticBand eutecticBand(const UncertaintyResult& result)
{
    EutecticBand band{result.eutecticFound, result.fingerprint, {}, {}, {}, result.eutectic[0].failed};
    for (int k = 0; k < 4; ++k) {
        band.nominal[k] = result.eutectic[k].nominal;
        band.low[k] = result.eutectic[k].low;
        band.high[k] = result.eutectic[k].high;
    }
    return band;
}
