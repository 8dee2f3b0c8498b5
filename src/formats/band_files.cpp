// The band files, written and read back.
#include "formats/band_files.h"

#include "formats/table_text.h"

namespace {

const std::string FINGERPRINT_PREFIX = "# data fingerprint ";

// A comment line: the fingerprint where it is one.
bool comment(const std::string& line, std::string& fingerprint)
{
    if (line.empty() || line[0] != '#') return false;
    if (line.rfind(FINGERPRINT_PREFIX, 0) == 0) fingerprint = line.substr(FINGERPRINT_PREFIX.size());
    return true;
}

constexpr const char* FIRST_TITLES[] = {"Xb(Liquid)", "Xb(Liquid)", "Xb(BCC)"};
constexpr const char* SECOND_TITLES[] = {"Xb(FCC)", "Xb(BCC)", "Xb(FCC)"};

}  // namespace

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

std::string formatBand(const std::vector<BandTableRow>& rows, PhasePair pair, const std::string& fingerprint)
{
    const int t = pair - 1;
    std::string text = FINGERPRINT_PREFIX + fingerprint + "\n";
    appendFormat(text, "Temp\t%s\t2.5%%\t97.5%%\t%s\t2.5%%\t97.5%%\tFailed\n", FIRST_TITLES[t], SECOND_TITLES[t]);
    for (const BandTableRow& row : rows)
        appendFormat(text, "%d\t%f\t%f\t%f\t%f\t%f\t%f\t%d\n", row.T, row.x[0], row.low[0], row.high[0], row.x[1], row.low[1],
                row.high[1], row.failed);
    return text;
}

std::string formatEutecticBand(const EutecticBand& band, const std::string& fingerprint)
{
    std::string text = FINGERPRINT_PREFIX + fingerprint + "\n";
    text += "Temp\t2.5%\t97.5%\tXb(L)\t2.5%\t97.5%\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n";
    if (!band.present) return text;
    for (int k = 0; k < 4; ++k) appendFormat(text, "%f\t%f\t%f\t", band.nominal[k], band.low[k], band.high[k]);
    appendFormat(text, "%d\n", band.failed);
    return text;
}

bool readBandTable(const char* path, BandTable& band, ErrorText& error)
{
    band = BandTable{};
    if (missing(path)) return true;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    band.present = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isTitle(lines[i]) || lines[i].empty() || comment(lines[i], band.fingerprint)) continue;
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
        if (isTitle(lines[i]) || lines[i].empty() || comment(lines[i], band.fingerprint)) continue;
        const std::vector<std::string> f = fields(lines[i]);
        bool ok = !band.present && f.size() == 13 && integer(f[12], band.failed);
        for (int k = 0; ok && k < 4; ++k)
            ok = number(f[3 * k], band.nominal[k]) && number(f[3 * k + 1], band.low[k]) && number(f[3 * k + 2], band.high[k]);
        if (!ok) return fail(error, "%s: line %d is not the row of the eutectic band", path, static_cast<int>(i) + 1);
        band.present = true;
    }
    return true;
}
