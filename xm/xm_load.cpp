// XM loader: header, patterns, instruments, envelopes and samples, read through
// the file callbacks into an XmModule.
//
// The file is untrusted. Whatever it says, the loader keeps every count within
// what the replay engine can index (channels, orders, envelope points, loops),
// never allocates more sample memory than the file still holds, and refuses what
// FastTracker 2 itself refuses (more than 32 channels, 256 patterns, 256 rows or
// 128 instruments). Short data leaves zeros, as a truncated file always has.
#include <cstdlib>
#include <cstring>
#include <new>

#include "xm/xm_file.h"
#include "xm/xm_module.h"
#include "xm/xm_player.h"
#include "xm/xm_replay.h"

XmSample xm_blank_sample;
const XmInstrument xm_blank_instrument;

namespace {

struct Source {
  XmFile* file;
  int64_t size;
};

void read_bytes(Source& in, void* destination, size_t size) { xm_file_read(destination, size, in.file); }

uint8_t read_u8(Source& in) {
  uint8_t b[1] = {};
  read_bytes(in, b, 1);
  return b[0];
}

uint16_t read_u16(Source& in) {
  uint8_t b[2] = {};
  read_bytes(in, b, 2);
  return uint16_t(b[0] | b[1] << 8);
}

uint32_t read_u32(Source& in) {
  uint8_t b[4] = {};
  read_bytes(in, b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

int64_t bytes_left(Source& in) {
  int64_t left = in.size - xm_file_tell(in.file);
  return left > 0 ? left : 0;
}

template <class T>
T* allocate_zeroed(size_t count) {
  return static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
}

bool load_pattern_cells(Source& in, XmPattern& pattern, int channels) {
  size_t count = size_t(pattern.row_count) * size_t(channels);
  pattern.cells = allocate_zeroed<XmCell>(count);
  return pattern.cells != nullptr;
}

void decode_cells(Source& in, XmPattern& pattern, int channels) {
  size_t count = size_t(pattern.row_count) * size_t(channels);
  for (size_t i = 0; i < count; ++i) {
    // Past the end every read delivers nothing and the cells stay zero.
    if (bytes_left(in) == 0) break;
    XmCell& cell = pattern.cells[i];
    uint8_t b = read_u8(in);
    if (b & 0x80) {
      if (b & 0x01) cell.note = read_u8(in);
      if (b & 0x02) cell.instrument = read_u8(in);
      if (b & 0x04) cell.volume = read_u8(in);
      if (b & 0x08) cell.effect = read_u8(in);
      if (b & 0x10) cell.parameter = read_u8(in);
    } else {
      cell.note = b;
      uint8_t rest[4] = {};
      read_bytes(in, rest, 4);
      cell.instrument = rest[0];
      cell.volume = rest[1];
      cell.effect = rest[2];
      cell.parameter = rest[3];
    }
    if (cell.note == 97) cell.note = xm_note_key_off;
    // FT2 has no notes between key off and 255; such bytes play as no note.
    if (cell.note > 97 && cell.note != xm_note_key_off) cell.note = 0;
    if (cell.instrument > 128) cell.instrument = 0;
  }
}

// Point counts, sustain and loop points and values held to what xm_envelope_step
// and effect L can index; ticks never run backwards (a later point before an
// earlier one would leave the envelope between points for ever).
void sanitize_envelope(EnvelopePoint* points, uint8_t& count, uint8_t& type, uint8_t& sustain,
                       uint8_t& loop_start, uint8_t& loop_end) {
  if (count > xm_envelope_points_read) count = xm_envelope_points_read;
  for (int i = 0; i < count; ++i) {
    if (points[i].value > 64) points[i].value = 64;
    if (i > 0 && points[i].tick < points[i - 1].tick) points[i].tick = points[i - 1].tick;
  }
  if (count < 2) type = 0;
  if (sustain >= count) type &= uint8_t(~xm_envelope_sustain);
  if (loop_start >= count || loop_end >= count || loop_start > loop_end) type &= uint8_t(~xm_envelope_loop);
}

void read_envelope(Source& in, EnvelopePoint* points) {
  uint8_t raw[xm_envelope_points_read * 4] = {};
  read_bytes(in, raw, sizeof raw);
  for (int i = 0; i < xm_envelope_points_read; ++i) {
    points[i].tick = uint16_t(raw[i * 4] | raw[i * 4 + 1] << 8);
    points[i].value = uint16_t(raw[i * 4 + 2] | raw[i * 4 + 3] << 8);
  }
}

// A loop must lie inside the sample: one starting past the end plays as a
// one-shot, one reaching past the end is shortened to it.
void sanitize_loop(XmSample& sample) {
  if (sample.loop_mode == xm_loop_none || sample.length == 0 || sample.loop_start >= sample.length) {
    sample.loop_mode = xm_loop_none;
    sample.loop_start = 0;
    sample.loop_length = sample.length;
    return;
  }
  if (uint64_t(sample.loop_start) + sample.loop_length > sample.length)
    sample.loop_length = sample.length - sample.loop_start;
}

void read_sample_header(Source& in, XmSample& sample) {
  sample.length = read_u32(in);
  sample.loop_start = read_u32(in);
  sample.loop_length = read_u32(in);
  sample.volume = read_u8(in);
  sample.finetune = int8_t(read_u8(in));
  sample.loop_mode = xm_loop_none;
  sample.bits = 8;
  uint8_t type = read_u8(in);
  if (type & 0x01) sample.loop_mode = xm_loop_forward;
  if (type & 0x02) sample.loop_mode = xm_loop_ping_pong;
  if (type & 0x10) sample.bits = 16;
  if (sample.loop_mode == xm_loop_none) {
    sample.loop_start = 0;
    sample.loop_length = sample.length;
  }
  if (sample.bits == 16) {
    sample.length /= 2;
    sample.loop_start /= 2;
    sample.loop_length /= 2;
  }
  if (sample.loop_length == 0) {
    sample.loop_start = 0;
    sample.loop_length = sample.length;
    sample.loop_mode = xm_loop_none;
  }
  sample.panning = read_u8(in);
  sample.relative_note = int8_t(read_u8(in));
  xm_file_seek(in.file, 23, 1);
  if (sample.volume > 64) sample.volume = 64;
  sanitize_loop(sample);
}

// Reads the sample's data (no more than the file still holds), undoes the delta
// coding and writes the guard value behind the loop.
bool read_sample_data(Source& in, XmSample& sample) {
  if (sample.length == 0) return true;
  uint32_t bytes_per_value = sample.bits / 8;
  int64_t available = bytes_left(in) / bytes_per_value;
  if (int64_t(sample.length) > available) {
    sample.length = uint32_t(available);
    sanitize_loop(sample);
    if (sample.length == 0) return true;
  }
  // length values, the guard and 7 more values of zero slack.
  sample.data = allocate_zeroed<int16_t>(size_t(sample.length) + 8);
  if (!sample.data) return false;
  size_t bytes = size_t(sample.length) * bytes_per_value;
  auto* raw = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!raw) return false;
  read_bytes(in, raw, bytes);
  uint16_t previous = 0;
  for (uint32_t i = 0; i < sample.length; ++i) {
    uint16_t delta = bytes_per_value == 1 ? uint16_t(raw[i] << 8) : uint16_t(raw[i * 2] | raw[i * 2 + 1] << 8);
    previous = uint16_t(previous + delta);
    sample.data[i] = int16_t(previous);
  }
  std::free(raw);
  sample.bits = 16;
  uint32_t end = sample.loop_start + sample.loop_length;
  if (sample.loop_mode == xm_loop_ping_pong) sample.data[end] = sample.data[end - 1];
  if (sample.loop_mode == xm_loop_forward) sample.data[end] = sample.data[sample.loop_start];
  return true;
}

bool load_instrument(Source& in, XmInstrument& instrument) {
  int64_t start = xm_file_tell(in.file);
  uint32_t header_size = read_u32(in);
  int64_t end = start + int64_t(header_size);
  xm_file_seek(in.file, 23, 1);
  uint16_t sample_count = read_u16(in);
  if (sample_count > xm_max_samples_per_instrument) return false;
  instrument.sample_count = sample_count;
  for (auto& slot : instrument.samples) slot = &xm_blank_sample;
  if (sample_count == 0) {
    xm_file_seek(in.file, end, 0);
    return true;
  }
  read_u32(in);  // sample header size: always taken as 40
  read_bytes(in, instrument.key_map, sizeof instrument.key_map);
  read_envelope(in, instrument.volume_envelope);
  read_envelope(in, instrument.panning_envelope);
  uint8_t fields[14] = {};
  read_bytes(in, fields, sizeof fields);
  instrument.volume_point_count = fields[0];
  instrument.panning_point_count = fields[1];
  instrument.volume_sustain_point = fields[2];
  instrument.volume_loop_start_point = fields[3];
  instrument.volume_loop_end_point = fields[4];
  instrument.panning_sustain_point = fields[5];
  instrument.panning_loop_start_point = fields[6];
  instrument.panning_loop_end_point = fields[7];
  instrument.volume_type = fields[8];
  instrument.panning_type = fields[9];
  instrument.vibrato_type = fields[10];
  instrument.vibrato_sweep = fields[11];
  instrument.vibrato_depth = fields[12];
  instrument.vibrato_rate = fields[13];
  instrument.fadeout = uint16_t(read_u16(in) * 2);
  sanitize_envelope(instrument.volume_envelope, instrument.volume_point_count, instrument.volume_type,
                    instrument.volume_sustain_point, instrument.volume_loop_start_point,
                    instrument.volume_loop_end_point);
  sanitize_envelope(instrument.panning_envelope, instrument.panning_point_count, instrument.panning_type,
                    instrument.panning_sustain_point, instrument.panning_loop_start_point,
                    instrument.panning_loop_end_point);
  xm_file_seek(in.file, end, 0);

  for (uint32_t i = 0; i < sample_count; ++i) {
    auto* sample = new (std::nothrow) XmSample;
    if (!sample) return false;
    instrument.samples[i] = sample;
    read_sample_header(in, *sample);
  }
  for (uint32_t i = 0; i < sample_count; ++i)
    if (!read_sample_data(in, *instrument.samples[i])) return false;
  return true;
}

}  // namespace

bool xm_parse(XmModule& module, XmFile* file) {
  Source in{file, 0};
  xm_file_seek(file, 0, 2);
  in.size = xm_file_tell(file);
  xm_file_seek(file, 0, 0);

  static constexpr char magic[] = "Extended Module: ";
  char head[17] = {};
  read_bytes(in, head, sizeof head);
  if (std::memcmp(head, magic, sizeof head) != 0) return false;
  read_bytes(in, module.title, 20);
  module.title[20] = 0;

  module.tick_function = xm_tick;
  module.initial_global_volume = 64;

  xm_file_seek(file, 60, 0);
  uint32_t header_size = read_u32(in);
  uint16_t song_length = read_u16(in);
  uint16_t restart_position = read_u16(in);
  uint16_t channel_count = read_u16(in);
  uint16_t pattern_count = read_u16(in);
  uint16_t instrument_count = read_u16(in);
  module.flags = read_u16(in);
  uint16_t speed = read_u16(in);
  uint16_t bpm = read_u16(in);
  read_bytes(in, module.order_table, sizeof module.order_table);

  // The replay state has 32 channel slots; FT2 refuses anything else, as it
  // refuses more than 256 patterns or 128 instruments.
  if (channel_count < 1 || channel_count > xm_max_channels) return false;
  if (pattern_count > xm_max_patterns || instrument_count > xm_max_instruments) return false;
  // FT2 plays a song of at least one order and restarts at order 0 when the
  // restart position lies beyond the song.
  if (song_length < 1) song_length = 1;
  if (song_length > xm_order_entries) song_length = xm_order_entries;
  if (restart_position >= song_length) restart_position = 0;
  // A tempo of 0 would give ticks of no length: FT2's defaults instead.
  if (speed == 0) speed = 6;
  if (speed > 31) speed = 31;
  if (bpm == 0) bpm = 125;
  if (bpm > 255) bpm = 255;
  module.song_length = int16_t(song_length);
  module.restart_position = int16_t(restart_position);
  module.channel_count = int16_t(channel_count);
  module.instrument_count = int16_t(instrument_count);
  module.default_speed = int16_t(speed);
  module.default_bpm = int16_t(bpm);
  xm_file_seek(file, 60 + int64_t(header_size), 0);

  int32_t highest = 0;
  for (int i = 0; i < song_length; ++i)
    if (module.order_table[i] > highest) highest = module.order_table[i];
  module.patterns_used = highest + 1;
  module.pattern_count_held = pattern_count > module.patterns_used ? pattern_count : module.patterns_used;
  module.patterns = new (std::nothrow) XmPattern[size_t(module.pattern_count_held)]();
  if (!module.patterns) return false;

  for (int p = 0; p < pattern_count; ++p) {
    XmPattern& pattern = module.patterns[p];
    read_u32(in);  // header length: always taken as 9
    read_u8(in);   // packing type
    uint16_t rows = read_u16(in);
    uint16_t packed_size = read_u16(in);
    if (rows > xm_max_rows) return false;
    // A pattern without rows would give the row start no cell to read: it plays
    // as FT2's empty pattern of 64 rows.
    pattern.row_count = rows ? rows : 64;
    if (!load_pattern_cells(in, pattern, channel_count)) return false;
    if (rows != 0 && packed_size != 0) decode_cells(in, pattern, channel_count);
  }
  for (int p = pattern_count; p < module.patterns_used; ++p) {
    module.patterns[p].row_count = 64;
    if (!load_pattern_cells(in, module.patterns[p], channel_count)) return false;
  }

  module.instruments = new (std::nothrow) XmInstrument[size_t(instrument_count) + 1]();
  if (!module.instruments) return false;
  // Every slot points at the blank sample before anything can fail, so release
  // never meets a null slot.
  for (int i = 0; i < instrument_count; ++i)
    for (auto& slot : module.instruments[i].samples) slot = &xm_blank_sample;
  for (int i = 0; i < instrument_count; ++i)
    if (!load_instrument(in, module.instruments[i])) return false;
  return true;
}

void xm_release(XmModule* module) {
  if (!module) return;
  if (module->instruments) {
    for (int i = 0; i < module->instrument_count; ++i) {
      XmInstrument& instrument = module->instruments[i];
      for (uint32_t s = 0; s < instrument.sample_count; ++s) {
        XmSample* sample = instrument.samples[s];
        if (!sample || sample == &xm_blank_sample) continue;
        std::free(sample->data);
        delete sample;
      }
    }
    delete[] module->instruments;
  }
  if (module->patterns) {
    for (int p = 0; p < module->pattern_count_held; ++p) std::free(module->patterns[p].cells);
    delete[] module->patterns;
  }
  delete module;
}

XmModule* xm_load(const FileCallbacks& callbacks, const char* name) {
  auto* module = new (std::nothrow) XmModule;
  if (!module) return nullptr;
  XmFile* file = xm_file_open(callbacks, name);
  if (!file) {
    delete module;
    return nullptr;
  }
  bool ok = xm_parse(*module, file);
  xm_file_close(file);
  if (!ok) {
    xm_release(module);
    return nullptr;
  }
  return module;
}

XmModule* xm_load_from_memory(const uint8_t* data, size_t size) {
  MemorySource source{data, data ? size : 0};
  FileCallbacks callbacks;
  xm_set_file_callbacks(callbacks, &source, xm_memory_open, xm_memory_close, xm_memory_read, xm_memory_seek,
                        xm_memory_tell);
  return xm_load(callbacks, nullptr);
}

uint16_t xm_cell_value(const XmModule& module, int32_t order, int32_t row, int32_t channel) {
  if (channel < 0 || channel >= module.channel_count) return 0;
  if (order < 0 || order >= module.song_length) return 0;
  const XmPattern& pattern = xm_pattern_at_order(module, order);
  if (row < 0 || uint32_t(row) >= pattern.row_count) return 0;
  const XmCell& cell = pattern.cells[size_t(row) * size_t(module.channel_count) + size_t(channel)];
  return uint16_t(cell.note | cell.instrument << 8);
}
