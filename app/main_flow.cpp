// The spine of the program, in the order a run takes:
//   start-up -> release wait -> intro preparation -> intro loop
//   -> change to the magazine -> magazine loop -> end.
// Every loop pass draws a whole frame, presents it, sleeps 1 ms and measures its
// own duration; animations move by measured time, never by frame counts.
#include "app/main_flow.h"

#include <cmath>
#include <cstring>

#include "app/background_music.h"
#include "app/intro_tunes.h"
#include "app/input_sampling.h"
#include "app/page_change.h"
#include "app/page_scrolling.h"
#include "app/page_view.h"
#include "assets/issue/issue_data.h"
#include "display/display.h"
#include "gfx/intro_effects.h"
#include "gfx/noise_flash.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/random.h"
#include "platform/window.h"

namespace {

void present(Program& program) { display_update(program.display, program.frame.pixels); }

// The intro's texts: the nine credit lines, and the scroller's lead of spaces
// followed by its pieces.
void build_intro_texts(Program& program) {
  for (int k = 1; k <= 9; ++k) program.credit_lines[k] = issue_texts.credit_lines[k] ? issue_texts.credit_lines[k] : "";
  std::string& text = program.intro.scroller_text;
  text = issue_texts.scroller_lead ? issue_texts.scroller_lead : "";
  for (int i = 0; i < issue_texts.scroller_piece_count; ++i) text += issue_texts.scroller_pieces[i];
}

void present_wipe_step(void* context, FrameBuffer&) { present(*static_cast<Program*>(context)); }

// wipe_out, load_page, wipe_in, as the buttons and the menu ask for it.
void change_page_with_wipes(void* context, int32_t page) {
  Program& program = *static_cast<Program*>(context);
  FramePresenter presenter{present_wipe_step, &program};
  const MusicCalls music_calls = background_music_calls(program.music);
  program.screen = Screen::wipe;
  wipe_out(program.frame, program.magazine, program.app, music_calls, presenter);
  load_page(program.magazine.pages, program.app, page);
  program.page_loaded = page;
  wipe_in(program.frame, program.magazine, program.app, music_calls, presenter);
  program.screen = Screen::magazine;
}

void sample_magazine_input(AppState& app, const DisplayLayer& display) {
  InputSample input;
  input.mouse_x = int32_t(display_mouse_x(display));
  input.mouse_y = int32_t(display_mouse_y(display));
  input.mouse_left = int32_t(display_mouse_left(display));
  input.page_up = key_struck(vk_page_up);
  input.page_down = key_struck(vk_page_down);
  input.end = key_struck(vk_end);
  input.home = key_struck(vk_home);
  sample_input(app, input);
}

}  // namespace

void start_up_tables(Program& program) {
  AppState& app = program.app;
  app = AppState{};
  sid_set_tunes(program.sid, intro_tune_table());
  magazine_init(program.magazine, app);   // pages (editorial loaded), menus, skins, font, pointer, buttons
  program.page_loaded = 11;
  build_intro_texts(program);
  reset_bars(program.music.bars);
  app.wheel_now = app.wheel_prev = 0;
}

namespace {

bool start_up(Program& program) {
  start_up_tables(program);
  display_set_close_on_escape(program.display, false);
  display_configure(program.display,
                    {.ask = false, .question = "ORVELLA PREVIEW\rFULL SCREEN?", .windowed = false, .popup = true});
  if (!display_open(program.display, "CODED BY FERNHOLLOW :-)", 800, 600)) return false;
  window_show_cursor(false);   // the magazine draws its own pointer
  big_font_unpack(program.big_font, issue_big_font, issue_big_font_size);
  return true;
}

// The key or click that started the program must not end the intro at once.
void release_wait(Program& program) {
  program.screen = Screen::release;
  // One pump first: a button held since before the window opened is only known
  // to the display once its messages have been read.
  frame_clear(program.frame);
  present(program);
  while (key_held(vk_escape) || display_mouse_left(program.display) == 1) {
    frame_clear(program.frame);
    present(program);
  }
  frame_clear(program.frame);
  present(program);
}

void noise_flashes(Program& program, const char* sequence) {
  program.screen = Screen::flash;
  for (const char* kind = sequence; *kind; ++kind) {
    if (*kind == 'c') noise_flash_coarse(program.frame, program.display);
    if (*kind == 'f') noise_flash_fine(program.frame, program.display);
  }
}

void intro_prepare(Program& program) {
  AppState& app = program.app;
  stars_init(program.intro);
  sleep_ms(150);
  noise_flashes(program, "ccf");
  program.screen = Screen::intro;
  double now = clock_seconds();
  uint64_t seed;
  std::memcpy(&seed, &now, sizeof seed);
  random_seed(seed);
  app.scroller_hold_until = now;
  app.current_tune = intro_first_tune(random_uniform());
  sid_play_tune(program.sid, app.current_tune);
}

void intro_pick_tune_by_function_key(SidPlayer& sid, AppState& app) {
  for (int k = 1; k <= 12; ++k)
    if (key_struck(vk_f1 + k - 1)) intro_select_tune(sid, app.current_tune, k);
}

void intro_loop(Program& program) {
  AppState& app = program.app;
  program.screen = Screen::intro;
  while (!key_struck(vk_escape) && display_mouse_left(program.display) == 0) {
    app.intro_frame_started_at = clock_seconds();
    intro_pick_tune_by_function_key(program.sid, app);
    intro_report_tune_failure(program.sid);
    raster_bars_draw(program.frame, app.intro_phase);
    intro_tables_update(program.intro, app.intro_phase);
    stars_draw(program.frame, program.intro, app.intro_frame_scale);
    draw_credits(program.frame, program.intro, program.big_font, program.credit_lines);
    scroller_draw(program.frame, program.intro, program.big_font, app.intro_frame_scale, app.scroller_hold_until);
    present(program);
    intro_clear(program.frame);
    sleep_ms(1);
    app.intro_frame_scale = (clock_seconds() - app.intro_frame_started_at) * 250.0;
    app.intro_phase += (clock_seconds() - app.intro_frame_started_at) * 50.0;
  }
}

void change_to_magazine(Program& program) {
  sid_stop(program.sid);
  intro_report_tune_failure(program.sid);   // one that came in with the last refills
  noise_flashes(program, "ccfcff");
  sleep_ms(10);
  play_module_1(program.music);   // current_module stays at its initial 1
  program.music_on = xm_is_playing(program.music.player);
  frame_clear(program.frame);
  skin_backgrounds_render(program.magazine.skins, 0, 0, 799, 599, 0, 0);
  program.screen = Screen::magazine;
}

void magazine_loop(Program& program) {
  AppState& app = program.app;
  const MusicCalls music_calls = background_music_calls(program.music);
  program.screen = Screen::magazine;
  while (!key_struck(vk_escape) && app.exit_requested == 0) {
    app.magazine_frame_started_at = clock_seconds();
    scroll_by_arrow_keys(app, key_held(vk_down), key_held(vk_up));
    scroll_by_wheel(app, display_mouse_wheel(program.display));
    PageChanger pages{change_page_with_wipes, &program};
    Magazine& magazine = program.magazine;
    handle_buttons(magazine.buttons, magazine.menu, app, key_struck(vk_f1), key_struck(vk_f1 + 1), pages, music_calls);
    handle_menu_click(magazine.menu, magazine.buttons, app, pages);
    program.music_on = xm_is_playing(program.music.player);
    draw_magazine(program.frame, magazine, app, music_calls);
    draw_magazine_overlays(program.frame, magazine, app);   // scroll bar (or the short-page rest), pointer
    present(program);
    sample_magazine_input(app, program.display);
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
  xm_stop_current(program.music.player);
  xm_free_current(program.music.player);
  display_close(program.display);
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
