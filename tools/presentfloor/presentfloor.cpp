// presentfloor: the least a program can do to show an 800 x 600 frame on this
// desktop the way the magazine shows it: one streaming texture, written whole
// each frame, letterboxed with linear scaling into a full-screen desktop
// window, presented with vsync. What it costs is the floor the magazine's own
// CPU use is measured against (scripts/measure-desktop.sh).
//
// Plain SDL on purpose: none of our layers, so it shows what SDL and the
// driver cost by themselves.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/common/tool_args.h"

namespace {

const char* usage =
    "usage: presentfloor [--seconds S]\n"
    "\n"
    "Presents an 800 x 600 streaming texture full screen (the desktop's mode,\n"
    "aspect kept, linear scaling, vsync) every frame until S seconds have passed\n"
    "(default: until Escape, a close request, SIGINT or SIGTERM), then prints\n"
    "one line: frames, seconds and frames per second.\n";

constexpr int frame_width = 800;
constexpr int frame_height = 600;

// Two frames to alternate, so that every upload carries changed pixels.
void paint(std::vector<uint32_t>& frame, uint32_t tint) {
  for (int y = 0; y < frame_height; ++y)
    for (int x = 0; x < frame_width; ++x)
      frame[size_t(y) * frame_width + x] = ((uint32_t(x) & 0xFF) << 16) | ((uint32_t(y) & 0xFF) << 8) | tint;
}

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  double seconds = 0;
  ToolArgs args{"presentfloor", argc, argv};
  while (args_next(args)) {
    if (args_is(args, "--seconds"))
      seconds = args_number(args, 0.1, 86400);
    else
      return args_unknown(args);
  }
  if (args.failed) return exit_usage;

  if (SDL_Init(SDL_INIT_VIDEO) != 0) return tool_error("presentfloor", std::string("no display: ") + SDL_GetError());
  // Without a display SDL falls back to drawing off screen, which measures nothing.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!std::getenv("SDL_VIDEODRIVER") && driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) {
    SDL_Quit();
    return tool_error("presentfloor", std::string("no display: SDL could only draw off screen (") + driver + ")");
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Rect desktop{0, 0, frame_width, frame_height};
  SDL_GetDisplayBounds(0, &desktop);
  SDL_Window* window = SDL_CreateWindow("presentfloor", desktop.x, desktop.y, desktop.w, desktop.h,
                                        SDL_WINDOW_SHOWN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
  SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                      frame_width, frame_height)
                                  : nullptr;
  if (!texture) {
    std::string why = SDL_GetError();
    SDL_Quit();
    return tool_error("presentfloor", "cannot present: " + why);
  }
  SDL_RenderSetLogicalSize(renderer, frame_width, frame_height);
  SDL_ShowCursor(SDL_DISABLE);

  std::vector<uint32_t> frames[2] = {std::vector<uint32_t>(frame_width * frame_height),
                                     std::vector<uint32_t>(frame_width * frame_height)};
  paint(frames[0], 0x40);
  paint(frames[1], 0xC0);

  const Uint64 started = SDL_GetPerformanceCounter();
  const double ticks_per_second = double(SDL_GetPerformanceFrequency());
  uint64_t presented = 0;
  bool running = true;
  while (running) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) running = false;
      if (event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) running = false;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &pixels, &pitch) == 0) {
      const std::vector<uint32_t>& frame = frames[presented & 1];
      for (int y = 0; y < frame_height; ++y)
        std::memcpy(static_cast<uint8_t*>(pixels) + size_t(y) * pitch, &frame[size_t(y) * frame_width],
                    frame_width * 4);
      SDL_UnlockTexture(texture);
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    presented += 1;
    if (seconds > 0 && double(SDL_GetPerformanceCounter() - started) / ticks_per_second >= seconds) running = false;
  }
  double elapsed = double(SDL_GetPerformanceCounter() - started) / ticks_per_second;
  std::printf("presentfloor: %llu frames in %.2f s, %.1f frames per second\n",
              static_cast<unsigned long long>(presented), elapsed, elapsed > 0 ? double(presented) / elapsed : 0.0);
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return exit_ok;
}
