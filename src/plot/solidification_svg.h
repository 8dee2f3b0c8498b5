// "Solidification.svg": the fraction solid of one alloy against temperature on the equilibrium
// and the Scheil paths, temperature upwards as in the phase diagram, with the alloy's liquidus,
// solidus and eutectic marked and, where replicates were solved, the 95 % bands shaded; where the
// amounts of the phases are given, a second panel draws each against temperature.
#pragma once

#include <string>
#include <utility>
#include <vector>

inline constexpr const char* SOLIDIFICATION_PLOT_FILE = "Solidification.svg";

struct SolidificationPicture {
    std::string title;                                   // names the alloy
    double low;                                          // K at the bottom and the top
    double high;
    std::vector<std::pair<double, double>> equilibrium;  // (fraction solid, T)
    std::vector<std::pair<double, double>> scheil;
    // 95 % bands: for each path the outline (fraction solid, T), low ends downwards then high ends
    // upwards; empty without replicates.
    std::vector<std::pair<double, double>> equilibriumBand;
    std::vector<std::pair<double, double>> scheilBand;
    struct Marker {
        double fs;
        double T;
        std::string label;
    };
    std::vector<Marker> markers;
    std::vector<std::string> notes;                      // lines under the picture
    // Each phase's amount on both paths, (amount, T): drawn in a second panel under the first
    // where given.
    struct PhaseAmounts {
        std::string name;
        std::vector<std::pair<double, double>> equilibrium;
        std::vector<std::pair<double, double>> scheil;
    };
    std::vector<PhaseAmounts> phases;
};

std::string drawSolidification(const SolidificationPicture& picture);
