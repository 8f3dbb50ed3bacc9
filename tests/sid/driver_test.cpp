// The PSID driver: where data land, which routines run, how often play runs,
// and what happens to tunes that do not fit or never return.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sid/sid_driver.h"
#include "tests/sid/psid_builder.h"

namespace {

struct Driver : ::testing::Test {
  std::unique_ptr<SidPlayerState> st = std::make_unique<SidPlayerState>();
};

TEST_F(Driver, LoadAddressComesFromTheData) {
  auto tune = make_psid(0x1000, 0x1000, 0x1003, {0x60, 0xEA, 0xEA, 0x60});
  tune[8] = 0x20;  // a header load address is ignored
  tune[9] = 0x00;
  EXPECT_EQ(sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0), SidLoadResult::loaded);
  EXPECT_EQ(st->load_address, 0x1000);
  EXPECT_EQ(st->memory[0x1000], 0x60);
  EXPECT_EQ(st->memory[0x1003], 0x60);
  EXPECT_EQ(st->memory[0x0FFF], 0x00);  // the two address bytes are not copied
  EXPECT_EQ(st->memory[0x0FFE], 0x00);
  EXPECT_EQ(st->memory[0x1004], 0x00);
  EXPECT_EQ(st->play_address, 0x1003);
}

TEST_F(Driver, InitGetsTheSongAndZeroPlayAddressIsTakenFromTheVector) {
  // init: STA $2000; INC $2001; LDA #$34; STA $0314; LDA #$12; STA $0315; RTS
  auto tune = make_psid(0x1000, 0x1000, 0x0000,
                        {0x8D, 0x00, 0x20, 0xEE, 0x01, 0x20, 0xA9, 0x34, 0x8D, 0x14, 0x03,
                         0xA9, 0x12, 0x8D, 0x15, 0x03, 0x60});
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 5);
  EXPECT_EQ(st->play_address, 0x1234);
  EXPECT_EQ(st->memory[0x2000], 5);   // the chosen song, from the second run
  EXPECT_EQ(st->memory[0x2001], 2);   // init ran twice: once with A = 0 at load
  EXPECT_EQ(st->init_instructions, 7u);
}

TEST_F(Driver, InitAddressZeroMeansLoadAddress) {
  auto tune = make_psid(0x1000, 0x0000, 0x1004, {0xEE, 0x00, 0x20, 0x60, 0x60});
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  EXPECT_EQ(st->init_address, 0x1000);
  EXPECT_EQ(st->memory[0x2000], 1);
}

TEST_F(Driver, FiftyPlayCallsPerSecond) {
  // play: INC $2000; RTS
  auto tune = make_psid(0x1000, 0x1003, 0x1000, {0xEE, 0x00, 0x20, 0x60});
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  std::vector<int16_t> out(sid_chunk_samples);
  uint32_t samples = 0;
  while (samples < sid_sample_rate) {
    sid_render_chunk(*st, out.data(), sid_chunk_samples);
    samples += sid_chunk_samples;
  }
  EXPECT_EQ(samples, sid_sample_rate);
  EXPECT_EQ(st->play_calls, 50u);
  EXPECT_EQ(st->memory[0x2000], 50);
}

TEST_F(Driver, TunesThatDoNotFitAreCut) {
  std::vector<uint8_t> code(0x200, 0xEA);
  auto tune = make_psid(0xFF00, 0xFF00, 0xFF00, code);
  tune.resize(tune.size() + 64, 0xAA);
  EXPECT_EQ(sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0), SidLoadResult::cut);
  EXPECT_EQ(st->memory[0xFFFF], 0xEA);
  EXPECT_EQ(st->memory[0x0000], 0x00);  // nothing wrapped to the bottom

  // A file too short for its header or load address loads nothing.
  for (uint32_t n : {0u, 7u, 15u, 0x7Du}) {
    EXPECT_EQ(sid_load(*st, tune.data(), n), SidLoadResult::too_short) << n;
    EXPECT_EQ(st->memory[0xFF00], 0x00);
  }
  tune[7] = 0xFF;  // data offset past the end
  EXPECT_EQ(sid_load(*st, tune.data(), 0x100), SidLoadResult::too_short);
}

TEST_F(Driver, RoutinesThatNeverReturnAreBounded) {
  // init and play: JMP to themselves
  auto tune = make_psid(0x1000, 0x1000, 0x1003, {0x4C, 0x00, 0x10, 0x4C, 0x03, 0x10});
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  EXPECT_EQ(st->init_instructions, sid_init_instruction_limit);
  std::vector<int16_t> out(sid_chunk_samples);
  for (int i = 0; i < 3; ++i) {
    sid_render_chunk(*st, out.data(), sid_chunk_samples);
    EXPECT_EQ(st->last_call_instructions, sid_play_instruction_limit);
    EXPECT_FALSE(st->last_call_returned);
  }
  EXPECT_EQ(st->play_calls, 3u);
}

TEST_F(Driver, PsidProblems) {
  auto tune = make_psid(0x1000, 0x1000, 0x1003, {0x60});
  EXPECT_EQ(psid_problem(tune.data(), uint32_t(tune.size())), nullptr);
  EXPECT_STREQ(psid_problem(tune.data(), 0x50), "too short for a PSID header");
  EXPECT_STREQ(psid_problem(tune.data(), 0x7D), "no tune data after the header");
  tune[0] = 'X';
  EXPECT_STREQ(psid_problem(tune.data(), uint32_t(tune.size())), "not a PSID file (no PSID magic)");
  tune[0] = 'R';
  tune[7] = 0x20;
  EXPECT_STREQ(psid_problem(tune.data(), uint32_t(tune.size())), "data offset is inside the header");
}

}  // namespace
