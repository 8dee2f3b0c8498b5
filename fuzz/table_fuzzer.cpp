// libFuzzer target: arbitrary bytes as the result tables and band files that phasediagram-plot
// reads, and the phase diagram drawn from whatever they hold. The input holds the three
// phase-boundary tables, the eutectic table, the three band files and the eutectic band, in this
// order, separated by '#'.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plot/phase_diagram_svg.h"
#include "formats/result_tables.h"
#include "formats/band_files.h"

namespace {

// A scratch folder of this process, made on first use.
const std::string& scratch()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/table-fuzzer-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

std::string writeChunk(int index, const std::uint8_t* data, std::size_t size)
{
    const std::string path = scratch() + "/file" + std::to_string(index);
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> paths;
    std::size_t start = 0;
    for (int file = 0; file < 8; ++file) {
        std::size_t end = start;
        while (end < size && data[end] != '#') ++end;
        paths.push_back(writeChunk(file, data + start, end - start));
        start = end < size ? end + 1 : size;
    }

    DiagramData diagram{};
    diagram.model[LIQUID] = {-11713.844698, 2.851718, 3441.959325, -1.717574};
    diagram.model[BCC] = {11983.433124, -2.011936, -4057.015542, 2.095475};
    diagram.model[FCC] = {13986.689572, -2.947846, 5044.692460, -2.141900};
    ErrorText error{};
    for (int t = 0; t < 3; ++t)
        if (!readBoundaryTable(paths[t].c_str(), diagram.tables[t], error)) return 0;
    if (!readEutecticTable(paths[3].c_str(), diagram.eutectic, error)) return 0;
    for (int t = 0; t < 3; ++t)
        if (!readBandTable(paths[4 + t].c_str(), diagram.bands[t], error)) return 0;
    if (!readEutecticBand(paths[7].c_str(), diagram.eutecticBand, error)) return 0;
    // The model is the same on every input: its stable diagram once.
    static StableDiagram stable = [&diagram] {
        StableDiagram built;
        buildStableDiagram(diagram.model, built);
        return built;
    }();
    PhaseDiagram described;
    describePhaseDiagram(diagram, stable, described);
    const std::string svg = drawPhaseDiagram(described);
    return svg.empty() ? 1 : 0;
}
