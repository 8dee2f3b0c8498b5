// The binary system of a TDB database: its phases restricted to two elements and vacancies, and
// their parameters as terms of products of site fractions.
#include "formats/tdb_binary.h"

#include <algorithm>
#include <cmath>
#include <cctype>

namespace {

bool valuesAt(const void* context, double T, double* out)
{
    const auto& v = *static_cast<const TdbParameterValues*>(context);
    v.functions.assign(v.database->functions.size(), NAN);
    for (std::size_t i = 0; i < v.parameters.size(); ++i)
        if (!evaluateTdbExtended(*v.database, *v.parameters[i], T, out[i], v.error, v.functions.data())) return false;
    return true;
}

// The database's elements that are elements of a system (not VA, not the electron gas).
std::vector<std::string> realElements(const TdbDatabase& database)
{
    std::vector<std::string> names;
    for (const TdbElement& e : database.elements)
        if (e.name != "VA" && e.name != "/-" && e.name != "ZE") names.push_back(e.name);
    return names;
}

int speciesOf(const std::string& name, const std::string (&elements)[2])
{
    if (name == elements[0]) return ELEMENT_A;
    if (name == elements[1]) return ELEMENT_B;
    if (name == "VA") return VACANCY;
    return -1;
}

// The phase's sublattices restricted to the system's species; false where some sublattice keeps
// none, or no sublattice an element: the two elements cannot form it.
bool layoutOf(const TdbPhase& phase, const std::string (&elements)[2], ModelPhase& out)
{
    bool atoms = false;
    for (std::size_t s = 0; s < phase.constituents.size(); ++s) {
        Sublattice sub{phase.sites[s], static_cast<int>(out.species.size()), 0};
        for (const std::string& name : phase.constituents[s]) {
            const int species = speciesOf(name, elements);
            if (species < 0) continue;
            out.species.push_back(static_cast<Species>(species));
            atoms = atoms || species != VACANCY;
            ++sub.count;
        }
        if (sub.count == 0) return false;
        out.sublattices.push_back(sub);
    }
    return atoms;
}

// The site fraction of constituent `name` on sublattice s, or -1.
int siteIndex(const TdbPhase& phase, const ModelPhase& model, std::size_t s, const std::string& name,
              const std::string (&elements)[2])
{
    const int species = speciesOf(name, elements);
    const Sublattice& sub = model.sublattices[s];
    for (int c = sub.first; c < sub.first + sub.count; ++c)
        if (model.species[static_cast<std::size_t>(c)] == species) return c;
    (void)phase;
    return -1;
}

// The term of parameter p, or kept = false where it names a constituent outside the system.
bool termOf(const TdbDatabase& database, const TdbPhase& phase, const ModelPhase& model, const TdbParameter& p,
            const std::string (&elements)[2], int index, EnergyTerm& term, bool& kept, ErrorText& error)
{
    const char* path = database.path.c_str();
    kept = false;
    if (p.constituents.size() != phase.constituents.size())
        return fail(error, "%s: line %d: %s names constituents of %zu sublattices; %s has %zu", path, p.value.line,
                    p.value.what.c_str(), p.constituents.size(), phase.name.c_str(), phase.constituents.size());
    term = EnergyTerm{};
    term.kind = p.kind == "TC" ? CURIE_TERM : p.kind == "G" || p.kind == "L" ? GIBBS_TERM : MOMENT_TERM;
    term.parameter = index;
    term.line = p.value.line;
    term.rkFirst = term.rkSecond = -1;
    int interacting = 0;
    for (std::size_t s = 0; s < p.constituents.size(); ++s) {
        const std::vector<std::string>& names = p.constituents[s];
        for (const std::string& name : names)
            if (name == "*")
                return fail(error, "%s: line %d: %s: a wildcard constituent \"*\", which is not modelled", path,
                            p.value.line, p.value.what.c_str());
        int site[4] = {-1, -1, -1, -1};
        if (names.size() > 3)
            return fail(error, "%s: line %d: %s: an interaction of %zu constituents on one sublattice, which is not "
                               "modelled", path, p.value.line, p.value.what.c_str(), names.size());
        for (std::size_t k = 0; k < names.size(); ++k) {
            site[k] = siteIndex(phase, model, s, names[k], elements);
            if (site[k] < 0) return true;  // a constituent of another system
        }
        if (names.size() > 1) ++interacting;
        if (term.factors + static_cast<int>(names.size()) + 1 > MAX_FACTORS)
            return fail(error, "%s: line %d: %s names more than %d constituents, which is not modelled", path,
                        p.value.line, p.value.what.c_str(), MAX_FACTORS - 1);
        for (std::size_t k = 0; k < names.size(); ++k) term.factor[term.factors++] = site[k];
        if (names.size() == 2 && p.order > 0 && term.rkFirst < 0) {
            term.rkFirst = site[0];
            term.rkSecond = site[1];
            term.order = p.order;
        }
        if (names.size() == 3 && p.order > 0) {
            if (p.order > 2)
                return fail(error, "%s: line %d: %s: a ternary interaction of order %d, which is not modelled", path,
                            p.value.line, p.value.what.c_str(), p.order);
            term.factor[term.factors++] = site[p.order];
        }
    }
    if (interacting > 1 && p.order > 0)
        return fail(error, "%s: line %d: %s: a reciprocal parameter of order %d, which is not modelled", path,
                    p.value.line, p.value.what.c_str(), p.order);
    kept = true;
    return true;
}

bool isDeclared(const TdbDatabase& database, const std::string& name)
{
    for (const TdbElement& e : database.elements)
        if (e.name == name) return true;
    return std::find(database.species.begin(), database.species.end(), name) != database.species.end();
}

const TdbParameter* parameterOf(const TdbDatabase& database, const TdbPiecewise* value)
{
    for (const TdbParameter& p : database.parameters)
        if (&p.value == value) return &p;
    return nullptr;
}

bool sameConstituents(const TdbParameter& a, const TdbParameter& b)
{
    if (a.constituents.size() != b.constituents.size()) return false;
    for (std::size_t s = 0; s < a.constituents.size(); ++s) {
        std::vector<std::string> x = a.constituents[s];
        std::vector<std::string> y = b.constituents[s];
        std::sort(x.begin(), x.end());
        std::sort(y.begin(), y.end());
        if (x != y) return false;
    }
    return true;
}

bool isEnergyKind(const std::string& kind)
{
    return kind == "G" || kind == "L" || kind == "TC" || kind == "BMAGN" || kind == "BM";
}

}  // namespace

const ErrorText& parameterError(const TdbParameterValues& values) { return values.error; }

namespace {

void narrow(const TdbDatabase& database, const TdbPiecewise& value, int depth, StatedRange& range)
{
    if (depth > 64 || value.high.empty() || value.high.back() - value.low < 10) return;
    if (value.low > range.lowest) {
        range.lowest = value.low;
        range.lowBound = &value;
    }
    if (value.high.back() < range.highest) {
        range.highest = value.high.back();
        range.highBound = &value;
    }
    for (const std::vector<TdbStep>& expression : value.ranges)
        for (const TdbStep& step : expression)
            if (step.kind == TdbStep::FUNCTION)
                narrow(database, database.functions[static_cast<std::size_t>(step.function)].value, depth + 1, range);
}

}  // namespace

StatedRange statedRange(const TdbParameterValues& values)
{
    StatedRange range{-INFINITY, INFINITY, nullptr, nullptr};
    for (const TdbPiecewise* p : values.parameters) narrow(*values.database, *p, 0, range);
    return range;
}

bool chooseBinarySystem(const TdbDatabase& database, const std::string (&elements)[2],
                        const std::vector<std::string>& phases, const std::string& xElement, double gasConstant,
                        BinarySystem& system, TdbParameterValues& values, ErrorText& error)
{
    const char* path = database.path.c_str();
    const std::vector<std::string> known = realElements(database);
    std::string chosen[2] = {elements[0], elements[1]};
    if (chosen[0].empty()) {
        if (known.size() != 2)
            return fail(error, "%s: the database holds %zu elements; name the two of the system (e.g. --elements %s,%s)",
                        path, known.size(), known.empty() ? "A" : known[0].c_str(),
                        known.size() < 2 ? "B" : known[1].c_str());
        chosen[0] = known[0];
        chosen[1] = known[1];
    }
    for (const std::string& e : chosen)
        if (std::find(known.begin(), known.end(), e) == known.end())
            return fail(error, "%s: %s is not an element of the database", path, e.c_str());
    if (chosen[0] == chosen[1]) return fail(error, "%s: the two elements are the same, %s", path, chosen[0].c_str());
    if (chosen[1] < chosen[0]) std::swap(chosen[0], chosen[1]);
    if (!xElement.empty()) {
        if (xElement != chosen[0] && xElement != chosen[1])
            return fail(error, "%s: the database holds no element %s: x can count %s or %s", path, xElement.c_str(),
                        chosen[0].c_str(), chosen[1].c_str());
        if (xElement == chosen[0]) std::swap(chosen[0], chosen[1]);
    }
    system = BinarySystem{};
    system.elements[0] = chosen[0];
    system.elements[1] = chosen[1];
    system.gasConstant = gasConstant;
    values = TdbParameterValues{&database, {}, {}, {}};
    for (const std::string& name : phases) {
        bool found = false;
        for (const TdbPhase& p : database.phases) found = found || p.name == name;
        if (!found) return fail(error, "%s: the database holds no phase %s", path, name.c_str());
    }
    for (const TdbPhase& phase : database.phases) {
        const bool named = phases.empty() || std::find(phases.begin(), phases.end(), phase.name) != phases.end();
        ModelPhase model{phase.name, phase.liquid, {}, {}, {}, phase.magnetic, phase.structureFactor,
                         phase.antiferromagnetic, phase.line};
        if (!layoutOf(phase, chosen, model)) {
            if (named && !phases.empty())
                return fail(error, "%s: line %d: %s cannot be formed of %s and %s", path, phase.line, phase.name.c_str(),
                            chosen[0].c_str(), chosen[1].c_str());
            continue;
        }
        if (!named) {
            system.leftOut.push_back(phase.name);
            continue;
        }
        if (phase.ionic)
            return fail(error, "%s: line %d: %s is an ionic liquid, which is not modelled", path, phase.line,
                        phase.name.c_str());
        if (phase.disorderedPart)
            return fail(error, "%s: line %d: %s has a disordered part, which is not modelled", path, phase.line,
                        phase.name.c_str());
        if (constituentCount(model) > MAX_CONSTITUENTS || freeVariables(model) > MAX_FREE_SITE_FRACTIONS)
            return fail(error, "%s: line %d: %s has more than %d constituents or %d free site fractions in the system, "
                               "which is not modelled", path, phase.line, phase.name.c_str(), MAX_CONSTITUENTS,
                        MAX_FREE_SITE_FRACTIONS);
        for (const std::vector<std::string>& sublattice : phase.constituents)
            for (const std::string& name : sublattice)
                if (name != "VA" && name != "/-" && !isDeclared(database, name))
                    return fail(error, "%s: line %d: %s has the constituent %s, which the database declares neither as "
                                       "an element nor as a species", path, phase.line, phase.name.c_str(), name.c_str());
        const std::size_t firstTerm = values.parameters.size();
        for (const TdbParameter& p : database.parameters) {
            if (p.phase != phase.name || !isEnergyKind(p.kind)) continue;
            // The same parameter twice would be added up where the file meant one.
            for (std::size_t k = firstTerm; k < values.parameters.size(); ++k) {
                const TdbParameter& other = *parameterOf(database, values.parameters[k]);
                if (other.kind == p.kind && other.order == p.order && sameConstituents(other, p))
                    return fail(error, "%s: line %d: %s is given twice (also line %d)", path, p.value.line,
                                p.value.what.c_str(), other.value.line);
            }
            EnergyTerm term;
            bool kept = false;
            if (!termOf(database, phase, model, p, chosen, static_cast<int>(values.parameters.size()), term, kept,
                        error))
                return false;
            if (!kept) continue;
            model.terms.push_back(term);
            values.parameters.push_back(&p.value);
        }
        system.phases.push_back(std::move(model));
    }
    if (system.phases.empty())
        return fail(error, "%s: no phase of the database can be formed of %s and %s", path, chosen[0].c_str(),
                    chosen[1].c_str());
    system.parameters = {valuesAt, &values, static_cast<int>(values.parameters.size())};
    return true;
}

namespace {

// The names of a comma-separated list in upper case; false on an empty one.
bool namesOf(const std::string& list, std::vector<std::string>& names)
{
    std::string name;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != ',') {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(list[i])));
            continue;
        }
        if (name.empty()) return false;
        names.push_back(name);
        name.clear();
    }
    return true;
}

}  // namespace

bool loadBinary(const char* path, const std::string& elements, const std::string& phases, const std::string& xElement,
                double gasConstant, LoadedBinary& loaded, ErrorText& error)
{
    if (!readTdb(path, loaded.database, error)) return false;
    loaded.database.gasConstant = gasConstant;
    std::string pair[2] = {"", ""};
    if (!elements.empty()) {
        std::vector<std::string> names;
        if (!namesOf(elements, names) || names.size() != 2)
            return fail(error, "--elements takes two elements, as AL,MG, not \"%.80s\"", elements.c_str());
        pair[0] = names[0];
        pair[1] = names[1];
    }
    std::vector<std::string> named;
    if (!phases.empty() && !namesOf(phases, named)) return fail(error, "--phases: an empty name in \"%.80s\"", phases.c_str());
    std::string x;
    for (const char c : xElement) x += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!chooseBinarySystem(loaded.database, pair, named, x, gasConstant, loaded.system, loaded.values, error))
        return false;
    for (int e = 0; e < 2; ++e) loaded.symbols[e] = chemicalSymbol(loaded.system.elements[e]);
    return true;
}
