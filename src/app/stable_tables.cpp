// The stable boundaries and eutectic of a database's system, as tables.
#include "app/stable_tables.h"

#include <cstdio>
#include <string>

#include "formats/output_file.h"

namespace {

constexpr PhasePair PAIRS[] = {LIQUID_BCC, LIQUID_FCC, BCC_FCC};

std::string printed(const char* format, double a, double b = 0, double c = 0, double d = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

std::string column(const TdbSystem& system, int phase)
{
    return "\tx(" + system.elements[1] + ") in " + system.phases[phase].name;
}

}  // namespace

std::string stableTableName(const TdbSystem& system, PhasePair pair)
{
    return "_Data(" + system.phases[firstPhase(pair)].name + "-" + system.phases[secondPhase(pair)].name + ").txt";
}

bool writeStableTables(const LoadedTdb& loaded, StableDiagram& diagram, int initialT, int finalT,
                       std::string (&names)[3], int (&rows)[3], ErrorText& error)
{
    const TdbSystem& system = loaded.system;
    for (int t = 0; t < 3; ++t) {
        const PhasePair pair = PAIRS[t];
        std::string text = "T(K)" + column(system, firstPhase(pair)) + column(system, secondPhase(pair)) + "\n";
        rows[t] = 0;
        TieLine previous{};
        bool havePrevious = false;
        for (int T = initialT; T < finalT; ++T) {
            TieLine line{};
            havePrevious = stableTieLine(diagram, pair, T, havePrevious ? &previous : nullptr, line);
            if (!havePrevious) continue;
            previous = line;
            text += std::to_string(T) + printed("\t%.10f\t%.10f\n", line.x[0], line.x[1]);
            ++rows[t];
        }
        names[t] = stableTableName(system, pair);
        if (!writeWholeFile(names[t].c_str(), text.data(), text.size(), error)) return false;
    }
    std::string text = "T(K)" + column(system, LIQUID) + column(system, BCC) + column(system, FCC) + "\n";
    if (diagram.haveEutectic) {
        const Vector4& e = diagram.eutectic;
        text += printed("%.6f\t%.10f\t%.10f\t%.10f\n", e[0], e[1], e[2], e[3]);
    }
    return writeWholeFile("_Data(Eutectic).txt", text.data(), text.size(), error);
}
