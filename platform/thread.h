#pragma once
// Threads for the music players. Under the virtual backend a started thread runs
// until it first sleeps (or returns) before thread_start returns, and from then on
// only while the main thread lets virtual time pass.
#include <cstdint>

struct PlatformThread;
using ThreadMain = void (*)(void* argument);
enum class ThreadPriority { normal, time_critical };

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority priority);
void thread_join(PlatformThread* thread);   // waits for the thread to return, then frees it
