// The machine's clocks on Windows, as the console backend reads them.
#include "platform/systemclock.h"

#include <windows.h>

uint32_t monotonicMillis() {
    // The performance counter: GetTickCount's steps of 16 ms would be coarse for the animations.
    static const int64_t frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    int64_t counts = now.QuadPart;
    return static_cast<uint32_t>(counts / frequency * 1000 + counts % frequency * 1000 / frequency);
}

int wallClockMillisPart() {
    FILETIME now; // 100 ns steps
    GetSystemTimePreciseAsFileTime(&now);
    uint64_t steps = uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime;
    return static_cast<int>(steps / 10000 % 1000);
}
