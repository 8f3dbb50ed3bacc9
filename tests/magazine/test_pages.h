#pragma once
// Hand-made pages for the page store: each line given as text, colour codes,
// font digits and band, laid out as the build embeds them.
#include <deque>
#include <string>
#include <vector>

#include "app/page_store.h"

struct TestLine {
  std::string text, colours, fonts;
  char band = '0';
};

class TestIssue {
 public:
  // Lines 0..n-1 of a page; an "<END>" line ends it (add none to leave it open).
  void set_page(int page, const std::vector<TestLine>& lines) {
    auto& owned = lines_[page];
    owned.clear();
    for (const TestLine& l : lines) {
      strings_.push_back(l.text);
      const std::string& t = strings_.back();
      strings_.push_back(l.colours);
      const std::string& c = strings_.back();
      strings_.push_back(l.fonts);
      const std::string& f = strings_.back();
      owned.push_back({t.c_str(), c.c_str(), f.c_str(), uint8_t(t.size()), l.band});
    }
    pages_[page] = {owned.data(), int32_t(owned.size())};
  }
  const IssuePage* pages() const { return pages_; }

 private:
  std::deque<std::string> strings_;  // stable addresses
  std::vector<IssueLine> lines_[21];
  IssuePage pages_[21] = {};
};

// A plain line of text in colour 1, font 1.
inline TestLine plain(const std::string& text, char band = '0') {
  return {text, std::string(text.size(), '1'), std::string(text.size(), '1'), band};
}
inline TestLine end_marker() { return plain("<END>"); }
