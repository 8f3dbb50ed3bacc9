// One whole intro frame: raster bars, tables, stars, the nine credit lines, the
// scroller with its reflection, then the backdrop for the next frame.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/large_font.h"
#include "gfx/intro_effects.h"
#include "platform/random.h"

namespace {

// The committed font picture, read directly: indices then palette.
std::vector<uint8_t> read_big_font_png() {
  std::string path = std::string(MAG_SOURCE_DIR) + "/assets/pictures/big_font.png";
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> bytes;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return bytes;
  image.format = PNG_FORMAT_RGB_COLORMAP;
  std::vector<uint8_t> indices(PNG_IMAGE_SIZE(image));
  std::vector<uint8_t> colours(PNG_IMAGE_COLORMAP_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, indices.data(), 0, colours.data())) return bytes;
  bytes = indices;
  colours.resize(768, 0);
  bytes.insert(bytes.end(), colours.begin(), colours.end());
  return bytes;
}

void BM_IntroFrame(benchmark::State& state) {
  auto frame = std::make_unique<FrameBuffer>();
  auto intro = std::make_unique<IntroScreen>();
  auto font = std::make_unique<BigFont>();
  std::vector<uint8_t> bytes = read_big_font_png();
  if (!big_font_unpack(*font, bytes.data(), bytes.size())) {
    state.SkipWithError("assets/pictures/big_font.png could not be read");
    return;
  }
  CreditLines credits = {"", "***********************", "*ORVELLA*", "***********************", "", "issue number 37",
                         "Released on", "27-12-2009", "", "= TRY F1 TO F12 ="};
  intro->scroller_text = std::string(66, ' ') + "WELCOME TO ANOTHER ISSUE OF THE CHART MAGAZINE THAT COUNTS EVERY RELEASE";
  intro->scroller_index = 60;
  AppState app;
  app.intro_frame_scale = 4.2;
  app.scroller_hold_until = -1;
  random_seed(1);
  stars_init(*intro);
  for (auto _ : state) {
    raster_bars_draw(*frame, app);
    intro_tables_update(*intro, app);
    stars_draw(*frame, *intro, app);
    draw_credits(*frame, *intro, *font, credits);
    scroller_draw(*frame, *intro, app, *font);
    benchmark::DoNotOptimize(frame->pixels[300 * 800 + 400]);
    intro_clear(*frame);
    app.intro_phase += 0.83;
    if (intro->scroller_index > 100) intro->scroller_index = 60;
  }
}
BENCHMARK(BM_IntroFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
