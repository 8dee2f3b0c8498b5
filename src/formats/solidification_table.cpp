// The text of the solidification table and its band.
#include "formats/solidification_table.h"

#include <cmath>

#include "formats/table_text.h"

namespace {

void field(std::string& text, const char* format, double value)
{
    text += "\t";
    if (std::isfinite(value))
        appendFormat(text, format, value);
    else
        text += "-";
}

}  // namespace

std::string formatSolidificationTable(const std::vector<std::string>& header, const std::vector<PathRow>& rows)
{
    std::string text;
    for (const std::string& line : header) text += "# " + line + "\n";
    text += "T\tfS(eq)\txL(eq)\txS(eq)\tfS(Scheil)\txL(Scheil)\txS(Scheil)\tEvent\n";
    for (const PathRow& row : rows) {
        appendFormat(text, "%.4f", row.T);
        field(text, "%.6f", row.fsEquilibrium);
        field(text, "%.6f", row.xLiquidEquilibrium);
        field(text, "%.6f", row.xSolidEquilibrium);
        field(text, "%.6f", row.fsScheil);
        field(text, "%.6f", row.xLiquidScheil);
        field(text, "%.6f", row.xSolidScheil);
        text += "\t";
        text += row.event;
        text += "\n";
    }
    return text;
}

std::string formatAlloyPathTable(const std::vector<std::string>& header, const std::vector<std::string>& phases,
                                 const std::vector<AlloyPathRow>& rows)
{
    std::string text;
    for (const std::string& line : header) text += "# " + line + "\n";
    text += "T\tfS(eq)\txL(eq)\txS(eq)\tfS(Scheil)\txL(Scheil)\txS(Scheil)";
    for (const char* path : {"(eq)", "(Scheil)"})
        for (const std::string& phase : phases) text += "\t" + phase + path;
    text += "\tEvent\n";
    for (const AlloyPathRow& row : rows) {
        appendFormat(text, "%.4f", row.T);
        for (int p = 0; p < 2; ++p) {
            field(text, "%.6f", row.fs[p]);
            field(text, "%.6f", row.xLiquid[p]);
            field(text, "%.6f", row.xSolid[p]);
        }
        for (int p = 0; p < 2; ++p)
            for (const double amount : row.amount[p]) field(text, "%.6f", amount);
        text += "\t" + row.event + "\n";
    }
    return text;
}

std::string formatSolidificationBand(const std::vector<PathBandRow>& rows, double x0, const std::string& fingerprint)
{
    std::string text;
    appendFormat(text, "# alloy x0 = %.6f\n", x0);
    text += "# data fingerprint " + fingerprint + "\n";
    text += "T\tfS(eq) 2.5%\tfS(eq) 97.5%\tfS(Scheil) 2.5%\tfS(Scheil) 97.5%\tFailed\n";
    for (const PathBandRow& row : rows) {
        appendFormat(text, "%.4f", row.T);
        field(text, "%.6f", row.equilibriumLow);
        field(text, "%.6f", row.equilibriumHigh);
        field(text, "%.6f", row.scheilLow);
        field(text, "%.6f", row.scheilHigh);
        appendFormat(text, "\t%d\n", row.failed);
    }
    return text;
}
