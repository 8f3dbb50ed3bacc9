#pragma once
// The whole issue as read from assets/: pages, short texts and pictures, with
// every problem the checks find. issuecheck prints the problems; issuepack
// writes the program's data from a clean issue.
#include <array>
#include <string>
#include <vector>

#include "tools/issue/page_source.h"
#include "tools/issue/png_io.h"
#include "tools/issue/problems.h"
#include "tools/issue/texts_source.h"

struct IssueSource {
  std::array<std::vector<PageLine>, 21> pages;  // 1..20, lines 1..n of each
  IssueTexts texts;
  IndexedPicture skin_grunge, skin_carbon, page_font, big_font;
  bool has_big_font = false;
  int files_read = 0;
};

// Why assets_dir cannot be an issue's folder at all (it does not exist, or holds
// none of pages/, pictures/ and texts.txt), or "" when it may be one. The tools
// say this once instead of listing every file as missing.
std::string issue_folder_problem(const std::string& assets_dir);

// Reads and checks everything under assets_dir; true when no problem was found.
bool read_issue(const std::string& assets_dir, IssueSource& issue, Problems& problems);

// The file as bytes; false when it cannot be read.
bool read_file(const std::string& path, std::string& bytes);
