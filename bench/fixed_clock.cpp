// The benchmarks' calendar clock: fixed at 2026-01-01 00:00:00 UTC, so that the random start
// values, and with them the work of a timed solve, are the same on every run.
#include "equilibrium/clock.h"

std::time_t calendarTime() { return 1767225600; }
