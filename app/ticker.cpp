// Building the ticker's texts and drawing it.
#include "app/ticker.h"

#include <cmath>
#include <string_view>

void ticker_build(Ticker& ticker, const char* const* title_lines) {
  for (int i = 1; i <= 5; ++i) {
    ticker.module_titles[i] = std::string(ticker_lead_spaces, ' ');
    if (i <= 4 && title_lines[i]) ticker.module_titles[i] += title_lines[i];
  }
  ticker.shift = 0;
}

void draw_ticker(FrameBuffer& frame, Ticker& ticker, const PageFont& font, AppState& app) {
  int32_t offset = app.skin == 1 ? 0 : 1;
  int32_t module = app.current_module >= 1 && app.current_module <= 5 ? app.current_module : 1;
  std::string_view title = ticker.module_titles[module];
  size_t first = size_t(app.ticker_pos - 1);
  std::string_view shown = first < title.size() ? title.substr(first, ticker_window) : std::string_view();
  int32_t x = 146 - int32_t(std::floor(ticker.shift));
  draw_text_clipped(frame, font, shown, x, 123 + offset, 146, 649, 40, 145, 2, 2);
  ticker.shift += 1;
  if (ticker.shift > 9) {
    app.ticker_pos += 1;
    if (app.ticker_pos > int32_t(title.size())) app.ticker_pos = 1;
    ticker.shift -= 9;
  }
}
