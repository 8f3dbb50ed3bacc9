// Serialises a Song as a FastTracker 2 XM file (version 1.04, linear
// frequencies, packed patterns, delta-coded samples).
#pragma once
#include <cstdint>
#include <vector>

#include "score.h"

namespace xmc {

std::vector<uint8_t> write_xm(const Song& song);

}  // namespace xmc
