// Real time for the SDL backend: the monotonic clock, sleeping, threads, events
// and the process end.
#include <SDL.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/thread.h"

// CLOCK_MONOTONIC for both the clock and sleep_until, so that a wake-up time
// read from one is exact for the other.
double clock_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void sleep_ms(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void sleep_until(double clock_time) {
  if (!(clock_time > 0)) return;
  timespec wake{};
  double whole = std::floor(clock_time);
  wake.tv_sec = time_t(whole);
  wake.tv_nsec = long((clock_time - whole) * 1e9);
  if (wake.tv_nsec > 999999999) wake.tv_nsec = 999999999;
  // An absolute wake-up: an interrupted sleep simply goes back to sleep.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
  }
}

struct PlatformThread {
  std::thread thread;
};

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority priority) {
  auto* handle = new PlatformThread;
  handle->thread = std::thread([main, argument, priority] {
    if (priority == ThreadPriority::time_critical) {
      // Real-time scheduling needs privileges we usually lack; then the thread
      // simply runs at normal priority with its 2 s of buffered audio as cushion.
      sched_param param{};
      param.sched_priority = sched_get_priority_min(SCHED_FIFO);
      pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    }
    main(argument);
  });
  return handle;
}

void thread_join(PlatformThread* thread) {
  if (!thread) return;
  if (thread->thread.joinable()) thread->thread.join();
  delete thread;
}

struct PlatformEvent {
  std::mutex mutex;
  std::condition_variable signalled;
  bool set = false;
};

PlatformEvent* event_create() { return new PlatformEvent; }

void event_signal(PlatformEvent* event) {
  {
    std::lock_guard<std::mutex> lock(event->mutex);
    event->set = true;
  }
  event->signalled.notify_one();
}

void event_wait(PlatformEvent* event) {
  std::unique_lock<std::mutex> lock(event->mutex);
  event->signalled.wait(lock, [event] { return event->set; });
  event->set = false;
}

void event_destroy(PlatformEvent* event) { delete event; }

void process_exit(int status) {
  SDL_Quit();
  std::_Exit(status);
}
