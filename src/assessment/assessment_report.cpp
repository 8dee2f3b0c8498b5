// The assessment's report.
#include "assessment/assessment_report.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>


namespace {

[[gnu::format(printf, 2, 3)]] void put(std::string& text, const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
}

double coefficient(const PhaseParameters (&model)[3], int k) { return (&model[k / 4].a0)[k % 4]; }

const char* KIND_NAMES[] = {"arrest", "composition", "eutectic"};

void putValue(std::string& text, const char* format, double value)
{
    if (std::isfinite(value))
        put(text, format, value);
    else
        text += "-";
}

// The goodness of fit as "#" lines: the statement, the largest contributions, the warning and the
// slips.
std::string goodnessComments(const GoodnessOfFit& g, const std::vector<BoundaryPoint>& points)
{
    std::string text;
    put(text, "# goodness of fit: chi-square %.4f on %d degrees of freedom (%d residuals less %d coefficients), "
              "probability %.3g\n", g.chiSquare, g.degrees, g.residuals, COEFFICIENTS, g.probability);
    if (!g.largest.empty()) {
        text += "# most beyond their share:";
        for (std::size_t i = 0; i < g.largest.size(); ++i)
            put(text, "%s %s (chi-square %.2f of %d residual%s)", i == 0 ? "" : ",",
                contributorName(g.largest[i], points).c_str(), g.largest[i].chiSquare, g.largest[i].count,
                g.largest[i].count == 1 ? "" : "s");
        text += "\n";
    }
    if (g.poor)
        put(text, "# warning: the fit is poor (probability below %g): the data and the points contradict each other, "
                  "or a scatter is stated too small; every standard error and interval below is widened by "
                  "sqrt(chi-square / degrees of freedom) = %.4f\n", POOR_FIT_PROBABILITY, g.scale);
    for (const ProbableSlip& s : g.slips) {
        const BoundaryPoint& p = points[s.point];
        put(text, "# probable slip: %s line %d (%g K) lies %.1f standard deviations off; without it chi-square is "
                  "%.4f on %d degrees of freedom and the eutectic ", BOUNDARY_POINTS_FILE, p.line, p.T,
            std::fabs(s.normalised), s.chiSquareWithout, s.degreesWithout);
        if (s.haveEutectic)
            put(text, "%.4f K\n", s.eutecticWithout);
        else
            text += "none\n";
    }
    return text;
}

}  // namespace

std::string goodnessLine(const GoodnessOfFit& g)
{
    char line[200];
    std::snprintf(line, sizeof line, "Goodness of fit: chi-square %.2f on %d degrees of freedom, probability %.3g\n",
                  g.chiSquare, g.degrees, g.probability);
    return line;
}

std::string fitWarning(const GoodnessOfFit& g, const std::vector<BoundaryPoint>& points)
{
    std::string text;
    if (g.poor) {
        put(text, "warning: the fit is poor (probability %.3g)", g.probability);
        for (std::size_t i = 0; i < g.largest.size(); ++i)
            put(text, "%s %s", i == 0 ? ": most from" : ",", contributorName(g.largest[i], points).c_str());
        put(text, "; the intervals are widened %.2f times\n", g.scale);
    }
    for (const ProbableSlip& s : g.slips) {
        put(text, "warning: %s line %d is probably a slip, %.1f standard deviations off; without it the eutectic is ",
            BOUNDARY_POINTS_FILE, points[s.point].line, std::fabs(s.normalised));
        if (s.haveEutectic)
            put(text, "%.2f K\n", s.eutecticWithout);
        else
            text += "none\n";
    }
    return text;
}

std::string formatAssessment(const Assessment& a, const GoodnessOfFit& goodness, const FitSamples& samples,
                             const std::vector<BoundaryPoint>& points, const BoundaryScatter& scatter)
{
    std::string text;
    put(text, "# Assessment of Ks-Ps: the twelve coefficients fitted at once to the six data files and %zu boundary "
              "points\n", points.size());
    put(text, "# Levenberg-Marquardt from the straight-line fits: %d iterations, until a step lowered chi-square by "
              "less than %g of itself\n", a.iterations, ASSESSMENT_TOLERANCE);
    int own[3] = {0, 0, 0};  // points of each kind with a scatter of their own
    int ofKind[3] = {0, 0, 0};
    for (const BoundaryPoint& p : points) {
        ++ofKind[pointKind(p)];
        own[pointKind(p)] += !std::isnan(p.sd);
    }
    put(text, "# scatter: arrests %g K, compositions %g, eutectic arrests %g K", scatter.arrest, scatter.composition,
        scatter.eutectic);
    if (own[0] + own[1] + own[2] > 0)
        put(text, ", where a point gives none (%d give their own: the column Scatter)", own[0] + own[1] + own[2]);
    text += "; each data file its own (below)\n";
    put(text, "# chi-square: %.4f before, %.4f after\n", a.before.chiSquare, a.after.chiSquare);
    text += goodnessComments(goodness, points);
    text += "\nCoefficient\tBefore\tAfter\tStandard error\n";
    for (int k = 0; k < COEFFICIENTS; ++k)
        put(text, "%s\t%.6f\t%.6f\t%.6f\n", coefficientName(k), coefficient(a.before.model, k),
            coefficient(a.after.model, k), a.standardError[k]);
    text += "\nCorrelation";
    for (int k = 0; k < COEFFICIENTS; ++k) put(text, "\t%s", coefficientName(k));
    text += "\n";
    for (int i = 0; i < COEFFICIENTS; ++i) {
        text += coefficientName(i);
        for (int j = 0; j < COEFFICIENTS; ++j) put(text, "\t%.3f", a.correlation[i][j]);
        text += "\n";
    }
    text += "\nGroup\tScatter\tCount\tRMS before\tRMS after\tChi-square before\tChi-square after\n";
    for (int p = LIQUID; p <= FCC; ++p)
        for (int kind = ENTHALPY_FIT; kind <= ACTIVITY_FIT; ++kind) {
            const GroupFit& b = a.before.files[p][kind];
            const GroupFit& f = a.after.files[p][kind];
            put(text, "%s\t%.6g\t%d\t%.4f\t%.4f\t%.4f\t%.4f\n", fitFileName(static_cast<PhaseIndex>(p), kind),
                samples.fit[p][kind].sd, f.count, b.rms, f.rms, b.chiSquare, f.chiSquare);
        }
    const double kindScatter[3] = {scatter.arrest, scatter.composition, scatter.eutectic};
    for (int k = 0; k < 3; ++k) {
        const GroupFit& b = a.before.kinds[k];
        const GroupFit& f = a.after.kinds[k];
        put(text, "%s points\t", KIND_NAMES[k]);
        if (own[k] == 0 || own[k] < ofKind[k]) put(text, "%g", kindScatter[k]);
        if (own[k] > 0) text += own[k] < ofKind[k] ? " and own" : "own";
        put(text, "\t%d\t", f.count);
        putValue(text, "%.4f", b.rms);
        text += "\t";
        putValue(text, "%.4f", f.rms);
        put(text, "\t%.4f\t%.4f\n", b.chiSquare, f.chiSquare);
    }
    text += "\nLine\tT\tx\tPair\tPhase\tKind\tComputed before\tResidual before\tComputed after\tResidual after\t"
            "Normalised after\tFlag\tScatter\n";
    const PhaseNames names = builtInPhaseNames();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const BoundaryPoint& p = points[i];
        const PointFit& b = a.before.points[i];
        const PointFit& f = a.after.points[i];
        put(text, "%d\t%.2f\t", p.line, p.T);
        putValue(text, "%.6f", p.haveX ? p.x : NAN);
        const std::string phase =
            p.pair == 0 ? "Liquid"
                        : names.phase[p.side == 0 ? firstPhase(static_cast<PhasePair>(p.pair))
                                                  : secondPhase(static_cast<PhasePair>(p.pair))];
        put(text, "\t%s\t%s\t%s\t", pairName(names, p.pair).c_str(), phase.c_str(), KIND_NAMES[f.kind]);
        const char* format = f.kind == COMPOSITION_POINT ? "%.6f" : "%.4f";
        putValue(text, format, b.computed);
        text += "\t";
        putValue(text, format, b.residual);
        text += "\t";
        putValue(text, format, f.computed);
        text += "\t";
        putValue(text, format, f.residual);
        bool slip = false;
        for (const ProbableSlip& s : goodness.slips) slip = slip || s.point == i;
        std::string flag = !f.onBoundary ? "no boundary: driving force" : std::fabs(f.normalised) > 3 && !slip ? "beyond 3 sd" : "";
        if (slip) flag += flag.empty() ? "probable slip" : "; probable slip";
        // The scatter the point was held to: its own, or its kind's (for a driving force, in x).
        const double sd = !std::isnan(p.sd) ? p.sd : !f.onBoundary ? scatter.composition : kindScatter[f.kind];
        put(text, "\t%.3f\t%s\t%g\n", f.normalised, flag.c_str(), sd);
    }
    text += "\nEutectic\tT\txL\txBCC\txFCC\n";
    const JointFit* fits[2] = {&a.before, &a.after};
    for (int m = 0; m < 2; ++m) {
        text += m == 0 ? "before" : "after";
        if (fits[m]->haveEutectic)
            put(text, "\t%.4f\t%.6f\t%.6f\t%.6f\n", fits[m]->eutectic[0], fits[m]->eutectic[1], fits[m]->eutectic[2],
                fits[m]->eutectic[3]);
        else
            text += "\tnone\n";
    }
    double low = 0;
    double high = 0;
    if (eutecticInterval(a, low, high))
        put(text, "# the assessed eutectic's temperature, 95 %%: %.4f to %.4f K (linear propagation of the covariance)\n",
            low, high);
    return text;
}
