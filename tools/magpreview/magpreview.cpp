// magpreview OUT.png [options]: draws one magazine frame from the compiled-in
// issue, without a display, and writes it as a PNG, for looking at the skins,
// pages and menus. Options are in `usage` below.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/magazine.h"
#include "tools/common/tool_args.h"
#include "tools/issue/png_io.h"

namespace {

const char* const program = "magpreview";

const char* const usage =
    "usage: magpreview OUT.png [--skin N] [--page P] [--top T] [--menu M] [--pointer X Y] [--frames N]\n"
    "Draws one magazine frame of the compiled-in issue into a PNG.\n"
    "  --skin N       1 Grunge (default), 2 Carbon\n"
    "  --page P       page 1..20 (default 11, the editorial)\n"
    "  --top T        first line shown, 0..5000 (limited to the page)\n"
    "  --menu M       1 charts, 2 articles (default)\n"
    "  --pointer X Y  pointer position on the screen (default 400 300)\n"
    "  --frames N     frames drawn before the shot, 1..10000 (glows, ticker; default 1)\n";

struct Preview {
  std::string out;
  int32_t skin = 1, page = editorial_page, top = 0, menu = menu_articles, frames = 1;
  int32_t pointer_x = 400, pointer_y = 300;
};

// Reads the command line into `preview`; exit_ok, or the status to end with.
int read_arguments(int argc, char** argv, Preview& preview) {
  ToolArgs args{program, argc, argv};
  int outputs = 0;
  while (args_next(args)) {
    if (args_is(args, "--skin")) {
      preview.skin = int32_t(args_integer(args, 1, 2));
    } else if (args_is(args, "--page")) {
      preview.page = int32_t(args_integer(args, 1, page_count));
    } else if (args_is(args, "--top")) {
      preview.top = int32_t(args_integer(args, 0, page_line_limit));
    } else if (args_is(args, "--menu")) {
      preview.menu = int32_t(args_integer(args, menu_charts, menu_articles));
    } else if (args_is(args, "--pointer")) {
      preview.pointer_x = int32_t(args_integer(args, 0, screen_width - 1));
      preview.pointer_y = int32_t(args_integer(args, 0, screen_height - 1));
    } else if (args_is(args, "--frames")) {
      preview.frames = int32_t(args_integer(args, 1, 10000));
    } else if (args_is_option(args)) {
      return args_unknown(args);
    } else {
      preview.out = args.current;
      ++outputs;
    }
  }
  if (args.failed) return exit_usage;
  if (outputs != 1) return tool_usage_error(program, outputs == 0 ? "expected OUT.png" : "one OUT.png at a time");
  return exit_ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  Preview preview;
  if (int status = read_arguments(argc, argv, preview); status != exit_ok) return status;

  auto magazine = std::make_unique<Magazine>();
  auto frame = std::make_unique<FrameBuffer>();
  AppState app;
  magazine_init(*magazine, app);
  skin_backgrounds_render(magazine->skins, 0, 0, 799, 599, 0, 0);
  app.skin = preview.skin;
  app.menu_mode = preview.menu;
  app.pointer_x = preview.pointer_x;
  app.pointer_y = preview.pointer_y;
  load_page(magazine->pages, app, preview.page);
  app.top_line = std::max(0, std::min(preview.top, app.page_length - page_view_lines));
  magazine->buttons.button[button_charts].state = app.menu_mode == menu_charts;
  magazine->buttons.button[button_articles].state = app.menu_mode == menu_articles;
  MusicCalls music;
  for (int f = 0; f < preview.frames; ++f) {
    draw_magazine(*frame, *magazine, app, music);
    draw_magazine_overlays(*frame, *magazine, app);
    app.magazine_phase += 4;
  }
  std::string error;
  if (!png_write_rgb(preview.out, screen_width, screen_height, frame->pixels, error))
    return tool_error(program, preview.out + ": " + error);
  return exit_ok;
}
