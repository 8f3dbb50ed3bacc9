// Quit signals on the SDL backend. SDL's own handlers would turn SIGINT and
// SIGTERM into a quit event, which the program swallows like any close request,
// so only SIGKILL could end it. Ours mark the request; the window's pump (on the
// main thread, every frame) then ends the program the way its own end does.
#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>

#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace {

// Set by whichever thread the signal lands on, read by the main thread's pump.
std::atomic<int> quit_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers need a lock-free flag");
constexpr unsigned orderly_end_seconds = 3;

// Only async-signal-safe calls in here.
void end_at_once(int) { _exit(128 + quit_signal.load()); }

void on_quit_signal(int number) {
  if (quit_signal.load() != 0) end_at_once(number);   // asked again while ending
  quit_signal.store(number);
  alarm(orderly_end_seconds);   // a hung end must not keep the process
}

}  // namespace

void sdl_refuse_own_signal_handlers() { SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); }

void sdl_quit_signals_install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action{};
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  action.sa_handler = on_quit_signal;
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before{};
    // A signal ignored from the start (nohup, a background job) stays ignored.
    if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(number, &action, nullptr);
  }
  action.sa_handler = end_at_once;
  sigaction(SIGALRM, &action, nullptr);
}

namespace {

// From the process's start, not only once the window is open: a signal during
// start-up is then kept for the first pump like any other.
[[maybe_unused]] const bool quit_signals_caught_from_start = (sdl_quit_signals_install(), true);

}  // namespace

bool sdl_quit_signal_pending() { return quit_signal.load() != 0; }

void sdl_end_for_quit_signal() {
  sdl_wave_out_silence_all();
  window_close();
  screen_saver_allow(true);
  SDL_Quit();
  std::_Exit(0);
}
