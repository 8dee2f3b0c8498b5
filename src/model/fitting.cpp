// Least-squares fitting of the subregular model to measured enthalpies and activities.
#include "model/fitting.h"

#include <cmath>

void fitLine(LineFit& fit, const double* x, const double* y, int n)
{
    double sx = 0;
    double sy = 0;
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (int i = 0; i < n; ++i) {
        sx = sx + x[i];
        sy = sy + y[i];
        sxy = sxy + x[i] * y[i];
        sxx = sxx + x[i] * x[i];
        syy = syy + y[i] * y[i];
    }
    const double count = n;
    const double d = count * sxx - sx * sx;
    fit.intercept = (sxx * sy - sxy * sx) / d;
    fit.slope = (count * sxy - sx * sy) / d;
    const double covariance = (count * sxy - sx * sy) / std::sqrt(d);
    fit.r = covariance / std::sqrt(count * syy - sy * sy);
}

double enthalpyOrdinate(PhaseIndex phase, double x, double enthalpy)
{
    switch (phase) {
    case LIQUID:
        return (enthalpy / x) / (1 - x);
    case BCC: {
        const double reduced = enthalpy - (1 - x) * PURE_A_BCC_OVER_FCC;
        return (reduced / x) / (1 - x);
    }
    case FCC: {
        const double reduced = enthalpy - PURE_B_FCC_OVER_BCC * x;
        return (reduced / x) / (1 - x);
    }
    }
    return NAN;
}

double activityOrdinate(PhaseIndex phase, double x, double activity)
{
    switch (phase) {
    case LIQUID:
        return ((std::log(activity / x) * RT1500) / (1 - x)) / (1 - x);
    case BCC:  // activity of A, referred to pure A as FCC
        return ((std::log(activity / (1 - x)) * RT1100 - PURE_A_BCC_OVER_FCC) / x) / x;
    case FCC:  // activity of B, referred to pure B as BCC
        return ((std::log(activity / x) * RT1100 - PURE_B_FCC_OVER_BCC) / (1 - x)) / (1 - x);
    }
    return NAN;
}

PhaseParameters coefficientsFromFits(PhaseIndex phase, const LineFit& enthalpyFit, const LineFit& activityFit)
{
    PhaseParameters p{};
    p.a0 = enthalpyFit.intercept;
    p.b0 = enthalpyFit.slope;
    const double intercept = activityFit.intercept;
    const double slope = activityFit.slope;
    switch (phase) {
    case LIQUID:
        p.a1 = (intercept - p.a0) / LIQUID_ACTIVITY_TEMPERATURE;
        p.b1 = (slope / 2 - p.b0) / LIQUID_ACTIVITY_TEMPERATURE;
        break;
    case BCC:  // the intercept is L0 - L1, so L1 goes back in before L0 is divided out
        p.b1 = (slope / 2 - p.b0) / SOLID_ACTIVITY_TEMPERATURE;
        p.a1 = (((intercept - p.a0) + p.b0) + p.b1 * SOLID_ACTIVITY_TEMPERATURE) / SOLID_ACTIVITY_TEMPERATURE;
        break;
    case FCC:
        p.a1 = (intercept - p.a0) / SOLID_ACTIVITY_TEMPERATURE;
        p.b1 = (slope / 2 - p.b0) / SOLID_ACTIVITY_TEMPERATURE;
        break;
    }
    return p;
}

void fitPhase(PhaseIndex phase, const PhaseData& data, PhaseFit& fit)
{
    const DataSeries& activity = data.activity;
    const int n = activity.count;
    double y[MAX_PAIRS] = {};
    for (int i = 0; i < n; ++i) y[i] = enthalpyOrdinate(phase, activity.x[i], data.enthalpy.value[i]);
    fitLine(fit.enthalpy, activity.x, y, n);
    for (int i = 0; i < n; ++i) y[i] = activityOrdinate(phase, activity.x[i], activity.value[i]);
    fitLine(fit.activity, activity.x, y, n);
    fit.parameters = coefficientsFromFits(phase, fit.enthalpy, fit.activity);
}

void fitModel(const MeasuredData& data, PhaseParameters& liquid, PhaseParameters& bcc, PhaseParameters& fcc,
              PhaseFit (&fits)[3])
{
    for (int p = LIQUID; p <= FCC; ++p) fitPhase(static_cast<PhaseIndex>(p), data.phase[p], fits[p]);
    liquid = fits[LIQUID].parameters;
    bcc = fits[BCC].parameters;
    fcc = fits[FCC].parameters;
}
