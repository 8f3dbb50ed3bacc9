// Threads on virtual time take turns: sleeps wake at their virtual moment, events
// wake waiters, and the interleaving is the same on every run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/virtual.h"

namespace {

struct Poller {
  std::vector<double> wakes;
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
};

void poll_every_5ms(void* argument) {
  auto* poller = static_cast<Poller*>(argument);
  while (!poller->stop.load(std::memory_order_acquire)) {
    poller->wakes.push_back(clock_seconds());
    sleep_ms(5);
  }
  poller->finished.store(true, std::memory_order_release);
}

class VirtualThreads : public ::testing::Test {
 protected:
  void SetUp() override { virtual_reset(); }
};

TEST_F(VirtualThreads, AStartedThreadRunsUntilItFirstSleeps) {
  Poller poller;
  PlatformThread* thread = thread_start(poll_every_5ms, &poller, ThreadPriority::time_critical);
  ASSERT_EQ(poller.wakes.size(), 1u);
  EXPECT_EQ(poller.wakes[0], 0.0);
  virtual_advance_ms(12);
  ASSERT_EQ(poller.wakes.size(), 3u);
  EXPECT_DOUBLE_EQ(poller.wakes[1], 0.005);
  EXPECT_DOUBLE_EQ(poller.wakes[2], 0.010);
  poller.stop.store(true, std::memory_order_release);
  // The stop of the XM player: poll the finished flag in 10 ms sleeps.
  while (!poller.finished.load(std::memory_order_acquire)) sleep_ms(10);
  thread_join(thread);
  EXPECT_DOUBLE_EQ(clock_seconds(), 0.022);
}

struct Waiter {
  PlatformEvent* event;
  std::vector<double> woken_at;
  int rounds;
};

void wait_for_signals(void* argument) {
  auto* waiter = static_cast<Waiter*>(argument);
  for (int i = 0; i < waiter->rounds; ++i) {
    event_wait(waiter->event);
    waiter->woken_at.push_back(clock_seconds());
  }
}

TEST_F(VirtualThreads, ASignalWakesTheWaiterWhenTimeNextPasses) {
  Waiter waiter{event_create(), {}, 2};
  PlatformThread* thread = thread_start(wait_for_signals, &waiter, ThreadPriority::normal);
  EXPECT_TRUE(waiter.woken_at.empty());
  virtual_advance_ms(3);
  event_signal(waiter.event);
  EXPECT_TRUE(waiter.woken_at.empty());
  virtual_advance_ms(1);
  ASSERT_EQ(waiter.woken_at.size(), 1u);
  EXPECT_DOUBLE_EQ(waiter.woken_at[0], 0.003);
  event_signal(waiter.event);   // join lets time pass until the second wake-up and the return
  thread_join(thread);
  EXPECT_EQ(waiter.woken_at.size(), 2u);
  event_destroy(waiter.event);
}

struct Logger {
  std::string* log;
  char name;
  int period_ms;
};

void log_ticks(void* argument) {
  auto* logger = static_cast<Logger*>(argument);
  for (int i = 0; i < 6; ++i) {
    *logger->log += logger->name;
    sleep_ms(uint32_t(logger->period_ms));
  }
}

std::string interleave_two_threads() {
  virtual_reset();
  std::string log;
  Logger a{&log, 'a', 3}, b{&log, 'b', 2};
  PlatformThread* ta = thread_start(log_ticks, &a, ThreadPriority::normal);
  PlatformThread* tb = thread_start(log_ticks, &b, ThreadPriority::normal);
  virtual_advance_ms(20);
  thread_join(ta);
  thread_join(tb);
  return log;
}

TEST_F(VirtualThreads, TwoThreadsInterleaveTheSameWayEveryRun) {
  std::string first = interleave_two_threads();
  // a at 0,3,6,9,12,15 and b at 0,2,4,6,8,10: at 6 a slept first, so it wakes first.
  EXPECT_EQ(first, "abbababbabaa");
  for (int run = 0; run < 5; ++run) EXPECT_EQ(interleave_two_threads(), first);
}

}  // namespace
