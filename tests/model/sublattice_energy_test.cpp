// The compound energy formalism's energy of a formula unit: its gradient and Hessian in the site
// fractions against central differences of the energy itself, on a phase that holds every kind of
// term (Redlich-Kister of order 2, reciprocal, ternary with vacancies) and magnetic ordering on
// both sides of the Curie temperature and antiferromagnetic; and the magnetic function against
// the identities its constants are built to meet.
#include "model/sublattice_energy.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/magnetic.h"

namespace {

EnergyTerm term(TermKind kind, int parameter, std::initializer_list<int> factors, int rkFirst = -1, int rkSecond = -1,
                int order = 0)
{
    EnergyTerm t{};
    t.kind = kind;
    t.parameter = parameter;
    for (const int f : factors) t.factor[t.factors++] = f;
    t.rkFirst = rkFirst;
    t.rkSecond = rkSecond;
    t.order = order;
    return t;
}

// (A,B,VA)1 (A,B)3: site fractions y0..y2 on the first sublattice, y3..y4 on the second.
ModelPhase testPhase()
{
    ModelPhase p{"TEST", false, {{1, 0, 3}, {3, 3, 2}}, {ELEMENT_A, ELEMENT_B, VACANCY, ELEMENT_A, ELEMENT_B}, {}, true, 0.40, -1,
                 1};
    p.terms = {term(GIBBS_TERM, 0, {0, 3}), term(GIBBS_TERM, 1, {1, 4}),
               term(GIBBS_TERM, 2, {0, 1, 3}, 0, 1, 2),  // L(A,B:A;2)
               term(GIBBS_TERM, 3, {0, 1, 3, 4}),        // L(A,B:A,B;0)
               term(GIBBS_TERM, 4, {0, 1, 2, 4, 1}),     // L(A,B,VA:B;1): weighted by y_B
               term(CURIE_TERM, 5, {0, 3}), term(CURIE_TERM, 6, {1, 4}), term(CURIE_TERM, 7, {0, 1, 3}, 0, 1, 1),
               term(MOMENT_TERM, 8, {0, 3}), term(MOMENT_TERM, 9, {1, 4})};
    return p;
}

}  // namespace

TEST(MagneticFunction, MeetsItsIdentitiesAndItsOwnDerivatives)
{
    for (const double p : {0.40, 0.28}) {
        // g is continuous at tau = 1: the constant A is what makes it so.
        EXPECT_NEAR(magneticFunction(1.0, p).g, magneticFunction(1.0 + 1e-12, p).g, 1e-10);
        for (const double tau : {0.3, 0.9, 1.4, 3.0}) {
            const double h = 1e-5;
            const MagneticFunction f = magneticFunction(tau, p);
            const double dg = (magneticFunction(tau + h, p).g - magneticFunction(tau - h, p).g) / (2 * h);
            const double ddg = (magneticFunction(tau + h, p).dg - magneticFunction(tau - h, p).dg) / (2 * h);
            EXPECT_NEAR(f.dg, dg, 1e-7 * (1 + std::fabs(dg))) << tau;
            EXPECT_NEAR(f.ddg, ddg, 1e-6 * (1 + std::fabs(ddg))) << tau;
        }
    }
    // Far above TC the energy vanishes as tau^-5; far below, g approaches the ordered state's
    // line 1 - 79 / (140 p tau A).
    EXPECT_NEAR(magneticFunction(100.0, 0.4).g, 0.0, 1e-10);
}

TEST(SublatticeEnergy, GradientAndHessianAreThoseOfTheEnergy)
{
    const ModelPhase phase = testPhase();
    const double R = 8.31451;
    // TC: ferromagnetic (900 K) and antiferromagnetic (-600 K, divided by -1) compositions.
    for (const double tcB : {900.0, -600.0}) {
        const double values[] = {-8000, -12000, 5000, -3000, 7000, 1043, tcB, 300, 2.22, 0.5};
        for (const double T : {500.0, 1500.0}) {
            const double y[5] = {0.3, 0.5, 0.2, 0.35, 0.65};
            double g[5];
            double h[25];
            nonIdealEnergy(phase, values, T, R, y, g, h);
            const double step = 1e-6;
            for (int i = 0; i < 5; ++i) {
                double up[5];
                double down[5];
                for (int k = 0; k < 5; ++k) up[k] = down[k] = y[k];
                up[i] += step;
                down[i] -= step;
                double gu[5];
                double gd[5];
                const double Gu = nonIdealEnergy(phase, values, T, R, up, gu, nullptr);
                const double Gd = nonIdealEnergy(phase, values, T, R, down, gd, nullptr);
                EXPECT_NEAR(g[i], (Gu - Gd) / (2 * step), 1e-4) << "dG/dy" << i << " T " << T << " TC " << tcB;
                for (int j = 0; j < 5; ++j)
                    EXPECT_NEAR(h[i * 5 + j], (gu[j] - gd[j]) / (2 * step), 1e-3 * (1 + std::fabs(h[i * 5 + j])))
                        << "d2G/dy" << i << "dy" << j << " T " << T << " TC " << tcB;
            }
            // The energy from the kept monomials is the same sum.
            double monomials[10];
            for (std::size_t k = 0; k < phase.terms.size(); ++k) monomials[k] = termMonomial(phase.terms[k], y);
            EXPECT_NEAR(energyOfMonomials(phase, values, T, R, monomials),
                        nonIdealEnergy(phase, values, T, R, y, nullptr, nullptr), 1e-9);
        }
    }
}

// The magnetic energy of a pure ferromagnet against its closed form, R T ln(beta + 1) g(T / TC).
TEST(SublatticeEnergy, MagneticEnergyOfAPureElementIsItsClosedForm)
{
    const ModelPhase phase = testPhase();
    const double values[] = {0, 0, 0, 0, 0, 1043, 0, 0, 2.22, 0};
    const double y[5] = {1, 0, 0, 1, 0};
    for (const double T : {300.0, 1043.0, 1500.0}) {
        const double tau = T / 1043;
        const double A = 518.0 / 1125 + 11692.0 / 15975 * (1 / 0.4 - 1);
        const double g = tau <= 1 ? 1 - (79 / (140 * 0.4 * tau) + 474.0 / 497 * (1 / 0.4 - 1) *
                                                                     (std::pow(tau, 3) / 6 + std::pow(tau, 9) / 135 +
                                                                      std::pow(tau, 15) / 600)) / A
                                  : -(std::pow(tau, -5) / 10 + std::pow(tau, -15) / 315 + std::pow(tau, -25) / 1500) / A;
        EXPECT_NEAR(nonIdealEnergy(phase, values, T, 8.31451, y, nullptr, nullptr), 8.31451 * T * std::log(3.22) * g,
                    1e-9);
    }
}
