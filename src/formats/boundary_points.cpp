// The measured boundary points read, and their residuals written.
#include "formats/boundary_points.h"

#include <cmath>
#include <cstdlib>
#include <strings.h>

#include "formats/table_text.h"

namespace {

constexpr const char* PAIR_NAMES[] = {"eutectic", "Liquid/FCC", "Liquid/BCC", "BCC/FCC"};

bool decimal(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && std::isfinite(value);
}

int pairOf(const PhaseNames& names, const std::string& name)
{
    const std::size_t slash = name.find('/');
    if (slash == std::string::npos) return -1;
    const std::string first = name.substr(0, slash);
    const std::string second = name.substr(slash + 1);
    for (int p = 1; p <= 3; ++p) {
        const auto pair = static_cast<PhasePair>(p);
        const std::string& a = names.phase[firstPhase(pair)];
        const std::string& b = names.phase[secondPhase(pair)];
        if ((namesPhase(first, a) && namesPhase(second, b)) || (namesPhase(first, b) && namesPhase(second, a))) return p;
    }
    return -1;
}

void appendValue(std::string& text, const char* format, double value)
{
    if (std::isfinite(value))
        appendFormat(text, format, value);
    else
        text += "-";
}

}  // namespace

bool namesPhase(const std::string& typed, const std::string& phase)
{
    if (strcasecmp(typed.c_str(), phase.c_str()) == 0) return true;
    const std::size_t suffix = phase.find('_');
    return suffix != std::string::npos && suffix == typed.size() && strncasecmp(typed.c_str(), phase.c_str(), suffix) == 0;
}

const char* pairName(int pair) { return PAIR_NAMES[pair]; }

PhaseNames builtInPhaseNames() { return {{"Liquid", "BCC", "FCC"}}; }

std::string pairName(const PhaseNames& names, int pair)
{
    if (pair == 0) return PAIR_NAMES[0];
    const auto p = static_cast<PhasePair>(pair);
    return names.phase[firstPhase(p)] + "/" + names.phase[secondPhase(p)];
}

bool readBoundaryPoints(const char* path, std::vector<BoundaryPoint>& points, bool& present, ErrorText& error,
                        const PhaseNames& names)
{
    const std::string example = pairName(names, 1) + " " + names.phase[LIQUID];
    points.clear();
    present = !missing(path);
    if (!present) return true;
    std::vector<std::string> lines;
    if (!readLines(path, lines, error)) return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        std::vector<std::string> w = wordsBeforeComment(lines[i]);
        if (w.empty()) continue;
        BoundaryPoint point{line, 0, false, NAN, 0, 0};
        // A last field that is a number, after the pair and phase or after "eutectic": the
        // point's own scatter.
        const bool eutectic = w.size() >= 3 && strcasecmp(w[2].c_str(), "eutectic") == 0;
        if (w.size() == (eutectic ? 4u : 5u)) {
            if (!decimal(w.back(), point.sd) || !(point.sd > 0))
                return fail(error, "%s: line %d: \"%.40s\" is not a standard deviation above 0", path, line,
                            w.back().c_str());
            w.pop_back();
        }
        if (w.size() < 3 || w.size() > 4)
            return fail(error, "%s: line %d: expected T, x, the pair and the phase (1050 0.30 %s), or T, "
                               "x or - and eutectic (823 - eutectic)",
                        path, line, example.c_str());
        // Below 1 K the model's R T ln x terms mean nothing, as for the temperatures of the sweep.
        if (!decimal(w[0], point.T) || !(point.T >= 1))
            return fail(error, "%s: line %d: \"%.40s\" is not a temperature in K of at least 1", path, line,
                        w[0].c_str());
        if (w[1] != "-") {
            if (!decimal(w[1], point.x) || !(point.x > 0 && point.x < 1))
                return fail(error, "%s: line %d: \"%.40s\" is not a mole fraction strictly between 0 and 1", path, line,
                            w[1].c_str());
            point.haveX = true;
        }
        if (w.size() == 3) {
            if (strcasecmp(w[2].c_str(), "eutectic") != 0)
                return fail(error, "%s: line %d: \"%.40s\" is not \"eutectic\"; a boundary point names the pair and the "
                                   "phase",
                            path, line, w[2].c_str());
        } else {
            point.pair = pairOf(names, w[2]);
            if (point.pair < 0)
                return fail(error, "%s: line %d: \"%.40s\" is not a pair of phases: %s, %s or %s", path, line,
                            w[2].c_str(), pairName(names, 1).c_str(), pairName(names, 2).c_str(),
                            pairName(names, 3).c_str());
            const auto pair = static_cast<PhasePair>(point.pair);
            if (namesPhase(w[3], names.phase[firstPhase(pair)]))
                point.side = 0;
            else if (namesPhase(w[3], names.phase[secondPhase(pair)]))
                point.side = 1;
            else
                return fail(error, "%s: line %d: \"%.40s\" is not a phase of %s", path, line, w[3].c_str(),
                            pairName(names, point.pair).c_str());
            if (!point.haveX)
                return fail(error, "%s: line %d: a boundary point needs its composition", path, line);
        }
        points.push_back(point);
    }
    return true;
}

ResidualSummary summariseResiduals(const std::vector<PointResidual>& residuals)
{
    ResidualSummary s{static_cast<int>(residuals.size()), 0, 0, 0, 0, 0, 0, 0, 0};
    double squaresT = 0;
    double squaresX = 0;
    for (const PointResidual& r : residuals) {
        if (std::isfinite(r.dT)) {
            ++s.withT;
            squaresT += r.dT * r.dT;
            s.maxT = std::fmax(s.maxT, std::fabs(r.dT));
        }
        if (std::isfinite(r.dx)) {
            ++s.withX;
            squaresX += r.dx * r.dx;
            s.maxX = std::fmax(s.maxX, std::fabs(r.dx));
        }
        if (r.haveBand) {
            ++s.withBand;
            s.outsideBand += !r.withinBand;
        }
    }
    s.rmsT = s.withT > 0 ? std::sqrt(squaresT / s.withT) : NAN;
    s.rmsX = s.withX > 0 ? std::sqrt(squaresX / s.withX) : NAN;
    return s;
}

std::string formatResiduals(const std::vector<PointResidual>& residuals, const ResidualSummary& summary,
                            const PhaseNames& names)
{
    std::string text = "Line\tT\tx\tPair\tPhase\tx computed\tdx\tT computed\tdT\t95% low\t95% high\tWithin\tSigmas\t"
                       "Status\n";
    for (const PointResidual& r : residuals) {
        const BoundaryPoint& p = r.point;
        appendFormat(text, "%d\t%.2f\t", p.line, p.T);
        appendValue(text, "%.6f", p.haveX ? p.x : NAN);
        const std::string phase = names.phase[p.pair == 0 ? LIQUID
                                              : p.side == 0 ? firstPhase(static_cast<PhasePair>(p.pair))
                                                            : secondPhase(static_cast<PhasePair>(p.pair))];
        if (r.pairText.empty())
            appendFormat(text, "\t%s\t%s\t", pairName(names, p.pair).c_str(), phase.c_str());
        else
            text.append("\t").append(r.pairText).append("\t").append(r.phaseText).append("\t");
        appendValue(text, "%.6f", r.xComputed);
        text += "\t";
        appendValue(text, "%.6f", r.dx);
        text += "\t";
        appendValue(text, "%.4f", r.TComputed);
        text += "\t";
        appendValue(text, "%.4f", r.dT);
        text += "\t";
        appendValue(text, "%.6f", r.haveBand ? r.bandLow : NAN);
        text += "\t";
        appendValue(text, "%.6f", r.haveBand ? r.bandHigh : NAN);
        text += r.haveBand ? (r.withinBand ? "\tyes\t" : "\tno\t") : "\t-\t";
        appendValue(text, "%.2f", r.haveBand ? r.sigmas : NAN);
        text += "\t" + r.status + "\n";
    }
    appendFormat(text, "# points: %d\n", summary.count);
    if (summary.withT > 0)
        appendFormat(text, "# temperature residuals: %d, root-mean-square %.4f K, largest %.4f K\n", summary.withT,
                     summary.rmsT, summary.maxT);
    else
        text += "# temperature residuals: none\n";
    if (summary.withX > 0)
        appendFormat(text, "# composition residuals: %d, root-mean-square %.6f, largest %.6f\n", summary.withX,
                     summary.rmsX, summary.maxX);
    else
        text += "# composition residuals: none\n";
    appendFormat(text, "# held against the 95 %% bands: %d, outside them: %d\n", summary.withBand, summary.outsideBand);
    return text;
}

std::string residualSummaryLine(const ResidualSummary& s)
{
    std::string line;
    appendFormat(line, "%d measured points: ", s.count);
    if (s.withT > 0)
        appendFormat(line, "temperature residuals rms %.2f K (largest %.2f K)", s.rmsT, s.maxT);
    else
        line += "no temperature residuals";
    if (s.withX > 0)
        appendFormat(line, ", composition residuals rms %.4f (largest %.4f)", s.rmsX, s.maxX);
    else
        line += ", no composition residuals";
    if (s.withBand > 0) appendFormat(line, "; %d of %d outside the 95 %% bands", s.outsideBand, s.withBand);
    return line;
}
