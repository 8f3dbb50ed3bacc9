// Time, sleeping and threads in the browser.
//
// The clock is performance.now. A sleep on the main thread runs the due
// background tasks and hands the thread to the page (Asyncify unwinds the
// program's stack and rewinds it when the time is up), so the page stays alive
// while the program's loops run unchanged.
//
// Threads are fibers (emscripten_fiber_*, also on Asyncify) that take turns with
// the main thread: a thread runs only when the main thread sleeps, waits or
// presents, and gives the turn back at its own sleep_ms or event_wait. As on the
// virtual backend, a started thread runs until it first sleeps, waits or returns
// before thread_start returns. A thread never spins without sleeping, so the
// players' flags hand over exactly as they do between real threads.
#include <emscripten.h>
#include <emscripten/fiber.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/thread.h"
#include "platform/web/web_internal.h"

extern "C" int mag_web_wait(double timeout_ms, int until_frame);
extern "C" void mag_web_request_frame();

struct PlatformThread {
  enum State { sleeping, waiting, runnable, running, exited };
  emscripten_fiber_t fiber;
  ThreadMain main = nullptr;
  void* argument = nullptr;
  State state = runnable;
  double wake_ms = 0;
  // The music threads render a block at a time; 256 KB is plenty for that.
  static constexpr int stack_bytes = 256 * 1024;
  static constexpr int unwind_bytes = 64 * 1024;
  std::unique_ptr<char[]> stack{new char[stack_bytes]};
  std::unique_ptr<char[]> unwind{new char[unwind_bytes]};
};

struct PlatformEvent {
  bool set = false;
  PlatformThread* waiter = nullptr;
};

namespace {

constexpr int main_unwind_bytes = 64 * 1024;
// A sleep of 0 ms does not hand the thread to the page unless it has not had it
// for this long, so a loop of sleep_ms(0) cannot freeze the page.
constexpr double longest_hold_ms = 50;
// While the page does not show the program nothing is presented, and the loops
// would draw unseen frames as fast as they can: their sleeps last a frame then.
constexpr double inactive_sleep_ms = 16;

emscripten_fiber_t main_fiber;
alignas(16) char main_unwind[main_unwind_bytes];
bool main_fiber_ready = false;
PlatformThread* current = nullptr;   // the running thread; null on the main fiber
std::vector<PlatformThread*> threads;
bool in_background = false;
double last_handed_over_ms = 0;
WebTimes times;

void run_thread(PlatformThread* thread) {
  if (!main_fiber_ready) {
    emscripten_fiber_init_from_current_context(&main_fiber, main_unwind, sizeof main_unwind);
    main_fiber_ready = true;
  }
  current = thread;
  thread->state = PlatformThread::running;
  emscripten_fiber_swap(&main_fiber, &thread->fiber);
  current = nullptr;
}

// On a thread: the turn goes back to the main fiber until the thread is due.
void give_turn_back() { emscripten_fiber_swap(&current->fiber, &main_fiber); }

void thread_entry(void* argument) {
  auto* thread = static_cast<PlatformThread*>(argument);
  thread->main(thread->argument);
  thread->state = PlatformThread::exited;
  give_turn_back();   // never resumed
}

bool due(const PlatformThread* thread, double now) {
  return thread->state == PlatformThread::runnable ||
         (thread->state == PlatformThread::sleeping && thread->wake_ms <= now);
}

}  // namespace

double web_now_ms() { return emscripten_get_now(); }

bool web_wait(double timeout_ms, bool until_frame) {
  double before = web_now_ms();
  bool frame = mag_web_wait(timeout_ms, until_frame ? 1 : 0) != 0;
  last_handed_over_ms = web_now_ms();
  times.waiting_ms += last_handed_over_ms - before;
  return frame;
}

void web_request_frame() { mag_web_request_frame(); }

void web_run_background() {
  if (current || in_background) return;
  in_background = true;
  double started = web_now_ms();
  web_wave_devices_pump();
  double now = web_now_ms();
  // Threads started meanwhile join the end of the list and wait for the next pass.
  for (size_t i = 0, count = threads.size(); i < count; ++i)
    if (due(threads[i], now)) run_thread(threads[i]);
  double finished = web_now_ms();
  times.threads_ms += finished - now;
  times.background_ms += finished - started;
  in_background = false;
}

double web_next_thread_wake_ms() {
  double next = 1e300;
  for (const PlatformThread* thread : threads) {
    if (thread->state == PlatformThread::runnable) return web_now_ms();
    if (thread->state == PlatformThread::sleeping) next = std::min(next, thread->wake_ms);
  }
  return next;
}

WebTimes& web_times() { return times; }

double clock_seconds() { return web_now_ms() * 0.001; }

void sleep_ms(uint32_t milliseconds) {
  if (current) {
    current->state = PlatformThread::sleeping;
    current->wake_ms = web_now_ms() + milliseconds;
    give_turn_back();
    return;
  }
  double length = milliseconds;
  if (!web_window_active() && length > 0) length = std::max(length, inactive_sleep_ms);
  const double deadline = web_now_ms() + length;
  for (;;) {
    web_run_background();
    double now = web_now_ms();
    bool held_too_long = now - last_handed_over_ms > longest_hold_ms;
    if (now >= deadline && !held_too_long) return;
    double wake = std::min(deadline, web_next_thread_wake_ms());
    web_wait(std::max(0.0, wake - now), false);
    if (web_now_ms() >= deadline) return;
  }
}

// Sleeps here are whole milliseconds handed to the page; a frame that needs no
// pacing (presents wait for the display's frame) never asks for finer.
void sleep_until(double clock_time) {
  double left_ms = (clock_time - clock_seconds()) * 1000;
  if (left_ms > 0) sleep_ms(uint32_t(std::ceil(left_ms)));
}

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority) {
  auto* thread = new PlatformThread;
  thread->main = main;
  thread->argument = argument;
  emscripten_fiber_init(&thread->fiber, thread_entry, thread, thread->stack.get(), PlatformThread::stack_bytes,
                        thread->unwind.get(), PlatformThread::unwind_bytes);
  threads.push_back(thread);
  // From the main fiber the thread gets its first turn now; a thread started by
  // another thread waits for the next background pass.
  if (!current) run_thread(thread);
  return thread;
}

void thread_join(PlatformThread* thread) {
  if (!thread) return;
  while (thread->state != PlatformThread::exited) sleep_ms(1);
  std::erase(threads, thread);
  delete thread;
}

PlatformEvent* event_create() { return new PlatformEvent; }

void event_signal(PlatformEvent* event) {
  if (event->waiter) {
    event->waiter->state = PlatformThread::runnable;
    event->waiter = nullptr;
  } else {
    event->set = true;
  }
}

void event_wait(PlatformEvent* event) {
  if (current) {
    if (!event->set) {
      current->state = PlatformThread::waiting;
      event->waiter = current;
      give_turn_back();
    }
    event->set = false;
    return;
  }
  while (!event->set) sleep_ms(1);
  event->set = false;
}

void event_destroy(PlatformEvent* event) { delete event; }

// The page takes over from here (Module.onExit): the end screen, the audio off.
void process_exit(int status) { emscripten_force_exit(status); }
