// The stats pages must be exactly what the release register gives, and the
// chart arithmetic must follow the published rules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tools/chartgen/charts.h"
#include "tools/chartgen/layout.h"
#include "tools/chartgen/register.h"
#include "tools/chartgen/template.h"

using namespace chartgen;

namespace {

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Register parse_ok(const std::string& text) {
  Register reg;
  std::string error;
  EXPECT_TRUE(parse_register(text, "t", reg, error)) << error;
  return reg;
}

std::string parse_error(const std::string& text) {
  Register reg;
  std::string error;
  EXPECT_FALSE(parse_register(text, "t", reg, error));
  return error;
}

const std::string head =
    "ballots | 2009-10 | 100\nballots | 2009-11 | 100\nballots | 2009-12 | 100\n"
    "group | Alpha | c64\ngroup | Beta | pc\n";

const char* const generated_pages[] = {"page01", "page04", "page05", "page08"};

Register committed_register() {
  Register reg;
  std::string error;
  EXPECT_TRUE(parse_register(read(MAG_SOURCE_DIR "/assets/data/releases.txt"), "releases.txt", reg, error)) << error;
  return reg;
}

std::string plain(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '{' && i + 1 < line.size() && line[i + 1] == '{') {
      out += '{';
      ++i;
    } else if (line[i] == '{') {
      i = line.find('}', i);
    } else {
      out += line[i];
    }
  }
  return out;
}

// The expanded lines as one text, with or without their markup.
std::string expanded(const Register& reg, const std::string& tpl, bool plain_text = false) {
  std::vector<std::string> lines;
  std::string error;
  EXPECT_TRUE(expand_template(tpl, "p", reg, lines, error)) << error;
  std::string all;
  for (const std::string& l : lines) all += (plain_text ? plain(l) : l) + "\n";
  return all;
}

// Plain text with each wrapped note joined into one line.
std::string prose(const Register& reg, const std::string& tpl) {
  return std::regex_replace(expanded(reg, tpl, true), std::regex("\n +"), " ");
}

std::string expand_error(const Register& reg, const std::string& tpl) {
  std::vector<std::string> lines;
  std::string error;
  EXPECT_FALSE(expand_template(tpl, "p", reg, lines, error));
  return error;
}

}  // namespace

TEST(ChartgenPages, CommittedPagesMatchTheRegister) {
  std::string dir = MAG_SOURCE_DIR "/assets/";
  Register reg = committed_register();
  std::string error;
  // Page 4 is the long one the magazine expects at 1615 lines; 1, 5 and 8 carry its charts.
  struct Page {
    const char* name;
    size_t lines;
  };
  for (Page p : {Page{"page01", 41}, Page{"page04", 1614}, Page{"page05", 63}, Page{"page08", 179}}) {
    std::vector<std::string> lines;
    ASSERT_TRUE(expand_template(read(dir + "data/" + p.name + ".tpl"), p.name, reg, lines, error)) << error;
    EXPECT_EQ(lines.size(), p.lines) << p.name;
    EXPECT_EQ(page_text(lines), read(dir + "pages/" + p.name + ".txt"))
        << p.name << ".txt is stale: run build/chartgen assets/data assets/pages";
  }
}

TEST(ChartgenRegister, RejectsBadRecordsWithTheirLine) {
  EXPECT_EQ(parse_error(head + "release | 2009-11-31 | Alpha | demo | X\n"), "t:6: bad date '2009-11-31' (want YYYY-MM-DD)");
  EXPECT_EQ(parse_error(head + "release | 2009-11-02 | Gamma | demo | X\n"),
            "t:6: unknown group 'Gamma' (declare it with a group line)");
  EXPECT_EQ(parse_error(head + "release | 2009-11-02 | Alpha | movie | X\n"),
            "t:6: unknown kind 'movie' (music, demo, intro, gfx, tool, game)");
  EXPECT_EQ(parse_error(head + "release | 2009-11-02 | Alpha | demo | X\nrelease | 2009-11-03 | Beta | demo | X\n"),
            "t:7: title 'X' used twice");
  EXPECT_EQ(parse_error(head + "release | 2009-11-02 | Alpha | demo | X | 9.4/101\n"),
            "t:6: more votes than counted ballots in that month");
  EXPECT_EQ(parse_error(head + "release | 2009-12-02 | Alpha | demo | X | 9.4/5 9.0/5\n"),
            "t:6: chart mark for a month without ballots");
  EXPECT_EQ(parse_error(head + "release | 2009-11-02 | Alpha | demo | X | 94/5\n"),
            "t:6: bad chart mark '94/5' (want score/votes like 9.4/57, or -)");
  EXPECT_EQ(parse_error(head + "release | 2010-01-02 | Alpha | demo | X\n"),
            "t:6: release date outside the months that have ballots");
  EXPECT_EQ(parse_error("ballots | 2009-10 | 100\nballots | 2009-12 | 100\n"),
            "t:2: ballots must list consecutive months in order");
  EXPECT_EQ(parse_error(head + "vote | 1\n"), "t:6: unknown record 'vote' (ballots, group, release)");
  EXPECT_EQ(parse_error(head + "group | Gamma\n"), "t:6: group needs: group | Name | c64 or pc");
  EXPECT_EQ(parse_error(head + "group | Gamma | amiga\n"), "t:6: unknown machine 'amiga' (c64, pc)");
  EXPECT_EQ(parse_error("ballots | 2009-10 | 100 | 100\n"),
            "t:1: bad spoiled count '100' (0 up to the ballots received)");
}

// A ballot marks at most ten productions, a score needs five votes, and the
// score must be an average that so many marks from 1 to 10 can make.
TEST(ChartgenRegister, MarksMustBePossibleUnderTheRules) {
  // 100 received, 10 spoiled: 90 counted ballots hold at most 900 marks.
  std::string month = "ballots | 2009-12 | 100 | 10\ngroup | Alpha | c64\n";
  std::string full;
  for (int i = 0; i < 10; ++i) full += "release | 2009-12-01 | Alpha | demo | P" + std::to_string(i) + " | 8.0/90\n";
  Register reg = parse_ok(month + full);
  EXPECT_EQ(reg.counted(month_index(2009, 12)), 90);
  EXPECT_EQ(parse_error(month + full + "release | 2009-12-02 | Alpha | demo | One more | 7.0/5\n"),
            "t:1: 905 votes on 90 counted ballots, more than the 900 that 10 marks a ballot allow");
  EXPECT_EQ(parse_error(month + "release | 2009-12-02 | Alpha | demo | X | 7.0/91\n"),
            "t:3: more votes than counted ballots in that month");
  EXPECT_EQ(parse_error(month + "release | 2009-12-02 | Alpha | demo | X | 7.0/4\n"),
            "t:3: '7.0/4': fewer than 5 votes, which is no score (leave the month as -)");
  // Five marks average to a multiple of 0.2: 7.1 is out of reach, 7.2 is not.
  EXPECT_EQ(parse_error(month + "release | 2009-12-02 | Alpha | demo | X | 7.1/5\n"),
            "t:3: '7.1/5': no 5 marks from 1 to 10 average to that score");
  parse_ok(month + "release | 2009-12-02 | Alpha | demo | X | 7.2/5\n");
  EXPECT_TRUE(score_possible(94, 189));  // 1771 / 189 = 9.37
  EXPECT_TRUE(score_possible(100, 7));
  EXPECT_FALSE(score_possible(95, 3));   // 28 / 3 = 9.33, 29 / 3 = 9.67
  EXPECT_TRUE(score_possible(97, 3));
}

// Voters drift away from a strong production month by month; they do not all
// leave at once while it is still in its chart window.
TEST(ChartgenRegister, StrongProductionsKeepAQuarterOfTheirVoters) {
  std::string months = "ballots | 2009-09 | 200\nballots | 2009-10 | 200\nballots | 2009-11 | 200\n"
                       "group | Alpha | c64\n";
  parse_ok(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/60 7.8/15 7.5/6\n");
  parse_ok(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/39\n");       // never strong
  parse_ok(months + "release | 2009-10-02 | Alpha | demo | X | 8.0/60 7.8/15\n");  // the window runs past the register
  parse_ok(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/12 - 7.8/60\n");  // strong in the window's last month
  const std::string message = " the next month: a production keeps at least a quarter of its voters inside its window";
  EXPECT_EQ(parse_error(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/60 7.8/14\n"),
            "t:5: 60 votes, then 14" + message);
  EXPECT_EQ(parse_error(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/60\n"), "t:5: 60 votes, then 0" + message);
  EXPECT_EQ(parse_error(months + "release | 2009-09-02 | Alpha | demo | X | 8.0/30 8.0/40 -\n"),
            "t:5: 40 votes, then 0" + message);
}

TEST(ChartgenCharts, OrderDeadlineMovementAndPoints) {
  Register reg = parse_ok(head +
                          "release | 2009-10-05 | Alpha | demo | Old | 9.0/50 7.9/50 7.0/50\n"
                          "release | 2009-10-21 | Beta | music | Late | 8.5/40 9.5/40\n"  // after the deadline: charts from November
                          "release | 2009-11-02 | Alpha | intro | Tie A | 8.0/30\n"
                          "release | 2009-11-03 | Beta | intro | Tie B | 8.0/31\n"
                          "release | 2009-10-01 | Beta | gfx | Gap | 6.0/10 - 7.5/10\n");
  const Release& late = reg.releases[1];
  EXPECT_EQ(late.first_chart, month_index(2009, 11));

  auto oct = monthly_chart(reg, month_index(2009, 10));
  ASSERT_EQ(oct.size(), 2u);
  EXPECT_EQ(reg.releases[oct[0].release].title, "Old");

  auto nov = monthly_chart(reg, month_index(2009, 11));
  ASSERT_EQ(nov.size(), 4u);
  // Late 8.5, then the tie at 8.0 goes to more votes (Tie B), then Tie A, Old.
  EXPECT_EQ(reg.releases[nov[0].release].title, "Late");
  EXPECT_EQ(reg.releases[nov[1].release].title, "Tie B");
  EXPECT_EQ(reg.releases[nov[2].release].title, "Tie A");
  EXPECT_EQ(reg.releases[nov[3].release].title, "Old");
  EXPECT_EQ(nov[0].move, Move::new_entry);
  EXPECT_EQ(nov[3].move, Move::down);
  EXPECT_EQ(nov[3].last_rank, 1);

  auto dec = monthly_chart(reg, month_index(2009, 12));
  ASSERT_EQ(dec.size(), 3u);
  EXPECT_EQ(reg.releases[dec[0].release].title, "Late");
  EXPECT_EQ(dec[0].move, Move::same);
  EXPECT_EQ(reg.releases[dec[1].release].title, "Gap");
  EXPECT_EQ(dec[1].move, Move::re_entry);  // charted in October, missed November
  EXPECT_EQ(dec[2].move, Move::up);        // Old: 4th in November, 3rd now

  // Points 20, 19, ... over the quarter: Late 20 + 20, Old 20 + 17 + 18.
  auto prods = production_standings(reg, month_index(2009, 10), month_index(2009, 12));
  EXPECT_EQ(reg.releases[prods[0].id].title, "Old");
  EXPECT_EQ(prods[0].points, 55);
  EXPECT_EQ(prods[1].points, 40);
  auto groups = group_standings(reg, month_index(2009, 10), month_index(2009, 12));
  EXPECT_EQ(reg.groups[groups[0].id], "Beta");  // 40 + 19 + 19 (Gap in Oct and Dec) + 19 (Tie B)
  EXPECT_EQ(groups[0].points, 97);
  EXPECT_EQ(count_releases(reg, month_index(2009, 10), month_index(2009, 10)), 3);
  EXPECT_EQ(count_releases(reg, month_index(2009, 10), month_index(2009, 12), 1, kind_from_key("intro")), 1);
}

TEST(ChartgenChart, OnlyTwentyPlaces) {
  std::string text = head;
  for (int i = 0; i < 25; ++i)
    text += "release | 2009-12-01 | Alpha | demo | P" + std::to_string(i) + " | " + std::to_string(5 + i % 5) + "." +
            std::to_string(i % 10) + "/10\n";
  Register reg = parse_ok(text);
  auto dec = monthly_chart(reg, month_index(2009, 12));
  ASSERT_EQ(dec.size(), size_t(chart_places));
  for (size_t i = 1; i < dec.size(); ++i) EXPECT_GE(dec[i - 1].score, dec[i].score);
  EXPECT_EQ(points_for_rank(1), 20);
  EXPECT_EQ(points_for_rank(20), 1);
  EXPECT_EQ(points_for_rank(21), 0);
}

TEST(ChartgenTemplate, ValuesBlocksAndWidths) {
  Register reg = parse_ok(head + "release | 2009-12-01 | Alpha | demo | Glass | 9.4/57\n"
                                 "release | 2009-12-02 | Beta | music | Bells | 9.1/60\n");
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(expand_template("{D}$(releases 2009) of $(releases all group Beta): No.$(rank 2009-12 Bells) $$5\n"
                              "@# a comment\n@@home\n",
                              "p", reg, lines, error))
      << error;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "{D}2 of 1: No.2 $5");
  EXPECT_EQ(lines[1], "@home");

  // Totals a sentence may quote: the charts of a period, every point they gave, a group's last release.
  ASSERT_TRUE(expand_template("$(charts all) $(charts 2009-12) $(chart_points all) $(chart_points 2009-11)\n"
                              "$(last_release Beta)\n",
                              "p", reg, lines, error))
      << error;
  EXPECT_EQ(lines, (std::vector<std::string>{"3 1 39 0", "December 2009"}));
  EXPECT_EQ(expand_error(parse_ok(head + "group | Gamma | pc\n"), "$(last_release Gamma)\n"),
            "p:1: 'Gamma' has no release in the register");

  EXPECT_EQ(expand_error(reg, "$(rank 2009-11 Bells)\n"), "p:1: 'Bells' is not in the chart of November 2009");
  EXPECT_EQ(expand_error(reg, "x\n@no_such_block\n"), "p:2: unknown block '@no_such_block'");
  EXPECT_EQ(expand_error(reg, std::string(81, 'x') + "\n"), "p:1: line 1 of the page is 81 columns wide, more than 80");

  // Markup takes no columns; "{{" is one; box drawing is one per character.
  EXPECT_EQ(markup_width("{D f2}ab{{c{/}║"), 5);
  ASSERT_TRUE(expand_template("@monthly_chart 2009-12\n", "p", reg, lines, error)) << error;
  ASSERT_EQ(lines.size(), 6u);  // top, header, rule, two rows, bottom
  for (const std::string& l : lines) EXPECT_EQ(markup_width(l), markup_width(lines[0]));
}

TEST(ChartgenLayout, LinesAndTables) {
  Line l;
  l.put('1', "a{b").put('D', "c", 2).pad(6).put('D', "d", 2);
  EXPECT_EQ(l.text, "a{{b{D f2}c  d");  // '{' escaped, one change for colour and font together
  EXPECT_EQ(l.width, 7);
  EXPECT_EQ(markup_width(l.text), 7);

  Table t;
  t.columns = {{"N", true}, {"Name"}};
  t.rows = {{{"7", '7'}, {"Glass", 'F'}}, {{"12", '7'}, {"Tin", 'F'}}};
  std::vector<std::string> out;
  std::string error;
  ASSERT_TRUE(render_table(t, out, error)) << error;
  ASSERT_EQ(out.size(), 6u);  // top, header, rule, two rows, bottom
  for (const std::string& line : out) EXPECT_EQ(markup_width(line), markup_width(out[0]));
  // Right-aligned numbers end in the same column: "7" under the "2" of "12".
  auto column_of = [](const std::string& line, std::string_view what) {
    return markup_width(line.substr(0, line.find(what)));
  };
  EXPECT_EQ(column_of(out[3], "7}7") + 0, column_of(out[4], "7}12") + 1);

  t.rows.push_back({{"1", '7'}, {std::string(80, 'x'), 'F'}});
  EXPECT_FALSE(render_table(t, out, error));
  EXPECT_EQ(error, "table is 89 columns wide, more than 80");
}

// The register's groups in the three parts of Group Release Stats: Alpha
// places, Beta releases five times and is voted only outside the top twenty,
// Gamma releases once.
TEST(ChartgenBlocks, GroupPagesPutEachGroupInOnePart) {
  std::string text = head + "group | Gamma | pc\n";
  for (int i = 0; i < 20; ++i)
    text += "release | 2009-11-0" + std::to_string(1 + i % 9) + " | Alpha | demo | A" + std::to_string(i) + " | 8." +
            std::to_string(i % 10) + "/39\n";
  text += "release | 2009-11-02 | Beta | intro | Near | 5.0/12\n";
  for (int i = 0; i < 4; ++i) text += "release | 2009-12-0" + std::to_string(1 + i) + " | Beta | music | B" + std::to_string(i) + "\n";
  text += "release | 2009-10-03 | Gamma | gfx | Lone\n";
  Register reg = parse_ok(text);
  std::string charts = expanded(reg, "@group_pages 2009 charts\n");
  std::string busy = expanded(reg, "@group_pages 2009 busy\n");
  std::string few = expanded(reg, "@group_pages 2009 few\n");
  EXPECT_NE(charts.find("Alpha"), std::string::npos);
  EXPECT_NE(charts.find("210{2} points"), std::string::npos);  // all twenty places of November
  EXPECT_EQ(charts.find("Beta"), std::string::npos);
  EXPECT_NE(busy.find("Beta"), std::string::npos);
  EXPECT_NE(busy.find("II. BUSY, NO PLACING IN 2009"), std::string::npos);  // they may have placed in other years
  EXPECT_NE(busy.find("21st"), std::string::npos);  // where Near stood, just outside
  EXPECT_NE(busy.find("5.0/12 21st"), std::string::npos);
  EXPECT_NE(few.find("Gamma"), std::string::npos);
  EXPECT_NE(few.find("Lone"), std::string::npos);
  EXPECT_EQ(few.find("Beta"), std::string::npos);
  std::string index = expanded(reg, "@group_index 2009\n");
  EXPECT_NE(index.find("I.1"), std::string::npos);
  EXPECT_NE(index.find("{2}II"), std::string::npos);
  EXPECT_NE(index.find("{2}III"), std::string::npos);
  EXPECT_NE(expanded(reg, "@month_diary 2009\n").find("First release ever: {H}Gamma"), std::string::npos);
  EXPECT_EQ(expand_error(reg, "@group_pages 2009 most\n"), "p:1: unknown part 'most' (charts, busy, few)");
}

namespace {

std::vector<std::vector<std::string>> blocks_of(const std::string& page) {
  std::vector<std::vector<std::string>> blocks(1);
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);) {
    line = plain(line);
    if (line.find_first_not_of(' ') == std::string::npos) {
      if (!blocks.back().empty()) blocks.emplace_back();
    } else {
      blocks.back().push_back(line);
    }
  }
  return blocks;
}

}  // namespace

// What a reader checks first on the long page: a tie is told as a tie, the
// best production is the best placed one, and the index sorts as people do.
TEST(ChartgenBlocks, GroupPagesTellTiesAndSortLikeAReader) {
  std::string text =
      "ballots | 2009-10 | 100\nballots | 2009-11 | 100\nballots | 2009-12 | 100\n"
      "group | Zeta | c64\ngroup | alpha | pc\ngroup | \xC3\x84pfel | pc\ngroup | Beta | c64\n";
  // Zeta: 3 releases in October and 3 in November. Many, second to Beta's B1
  // three times, has the most points; Top, No.1 once, the best placing.
  text += "release | 2009-10-01 | Zeta | demo | Many | 8.0/30 8.0/30 8.0/30\n"
          "release | 2009-10-02 | Zeta | music | Z2\nrelease | 2009-10-03 | Zeta | music | Z3\n"
          "release | 2009-11-01 | Zeta | demo | Top | 9.9/39\n"
          "release | 2009-11-02 | Zeta | music | Z5\nrelease | 2009-11-03 | Zeta | music | Z6\n"
          "release | 2009-10-05 | alpha | music | A1\nrelease | 2009-10-06 | alpha | music | A2\n"
          "release | 2009-10-07 | alpha | music | A3\nrelease | 2009-10-08 | Beta | music | B1 | 9.5/20 9.5/20 9.5/20\n"
          "release | 2009-10-09 | \xC3\x84pfel | music | P1\n";
  Register reg = parse_ok(text);
  std::string charts = prose(reg, "@group_pages 2009 charts\n");
  EXPECT_NE(charts.find("Zeta C64"), std::string::npos) << charts;
  EXPECT_NE(charts.find("Best: Top (demo), No.1 in November."), std::string::npos) << charts;
  EXPECT_NE(charts.find("Busiest in October and November, with 3 each."), std::string::npos) << charts;
  // Beta and Äpfel are level third on music disks: both stand, by name.
  std::string leaders = prose(reg, "@kind_leaders 2009\n");
  EXPECT_NE(leaders.find("Zeta 4, alpha 3, \xC3\x84pfel 1, Beta 1"), std::string::npos) << leaders;
  // The index ignores case and accents: alpha, Äpfel, Beta, Zeta, down the columns.
  std::vector<std::string> index;
  std::string error;
  ASSERT_TRUE(expand_template("@group_index 2009\n", "p", reg, index, error)) << error;
  ASSERT_EQ(index.size(), 2u);
  EXPECT_EQ(plain(index[0]).find("   alpha "), 0u);
  EXPECT_EQ(plain(index[1]).find("   \xC3\x84pfel "), 0u);
  EXPECT_NE(plain(index[0]).find(" Beta "), std::string::npos);
  EXPECT_NE(plain(index[1]).find(" Zeta "), std::string::npos);
  EXPECT_LT(sort_key("F\xC3\xA4hre 9"), sort_key("Fennel"));
  EXPECT_EQ(sort_key("DXQ"), sort_key("dxq"));
}

// What the long stats page must never again be: 75 look-alike grids of dots.
TEST(ChartgenPages, GroupReleaseStatsHasNoLookAlikeOrEmptyBlocks) {
  std::string page = read(MAG_SOURCE_DIR "/assets/pages/page04.txt");
  std::regex heading(R"(^  (\d+\. )?\S.* (·)+ .*\d+ releases?( +best place \d+\w\w)?$)");
  std::regex release(R"(^     \d\d [A-Z][a-z][a-z] )");
  std::regex detail(R"(^ {20,}[A-Z][a-z][a-z] \d+\.\d/\d+)");
  std::string last_shape;  // of the previous group block, when it had no placing
  int group_blocks = 0, unplaced = 0;
  for (const auto& block : blocks_of(page)) {
    int cells = 0, empty = 0;
    for (const std::string& line : block) {
      if (line.find("│") == std::string::npos) continue;
      std::string row = line;
      for (std::string bar : {"║", "│"})
        for (size_t at; (at = row.find(bar)) != std::string::npos;) row.replace(at, bar.size(), "|");
      std::istringstream cells_in(row.substr(row.find('|') + 1));
      for (std::string cell; std::getline(cells_in, cell, '|');) {
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        ++cells;
        empty += cell.empty() || cell == "·" || cell == "-" || cell == "none";
      }
    }
    EXPECT_LT(empty * 2, std::max(cells, 1)) << "mostly empty cells in the block of: " << block.front();
    if (!std::regex_search(block.front(), heading)) {
      last_shape.clear();
      continue;
    }
    ++group_blocks;
    std::string shape;
    for (size_t i = 1; i < block.size(); ++i)
      shape += std::regex_search(block[i], release) ? 'R' : std::regex_search(block[i], detail) ? 'D' : 'N';
    EXPECT_NE(shape.find('R'), std::string::npos) << block.front();
    bool placed = block.front().find(" point") != std::string::npos;
    if (!placed) {
      ++unplaced;
      EXPECT_NE(shape, last_shape) << "two blocks alike, the second: " << block.front();
    }
    last_shape = placed ? "" : shape;
  }
  EXPECT_GT(group_blocks, 50);
  EXPECT_GT(unplaced, 10);
  // Counts agree with their nouns on every generated page.
  for (const char* name : generated_pages) {
    std::string text = plain(read(std::string(MAG_SOURCE_DIR "/assets/pages/") + name + ".txt"));
    EXPECT_FALSE(std::regex_search(text, std::regex(R"((^|[^0-9])1 (releases|points|entries|groups|months)\b)")))
        << name;
  }
}

// A note never leaves a number alone at a line's end or start: "with" on one
// line and "3." on the next reads as a list.
TEST(ChartgenPages, NotesKeepNumbersWithTheirWords) {
  std::istringstream page(read(MAG_SOURCE_DIR "/assets/pages/page04.txt"));
  std::regex stranded(R"(^ {5}\d+[.:,;]( |$)|^ {5}[^\d ].* \d+$)");
  int notes = 0;
  for (std::string line; std::getline(page, line);) {
    line = plain(line);
    notes += line.starts_with("     In 20");
    EXPECT_FALSE(std::regex_search(line, stranded)) << line;
  }
  EXPECT_GT(notes, 10);
}

// The diary's busiest groups keep their count, and one busiest group does not
// end a month alone on a line: "(5)." at a line's start, or "Brass Heron (4).".
TEST(ChartgenPages, DiaryKeepsCountsWithTheirGroups) {
  std::istringstream page(read(MAG_SOURCE_DIR "/assets/pages/page04.txt"));
  std::regex stranded(R"(^ {13}(\(|[^:.,]*\(\d+\)\.$))");
  int diary = 0;
  for (std::string line; std::getline(page, line);) {
    line = plain(line);
    diary += line.find("Busiest: ") != std::string::npos;
    EXPECT_FALSE(std::regex_search(line, stranded)) << line;
  }
  EXPECT_GE(diary, 6);
}

// The notes compare a group's year with the last one without saying "now":
// a group that stopped in May is not "busier now" for having been busy then.
TEST(ChartgenBlocks, NotesOfAGroupThatFellSilent) {
  std::string text;
  for (int m = 0; m < 24; ++m)
    text += "ballots | " + std::to_string(2008 + m / 12) + "-" + (m % 12 < 9 ? "0" : "") + std::to_string(m % 12 + 1) +
            " | 100\n";
  text += "group | Hush | c64\nrelease | 2008-06-10 | Hush | demo | Then\n";
  for (int m = 1; m <= 5; ++m)
    text += "release | 2009-0" + std::to_string(m) + "-05 | Hush | music | Hush " + std::to_string(m) + "\n";
  std::string all = prose(parse_ok(text), "@group_pages 2009 busy\n");
  EXPECT_NE(all.find("Nothing released since 5 May. In 2008: 1 release; more in 2009."), std::string::npos) << all;
  EXPECT_EQ(all.find(" now"), std::string::npos) << all;
}

// A record of releases in a month belongs to one group, and says so.
TEST(ChartgenBlocks, RecordsCountOneGroupsMonth) {
  Register reg = parse_ok(head +
                          "release | 2009-11-02 | Alpha | demo | A1\nrelease | 2009-11-03 | Alpha | demo | A2\n"
                          "release | 2009-11-04 | Beta | demo | B1\nrelease | 2009-12-04 | Beta | demo | B2\n");
  std::string all = expanded(reg, "@records\n", true);
  EXPECT_TRUE(std::regex_search(all, std::regex("Most releases in one month (·)+ 2   November 2009\n +Alpha\n"))) << all;
  EXPECT_EQ(all.find("No.1"), std::string::npos) << "a record of nothing: " << all;  // no chart, no number ones
}

// A total typed by hand next to computed ones goes stale without a check ever
// noticing; on the generated pages every number in the green of numbers comes
// from the register.
TEST(ChartgenPages, TemplatesTypeNoChartNumbersByHand) {
  int templates = 0;
  for (const char* name : generated_pages) {
    std::string text = read(std::string(MAG_SOURCE_DIR "/assets/data/") + name + ".tpl");
    ASSERT_FALSE(text.empty()) << name;
    ++templates;
    text = std::regex_replace(text, std::regex(R"(\$\([^)]*\))"), "N");
    std::smatch typed;
    EXPECT_FALSE(std::regex_search(text, typed, std::regex(R"(\{7( f[12])?\}[0-9][^{\n]*)"))) << name << ": " << typed.str();
  }
  EXPECT_EQ(templates, 4);
}

// Rule 2.1 leaves out a version that only fixes faults; a tool's next version
// within two weeks of the last one (fourteen days or fewer) reads as such a fix.
TEST(ChartgenRegister, NoToolVersionWithinTwoWeeksOfTheLast) {
  Register reg = committed_register();
  using namespace std::chrono;
  std::map<std::string, std::pair<sys_days, std::string>> last;  // title without its version -> date, title
  std::regex versioned(R"(^(.*\S) \d+\.\d+$)");
  int versions = 0;
  for (const Release& r : reg.releases) {
    std::smatch m;
    if (!std::regex_match(r.title, m, versioned)) continue;
    ++versions;
    sys_days day = year_month_day{year{r.year}, month{unsigned(r.month)}, std::chrono::day{unsigned(r.day)}};
    auto it = last.find(m[1]);
    if (it != last.end()) {
      EXPECT_GT((day - it->second.first).count(), 14) << it->second.second << " and " << r.title;
    }
    last[m[1]] = {day, r.title};
  }
  EXPECT_GT(versions, 50);
}

// "Lagoon Disk 4" after "Lagoon Disk 2" makes a reader ask where the third went.
TEST(ChartgenRegister, NumberedSeriesCountOnInReleaseOrder) {
  Register reg = committed_register();
  std::map<std::string, int> last;  // series name -> its latest number
  std::regex numbered(R"(^(.*\D) (\d{1,2})$)");
  int series_releases = 0;
  for (const Release& r : reg.releases) {
    std::smatch m;
    if (!std::regex_match(r.title, m, numbered)) continue;
    ++series_releases;
    int n = std::stoi(m[2]);
    EXPECT_EQ(n, last[m[1]] + 1) << r.title;
    last[m[1]] = n;
  }
  EXPECT_GT(series_releases, 100);
}

// Ballots close on the 20th, so a production out a few days before can only
// have been seen by a few voters that month: at most 4% of the counted ballots
// for each day it had (released on the 20th, 4%; on the 16th, 20%).
TEST(ChartgenRegister, LateReleasesHaveFewVotesInTheirFirstMonth) {
  Register reg = committed_register();
  int late = 0;
  for (const Release& r : reg.releases) {
    if (r.day < 16 || r.day > chart_deadline_day || r.votes.empty()) continue;
    const Vote& first = r.votes.front();
    if (first.month != month_index(r.year, r.month)) continue;
    ++late;
    int days = chart_deadline_day + 1 - r.day;
    EXPECT_LE(first.votes * 100, days * 4 * reg.counted(first.month))
        << r.title << " (" << r.day << "/" << r.month << "/" << r.year << "): " << first.votes << " votes";
  }
  EXPECT_GT(late, 10);
}

TEST(ChartgenTool, WritesAndChecksPages) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("chartgen_test_" + std::to_string(::getpid()));
  fs::create_directories(dir / "data");
  fs::create_directories(dir / "pages");
  std::ofstream(dir / "data/releases.txt") << head << "release | 2009-12-01 | Alpha | demo | Glass | 9.4/57\n";
  std::ofstream(dir / "data/page03.tpl") << "{D}$(releases all) release\n";
  std::string tool = std::string(MAG_BINARY_DIR) + "/chartgen ";
  std::string args = (dir / "data").string() + " " + (dir / "pages").string() + " > /dev/null 2>&1";
  ASSERT_EQ(std::system((tool + args).c_str()), 0);
  EXPECT_EQ(read((dir / "pages/page03.txt").string()), "{D}1 release\n");
  EXPECT_EQ(std::system((tool + "--check " + args).c_str()), 0);
  std::ofstream(dir / "pages/page03.txt") << "{D}2 releases\n";
  EXPECT_NE(std::system((tool + "--check " + args).c_str()), 0);  // a stale page fails the check
  EXPECT_EQ(read((dir / "pages/page03.txt").string()), "{D}2 releases\n");  // and is left alone
  std::ofstream(dir / "data/releases.txt") << "release | 2009-12-01 | Alpha | demo | Glass\n";
  EXPECT_NE(std::system((tool + args).c_str()), 0);
  fs::remove_all(dir);
}
