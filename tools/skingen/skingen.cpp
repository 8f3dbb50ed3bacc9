// skingen PAGE_FONT.png OUT_DIR [--preview]: paints the skins "Grunge" and
// "Carbon" (800 x 600) and writes them as 8-bit palettised PNGs:
// OUT_DIR/skin_grunge.png and OUT_DIR/skin_carbon.png. The button labels and
// the name come from the page font atlas, the button places from the program's
// button table. --preview also writes true-colour-free copies with the hit
// boxes outlined (OUT_DIR/*_boxes.png) for checking the layout.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/tool_args.h"
#include "tools/skingen/skins.h"

namespace {

bool write_skin(const Canvas& canvas, const std::string& path) {
  IndexedPicture picture = quantise(canvas, 3.0f);
  std::string error;
  if (!png_write_indexed(path, picture, error)) {
    std::fprintf(stderr, "skingen: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

Canvas with_boxes(Canvas c, int skin) {
  for (int i = 1; i <= button_count; ++i) {
    Rect r = button_rect(i, skin);
    for (int x = r.x0; x <= r.x1; ++x) c.at(x, r.y0) = c.at(x, r.y1) = {255, 0, 255};
    for (int y = r.y0; y <= r.y1; ++y) c.at(r.x0, y) = c.at(r.x1, y) = {255, 0, 255};
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "skingen";
  if (args_want_help(argc, argv)) {
    std::printf("usage: skingen PAGE_FONT.png OUT_DIR [--preview]\n"
                "Paints skin_grunge.png and skin_carbon.png (800 x 600, 8-bit palettised) into OUT_DIR.\n"
                "--preview also writes skin_*_boxes.png with the button hit boxes outlined.\n");
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  bool preview = false;
  std::vector<std::string> paths;
  while (args_next(args)) {
    if (args_is(args, "--preview")) preview = true;
    else if (args_is_option(args)) return args_unknown(args);
    else paths.push_back(args.current);
  }
  if (paths.size() != 2) return tool_usage_error(program, "expected PAGE_FONT.png OUT_DIR [--preview]");
  const std::string &font = paths[0], &out = paths[1];
  Atlas atlas;
  std::string error;
  if (!png_read_indexed(font, atlas.picture, error)) return tool_error(program, font + ": " + error);
  if (atlas.picture.width != 2048 || atlas.picture.height != 28)
    return tool_error(program, font + " is not a 2048 x 28 page font atlas");
  // Before the painting, which takes a while.
  if (!std::filesystem::is_directory(out)) return tool_error(program, out + ": no such folder");
  Canvas grunge, carbon;
  std::printf("skingen: painting Grunge\n");
  paint_grunge(grunge, atlas);
  std::printf("skingen: painting Carbon\n");
  paint_carbon(carbon, atlas);
  if (!write_skin(grunge, out + "/skin_grunge.png") || !write_skin(carbon, out + "/skin_carbon.png")) return exit_failure;
  if (preview && (!write_skin(with_boxes(grunge, 1), out + "/skin_grunge_boxes.png") ||
                  !write_skin(with_boxes(carbon, 2), out + "/skin_carbon_boxes.png")))
    return exit_failure;
  return exit_ok;
}
