// Reading TDB databases: the statements and what each declares.
#include "formats/tdb_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "formats/table_text.h"
#include "formats/tdb_expression.h"

namespace {

// A statement: its text (comments taken out, lines joined by blanks) and where it starts.
struct Statement {
    std::string text;
    int line;
};

// Whether `word` abbreviates `keyword`: each of its parts between underscores begins the
// keyword's part in the same place (TYPE_DEF for TYPE_DEFINITION, FUNCT for FUNCTION).
bool abbreviates(const std::string& word, const std::string& keyword)
{
    std::size_t w = 0;
    std::size_t k = 0;
    while (w < word.size()) {
        const std::size_t wEnd = std::min(word.find('_', w), word.size());
        const std::size_t kEnd = std::min(keyword.find('_', k), keyword.size());
        if (k >= keyword.size() || wEnd - w > kEnd - k || keyword.compare(k, wEnd - w, word, w, wEnd - w) != 0) return false;
        w = wEnd + 1;
        k = kEnd + 1;
    }
    return true;
}

constexpr const char* READ[] = {"ELEMENT", "FUNCTION", "PHASE", "CONSTITUENT", "PARAMETER", "TYPE_DEFINITION"};
// Read and left aside: they name, date and cite, or set defaults of a program's session.
constexpr const char* ASIDE[] = {"SPECIES", "DEFINE_SYSTEM_DEFAULT", "DEFAULT_COMMAND", "TEMPERATURE_LIMITS",
                                 "DATABASE_INFORMATION", "REFERENCE_FILE", "LIST_OF_REFERENCES", "ADD_REFERENCES",
                                 "VERSION_DATE", "ASSESSED_SYSTEMS", "VERSION_DATA"};

// The statements of the text, each ended by "!".
bool statements(const std::string& path, const std::vector<std::string>& lines, std::vector<Statement>& out,
                ErrorText& error)
{
    Statement current{"", 0};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i].substr(0, lines[i].find('$'));
        std::size_t start = 0;
        for (std::size_t bang; (bang = line.find('!', start)) != std::string::npos; start = bang + 1) {
            const std::string part = line.substr(start, bang - start);
            if (current.line == 0 && !trimmedText(part).empty()) current.line = static_cast<int>(i) + 1;
            current.text += " " + part;
            if (current.line != 0) out.push_back(current);
            current = {"", 0};
        }
        const std::string rest = line.substr(start);
        if (current.line == 0 && !trimmedText(rest).empty()) current.line = static_cast<int>(i) + 1;
        current.text += " " + rest;
    }
    if (current.line != 0)
        return fail(error, "%s: line %d: a statement without its closing \"!\"", path.c_str(), current.line);
    return true;
}

// "NAME:L" or "NAME" in upper case, without the suffix.
std::string phaseNameOf(const std::string& word) { return upperCase(word.substr(0, word.find(':'))); }

// The constituents "A%,B : VA :" of the sublattices.
std::vector<std::vector<std::string>> sublattices(const std::string& text)
{
    std::vector<std::vector<std::string>> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        const std::string part = trimmedText(text.substr(start, end - start));
        if (!part.empty()) {
            std::vector<std::string> names;
            std::size_t s = 0;
            while (s <= part.size()) {
                const std::size_t e = std::min(part.find(',', s), part.size());
                std::string name = trimmedText(part.substr(s, e - s));
                name.erase(std::remove(name.begin(), name.end(), '%'), name.end());
                if (!name.empty()) names.push_back(upperCase(name));
                s = e + 1;
            }
            result.push_back(names);
        }
        start = end + 1;
    }
    return result;
}

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        const std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at > start) result.push_back(text.substr(start, at - start));
    }
    return result;
}

}  // namespace

std::string chemicalSymbol(const std::string& name)
{
    std::string symbol = name;
    for (std::size_t i = 1; i < symbol.size(); ++i)
        symbol[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol[i])));
    return symbol;
}

int findTdbFunction(const TdbDatabase& database, const std::string& name)
{
    for (std::size_t i = 0; i < database.functions.size(); ++i)
        if (database.functions[i].name == name) return static_cast<int>(i);
    return -1;
}

bool readTdb(const char* path, TdbDatabase& database, ErrorText& error)
{
    database = TdbDatabase{};
    database.path = path;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    std::vector<Statement> list;
    if (!statements(path, lines, list, error)) return false;
    std::vector<std::vector<std::string>> functionNames;
    std::vector<std::vector<std::string>> parameterNames;
    std::vector<std::string> phaseTypes;
    // Per letter of a TYPE_DEFINITION: what it adds to the phases whose type names it.
    struct TypeDefinition {
        char letter;
        bool magnetic;
        double antiferromagnetic;
        double structureFactor;
        bool disordered;
    };
    std::vector<TypeDefinition> types;
    for (const Statement& s : list) {
        const std::vector<std::string> w = words(s.text);
        if (w.empty()) continue;
        const std::string keyword = upperCase(w[0]);
        int which = -1;
        for (int k = 0; k < 6 && which < 0; ++k)
            if (abbreviates(keyword, READ[k])) which = k;
        bool aside = false;
        for (const char* known : ASIDE) aside = aside || abbreviates(keyword, known);
        if (which < 0 && !aside)
            return fail(error, "%s: line %d: \"%.40s\" is not a keyword of the TDB format", path, s.line, w[0].c_str());
        if (which < 0) {
            if (abbreviates(keyword, "SPECIES") && w.size() > 1) database.species.push_back(upperCase(w[1]));
            continue;
        }
        const std::string rest = s.text.substr(s.text.find(w[0]) + w[0].size());
        const auto bad = [&](const std::string& why) {
            return fail(error, "%s: line %d: %s: %s", path, s.line, READ[which], why.c_str());
        };
        if (w.size() < 2) return bad("the statement is empty");
        std::string problem;
        switch (which) {
        case 0: {  // ELEMENT name reference mass H298-H0 S298
            double mass = 0;
            double entropy = 0;
            if (w.size() < 4 || !number(w[3], mass)) mass = 0;
            if (w.size() < 6 || !number(w[5], entropy)) entropy = 0;
            database.elements.push_back({upperCase(w[1]), w.size() > 2 ? upperCase(w[2]) : "", mass, entropy});
            break;
        }
        case 1: {  // FUNCTION name ranges
            const std::string name = upperCase(w[1]);
            if (findTdbFunction(database, name) >= 0) return bad(name + " is defined twice");
            TdbFunction f{name, {0, {}, {}, name, s.line}};
            std::vector<std::string> names;
            if (!readPiecewise(rest, rest.find(w[1]) + w[1].size(), f.value, names, problem)) return bad(name + ": " + problem);
            database.functions.push_back(std::move(f));
            functionNames.push_back(names);
            break;
        }
        case 2: {  // PHASE name types sublattices sites...
            const std::string declared = upperCase(w[1]);
            const bool liquid = declared.find(":L") != std::string::npos || declared.rfind("LIQUID", 0) == 0;
            TdbPhase phase{phaseNameOf(w[1]), {}, {}, false, liquid, s.line};
            phase.ionic = declared.find(":Y") != std::string::npos;
            for (const TdbPhase& other : database.phases)
                if (other.name == phase.name) return bad(phase.name + " is declared twice");
            double count = 0;
            if (w.size() < 4 || !number(w[3], count) || count < 1 || count > 10 || count != std::floor(count) ||
                w.size() < 4 + static_cast<std::size_t>(count))
                return bad(phase.name + ": the number of sublattices and their sites cannot be read");
            for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
                double sites = 0;
                if (!number(w[4 + k], sites) || !(sites > 0)) return bad(phase.name + ": \"" + w[4 + k] + "\" is no number of sites");
                phase.sites.push_back(sites);
            }
            database.phases.push_back(phase);
            phaseTypes.push_back(w[2]);
            break;
        }
        case 3: {  // CONSTITUENT name :A,B : VA :
            const std::string name = phaseNameOf(w[1]);
            TdbPhase* phase = nullptr;
            for (TdbPhase& p : database.phases)
                if (p.name == name) phase = &p;
            if (phase == nullptr) return bad(name + " is no phase declared before it");
            phase->constituents = sublattices(rest.substr(rest.find(w[1]) + w[1].size()));
            if (phase->constituents.size() != phase->sites.size())
                return bad(name + ": constituents for " + std::to_string(phase->constituents.size()) + " sublattices, declared with " +
                           std::to_string(phase->sites.size()));
            break;
        }
        case 4: {  // PARAMETER kind(phase,constituents;order) ranges
            const std::size_t open = rest.find('(');
            const std::size_t close = rest.find(')');
            if (open == std::string::npos || close == std::string::npos || close < open)
                return bad("\"" + trimmedText(rest.substr(0, 40)) + "\" is not of the form G(PHASE,A,B;0)");
            const std::string inside = rest.substr(open + 1, close - open - 1);
            const std::size_t comma = inside.find(',');
            const std::size_t semicolon = std::min(inside.find(';'), inside.size());
            if (comma == std::string::npos || comma > semicolon)
                return bad("\"" + inside + "\" names no phase and constituents");
            TdbParameter p;
            p.kind = upperCase(trimmedText(rest.substr(0, open)));
            p.phase = phaseNameOf(trimmedText(inside.substr(0, comma)));
            p.constituents = sublattices(inside.substr(comma + 1, semicolon - comma - 1));
            double order = 0;
            if (semicolon < inside.size() && (!number(trimmedText(inside.substr(semicolon + 1)), order) || order < 0 ||
                                              order != std::floor(order)))
                return bad("\"" + inside + "\": its order is no whole number");
            p.order = static_cast<int>(order);
            p.value = {0, {}, {}, p.kind + "(" + trimmedText(inside) + ")", s.line};
            std::vector<std::string> names;
            if (!readPiecewise(rest, close + 1, p.value, names, problem)) return bad(p.value.what + ": " + problem);
            database.parameters.push_back(std::move(p));
            parameterNames.push_back(names);
            break;
        }
        case 5: {  // TYPE_DEFINITION c GES A_P_D PHASE MAGNETIC afm p, or ... DIS_PART PHASE
            TypeDefinition type{w[1][0], false, 0, 0, false};
            for (std::size_t k = 2; k < w.size(); ++k) {
                const std::string word = upperCase(w[k]);
                if (word == "MAGNETIC") {
                    type.magnetic = true;
                    if (k + 2 >= w.size() || !number(w[k + 1], type.antiferromagnetic) ||
                        !number(w[k + 2], type.structureFactor) || type.antiferromagnetic == 0 ||
                        !(type.structureFactor > 0 && type.structureFactor < 1))
                        return bad("MAGNETIC without its antiferromagnetic factor and structure factor");
                }
                if (abbreviates(word, "DISORDERED_PART") || word == "DIS_PART") type.disordered = true;
            }
            types.push_back(type);
            break;
        }
        }
    }
    for (std::size_t i = 0; i < database.functions.size(); ++i)
        if (!resolveFunctions(database, database.functions[i].value, functionNames[i], error)) return false;
    for (std::size_t i = 0; i < database.parameters.size(); ++i)
        if (!resolveFunctions(database, database.parameters[i].value, parameterNames[i], error)) return false;
    for (std::size_t i = 0; i < database.phases.size(); ++i)
        for (const TypeDefinition& type : types) {
            if (phaseTypes[i].find(type.letter) == std::string::npos) continue;
            TdbPhase& phase = database.phases[i];
            if (type.magnetic) {
                phase.magnetic = true;
                phase.antiferromagnetic = type.antiferromagnetic;
                phase.structureFactor = type.structureFactor;
            }
            phase.disorderedPart = phase.disorderedPart || type.disordered;
        }
    // A parameter of a phase never declared would be left out without a word: a misspelt name.
    for (const TdbParameter& p : database.parameters) {
        bool declared = false;
        for (const TdbPhase& phase : database.phases) declared = declared || phase.name == p.phase;
        if (!declared)
            return fail(error, "%s: line %d: %s is a parameter of %s, a phase the database does not declare", path,
                        p.value.line, p.value.what.c_str(), p.phase.c_str());
    }
    return true;
}

bool elementMasses(const TdbDatabase& database, const std::string (&elements)[2], double (&m)[2])
{
    for (int e = 0; e < 2; ++e) {
        m[e] = 0;
        for (const TdbElement& element : database.elements)
            if (element.name == elements[e]) m[e] = element.mass;
        if (!(m[e] > 0)) return false;
    }
    return true;
}

bool weightFraction(const TdbDatabase& database, const std::string (&elements)[2], double x, double& w)
{
    double m[2];
    if (!elementMasses(database, elements, m)) return false;
    w = weightOf(m, x);
    return true;
}

bool moleFractionOfWeight(const TdbDatabase& database, const std::string (&elements)[2], double w, double& x)
{
    double m[2];
    if (!elementMasses(database, elements, m)) return false;
    x = moleFractionAtWeight(m, w);
    return true;
}
