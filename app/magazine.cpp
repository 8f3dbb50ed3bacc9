// Start-up of the magazine screen and the order of one frame.
#include "app/magazine.h"

#include "app/page_view.h"
#include "app/pointer_buttons.h"
#include "assets/issue/issue_data.h"
#include "gfx/page_font.h"

void magazine_init(Magazine& m, AppState& app) {
  const int32_t* values = pointer_and_buttons.data();
  m.pages.source = issue_pages;
  load_page(m.pages, app, editorial_page);

  m.menu.header = issue_texts.menu_header;
  for (int e = 1; e <= menu_entry_count; ++e) {
    m.menu.labels[e] = issue_texts.menu_labels[e];
    m.menu.visible[e] = issue_texts.menu_visible[e];
  }
  clear_page_marks(m.menu);
  m.menu.page_marks[editorial_page] = 1;
  ticker_build(m.ticker, issue_texts.module_titles);

  skin_pictures_unpack(m.skins, issue_pictures);
  font_atlas_unpack(m.font.atlas, issue_pictures + page_font_offset);
  text_palette_build(m.font.palette, m.font.atlas.palette);
  pointer_images_build(m.pointer, values);
  read_button_table(m.buttons, values + pointer_values);
}

void draw_magazine(FrameBuffer& frame, Magazine& m, AppState& app, const MusicCalls& music) {
  background_copy(m.skins, app.skin, frame);
  draw_buttons(frame, m.buttons, app);
  draw_menu(frame, m.menu, m.font, app);
  draw_page_bands(frame, m.pages, app, app.top_line);
  draw_page_text(frame, m.pages, m.font, app, app.top_line);
  // --- XM call point: the music bars, only while the music is on ---
  if (m.buttons.button[button_music].state == 0 && music.update_bars) music.update_bars(music.context, frame, app.skin);
  draw_ticker(frame, m.ticker, m.font, app);
}

void draw_magazine_overlays(FrameBuffer& frame, Magazine& m, AppState& app) {
  if (app.page_length > 32) {
    draw_scrollbar(frame, app);
    handle_scrollbar(app);
  } else {
    app.line_offset = 5;
  }
  draw_pointer(frame, m.pointer, app.pointer_style, app.pointer_x, app.pointer_y);
}
