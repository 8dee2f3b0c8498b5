// The program's clock: the system's calendar time.
#include "equilibrium/clock.h"

std::time_t calendarTime() { return std::time(nullptr); }
