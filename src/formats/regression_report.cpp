// Layout of the regression report: a header, one section per phase with an "a0 = " line from
// the enthalpy fit and an "a1 = " line from the activity fit, and closing dashes.
#include "formats/regression_report.h"

#include <cmath>
#include <string_view>

#include "formats/output_file.h"

namespace {

constexpr std::string_view HEADER = "\n--------------------- The result of Regression ---------------------\n";
constexpr std::string_view FOOTER = "\n--------------------------------------------------------------------";
constexpr std::string_view SECTION_TITLES[] = {"\n[ Liquid ]\n", "\n\n[ BCC ]\n", "\n\n[ FCC ]\n"};
constexpr int FIELD_WIDTH = 12;

// "<n0> = %12.6f \t <n1> = %12.6f \t r = %12.6f \n"
void appendLine(TextBuffer& text, const char* first, double firstValue, const char* second, double secondValue,
                double r)
{
    appendText(text, first);
    appendFixed(text, firstValue, FIELD_WIDTH);
    appendText(text, second);
    appendFixed(text, secondValue, FIELD_WIDTH);
    appendText(text, " \t r = ");
    appendFixed(text, std::fabs(r), FIELD_WIDTH);
    appendText(text, " \n");
}

}  // namespace

void formatRegressionReport(const PhaseFit (&fits)[3], TextBuffer& text)
{
    appendText(text, HEADER);
    for (int p = 0; p < 3; ++p) {
        const PhaseParameters& c = fits[p].parameters;
        appendText(text, SECTION_TITLES[p]);
        appendLine(text, "a0 = ", c.a0, " \t b0 = ", c.b0, fits[p].enthalpy.r);
        appendLine(text, "a1 = ", c.a1, " \t b1 = ", c.b1, fits[p].activity.r);
    }
    appendText(text, FOOTER);
}

bool writeRegressionReport(const PhaseFit (&fits)[3], ErrorText& error)
{
    TextBuffer text;
    text.length = 0;
    formatRegressionReport(fits, text);
    return writeWholeFile(REGRESSION_FILE, text.data, text.length, error);
}
