// magpreview OUT.png [options]: draws one magazine frame from the compiled-in
// issue, without a display, and writes it as a PNG, for looking at the skins,
// pages and menus. Options:
//   --skin N       1 Grunge (default), 2 Carbon
//   --page P       page 1..20 (default 11, the editorial)
//   --top T        first line shown (limited to the page)
//   --menu M       1 charts, 2 articles (default)
//   --pointer X Y  pointer position (default 400 300)
//   --frames N     frames drawn before the shot (glows, ticker; default 1)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/magazine.h"
#include "tools/issue/png_io.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::printf("usage: magpreview OUT.png [--skin N] [--page P] [--top T] [--menu M] [--pointer X Y] [--frames N]\n"
                "Draws one magazine frame of the compiled-in issue into a PNG.\n");
    return argc < 2 ? 2 : 0;
  }
  auto magazine = std::make_unique<Magazine>();
  auto frame = std::make_unique<FrameBuffer>();
  AppState app;
  magazine_init(*magazine, app);
  skin_backgrounds_render(magazine->skins, 0, 0, 799, 599, 0, 0);
  int page = 11, top = 0, frames = 1;
  app.pointer_x = 400;
  app.pointer_y = 300;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    auto number = [&](int& out) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "magpreview: %s needs a number\n", a.c_str());
        std::exit(2);
      }
      out = std::atoi(argv[++i]);
    };
    if (a == "--skin") number(app.skin);
    else if (a == "--page") number(page);
    else if (a == "--top") number(top);
    else if (a == "--menu") number(app.menu_mode);
    else if (a == "--pointer") { number(app.pointer_x); number(app.pointer_y); }
    else if (a == "--frames") number(frames);
    else {
      std::fprintf(stderr, "magpreview: unknown option %s (try --help)\n", a.c_str());
      return 2;
    }
  }
  if (page < 1 || page > 20) {
    std::fprintf(stderr, "magpreview: page must be 1..20\n");
    return 2;
  }
  load_page(magazine->pages, app, page);
  app.top_line = std::max(0, std::min(top, app.page_length - 33));
  magazine->buttons.button[button_charts].state = app.menu_mode == menu_charts;
  magazine->buttons.button[button_articles].state = app.menu_mode == menu_articles;
  MusicCalls music;
  for (int f = 0; f < frames; ++f) {
    draw_magazine(*frame, *magazine, app, music);
    draw_magazine_overlays(*frame, *magazine, app);
    app.magazine_phase += 4;
  }
  std::string error;
  if (!png_write_rgb(argv[1], screen_width, screen_height, frame->pixels, error)) {
    std::fprintf(stderr, "magpreview: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
