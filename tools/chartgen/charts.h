// The chart arithmetic: the monthly top 20 with points and movement, and the
// standings of productions and groups over a run of months (a year, or all
// time). These are the rules the Rules page states; change both
// together.
#pragma once
#include <vector>

#include "tools/chartgen/register.h"

namespace chartgen {

inline constexpr int chart_places = 20;
constexpr int points_for_rank(int rank) { return rank >= 1 && rank <= chart_places ? chart_places + 1 - rank : 0; }

enum class Move { new_entry, re_entry, up, down, same };

struct ChartEntry {
  int release = 0;
  int rank = 0;
  int score = 0, votes = 0;
  Move move = Move::new_entry;
  int last_rank = 0;  // rank in last month's chart, 0 when it was not in it
};

// The month's chart: every production voted that month, by score, then votes,
// then release date (the older first), then title; the first chart_places of them.
std::vector<ChartEntry> monthly_chart(const Register& reg, int month);

// Every production voted that month, in chart order, the first chart_places
// of them being the chart: where a production just outside stood.
std::vector<int> monthly_order(const Register& reg, int month);

struct Standing {
  int id = 0;           // release index or group index
  int points = 0;
  int best_rank = 0;    // 0 when never in a chart of the run
  int number_ones = 0;
  int best_score = 0;
  int placings = 0;     // chart entries in the run
};

// Productions (or groups) with points in charts first..last, by points, then
// the better best rank, then more number ones, then the higher best score.
std::vector<Standing> production_standings(const Register& reg, int first, int last);
std::vector<Standing> group_standings(const Register& reg, int first, int last);

// Releases counted in months first..last (by release date), optionally of one
// group (-1: all) and one kind (-1: all).
int count_releases(const Register& reg, int first, int last, int group = -1, int kind = -1);

// Groups with at least one release in months first..last.
std::vector<int> active_groups(const Register& reg, int first, int last);

}  // namespace chartgen
