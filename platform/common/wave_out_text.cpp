// Texts for the wave output result codes, shared by both backends.
#include <cstdio>

#include "platform/wave_out.h"

void wave_out_error_text(int code, char* text, size_t size) {
  if (!text || size == 0) return;
  const char* message = "";
  switch (code) {
    case wave_ok: message = "The operation completed successfully."; break;
    case wave_error: message = "An unspecified error occurred."; break;
    case wave_bad_device: message = "The sound device could not be opened."; break;
    case wave_invalid_handle: message = "The sound device is not open."; break;
    case wave_no_driver: message = "No sound driver is available."; break;
    case wave_no_memory: message = "Not enough memory for the sound device."; break;
    case wave_invalid_param: message = "An invalid parameter was passed to the sound device."; break;
    case wave_bad_format: message = "The sound format is not supported."; break;
    case wave_still_playing: message = "The buffer is still playing."; break;
    case wave_unprepared: message = "The buffer was not prepared."; break;
    default: message = "Unknown sound device error."; break;
  }
  std::snprintf(text, size, "%s", message);
}
