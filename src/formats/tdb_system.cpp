// The binary system of a TDB database and the Gibbs energies of its phases.
#include "formats/tdb_system.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

const TdbPhase* phaseNamed(const TdbDatabase& database, const std::string& name)
{
    for (const TdbPhase& phase : database.phases)
        if (phase.name == name) return &phase;
    return nullptr;
}

// The phase's terms from the database's parameters: the sublattice that holds the elements (the
// others hold only vacancies), each element alone, each interaction with its order and sign.
bool phaseOf(const TdbDatabase& database, const TdbPhase& phase, const std::string (&elements)[2], TdbSystemPhase& out,
             ErrorText& error)
{
    const char* path = database.path.c_str();
    out = TdbSystemPhase{phase.name, 0, {nullptr, nullptr}, {}};
    // A magnetic type definition adds to G only through the phase's TC and BMAGN parameters:
    // without them (databases declare it for the phase in every system) the term is zero.
    if (phase.magnetic)
        for (const TdbParameter& p : database.parameters)
            if (p.phase == phase.name && (p.kind == "TC" || p.kind == "BMAGN" || p.kind == "BM"))
                return fail(error, "%s: line %d: %s has a magnetic contribution (a TYPE_DEFINITION with MAGNETIC and "
                                   "%s, line %d), which is not modelled",
                            path, phase.line, phase.name.c_str(), p.value.what.c_str(), p.value.line);
    int substitutional = -1;
    for (std::size_t s = 0; s < phase.constituents.size(); ++s) {
        const std::vector<std::string>& species = phase.constituents[s];
        if (species.size() == 1 && species[0] == "VA") continue;
        if (substitutional >= 0)
            return fail(error, "%s: line %d: %s has more than one sublattice of elements, which is not modelled", path,
                        phase.line, phase.name.c_str());
        substitutional = static_cast<int>(s);
    }
    if (substitutional < 0)
        return fail(error, "%s: line %d: %s has no constituents", path, phase.line, phase.name.c_str());
    out.sites = phase.sites[static_cast<std::size_t>(substitutional)];
    for (const std::string& species : phase.constituents[static_cast<std::size_t>(substitutional)])
        if (species != elements[0] && species != elements[1] && species != "VA")
            return fail(error, "%s: line %d: %s has the constituent %s, which is not an element of the system (%s, %s)",
                        path, phase.line, phase.name.c_str(), species.c_str(), elements[0].c_str(),
                        elements[1].c_str());
    for (const TdbParameter& p : database.parameters) {
        if (p.phase != phase.name) continue;
        if (p.kind != "G" && p.kind != "L")
            return fail(error, "%s: line %d: %s: a %s parameter, which is not modelled", path, p.value.line,
                        p.value.what.c_str(), p.kind.c_str());
        if (p.constituents.size() != phase.constituents.size())
            return fail(error, "%s: line %d: %s does not name a constituent for each sublattice of %s", path,
                        p.value.line, p.value.what.c_str(), phase.name.c_str());
        const std::vector<std::string>& species = p.constituents[static_cast<std::size_t>(substitutional)];
        int index[3] = {-1, -1, -1};
        for (std::size_t k = 0; k < species.size() && k < 3; ++k)
            for (int e = 0; e < 2; ++e)
                if (species[k] == elements[e]) index[k] = e;
        if (species.size() > 2)
            return fail(error, "%s: line %d: %s is a parameter of %zu elements, which is not modelled", path,
                        p.value.line, p.value.what.c_str(), species.size());
        if (index[0] < 0 || (species.size() == 2 && (index[1] < 0 || index[1] == index[0])))
            return fail(error, "%s: line %d: %s names an element that is not one of the system's", path, p.value.line,
                        p.value.what.c_str());
        if (species.size() == 1) {
            if (p.order != 0 || out.pure[index[0]] != nullptr)
                return fail(error, "%s: line %d: %s: a second term of a pure element, or one of order %d", path,
                            p.value.line, p.value.what.c_str(), p.order);
            out.pure[index[0]] = &p.value;
        } else {
            // Two terms of one order would be added up where the file meant one.
            for (const TdbInteraction& other : out.interactions)
                if (other.order == p.order)
                    return fail(error, "%s: line %d: %s: the interaction of order %d is given twice (also line %d)", path,
                                p.value.line, p.value.what.c_str(), p.order, other.value->line);
            out.interactions.push_back({p.order, index[0] == 0 || p.order % 2 == 0 ? 1.0 : -1.0, &p.value});
        }
    }
    for (int e = 0; e < 2; ++e)
        if (out.pure[e] == nullptr)
            return fail(error, "%s: line %d: %s has no G parameter of %s alone", path, phase.line, phase.name.c_str(),
                        elements[e].c_str());
    return true;
}

// Narrows `range` to the temperatures of `value` and of the functions it uses; false on a circle
// of functions (deeper than any database nests them).
bool narrowRange(const TdbDatabase& database, const TdbPiecewise& value, int depth, TdbRange& range)
{
    if (depth > 64) return false;
    if (value.low > range.lowest) range = {value.low, range.highest, &value, range.highBound};
    if (!value.high.empty() && value.high.back() < range.highest) range = {range.lowest, value.high.back(), range.lowBound, &value};
    for (const std::vector<TdbStep>& expression : value.ranges)
        for (const TdbStep& step : expression)
            if (step.kind == TdbStep::FUNCTION &&
                !narrowRange(database, database.functions[static_cast<std::size_t>(step.function)].value, depth + 1, range))
                return false;
    return true;
}

bool curvesOfModel(const void* context, double T, PhaseCurve (&curves)[3])
{
    const TdbModel& model = *static_cast<const TdbModel*>(context);
    ErrorText error{};
    for (int k = 0; k < 3; ++k)
        if (!tdbPhaseCurve(*model.database, model.system->phases[k], T, curves[k], error)) return false;
    for (PhaseCurve& curve : curves) curve.gasConstant = model.gasConstant;
    return true;
}

}  // namespace

bool chooseTdbSystem(const TdbDatabase& database, const std::vector<std::string>& phases, TdbSystem& system,
                     ErrorText& error, const std::string& element)
{
    const char* path = database.path.c_str();
    system = TdbSystem{};
    std::vector<std::string> elements;
    for (const TdbElement& element : database.elements)
        if (element.name != "VA" && element.name != "/-") elements.push_back(element.name);
    if (elements.size() != 2)
        return fail(error, "%s: the database holds %zu element%s; the programs compute binary systems", path,
                    elements.size(), elements.size() == 1 ? "" : "s");
    std::sort(elements.begin(), elements.end());
    if (!element.empty() && element != elements[1]) {
        if (element != elements[0])
            return fail(error, "%s: the database holds no element %s: x can count %s or %s", path, element.c_str(),
                        elements[0].c_str(), elements[1].c_str());
        std::swap(elements[0], elements[1]);
    }
    system.elements[0] = elements[0];
    system.elements[1] = elements[1];

    std::vector<const TdbPhase*> chosen;
    if (phases.empty()) {
        if (database.phases.size() != 3)
            return fail(error, "%s: the database holds %zu phases: name the liquid and the two solids to take", path,
                        database.phases.size());
        for (const TdbPhase& phase : database.phases) chosen.push_back(&phase);
    } else {
        for (const std::string& name : phases) {
            const TdbPhase* phase = phaseNamed(database, name);
            if (phase == nullptr) return fail(error, "%s: the database holds no phase %s", path, name.c_str());
            chosen.push_back(phase);
        }
        if (chosen.size() != 3) return fail(error, "%s: %zu phases named: a liquid and two solids are needed", path, chosen.size());
    }
    // The liquid first, then the solids in the file's order, whatever order --phases names them in.
    std::sort(chosen.begin(), chosen.end(), [](const TdbPhase* a, const TdbPhase* b) { return a < b; });
    std::stable_partition(chosen.begin(), chosen.end(), [](const TdbPhase* p) { return p->liquid; });
    if (!chosen[0]->liquid || chosen[1]->liquid)
        return fail(error, "%s: the phases %s, %s and %s are not a liquid and two solids", path, chosen[0]->name.c_str(),
                    chosen[1]->name.c_str(), chosen[2]->name.c_str());
    for (int k = 0; k < 3; ++k)
        if (!phaseOf(database, *chosen[static_cast<std::size_t>(k)], system.elements, system.phases[k], error)) return false;
    for (const TdbPhase& phase : database.phases)
        if (std::find(chosen.begin(), chosen.end(), &phase) == chosen.end()) system.leftOut.push_back(phase.name);
    return true;
}

bool tdbPhaseCurve(const TdbDatabase& database, const TdbSystemPhase& phase, double T, PhaseCurve& curve,
                   ErrorText& error)
{
    curve = PhaseCurve{};
    curve.gasConstant = TDB_GAS_CONSTANT;
    for (int e = 0; e < 2; ++e) {
        if (!evaluateTdb(database, *phase.pure[e], T, curve.pure[e], curve.pureSlope[e], error)) return false;
        curve.pure[e] /= phase.sites;
        curve.pureSlope[e] /= phase.sites;
    }
    for (const TdbInteraction& term : phase.interactions) {
        if (term.order > MAX_CURVE_ORDER)
            return fail(error, "%s: line %d: %s: an interaction of order %d, above the %d taken", database.path.c_str(),
                        term.value->line, term.value->what.c_str(), term.order, MAX_CURVE_ORDER);
        double L = 0;
        double slope = 0;
        if (!evaluateTdb(database, *term.value, T, L, slope, error)) return false;
        curve.L[term.order] += term.sign * L / phase.sites;
        curve.LSlope[term.order] += term.sign * slope / phase.sites;
        curve.orders = std::max(curve.orders, term.order + 1);
    }
    return true;
}

bool tdbGibbsEnergy(const TdbDatabase& database, const TdbSystemPhase& phase, double x, double T, double& G,
                    double& slope, ErrorText& error)
{
    PhaseCurve curve;
    if (!tdbPhaseCurve(database, phase, T, curve, error)) return false;
    curveGibbsEnergy(curve, x, T, G, slope);
    return true;
}

bool tdbTemperatureRange(const TdbDatabase& database, const TdbSystem& system, TdbRange& range, ErrorText& error)
{
    range = {-INFINITY, INFINITY, nullptr, nullptr};
    for (const TdbSystemPhase& phase : system.phases) {
        std::vector<const TdbPiecewise*> terms{phase.pure[0], phase.pure[1]};
        for (const TdbInteraction& term : phase.interactions) terms.push_back(term.value);
        for (const TdbPiecewise* term : terms)
            if (!narrowRange(database, *term, 0, range))
                return fail(error, "%s: line %d: %s uses functions that refer to each other in a circle",
                            database.path.c_str(), term->line, term->what.c_str());
    }
    if (!(range.lowest < range.highest))
        return fail(error, "%s: line %d: %s holds from %g K, but %s (line %d) only up to %g K: no temperature at which "
                           "every term is defined", database.path.c_str(), range.lowBound->line,
                    range.lowBound->what.c_str(), range.lowest, range.highBound->what.c_str(), range.highBound->line,
                    range.highest);
    return true;
}

CurveSource tdbCurveSource(const TdbModel& model, const TdbRange& range)
{
    return {curvesOfModel, &model, range.lowest, range.highest};
}

bool loadTdb(const char* path, const std::string& phases, LoadedTdb& loaded, ErrorText& error,
             const std::string& element)
{
    if (!readTdb(path, loaded.database, error)) return false;
    std::vector<std::string> named;
    if (!phases.empty()) {
        std::string name;
        for (std::size_t i = 0; i <= phases.size(); ++i) {
            if (i < phases.size() && phases[i] != ',') {
                name += static_cast<char>(std::toupper(static_cast<unsigned char>(phases[i])));
                continue;
            }
            if (name.empty()) return fail(error, "--phases: an empty name in \"%.80s\"", phases.c_str());
            named.push_back(name);
            name.clear();
        }
    }
    std::string upper;
    for (const char c : element) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!chooseTdbSystem(loaded.database, named, loaded.system, error, upper) ||
        !tdbTemperatureRange(loaded.database, loaded.system, loaded.range, error))
        return false;
    loaded.model = {&loaded.database, &loaded.system, TDB_GAS_CONSTANT};
    // Every term evaluated once, so that what cannot be evaluated (a function used out of its
    // ranges by a term of another) is named now, not met by a solver as a missing curve.
    for (const double T : {loaded.range.lowest, loaded.range.highest}) {
        PhaseCurve curve;
        for (const TdbSystemPhase& phase : loaded.system.phases)
            if (!tdbPhaseCurve(loaded.database, phase, T, curve, error)) return false;
    }
    for (int e = 0; e < 2; ++e) loaded.symbols[e] = chemicalSymbol(loaded.system.elements[e]);
    return true;
}
