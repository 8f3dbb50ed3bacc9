// The digi channel heard through a tune of ours: a 4-bit ramp played from the
// tune's own data, in either nibble order, to its end and no further.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sid/sid_driver.h"
#include "tests/sid/psid_builder.h"

namespace {

// init (A = song, used as the nibble order):
//   STA $D47D; LDA #<ramp; STA $D41E; LDA #>ramp; STA $D41F;
//   LDA #<ramp_end; STA $D43D; LDA #>ramp_end; STA $D43E;
//   LDA #$00; STA $D45D; LDA #$01; STA $D45E  (256 cycles a nibble: ~11.5 samples)
//   LDA #$FF; STA $D41D; RTS                  (volume stays 0: only the digi sounds)
// play: RTS
// ramp: $10 $32 ... $FE: low nibbles first, the values 0..15 in turn.
std::vector<uint8_t> ramp_tune() {
  constexpr uint16_t ramp = 0x1028, ramp_end = ramp + 8;
  return make_psid(0x1000, 0x1000, 0x1027,
                   {0x8D, 0x7D, 0xD4, 0xA9, uint8_t(ramp), 0x8D, 0x1E, 0xD4, 0xA9, uint8_t(ramp >> 8),
                    0x8D, 0x1F, 0xD4, 0xA9, uint8_t(ramp_end), 0x8D, 0x3D, 0xD4, 0xA9, uint8_t(ramp_end >> 8),
                    0x8D, 0x3E, 0xD4, 0xA9, 0x00, 0x8D, 0x5D, 0xD4, 0xA9, 0x01, 0x8D, 0x5E, 0xD4,
                    0xA9, 0xFF, 0x8D, 0x1D, 0xD4, 0x60,
                    0x60,
                    0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE});
}

// The nibble values the chip's mix steps through, repeats collapsed, until the
// sample ends (the mix then falls back to the silent voices' 0).
std::vector<int> nibbles_heard(uint8_t order) {
  const auto tune = ramp_tune();
  auto st = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), order);
  std::vector<int32_t> mix(sid_chunk_samples);
  cpu_call(*st, st->play_address, 0, sid_play_instruction_limit);
  synth_render_mix(st->chip, st->memory, mix.data(), sid_chunk_samples);
  std::vector<int> heard;
  for (size_t i = 1; i < mix.size(); ++i)
    if (mix[i] != mix[i - 1]) heard.push_back(mix[i] / 1024 + 7);
  return heard;
}

TEST(DigiTune, OrderZeroPlaysEachByteLowNibbleFirst) {
  // The level starts at 0 (nibble 7 as a value) before the first nibble comes in.
  const std::vector<int> ramp = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 7};
  EXPECT_EQ(nibbles_heard(0), ramp);
}

TEST(DigiTune, AnyOtherOrderPlaysHighNibbleFirst) {
  const std::vector<int> pairs = {1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14, 7};
  EXPECT_EQ(nibbles_heard(1), pairs);
  EXPECT_EQ(nibbles_heard(0x80), pairs);
}

TEST(DigiTune, ARetriggerStartsAgainAtTheFirstNibble) {
  const auto tune = ramp_tune();
  auto st = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  std::vector<int32_t> mix(40);
  synth_render_mix(st->chip, st->memory, mix.data(), 40);  // three nibbles in
  ASSERT_EQ(st->chip.digi.position, 0x1029);
  digi_write(st->chip, 0xD41D, 0xFF);
  EXPECT_EQ(st->chip.digi.position, 0x1028);
  EXPECT_EQ(st->chip.digi.nibble, -1);
  std::vector<int> heard;
  synth_render_mix(st->chip, st->memory, mix.data(), 40);
  for (size_t i = 1; i < mix.size(); ++i)
    if (mix[i] != mix[i - 1]) heard.push_back(mix[i] / 1024 + 7);
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard[0], 0);
}

TEST(DigiTune, ARepeatGoesOnAtItsAddressWithoutAGap) {
  const auto tune = ramp_tune();
  auto st = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  digi_write(st->chip, 0xD43F, 1);     // one repeat
  digi_write(st->chip, 0xD47E, 0x2C);  // from the fifth byte
  digi_write(st->chip, 0xD47F, 0x10);
  digi_write(st->chip, 0xD41D, 0xFF);
  std::vector<int32_t> mix(sid_chunk_samples);
  synth_render_mix(st->chip, st->memory, mix.data(), sid_chunk_samples);
  std::vector<int> heard;
  for (size_t i = 1; i < mix.size(); ++i)
    if (mix[i] != mix[i - 1]) heard.push_back(mix[i] / 1024 + 7);
  const std::vector<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                     8, 9, 10, 11, 12, 13, 14, 15, 7};
  EXPECT_EQ(heard, expected);
}

}  // namespace
