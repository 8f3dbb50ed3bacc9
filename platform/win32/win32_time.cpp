// Time, threads and the process end on kernel32: the performance counter as the
// wall clock, Sleep, CreateThread at the asked priority, auto-reset events.
#include <windows.h>
#include <timeapi.h>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/thread.h"

namespace {

double counter_period() {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return 0;
  return 1.0 / double(frequency.QuadPart);
}

}  // namespace

double clock_seconds() {
  static const double period = counter_period();
  LARGE_INTEGER now;
  if (period > 0 && QueryPerformanceCounter(&now)) return double(now.QuadPart) * period;
  return double(GetTickCount()) * 0.001;   // no performance counter on this machine
}

void sleep_ms(uint32_t milliseconds) {
  // The scheduler's default tick is about 15.6 ms, which would turn the frame
  // loop's 1 ms and the music thread's 5 ms into 16. Ask for 1 ms once; Windows
  // drops the request when the process ends.
  static const bool fine_timer = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)fine_timer;
  Sleep(milliseconds);
}

void sleep_until(double clock_time) {
  // Sleep's whole milliseconds (1 ms timer) up to the last one, then give the
  // processor away until the moment: frame pacing wants better than 1 ms.
  for (;;) {
    double left = clock_time - clock_seconds();
    if (!(left > 0)) return;
    if (left > 0.002)
      sleep_ms(uint32_t((left - 0.001) * 1000));
    else
      Sleep(0);
  }
}

struct PlatformThread {
  HANDLE handle = nullptr;
  ThreadMain main = nullptr;
  void* argument = nullptr;
};

namespace {

DWORD WINAPI thread_entry(void* parameter) {
  auto* thread = static_cast<PlatformThread*>(parameter);
  thread->main(thread->argument);
  return 0;
}

}  // namespace

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority priority) {
  auto* thread = new PlatformThread{nullptr, main, argument};
  // Created suspended so that the priority holds from the thread's first step.
  thread->handle = CreateThread(nullptr, 0, thread_entry, thread, CREATE_SUSPENDED, nullptr);
  if (!thread->handle) {
    delete thread;
    return nullptr;
  }
  if (priority == ThreadPriority::time_critical) SetThreadPriority(thread->handle, THREAD_PRIORITY_TIME_CRITICAL);
  ResumeThread(thread->handle);
  return thread;
}

void thread_join(PlatformThread* thread) {
  if (!thread) return;
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
}

struct PlatformEvent {
  HANDLE handle = nullptr;
};

PlatformEvent* event_create() { return new PlatformEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)}; }
void event_signal(PlatformEvent* event) { SetEvent(event->handle); }
void event_wait(PlatformEvent* event) { WaitForSingleObject(event->handle, INFINITE); }

void event_destroy(PlatformEvent* event) {
  if (!event) return;
  CloseHandle(event->handle);
  delete event;
}

void process_exit(int status) { ExitProcess(UINT(status)); }
