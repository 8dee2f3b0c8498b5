// The test build's calendar clock: frozen, and settable by the tests.
#pragma once

#include <ctime>

// 2026-01-01 00:00:00 UTC, the clock of the expected outputs.
inline constexpr std::time_t FROZEN_CLOCK_START = 1767225600;

// What calendarTime() returns in the test build.
extern std::time_t frozenCalendarTime;
