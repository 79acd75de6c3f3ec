// The machine's clocks, as the real backends (terminal and window) read them.
#pragma once

#include <cstdint>

// Milliseconds of the monotonic clock; wraps round after 49 days, which differences survive.
uint32_t monotonicMillis();
// The millisecond part (0..999) of the wall clock.
int wallClockMillisPart();
