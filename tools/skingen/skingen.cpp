// skingen PAGE_FONT.png OUT_DIR [--preview]: paints the skins "Grunge" and
// "Carbon" (800 x 600) and writes them as 8-bit palettised PNGs:
// OUT_DIR/skin_grunge.png and OUT_DIR/skin_carbon.png. The button labels and
// the name come from the page font atlas, the button places from the program's
// button table. --preview also writes true-colour-free copies with the hit
// boxes outlined (OUT_DIR/*_boxes.png) for checking the layout.
#include <cstdio>
#include <cstring>
#include <string>

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
  for (int i = 1; i <= 10; ++i) {
    Rect r = button_rect(i, skin);
    for (int x = r.x0; x <= r.x1; ++x) c.at(x, r.y0) = c.at(x, r.y1) = {255, 0, 255};
    for (int y = r.y0; y <= r.y1; ++y) c.at(r.x0, y) = c.at(r.x1, y) = {255, 0, 255};
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: skingen PAGE_FONT.png OUT_DIR [--preview]\n"
                "Paints skin_grunge.png and skin_carbon.png (800 x 600, 8-bit palettised) into OUT_DIR.\n"
                "--preview also writes skin_*_boxes.png with the button hit boxes outlined.\n");
    return 0;
  }
  bool preview = argc == 4 && std::strcmp(argv[3], "--preview") == 0;
  if (argc != 3 && !preview) {
    std::fprintf(stderr, "skingen: expected PAGE_FONT.png OUT_DIR [--preview] (try --help)\n");
    return 2;
  }
  Atlas atlas;
  std::string error;
  if (!png_read_indexed(argv[1], atlas.picture, error)) {
    std::fprintf(stderr, "skingen: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  if (atlas.picture.width != 2048 || atlas.picture.height != 28) {
    std::fprintf(stderr, "skingen: %s is not a 2048 x 28 page font atlas\n", argv[1]);
    return 1;
  }
  std::string out = argv[2];
  Canvas grunge, carbon;
  std::printf("skingen: painting Grunge\n");
  paint_grunge(grunge, atlas);
  std::printf("skingen: painting Carbon\n");
  paint_carbon(carbon, atlas);
  if (!write_skin(grunge, out + "/skin_grunge.png") || !write_skin(carbon, out + "/skin_carbon.png")) return 1;
  if (preview && (!write_skin(with_boxes(grunge, 1), out + "/skin_grunge_boxes.png") ||
                  !write_skin(with_boxes(carbon, 2), out + "/skin_carbon_boxes.png")))
    return 1;
  return 0;
}
