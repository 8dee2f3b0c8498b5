// phasediagram-binary-survey: the whole stable diagram of every binary system of a database whose
// liquid is assessed (an interaction parameter of LIQUID between the two elements), from 300 K to
// its top (50 K above its last solid), timed; prints one row per system (its phases, fields,
// invariant reactions, special points, changes left unresolved, and the median time of five runs
// in ms) and the median and the slowest time. The README's table of the COST 507 binaries.
//
// Usage: phasediagram-binary-survey DATABASE [RUNS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "assessed_pairs.h"
#include "equilibrium/binary_diagram.h"
#include "formats/tdb_binary.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: phasediagram-binary-survey DATABASE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    TdbDatabase database;
    ErrorText error{};
    if (!readTdb(argv[1], database, error)) {
        std::fprintf(stderr, "%s\n", error.text);
        return 1;
    }
    std::vector<double> times;
    int clean = 0;
    std::printf("system\tphases\tfields\tinvariants\tpoints\tunresolved\tms\n");
    for (const auto& [a, b] : assessedPairs(database)) {
        const std::string elements[2] = {a, b};
        BinarySystem system;
        TdbParameterValues values;
        if (!chooseBinarySystem(database, elements, {}, "", 8.31451, system, values, error)) {
            std::printf("%s-%s\trefused: %s\n", a.c_str(), b.c_str(), error.text);
            continue;
        }
        std::vector<double> elapsed;
        BinaryDiagram diagram;
        bool ok = true;
        for (int run = 0; run < runs && ok; ++run) {
            const auto start = std::chrono::steady_clock::now();
            double top = 0;
            ok = diagramTop(system, top) && computeBinaryDiagram(system, 300, top, DIAGRAM_STEP, diagram);
            elapsed.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        if (!ok) {
            std::printf("%s-%s\tstopped: %s\n", a.c_str(), b.c_str(), parameterError(values).text);
            continue;
        }
        std::sort(elapsed.begin(), elapsed.end());
        const double ms = elapsed[elapsed.size() / 2];
        times.push_back(ms);
        clean += diagram.unresolved == 0;
        std::printf("%s-%s\t%zu\t%zu\t%zu\t%zu\t%d\t%.1f\n", a.c_str(), b.c_str(), system.phases.size(),
                    diagram.fields.size(), diagram.invariants.size(), diagram.points.size(), diagram.unresolved, ms);
    }
    if (times.empty()) return 1;
    std::sort(times.begin(), times.end());
    std::printf("# %zu systems, %d without an unresolved change; median %.1f ms, slowest %.1f ms\n", times.size(), clean,
                times[times.size() / 2], times.back());
    return 0;
}
