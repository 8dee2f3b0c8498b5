// The built-in model's phases and their terms at any temperature.
#include "model/builtin_system.h"

namespace {

// Per phase: G of pure Ps, G of pure Ks, the order-0 and the order-1 Redlich-Kister parameters.
constexpr int VALUES_PER_PHASE = 4;

bool valuesAt(const void* context, double T, double* values)
{
    const auto& c = *static_cast<const BuiltInCoefficients*>(context);
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const InteractionCoefficients L = interactionCoefficients(c.model[p], T);
        double* v = values + VALUES_PER_PHASE * p;
        v[0] = pureAGibbsEnergy(phase, T);
        v[1] = pureBGibbsEnergy(phase, T);
        v[2] = L.L0 + L.L1 / 2;
        v[3] = -L.L1 / 2;
    }
    return true;
}

EnergyTerm term(int parameter, std::initializer_list<int> factors, int order)
{
    EnergyTerm t{};
    t.kind = GIBBS_TERM;
    t.parameter = parameter;
    for (const int f : factors) t.factor[t.factors++] = f;
    t.rkFirst = order > 0 ? 0 : -1;
    t.rkSecond = order > 0 ? 1 : -1;
    t.order = order;
    return t;
}

}  // namespace

BinarySystem builtInSystem(const BuiltInCoefficients& coefficients)
{
    BinarySystem system;
    system.elements[0] = "PS";
    system.elements[1] = "KS";
    system.gasConstant = GAS_CONSTANT;
    const char* names[3] = {"Liquid", "BCC", "FCC"};
    for (int p = LIQUID; p <= FCC; ++p) {
        const int first = VALUES_PER_PHASE * p;
        ModelPhase phase{names[p], p == LIQUID, {{1.0, 0, 2}}, {ELEMENT_A, ELEMENT_B}, {}, false, 0, 0, 0};
        phase.terms = {term(first, {0}, 0), term(first + 1, {1}, 0), term(first + 2, {0, 1}, 0),
                       term(first + 3, {0, 1}, 1)};
        system.phases.push_back(phase);
    }
    system.parameters = {valuesAt, &coefficients, 3 * VALUES_PER_PHASE};
    return system;
}
