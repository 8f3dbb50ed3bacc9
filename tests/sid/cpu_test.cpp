// 6502 edge cases that tunes depend on: flags, wrap-arounds, the stack, the
// deliberate differences, and how a routine call ends.
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
  uint8_t p() const { return st->cpu.p; }
};

TEST_F(Cpu, LoadSetsZeroAndNegative) {
  code({0xA9, 0x00, 0xA9, 0x80});  // LDA #$00; LDA #$80
  st->cpu.p = flag_n;
  steps(1);
  EXPECT_EQ(p(), flag_z);
  steps(1);
  EXPECT_EQ(p(), flag_n);
}

TEST_F(Cpu, ArithmeticFlags) {
  code({0x0A});  // ASL A
  st->cpu.a = 0x80;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x00);
  EXPECT_EQ(p(), flag_c | flag_z);

  code({0x69, 0x50});  // ADC #$50
  st->cpu.a = 0x50;
  st->cpu.p = 0;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0xA0);
  EXPECT_EQ(p(), flag_v | flag_n);

  code({0xF8, 0x69, 0x50});  // SED; ADC #$50: still binary
  st->cpu.a = 0x50;
  st->cpu.p = 0;
  steps(2);
  EXPECT_EQ(st->cpu.a, 0xA0);
  EXPECT_EQ(p(), flag_v | flag_n | flag_d);

  code({0xE9, 0x01});  // SBC #$01 from $00 with C set
  st->cpu.a = 0x00;
  st->cpu.p = flag_c;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0xFF);
  EXPECT_EQ(p(), flag_n);

  code({0xE9, 0x7F});  // $80 - $7F overflows to +1
  st->cpu.a = 0x80;
  st->cpu.p = flag_c;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x01);
  EXPECT_EQ(p(), flag_c | flag_v);
}

TEST_F(Cpu, CompareAndBitFlags) {
  code({0xC9, 0x42, 0xC9, 0x43, 0xC9, 0x01});  // CMP #$42; CMP #$43; CMP #$01
  st->cpu.a = 0x42;
  steps(1);
  EXPECT_EQ(p(), flag_z | flag_c);
  steps(1);
  EXPECT_EQ(p(), flag_n);
  steps(1);
  EXPECT_EQ(p(), flag_c);

  code({0x24, 0x10});  // BIT $10
  st->memory[0x10] = 0xC0;
  st->cpu.a = 0x3F;
  st->cpu.p = flag_c;
  steps(1);
  EXPECT_EQ(p(), flag_c | flag_z | flag_v | flag_n);
  EXPECT_EQ(st->cpu.a, 0x3F);
}

TEST_F(Cpu, AddressingWrapsAround) {
  st->memory[0xFF] = 0x34;  // pointer low at $FF, high at $00
  st->memory[0x00] = 0x12;
  st->memory[0x1236] = 0x77;
  code({0xB1, 0xFF});  // LDA ($FF),Y
  st->cpu.y = 2;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x77);

  st->memory[0x01] = 0x99;
  code({0xB5, 0xFF});  // LDA $FF,X with X = 2 reads $01
  st->cpu.x = 2;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x99);

  code({0xBD, 0xFF, 0xFF});  // LDA $FFFF,X with X = 2 reads $0001
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x99);

  st->memory[0x00] = 0x00;
  st->memory[0xFF] = 0x00;
  st->memory[0x02] = 0x00;
  st->memory[0x03] = 0x20;  // (ind,X): $FE + 4 wraps to $02 -> $2000
  st->memory[0x2000] = 0x5A;
  code({0xA1, 0xFE});
  st->cpu.x = 4;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x5A);

  code({0x96, 0xF0});  // STX $F0,Y wraps in the zero page
  st->cpu.x = 0xAB;
  st->cpu.y = 0x20;
  steps(1);
  EXPECT_EQ(st->memory[0x10], 0xAB);
  EXPECT_EQ(st->memory[0x110], 0x00);
}

TEST_F(Cpu, ReadModifyWriteStoresWhereItRead) {
  st->memory[0x2005] = 0x7F;
  code({0xFE, 0x00, 0x20, 0x66, 0x40});  // INC $2000,X; ROR $40
  st->cpu.x = 5;
  st->cpu.p = flag_c;
  steps(1);
  EXPECT_EQ(st->memory[0x2005], 0x80);
  EXPECT_EQ(p(), flag_c | flag_n);
  st->memory[0x40] = 0x01;
  steps(1);
  EXPECT_EQ(st->memory[0x40], 0x80);  // old carry into bit 7, bit 0 out
  EXPECT_EQ(p(), flag_c | flag_n);
}

TEST_F(Cpu, JumpIndirectTakesHighByteFromNextAddress) {
  code({0x6C, 0xFF, 0x10});  // JMP ($10FF)
  st->memory[0x10FF] = 0x34;
  st->memory[0x1100] = 0x12;
  // A real 6502 would take the high byte from $1000, which holds $6C.
  steps(1);
  EXPECT_EQ(st->cpu.pc, 0x1234);
}

TEST_F(Cpu, StackPointerSticks) {
  code({0x48, 0x48, 0x68, 0x68});  // PHA; PHA; PLA; PLA
  st->cpu.s = 0x00;
  st->cpu.a = 0x11;
  steps(1);
  EXPECT_EQ(st->memory[0x0100], 0x11);
  EXPECT_EQ(st->cpu.s, 0x00);
  st->cpu.a = 0x22;
  steps(1);
  EXPECT_EQ(st->memory[0x0100], 0x22);  // overwrites the same cell
  st->cpu.s = 0xFF;
  st->memory[0x01FF] = 0x33;
  steps(1);
  EXPECT_EQ(st->cpu.a, 0x33);
  EXPECT_EQ(st->cpu.s, 0xFF);
}

TEST_F(Cpu, PushesFlagsAsHeldAndSkipsUndocumented) {
  code({0x08, 0xFF, 0x02, 0xA3});  // PHP; three undocumented opcodes
  st->cpu.p = flag_c | flag_n;
  steps(1);
  EXPECT_EQ(st->memory[0x01FF], flag_c | flag_n);  // no B, no bit 5
  const Cpu6502 before = st->cpu;
  steps(3);
  EXPECT_EQ(st->cpu.pc, 0x1004);
  EXPECT_EQ(st->cpu.a, before.a);
  EXPECT_EQ(st->cpu.p, before.p);
  EXPECT_EQ(st->cpu.s, before.s);
}

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
