// The band files of phasediagram-uncertainty: "_Band(Li-FCC).txt", "_Band(Li-BCC).txt",
// "_Band(BCC-FCC).txt", per temperature the nominal compositions of a pair with the ends of their
// 95 % intervals, and "_Band(Eutectic).txt", the eutectic's. Written and read back here.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"
#include "model/phase.h"

// One temperature of a band of phasediagram-uncertainty: nominal compositions and their 2.5 and
// 97.5 percentiles over the replicates.
struct BandTableRow {
    int T;
    double x[2];
    double low[2];
    double high[2];
    int failed;
};

struct BandTable {
    bool present;
    std::string fingerprint;  // of the data files it was computed from; empty when it carries none
    std::vector<BandTableRow> rows;
};

// The eutectic's nominal values with their 2.5 and 97.5 percentiles: T, xL, xBCC, xFCC.
struct EutecticBand {
    bool present;
    std::string fingerprint;
    double nominal[4];
    double low[4];
    double high[4];
    int failed;
};

// The file name of a pair's band, "_Band(Li-FCC).txt" and so on, and of the eutectic's.
const char* bandFileName(PhasePair pair);
inline constexpr const char* EUTECTIC_BAND_FILE = "_Band(Eutectic).txt";

// Each band file opens with the line "# data fingerprint F", F that of the data files
// (formats/fingerprint). A band file: that line, the title line, then per temperature "T, x and the low and high ends of its 95 %
// interval (the columns titled 2.5% and 97.5%) in the first phase, the same in the second, failed
// replicates", tab-separated, "%d" and "%f".
std::string formatBand(const std::vector<BandTableRow>& rows, PhasePair pair, const std::string& fingerprint);

// The eutectic band: the fingerprint line and its title line, then, when present, nominal and the ends of the 95 % interval
// of T, xL, xBCC and xFCC, then the failed replicates.
std::string formatEutecticBand(const EutecticBand& band, const std::string& fingerprint);

// Reads a band file; present stays false and nothing fails when the file does not exist.
bool readBandTable(const char* path, BandTable& band, ErrorText& error);
bool readEutecticBand(const char* path, EutecticBand& band, ErrorText& error);
