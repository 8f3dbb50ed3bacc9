// The content pipeline: page markup, texts.txt, and issuecheck on a broken issue.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "tools/issue/issue_source.h"
#include "tools/issue/page_source.h"
#include "tools/issue/texts_source.h"

namespace {

std::vector<PageLine> page(const std::string& source, Problems& problems) {
  std::vector<PageLine> lines;
  parse_page("p.txt", source, lines, problems);
  return lines;
}

TEST(PageMarkup, ColoursFontsBandsAndBraces) {
  Problems problems;
  auto lines = page("{D f2}Hi{/} {band 8}x{{y}\n\xE2\x95\x94\xE2\x96\x88{f0}z\n", problems);
  ASSERT_TRUE(problems.empty()) << problem_text(problems[0]);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Hi x{y}");
  EXPECT_EQ(lines[0].colours, "DD11111");
  EXPECT_EQ(lines[0].fonts, "2211111");
  EXPECT_EQ(lines[0].band, '8');
  EXPECT_EQ(lines[1].text, "\xC9\xDBz");  // box corner and full block in CP437
  EXPECT_EQ(lines[1].fonts, "110");
  EXPECT_EQ(lines[1].band, '0');
}

TEST(PageMarkup, LinesAndTheFinalNewline) {
  Problems problems;
  EXPECT_EQ(page("a\nb\n", problems).size(), 2u);
  EXPECT_EQ(page("a\nb", problems).size(), 2u);
  EXPECT_EQ(page("a\r\n\r\nb\n\n", problems).size(), 4u);  // blank lines count
  EXPECT_EQ(page("\xEF\xBB\xBFone\n", problems)[0].text, "one");
  EXPECT_TRUE(problems.empty());
}

TEST(PageMarkup, EveryProblemHasItsLine) {
  Problems problems;
  std::string wide(81, 'w');
  page("fine\n\tx\n{W}\n{f3}\n{band 9}\n" + wide + "\n<END>\n{1 oops}\n{open\n\xE2\x96\xB2\n\xE4\xB8\xAD\n\xFF\n", problems);
  std::vector<std::string> seen;
  for (const Problem& p : problems) seen.push_back(problem_text(p));
  std::vector<std::string> expected = {
      "p.txt:2: tab character (use spaces)",
      "p.txt:3: colour code 'W' outside the alphabet 1..9, A..V",
      "p.txt:4: font code 'f3' outside f0, f1, f2",
      "p.txt:5: band style '9' outside 0..8",
      "p.txt:6: line is 81 columns wide, more than 80",
      "p.txt:7: line begins with <END>, which would end the page here",
      "p.txt:8: unknown markup 'oops' (colours 1..9 A..V, fonts f0 f1 f2, /, band 0..8)",
      "p.txt:9: markup '{' is never closed (write {{ for a literal brace)",
      "p.txt:10: character U+25B2 (CP437 code 30) has no cell in the page font, which holds codes 32..255",
      "p.txt:11: character U+4E2D has no code in code page 437",
      "p.txt:12: invalid UTF-8",
  };
  EXPECT_EQ(seen, expected);
}

TEST(Texts, SettingsQuotingAndCounts) {
  std::string source = "# comment\n\nmenu_header = \"A \\\"B\\\" \\\\ \\n\"\nmenu_label.3 = \"> Caf\xC3\xA9\"\n"
                       "scroller_piece = \"one\"\nscroller_piece = \"two\"\nmenu_visible.2 = \"1\"\n";
  IssueTexts texts;
  Problems problems;
  parse_texts("t.txt", source, texts, problems);
  EXPECT_EQ(texts.menu_header, "A \"B\" \\ \\n");
  EXPECT_EQ(texts.menu_labels[3], "> Caf\x82");
  EXPECT_EQ(texts.menu_visible[2], 1);
  EXPECT_EQ(texts.scroller_pieces, (std::vector<std::string>{"one", "two"}));
  bool missing_label = false, piece_count = false;
  for (const Problem& p : problems) {
    missing_label |= problem_text(p) == "t.txt:7: 'menu_label.1' is missing";
    piece_count |= problem_text(p) == "t.txt:7: there are 2 scroller_piece lines, the scroller takes 18";
  }
  EXPECT_TRUE(missing_label);
  EXPECT_TRUE(piece_count);
}

TEST(Texts, MalformedLines) {
  IssueTexts texts;
  Problems problems;
  parse_texts("t.txt",
              "menu_header \"x\"\nmenu_header = x\nmenu_header = \"x\nmenu_label.21 = \"x\"\nmenu_header = \"a\" b\n"
              "menu_visible.1 = \"2\"\nmenu_header = \"ok\"\nmenu_header = \"again\"\n",
              texts, problems);
  ASSERT_GE(problems.size(), 8u);
  EXPECT_EQ(problem_text(problems[0]), "t.txt:1: expected key = \"text\"");
  EXPECT_EQ(problem_text(problems[1]), "t.txt:2: the text must be in double quotes");
  EXPECT_EQ(problem_text(problems[2]), "t.txt:3: the closing quote is missing");
  EXPECT_EQ(problem_text(problems[3]), "t.txt:4: unknown key 'menu_label.21'");
  EXPECT_EQ(problem_text(problems[4]), "t.txt:5: text after the closing quote");
  EXPECT_EQ(problem_text(problems[5]), "t.txt:6: menu_visible must be \"0\" or \"1\"");
  EXPECT_EQ(problem_text(problems[6]), "t.txt:8: 'menu_header' is set again (first on line 7)");
}

// issuecheck passes on the issue and fails, naming the line, on a broken copy.
TEST(IssueCheck, CleanIssueAndABrokenPage) {
  namespace fs = std::filesystem;
  std::string check = std::string(MAG_BINARY_DIR) + "/issuecheck";
  EXPECT_EQ(std::system((check + " " MAG_SOURCE_DIR "/assets > /dev/null").c_str()), 0);
  fs::path copy = fs::temp_directory_path() / ("magazine_issuecheck_test_" + std::to_string(::getpid()));
  fs::remove_all(copy);
  fs::copy(fs::path(MAG_SOURCE_DIR) / "assets", copy, fs::copy_options::recursive);
  { std::ofstream(copy / "pages" / "page19.txt") << "one\n{Q}two {x}\n"; }
  std::string out = (copy / "out.txt").string();
  int status = std::system((check + " " + copy.string() + " > " + out + " 2>/dev/null").c_str());
  EXPECT_NE(status, 0);
  std::ifstream in(out);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, (copy / "pages/page19.txt").string() + ":2: colour code 'x' outside the alphabet 1..9, A..V");
  fs::remove_all(copy);
}

TEST(IssueCheck, PicturesOfTheWrongKind) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("magazine_picture_test_" + std::to_string(::getpid()));
  fs::create_directories(dir / "pictures");
  IndexedPicture small;
  small.width = 10;
  small.height = 10;
  small.indices.assign(100, 0);
  std::string error;
  ASSERT_TRUE(png_write_indexed((dir / "pictures/skin_grunge.png").string(), small, error));
  uint32_t rgb[4] = {1, 2, 3, 4};
  ASSERT_TRUE(png_write_rgb((dir / "pictures/skin_carbon.png").string(), 2, 2, rgb, error));
  IssueSource issue;
  Problems problems;
  EXPECT_FALSE(read_issue(dir.string(), issue, problems));
  std::vector<std::string> seen;
  for (const Problem& p : problems) seen.push_back(problem_text(p));
  std::string base = dir.string() + "/pictures/";
  EXPECT_NE(std::find(seen.begin(), seen.end(), base + "skin_grunge.png:1: is 10 x 10, must be 800 x 600"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(),
                      base + "skin_carbon.png:1: is not palettised (4 colours): save it as an 8-bit palettised PNG"),
            seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), base + "page_font.png:1: missing"), seen.end());
  fs::remove_all(dir);
}

// Every address the issue prints, mail or host, is on a reserved name that can
// never belong to anyone.
TEST(IssueText, AddressesAreOnReservedNames) {
  namespace fs = std::filesystem;
  std::regex address(R"(([A-Za-z0-9._-]+@)?([A-Za-z0-9-]+\.)+([A-Za-z]{2,}))");
  std::regex host_like(R"(@|\b(www|irc|ftp|telnet|ledger|bbs)\.)", std::regex::icase);
  int addresses = 0;
  std::vector<fs::path> files = {fs::path(MAG_SOURCE_DIR) / "assets/texts.txt"};
  for (const auto& entry : fs::directory_iterator(fs::path(MAG_SOURCE_DIR) / "assets/pages")) files.push_back(entry.path());
  for (const fs::path& file : files) {
    std::ifstream in(file);
    std::ostringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    for (auto it = std::sregex_iterator(text.begin(), text.end(), address); it != std::sregex_iterator(); ++it) {
      std::string found = it->str();
      if (!std::regex_search(found, host_like)) continue;  // "No.1", "2.0" and the like
      ++addresses;
      std::string lower = found;
      for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(lower.ends_with(".invalid")) << file.filename() << ": " << found;
    }
  }
  EXPECT_GE(addresses, 10);  // ballots, letters and the register all have one
}

// The menu, the credits, the scroller's prompt and the ticker's skin hints are
// the system's own texts; an edit of the issue must leave them as they are.
TEST(IssueText, TheSystemsOwnTextsStayAsTheyAre) {
  std::ifstream in(MAG_SOURCE_DIR "/assets/texts.txt", std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  IssueTexts texts;
  Problems problems;
  parse_texts("texts.txt", all.str(), texts, problems);
  ASSERT_TRUE(problems.empty()) << problem_text(problems[0]);
  EXPECT_EQ(texts.menu_header, "ORVELLA ISSUE 37");
  const char* labels[] = {"> Monthly Chart",         "> Monthly Overview",       "> Group Of The Month",
                          "> Group Release Stats",   "> Yearly Stats",           "> Yearly Overview",
                          "> Group Of The Year",     "> Alltime Stats",          "> Alltime Overview",
                          "Help",                    "> This Issues Editorial",  "Rules",
                          "> Credits For The Charts", "> Letters To The Editor", "> This Issues Music",
                          "> Interview with you?",   "> No Good Games for Xmas09?", "> Interview with you?",
                          "> New ISO/DOX rules Status!", "> Article here"};
  for (int e = 1; e <= 20; ++e) {
    EXPECT_EQ(texts.menu_labels[size_t(e)], labels[e - 1]) << "entry " << e;
    EXPECT_EQ(texts.menu_visible[size_t(e)], e <= 16 ? 1 : 0) << "entry " << e;
  }
  const char* credits[] = {"***********************", "*ORVELLA*", "***********************", "", "issue number 37",
                           "Released on",             "27-12-2009", "",                        "= TRY F1 TO F12 ="};
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(texts.credit_lines[size_t(k)], credits[k - 1]) << "credit line " << k;
  std::string scroller;
  int pauses = 0;
  for (const std::string& piece : texts.scroller_pieces) scroller += piece, pauses += piece.starts_with("a");
  EXPECT_NE(scroller.find(" PLEASE PRESS THE -LEFT MOUSE- BUTTON OR -ESCAPE- TO BEGIN   ----   WE HOPE YOU ENJOY IT   "),
            std::string::npos);
  EXPECT_EQ(pauses, 5);
  for (int m = 1; m <= 4; ++m)
    EXPECT_TRUE(texts.module_titles[size_t(m)].ends_with("....    F1 To select 'Grunge' skin    F2 To select 'Carbon' skin"))
        << texts.module_titles[size_t(m)];
}

// Every framed table on every page has its borders in the same columns on
// each of its lines, from the top corner to the bottom one.
TEST(IssueText, TableBordersLineUp) {
  namespace fs = std::filesystem;
  // ║ │ ╤ ╧ ┼ ╟ ╢ ╔ ╗ ╚ ╝ in code page 437
  const std::string borders = "\xBA\xB3\xD1\xCF\xC5\xC7\xB6\xC9\xBB\xC8\xBC";
  int tables = 0;
  for (int n = 1; n <= 20; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "page%02d.txt", n);
    std::ifstream in(fs::path(MAG_SOURCE_DIR) / "assets/pages" / name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    Problems problems;
    auto lines = page(all.str(), problems);
    ASSERT_TRUE(problems.empty()) << problem_text(problems[0]);
    std::vector<size_t> top;  // border columns of the table's first line; empty outside a table
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string& text = lines[i].text;
      size_t first = text.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      std::vector<size_t> columns;
      for (size_t c = 0; c < text.size(); ++c)
        if (borders.find(text[c]) != std::string::npos) columns.push_back(c);
      if (top.empty() && text[first] == '\xC9') {
        top = columns;
        ++tables;
      } else if (!top.empty()) {
        EXPECT_EQ(columns, top) << name << ":" << i + 1 << ": a border out of line with the table's top";
        if (text[first] == '\xC8') top.clear();
      }
    }
    EXPECT_TRUE(top.empty()) << name << ": a table without its bottom line";
  }
  EXPECT_GT(tables, 30);
}

}  // namespace
