#pragma once
// Cpu6502: an instruction-level MOS 6502 for C64 music routines.
//
// All 151 documented opcodes over a flat 64 KB image with one device, the SID at
// $D400-$D7FF. No cycles, no interrupts, no ROM, no other C64 hardware.
// Deliberate differences from the real part, which the tunes we play rely on:
// - ADC and SBC are binary even with D set;
// - BRK sets pc to 0 (ending a cpu_call) and pushes nothing; RTI acts as RTS;
// - PHP pushes P exactly as held (no B or bit 5 added);
// - the stack pointer sticks at $00 and $FF instead of wrapping;
// - the 105 undocumented opcodes are one-byte no-ops.
#include <cstdint>

struct SidPlayerState;

struct Cpu6502 {
  uint8_t a = 0, x = 0, y = 0;
  uint8_t s = 0xFF;              // stack at $0100 + s
  uint8_t p = 0;                 // N V - - D I Z C
  uint16_t pc = 0;
};

constexpr uint8_t flag_c = 0x01;
constexpr uint8_t flag_z = 0x02;
constexpr uint8_t flag_i = 0x04;
constexpr uint8_t flag_d = 0x08;
constexpr uint8_t flag_v = 0x40;
constexpr uint8_t flag_n = 0x80;

void cpu_reset(SidPlayerState& state);
// One instruction at pc. Writes to $D400-$D7FF reach the SID, not the image.
void cpu_step(SidPlayerState& state);
// A byte onto the stack at $0100 + s (cpu_call plants the return address so).
void cpu_push(SidPlayerState& state, uint8_t value);
