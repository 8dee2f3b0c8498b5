// The run sequence, the console dialogue and the reading of the two temperatures.
#include "app/run.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "app/binary_tables.h"
#include "app/phase_tables.h"
#include "equilibrium/binary_diagram.h"
#include "equilibrium/newton.h"
#include "formats/data_files.h"
#include "formats/output_file.h"
#include "formats/regression_report.h"
#include "formats/tdb_binary.h"
#include "model/fitting.h"

namespace {

constexpr const char* STARS = "*****************************************************************\n";

enum class ReadStatus { OK, NOT_AN_INTEGER, OUT_OF_RANGE, END_OF_INPUT };

// Takes the rest of the current whitespace-delimited word of `in` into `word`, as far as it
// fits, shown printable.
void takeWord(std::FILE* in, int ch, char* word, int room)
{
    int length = 0;
    for (; ch != EOF && !std::isspace(ch); ch = std::getc(in))
        if (length < room - 1) word[length++] = std::isprint(ch) ? static_cast<char>(ch) : '?';
    word[length] = '\0';
}

// One integer as scanf's "%d" takes it: leading whitespace, an optional sign, decimal digits up
// to the first other character, which is left in the stream. Unlike "%d", a value beyond the
// 32-bit range is refused instead of being wrapped. When no integer is found, `found` receives
// the word that stood in its place.
ReadStatus readInteger(std::FILE* in, int& value, char* found, int room)
{
    int ch = std::getc(in);
    while (ch != EOF && std::isspace(ch)) ch = std::getc(in);
    if (ch == EOF) return ReadStatus::END_OF_INPUT;
    const char sign = ch == '-' || ch == '+' ? static_cast<char>(ch) : '\0';
    if (sign != '\0') ch = std::getc(in);
    if (ch == EOF || !std::isdigit(ch)) {
        const int signLength = sign != '\0' ? 1 : 0;
        found[0] = sign;
        takeWord(in, ch, found + signLength, room - signLength);
        return ReadStatus::NOT_AN_INTEGER;
    }
    long long magnitude = 0;
    bool tooLarge = false;
    for (; ch != EOF && std::isdigit(ch); ch = std::getc(in)) {
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > 1LL + INT_MAX) {
            tooLarge = true;
            magnitude = 1LL + INT_MAX;
        }
    }
    if (ch != EOF) std::ungetc(ch, in);
    const long long signedValue = sign == '-' ? -magnitude : magnitude;
    if (tooLarge || signedValue > INT_MAX || signedValue < INT_MIN) return ReadStatus::OUT_OF_RANGE;
    value = static_cast<int>(signedValue);
    return ReadStatus::OK;
}

bool readTemperature(std::FILE* in, const char* which, int& value, ErrorText& error)
{
    char found[40];
    switch (readInteger(in, value, found, sizeof found)) {
    case ReadStatus::OK:
        return true;
    case ReadStatus::NOT_AN_INTEGER:
        return fail(error, "standard input: the %s temperature is not a whole number of kelvins: \"%s\"", which,
                    found);
    case ReadStatus::OUT_OF_RANGE:
        return fail(error, "standard input: the %s temperature lies outside %d to %d", which, INT_MIN, INT_MAX);
    case ReadStatus::END_OF_INPUT:
        break;
    }
    return fail(error, "standard input: the input ends before the %s temperature", which);
}

// A temperature given as an argument: a whole number of kelvins and nothing else.
bool parseTemperature(const char* text, const char* which, int& value, ErrorText& error)
{
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0')
        return fail(error, "argument: the %s temperature is not a whole number of kelvins: \"%.40s\"", which, text);
    if (errno != 0 || parsed < INT_MIN || parsed > INT_MAX)
        return fail(error, "argument: the %s temperature lies outside %d to %d", which, INT_MIN, INT_MAX);
    value = static_cast<int>(parsed);
    return true;
}

// The model's R T ln x terms need a temperature above absolute zero.
bool checkTemperature(const char* source, const char* which, int value, ErrorText& error)
{
    if (value >= 1) return true;
    return fail(error, "%s: the %s temperature is %d K; temperatures must be at least 1 K", source, which, value);
}

// Progress of the sweeps on a terminal, after the first second, about once a second: on a line of
// its own below the prompts, erased when the sweeps end.
struct Progress {
    std::FILE* err;
    bool enabled;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point shown;
    bool printed;
};

void reportProgress(void* context, const char* what, int percent)
{
    Progress& p = *static_cast<Progress*>(context);
    if (!p.enabled) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - p.start < std::chrono::seconds(1) || now - p.shown < std::chrono::seconds(1)) return;
    std::fprintf(p.err, "%s\rphasediagram: %s %3d %%", p.printed ? "" : "\n", what, percent);
    std::fflush(p.err);
    p.shown = now;
    p.printed = true;
}

// Blanks the progress line, leaving the cursor at its start.
void eraseProgress(const Progress& p)
{
    if (p.printed) std::fprintf(p.err, "\r%60s\r", "");
}

// The final temperature is read as "%d" reads it, up to the first character that is not a digit;
// anything that follows it directly is ignored, and said so.
void warnAboutRest(std::FILE* in, int finalT, std::FILE* err)
{
    const int ch = std::getc(in);
    if (ch == EOF || std::isspace(ch)) return;
    char rest[40];
    takeWord(in, ch, rest, sizeof rest);
    std::fprintf(err, "phasediagram: warning: standard input: the final temperature is read as %d; \"%s\" after it "
                      "is ignored\n", finalT, rest);
}

// Data that can be read but will not give a sound model goes on, as the model defines it, with
// a word on standard error.
void warnAboutData(const MeasuredData& data, const PhaseFit (&fits)[3], std::FILE* err)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const int mismatch = firstCompositionMismatch(data.phase[p]);
        if (mismatch >= 0)
            std::fprintf(err,
                         "phasediagram: warning: %s: pair %d has composition %g where %s has %g; the fit uses %s's\n",
                         enthalpyFileName(phase), mismatch + 1, data.phase[p].enthalpy.x[mismatch],
                         activityFileName(phase), data.phase[p].activity.x[mismatch], activityFileName(phase));
        if (!isFinite(fits[p].parameters))
            std::fprintf(err,
                         "phasediagram: warning: %s: the fit gives coefficients that are not finite "
                         "(%d pairs in %s; compositions must lie strictly between 0 and 1, activities above 0)\n",
                         phaseName(phase), data.phase[p].activity.count, activityFileName(phase));
    }
}

// Ends a failed run: no output is replaced; at a terminal the message starts on a line of its
// own when a prompt is still open.
int stop(std::FILE* out, std::FILE* err, const ErrorText& error, bool promptOpen)
{
    discardOutputs();
    if (promptOpen && isatty(fileno(out))) {
        std::fputs("\n", out);
        std::fflush(out);
    }
    std::fprintf(err, "phasediagram: %s\n", error.text);
    return 1;
}

// The exit status after the last console line: 1, said on `err`, where standard output could not
// take what was written to it.
int closeConsole(std::FILE* out, std::FILE* err)
{
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
    ErrorText error{};
    fail(error, "standard output: cannot write: %s", std::strerror(errno != 0 ? errno : EIO));
    std::fprintf(err, "phasediagram: %s\n", error.text);
    return 1;
}

// The prompts and the two temperatures, from the arguments or `in`, with the warnings and the note
// that go with them. `promptOpen` tells a failure whether a prompt waits for its line.
bool askTemperatures(std::FILE* in, std::FILE* out, std::FILE* err, const RunOptions& options, int& initialT, int& finalT,
                     bool& promptOpen, ErrorText& error)
{
    promptOpen = true;
    std::fputs("Please enter initial temperature : ", out);
    std::fflush(out);
    const bool given = options.temperatures[0] != nullptr;
    const char* source = given ? "argument" : "standard input";
    if (given ? !parseTemperature(options.temperatures[0], "initial", initialT, error)
              : !readTemperature(in, "initial", initialT, error))
        return false;
    if (!checkTemperature(source, "initial", initialT, error)) return false;
    std::fputs("Please enter final temperature : ", out);
    std::fflush(out);
    if (given ? !parseTemperature(options.temperatures[1], "final", finalT, error)
              : !readTemperature(in, "final", finalT, error))
        return false;
    if (!checkTemperature(source, "final", finalT, error)) return false;
    promptOpen = false;
    if (!given) warnAboutRest(in, finalT, err);
    if (finalT <= initialT && !options.quiet)
        std::fprintf(err, "phasediagram: note: the final temperature %d K is not above the initial %d K: there is no "
                          "temperature to sweep, and the three boundary tables hold their title lines only\n",
                     finalT, initialT);
    return true;
}

// A note where the tables reach beyond the temperatures the database states its terms for.
void noteStatedRange(std::FILE* err, const char* path, const LoadedBinary& loaded, int first, int last)
{
    const StatedRange range = statedRange(loaded.values);
    if (first < range.lowest && range.lowBound != nullptr)
        std::fprintf(err, "phasediagram: note: %s: line %d: %s holds from %g K; below, at %d K, its first range is taken, "
                          "as CALPHAD programs do\n", path, range.lowBound->line, range.lowBound->what.c_str(),
                     range.lowest, first);
    if (last > range.highest && range.highBound != nullptr)
        std::fprintf(err, "phasediagram: note: %s: line %d: %s holds up to %g K; above, up to %d K, its last range is "
                          "taken, as CALPHAD programs do\n", path, range.highBound->line, range.highBound->what.c_str(),
                     range.highest, last);
}

// The run on a database's system: its whole stable diagram between the two temperatures, no fit.
int runDatabase(std::FILE* in, std::FILE* out, std::FILE* err, const RunOptions& options)
{
    const LoadedBinary& loaded = *options.database;
    ErrorText error{};
    int initialT = 0;
    int finalT = 0;
    std::fputs(STARS, out);
    std::fprintf(out, "This program will derive a phase diagram for %s and %s.\n", loaded.symbols[0].c_str(),
                 loaded.symbols[1].c_str());
    std::fputs(STARS, out);
    bool promptOpen = false;
    if (!askTemperatures(in, out, err, options, initialT, finalT, promptOpen, error)) return stop(out, err, error, promptOpen);
    // The reactions are the system's, whatever rows the tables ask: the diagram is found from
    // 300 K (or the initial temperature, if lower) to its top, 50 K above the last solid (or the
    // last temperature of the tables, if higher).
    double top = NAN;
    if (!diagramTop(loaded.system, top)) return stop(out, err, parameterError(loaded.values), false);
    const double low = std::fmin(300.0, initialT);
    const double high = std::fmax(top, finalT - 1.0);
    BinaryDiagram diagram;
    if (!computeBinaryDiagram(loaded.system, low, std::fmax(high, low + 1), DIAGRAM_STEP, diagram))
        return stop(out, err, parameterError(loaded.values), false);
    if (finalT > initialT && !options.quiet) noteStatedRange(err, options.databasePath, loaded, initialT, finalT - 1);
    std::vector<WrittenTable> written;
    int unsolved = 0;
    double masses[2] = {0, 0};
    if (options.weight && !elementMasses(loaded.database, loaded.system.elements, masses)) {
        fail(error, "%s: --weight needs the masses of the elements, which the database does not give",
             options.databasePath);
        return stop(out, err, error, false);
    }
    if (!writeBinaryTables(loaded, diagram, initialT, finalT, options.weight ? masses : nullptr, written, unsolved,
                           error) ||
        !commitOutputs(error))
        return stop(out, err, error, false);
    if (unsolved > 0 && !options.quiet)
        std::fprintf(err, "phasediagram: note: %s: %d rows of stable fields did not converge and are left out of "
                          "their tables\n", options.databasePath, unsolved);
    if (diagram.unresolved > 0 && !options.quiet)
        std::fprintf(err, "phasediagram: note: %s: %d changes of the stable phases or tie-lines could not be solved as "
                          "a reaction%s; the tables hold what was found\n",
                     options.databasePath, diagram.unresolved,
                     diagram.unresolvedAt.empty() ? "" : (" (near " + std::to_string(diagram.unresolvedAt[0]) + " K)").c_str());
    std::fprintf(out, "\n\n The stable diagram of %s is written in the files :", options.databasePath);
    for (std::size_t i = 0; i < written.size(); ++i)
        std::fprintf(out, "%s %s", i == 0 ? "" : ",", written[i].name.c_str());
    std::fputs("\n Rows :", out);
    for (std::size_t i = 0; i < written.size(); ++i) std::fprintf(out, "%s %d", i == 0 ? "" : ",", written[i].rows);
    std::fputs("\n\n", out);
    return closeConsole(out, err);
}

}  // namespace

int runPhaseDiagram(std::FILE* in, std::FILE* out, std::FILE* err, const RunOptions& options)
{
    if (options.database != nullptr) return runDatabase(in, out, err, options);
    PhaseParameters liquid{};
    PhaseParameters bcc{};
    PhaseParameters fcc{};
    Vector4 guess{};
    Vector4 result{};
    int initialT = 0;
    int finalT = 0;
    ErrorText error{};

    // Every input file is read and checked before any output file is touched.
    MeasuredData data;
    if (!readMeasuredData(data, error)) return stop(out, err, error, false);
    PhaseFit fits[3];
    fitModel(data, liquid, bcc, fcc, fits);
    warnAboutData(data, fits, err);
    if (!writeRegressionReport(fits, error)) return stop(out, err, error, false);

    std::fputs(STARS, out);
    std::fputs("This program will derive a phase diagram for Ks and Ps.\n", out);
    std::fputs(STARS, out);
    bool promptOpen = false;
    if (!askTemperatures(in, out, err, options, initialT, finalT, promptOpen, error)) return stop(out, err, error, promptOpen);

    Progress progress{err, !options.quiet && isatty(fileno(err)) != 0, std::chrono::steady_clock::now(), {}, false};
    int eutecticCount = 0;
    if (!writePhaseTables(initialT, finalT, liquid, bcc, fcc, guess, result, eutecticCount, error,
                          {reportProgress, &progress})) {
        eraseProgress(progress);
        return stop(out, err, error, !progress.printed);
    }
    eraseProgress(progress);
    if (!commitOutputs(error)) return stop(out, err, error, false);
    if (eutecticCount == ITERATION_LIMIT && !options.quiet)
        std::fprintf(err, "phasediagram: note: the eutectic solve did not converge in %d steps; its row is the last "
                          "attempt\n", ITERATION_LIMIT - 1);

    std::fputs("\n\n The calculated data are written in the Data files.\n", out);
    std::fputs(" The regression result is written in the file : Reg_result.txt \n", out);
    std::fputs(" Check the data files and Reg_result.txt!! :)\n\n", out);
    return closeConsole(out, err);
}
