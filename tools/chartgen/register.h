// The release register: every production the chart team counted, with the
// chart votes it earned month by month. Read from assets/data/releases.txt;
// the stats pages of the issue are computed from it (see chartgen.cpp).
//
// Months are counted as one integer, year * 12 + (month - 1), so that ranges
// and "the month before" are plain arithmetic.
#pragma once
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace chartgen {

inline constexpr int kind_count = 6;
// Keys as written in the register, and the short names the tables print.
inline constexpr std::array<std::string_view, kind_count> kind_keys = {"music", "demo", "intro", "gfx", "tool", "game"};
inline constexpr std::array<std::string_view, kind_count> kind_short = {"Music", "Demo", "Intro", "Gfx", "Tool", "Game"};
inline constexpr std::array<std::string_view, kind_count> kind_long = {"Music disks", "Demos", "Intros",
                                                                     "Graphics", "Tools", "Games"};

// Every group releases for one machine; the tables print it beside the kind.
inline constexpr int machine_count = 2;
inline constexpr std::array<std::string_view, machine_count> machine_keys = {"c64", "pc"};
inline constexpr std::array<std::string_view, machine_count> machine_short = {"C64", "PC"};

// Votes close on this day of the month; a later release enters next month's chart.
inline constexpr int chart_deadline_day = 20;
// A production stands in the charts of at most this many months.
inline constexpr int chart_window = 3;
// A ballot marks at most this many productions, so a month's marks must fit
// its counted ballots; and a production needs this many votes for a score.
inline constexpr int max_marks_per_ballot = 10;
inline constexpr int min_votes = 5;
// Voters drift away from a production, they do not vanish: one with this many
// votes keeps at least a quarter of them the next month while it is still in
// its chart window.
inline constexpr int strong_votes = 40;
inline constexpr int kept_share_divisor = 4;

constexpr int month_index(int year, int month) { return year * 12 + (month - 1); }
constexpr int year_of(int m) { return m / 12; }
constexpr int month_of(int m) { return m % 12 + 1; }

struct Vote {
  int month = 0;   // month index of the chart
  int score = 0;   // average mark in tenths, 10..100
  int votes = 0;   // ballots that marked the production
};

struct Release {
  int line = 0;    // line in the register, for messages
  int year = 0, month = 0, day = 0;
  int group = 0;   // index into Register::groups
  int kind = 0;    // index into kind_keys
  int machine = 0; // index into machine_keys: the group's
  std::string title;
  int first_chart = 0;      // month index of its first chart
  std::vector<Vote> votes;  // only the months it was voted in
};

struct Register {
  std::vector<std::string> groups;
  std::vector<int> group_machine;  // by group: index into machine_keys
  std::vector<Release> releases;
  std::map<int, int> ballots;  // month index -> ballots received
  std::map<int, int> spoiled;  // month index -> ballots set aside; the rest were counted
  int first_month = 0, last_month = 0;  // the months that have ballots, first and last

  int counted(int month) const { return ballots.at(month) - spoiled.at(month); }
};

// "C64 Demo": the machine and the kind, as the chart tables print them.
std::string type_text(const Release& r);

// Parses and checks the whole register. On failure returns false and sets
// error to "file:line: message".
bool parse_register(std::string_view text, std::string_view file, Register& out, std::string& error);

int find_group(const Register& reg, std::string_view name);       // -1 when unknown
int find_release(const Register& reg, std::string_view title);    // -1 when unknown
int kind_from_key(std::string_view key);                          // -1 when unknown
int machine_from_key(std::string_view key);                       // -1 when unknown

// Whether some n marks from 1 to 10 average to the score (in tenths, a half
// rounded up).
bool score_possible(int tenths, int n);

}  // namespace chartgen
