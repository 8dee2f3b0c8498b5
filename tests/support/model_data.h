// Measured data generated exactly from the model with chosen coefficients, without scatter, so
// that a fit must give the coefficients back.
#pragma once

#include <filesystem>
#include <random>
#include <vector>

#include "equilibrium/stable_diagram.h"
#include "formats/boundary_points.h"
#include "formats/data_files.h"
#include "model/phase.h"

// Coefficients with b0 and L1 at the data temperatures far from zero (a0, a1, b0, b1).
inline constexpr PhaseParameters GENERATED_MODEL[3] = {
    {-12385.5, 3.125, 4417.25, -1.875},
    {11210.75, -2.25, -3980.5, 2.625},
    {13870.25, -3.375, 5123.5, -2.5},
};

// Nine compositions 0.1 to 0.9 per file: enthalpies of mixing (Liquid) or of formation (BCC and
// FCC, with the pure-component terms), and the activities the files hold, at 1500 K and 1100 K.
void generateData(const PhaseParameters (&model)[3], MeasuredData& data);

// The same data as the six files, numbers written with 17 significant digits.
void writeDataFiles(const MeasuredData& data, const std::filesystem::path& dir);

// The six data files of the example, as the programs read them; false when one cannot be read.
bool readExampleData(MeasuredData& data);

// The stable diagram of GENERATED_MODEL, built once for the tests that ask it.
StableDiagram& generatedDiagram();

// Boundary points of the model's stable diagram, moved by the offsets given: liquidus arrests of
// both liquid pairs at x = 0.2, 0.3, 0.4, 0.65, 0.75, 0.85, solvus compositions of both solids at
// 600 and 700 K, and the eutectic, numbered as lines 1, 2, ...
std::vector<BoundaryPoint> pointsOf(const PhaseParameters (&model)[3], double dT, double dx);

// GENERATED_MODEL's data on nine compositions per file with scatter of 60 J/mol on each enthalpy
// and of 3 % on each activity.
void scatteredData(std::mt19937_64& random, std::normal_distribution<double>& normal, MeasuredData& data);
