// Virtual time and the turn-taking of threads.
//
// Time is a count of nanoseconds that moves only when the main thread sleeps or
// presents. Exactly one thread runs at a time; the others wait for their turn:
//   - a thread that sleeps gives the turn back and is woken when the main thread
//     lets time pass its wake-up (earliest first, ties in the order they slept);
//   - a thread that waits on an event is woken when the event is signalled, at the
//     next point where the main thread lets time pass;
//   - before each wake-up the wave devices play up to that moment.
// So the same inputs give the same interleaving, and every run is reproducible.
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/thread.h"
#include "platform/virtual.h"
#include "platform/virtual/virtual_internal.h"

struct PlatformThread {
  enum State { starting, running, sleeping, waiting, runnable, exited };
  std::condition_variable wake;
  bool has_turn = false;
  State state = starting;
  int64_t wake_ns = 0;
  uint64_t sleep_order = 0;
  PlatformThread* return_to = nullptr;
  ThreadMain main = nullptr;
  void* argument = nullptr;
  std::thread thread;
};

struct PlatformEvent {
  bool set = false;
  PlatformThread* waiter = nullptr;
};

namespace {

std::mutex turn_mutex;
PlatformThread main_record;           // stands for the main thread
thread_local PlatformThread* current_thread = nullptr;
std::vector<PlatformThread*> threads;
std::deque<PlatformThread*> runnable_threads;
int64_t now_ns = 0;
uint64_t next_sleep_order = 0;
VirtualRunEnd run_end_handler = nullptr;

PlatformThread* self() { return current_thread ? current_thread : &main_record; }
bool on_main() { return current_thread == nullptr; }

// Gives the turn to `target` and waits until it comes back.
void hand_turn_to(PlatformThread* target, std::unique_lock<std::mutex>& lock) {
  PlatformThread* me = self();
  target->return_to = me;
  target->has_turn = true;
  target->wake.notify_one();
  me->has_turn = false;
  me->wake.wait(lock, [me] { return me->has_turn; });
}

// A thread other than main stops running: the turn goes back to whoever gave it.
void give_turn_back(std::unique_lock<std::mutex>& lock) {
  PlatformThread* me = self();
  PlatformThread* back = me->return_to;
  back->has_turn = true;
  back->wake.notify_one();
  if (me->state == PlatformThread::exited) return;
  me->has_turn = false;
  me->wake.wait(lock, [me] { return me->has_turn; });
  me->state = PlatformThread::running;
}

}  // namespace

void virtual_run_runnable_threads() {
  std::unique_lock<std::mutex> lock(turn_mutex);
  while (!runnable_threads.empty()) {
    PlatformThread* next = runnable_threads.front();
    runnable_threads.pop_front();
    next->state = PlatformThread::running;
    hand_turn_to(next, lock);
  }
}

namespace {

PlatformThread* earliest_sleeper_until(int64_t limit_ns) {
  PlatformThread* best = nullptr;
  for (PlatformThread* thread : threads) {
    if (thread->state != PlatformThread::sleeping || thread->wake_ns > limit_ns) continue;
    if (!best || thread->wake_ns < best->wake_ns ||
        (thread->wake_ns == best->wake_ns && thread->sleep_order < best->sleep_order))
      best = thread;
  }
  return best;
}

void play_devices_until(int64_t target_ns) {
  virtual_devices_play_until(target_ns);
  virtual_run_runnable_threads();   // threads woken by the done hooks
}

void thread_trampoline(PlatformThread* record) {
  std::unique_lock<std::mutex> lock(turn_mutex);
  record->wake.wait(lock, [record] { return record->has_turn; });
  current_thread = record;
  record->state = PlatformThread::running;
  lock.unlock();
  record->main(record->argument);
  lock.lock();
  record->state = PlatformThread::exited;
  give_turn_back(lock);
}

}  // namespace

int64_t virtual_now_ns() {
  std::lock_guard<std::mutex> lock(turn_mutex);
  return now_ns;
}

void virtual_advance_to_ns(int64_t target_ns) {
  if (!on_main()) return;
  for (;;) {
    virtual_run_runnable_threads();
    PlatformThread* sleeper;
    {
      std::lock_guard<std::mutex> lock(turn_mutex);
      sleeper = earliest_sleeper_until(target_ns);
    }
    if (!sleeper) break;
    play_devices_until(sleeper->wake_ns);
    std::unique_lock<std::mutex> lock(turn_mutex);
    now_ns = std::max(now_ns, sleeper->wake_ns);
    sleeper->state = PlatformThread::running;
    hand_turn_to(sleeper, lock);
  }
  play_devices_until(target_ns);
  std::lock_guard<std::mutex> lock(turn_mutex);
  now_ns = std::max(now_ns, target_ns);
}

void virtual_advance_ms(double milliseconds) {
  int64_t target = virtual_now_ns() + int64_t(milliseconds * 1e6 + 0.5);
  virtual_advance_to_ns(target);
}

void virtual_reset_time() {
  std::lock_guard<std::mutex> lock(turn_mutex);
  now_ns = 0;
  next_sleep_order = 0;
  runnable_threads.clear();
  // Threads of an earlier run that ended are forgotten; ones still alive keep
  // waiting for a turn that never comes, which only a broken test could cause.
  std::erase_if(threads, [](PlatformThread* thread) { return thread->state == PlatformThread::exited; });
}

double clock_seconds() { return double(virtual_now_ns()) * 1e-9; }

void sleep_ms(uint32_t milliseconds) {
  if (on_main()) {
    virtual_advance_ms(milliseconds);
    return;
  }
  std::unique_lock<std::mutex> lock(turn_mutex);
  PlatformThread* me = self();
  me->state = PlatformThread::sleeping;
  me->wake_ns = now_ns + int64_t(milliseconds) * 1000000;
  me->sleep_order = next_sleep_order++;
  give_turn_back(lock);
}

void sleep_until(double clock_time) {
  int64_t wake_ns = int64_t(std::ceil(clock_time * 1e9));
  if (on_main()) {
    if (wake_ns > virtual_now_ns()) virtual_advance_to_ns(wake_ns);
    return;
  }
  std::unique_lock<std::mutex> lock(turn_mutex);
  if (wake_ns <= now_ns) return;
  PlatformThread* me = self();
  me->state = PlatformThread::sleeping;
  me->wake_ns = wake_ns;
  me->sleep_order = next_sleep_order++;
  give_turn_back(lock);
}

PlatformThread* thread_start(ThreadMain main, void* argument, ThreadPriority) {
  auto* record = new PlatformThread;
  record->main = main;
  record->argument = argument;
  std::unique_lock<std::mutex> lock(turn_mutex);
  threads.push_back(record);
  record->thread = std::thread(thread_trampoline, record);
  hand_turn_to(record, lock);
  return record;
}

void thread_join(PlatformThread* thread) {
  if (!thread) return;
  // Let virtual time pass until the thread has returned.
  for (;;) {
    int64_t wake;
    {
      std::lock_guard<std::mutex> lock(turn_mutex);
      if (thread->state == PlatformThread::exited) break;
      wake = thread->state == PlatformThread::sleeping ? thread->wake_ns : now_ns + 1000000;
    }
    if (!on_main()) break;   // only the main thread can move time
    virtual_advance_to_ns(wake);
  }
  if (thread->thread.joinable()) thread->thread.join();
  {
    std::lock_guard<std::mutex> lock(turn_mutex);
    std::erase(threads, thread);
  }
  delete thread;
}

PlatformEvent* event_create() { return new PlatformEvent; }

void event_signal(PlatformEvent* event) {
  std::lock_guard<std::mutex> lock(turn_mutex);
  if (event->waiter) {
    event->waiter->state = PlatformThread::runnable;
    runnable_threads.push_back(event->waiter);
    event->waiter = nullptr;
  } else {
    event->set = true;
  }
}

void event_wait(PlatformEvent* event) {
  if (on_main()) {
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(turn_mutex);
        if (event->set) {
          event->set = false;
          return;
        }
      }
      virtual_advance_ms(1);
    }
  }
  std::unique_lock<std::mutex> lock(turn_mutex);
  if (event->set) {
    event->set = false;
    return;
  }
  PlatformThread* me = self();
  me->state = PlatformThread::waiting;
  event->waiter = me;
  give_turn_back(lock);
}

void event_destroy(PlatformEvent* event) { delete event; }

void virtual_set_run_end(VirtualRunEnd handler) { run_end_handler = handler; }

void process_exit(int status) {
  if (run_end_handler) run_end_handler(status);
  std::_Exit(status);
}
