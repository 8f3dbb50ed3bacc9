// The wipes' frame loops around load_page.
#include "app/page_change.h"

#include "gfx/wipe_comb.h"
#include "platform/clock.h"

namespace {

// The page area's height is read once: a skin switch during a wipe shows from
// the next one on.
void wipe(FrameBuffer& frame, Magazine& m, AppState& app, const MusicCalls& music, const FramePresenter& presenter,
          bool closing) {
  int32_t bottom = wipe_bottom(app.skin);
  for (int i = 0; i < wipe_steps; ++i) {
    int32_t s = closing ? wipe_out_value(i) : wipe_in_value(i);
    app.magazine_frame_started_at = clock_seconds();
    draw_magazine(frame, m, app, music);
    wipe_comb(frame, s, bottom);
    if (presenter.present) presenter.present(presenter.context, frame);
    sleep_ms(1);
    app.magazine_phase += (clock_seconds() - app.magazine_frame_started_at) * 250.0;
  }
}

}  // namespace

void wipe_out(FrameBuffer& frame, Magazine& m, AppState& app, const MusicCalls& music, const FramePresenter& presenter) {
  wipe(frame, m, app, music, presenter, true);
}

void wipe_in(FrameBuffer& frame, Magazine& m, AppState& app, const MusicCalls& music, const FramePresenter& presenter) {
  wipe(frame, m, app, music, presenter, false);
}

void run_page_change(FrameBuffer& frame, Magazine& m, AppState& app, const MusicCalls& music,
                     const FramePresenter& presenter, int32_t page) {
  wipe_out(frame, m, app, music, presenter);
  load_page(m.pages, app, page);
  wipe_in(frame, m, app, music, presenter);
}
