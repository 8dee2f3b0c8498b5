// Entry point of phasediagram: derives the phase diagram of Ks-Ps from the measured data in the
// current directory.
#include <cstdio>

#include "app/run.h"

int main() { return runPhaseDiagram(stdin, stdout, stderr); }
