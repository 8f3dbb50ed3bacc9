// Preloaded (LD_PRELOAD) into a program under measurement: counts its
// SDL_RenderPresent calls in an 8-byte file named by MAG_PRESENT_COUNTER, which
// a script reads at two moments to get frames per second. The file is mapped
// shared, so the count is there however the program ends.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

struct SDL_Renderer;

namespace {

using PresentCall = void (*)(SDL_Renderer*);

std::atomic<uint64_t>* open_counter() {
  const char* path = std::getenv("MAG_PRESENT_COUNTER");
  if (!path || !*path) return nullptr;
  int fd = open(path, O_RDWR | O_CREAT, 0644);
  if (fd < 0) return nullptr;
  void* memory = nullptr;
  if (ftruncate(fd, sizeof(uint64_t)) == 0)
    memory = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  return memory == MAP_FAILED ? nullptr : static_cast<std::atomic<uint64_t>*>(memory);
}

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
  static const auto real = reinterpret_cast<PresentCall>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
  static std::atomic<uint64_t>* const counter = open_counter();
  if (real) real(renderer);
  if (counter) counter->fetch_add(1, std::memory_order_relaxed);
}
