#pragma once
// Between the virtual backend's parts.
#include <cstdint>

// Plays every open device up to the virtual moment `target_ns`, running done hooks.
void virtual_devices_play_until(int64_t target_ns);
void virtual_devices_reset();
void virtual_reset_time();
void virtual_window_reset();
void virtual_run_runnable_threads();
