#pragma once
// Threads and wake-up events for the music players. time_critical is the
// system's highest priority for a thread of a normal process on Windows; on
// Linux real-time scheduling where the process may have it, else normal.
//
// Under the virtual backend, and in a browser (the web backend), threads take
// turns: exactly one runs at a time, and control changes hands only at sleep_ms,
// event_wait, thread_start and when a thread returns. A started thread runs
// until it first sleeps, waits or returns before thread_start returns. So a
// thread must never block on anything else (no std::mutex held across those
// calls, no condition variables, no spinning on another thread's progress
// without sleep_ms in the loop).
#include <cstdint>

struct PlatformThread;
using ThreadMain = void (*)(void* argument);
enum class ThreadPriority { normal, time_critical };

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority priority);
void thread_join(PlatformThread* thread);   // waits for the thread to return, then frees it

// An auto-reset event: a signal wakes one wait (or the next one, if none waits yet).
struct PlatformEvent;
PlatformEvent* event_create();
void event_signal(PlatformEvent* event);
void event_wait(PlatformEvent* event);
void event_destroy(PlatformEvent* event);
