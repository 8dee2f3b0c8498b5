// Measured data generated exactly from the model with chosen coefficients, without scatter, so
// that a fit must give the coefficients back.
#pragma once

#include <filesystem>

#include "equilibrium/stable_diagram.h"
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
