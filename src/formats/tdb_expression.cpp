// The expressions of TDB databases: parsing a function of temperature in ranges into postfix
// steps, resolving its references to functions, and evaluating it with its slope in T.
#include "formats/tdb_expression.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "formats/table_text.h"

std::string upperCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmedText(const std::string& text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (end > first && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(first, end - first);
}

namespace {

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
            if (!std::isfinite(value)) return fail("\"" + digits + "\" lies beyond the range of a double");
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
            const std::string name = upperCase(text.substr(at, end - at));
            at = end;
            // R is the gas constant, also written as a function, "R#".
            if (name == "R" && at < text.size() && text[at] == '#') ++at;
            if (name == "T" || name == "R" || name == "P") {
                steps.push_back({name == "T" ? TdbStep::TEMPERATURE : name == "R" ? TdbStep::GAS : TdbStep::PRESSURE, 0, 0});
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

}  // namespace

// Reads "low expression; high Y expression; high N ..." from `text` at `at` into `value`, its
// function references into `names` (to be resolved).
bool readPiecewise(const std::string& text, std::size_t at, TdbPiecewise& value, std::vector<std::string>& names,
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
            problem = trimmedText(expression.substr(parser.at));
            problem.insert(0, "\"");
            problem += "\" after the expression";
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
        const std::string more = upperCase(word());
        if (more == "N") {
            // At most a reference may follow; more words mean a "!" left out, the next statement
            // taken into this one.
            const std::string rest = trimmedText(text.substr(at));
            word();
            if (trimmedText(text.substr(at)).empty()) return true;
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

// Resolves the function names of a piecewise expression to the database's functions.
bool resolveFunctions(const TdbDatabase& database, TdbPiecewise& value, const std::vector<std::string>& names, ErrorText& error)
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

namespace {

// A value and its derivative in T, carried through every step (forward differentiation): the
// values are computed by the same operations as without it.
struct Dual {
    double v;
    double d;
};

// `cache`, where given, holds each function's value at T once evaluated (NaN before), so that a
// function that many parameters use is evaluated once per temperature; its slopes are then not
// kept, and it serves only evaluations without them.
bool evaluate(const TdbDatabase& database, const TdbPiecewise& value, double T, bool extend, int depth, Dual& result,
              ErrorText& error, double* cache = nullptr)
{
    if (depth > 64)
        return fail(error, "%s: line %d: %s refers to itself through other functions", database.path.c_str(), value.line,
                    value.what.c_str());
    std::size_t k = 0;
    while (k < value.high.size() && T > value.high[k]) ++k;
    if (extend && !value.high.empty() && k == value.high.size() && T > value.low) --k;
    if (!(T >= value.low || (extend && !value.high.empty() && T > 0)) || k == value.high.size())
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
        case TdbStep::GAS:
            v = {database.gasConstant, 0};
            break;
        case TdbStep::PRESSURE:
            v = {database.pressure, 0};
            break;
        case TdbStep::FUNCTION: {
            double* kept = cache != nullptr ? &cache[step.function] : nullptr;
            if (kept != nullptr && !std::isnan(*kept)) {
                v = {*kept, 0};
                break;
            }
            if (!evaluate(database, database.functions[static_cast<std::size_t>(step.function)].value, T, extend, depth + 1, v,
                          error, cache))
                return false;
            if (kept != nullptr) *kept = v.v;
            break;
        }
        case TdbStep::NEGATE:
            stack[top - 1] = {-stack[top - 1].v, -stack[top - 1].d};
            continue;
        case TdbStep::LN:
            if (!(stack[top - 1].v > 0))
                return fail(error, "%s: line %d: %s takes LN of %g at %.10g K, where it is undefined",
                            database.path.c_str(), value.line, value.what.c_str(), stack[top - 1].v, T);
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
    if (!std::isfinite(result.v))
        return fail(error, "%s: line %d: %s is %g at %.10g K: no finite Gibbs energy", database.path.c_str(), value.line,
                    value.what.c_str(), result.v, T);
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
    if (!evaluate(database, value, T, false, 0, dual, error)) return false;
    result = dual.v;
    slope = dual.d;
    return true;
}

bool evaluateTdbExtended(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result,
                         ErrorText& error, double* cache)
{
    Dual dual{0, 0};
    if (!evaluate(database, value, T, true, 0, dual, error, cache)) return false;
    result = dual.v;
    return true;
}
