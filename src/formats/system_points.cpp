// Measured points of a database's binary system read, each naming its phases or its reaction.
#include "formats/system_points.h"

#include <strings.h>

#include "formats/boundary_points.h"
#include "formats/table_text.h"
#include "formats/tdb_reader.h"

namespace {

constexpr const char* KINDS[] = {"eutectic",    "peritectic",  "monotectic", "syntectic",
                                 "eutectoid",   "peritectoid", "monotectoid", "metatectic"};

bool decimal(const std::string& text, double& value) { return number(text, value) && std::isfinite(value); }

const char* kindOf(const std::string& word)
{
    for (const char* kind : KINDS)
        if (strcasecmp(word.c_str(), kind) == 0) return kind;
    return nullptr;
}

std::vector<std::string> split(const std::string& text, char at)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t k = text.find(at); k != std::string::npos; k = text.find(at, from)) {
        parts.push_back(text.substr(from, k - from));
        from = k + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

// The phase a typed name stands for, and its set ("#1", "#2") where given; -1 where it names none
// or more than one.
int phaseOf(const std::vector<std::string>& phases, const std::string& typed, int& set)
{
    std::string name = typed;
    set = 0;
    const std::size_t hash = typed.find('#');
    if (hash != std::string::npos) {
        const std::string n = typed.substr(hash + 1);
        if (n != "1" && n != "2") return -1;
        set = n[0] - '0';
        name = typed.substr(0, hash);
    }
    int found = -1;
    for (std::size_t p = 0; p < phases.size(); ++p) {
        if (strcasecmp(name.c_str(), phases[p].c_str()) == 0) return static_cast<int>(p);
        if (namesPhase(name, phases[p])) {
            if (found >= 0) return -1;
            found = static_cast<int>(p);
        }
    }
    return found;
}

std::string phaseList(const std::vector<std::string>& phases)
{
    std::string list;
    for (const std::string& p : phases) list += (list.empty() ? "" : ", ") + p;
    return list;
}

}  // namespace

bool readSystemPoints(const char* path, const std::vector<std::string>& phases, const double* masses,
                      std::vector<SystemPoint>& points, bool& present, ErrorText& error)
{
    points.clear();
    present = !missing(path);
    if (!present) return true;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    const std::string example = phases.size() >= 2 ? phases[0] + "/" + phases[1] + " " + phases[0] : "A/B A";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        std::vector<std::string> w = wordsBeforeComment(lines[i]);
        if (w.empty()) continue;
        SystemPoint point{};
        point.line = line;
        point.x = NAN;
        const char* kind = w.size() >= 3 ? kindOf(w[2]) : nullptr;
        // An arrest takes its phases or not; a number after them is the point's own scatter.
        double sd = 0;
        if (w.size() >= 4 && decimal(w.back(), sd)) {
            if (!(sd > 0))
                return fail(error, "%s: line %d: \"%.40s\" is not a standard deviation above 0", path, line,
                            w.back().c_str());
            point.sd = sd;
            w.pop_back();
        }
        if (w.size() < 3 || w.size() > 4 || (kind == nullptr && w.size() != 4))
            return fail(error, "%s: line %d: expected T, x, the pair and the phase (900 0.30 %s), or T, x or - "
                               "and the reaction (823 - eutectic)",
                        path, line, example.c_str());
        if (!decimal(w[0], point.T) || !(point.T >= 1))
            return fail(error, "%s: line %d: \"%.40s\" is not a temperature in K of at least 1", path, line, w[0].c_str());
        const std::size_t wt = w[1].size() > 2 ? w[1].size() - 2 : 0;
        if (wt > 0 && w[1].compare(wt, 2, "wt") == 0) {
            double percent = 0;
            if (!decimal(w[1].substr(0, wt), percent) || !(percent > 0 && percent < 100))
                return fail(error, "%s: line %d: \"%.40s\" is not a weight percent strictly between 0 and 100", path,
                            line, w[1].c_str());
            if (masses == nullptr)
                return fail(error, "%s: line %d: a weight percent needs the masses of the elements, which the database "
                                   "does not give",
                            path, line);
            point.x = moleFractionAtWeight({masses[0], masses[1]}, percent / 100);
            point.haveX = true;
        } else if (w[1] != "-") {
            if (!decimal(w[1], point.x) || !(point.x > 0 && point.x < 1))
                return fail(error, "%s: line %d: \"%.40s\" is not a mole fraction strictly between 0 and 1", path, line,
                            w[1].c_str());
            point.haveX = true;
        }
        if (kind != nullptr) {
            point.arrest = true;
            point.kind = kind;
            point.pairText = kind;
            point.phaseText.assign(1, '-');
            if (w.size() == 4) {
                const std::vector<std::string> names = split(w[3], '/');
                int set = 0;
                for (std::size_t k = 0; k < 3 && names.size() == 3; ++k) point.reaction[k] = phaseOf(phases, names[k], set);
                if (names.size() != 3 || point.reaction[0] < 0 || point.reaction[1] < 0 || point.reaction[2] < 0)
                    return fail(error, "%s: line %d: \"%.40s\" is not three phases of the system (%s) as A/B/C", path,
                                line, w[3].c_str(), phaseList(phases).c_str());
                point.pairText.append(" ")
                    .append(phases[static_cast<std::size_t>(point.reaction[0])])
                    .append("/")
                    .append(phases[static_cast<std::size_t>(point.reaction[1])])
                    .append("/")
                    .append(phases[static_cast<std::size_t>(point.reaction[2])]);
            }
        } else {
            const std::vector<std::string> names = split(w[2], '/');
            if (names.size() != 2 || (point.phase[0] = phaseOf(phases, names[0], point.set[0])) < 0 ||
                (point.phase[1] = phaseOf(phases, names[1], point.set[1])) < 0)
                return fail(error, "%s: line %d: \"%.40s\" is not a pair of the system's phases (%s) as A/B, nor a "
                                   "reaction",
                            path, line, w[2].c_str(), phaseList(phases).c_str());
            int set = 0;
            const int measured = phaseOf(phases, w[3], set);
            if (measured == point.phase[0] && set == point.set[0])
                point.side = 0;
            else if (measured == point.phase[1] && set == point.set[1])
                point.side = 1;
            else
                return fail(error, "%s: line %d: \"%.40s\" is not a phase of %s", path, line, w[3].c_str(),
                            w[2].c_str());
            if (point.phase[0] == point.phase[1] && (point.set[0] == 0 || point.set[0] == point.set[1]))
                return fail(error, "%s: line %d: the two sets of %s across its gap are %s#1 and %s#2", path, line,
                            phases[static_cast<std::size_t>(point.phase[0])].c_str(),
                            phases[static_cast<std::size_t>(point.phase[0])].c_str(),
                            phases[static_cast<std::size_t>(point.phase[0])].c_str());
            if (!point.haveX) return fail(error, "%s: line %d: a boundary point needs its composition", path, line);
            // The report names them as the database does.
            const auto named = [&](int k) {
                std::string name = phases[static_cast<std::size_t>(point.phase[k])];
                if (point.set[k] != 0) name.append(point.set[k] == 1 ? "#1" : "#2");
                return name;
            };
            point.pairText = named(0);
            point.pairText.append("/").append(named(1));
            point.phaseText = named(point.side);
        }
        points.push_back(point);
    }
    return true;
}
