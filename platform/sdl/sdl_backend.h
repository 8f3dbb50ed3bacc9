#pragma once
// Between the SDL backend's parts: the quit signals and what their end needs.

// Before the first SDL_InitSubSystem: SDL must not install its own handlers for
// SIGINT and SIGTERM (it would turn them into a quit event the program ignores).
void sdl_refuse_own_signal_handlers();

// SIGINT, SIGTERM and SIGHUP (unless the process was started with them ignored)
// mark a quit request; a second one, or an end that takes more than three
// seconds, ends the process at once. Installed when the process starts.
void sdl_quit_signals_install();
bool sdl_quit_signal_pending();
// The program's own end, done for a quit signal on the main thread: silence the
// wave devices, close the window, status 0.
[[noreturn]] void sdl_end_for_quit_signal();

// Pauses every open wave device at once (the quit path; devices stay open).
void sdl_wave_out_silence_all();
