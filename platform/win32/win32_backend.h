#pragma once
// Between the win32 backend's parts.

// Pauses every open wave device at once: the end for a quit request, which then
// ends the process without the players' own stop.
void win32_wave_out_silence_all();
