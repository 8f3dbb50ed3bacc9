// Writing page lines in the page markup (assets/FORMAT.md): a line
// builder that tracks colour, font and visible width, and framed tables in
// CP437 box drawing that size their columns to their contents.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace chartgen {

inline constexpr int page_columns = 80;

// Visible columns of a UTF-8 text without markup (one per code point).
int text_width(std::string_view utf8);

// A key that puts names in the order of a reader's index: case and the
// accents of the Latin letters do not count ("Fähre 9" files under "fahre 9").
std::string sort_key(std::string_view utf8);

struct Line {
  std::string text;
  int width = 0;
  char colour = '1';
  int font = 1;

  // Appends s in the given colour and font, escaping '{'.
  Line& put(char c, std::string_view s, int f = 1);
  Line& pad(int to_width);                 // spaces up to a visible width
  Line& fill(char c, std::string_view unit, int to_width);  // repeats unit up to a width
};

// Band lines, the section rules of the pages.
std::string band_line(int style);

struct Column {
  std::string header;
  bool right = false;   // right-aligned (numbers)
  int min_width = 0;
};

struct Cell {
  std::string text;
  char colour = '2';
};

struct Table {
  std::vector<Column> columns;
  std::vector<std::vector<Cell>> rows;
  std::vector<size_t> rule_before;  // rows that get a thin rule above them
  char frame = 'R';                 // colour of the box drawing
  char head = '1';                  // colour of the header row
  int indent = -1;                  // -1: centred in the 80 columns
};

// The table's lines; false (and a message) when it would not fit 80 columns.
bool render_table(const Table& table, std::vector<std::string>& out, std::string& error);

}  // namespace chartgen
