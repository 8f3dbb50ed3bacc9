// The CPU's edges toward the player: SID writes and how a routine call ends.
// Flags, addressing wrap-arounds, the stack and the deliberate differences of
// each opcode are checked by the 6502 self-test program (cpu_selftest_test.cpp).
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "sid/cpu6502.h"
#include "sid/sid_driver.h"

namespace {

struct Cpu : ::testing::Test {
  std::unique_ptr<SidPlayerState> st = std::make_unique<SidPlayerState>();
  void SetUp() override { sid_reset(*st, 44100); }
  // Places code at $1000 and points pc at it.
  void code(std::initializer_list<uint8_t> bytes) {
    uint16_t at = 0x1000;
    for (uint8_t b : bytes) st->memory[at++] = b;
    st->cpu.pc = 0x1000;
  }
  void steps(int n) { for (int i = 0; i < n; ++i) cpu_step(*st); }
};

TEST_F(Cpu, SidRangeWritesReachTheChipOnly) {
  code({0x8D, 0x18, 0xD4, 0x8D, 0x20, 0xD4, 0x9D, 0x00, 0xD7});  // STA $D418; STA $D420; STA $D700,X
  st->cpu.a = 0x1F;
  st->cpu.x = 1;
  steps(3);
  EXPECT_EQ(st->chip.registers.mode_volume, 0x1F);
  EXPECT_EQ(st->memory[0xD418], 0x00);
  EXPECT_EQ(st->memory[0xD420], 0x00);
  EXPECT_EQ(st->memory[0xD701], 0x00);
  EXPECT_EQ(st->chip.registers.voice[0].frequency, 0x1F1F);  // $D701 mirrors register 1
  EXPECT_EQ(st->sid_writes, 3u);
}

TEST_F(Cpu, CallEndsOnRtsRtiBrkOrTheBound) {
  // JSR $1010; RTS / at $1010: LDA #$05; RTS
  code({0x20, 0x10, 0x10, 0x60});
  st->memory[0x1010] = 0xA9;
  st->memory[0x1011] = 0x05;
  st->memory[0x1012] = 0x60;
  EXPECT_EQ(cpu_call(*st, 0x1000, 0, 100), 4u);
  EXPECT_EQ(st->cpu.a, 0x05);
  EXPECT_EQ(st->cpu.pc, 0x0001);
  EXPECT_TRUE(st->last_call_returned);

  code({0x38, 0x40});  // SEC; RTI: returns like RTS and keeps P
  EXPECT_EQ(cpu_call(*st, 0x1000, 0, 100), 2u);
  EXPECT_EQ(st->cpu.pc, 0x0001);
  EXPECT_EQ(st->cpu.p, flag_c);

  code({0xA2, 0x07, 0x00, 0xA2, 0x09});  // LDX #7; BRK; LDX #9
  EXPECT_EQ(cpu_call(*st, 0x1000, 0x33, 100), 2u);
  EXPECT_EQ(st->cpu.x, 7);
  EXPECT_EQ(st->cpu.a, 0x33);  // the argument arrives in A

  code({0x4C, 0x00, 0x10});  // JMP $1000 forever
  EXPECT_EQ(cpu_call(*st, 0x1000, 0, 5000), 5000u);
  EXPECT_FALSE(st->last_call_returned);
}

}  // namespace
