// One magazine frame and one page load, against the frame-copy floor.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/magazine.h"
#include "app/page_view.h"

namespace {

struct Bench {
  std::unique_ptr<Magazine> magazine = std::make_unique<Magazine>();
  std::unique_ptr<FrameBuffer> frame = std::make_unique<FrameBuffer>();
  AppState app;
  Bench() {
    magazine_init(*magazine, app);
    skin_backgrounds_render(magazine->skins, 0, 0, 799, 599, 0, 0);
  }
};

// The editorial: a long page whose first view holds bands of every style,
// rainbow (style 8) included, with the pointer over the menu.
void BM_MagazineFrame(benchmark::State& state) {
  Bench b;
  load_page(b.magazine->pages, b.app, 11);
  b.app.pointer_x = 250;
  b.app.pointer_y = 80;
  MusicCalls music;
  for (auto _ : state) {
    draw_magazine(*b.frame, *b.magazine, b.app, music);
    draw_magazine_overlays(*b.frame, *b.magazine, b.app);
    b.app.magazine_phase += 4;
    benchmark::DoNotOptimize(b.frame->pixels[300 * 800 + 400]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MagazineFrame);

void BM_LoadPage(benchmark::State& state) {
  Bench b;
  int32_t page = 4;
  for (auto _ : state) {
    load_page(b.magazine->pages, b.app, page);
    page = page == 4 ? 12 : 4;
    benchmark::DoNotOptimize(b.magazine->pages.characters[100][10]);
  }
}
BENCHMARK(BM_LoadPage);

}  // namespace
