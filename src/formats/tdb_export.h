// The fitted model as a thermodynamic database in the TDB text format of CALPHAD programs:
// elements KS and PS, one-sublattice phases LIQUID, FCC_A1 and BCC_A2, pure-component terms and
// Redlich-Kister interaction parameters.
//
// The model's excess x (1 - x) (L0 + L1 x), x the mole fraction of Ks, equals the Redlich-Kister
// form x_KS x_PS (L'0 + L'1 (x_KS - x_PS)) with L'0 = L0 + L1 / 2 and L'1 = L1 / 2.
#pragma once

#include "formats/text_buffer.h"
#include "formats/error_text.h"
#include "model/phase.h"

inline constexpr const char* DATABASE_FILE = "KsPs.tdb";

// Appends the database for the coefficients of Liquid, BCC and FCC (finite) to an empty buffer.
// Every number is written with 17 significant digits, which give back the same double.
void formatDatabase(const PhaseParameters (&parameters)[3], TextBuffer& text);

// Writes DATABASE_FILE, replacing an earlier one only once the new one is complete.
bool writeDatabase(const PhaseParameters (&parameters)[3], ErrorText& error);
