// Entry point of phasediagram-plot: draws the phase diagram of the result tables in the current
// directory, and the fits of its measured data, as two SVG pictures.
#include <cstdio>
#include <string>
#include <vector>

#include "formats/output_file.h"
#include "model/fitting.h"
#include "formats/data_files.h"
#include "plot/phase_diagram_svg.h"
#include "plot/regression_svg.h"
#include "formats/result_tables.h"
#include "formats/band_files.h"

namespace {

int stop(const ErrorText& error)
{
    std::fprintf(stderr, "phasediagram-plot: %s\n", error.text);
    return 1;
}

}  // namespace

int main()
{
    ErrorText error{};
    MeasuredData measured;
    if (!readMeasuredData(measured, error)) return stop(error);
    DiagramData data;
    PhaseFit fits[3];
    fitModel(measured, data.model[LIQUID], data.model[BCC], data.model[FCC], fits);
    for (int t = 0; t < 3; ++t)
        if (!readBoundaryTable(boundaryFileName(static_cast<PhasePair>(t + 1)), data.tables[t], error)) return stop(error);
    if (!readEutecticTable(EUTECTIC_FILE, data.eutectic, error)) return stop(error);
    for (int t = 0; t < 3; ++t)
        if (!readBandTable(bandFileName(static_cast<PhasePair>(t + 1)), data.bands[t], error)) return stop(error);
    if (!readEutecticBand(EUTECTIC_BAND_FILE, data.eutecticBand, error)) return stop(error);

    PhaseDiagram diagram;
    describePhaseDiagram(data, diagram);
    const std::string diagramSvg = drawPhaseDiagram(diagram);
    if (!writeWholeFile(DIAGRAM_FILE, diagramSvg.data(), diagramSvg.size(), error)) return stop(error);
    RegressionPanel panels[3][2];
    describeRegression(measured, fits, panels);
    const std::string regressionSvg = drawRegression(panels);
    if (!writeWholeFile(REGRESSION_PLOT_FILE, regressionSvg.data(), regressionSvg.size(), error)) return stop(error);
    for (const std::string& note : diagram.notes) std::fprintf(stderr, "phasediagram-plot: note: %s\n", note.c_str());
    std::printf("The phase diagram is drawn in the file : %s\n", DIAGRAM_FILE);
    std::printf("The fits of the measured data are drawn in the file : %s\n", REGRESSION_PLOT_FILE);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
