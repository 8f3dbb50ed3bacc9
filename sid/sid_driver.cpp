// PSID loading and the routine calls. The header's load address is never used:
// the data always begin with the little-endian load address. Speed, song count
// and start song are ignored; the caller picks the song and plays at 50 Hz.
#include "sid/sid_driver.h"

#include <cstring>

namespace {

constexpr uint32_t header_fields_end = 16;  // past the play address

uint16_t big_endian(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

}  // namespace

void sid_reset(SidPlayerState& st, uint32_t sample_rate) {
  const SidWriteObserver observer = st.write_observer;
  void* const context = st.write_context;
  const int32_t digi_level = st.chip.digi.level;
  st.cpu = Cpu6502{};
  st.chip.digi.level = digi_level;
  synth_init(st.chip, sample_rate);
  std::memset(st.memory, 0, sizeof st.memory);
  st.load_address = st.init_address = st.play_address = 0;
  st.play_calls = st.sid_writes = st.last_call_instructions = st.init_instructions = 0;
  st.last_call_returned = 1;
  st.write_observer = observer;
  st.write_context = context;
  cpu_reset(st);
}

uint32_t cpu_call(SidPlayerState& st, uint16_t address, uint8_t a, uint32_t limit) {
  st.cpu = Cpu6502{.a = a, .x = 0, .y = 0, .s = 0xFF, .p = 0, .pc = address};
  cpu_push(st, 0);
  cpu_push(st, 0);
  uint32_t n = 0;
  while (st.cpu.pc > 1 && n < limit) {
    cpu_step(st);
    ++n;
  }
  st.last_call_instructions = n;
  st.last_call_returned = st.cpu.pc <= 1;
  return n;
}

SidLoadResult sid_load(SidPlayerState& st, const uint8_t* tune, uint32_t length) {
  std::memset(st.memory, 0, sizeof st.memory);
  const uint32_t data_offset = length >= 8 ? tune[7] : 0;
  if (length < header_fields_end || uint64_t(data_offset) + 2 > length) return SidLoadResult::too_short;

  st.init_address = big_endian(tune + 10);
  st.play_address = big_endian(tune + 12);
  const uint8_t* data = tune + data_offset;
  st.load_address = uint16_t(data[0] | (data[1] << 8));
  // An init address of 0 means the start of the data, as in every PSID player.
  if (st.init_address == 0) st.init_address = st.load_address;

  // The copy is cut at the end of the image rather than wrapped or overrun.
  const uint32_t available = length - data_offset - 2;
  const uint32_t room = 0x10000 - st.load_address;
  const uint32_t count = available < room ? available : room;
  std::memcpy(st.memory + st.load_address, data + 2, count);

  if (st.play_address == 0) {
    cpu_call(st, st.init_address, 0, sid_init_instruction_limit);
    st.play_address = uint16_t(st.memory[0x0314] | (st.memory[0x0315] << 8));
  }
  return available > room ? SidLoadResult::cut : SidLoadResult::loaded;
}

void sid_init_song(SidPlayerState& st, uint8_t subsong) {
  st.init_instructions = cpu_call(st, st.init_address, subsong, sid_init_instruction_limit);
}

void sid_render_chunk(SidPlayerState& st, int16_t* out, uint32_t count) {
  cpu_call(st, st.play_address, 0, sid_play_instruction_limit);
  st.play_calls += 1;
  synth_render(st.chip, st.memory, out, count);
}

void sid_render_buffer(SidPlayerState& st, int16_t* out) {
  for (uint32_t i = 0; i < sid_buffer_chunks; ++i) sid_render_chunk(st, out + i * sid_chunk_samples, sid_chunk_samples);
}

SidLoadResult sid_prepare_tune(SidPlayerState& st, const uint8_t* tune, uint32_t length, uint8_t subsong) {
  sid_reset(st, sid_sample_rate);
  const SidLoadResult result = sid_load(st, tune, length);
  if (result != SidLoadResult::too_short) sid_init_song(st, subsong);
  return result;
}

const char* psid_problem(const uint8_t* bytes, uint32_t length) {
  if (length < 4 || (std::memcmp(bytes, "PSID", 4) != 0 && std::memcmp(bytes, "RSID", 4) != 0))
    return "not a PSID file (no PSID magic)";
  if (length < 0x76) return "too short for a PSID header";
  const uint32_t data_offset = big_endian(bytes + 6);
  if (data_offset > 0xFF) return "data offset above $FF";
  if (data_offset < 0x76) return "data offset is inside the header";
  if (data_offset + 2 > length) return "no tune data after the header";
  return nullptr;
}
