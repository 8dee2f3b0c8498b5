// Reading of the measured-data files into fixed arrays, with a clear verdict on every file that
// cannot be taken as it stands.
#include "formats/data_files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A number longer than this is not one a person wrote down as a measurement.
constexpr int MAX_TOKEN = 255;

// The token as it may be shown in a message: printable, and cut short when long.
void printable(const char* token, int length, char* shown, int room)
{
    int k = 0;
    for (int i = 0; i < length && k < room - 4; ++i)
        shown[k++] = std::isprint(static_cast<unsigned char>(token[i])) ? token[i] : '?';
    if (length > room - 4) {
        shown[k++] = '.';
        shown[k++] = '.';
        shown[k++] = '.';
    }
    shown[k] = '\0';
}

// Reads the next whitespace-delimited token of the file; returns its length, 0 at the end of
// the file, or -1 when it is longer than MAX_TOKEN. `line` is the line on which it starts.
int nextToken(std::FILE* file, char* token, int& line, int& lineCounter)
{
    int ch = std::getc(file);
    while (ch != EOF && std::isspace(ch)) {
        if (ch == '\n') ++lineCounter;
        ch = std::getc(file);
    }
    line = lineCounter;
    int length = 0;
    while (ch != EOF && !std::isspace(ch)) {
        if (length == MAX_TOKEN) return -1;
        token[length++] = static_cast<char>(ch);
        ch = std::getc(file);
    }
    if (ch == '\n') ++lineCounter;
    token[length] = '\0';
    return length;
}

// The numbers of the file in order, as successive "%lf" conversions take them: a token such as
// "1.5-2" holds two; one with anything else left over is rejected.
bool readNumbers(std::FILE* file, const char* path, DataSeries& series, ErrorText& error)
{
    char token[MAX_TOKEN + 1];
    char shown[48];
    int lineCounter = 1;
    int line = 1;
    int numbers = 0;
    for (;;) {
        const int length = nextToken(file, token, line, lineCounter);
        if (length == 0) break;
        if (length < 0) return fail(error, "%s: line %d: a number longer than %d characters", path, line, MAX_TOKEN);
        const char* cursor = token;
        const char* end = token + length;
        while (cursor < end) {
            char* stop = nullptr;
            const double value = std::strtod(cursor, &stop);
            if (stop == cursor) {
                printable(cursor, static_cast<int>(end - cursor), shown, sizeof shown);
                return fail(error, "%s: line %d: \"%s\" is not a number", path, line, shown);
            }
            if (numbers == 2 * MAX_PAIRS)
                return fail(error, "%s: line %d: more than %d pairs; a data file holds at most %d", path, line,
                            MAX_PAIRS, MAX_PAIRS);
            if (numbers % 2 == 0)
                series.x[numbers / 2] = value;
            else
                series.value[numbers / 2] = value;
            ++numbers;
            cursor = stop;
        }
    }
    if (numbers % 2 != 0)
        return fail(error, "%s: the file ends after the composition of pair %d, without its value", path,
                    numbers / 2 + 1);
    series.count = numbers / 2;
    return true;
}

}  // namespace

const char* enthalpyFileName(PhaseIndex phase)
{
    static constexpr const char* names[] = {"Li(Hm).txt", "BCC(Hf).txt", "FCC(Hf).txt"};
    return names[phase];
}

const char* activityFileName(PhaseIndex phase)
{
    static constexpr const char* names[] = {"Li(a).txt", "BCC(aPs).txt", "FCC(aKs).txt"};
    return names[phase];
}

bool readDataStream(std::FILE* file, const char* name, DataSeries& series, ErrorText& error)
{
    errno = 0;
    const bool read = readNumbers(file, name, series, error);
    if (std::ferror(file) != 0)
        return fail(error, "%s: cannot read: %s", name, std::strerror(errno != 0 ? errno : EIO));
    return read;
}

bool readDataSeries(const char* path, DataSeries& series, ErrorText& error)
{
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return fail(error, "%s: cannot open: %s", path, std::strerror(errno));
    const bool read = readDataStream(file, path, series, error);
    std::fclose(file);  // opened for reading only: nothing to lose at the close
    return read;
}

bool checkPhaseData(PhaseIndex phase, const PhaseData& data, ErrorText& error)
{
    if (data.enthalpy.count < data.activity.count)
        return fail(error, "%s: %d pairs, fewer than the %d of %s; both files of a phase list the same compositions",
                    enthalpyFileName(phase), data.enthalpy.count, data.activity.count, activityFileName(phase));
    return true;
}

bool readMeasuredData(MeasuredData& data, ErrorText& error)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        PhaseData& series = data.phase[p];
        if (!readDataSeries(enthalpyFileName(phase), series.enthalpy, error)) return false;
        if (!readDataSeries(activityFileName(phase), series.activity, error)) return false;
        if (!checkPhaseData(phase, series, error)) return false;
    }
    return true;
}

int firstCompositionMismatch(const PhaseData& data)
{
    for (int i = 0; i < data.activity.count; ++i)
        if (data.enthalpy.x[i] != data.activity.x[i]) return i;
    return -1;
}
