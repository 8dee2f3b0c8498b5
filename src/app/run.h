// One whole run of the program: fit the model to the six data files of the current directory,
// write the regression report, ask for the temperature range, write the tables, sign off.
#pragma once

#include <cstdio>

// Reads the two temperatures from `in`, prints the banner, prompts and closing messages to
// `out`, and problems (one line each, "phasediagram: ...") to `err`. Returns the exit status:
// 0, or 1 when a file or the input could not be used; then no further output file is touched.
int runPhaseDiagram(std::FILE* in, std::FILE* out, std::FILE* err);
