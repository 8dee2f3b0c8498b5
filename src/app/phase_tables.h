// The program's main product: a phase-boundary table per phase pair, swept over whole
// temperatures, and the eutectic table, in the layout of formats/result_tables.
#pragma once

#include "formats/error_text.h"
#include "model/phase.h"
#include "numeric/matrix.h"

// Told now and then how far the sweeps have come: the pair's name and the percentage of its
// temperatures done.
struct SweepProgress {
    void (*report)(void* context, const char* what, int percent);
    void* context;
};

// Sweeps Liquid/FCC, Liquid/BCC and BCC/FCC over T = initialT .. finalT - 1 (K), one row per
// temperature, then solves the eutectic. guess carries each row's compositions to the next
// temperature, and from the Liquid/BCC sweep into the BCC/FCC sweep, which draws no new start
// values; result holds the last solution. eutecticCount receives the eutectic solve's count.
// The tables stay pending (formats/output_file) until the caller commits them. Fails naming the
// file when a table cannot be created, written or closed.
bool writePhaseTables(int initialT, int finalT, const PhaseParameters& liquid, const PhaseParameters& bcc,
                      const PhaseParameters& fcc, Vector4& guess, Vector4& result, int& eutecticCount,
                      ErrorText& error, const SweepProgress& progress = {nullptr, nullptr});
