// The rows of the result tables, written and read back.
#include "formats/result_tables.h"

#include "formats/table_text.h"

namespace {

constexpr std::string_view VALID_LABEL = "\t Valid \t\n";
constexpr std::string_view INVALID_LABEL = "\tInvalid\t\n";

}  // namespace

const char* boundaryFileName(PhasePair pair)
{
    switch (pair) {
    case LIQUID_FCC:
        return LIQUID_FCC_FILE;
    case LIQUID_BCC:
        return LIQUID_BCC_FILE;
    case BCC_FCC:
        break;
    }
    return BCC_FCC_FILE;
}

std::string_view boundaryTitle(PhasePair pair)
{
    switch (pair) {
    case LIQUID_FCC:
        return "Temp\tXb(Liquid) \tXb(FCC)\t      Iteration\t\tValidity\t\n";
    case LIQUID_BCC:
        return "Temp\tXb(Liquid) \tXb(BCC)\t      Iteration\t\tValidity\t\n";
    case BCC_FCC:
        break;
    }
    return "Temp\tXb(BCC) \tXb(FCC)\t      Iteration\t\tValidity\t\n";
}

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
    appendText(text, count == UNCONVERGED_COUNT ? INVALID_LABEL : VALID_LABEL);
}

void appendEutecticRow(TextBuffer& text, const Vector4& result, int count)
{
    for (int i = 0; i < 4; ++i) {
        appendFixed(text, result[i]);
        appendText(text, "\t");
    }
    appendInt(text, count);
    appendText(text, "\t");
}

bool readBoundaryTable(const char* path, BoundaryTable& table, ErrorText& error)
{
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    table.rows.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        if (i == 0 && isTitle(lines[i])) continue;
        if (lines[i].empty()) continue;
        const std::vector<std::string> f = fields(lines[i]);
        BoundaryRow row{};
        if (f.size() != 5 || !integer(f[0], row.T) || !number(f[1], row.x[0]) || !number(f[2], row.x[1]) ||
            !integer(f[3], row.count) || (f[4] != "Valid" && f[4] != "Invalid"))
            return fail(error, "%s: line %d is not a row of a phase-boundary table", path, lineNumber);
        row.valid = f[4] == "Valid";
        table.rows.push_back(row);
    }
    return true;
}

bool readEutecticTable(const char* path, EutecticPoint& point, ErrorText& error)
{
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    point = EutecticPoint{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 && isTitle(lines[i])) continue;
        if (lines[i].empty()) continue;
        const std::vector<std::string> f = fields(lines[i]);
        if (point.present || f.size() != 5 || !number(f[0], point.T) || !number(f[1], point.xL) ||
            !number(f[2], point.xBCC) || !number(f[3], point.xFCC) || !integer(f[4], point.count))
            return fail(error, "%s: line %d is not the row of the eutectic table", path, static_cast<int>(i) + 1);
        point.present = true;
    }
    return true;
}
