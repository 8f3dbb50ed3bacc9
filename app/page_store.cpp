// load_page: 5000 lines x 81 columns of three tables, whatever the page's length,
// so nothing of the previous page survives.
#include "app/page_store.h"

#include <cstring>

#include "app/text_palette.h"

namespace {

bool is_end_marker(const IssueLine& line) { return line.length >= 5 && std::memcmp(line.text, "<END>", 5) == 0; }

void clear_line(PageStore& store, int line) {
  std::memset(store.characters[line], 0, page_table_columns);
  std::memset(store.colours[line], 1, page_table_columns);
  std::memset(store.fonts[line], 0, page_table_columns);
  store.bands[line] = -1;
}

}  // namespace

void load_page(PageStore& store, AppState& app, int32_t page) {
  const IssuePage& source = store.source[page];
  app.page_length = page_line_limit - 1;
  for (int line = 0; line < page_line_limit; ++line) {
    if (line >= source.count) {
      clear_line(store, line);
      continue;
    }
    const IssueLine& text = source.lines[line];
    if (is_end_marker(text)) {
      app.page_length = line;
      // The marker line is never shown, but its band would be: clear it rather
      // than keep what the previous page left there.
      clear_line(store, line);
      continue;
    }
    store.characters[line][0] = 0;
    store.colours[line][0] = 1;
    store.fonts[line][0] = 0;
    for (int column = 1; column < page_table_columns; ++column) {
      bool present = column <= text.length;
      char font = present ? text.fonts[column - 1] : 0;
      store.characters[line][column] = present ? uint8_t(text.text[column - 1]) : 0;
      store.colours[line][column] = uint8_t(colour_code_of(present ? text.colours[column - 1] : 0));
      store.fonts[line][column] = font >= '0' && font <= '9' ? uint8_t(font - '0') : 0;
    }
    store.bands[line] = text.band >= '0' && text.band <= '9' ? int8_t(text.band - '0') : -1;
  }
  app.line_offset = 0;
  app.top_line = 0;
}
