// phasediagram-alloy-survey: both solidification paths of the alloys x = 0.05, 0.15, ..., 0.95 of
// every binary system of a database whose liquid is assessed, through the system's whole diagram;
// prints a line for each alloy whose path could not be completed (why), and a count of the alloys
// whose paths end, whose liquid is two liquids at the diagram's top, and the rest.
//
// Usage: phasediagram-alloy-survey DATABASE
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "assessed_pairs.h"
#include "formats/tdb_binary.h"
#include "solidification/alloy_path.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: phasediagram-alloy-survey DATABASE\n");
        return 2;
    }
    TdbDatabase database;
    ErrorText error{};
    if (!readTdb(argv[1], database, error)) {
        std::fprintf(stderr, "%s\n", error.text);
        return 1;
    }
    int alloys = 0;
    int ended = 0;
    int gaps = 0;
    for (const auto& [a, b] : assessedPairs(database)) {
        const std::string elements[2] = {a, b};
        BinarySystem system;
        TdbParameterValues values;
        double top = 0;
        BinaryDiagram diagram;
        if (!chooseBinarySystem(database, elements, {}, "", 8.31451, system, values, error) || !diagramTop(system, top) ||
            !computeBinaryDiagram(system, 300, top, DIAGRAM_STEP, diagram))
            continue;
        for (int k = 0; k < 10; ++k) {
            const double x0 = 0.05 + 0.1 * k;
            ++alloys;
            AlloyPath path;
            bool solved = alloyTransitions(system, diagram, x0, path, error);
            if (solved) {
                const PathGrid grid{std::ceil(path.scheil.liquidus) + 20,
                                    std::fmax(300, std::floor(lastTransition(path)) - 20), 2};
                solved = alloyPathRows(system, diagram, grid, path, error);
            }
            if (!solved) {
                std::printf("%s-%s\tx = %.2f\t%s\n", a.c_str(), b.c_str(), x0, error.text);
                continue;
            }
            if (path.scheil.twoLiquidsAtTop) {
                ++gaps;
                continue;
            }
            if (!path.scheil.stopped.empty()) {
                std::printf("%s-%s\tx = %.2f\t%s\n", a.c_str(), b.c_str(), x0, path.scheil.stopped.c_str());
                continue;
            }
            ++ended;
        }
    }
    std::printf("# %d alloys: %d with both paths to their end, %d two liquids at the diagram's top, %d others\n", alloys,
                ended, gaps, alloys - ended - gaps);
    return 0;
}
