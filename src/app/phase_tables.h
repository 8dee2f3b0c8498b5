// The program's main product: a phase-boundary table per phase pair, swept over whole
// temperatures, and the eutectic table.
#pragma once

#include "app/text_buffer.h"
#include "model/error_text.h"
#include "model/phase.h"
#include "numeric/matrix.h"

inline constexpr const char* LIQUID_FCC_FILE = "_Data(Li-FCC).txt";
inline constexpr const char* LIQUID_BCC_FILE = "_Data(Li-BCC).txt";
inline constexpr const char* BCC_FCC_FILE = "_Data(BCC-FCC).txt";
inline constexpr const char* EUTECTIC_FILE = "_Data(Eutectic).txt";

// One row of a phase-boundary table: temperature, the two compositions, the iteration count and
// the validity label (Invalid for the count 100).
void appendSweepRow(TextBuffer& text, int T, const Vector4& result, int count);

// Sweeps Liquid/FCC, Liquid/BCC and BCC/FCC over T = initialT .. finalT - 1 (K), one row per
// temperature, then solves the eutectic. guess carries each row's compositions to the next
// temperature, and from the Liquid/BCC sweep into the BCC/FCC sweep, which draws no new start
// values; result holds the last solution. eutecticCount receives the eutectic solve's count.
// Fails naming the file when a table cannot be created, written or closed.
bool writePhaseTables(int initialT, int finalT, const PhaseParameters& liquid, const PhaseParameters& bcc,
                      const PhaseParameters& fcc, Vector4& guess, Vector4& result, int& eutecticCount,
                      ErrorText& error);
