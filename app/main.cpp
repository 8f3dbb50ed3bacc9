// The magazine: no arguments, no files; everything it shows and plays is inside.
#include <memory>

#include "app/main_flow.h"
#include "platform/process.h"

int main() {
  auto program = std::make_unique<Program>();
  process_exit(run_magazine(*program));
}
