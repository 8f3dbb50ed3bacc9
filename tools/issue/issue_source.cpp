// Reading the issue: every file of assets/FORMAT.md's table, checked against the
// lengths and sizes the program expects.
#include "tools/issue/issue_source.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/issue/issue_layout.h"

namespace {

std::string page_file(int page) {
  char name[32];
  std::snprintf(name, sizeof name, "pages/page%02d.txt", page);
  return name;
}

bool file_exists(const std::string& path) { return std::ifstream(path).good(); }

void read_picture(const std::string& dir, const PictureRule& rule, IndexedPicture& picture, bool& present,
                  Problems& problems, int& files_read) {
  std::string path = dir + "/" + rule.file;
  present = file_exists(path);
  if (!present) {
    if (rule.required) problems.push_back({path, 1, "missing"});
    return;
  }
  ++files_read;
  std::string error;
  if (!png_read_indexed(path, picture, error)) {
    problems.push_back({path, 1, error});
    present = false;
    return;
  }
  if (picture.width != rule.width || picture.height != rule.height) {
    problems.push_back({path, 1, "is " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                                     ", must be " + std::to_string(rule.width) + " x " + std::to_string(rule.height)});
    present = false;
    return;
  }
  if (rule.grey_palette) {
    const auto& p = picture.palette;
    if (p[0] != 0 || p[1] != 0 || p[2] != 0) problems.push_back({path, 1, "palette entry 0 must be black"});
    for (int i = 0; i < 256; ++i)
      if (p[size_t(i * 3)] != p[size_t(i * 3 + 1)] || p[size_t(i * 3)] != p[size_t(i * 3 + 2)]) {
        problems.push_back({path, 1, "palette entry " + std::to_string(i) + " is not a grey"});
        break;
      }
  }
}

// The music arrives from other hands; here only that each file is what it claims.
void check_music(const std::string& dir, Problems& problems, int& files_read) {
  for (int i = 1; i <= 12; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/tunes/tune%02d.sid", i);
    std::string path = dir + name, bytes;
    if (!read_file(path, bytes)) continue;
    ++files_read;
    if (bytes.size() < 124 || bytes.compare(0, 4, "PSID") != 0 || bytes[4] != 0 || bytes[5] != 2)
      problems.push_back({path, 1, "not a PSID version 2 file"});
  }
  for (int i = 1; i <= 4; ++i) {
    std::string path = dir + "/modules/module" + std::to_string(i) + ".xm", bytes;
    if (!read_file(path, bytes)) continue;
    ++files_read;
    if (bytes.size() < 60 || bytes.compare(0, 17, "Extended Module: ") != 0)
      problems.push_back({path, 1, "not a FastTracker 2 XM file"});
  }
}

}  // namespace

std::string issue_folder_problem(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::exists(dir, error)) return dir + ": no such folder";
  if (!fs::is_directory(dir, error)) return dir + ": not a folder";
  for (const char* part : {"pages", "pictures", "texts.txt"})
    if (fs::exists(fs::path(dir) / part, error)) return "";
  return dir + ": not an issue's folder (no pages/, pictures/ or texts.txt)";
}

bool read_file(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  bytes = text.str();
  return !in.bad();
}

bool read_issue(const std::string& dir, IssueSource& issue, Problems& problems) {
  size_t before = problems.size();
  for (int page = 1; page <= issue_pages; ++page) {
    std::string path = dir + "/" + page_file(page), bytes;
    if (!read_file(path, bytes)) {
      problems.push_back({path, 1, "missing"});
      continue;
    }
    ++issue.files_read;
    parse_page(path, bytes, issue.pages[size_t(page)], problems);
    int length = int(issue.pages[size_t(page)].size()) + 1;
    int expected = expected_page_length[size_t(page)];
    if (length != expected)
      problems.push_back({path, std::max(1, length - 1),
                          "page " + std::to_string(page) + " has " + std::to_string(length) +
                              " lines (line 0 and " + std::to_string(length - 1) + " in the file), the menu expects " +
                              std::to_string(expected) + " (" + std::to_string(expected - 1) + " in the file)"});
  }
  std::string texts_path = dir + "/texts.txt", bytes;
  if (!read_file(texts_path, bytes)) {
    problems.push_back({texts_path, 1, "missing"});
  } else {
    ++issue.files_read;
    parse_texts(texts_path, bytes, issue.texts, problems);
  }
  bool present = false;
  read_picture(dir, skin_grunge_rule, issue.skin_grunge, present, problems, issue.files_read);
  read_picture(dir, skin_carbon_rule, issue.skin_carbon, present, problems, issue.files_read);
  read_picture(dir, page_font_rule, issue.page_font, present, problems, issue.files_read);
  read_picture(dir, big_font_rule, issue.big_font, issue.has_big_font, problems, issue.files_read);
  check_music(dir, problems, issue.files_read);
  return problems.size() == before;
}
