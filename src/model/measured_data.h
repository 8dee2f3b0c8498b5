// The measured data of the model: an enthalpy series and an activity series per phase, each up to
// 50 (mole fraction of Ks, value) pairs in fixed arrays. Read from the six data files by
// formats/data_files.
#pragma once

#include "model/phase.h"

inline constexpr int MAX_PAIRS = 50;

// The pairs of one file, in file order.
struct DataSeries {
    double x[MAX_PAIRS];
    double value[MAX_PAIRS];
    int count;
};

// The two series of a phase. The activity file's compositions and count are those of the phase;
// the enthalpy file supplies its first `count` values.
struct PhaseData {
    DataSeries enthalpy;
    DataSeries activity;
};

// Liquid, BCC, FCC in this order, as the model's three phases.
struct MeasuredData {
    PhaseData phase[3];
};
