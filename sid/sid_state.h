#pragma once
// SidPlayerState: everything one playing tune needs, in one record. The CPU,
// the chip and the 64 KB C64 memory image, the tune's entry points, and a few
// counters the tools and tests read. sid_reset clears it at every start, except
// the two process-lifetime items marked below.
#include <cstdint>

#include "sid/cpu6502.h"
#include "sid/sid_chip.h"

// Called for every write that reaches the SID (register = address AND $1F).
using SidWriteObserver = void (*)(void* context, uint16_t address, uint8_t value);

struct SidPlayerState {
  Cpu6502 cpu;
  SidChip chip;                       // chip.digi.level survives sid_reset
  uint8_t memory[65536] = {};
  uint16_t load_address = 0;
  uint16_t init_address = 0;
  uint16_t play_address = 0;

  // Counters, reset with the record.
  uint32_t play_calls = 0;            // play routine calls since the start
  uint32_t sid_writes = 0;            // writes that reached the chip
  uint32_t last_call_instructions = 0;
  uint32_t init_instructions = 0;     // of the init call with the chosen song
  uint8_t last_call_returned = 0;     // 0: the last call hit its instruction bound

  // Survives sid_reset: set by a tool that wants to see the writes.
  SidWriteObserver write_observer = nullptr;
  void* write_context = nullptr;
};
