// Reading TDB databases: statements, expressions and their evaluation.
#include "formats/tdb_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "formats/table_text.h"

namespace {

// A statement: its text (comments taken out, lines joined by blanks) and where it starts.
struct Statement {
    std::string text;
    int line;
};

std::string upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The text without the white space (as isspace has it) at either end.
std::string trimmed(const std::string& text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (end > first && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(first, end - first);
}

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
            if (current.line == 0 && !trimmed(part).empty()) current.line = static_cast<int>(i) + 1;
            current.text += " " + part;
            if (current.line != 0) out.push_back(current);
            current = {"", 0};
        }
        const std::string rest = line.substr(start);
        if (current.line == 0 && !trimmed(rest).empty()) current.line = static_cast<int>(i) + 1;
        current.text += " " + rest;
    }
    if (current.line != 0)
        return fail(error, "%s: line %d: a statement without its closing \"!\"", path.c_str(), current.line);
    return true;
}

// The expression parser: recursive descent over the text from `at`, emitting postfix steps.
struct Expression {
    const std::string& text;
    std::size_t at;
    std::vector<TdbStep>& steps;
    std::vector<std::string>& names;  // functions referred to, resolved after the whole file
    std::string problem;

    void skip()
    {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    }
    bool take(const char* symbol)
    {
        skip();
        const std::size_t n = std::char_traits<char>::length(symbol);
        if (text.compare(at, n, symbol) != 0) return false;
        if (symbol[0] == '*' && n == 1 && text.compare(at, 2, "**") == 0) return false;
        at += n;
        return true;
    }
    bool sum()
    {
        if (!product()) return false;
        for (;;) {
            if (take("+")) {
                if (!product()) return false;
                steps.push_back({TdbStep::ADD, 0, 0});
            } else if (take("-")) {
                if (!product()) return false;
                steps.push_back({TdbStep::SUBTRACT, 0, 0});
            } else {
                return true;
            }
        }
    }
    bool product()
    {
        if (!unary()) return false;
        for (;;) {
            if (take("*")) {
                if (!unary()) return false;
                steps.push_back({TdbStep::MULTIPLY, 0, 0});
            } else if (take("/")) {
                if (!unary()) return false;
                steps.push_back({TdbStep::DIVIDE, 0, 0});
            } else {
                return true;
            }
        }
    }
    int depth = 0;  // of the recursion: a file cannot exhaust the stack

    bool unary()
    {
        if (++depth > 200) return fail("the expression is nested too deeply");
        const bool ok = signedValue();
        --depth;
        return ok;
    }
    bool signedValue()
    {
        if (take("+")) return unary();
        if (take("-")) {
            if (!unary()) return false;
            steps.push_back({TdbStep::NEGATE, 0, 0});
            return true;
        }
        if (!primary()) return false;
        if (take("**")) {
            if (!unary()) return false;
            steps.push_back({TdbStep::POWER, 0, 0});
        }
        return true;
    }
    bool primary()
    {
        skip();
        if (at >= text.size()) return fail("the expression ends where a value is due");
        const char c = text[at];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            std::size_t end = at;
            while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
            if (end < text.size() && (text[end] == 'E' || text[end] == 'e' || text[end] == 'D' || text[end] == 'd')) {
                std::size_t e = end + 1;
                if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
                if (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) {
                    while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
                    end = e;
                }
            }
            std::string digits = text.substr(at, end - at);
            for (char& d : digits)
                if (d == 'D' || d == 'd') d = 'E';
            double value = 0;
            if (!number(digits, value)) return fail("\"" + digits + "\" is not a number");
            steps.push_back({TdbStep::NUMBER, value, 0});
            at = end;
            return true;
        }
        if (c == '(') {
            ++at;
            if (!sum()) return false;
            return take(")") || fail("a \"(\" without its \")\"");
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = at;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
            const std::string name = upper(text.substr(at, end - at));
            at = end;
            if (name == "T") {
                steps.push_back({TdbStep::TEMPERATURE, 0, 0});
                return true;
            }
            if (name == "LN" || name == "LOG" || name == "EXP") {
                if (!take("(")) return fail(name + " without \"(\"");
                if (!sum()) return false;
                if (!take(")")) return fail("a \"(\" without its \")\"");
                steps.push_back({name == "EXP" ? TdbStep::EXP : TdbStep::LN, 0, 0});
                return true;
            }
            if (at < text.size() && text[at] == '#') ++at;
            names.push_back(name);
            steps.push_back({TdbStep::FUNCTION, 0, static_cast<int>(names.size()) - 1});
            return true;
        }
        return fail(std::string("\"") + c + "\" where a value is due");
    }
    bool fail(const std::string& why)
    {
        if (problem.empty()) problem = why;
        return false;
    }
};

// Reads "low expression; high Y expression; high N ..." from `text` at `at` into `value`, its
// function references into `names` (to be resolved).
bool piecewise(const std::string& text, std::size_t at, TdbPiecewise& value, std::vector<std::string>& names,
               std::string& problem)
{
    const auto word = [&]() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        const std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])) && text[at] != ';') ++at;
        return text.substr(start, at - start);
    };
    std::string low = word();
    if (!number(low, value.low)) {
        problem = "\"" + low + "\" is not the lower temperature of a range";
        return false;
    }
    for (;;) {
        const std::size_t end = text.find(';', at);
        if (end == std::string::npos) {
            problem = "an expression without its closing \";\"";
            return false;
        }
        const std::string expression = text.substr(at, end - at);
        std::vector<TdbStep> steps;
        Expression parser{expression, 0, steps, names, ""};
        if (!parser.sum()) {
            problem = parser.problem;
            return false;
        }
        parser.skip();
        if (parser.at != expression.size()) {
            problem = "\"" + trimmed(expression.substr(parser.at)) + "\" after the expression";
            return false;
        }
        value.ranges.push_back(std::move(steps));
        at = end + 1;
        std::string high = word();
        double T = 0;
        if (!number(high, T)) {
            problem = "\"" + high + "\" is not the upper temperature of a range";
            return false;
        }
        value.high.push_back(T);
        const std::string more = upper(word());
        if (more == "N") {
            // At most a reference may follow; more words mean a "!" left out, the next statement
            // taken into this one.
            const std::string rest = trimmed(text.substr(at));
            word();
            if (trimmed(text.substr(at)).empty()) return true;
            problem = "\"" + rest.substr(0, 40) + "\" after the final N: a statement without its closing \"!\"?";
            return false;
        }
        if (more.empty()) {
            problem = "the upper temperature " + high + " without Y or N after it";
            return false;
        }
        if (more != "Y") {
            problem = "\"" + more + "\" after an upper temperature, where Y (a range follows) or N (the last) is due";
            return false;
        }
    }
}

// "NAME:L" or "NAME" in upper case, without the suffix.
std::string phaseNameOf(const std::string& word) { return upper(word.substr(0, word.find(':'))); }

// The constituents "A%,B : VA :" of the sublattices.
std::vector<std::vector<std::string>> sublattices(const std::string& text)
{
    std::vector<std::vector<std::string>> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        const std::string part = trimmed(text.substr(start, end - start));
        if (!part.empty()) {
            std::vector<std::string> names;
            std::size_t s = 0;
            while (s <= part.size()) {
                const std::size_t e = std::min(part.find(',', s), part.size());
                std::string name = trimmed(part.substr(s, e - s));
                name.erase(std::remove(name.begin(), name.end(), '%'), name.end());
                if (!name.empty()) names.push_back(upper(name));
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

int findTdbFunction(const TdbDatabase& database, const std::string& name)
{
    for (std::size_t i = 0; i < database.functions.size(); ++i)
        if (database.functions[i].name == name) return static_cast<int>(i);
    return -1;
}

namespace {

// Resolves the function names of a piecewise expression to the database's functions.
bool resolve(const TdbDatabase& database, TdbPiecewise& value, const std::vector<std::string>& names, ErrorText& error)
{
    for (std::vector<TdbStep>& steps : value.ranges)
        for (TdbStep& step : steps) {
            if (step.kind != TdbStep::FUNCTION) continue;
            const std::string& name = names[static_cast<std::size_t>(step.function)];
            step.function = findTdbFunction(database, name);
            if (step.function < 0)
                return fail(error, "%s: line %d: %s uses the function %s, which the database does not define",
                            database.path.c_str(), value.line, value.what.c_str(), name.c_str());
        }
    return true;
}

// A value and its derivative in T, carried through every step (forward differentiation): the
// values are computed by the same operations as without it.
struct Dual {
    double v;
    double d;
};

bool evaluate(const TdbDatabase& database, const TdbPiecewise& value, double T, int depth, Dual& result,
              ErrorText& error)
{
    if (depth > 64)
        return fail(error, "%s: line %d: %s refers to itself through other functions", database.path.c_str(), value.line,
                    value.what.c_str());
    std::size_t k = 0;
    while (k < value.high.size() && T > value.high[k]) ++k;
    if (!(T >= value.low) || k == value.high.size())
        return fail(error, "%s: line %d: %g K lies outside every range of %s (%g to %g K)", database.path.c_str(),
                    value.line, T, value.what.c_str(), value.low, value.high.empty() ? value.low : value.high.back());
    Dual stack[64];
    int top = 0;
    for (const TdbStep& step : value.ranges[k]) {
        Dual v{0, 0};
        switch (step.kind) {
        case TdbStep::NUMBER:
            v = {step.number, 0};
            break;
        case TdbStep::TEMPERATURE:
            v = {T, 1};
            break;
        case TdbStep::FUNCTION:
            if (!evaluate(database, database.functions[static_cast<std::size_t>(step.function)].value, T, depth + 1, v,
                          error))
                return false;
            break;
        case TdbStep::NEGATE:
            stack[top - 1] = {-stack[top - 1].v, -stack[top - 1].d};
            continue;
        case TdbStep::LN:
            stack[top - 1] = {std::log(stack[top - 1].v), stack[top - 1].d / stack[top - 1].v};
            continue;
        case TdbStep::EXP: {
            const double e = std::exp(stack[top - 1].v);
            stack[top - 1] = {e, e * stack[top - 1].d};
            continue;
        }
        default: {
            const Dual b = stack[--top];
            Dual& a = stack[top - 1];
            if (step.kind == TdbStep::ADD) a = {a.v + b.v, a.d + b.d};
            if (step.kind == TdbStep::SUBTRACT) a = {a.v - b.v, a.d - b.d};
            if (step.kind == TdbStep::MULTIPLY) a = {a.v * b.v, a.d * b.v + a.v * b.d};
            if (step.kind == TdbStep::DIVIDE) a = {a.v / b.v, (a.d * b.v - a.v * b.d) / (b.v * b.v)};
            if (step.kind == TdbStep::POWER) {
                const double power = std::pow(a.v, b.v);
                // d(a^b) = b a^(b-1) da + a^b ln(a) db, each term only where its factor moves.
                const double slope = (a.d != 0 ? b.v * std::pow(a.v, b.v - 1) * a.d : 0.0) +
                                     (b.d != 0 ? power * std::log(a.v) * b.d : 0.0);
                a = {power, slope};
            }
            continue;
        }
        }
        if (top == 64)
            return fail(error, "%s: line %d: %s is nested too deeply", database.path.c_str(), value.line, value.what.c_str());
        stack[top++] = v;
    }
    result = stack[0];
    return true;
}

}  // namespace

bool evaluateTdb(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result, ErrorText& error)
{
    double slope = 0;
    return evaluateTdb(database, value, T, result, slope, error);
}

bool evaluateTdb(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result, double& slope,
                 ErrorText& error)
{
    Dual dual{0, 0};
    if (!evaluate(database, value, T, 0, dual, error)) return false;
    result = dual.v;
    slope = dual.d;
    return true;
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
    std::string magneticTypes;
    for (const Statement& s : list) {
        const std::vector<std::string> w = words(s.text);
        if (w.empty()) continue;
        const std::string keyword = upper(w[0]);
        int which = -1;
        for (int k = 0; k < 6 && which < 0; ++k)
            if (abbreviates(keyword, READ[k])) which = k;
        bool aside = false;
        for (const char* known : ASIDE) aside = aside || abbreviates(keyword, known);
        if (which < 0 && !aside)
            return fail(error, "%s: line %d: \"%.40s\" is not a keyword of the TDB format", path, s.line, w[0].c_str());
        if (which < 0) continue;
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
            database.elements.push_back({upper(w[1]), w.size() > 2 ? upper(w[2]) : "", mass, entropy});
            break;
        }
        case 1: {  // FUNCTION name ranges
            const std::string name = upper(w[1]);
            if (findTdbFunction(database, name) >= 0) return bad(name + " is defined twice");
            TdbFunction f{name, {0, {}, {}, name, s.line}};
            std::vector<std::string> names;
            if (!piecewise(rest, rest.find(w[1]) + w[1].size(), f.value, names, problem)) return bad(name + ": " + problem);
            database.functions.push_back(std::move(f));
            functionNames.push_back(names);
            break;
        }
        case 2: {  // PHASE name types sublattices sites...
            const std::string declared = upper(w[1]);
            const bool liquid = declared.find(":L") != std::string::npos || declared.rfind("LIQUID", 0) == 0;
            TdbPhase phase{phaseNameOf(w[1]), {}, {}, false, liquid, s.line};
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
                return bad("\"" + trimmed(rest.substr(0, 40)) + "\" is not of the form G(PHASE,A,B;0)");
            const std::string inside = rest.substr(open + 1, close - open - 1);
            const std::size_t comma = inside.find(',');
            const std::size_t semicolon = std::min(inside.find(';'), inside.size());
            if (comma == std::string::npos || comma > semicolon)
                return bad("\"" + inside + "\" names no phase and constituents");
            TdbParameter p;
            p.kind = upper(trimmed(rest.substr(0, open)));
            p.phase = phaseNameOf(trimmed(inside.substr(0, comma)));
            p.constituents = sublattices(inside.substr(comma + 1, semicolon - comma - 1));
            double order = 0;
            if (semicolon < inside.size() && (!number(trimmed(inside.substr(semicolon + 1)), order) || order < 0 ||
                                              order != std::floor(order)))
                return bad("\"" + inside + "\": its order is no whole number");
            p.order = static_cast<int>(order);
            p.value = {0, {}, {}, p.kind + "(" + trimmed(inside) + ")", s.line};
            std::vector<std::string> names;
            if (!piecewise(rest, close + 1, p.value, names, problem)) return bad(p.value.what + ": " + problem);
            database.parameters.push_back(std::move(p));
            parameterNames.push_back(names);
            break;
        }
        case 5: {  // TYPE_DEFINITION c ... MAGNETIC ...: the magnetic contribution to G
            for (const std::string& word : w)
                if (upper(word) == "MAGNETIC") magneticTypes += w[1];
            break;
        }
        }
    }
    for (std::size_t i = 0; i < database.functions.size(); ++i)
        if (!resolve(database, database.functions[i].value, functionNames[i], error)) return false;
    for (std::size_t i = 0; i < database.parameters.size(); ++i)
        if (!resolve(database, database.parameters[i].value, parameterNames[i], error)) return false;
    for (std::size_t i = 0; i < database.phases.size(); ++i)
        for (const char c : magneticTypes) database.phases[i].magnetic = database.phases[i].magnetic || phaseTypes[i].find(c) != std::string::npos;
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
