#include "tools/chartgen/charts.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace chartgen {
namespace {

struct Voted {
  int release, score, votes;
};

std::vector<Voted> full_ranking(const Register& reg, int month) {
  std::vector<Voted> all;
  for (size_t i = 0; i < reg.releases.size(); ++i)
    for (const Vote& v : reg.releases[i].votes)
      if (v.month == month) all.push_back({int(i), v.score, v.votes});
  std::sort(all.begin(), all.end(), [&](const Voted& a, const Voted& b) {
    const Release& ra = reg.releases[a.release];
    const Release& rb = reg.releases[b.release];
    return std::tie(b.score, b.votes, ra.year, ra.month, ra.day, ra.title) <
           std::tie(a.score, a.votes, rb.year, rb.month, rb.day, rb.title);
  });
  return all;
}

std::vector<Voted> ranking(const Register& reg, int month) {
  auto all = full_ranking(reg, month);
  if (all.size() > chart_places) all.resize(chart_places);
  return all;
}

int rank_in(const std::vector<Voted>& chart, int release) {
  for (size_t i = 0; i < chart.size(); ++i)
    if (chart[i].release == release) return int(i) + 1;
  return 0;
}

std::vector<Standing> standings(const Register& reg, int first, int last, bool by_group) {
  std::vector<Standing> table(by_group ? reg.groups.size() : reg.releases.size());
  for (size_t i = 0; i < table.size(); ++i) table[i].id = int(i);
  for (int m = first; m <= last; ++m) {
    auto chart = ranking(reg, m);
    for (size_t i = 0; i < chart.size(); ++i) {
      int rank = int(i) + 1;
      const Release& rel = reg.releases[chart[i].release];
      Standing& s = table[by_group ? rel.group : chart[i].release];
      s.points += points_for_rank(rank);
      s.best_rank = s.best_rank == 0 ? rank : std::min(s.best_rank, rank);
      s.number_ones += rank == 1;
      s.best_score = std::max(s.best_score, chart[i].score);
      ++s.placings;
    }
  }
  std::erase_if(table, [](const Standing& s) { return s.points == 0; });
  std::stable_sort(table.begin(), table.end(), [](const Standing& a, const Standing& b) {
    return std::tuple(-a.points, a.best_rank, -a.number_ones, -a.best_score) <
           std::tuple(-b.points, b.best_rank, -b.number_ones, -b.best_score);
  });
  return table;
}

}  // namespace

std::vector<int> monthly_order(const Register& reg, int month) {
  std::vector<int> out;
  for (const Voted& v : full_ranking(reg, month)) out.push_back(v.release);
  return out;
}

std::vector<ChartEntry> monthly_chart(const Register& reg, int month) {
  auto now = ranking(reg, month);
  auto before = ranking(reg, month - 1);
  std::vector<ChartEntry> out;
  for (size_t i = 0; i < now.size(); ++i) {
    ChartEntry e;
    e.release = now[i].release;
    e.rank = int(i) + 1;
    e.score = now[i].score;
    e.votes = now[i].votes;
    e.last_rank = rank_in(before, e.release);
    if (e.last_rank > 0) {
      e.move = e.last_rank > e.rank ? Move::up : e.last_rank < e.rank ? Move::down : Move::same;
    } else {
      // Charted in an earlier month of its window but not last month: a re-entry.
      const Release& rel = reg.releases[e.release];
      e.move = Move::new_entry;
      for (int m = rel.first_chart; m < month - 1; ++m)
        if (rank_in(ranking(reg, m), e.release) > 0) e.move = Move::re_entry;
    }
    out.push_back(e);
  }
  return out;
}

std::vector<Standing> production_standings(const Register& reg, int first, int last) {
  auto table = standings(reg, first, last, false);
  // Equal standings go to the older production.
  std::stable_sort(table.begin(), table.end(), [&](const Standing& a, const Standing& b) {
    const Release& ra = reg.releases[a.id];
    const Release& rb = reg.releases[b.id];
    return std::tuple(-a.points, a.best_rank, -a.number_ones, -a.best_score, ra.year, ra.month, ra.day) <
           std::tuple(-b.points, b.best_rank, -b.number_ones, -b.best_score, rb.year, rb.month, rb.day);
  });
  return table;
}

std::vector<Standing> group_standings(const Register& reg, int first, int last) {
  auto table = standings(reg, first, last, true);
  // Equal standings in the order of the groups' names.
  std::stable_sort(table.begin(), table.end(), [&](const Standing& a, const Standing& b) {
    return std::tuple(-a.points, a.best_rank, -a.number_ones, -a.best_score, std::string_view(reg.groups[a.id])) <
           std::tuple(-b.points, b.best_rank, -b.number_ones, -b.best_score, std::string_view(reg.groups[b.id]));
  });
  return table;
}

int count_releases(const Register& reg, int first, int last, int group, int kind) {
  int n = 0;
  for (const Release& r : reg.releases) {
    int m = month_index(r.year, r.month);
    n += m >= first && m <= last && (group < 0 || r.group == group) && (kind < 0 || r.kind == kind);
  }
  return n;
}

std::vector<int> active_groups(const Register& reg, int first, int last) {
  std::vector<int> out;
  for (size_t g = 0; g < reg.groups.size(); ++g)
    if (count_releases(reg, first, last, int(g)) > 0) out.push_back(int(g));
  return out;
}

}  // namespace chartgen
