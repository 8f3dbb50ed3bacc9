// The web backend's wave devices, natively, against a stand-in for the page's
// audio sinks: what is sent ahead, when headers are done, the position, pause,
// reset and close, as the players rely on them (see platform/wave_out.h). The
// browser run (run.mjs) plays the real sinks and compares what they played
// with the renderers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/wave_out.h"
#include "platform/web/web_internal.h"

namespace {

// What wave_sink.js does with the messages, and a hand that plays its frames.
struct FakeSink {
  int channels = 2;
  std::deque<std::vector<int16_t>> chunks;
  size_t offset = 0;   // frames of chunks.front() played
  uint64_t played = 0;
  bool paused = false;
  bool open = true;
  uint64_t frames_sent = 0;
  int messages = 0;
  std::vector<int16_t> heard;
};

std::vector<FakeSink> sinks;
// What mag_audio_open answers: a new sink, or 0 (no audio) or -1 (another rate).
constexpr int new_sink = 1;
int open_answer = new_sink;

// The audio graph plays `frames` of sink `id` (less when it runs dry).
void play(int id, uint64_t frames) {
  FakeSink& sink = sinks[size_t(id)];
  while (!sink.paused && frames > 0 && !sink.chunks.empty()) {
    std::vector<int16_t>& chunk = sink.chunks.front();
    size_t chunk_frames = chunk.size() / size_t(sink.channels);
    size_t take = std::min<size_t>(frames, chunk_frames - sink.offset);
    sink.heard.insert(sink.heard.end(), chunk.begin() + long(sink.offset * size_t(sink.channels)),
                      chunk.begin() + long((sink.offset + take) * size_t(sink.channels)));
    sink.offset += take;
    sink.played += take;
    frames -= take;
    if (sink.offset == chunk_frames) {
      sink.chunks.pop_front();
      sink.offset = 0;
    }
  }
}

}  // namespace

extern "C" {
int mag_audio_open(int channels, int) {
  if (open_answer != new_sink) return open_answer;
  if (sinks.empty()) sinks.emplace_back();   // ids start at 1
  sinks.emplace_back();
  sinks.back().channels = channels;
  return int(sinks.size() - 1);
}
void mag_audio_push(int id, const void* data, uint32_t bytes) {
  FakeSink& sink = sinks[size_t(id)];
  const auto* samples = static_cast<const int16_t*>(data);
  sink.chunks.emplace_back(samples, samples + bytes / 2);
  sink.frames_sent += bytes / 2 / uint32_t(sink.channels);
  sink.messages += 1;
}
double mag_audio_played(int id) { return double(sinks[size_t(id)].played); }
void mag_audio_pause(int id, int paused) { sinks[size_t(id)].paused = paused != 0; }
void mag_audio_flush(int id) {
  FakeSink& sink = sinks[size_t(id)];
  sink.chunks.clear();
  sink.offset = 0;
  sink.played = 0;
}
void mag_audio_close(int id) { sinks[size_t(id)].open = false; }
}

namespace {

constexpr uint32_t rate = 44100;

struct DoneLog {
  std::vector<WaveHeader*> headers;
  // A hook that queues its buffer again, as the SID stream's refill does.
  bool write_again = false;
  // A hook that closes its device once the queue is empty.
  bool close_when_empty = false;
  int close_result = -1;
  int hook_depth = 0;
  int deepest = 0;
};

void log_done(WaveDevice* device, WaveHeader* header, uintptr_t instance) {
  auto* log = reinterpret_cast<DoneLog*>(instance);
  log->hook_depth += 1;
  log->deepest = std::max(log->deepest, log->hook_depth);
  log->headers.push_back(header);
  if (log->write_again) wave_out_write(device, header);
  if (log->close_when_empty) log->close_result = wave_out_close(device);
  log->hook_depth -= 1;
}

class WebWave : public ::testing::Test {
 protected:
  void SetUp() override {
    sinks.clear();
    open_answer = new_sink;
  }
  WaveDevice* open(uint16_t channels) {
    WaveDevice* device = nullptr;
    WaveFormat format;
    format.channels = channels;
    EXPECT_EQ(wave_out_open(&device, format, log_done, reinterpret_cast<uintptr_t>(&log)), wave_ok);
    return device;
  }
  void queue(WaveDevice* device, WaveHeader& header, std::vector<int16_t>& samples) {
    header.data = samples.data();
    header.buffer_length = uint32_t(samples.size() * 2);
    ASSERT_EQ(wave_out_prepare_header(device, &header), wave_ok);
    ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  }
  uint32_t position(WaveDevice* device) {
    uint32_t bytes = 0;
    EXPECT_EQ(wave_out_get_position(device, &bytes), wave_ok);
    return bytes;
  }
  FakeSink& sink(int id = 1) { return sinks[size_t(id)]; }
  DoneLog log;
};

std::vector<int16_t> ramp(size_t count, int16_t first) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = int16_t(first + int16_t(i % 1000));
  return samples;
}

TEST_F(WebWave, AHeaderIsDoneWhenTheSinkHasPlayedItNotWhenItWasSent) {
  WaveDevice* device = open(1);
  std::vector<int16_t> first = ramp(7056, 0), second = ramp(7056, 3000);
  WaveHeader a, b;
  queue(device, a, first);
  queue(device, b, second);
  web_wave_devices_pump();
  EXPECT_EQ(sink().frames_sent, 14112u);   // both are within the lead: sent at once
  EXPECT_TRUE(log.headers.empty());

  play(1, 7000);
  web_wave_devices_pump();
  EXPECT_TRUE(log.headers.empty());
  EXPECT_EQ(position(device), 14000u);
  EXPECT_TRUE(a.flags & wave_in_queue);

  play(1, 100);
  EXPECT_EQ(position(device), 14200u);   // the position follows the sink at once...
  EXPECT_TRUE(log.headers.empty());      // ...the hook waits for the pump
  web_wave_devices_pump();
  ASSERT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(log.headers[0], &a);
  EXPECT_TRUE(a.flags & wave_done);
  EXPECT_FALSE(a.flags & wave_in_queue);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), sink().heard.begin()));

  play(1, 1000000);   // runs dry: only what was queued is played and counted
  web_wave_devices_pump();
  EXPECT_EQ(log.headers.size(), 2u);
  EXPECT_EQ(position(device), 28224u);
  EXPECT_EQ(wave_out_close(device), wave_ok);
  EXPECT_FALSE(sink().open);
}

// The XM player's ring: one looping header, rewritten behind the cursor. The
// sink gets the ring no further than the lead ahead of what it has played, so
// what the player writes behind the cursor is what the next lap plays.
TEST_F(WebWave, ALoopingRingIsSentALeadAheadAndItsRewrittenPartsArePlayed) {
  WaveDevice* device = open(2);
  const uint32_t ring_frames = 88400;
  std::vector<int16_t> ring(ring_frames * 2, 1);
  WaveHeader header;
  header.flags = wave_begin_loop | wave_end_loop;
  header.loops = 0xFFFFFFFFu;
  queue(device, header, ring);
  web_wave_devices_pump();
  const uint64_t lead = rate / 2;   // 500 ms
  EXPECT_EQ(sink().frames_sent, lead);

  uint64_t played = 0;
  int messages_before = sink().messages;
  // Three laps in 10 ms steps. After each step the player rewrites what the
  // position says was just played with what that place plays next lap: lap
  // n plays n + 1 throughout when every rewrite reached the sink in time.
  for (int step = 0; step < 3 * 200; ++step) {
    uint32_t before = position(device) / 4;
    play(1, 441);
    played += 441;
    uint32_t after = position(device) / 4;
    ASSERT_EQ(after, played);
    for (uint32_t g = before; g < after; ++g) ring[g % ring_frames * 2] = ring[g % ring_frames * 2 + 1] = int16_t(g / ring_frames + 2);
    web_wave_devices_pump();
    ASSERT_LE(sink().frames_sent, played + lead);
    ASSERT_GE(sink().frames_sent + lead / 4, played + lead);
  }
  // Few messages: a quarter of the lead at a time.
  EXPECT_LE(sink().messages - messages_before, int(played * 4 / lead) + 2);
  for (uint64_t f = 0; f < played; ++f) {
    int16_t expected = int16_t(f / ring_frames + 1);
    ASSERT_EQ(sink().heard[f * 2], expected) << "frame " << f;
  }
  EXPECT_TRUE(log.headers.empty());   // a ring that loops for ever is never done
  EXPECT_EQ(wave_out_reset(device), wave_ok);
  ASSERT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(position(device), 0u);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

TEST_F(WebWave, APausedDeviceIsSentItsBuffersButNeitherPlaysNorMoves) {
  WaveDevice* device = open(1);
  ASSERT_EQ(wave_out_pause(device), wave_ok);
  std::vector<int16_t> samples = ramp(4410, 5);
  WaveHeader header;
  queue(device, header, samples);
  web_wave_devices_pump();
  EXPECT_EQ(sink().frames_sent, 4410u);
  play(1, 4410);
  EXPECT_EQ(position(device), 0u);
  ASSERT_EQ(wave_out_restart(device), wave_ok);
  play(1, 4410);
  web_wave_devices_pump();
  EXPECT_EQ(position(device), 8820u);
  EXPECT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

TEST_F(WebWave, ResetHandsEveryQueuedHeaderBackBeforeItReturnsAndDropsWhatTheSinkHeld) {
  WaveDevice* device = open(1);
  std::vector<int16_t> first = ramp(7056, 0), second = ramp(7056, 0);
  WaveHeader a, b;
  queue(device, a, first);
  queue(device, b, second);
  web_wave_devices_pump();
  play(1, 1000);
  ASSERT_EQ(wave_out_reset(device), wave_ok);
  ASSERT_EQ(log.headers.size(), 2u);
  EXPECT_EQ(log.headers[0], &a);
  EXPECT_EQ(log.headers[1], &b);
  EXPECT_EQ(position(device), 0u);
  EXPECT_TRUE(sink().chunks.empty());
  // Unprepared and closed as the players do after a reset.
  EXPECT_EQ(wave_out_unprepare_header(device, &a), wave_ok);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

TEST_F(WebWave, AHookThatWritesAgainKeepsTwoBuffersAlternatingWithoutAGap) {
  WaveDevice* device = open(1);
  log.write_again = true;
  std::vector<int16_t> first(7056, 1), second(7056, 2);
  WaveHeader a, b;
  queue(device, a, first);
  queue(device, b, second);
  web_wave_devices_pump();
  // The page pumps about once a display frame.
  for (int frame = 0; frame < 300; ++frame) {
    play(1, 735);
    web_wave_devices_pump();
  }
  FakeSink& s = sink();
  ASSERT_EQ(s.heard.size(), 300u * 735u);   // never ran dry
  for (size_t i = 0; i < s.heard.size(); ++i) ASSERT_EQ(s.heard[i], (i / 7056) % 2 == 0 ? 1 : 2) << i;
  EXPECT_EQ(log.deepest, 1);   // hooks never run inside one another
  log.write_again = false;
  EXPECT_EQ(wave_out_reset(device), wave_ok);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

TEST_F(WebWave, CloseRefusesAQueueNullDevicesAndHooksMayCloseTheirOwnDevice) {
  WaveDevice* device = open(2);
  std::vector<int16_t> samples(400, 3);
  WaveHeader header;
  queue(device, header, samples);
  EXPECT_EQ(wave_out_close(device), wave_still_playing);
  EXPECT_EQ(wave_out_close(nullptr), wave_invalid_handle);
  log.close_when_empty = true;
  web_wave_devices_pump();
  play(1, 200);
  web_wave_devices_pump();   // played, done: the hook closes its device
  ASSERT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(log.close_result, wave_ok);
  EXPECT_FALSE(sink().open);
  web_wave_devices_pump();   // the device is gone; nothing touches it any more
}

TEST_F(WebWave, OpeningFailsCleanlyWithoutSoundOrAtAnotherRate) {
  WaveDevice* device = reinterpret_cast<WaveDevice*>(uintptr_t(1));
  WaveFormat format;
  format.bits_per_sample = 8;
  EXPECT_EQ(wave_out_open(&device, format, nullptr, 0), wave_bad_format);
  EXPECT_EQ(device, nullptr);
  format.bits_per_sample = 16;
  open_answer = 0;   // the page could make no audio context
  EXPECT_EQ(wave_out_open(&device, format, nullptr, 0), wave_no_driver);
  EXPECT_EQ(device, nullptr);
  open_answer = -1;   // its context runs at another rate
  EXPECT_EQ(wave_out_open(&device, format, nullptr, 0), wave_bad_format);
  // What the players then do with no device is refused, not crashed on.
  WaveHeader header;
  EXPECT_EQ(wave_out_prepare_header(nullptr, &header), wave_invalid_handle);
  EXPECT_EQ(wave_out_write(nullptr, &header), wave_invalid_handle);
  uint32_t bytes = 0;
  EXPECT_EQ(wave_out_get_position(nullptr, &bytes), wave_invalid_handle);
  EXPECT_EQ(wave_out_reset(nullptr), wave_invalid_handle);
}

TEST_F(WebWave, AnEmptyHeaderIsDoneAtTheNextPump) {
  WaveDevice* device = open(1);
  int16_t nothing[1] = {};
  WaveHeader header;
  header.data = nothing;
  header.buffer_length = 0;
  ASSERT_EQ(wave_out_prepare_header(device, &header), wave_ok);
  ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  web_wave_devices_pump();
  ASSERT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(sink().frames_sent, 0u);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

}  // namespace
