#pragma once
// The 6502 opcode matrix: instruction kind and addressing mode per opcode byte,
// laid out as the published matrix (row = high nibble, column = low nibble).
// Every undocumented opcode decodes as kind xxx, which the CPU treats as a
// one-byte no-op.
#include <array>
#include <cstdint>

enum class Kind : uint8_t {
  adc, and_, asl, bcc, bcs, beq, bit, bmi, bne, bpl, brk, bvc, bvs, clc,
  cld, cli, clv, cmp, cpx, cpy, dec, dex, dey, eor, inc, inx, iny, jmp,
  jsr, lda, ldx, ldy, lsr, nop, ora, pha, php, pla, plp, rol, ror, rti,
  rts, sbc, sec, sed, sei, sta, stx, sty, tax, tay, tsx, txa, txs, tya,
  none,
};

enum class Mode : uint8_t {
  implied, immediate, absolute, absolute_x, absolute_y, zero_page, zero_page_x,
  zero_page_y, indirect, indirect_x, indirect_y, accumulator, relative,
};

namespace cpu_matrix {
using enum Kind;
constexpr Kind xxx = none;
// clang-format off
constexpr std::array<Kind, 256> kind = {
//  x0   x1   x2   x3   x4   x5   x6   x7   x8   x9   xA   xB   xC   xD   xE   xF
    brk, ora, xxx, xxx, xxx, ora, asl, xxx, php, ora, asl, xxx, xxx, ora, asl, xxx,  // 0x
    bpl, ora, xxx, xxx, xxx, ora, asl, xxx, clc, ora, xxx, xxx, xxx, ora, asl, xxx,  // 1x
    jsr, and_,xxx, xxx, bit, and_,rol, xxx, plp, and_,rol, xxx, bit, and_,rol, xxx,  // 2x
    bmi, and_,xxx, xxx, xxx, and_,rol, xxx, sec, and_,xxx, xxx, xxx, and_,rol, xxx,  // 3x
    rti, eor, xxx, xxx, xxx, eor, lsr, xxx, pha, eor, lsr, xxx, jmp, eor, lsr, xxx,  // 4x
    bvc, eor, xxx, xxx, xxx, eor, lsr, xxx, cli, eor, xxx, xxx, xxx, eor, lsr, xxx,  // 5x
    rts, adc, xxx, xxx, xxx, adc, ror, xxx, pla, adc, ror, xxx, jmp, adc, ror, xxx,  // 6x
    bvs, adc, xxx, xxx, xxx, adc, ror, xxx, sei, adc, xxx, xxx, xxx, adc, ror, xxx,  // 7x
    xxx, sta, xxx, xxx, sty, sta, stx, xxx, dey, xxx, txa, xxx, sty, sta, stx, xxx,  // 8x
    bcc, sta, xxx, xxx, sty, sta, stx, xxx, tya, sta, txs, xxx, xxx, sta, xxx, xxx,  // 9x
    ldy, lda, ldx, xxx, ldy, lda, ldx, xxx, tay, lda, tax, xxx, ldy, lda, ldx, xxx,  // Ax
    bcs, lda, xxx, xxx, ldy, lda, ldx, xxx, clv, lda, tsx, xxx, ldy, lda, ldx, xxx,  // Bx
    cpy, cmp, xxx, xxx, cpy, cmp, dec, xxx, iny, cmp, dex, xxx, cpy, cmp, dec, xxx,  // Cx
    bne, cmp, xxx, xxx, xxx, cmp, dec, xxx, cld, cmp, xxx, xxx, xxx, cmp, dec, xxx,  // Dx
    cpx, sbc, xxx, xxx, cpx, sbc, inc, xxx, inx, sbc, nop, xxx, cpx, sbc, inc, xxx,  // Ex
    beq, sbc, xxx, xxx, xxx, sbc, inc, xxx, sed, sbc, xxx, xxx, xxx, sbc, inc, xxx,  // Fx
};
// clang-format on
}  // namespace cpu_matrix

namespace cpu_matrix {
using enum Mode;
constexpr Mode imp = implied, imm = immediate, abs = absolute, abx = absolute_x,
               aby = absolute_y, zpg = zero_page, zpx = zero_page_x, zpy = zero_page_y,
               ind = indirect, izx = indirect_x, izy = indirect_y, acc = accumulator,
               rel = relative;
// clang-format off
constexpr std::array<Mode, 256> mode = {
//  x0   x1   x2   x3   x4   x5   x6   x7   x8   x9   xA   xB   xC   xD   xE   xF
    imp, izx, imp, imp, imp, zpg, zpg, imp, imp, imm, acc, imp, imp, abs, abs, imp,  // 0x
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // 1x
    abs, izx, imp, imp, zpg, zpg, zpg, imp, imp, imm, acc, imp, abs, abs, abs, imp,  // 2x
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // 3x
    imp, izx, imp, imp, imp, zpg, zpg, imp, imp, imm, acc, imp, abs, abs, abs, imp,  // 4x
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // 5x
    imp, izx, imp, imp, imp, zpg, zpg, imp, imp, imm, acc, imp, ind, abs, abs, imp,  // 6x
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // 7x
    imp, izx, imp, imp, zpg, zpg, zpg, imp, imp, imp, imp, imp, abs, abs, abs, imp,  // 8x
    rel, izy, imp, imp, zpx, zpx, zpy, imp, imp, aby, imp, imp, imp, abx, imp, imp,  // 9x
    imm, izx, imm, imp, zpg, zpg, zpg, imp, imp, imm, imp, imp, abs, abs, abs, imp,  // Ax
    rel, izy, imp, imp, zpx, zpx, zpy, imp, imp, aby, imp, imp, abx, abx, aby, imp,  // Bx
    imm, izx, imp, imp, zpg, zpg, zpg, imp, imp, imm, imp, imp, abs, abs, abs, imp,  // Cx
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // Dx
    imm, izx, imp, imp, zpg, zpg, zpg, imp, imp, imm, imp, imp, abs, abs, abs, imp,  // Ex
    rel, izy, imp, imp, imp, zpx, zpx, imp, imp, aby, imp, imp, imp, abx, abx, imp,  // Fx
};
// clang-format on
}  // namespace cpu_matrix

constexpr int documented_opcode_count() {
  int n = 0;
  for (Kind k : cpu_matrix::kind) n += k != Kind::none;
  return n;
}
static_assert(documented_opcode_count() == 151);
