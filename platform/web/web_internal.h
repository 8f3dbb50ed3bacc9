#pragma once
// Between the web backend's parts.
//
// The browser gives the program one thread. The program's own loops run as they
// are: Asyncify suspends them at every sleep and present and lets the page's
// event loop run. Everything else the other backends do on threads of their own
// (the music players' output threads, the wave devices' done hooks, feeding the
// audio graph) runs on that one thread at those moments, from
// web_run_background.

// Milliseconds from performance.now.
double web_now_ms();

// Hands the thread to the page until `timeout_ms` has passed or, with
// `until_frame`, the display frame asked for by web_request_frame has come;
// true when it has. Only the main fiber waits.
bool web_wait(double timeout_ms, bool until_frame);
void web_request_frame();

// The cooperative tasks, due ones only: wave devices first (done hooks, feeding
// the sinks), then every thread whose sleep is over or whose event came. Does
// nothing on a thread or when already running.
void web_run_background();
// When the next sleeping thread wakes (a large value when none sleeps).
double web_next_thread_wake_ms();

// Wave devices: done hooks and feeding the audio graph (web_wave_out.cpp).
void web_wave_devices_pump();

// Whether the page shows the program: visible and focused (web_window.cpp).
bool web_window_active();

// Counters for the page's own measurement (see web_window.cpp).
struct WebTimes {
  double waiting_ms = 0;      // handed to the page, inside web_wait
  double background_ms = 0;   // in web_run_background: audio feeding, hooks, music threads
  double threads_ms = 0;      // of that, in the music threads
  double presenting_ms = 0;   // putting frames on the canvas
};
WebTimes& web_times();
