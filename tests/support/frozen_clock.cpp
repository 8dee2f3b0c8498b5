// A frozen calendar clock, linked instead of the system clock into the test build, so that the
// random start values of a run are always the same.
#include "frozen_clock.h"

#include "equilibrium/clock.h"

std::time_t frozenCalendarTime = FROZEN_CLOCK_START;

std::time_t calendarTime() { return frozenCalendarTime; }
