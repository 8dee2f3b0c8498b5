// The calendar clock from which the random start values are seeded. The program links the
// system clock; the test build links a frozen one, so that the draws of a run are reproducible.
#pragma once

#include <ctime>

// The current calendar time in seconds, as std::time gives it.
std::time_t calendarTime();
