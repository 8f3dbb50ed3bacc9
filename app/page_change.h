#pragma once
// A page change as the reader sees it: the page area closes in comb stripes
// (wipe_out, 75 frames), the new page is loaded, and it opens again (wipe_in,
// 75 frames). Each step is a whole magazine frame, presented, with the 1 ms
// sleep and the magazine clock running, so the rainbow bands keep moving.
#include <cstdint>

#include "app/magazine.h"

struct FramePresenter {
  void (*present)(void* context, FrameBuffer& frame) = nullptr;
  void* context = nullptr;
};

void wipe_out(FrameBuffer& frame, Magazine& magazine, AppState& app, const MusicCalls& music,
              const FramePresenter& presenter);
void wipe_in(FrameBuffer& frame, Magazine& magazine, AppState& app, const MusicCalls& music,
             const FramePresenter& presenter);
// wipe_out, load_page(page), wipe_in.
void run_page_change(FrameBuffer& frame, Magazine& magazine, AppState& app, const MusicCalls& music,
                     const FramePresenter& presenter, int32_t page);
