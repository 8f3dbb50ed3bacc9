// The backend's plain system services: the performance-counter clock, threads at
// time-critical priority, auto-reset events, and keys read straight from the
// system's asynchronous key state (fed here with SendInput, as a keyboard does);
// and the screen saver's setting.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

TEST(Win32Clock, RunsForwardInSecondsWithFineResolution) {
  double start = clock_seconds();
  sleep_ms(50);
  double slept = clock_seconds() - start;
  EXPECT_GE(slept, 0.045);
  EXPECT_LT(slept, 2.0);
  // Two readings in a row differ by far less than a millisecond tick.
  double a = clock_seconds(), b = clock_seconds();
  EXPECT_GE(b, a);
  EXPECT_LT(b - a, 0.001);
}

struct ThreadProbe {
  std::atomic<int> priority{-100};
  std::atomic<bool> ran{false};
  PlatformEvent* go = nullptr;
  PlatformEvent* done = nullptr;
};

void probe_main(void* argument) {
  auto* probe = static_cast<ThreadProbe*>(argument);
  probe->priority = GetThreadPriority(GetCurrentThread());
  event_wait(probe->go);
  probe->ran = true;
  event_signal(probe->done);
}

TEST(Win32Threads, AThreadRunsAtItsPriorityAndEventsHandOver) {
  for (ThreadPriority priority : {ThreadPriority::normal, ThreadPriority::time_critical}) {
    ThreadProbe probe;
    probe.go = event_create();
    probe.done = event_create();
    event_signal(probe.go);   // a signal before the wait is kept for it
    PlatformThread* thread = thread_start(probe_main, &probe, priority);
    ASSERT_NE(thread, nullptr);
    event_wait(probe.done);
    EXPECT_TRUE(probe.ran);
    thread_join(thread);
    EXPECT_EQ(probe.priority.load(),
              priority == ThreadPriority::time_critical ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_NORMAL);
    event_destroy(probe.go);
    event_destroy(probe.done);
  }
}

void send_key(int virtual_key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = WORD(virtual_key);
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
  // The key state follows once the input has gone through the system's queue.
  MSG message;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
}

TEST(Win32Keys, AStrokeIsStruckOnceThenHeldThenGone) {
  key_async_state(vk_f1 + 4);   // forget any earlier press
  send_key(vk_f1 + 4, true);
  EXPECT_EQ(key_async_state(vk_f1 + 4), -32767);   // down, and pressed since the last look
  EXPECT_EQ(key_async_state(vk_f1 + 4), -32768);   // only held now
  EXPECT_TRUE(key_held(vk_f1 + 4));
  EXPECT_FALSE(key_struck(vk_f1 + 4));
  send_key(vk_f1 + 4, false);
  EXPECT_EQ(key_async_state(vk_f1 + 4), 0);
  EXPECT_EQ(key_async_state(-1), 0);
  EXPECT_EQ(key_async_state(256), 0);
}

}  // namespace

namespace {

bool screen_saver_active() {
  BOOL active = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  return active != FALSE;
}

// Off for the run; back on at the end only where it was on before.
TEST(Win32ScreenSaver, ComesBackOnOnlyIfItWasOn) {
  bool before = screen_saver_active();
  for (BOOL was_on : {TRUE, FALSE}) {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, was_on, nullptr, 0);
    screen_saver_allow(false);
    EXPECT_FALSE(screen_saver_active());
    screen_saver_allow(true);
    EXPECT_EQ(screen_saver_active(), was_on != FALSE);
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, before, nullptr, 0);
}

}  // namespace
