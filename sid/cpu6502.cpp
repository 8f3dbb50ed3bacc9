// One 6502 instruction per cpu_step: decode through the opcode matrix, fetch the
// operand by mode, act by kind. Read-modify-write instructions store back through
// the operand bytes they just consumed, as the original routine did.
#include "sid/cpu6502.h"

#include "sid/cpu_tables.h"
#include "sid/sid_state.h"

namespace {

// SID range writes go to the chip, not the image; everything else to the image.
// Reads have no side effects: they are st.memory[address] wherever they happen.
void mem_write(SidPlayerState& st, uint16_t address, uint8_t value) {
  if ((address & 0xFC00) != 0xD400) {
    st.memory[address] = value;
    return;
  }
  st.sid_writes += 1;
  if (st.write_observer) st.write_observer(st.write_context, address, value);
  sid_write_register(st.chip, uint8_t(address & 0x1F), value);
  if (address > 0xD418) digi_write(st.chip, address, value);
}

// The stack pointer sticks at $FF instead of wrapping (cpu_push: at $00).
uint8_t pull(SidPlayerState& st) {
  if (st.cpu.s != 0xFF) st.cpu.s += 1;
  return st.memory[0x0100 + st.cpu.s];
}

inline uint8_t fetch(SidPlayerState& st) { return st.memory[st.cpu.pc++]; }

inline uint16_t fetch_word(SidPlayerState& st) {
  const uint8_t lo = fetch(st);
  return uint16_t(lo | (fetch(st) << 8));
}

inline uint16_t zero_page_pointer(const SidPlayerState& st, uint8_t z) {
  return uint16_t(st.memory[z] | (st.memory[uint8_t(z + 1)] << 8));
}

// Address of a memory operand; consumes its bytes.
inline uint16_t operand_address(SidPlayerState& st, Mode mode) {
  const Cpu6502& c = st.cpu;
  switch (mode) {
    case Mode::absolute: return fetch_word(st);
    case Mode::absolute_x: return uint16_t(fetch_word(st) + c.x);
    case Mode::absolute_y: return uint16_t(fetch_word(st) + c.y);
    case Mode::zero_page: return fetch(st);
    case Mode::zero_page_x: return uint8_t(fetch(st) + c.x);
    case Mode::zero_page_y: return uint8_t(fetch(st) + c.y);
    case Mode::indirect_x: return zero_page_pointer(st, uint8_t(fetch(st) + c.x));
    case Mode::indirect_y: return uint16_t(zero_page_pointer(st, fetch(st)) + c.y);
    default: return 0;
  }
}

inline uint8_t get_operand(SidPlayerState& st, Mode mode) {
  switch (mode) {
    case Mode::immediate: return fetch(st);
    case Mode::accumulator: return st.cpu.a;
    case Mode::implied:
    case Mode::indirect:
    case Mode::relative: return 0;
    default: return st.memory[operand_address(st, mode)];
  }
}

inline void write_back(SidPlayerState& st, Mode mode, uint8_t value) {
  const uint16_t pc = st.cpu.pc;
  const uint16_t word = uint16_t(st.memory[uint16_t(pc - 2)] | (st.memory[uint16_t(pc - 1)] << 8));
  const uint8_t byte = st.memory[uint16_t(pc - 1)];
  switch (mode) {
    case Mode::absolute: mem_write(st, word, value); break;
    case Mode::absolute_x: mem_write(st, uint16_t(word + st.cpu.x), value); break;
    case Mode::zero_page: mem_write(st, byte, value); break;
    case Mode::zero_page_x: mem_write(st, uint8_t(byte + st.cpu.x), value); break;
    case Mode::accumulator: st.cpu.a = value; break;
    default: break;
  }
}

inline void store_operand(SidPlayerState& st, Mode mode, uint8_t value) {
  switch (mode) {
    case Mode::accumulator: st.cpu.a = value; break;
    case Mode::absolute:
    case Mode::absolute_x:
    case Mode::absolute_y:
    case Mode::zero_page:
    case Mode::zero_page_x:
    case Mode::zero_page_y:
    case Mode::indirect_x:
    case Mode::indirect_y: mem_write(st, operand_address(st, mode), value); break;
    default: break;
  }
}

inline void set_zn(Cpu6502& c, uint8_t v) {
  c.p = uint8_t((c.p & ~(flag_z | flag_n)) | (v == 0 ? flag_z : 0) | (v & flag_n));
}

inline void set_flag(Cpu6502& c, uint8_t flag, bool on) { c.p = uint8_t(on ? c.p | flag : c.p & ~flag); }

// Binary add with carry; SBC passes the inverted operand. D is ignored.
inline void add(Cpu6502& c, uint8_t m) {
  const unsigned r = c.a + m + (c.p & flag_c);
  set_flag(c, flag_v, (~(c.a ^ m) & (c.a ^ r) & 0x80) != 0);
  set_flag(c, flag_c, r > 0xFF);
  c.a = uint8_t(r);
  set_zn(c, c.a);
}

inline void compare(Cpu6502& c, uint8_t reg, uint8_t m) {
  const uint16_t d = uint16_t(reg - m);
  c.p = uint8_t((c.p & ~(flag_z | flag_n | flag_c)) | (d == 0 ? flag_z : 0) | (d & flag_n) |
                (reg >= m ? flag_c : 0));
}

inline void branch(SidPlayerState& st, bool taken) {
  const int8_t offset = static_cast<int8_t>(fetch(st));
  if (taken) st.cpu.pc = uint16_t(st.cpu.pc + offset);
}

}  // namespace

void cpu_reset(SidPlayerState& st) { st.cpu = Cpu6502{.a = 0, .x = 0, .y = 0, .s = 0xFF, .p = 0, .pc = 0}; }

void cpu_push(SidPlayerState& st, uint8_t value) {
  st.memory[0x0100 + st.cpu.s] = value;
  if (st.cpu.s != 0) st.cpu.s -= 1;
}

void cpu_step(SidPlayerState& st) {
  Cpu6502& c = st.cpu;
  const uint8_t opcode = fetch(st);
  const Mode mode = cpu_matrix::mode[opcode];
  switch (cpu_matrix::kind[opcode]) {
    case Kind::adc: add(c, get_operand(st, mode)); break;
    case Kind::sbc: add(c, uint8_t(~get_operand(st, mode))); break;
    case Kind::and_: c.a &= get_operand(st, mode); set_zn(c, c.a); break;
    case Kind::ora: c.a |= get_operand(st, mode); set_zn(c, c.a); break;
    case Kind::eor: c.a ^= get_operand(st, mode); set_zn(c, c.a); break;
    case Kind::asl: {
      const unsigned r = get_operand(st, mode) << 1;
      write_back(st, mode, uint8_t(r));
      set_flag(c, flag_c, r > 0xFF);
      set_zn(c, uint8_t(r));
      break;
    }
    case Kind::lsr: {
      const uint8_t m = get_operand(st, mode);
      const uint8_t r = m >> 1;
      write_back(st, mode, r);
      set_flag(c, flag_c, m & 1);
      set_zn(c, r);
      break;
    }
    case Kind::rol: {
      const uint8_t m = get_operand(st, mode);
      const uint8_t r = uint8_t((m << 1) | (c.p & flag_c));
      write_back(st, mode, r);
      set_flag(c, flag_c, m & 0x80);
      set_zn(c, r);
      break;
    }
    case Kind::ror: {
      const uint8_t m = get_operand(st, mode);
      const uint8_t r = uint8_t((m >> 1) | ((c.p & flag_c) << 7));
      write_back(st, mode, r);
      set_flag(c, flag_c, m & 1);
      set_zn(c, r);
      break;
    }
    case Kind::inc: {
      const uint8_t r = uint8_t(get_operand(st, mode) + 1);
      write_back(st, mode, r);
      set_zn(c, r);
      break;
    }
    case Kind::dec: {
      const uint8_t r = uint8_t(get_operand(st, mode) - 1);
      write_back(st, mode, r);
      set_zn(c, r);
      break;
    }
    case Kind::inx: set_zn(c, ++c.x); break;
    case Kind::iny: set_zn(c, ++c.y); break;
    case Kind::dex: set_zn(c, --c.x); break;
    case Kind::dey: set_zn(c, --c.y); break;
    case Kind::bit: {
      const uint8_t m = get_operand(st, mode);
      c.p = uint8_t((c.p & ~(flag_z | flag_n | flag_v)) | ((c.a & m) == 0 ? flag_z : 0) | (m & (flag_n | flag_v)));
      break;
    }
    case Kind::cmp: compare(c, c.a, get_operand(st, mode)); break;
    case Kind::cpx: compare(c, c.x, get_operand(st, mode)); break;
    case Kind::cpy: compare(c, c.y, get_operand(st, mode)); break;
    case Kind::lda: c.a = get_operand(st, mode); set_zn(c, c.a); break;
    case Kind::ldx: c.x = get_operand(st, mode); set_zn(c, c.x); break;
    case Kind::ldy: c.y = get_operand(st, mode); set_zn(c, c.y); break;
    case Kind::sta: store_operand(st, mode, c.a); break;
    case Kind::stx: store_operand(st, mode, c.x); break;
    case Kind::sty: store_operand(st, mode, c.y); break;
    case Kind::tax: c.x = c.a; set_zn(c, c.x); break;
    case Kind::tay: c.y = c.a; set_zn(c, c.y); break;
    case Kind::txa: c.a = c.x; set_zn(c, c.a); break;
    case Kind::tya: c.a = c.y; set_zn(c, c.a); break;
    case Kind::tsx: c.x = c.s; set_zn(c, c.x); break;
    case Kind::txs: c.s = c.x; break;
    case Kind::pha: cpu_push(st, c.a); break;
    case Kind::php: cpu_push(st, c.p); break;
    case Kind::pla: c.a = pull(st); set_zn(c, c.a); break;
    case Kind::plp: c.p = pull(st); break;
    case Kind::clc: c.p &= uint8_t(~flag_c); break;
    case Kind::cld: c.p &= uint8_t(~flag_d); break;
    case Kind::cli: c.p &= uint8_t(~flag_i); break;
    case Kind::clv: c.p &= uint8_t(~flag_v); break;
    case Kind::sec: c.p |= flag_c; break;
    case Kind::sed: c.p |= flag_d; break;
    case Kind::sei: c.p |= flag_i; break;
    case Kind::bcc: branch(st, !(c.p & flag_c)); break;
    case Kind::bcs: branch(st, c.p & flag_c); break;
    case Kind::beq: branch(st, c.p & flag_z); break;
    case Kind::bne: branch(st, !(c.p & flag_z)); break;
    case Kind::bmi: branch(st, c.p & flag_n); break;
    case Kind::bpl: branch(st, !(c.p & flag_n)); break;
    case Kind::bvc: branch(st, !(c.p & flag_v)); break;
    case Kind::bvs: branch(st, c.p & flag_v); break;
    case Kind::jmp: {
      const uint16_t target = fetch_word(st);
      // Indirect takes the high byte from the next address, page crossing or not.
      c.pc = mode == Mode::indirect ? uint16_t(st.memory[target] | (st.memory[uint16_t(target + 1)] << 8)) : target;
      break;
    }
    case Kind::jsr: {
      const uint16_t last_byte = uint16_t(c.pc + 1);
      cpu_push(st, uint8_t(last_byte >> 8));
      cpu_push(st, uint8_t(last_byte));
      c.pc = fetch_word(st);
      break;
    }
    case Kind::rts:
    case Kind::rti: {
      const uint8_t lo = pull(st);
      const uint8_t hi = pull(st);
      c.pc = uint16_t((lo | (hi << 8)) + 1);
      break;
    }
    case Kind::brk: c.pc = 0; break;
    case Kind::nop:
    case Kind::none: break;
  }
}
