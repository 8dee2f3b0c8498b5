// The six measured-data files: their names, and the reader that takes each as a list of
// (mole fraction of Ks, value) pairs into the model's fixed arrays, or says why it cannot.
#pragma once

#include <cstdio>

#include "formats/error_text.h"
#include "model/measured_data.h"

// "Li(Hm).txt", "BCC(Hf).txt", "FCC(Hf).txt".
const char* enthalpyFileName(PhaseIndex phase);
// "Li(a).txt", "BCC(aPs).txt", "FCC(aKs).txt".
const char* activityFileName(PhaseIndex phase);

// Reads whitespace-separated decimal numbers two at a time as (x, value) pairs, the way
// fscanf's "%lf" converts them (sign, digits, point, exponent; "inf" and "nan" too). Fails with
// a line naming the file, and the line or pair where it helps, on a file that cannot be opened
// or read, a token that is not a number, more than MAX_PAIRS pairs, or a lone last number.
bool readDataSeries(const char* path, DataSeries& series, ErrorText& error);

// The same from an open stream; `name` is the file name the messages give.
bool readDataStream(std::FILE* file, const char* name, DataSeries& series, ErrorText& error);

// Checks that the enthalpy file of a phase holds at least as many pairs as its activity file.
bool checkPhaseData(PhaseIndex phase, const PhaseData& data, ErrorText& error);

// Reads the six files of the current directory in the order Li(Hm), Li(a), BCC(Hf), BCC(aPs),
// FCC(Hf), FCC(aKs), and checks each phase's enthalpy file holds at least as many pairs as its
// activity file. Nothing is written anywhere.
bool readMeasuredData(MeasuredData& data, ErrorText& error);

// The index of the first pair whose enthalpy composition differs from the activity composition
// of the same pair, or -1 when the activity file's pairs all match. The fit takes the activity
// file's compositions, so a mismatch pairs values measured at different compositions.
int firstCompositionMismatch(const PhaseData& data);
