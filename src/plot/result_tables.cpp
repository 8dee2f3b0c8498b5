// Parsing of the tab-separated result tables.
#include "plot/result_tables.h"

#include "app/phase_tables.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool readLines(const char* path, std::vector<std::string>& lines, ErrorText& error)
{
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return fail(error, "%s: cannot open: %s", path, std::strerror(errno));
    std::string line;
    int ch;
    while ((ch = std::getc(file)) != EOF) {
        if (ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (ch != '\r') {
            line.push_back(static_cast<char>(ch));
        }
    }
    if (!line.empty()) lines.push_back(line);
    const bool broken = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (broken) return fail(error, "%s: cannot read: %s", path, std::strerror(readErrno));
    return true;
}

// The fields of a line separated by tabs, blanks around them removed, empty fields dropped.
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && line[first] == ' ') ++first;
        while (last > first && line[last - 1] == ' ') --last;
        if (last > first) result.push_back(line.substr(first, last - first));
        start = end + 1;
    }
    return result;
}

bool number(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0';
}

bool integer(const std::string& text, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno != 0 || parsed < -2147483647L - 1 || parsed > 2147483647L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// A file that does not exist, as opposed to one that cannot be read, which readLines reports.
bool missing(const char* path)
{
    std::FILE* file = std::fopen(path, "r");
    if (file != nullptr) {
        std::fclose(file);
        return false;
    }
    return errno == ENOENT;
}

bool isTitle(const std::string& line) { return line.rfind("Temp\t", 0) == 0; }

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

const char* bandFileName(PhasePair pair)
{
    switch (pair) {
    case LIQUID_FCC:
        return "_Band(Li-FCC).txt";
    case LIQUID_BCC:
        return "_Band(Li-BCC).txt";
    case BCC_FCC:
        break;
    }
    return "_Band(BCC-FCC).txt";
}

bool readBandTable(const char* path, BandTable& band, ErrorText& error)
{
    band = BandTable{};
    if (missing(path)) return true;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    band.present = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if ((i == 0 && isTitle(lines[i])) || lines[i].empty()) continue;
        const std::vector<std::string> f = fields(lines[i]);
        BandTableRow row{};
        bool ok = f.size() == 8 && integer(f[0], row.T) && integer(f[7], row.failed);
        for (int c = 0; ok && c < 2; ++c)
            ok = number(f[1 + 3 * c], row.x[c]) && number(f[2 + 3 * c], row.low[c]) && number(f[3 + 3 * c], row.high[c]);
        if (!ok) return fail(error, "%s: line %d is not a row of a band file", path, static_cast<int>(i) + 1);
        band.rows.push_back(row);
    }
    return true;
}

bool readEutecticBand(const char* path, EutecticBand& band, ErrorText& error)
{
    band = EutecticBand{};
    if (missing(path)) return true;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if ((i == 0 && isTitle(lines[i])) || lines[i].empty()) continue;
        const std::vector<std::string> f = fields(lines[i]);
        bool ok = !band.present && f.size() == 13 && integer(f[12], band.failed);
        for (int k = 0; ok && k < 4; ++k)
            ok = number(f[3 * k], band.nominal[k]) && number(f[3 * k + 1], band.low[k]) && number(f[3 * k + 2], band.high[k]);
        if (!ok) return fail(error, "%s: line %d is not the row of the eutectic band", path, static_cast<int>(i) + 1);
        band.present = true;
    }
    return true;
}
