#pragma once
// What both wave output backends share: the rules for a header's flags and the
// device's queue of headers. Callers hold whatever lock guards their queue.
#include <algorithm>
#include <cstdint>

#include "platform/wave_out.h"

struct WaveQueue {
  WaveHeader* head = nullptr;
  WaveHeader* tail = nullptr;
};

inline int wave_header_prepare(WaveHeader* header) {
  if (!header || !header->data) return wave_invalid_param;
  header->flags |= wave_prepared;
  return wave_ok;
}

inline int wave_header_unprepare(WaveHeader* header) {
  if (!header) return wave_invalid_param;
  if (header->flags & wave_in_queue) return wave_still_playing;
  header->flags &= ~wave_prepared;
  return wave_ok;
}

// Checks a header for writing and marks it queued, ready to play from its start.
inline int wave_header_accept(WaveHeader* header, uint32_t frame_bytes) {
  if (!header) return wave_invalid_param;
  if (!(header->flags & wave_prepared)) return wave_unprepared;
  if (header->flags & wave_in_queue) return wave_still_playing;
  if (header->buffer_length % frame_bytes != 0) return wave_invalid_param;
  header->flags = (header->flags & ~wave_done) | wave_in_queue;
  header->played_bytes = 0;
  header->next_in_queue = nullptr;
  bool looping = (header->flags & wave_begin_loop) && (header->flags & wave_end_loop);
  header->loops_left = looping ? std::max<uint32_t>(header->loops, 1) : 1;
  return wave_ok;
}

// The header has played to its end: true when its loop plays it again.
inline bool wave_header_repeat(WaveHeader* header) {
  header->played_bytes = 0;
  bool looping = (header->flags & wave_begin_loop) && (header->flags & wave_end_loop);
  if (!looping || header->loops_left <= 1) return false;
  if (header->loops_left != 0xFFFFFFFFu) header->loops_left -= 1;
  return true;
}

inline void wave_header_mark_done(WaveHeader* header) {
  header->played_bytes = 0;
  header->flags = (header->flags & ~wave_in_queue) | wave_done;
}

inline void wave_queue_push(WaveQueue& queue, WaveHeader* header) {
  if (queue.tail)
    queue.tail->next_in_queue = header;
  else
    queue.head = header;
  queue.tail = header;
}

inline WaveHeader* wave_queue_pop(WaveQueue& queue) {
  WaveHeader* head = queue.head;
  queue.head = head->next_in_queue;
  if (!queue.head) queue.tail = nullptr;
  head->next_in_queue = nullptr;
  return head;
}
