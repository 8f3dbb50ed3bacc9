// Virtual wave devices: they play as virtual time passes and behave like waveOut
// for the players (done hooks, reset, close, looping, position).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/virtual.h"
#include "platform/wave_out.h"

namespace {

struct DoneLog {
  std::vector<WaveHeader*> headers;
  std::vector<int64_t> at_ns;
  std::thread::id thread;
};

void log_done(WaveDevice*, WaveHeader* header, uintptr_t instance) {
  auto* log = reinterpret_cast<DoneLog*>(instance);
  log->headers.push_back(header);
  log->at_ns.push_back(virtual_now_ns());
  log->thread = std::this_thread::get_id();
}

class VirtualWave : public ::testing::Test {
 protected:
  void SetUp() override { virtual_reset(); }
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
  DoneLog log;
};

TEST_F(VirtualWave, ADevicePlaysInStepWithVirtualTime) {
  WaveDevice* device = open(2);
  std::vector<int16_t> samples(44100 * 2, 100);   // one second of stereo
  WaveHeader header;
  queue(device, header, samples);
  virtual_advance_ms(100);
  uint32_t bytes = 0;
  ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  EXPECT_EQ(bytes, 4410u * 4);
  EXPECT_TRUE(log.headers.empty());
  virtual_advance_ms(950);
  ASSERT_EQ(log.headers.size(), 1u);
  EXPECT_EQ(log.headers[0], &header);
  EXPECT_TRUE(header.flags & wave_done);
  EXPECT_FALSE(header.flags & wave_in_queue);
  EXPECT_EQ(log.thread, std::this_thread::get_id());   // hooks run on the main thread
  ASSERT_EQ(wave_out_reset(device), wave_ok);
  ASSERT_EQ(wave_out_close(device), wave_ok);
}

TEST_F(VirtualWave, APausedDeviceNeitherPlaysNorMovesItsPosition) {
  WaveDevice* device = open(1);
  wave_out_pause(device);
  std::vector<int16_t> samples(4410, 7);
  WaveHeader header;
  queue(device, header, samples);
  virtual_advance_ms(200);
  uint32_t bytes = 1;
  wave_out_get_position(device, &bytes);
  EXPECT_EQ(bytes, 0u);
  EXPECT_TRUE(virtual_device_played(device).empty());
  wave_out_restart(device);
  virtual_advance_ms(100);
  EXPECT_EQ(virtual_device_played(device).size(), 4410u);
  ASSERT_EQ(log.headers.size(), 1u);
}

TEST_F(VirtualWave, ResetHandsEveryQueuedBufferBackAsDoneAndRewinds) {
  WaveDevice* device = open(1);
  std::vector<int16_t> a(44100, 1), b(44100, 2);
  WaveHeader first, second;
  queue(device, first, a);
  queue(device, second, b);
  virtual_advance_ms(10);
  EXPECT_EQ(wave_out_close(device), wave_still_playing);
  ASSERT_EQ(wave_out_reset(device), wave_ok);
  ASSERT_EQ(log.headers.size(), 2u);
  EXPECT_EQ(log.headers[0], &first);
  EXPECT_EQ(log.headers[1], &second);
  uint32_t bytes = 1;
  wave_out_get_position(device, &bytes);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(wave_out_unprepare_header(device, &first), wave_ok);
  EXPECT_EQ(wave_out_close(device), wave_ok);
  EXPECT_EQ(wave_out_get_position(device, &bytes), wave_invalid_handle);   // closed
}

TEST_F(VirtualWave, ClosingADeviceThatNeverOpenedDoesNothing) {
  EXPECT_EQ(wave_out_close(nullptr), wave_invalid_handle);
  EXPECT_EQ(wave_out_reset(nullptr), wave_invalid_handle);
}

TEST_F(VirtualWave, AFailingDriverRefusesTheNamedCallsUntilTheNextReset) {
  WaveDevice* device = open(1);
  std::vector<int16_t> samples(100, 0);
  WaveHeader header;
  header.data = samples.data();
  header.buffer_length = 200;
  virtual_fail_wave_calls(virtual_wave_prepare | virtual_wave_write, wave_no_memory);
  EXPECT_EQ(wave_out_prepare_header(device, &header), wave_no_memory);
  EXPECT_FALSE(header.flags & wave_prepared);
  EXPECT_EQ(wave_out_write(device, &header), wave_no_memory);
  uint32_t bytes = 1;
  EXPECT_EQ(wave_out_get_position(device, &bytes), wave_ok);   // not named: still works
  EXPECT_EQ(bytes, 0u);
  virtual_fail_wave_calls(virtual_wave_open, wave_bad_device);
  WaveDevice* second = reinterpret_cast<WaveDevice*>(1);
  EXPECT_EQ(wave_out_open(&second, WaveFormat{}, nullptr, 0), wave_bad_device);
  EXPECT_EQ(second, nullptr);
  virtual_reset();
  EXPECT_EQ(wave_out_open(&second, WaveFormat{}, nullptr, 0), wave_ok);
}

TEST_F(VirtualWave, UnpreparedOrQueuedHeadersAreRefused) {
  WaveDevice* device = open(1);
  std::vector<int16_t> samples(100, 0);
  WaveHeader header;
  header.data = samples.data();
  header.buffer_length = 200;
  EXPECT_EQ(wave_out_write(device, &header), wave_unprepared);
  ASSERT_EQ(wave_out_prepare_header(device, &header), wave_ok);
  ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  EXPECT_EQ(wave_out_write(device, &header), wave_still_playing);
  EXPECT_EQ(wave_out_unprepare_header(device, &header), wave_still_playing);
  wave_out_reset(device);
}

TEST_F(VirtualWave, ALoopingBufferRepeatsAndThePositionKeepsGrowing) {
  WaveDevice* device = open(2);
  std::vector<int16_t> ring(4410 * 2);   // 100 ms
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = int16_t(i);
  WaveHeader header;
  header.flags = wave_begin_loop | wave_end_loop;
  header.loops = 0xFFFFFFFFu;
  queue(device, header, ring);
  virtual_advance_ms(350);
  uint32_t bytes = 0;
  wave_out_get_position(device, &bytes);
  EXPECT_EQ(bytes, uint32_t(15435 * 4));
  EXPECT_TRUE(log.headers.empty());
  const std::vector<int16_t>& played = virtual_device_played(device);
  ASSERT_EQ(played.size(), 15435u * 2);
  EXPECT_EQ(played[4410 * 2 * 3 + 5], ring[5]);   // the fourth pass starts over
  wave_out_reset(device);
  EXPECT_EQ(log.headers.size(), 1u);
}

TEST_F(VirtualWave, TheRecordingPutsAMonoStreamOnBothChannels) {
  WaveDevice* device = open(1);
  std::vector<int16_t> samples(441, 1234);
  WaveHeader header;
  virtual_advance_ms(10);   // starts at frame 441
  queue(device, header, samples);
  virtual_advance_ms(20);
  const std::vector<int32_t>& audio = virtual_audio();
  ASSERT_GE(audio.size(), size_t(882 * 2));
  EXPECT_EQ(audio[440 * 2], 0);
  EXPECT_EQ(audio[441 * 2], 1234);
  EXPECT_EQ(audio[441 * 2 + 1], 1234);
  EXPECT_EQ(audio[881 * 2 + 1], 1234);
}

// A hook that queues its buffer again keeps the sound flowing, as the SID stream does.
struct Refill {
  WaveHeader* header;
  int refills = 0;
};

void refill_hook(WaveDevice* device, WaveHeader* header, uintptr_t instance) {
  auto* refill = reinterpret_cast<Refill*>(instance);
  refill->refills += 1;
  wave_out_write(device, header);
}

TEST_F(VirtualWave, AHookMayQueueItsBufferAgain) {
  Refill refill;
  WaveDevice* device = nullptr;
  WaveFormat mono;
  mono.channels = 1;
  ASSERT_EQ(wave_out_open(&device, mono, refill_hook, reinterpret_cast<uintptr_t>(&refill)), wave_ok);
  std::vector<int16_t> a(4410, 5), b(4410, 6);
  WaveHeader ha, hb;
  for (auto [h, s] : {std::pair{&ha, &a}, std::pair{&hb, &b}}) {
    h->data = s->data();
    h->buffer_length = 8820;
    wave_out_prepare_header(device, h);
    wave_out_write(device, h);
  }
  virtual_advance_ms(1000);
  EXPECT_EQ(refill.refills, 10);
  const std::vector<int16_t>& played = virtual_device_played(device);
  ASSERT_EQ(played.size(), 44100u);
  EXPECT_EQ(played[4409], 5);
  EXPECT_EQ(played[4410], 6);
  EXPECT_EQ(played[8820], 5);
}

}  // namespace
