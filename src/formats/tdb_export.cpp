// Writing the fitted model as a TDB database.
#include "formats/tdb_export.h"

#include <cstdio>

#include "formats/output_file.h"
#include "formats/data_files.h"

namespace {

struct DatabasePhase {
    PhaseIndex phase;
    const char* name;
};

// In the order such databases list them.
constexpr DatabasePhase PHASES[] = {{LIQUID, "LIQUID"}, {FCC, "FCC_A1"}, {BCC, "BCC_A2"}};

constexpr const char* RANGE_START = "1.0";
constexpr const char* RANGE_END = "10000.0";

// "A+B*T" or "A-B*T", each number with 17 significant digits; + 0.0 turns a negative zero into 0.
void appendLinear(TextBuffer& text, double constant, double slope)
{
    char number[40];
    std::snprintf(number, sizeof number, "%.17g", constant + 0.0);
    appendText(text, number);
    std::snprintf(number, sizeof number, "%.17g", (slope < 0 ? -slope : slope) + 0.0);
    appendText(text, slope < 0 ? "-" : "+");
    appendText(text, number);
    appendText(text, "*T");
}

void appendParameter(TextBuffer& text, const char* phase, const char* constituents, int order, double constant,
                     double slope)
{
    char head[80];
    std::snprintf(head, sizeof head, "PARAMETER G(%s,%s;%d) %s ", phase, constituents, order, RANGE_START);
    appendText(text, head);
    appendLinear(text, constant, slope);
    appendText(text, "; ");
    appendText(text, RANGE_END);
    appendText(text, " N !\n");
}

}  // namespace

void formatDatabase(const PhaseParameters (&parameters)[3], TextBuffer& text)
{
    appendText(text, "$ Ks-Ps: Liquid, FCC and BCC as subregular solutions, fitted by phasediagram-tdb\n");
    appendText(text, "$ from the measured data in ");
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        appendText(text, enthalpyFileName(phase));
        appendText(text, ", ");
        appendText(text, activityFileName(phase));
        appendText(text, p == FCC ? ".\n" : ", ");
    }
    appendText(text, "$ References: PS as FCC_A1 and KS as BCC_A2. Excess Gibbs energy in Redlich-Kister\n"
                     "$ form for the constituent order KS,PS. Masses of KS and PS unknown: 0.0.\n$\n");
    appendText(text, "ELEMENT /-   ELECTRON_GAS  0.0 0.0 0.0 !\n"
                     "ELEMENT VA   VACUUM        0.0 0.0 0.0 !\n"
                     "ELEMENT KS   BCC_A2        0.0 0.0 0.0 !\n"
                     "ELEMENT PS   FCC_A1        0.0 0.0 0.0 !\n\n"
                     "TYPE_DEFINITION % SEQ *!\n");
    for (const DatabasePhase& entry : PHASES) {
        const PhaseParameters& c = parameters[entry.phase];
        char line[80];
        std::snprintf(line, sizeof line, "\nPHASE %s %% 1 1.0 !\nCONSTITUENT %s :KS,PS: !\n", entry.name, entry.name);
        appendText(text, line);
        const double ksAt0 = pureBGibbsEnergy(entry.phase, 0.0);
        const double psAt0 = pureAGibbsEnergy(entry.phase, 0.0);
        appendParameter(text, entry.name, "KS", 0, ksAt0, pureBGibbsEnergy(entry.phase, 1.0) - ksAt0);
        appendParameter(text, entry.name, "PS", 0, psAt0, pureAGibbsEnergy(entry.phase, 1.0) - psAt0);
        appendParameter(text, entry.name, "KS,PS", 0, c.a0 + c.b0 / 2, c.a1 + c.b1 / 2);
        appendParameter(text, entry.name, "KS,PS", 1, c.b0 / 2, c.b1 / 2);
    }
}

bool writeDatabase(const PhaseParameters (&parameters)[3], ErrorText& error)
{
    TextBuffer text;
    text.length = 0;
    formatDatabase(parameters, text);
    return writeWholeFile(DATABASE_FILE, text.data, text.length, error);
}
