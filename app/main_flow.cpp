// The spine of the program, in the order a run takes:
//   start-up -> release wait -> intro preparation -> intro loop
//   -> change to the magazine -> magazine loop -> end.
// Every loop pass draws a whole frame, presents it, sleeps 1 ms and measures its
// own duration; animations move by measured time, never by frame counts.
#include "app/main_flow.h"

#include <cmath>
#include <cstring>

#include "app/page_scrolling.h"
#include "display/display.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/random.h"
#include "platform/window.h"

namespace {

void present(Program& program) { display_update(program.frame.pixels); }

bool start_up(Program& program) {
  AppState& app = program.app;
  app = AppState{};
  app.wheel_now = app.wheel_prev = 0;
  display_set_close_on_escape(0);
  display_configure(0, "ORVELLA PREVIEW\rFULL SCREEN?", 0, 1);
  if (!display_open("CODED BY FERNHOLLOW :-)", 800, 600)) return false;
  window_show_cursor(false);   // the magazine draws its own pointer
  return true;
}

// The key or click that started the program must not end the intro at once.
void release_wait(Program& program) {
  program.screen = Screen::release;
  while (key_held(vk_escape) || display_mouse_left() == 1) {
    frame_clear(program.frame);
    present(program);
  }
  frame_clear(program.frame);
  present(program);
}

void intro_prepare(Program& program) {
  AppState& app = program.app;
  program.screen = Screen::intro;
  sleep_ms(150);
  double now = clock_seconds();
  uint64_t seed;
  std::memcpy(&seed, &now, sizeof seed);
  random_seed(seed);
  app.scroller_hold_until = now;
  app.current_tune = int32_t(std::floor(random_uniform() * 12.0)) + 1;
  if (app.current_tune < 1) app.current_tune = 1;
  if (app.current_tune > 12) app.current_tune = 12;
}

void intro_pick_tune_by_function_key(AppState& app) {
  for (int k = 1; k <= 12; ++k)
    if (key_struck(vk_f1 + k - 1) && app.current_tune != k) app.current_tune = k;
}

void intro_loop(Program& program) {
  AppState& app = program.app;
  program.screen = Screen::intro;
  while (!key_struck(vk_escape) && display_mouse_left() == 0) {
    app.intro_frame_started_at = clock_seconds();
    intro_pick_tune_by_function_key(app);
    present(program);
    frame_clear(program.frame);
    sleep_ms(1);
    app.intro_frame_scale = (clock_seconds() - app.intro_frame_started_at) * 250.0;
    app.intro_phase += (clock_seconds() - app.intro_frame_started_at) * 50.0;
  }
}

void change_to_magazine(Program& program) {
  sleep_ms(10);
  frame_clear(program.frame);
  program.screen = Screen::magazine;
}

void magazine_loop(Program& program) {
  AppState& app = program.app;
  program.screen = Screen::magazine;
  while (!key_struck(vk_escape) && app.exit_requested == 0) {
    app.magazine_frame_started_at = clock_seconds();
    scroll_by_arrow_keys(app, key_held(vk_down), key_held(vk_up));
    scroll_by_wheel(app, display_mouse_wheel());
    if (app.page_length <= 32) app.line_offset = 5;   // short pages rest 5 pixels lower
    present(program);
    sleep_ms(1);
    app.magazine_phase += (clock_seconds() - app.magazine_frame_started_at) * 250.0;
  }
}

}  // namespace

int run_magazine(Program& program) {
  if (!start_up(program)) return -1;
  release_wait(program);
  intro_prepare(program);
  intro_loop(program);
  change_to_magazine(program);
  magazine_loop(program);
  display_close();
  return 0;
}

const char* screen_name(Screen screen) {
  switch (screen) {
    case Screen::release: return "release";
    case Screen::intro: return "intro";
    case Screen::flash: return "flash";
    case Screen::magazine: return "magazine";
    case Screen::wipe: return "wipe";
  }
  return "?";
}
