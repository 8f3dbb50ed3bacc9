#include "tools/chartgen/blocks.h"

#include <algorithm>
#include <charconv>

#include "tools/chartgen/charts.h"
#include "tools/chartgen/layout.h"

namespace chartgen {
namespace {

std::string num(int v) { return std::to_string(v); }
std::string score_text(int tenths) { return num(tenths / 10) + "." + num(tenths % 10); }
std::string zero_dot(int v) { return v == 0 ? "·" : num(v); }
char count_colour(int v) { return v == 0 ? '3' : '1'; }

int months_in_year(const Register& reg, int year, int& first, int& last) {
  first = std::max(reg.first_month, month_index(year, 1));
  last = std::min(reg.last_month, month_index(year, 12));
  return last - first + 1;
}

Cell move_cell(const ChartEntry& e) {
  switch (e.move) {
    case Move::new_entry: return {"NEW", 'D'};
    case Move::re_entry: return {"RE", 'G'};
    case Move::same: return {"=", '2'};
    case Move::up: return {"+" + num(e.last_rank - e.rank), '7'};
    case Move::down: return {"-" + num(e.rank - e.last_rank), '5'};
  }
  return {};
}

char rank_colour(int rank) { return rank <= 3 ? 'M' : '1'; }

}  // namespace

bool parse_period(const Register& reg, std::string_view s, Period& out) {
  int y = 0, m = 0;
  if (s == "all") {
    out = {reg.first_month, reg.last_month};
    return true;
  }
  auto year_ok = std::from_chars(s.data(), s.data() + std::min<size_t>(4, s.size()), y);
  if (s.size() == 4 && year_ok.ec == std::errc()) {
    out = {std::max(reg.first_month, month_index(y, 1)), std::min(reg.last_month, month_index(y, 12))};
    return out.first <= out.last;
  }
  if (s.size() == 7 && s[4] == '-' && year_ok.ec == std::errc() &&
      std::from_chars(s.data() + 5, s.data() + 7, m).ec == std::errc() && m >= 1 && m <= 12) {
    out = {month_index(y, m), month_index(y, m)};
    return out.first >= reg.first_month && out.last <= reg.last_month;
  }
  return false;
}

std::string month_name(int month) { return std::string(month_names[month_of(month) - 1]) + " " + num(year_of(month)); }

bool block_monthly_chart(const Register& reg, int month, Lines& out, std::string& error) {
  Table t;
  // Score and votes share a column, "9.4/57" as the register writes them: the
  // votes settle level scores, so the reader must see them, and a column of
  // their own would not fit 80 columns.
  t.columns = {{"#", true}, {"Production"}, {"Group"}, {"Type"}, {"Score", true}, {"Move", true}};
  for (const ChartEntry& e : monthly_chart(reg, month)) {
    const Release& r = reg.releases[e.release];
    t.rows.push_back({{num(e.rank), rank_colour(e.rank)},
                      {r.title, e.rank <= 3 ? 'D' : 'F'},
                      {reg.groups[r.group], 'H'},
                      {type_text(r), kind_colour[r.kind]},
                      {score_text(e.score) + "/" + num(e.votes), '7'},
                      move_cell(e)});
  }
  t.rule_before = {3, 10};
  if (t.rows.empty()) {
    error = "no chart votes for " + month_name(month);
    return false;
  }
  return render_table(t, out, error);
}

bool block_group_months(const Register& reg, int year, int group, Lines& out, std::string& error) {
  int first, last;
  if (months_in_year(reg, year, first, last) <= 0) {
    error = "no months of " + num(year) + " in the register";
    return false;
  }
  Table t;
  t.columns = {{"Month", false, 9}};
  for (int k = 0; k < kind_count; ++k) t.columns.push_back({std::string(kind_short[k]), true, 5});
  t.columns.push_back({"Total", true, 5});
  for (int m = first; m <= last; ++m) {
    std::vector<Cell> row = {{std::string(month_names[month_of(m) - 1]), '2'}};
    for (int k = 0; k < kind_count; ++k) {
      int n = count_releases(reg, m, m, group, k);
      row.push_back({zero_dot(n), n ? kind_colour[k] : '3'});
    }
    int n = count_releases(reg, m, m, group);
    row.push_back({zero_dot(n), count_colour(n)});
    t.rows.push_back(row);
  }
  std::vector<Cell> total = {{num(year), 'D'}};
  for (int k = 0; k < kind_count; ++k) {
    int n = count_releases(reg, first, last, group, k);
    total.push_back({zero_dot(n), n ? kind_colour[k] : '3'});
  }
  total.push_back({num(count_releases(reg, first, last, group)), 'D'});
  t.rule_before = {t.rows.size()};
  t.rows.push_back(total);
  if (group < 0) {  // the whole scene: the year again, machine by machine
    for (int mc = 0; mc < machine_count; ++mc) {
      std::vector<Cell> row = {{std::string(machine_short[size_t(mc)]), '2'}};
      int all = 0;
      for (int k = 0; k < kind_count; ++k) {
        int n = 0;
        for (size_t g = 0; g < reg.groups.size(); ++g)
          if (reg.group_machine[g] == mc) n += count_releases(reg, first, last, int(g), k);
        all += n;
        row.push_back({zero_dot(n), n ? kind_colour[k] : '3'});
      }
      row.push_back({num(all), '1'});
      t.rows.push_back(row);
    }
  }
  return render_table(t, out, error);
}

bool block_production_chart(const Register& reg, Period p, int places, Lines& out, std::string& error) {
  Table t;
  t.columns = {{"#", true}, {"Production"}, {"Group"}, {"Type"}, {"Pts", true}, {"Top", true}, {"Best", true}};
  auto table = production_standings(reg, p.first, p.last);
  for (size_t i = 0; i < table.size() && int(i) < places; ++i) {
    const Standing& s = table[i];
    const Release& r = reg.releases[s.id];
    t.rows.push_back({{num(int(i) + 1), rank_colour(int(i) + 1)},
                      {r.title, i < 3 ? 'D' : 'F'},
                      {reg.groups[r.group], 'H'},
                      {type_text(r), kind_colour[r.kind]},
                      {num(s.points), '7'},
                      {"#" + num(s.best_rank), s.best_rank == 1 ? 'M' : '2'},
                      {score_text(s.best_score), '2'}});
  }
  t.rule_before = {3, 10};
  return render_table(t, out, error);
}

bool block_group_chart(const Register& reg, Period p, int places, Lines& out, std::string& error) {
  Table t;
  t.columns = {{"#", true}, {"Group"}, {"Releases", true}, {"Charted", true}, {"No.1s", true}, {"Points", true}};
  auto table = group_standings(reg, p.first, p.last);
  for (size_t i = 0; i < table.size() && int(i) < places; ++i) {
    const Standing& s = table[i];
    t.rows.push_back({{num(int(i) + 1), rank_colour(int(i) + 1)},
                      {reg.groups[s.id], i < 3 ? 'G' : 'H'},
                      {num(count_releases(reg, p.first, p.last, s.id)), '2'},
                      {num(s.placings), '2'},
                      {zero_dot(s.number_ones), s.number_ones ? 'M' : '3'},
                      {num(s.points), '7'}});
  }
  t.rule_before = {3};
  return render_table(t, out, error);
}

// One bar per row: label, shade blocks in half-cell steps, the count.
static void bar_rows(const std::vector<std::pair<std::string, int>>& rows, const std::vector<char>& colours, Lines& out) {
  int most = 1;
  for (auto& r : rows) most = std::max(most, r.second);
  constexpr int bar_cells = 52;
  for (size_t i = 0; i < rows.size(); ++i) {
    int halves = (rows[i].second * bar_cells * 2 + most / 2) / most;
    if (rows[i].second > 0 && halves == 0) halves = 1;
    std::string bar;
    for (int k = 0; k < halves / 2; ++k) bar += "█";
    if (halves % 2) bar += "▌";
    Line l;
    l.pad(4);
    l.put('2', rows[i].first).pad(17);
    l.put(colours[i % colours.size()], bar);
    l.pad(17 + bar_cells + 1);
    std::string n = num(rows[i].second);
    l.pad(17 + bar_cells + 6 - int(n.size()));
    l.put('1', n);
    out.push_back(l.text);
  }
}

bool block_kind_bars(const Register& reg, Period p, Lines& out, std::string&) {
  std::vector<std::pair<std::string, int>> rows;
  std::vector<char> colours;
  for (int k = 0; k < kind_count; ++k) {
    rows.emplace_back(std::string(kind_long[k]), count_releases(reg, p.first, p.last, -1, k));
    colours.push_back(kind_colour[k]);
  }
  bar_rows(rows, colours, out);
  return true;
}

bool block_month_bars(const Register& reg, int year, Lines& out, std::string& error) {
  int first, last;
  if (months_in_year(reg, year, first, last) <= 0) {
    error = "no months of " + num(year) + " in the register";
    return false;
  }
  std::vector<std::pair<std::string, int>> rows;
  for (int m = first; m <= last; ++m) rows.emplace_back(std::string(month_names[month_of(m) - 1]), count_releases(reg, m, m));
  bar_rows(rows, {'P', 'Q'}, out);
  return true;
}

bool block_years_table(const Register& reg, Lines& out, std::string& error) {
  Table t;
  t.columns = {{"Year"}};
  for (int k = 0; k < kind_count; ++k) t.columns.push_back({std::string(kind_short[k]), true, 5});
  t.columns.push_back({"Total", true});
  t.columns.push_back({"Groups", true});
  for (int y = year_of(reg.first_month); y <= year_of(reg.last_month); ++y) {
    int first, last;
    months_in_year(reg, y, first, last);
    std::string label = num(y);
    if (last - first + 1 < 12) label += " (" + num(last - first + 1) + " mo)";
    std::vector<Cell> row = {{label, 'D'}};
    for (int k = 0; k < kind_count; ++k) {
      int n = count_releases(reg, first, last, -1, k);
      row.push_back({zero_dot(n), n ? kind_colour[k] : '3'});
    }
    row.push_back({num(count_releases(reg, first, last)), '1'});
    row.push_back({num(int(active_groups(reg, first, last).size())), '2'});
    t.rows.push_back(row);
  }
  std::vector<Cell> total = {{"All years", 'M'}};
  for (int k = 0; k < kind_count; ++k) total.push_back({num(count_releases(reg, reg.first_month, reg.last_month, -1, k)), 'M'});
  total.push_back({num(count_releases(reg, reg.first_month, reg.last_month)), 'M'});
  total.push_back({num(int(active_groups(reg, reg.first_month, reg.last_month).size())), 'M'});
  t.rule_before = {t.rows.size()};
  t.rows.push_back(total);
  return render_table(t, out, error);
}

bool block_group_years(const Register& reg, Lines& out, std::string& error) {
  Table t;
  t.columns = {{"Group"}};
  int y0 = year_of(reg.first_month), y1 = year_of(reg.last_month);
  for (int y = y0; y <= y1; ++y) t.columns.push_back({num(y), true, 4});
  t.columns.push_back({"Total", true});
  t.columns.push_back({"Points", true});
  t.columns.push_back({"No.1s", true});
  auto standings = group_standings(reg, reg.first_month, reg.last_month);
  std::vector<int> groups(reg.groups.size());
  for (size_t g = 0; g < groups.size(); ++g) groups[g] = int(g);
  auto total_of = [&](int g) { return count_releases(reg, reg.first_month, reg.last_month, g); };
  std::stable_sort(groups.begin(), groups.end(), [&](int a, int b) {
    int ta = total_of(a), tb = total_of(b);
    return ta != tb ? ta > tb : sort_key(reg.groups[a]) < sort_key(reg.groups[b]);
  });
  for (int g : groups) {
    std::vector<Cell> row = {{reg.groups[g], 'H'}};
    for (int y = y0; y <= y1; ++y) {
      Period p{std::max(reg.first_month, month_index(y, 1)), std::min(reg.last_month, month_index(y, 12))};
      int n = count_releases(reg, p.first, p.last, g);
      row.push_back({zero_dot(n), count_colour(n)});
    }
    row.push_back({num(total_of(g)), 'D'});
    auto it = std::find_if(standings.begin(), standings.end(), [&](const Standing& s) { return s.id == g; });
    int pts = it == standings.end() ? 0 : it->points, ones = it == standings.end() ? 0 : it->number_ones;
    row.push_back({zero_dot(pts), pts ? '7' : '3'});
    row.push_back({zero_dot(ones), ones ? 'M' : '3'});
    t.rows.push_back(row);
  }
  return render_table(t, out, error);
}

bool block_records(const Register& reg, Lines& out, std::string&) {
  // Each record keeps every holder, so that a shared record says so.
  struct Holder {
    int release = -1, group = -1, month = 0;
  };
  auto better = [](int value, int& best, std::vector<Holder>& holders, Holder h) {
    if (value <= 0) return;  // nobody holds a record of nothing
    if (value > best) best = value, holders.clear();
    if (value == best) holders.push_back(h);
  };
  int best_score = 0, best_votes = 0, most_ones = 0, most_month = 0, most_ballots = 0;
  std::vector<Holder> score_h, votes_h, ones_h, month_h, ballots_h;
  for (size_t i = 0; i < reg.releases.size(); ++i)
    for (const Vote& v : reg.releases[i].votes) {
      better(v.score, best_score, score_h, {int(i), -1, v.month});
      better(v.votes, best_votes, votes_h, {int(i), -1, v.month});
    }
  std::vector<std::vector<int>> ones(reg.groups.size());
  for (int m = reg.first_month; m <= reg.last_month; ++m) {
    auto chart = monthly_chart(reg, m);
    if (chart.empty()) continue;
    auto& list = ones[reg.releases[chart.front().release].group];
    if (std::find(list.begin(), list.end(), chart.front().release) == list.end()) list.push_back(chart.front().release);
  }
  for (size_t g = 0; g < reg.groups.size(); ++g) {
    better(int(ones[g].size()), most_ones, ones_h, {-1, int(g), 0});
    for (int m = reg.first_month; m <= reg.last_month; ++m)
      better(count_releases(reg, m, m, int(g)), most_month, month_h, {-1, int(g), m});
  }
  for (auto [m, n] : reg.ballots) better(n, most_ballots, ballots_h, {-1, -1, m});

  auto record = [&](std::string_view what, const std::string& value, const std::vector<Holder>& holders) {
    const Holder& h = holders.front();
    Line l;
    l.pad(4);
    l.put('2', what).put('3', " ").fill('3', "·", 34).put('3', " ").put('7', value);
    if (h.month) l.put('3', "   " + month_name(h.month));
    out.push_back(l.text);
    if (h.release < 0 && h.group < 0) return;
    Line who;
    who.pad(8);
    if (holders.size() > 1) who.put('3', "shared by " + num(int(holders.size())) + "; first: ");
    if (h.release >= 0)
      who.put('F', reg.releases[h.release].title).put('2', " by ").put('H', reg.groups[reg.releases[h.release].group]);
    else
      who.put('H', reg.groups[h.group]);
    out.push_back(who.text);
  };
  if (!score_h.empty()) record("Highest score", score_text(best_score), score_h);
  if (!votes_h.empty()) record("Most votes in one chart", num(best_votes), votes_h);
  if (!ones_h.empty()) record("Most productions at No.1", num(most_ones), ones_h);
  if (!month_h.empty()) record("Most releases in one month", num(most_month), month_h);
  if (!ballots_h.empty()) record("Most ballots for one chart", num(most_ballots), ballots_h);
  return true;
}

}  // namespace chartgen
