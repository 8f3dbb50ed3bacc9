#pragma once
// Wall clock and sleep. Under the SDL and win32 backends these are the real
// monotonic clock (sub-millisecond; on Windows the performance counter) and a
// real sleep (on Windows at 1 ms timer resolution); under the virtual backend
// time only moves when the main thread presents a frame or sleeps, and a sleep on
// any other thread waits for virtual time to reach its wake-up, so runs are
// deterministic.
#include <cstdint>

double clock_seconds();           // monotonic, only differences matter
void sleep_ms(uint32_t milliseconds);
// Sleeps until clock_seconds() has reached `clock_time`, as precisely as the
// platform can (a fraction of a millisecond late at most where it can); returns
// at once when that time has passed. Frame pacing depends on the precision.
void sleep_until(double clock_time);
