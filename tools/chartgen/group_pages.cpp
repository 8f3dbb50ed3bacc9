// The long page, Group Release Stats: every group active in a year, in three
// parts, so that a reader scrolls through stories rather than empty grids.
//   charts: the groups with chart points, most first: best production, chart
//           entries, every release with its chart run, notes from the register;
//   busy:   groups with several releases and no placing in the year, the
//           closest to the chart first, in the same form;
//   few:    the other groups with no placing in the year, in one table.
// Around them: the year month by month, the leading groups of each kind, the
// groups that went quiet, and an index of where each group stands.
#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "tools/chartgen/blocks.h"
#include "tools/chartgen/charts.h"
#include "tools/chartgen/layout.h"

namespace chartgen {
namespace {

// A group with fewer releases than this and no placing goes to the table.
constexpr int busy_releases = 5;
constexpr int text_right = 78;  // blocks end here, two columns short of the edge

constexpr std::array<std::string_view, 12> month_abbr = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string num(int v) { return std::to_string(v); }
std::string score_text(int tenths) { return num(tenths / 10) + "." + num(tenths % 10); }
std::string month_word(int m) { return std::string(month_names[size_t(month_of(m) - 1)]); }
std::string counted(int n, std::string_view one, std::string_view many) {
  return num(n) + " " + std::string(n == 1 ? one : many);
}
std::string ordinal(int n) {
  int t = n % 100, u = n % 10;
  const char* suffix = (t >= 11 && t <= 13) ? "th" : u == 1 ? "st" : u == 2 ? "nd" : u == 3 ? "rd" : "th";
  return num(n) + suffix;
}
std::string kind_word(int kind, int n) {
  static constexpr std::array<std::string_view, kind_count> one = {"music disk", "demo", "intro",
                                                                   "graphics collection", "tool", "game"};
  std::string w(one[size_t(kind)]);
  return n == 1 ? w : w + "s";
}
std::string day_month(const Release& r) {
  std::string d = num(r.day);
  return (d.size() < 2 ? "0" + d : d) + " " + std::string(month_abbr[size_t(r.month - 1)]);
}
std::string join(const std::vector<std::string>& v) {
  std::string s;
  for (size_t i = 0; i < v.size(); ++i) s += (i == 0 ? "" : i + 1 == v.size() ? " and " : ", ") + v[i];
  return s;
}
std::string month_list(const std::vector<int>& months) {
  std::vector<std::string> words;
  for (int m : months) words.push_back(month_word(m));
  return join(words);
}

// Everything about the year that the blocks share, worked out once.
struct Year {
  int year = 0, first = 0, last = 0;
  std::vector<std::vector<ChartEntry>> charts;  // [month - first]
  std::vector<std::vector<int>> order;          // [month - first]: every voted production in order
  std::vector<Standing> groups, productions;    // the year's standings
  std::vector<Standing> groups_before_year;     // standings of the year before
  std::vector<int> points_before;               // by group: points in all earlier charts

  const std::vector<ChartEntry>& chart(int m) const { return charts[size_t(m - first)]; }
  int rank(int month, int release) const {
    if (month < first || month > last) return 0;
    for (const ChartEntry& e : chart(month))
      if (e.release == release) return e.rank;
    return 0;
  }
  int place(int month, int release) const {
    if (month < first || month > last) return 0;
    const auto& o = order[size_t(month - first)];
    auto it = std::find(o.begin(), o.end(), release);
    return it == o.end() ? 0 : int(it - o.begin()) + 1;
  }
};

bool make_year(const Register& reg, int year, Year& y, std::string& error) {
  y.year = year;
  y.first = std::max(reg.first_month, month_index(year, 1));
  y.last = std::min(reg.last_month, month_index(year, 12));
  if (y.first > y.last) {
    error = "no months of " + num(year) + " in the register";
    return false;
  }
  for (int m = y.first; m <= y.last; ++m) {
    y.charts.push_back(monthly_chart(reg, m));
    y.order.push_back(monthly_order(reg, m));
  }
  y.groups = group_standings(reg, y.first, y.last);
  y.productions = production_standings(reg, y.first, y.last);
  int before_first = std::max(reg.first_month, month_index(year - 1, 1));
  if (y.first - 1 >= reg.first_month) y.groups_before_year = group_standings(reg, before_first, y.first - 1);
  y.points_before.assign(reg.groups.size(), 0);
  if (y.first - 1 >= reg.first_month)
    for (const Standing& s : group_standings(reg, reg.first_month, y.first - 1)) y.points_before[size_t(s.id)] = s.points;
  return true;
}

const Standing* find_standing(const std::vector<Standing>& table, int id) {
  for (const Standing& s : table)
    if (s.id == id) return &s;
  return nullptr;
}

struct GroupYear {
  int group = 0;
  std::vector<int> releases;  // released in the year, by date
  std::vector<int> carried;   // released earlier, placed in the year's charts
  Standing standing;          // points 0 when never placed
  int best = -1, best_rank = 0;  // the best placing of the year; more points break a tie
  std::vector<int> best_months;  // months in which the best production stood at its best place
  int closest = -1, closest_score = 0, closest_place = 0;  // the production that came nearest the chart
  int chart_months = 0;  // months with at least one placing
};

GroupYear group_year(const Register& reg, const Year& y, int g) {
  GroupYear gy;
  gy.group = g;
  if (const Standing* s = find_standing(y.groups, g)) gy.standing = *s;
  for (size_t i = 0; i < reg.releases.size(); ++i) {
    const Release& r = reg.releases[i];
    if (r.group != g) continue;
    int m = month_index(r.year, r.month);
    if (m >= y.first && m <= y.last) {
      gy.releases.push_back(int(i));
    } else if (m < y.first) {
      bool placed = false;
      for (const Vote& v : r.votes) placed |= y.rank(v.month, int(i)) > 0;
      if (placed) gy.carried.push_back(int(i));
    }
  }
  auto listed = [&](int id) {
    return std::find(gy.releases.begin(), gy.releases.end(), id) != gy.releases.end() ||
           std::find(gy.carried.begin(), gy.carried.end(), id) != gy.carried.end();
  };
  for (const Standing& s : y.productions)  // by points, so the first of the best place has the most
    if (reg.releases[size_t(s.id)].group == g && (gy.best < 0 || s.best_rank < gy.best_rank))
      gy.best = s.id, gy.best_rank = s.best_rank;
  for (int m = y.first; m <= y.last; ++m) {
    bool placed = false;
    for (const ChartEntry& e : y.chart(m)) {
      if (reg.releases[size_t(e.release)].group != g) continue;
      placed = true;
      if (e.release == gy.best && e.rank == gy.best_rank) gy.best_months.push_back(m);
    }
    gy.chart_months += placed;
    const auto& o = y.order[size_t(m - y.first)];
    for (size_t k = 0; k < o.size(); ++k) {
      if (!listed(o[k])) continue;  // the block shows where its own releases stood
      for (const Vote& v : reg.releases[size_t(o[k])].votes)
        if (v.month == m && (gy.closest < 0 || int(k) + 1 < gy.closest_place))
          gy.closest = o[k], gy.closest_score = v.score, gy.closest_place = int(k) + 1;
    }
  }
  return gy;
}

enum class Part { charts, busy, few };

Part part_of(const GroupYear& gy) {
  if (gy.standing.points > 0) return Part::charts;
  return int(gy.releases.size()) >= busy_releases ? Part::busy : Part::few;
}

// The year's active groups of one part, in the part's order.
std::vector<GroupYear> part_groups(const Register& reg, const Year& y, Part part) {
  std::vector<GroupYear> out;
  for (int g : active_groups(reg, y.first, y.last)) {
    GroupYear gy = group_year(reg, y, g);
    if (part_of(gy) == part) out.push_back(gy);
  }
  auto name = [&](const GroupYear& gy) { return sort_key(reg.groups[size_t(gy.group)]); };
  auto size = [](const GroupYear& gy) { return int(gy.releases.size()); };
  std::sort(out.begin(), out.end(), [&](const GroupYear& a, const GroupYear& b) {
    switch (part) {
      case Part::charts:  // the year's group standings
        return find_standing(y.groups, a.group) < find_standing(y.groups, b.group);
      case Part::busy:  // closest to the chart first; never voted last
        return std::tuple(a.closest < 0, a.closest_place, -a.closest_score, -size(a), name(a)) <
               std::tuple(b.closest < 0, b.closest_place, -b.closest_score, -size(b), name(b));
      case Part::few:
        return std::tuple(-size(a), name(a)) < std::tuple(-size(b), name(b));
    }
    return false;
  });
  return out;
}

struct Piece {
  char colour;
  std::string text;
  bool whole = false;  // never broken across lines (a title, a group's name)
};

// "  Name C64 ········· right", the right part ending at text_right.
void heading(Line& l, char name_colour, const std::string& name, std::string_view machine,
             const std::vector<Piece>& right) {
  int right_width = 0;
  for (const Piece& p : right) right_width += text_width(p.text);
  l.put(name_colour, name, 2).put('3', " ", 1).put('2', machine).put('3', " ");
  l.fill('3', "·", text_right - right_width - 1).pad(text_right - right_width);
  for (const Piece& p : right) l.put(p.colour, p.text);
}

// Coloured text wrapped at text_right, every line starting at indent. Words
// break at spaces only, so "Lantern" and a full stop in another colour stay
// together.
void wrap_pieces(const std::vector<Piece>& pieces, int indent, Lines& out) {
  std::vector<std::vector<Piece>> words(1);
  for (const Piece& p : pieces)
    for (char c : p.text) {
      if (c == ' ' && !p.whole) {
        if (!words.back().empty()) words.emplace_back();
        continue;
      }
      auto& w = words.back();
      if (w.empty() || w.back().colour != p.colour) w.push_back({p.colour, ""});
      w.back().text += c;
    }
  std::erase_if(words, [](const auto& w) { return w.empty(); });
  // A number keeps its noun ("42 releases"), a number that ends a clause
  // keeps the word before it ("with 3.", "In 2008:"), and so does a count in
  // brackets ("Heron (4).").
  auto text_of = [](const std::vector<Piece>& w) {
    std::string t;
    for (const Piece& p : w) t += p.text;
    return t;
  };
  auto is_digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  auto bare_number = [&](const std::string& t) { return !t.empty() && std::all_of(t.begin(), t.end(), is_digit); };
  auto closing_number = [&](const std::string& t) {
    return t.size() > 1 && bare_number(t.substr(0, t.size() - 1)) && std::string_view(".:,;").find(t.back()) != std::string_view::npos;
  };
  auto bracketed_count = [&](const std::string& t) { return t.size() > 1 && t[0] == '(' && is_digit(t[1]); };
  std::vector<std::vector<Piece>> units;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string t = text_of(words[i]);
    if (i > 0 && (bare_number(text_of(words[i - 1])) || closing_number(t) || bracketed_count(t))) {
      units.back().push_back({units.back().back().colour, " "});
      units.back().insert(units.back().end(), words[i].begin(), words[i].end());
    } else {
      units.push_back(words[i]);
    }
  }
  words = std::move(units);
  std::vector<int> widths;
  for (const auto& w : words) {
    int width = 0;
    for (const Piece& p : w) width += text_width(p.text);
    widths.push_back(width);
  }
  // Greedy breaks; then a last line of one word takes a second one along.
  std::vector<size_t> starts = {0};
  for (size_t i = 0, at = size_t(indent); i < words.size(); ++i) {
    if (i > starts.back() && at + 1 + size_t(widths[i]) > size_t(text_right)) {
      starts.push_back(i);
      at = size_t(indent);
    }
    at += (i > starts.back() ? 1 : 0) + size_t(widths[i]);
  }
  size_t last = starts.back();
  if (starts.size() > 1 && last + 1 == words.size() && last - starts[starts.size() - 2] >= 2 &&
      indent + widths[last - 1] + 1 + widths[last] <= text_right)
    --starts.back();
  starts.push_back(words.size());
  for (size_t k = 0; k + 1 < starts.size(); ++k) {
    Line l;
    l.pad(indent);
    for (size_t i = starts[k]; i < starts[k + 1]; ++i) {
      if (i > starts[k]) l.put(l.colour, " ");
      for (const Piece& p : words[i]) l.put(p.colour, p.text);
    }
    out.push_back(l.text);
  }
}

void wrap_text(const std::string& text, char colour, int indent, Lines& out) { wrap_pieces({{colour, text}}, indent, out); }

// One release: date, kind and title, and for a production that was voted
// its places and points in the year, then a line with each chart month's
// score and votes (and the place, when it was outside the chart).
void release_lines(const Register& reg, const Year& y, int id, bool with_year, Lines& out) {
  const Release& r = reg.releases[size_t(id)];
  int indent = with_year ? 23 : 20;
  Line l;
  l.pad(5);
  l.put('2', day_month(r) + (with_year ? " " + num(r.year % 100 + 100).substr(1) : ""));
  l.pad(indent - 7);
  l.put(kind_colour[size_t(r.kind)], std::string(kind_short[size_t(r.kind)])).pad(indent);
  l.put('F', r.title);
  std::vector<Piece> run;
  std::string detail;
  int points = 0, best_place = 0;
  for (const Vote& v : r.votes) {
    if (v.month < y.first || v.month > y.last) continue;
    int rank = y.rank(v.month, id), place = y.place(v.month, id);
    points += points_for_rank(rank);
    run.push_back(rank ? Piece{rank <= 3 ? 'M' : '7', "#" + num(rank)} : Piece{'3', "-"});
    if (!best_place || place < best_place) best_place = place;
    detail += (detail.empty() ? "" : "   ") + std::string(month_abbr[size_t(month_of(v.month) - 1)]) + " " +
              score_text(v.score) + "/" + num(v.votes) + (rank ? "" : " " + ordinal(place));
  }
  if (best_place) {
    l.put('3', " ").fill('3', "·", 55).pad(56);
    if (points) {
      for (size_t i = 0; i < run.size(); ++i) l.put(run[i].colour, (i ? " " : "") + run[i].text);
      std::string pts = counted(points, "pt", "pts");
      l.pad(text_right - text_width(pts)).put('7', pts);
    } else {
      l.put('3', ordinal(best_place));
    }
  }
  out.push_back(l.text);
  if (best_place) {
    Line d;
    d.pad(indent);
    d.put('3', detail);
    out.push_back(d.text);
  }
}

// Facts from the register for the notes under a block.
std::string group_notes(const Register& reg, const Year& y, const GroupYear& gy) {
  std::vector<std::string> notes;
  int g = gy.group;
  const Release *first_ever = nullptr, *last_ever = nullptr;
  for (const Release& r : reg.releases)
    if (r.group == g) {
      if (!first_ever) first_ever = &r;
      last_ever = &r;
    }
  int first_m = month_index(first_ever->year, first_ever->month);
  int last_m = month_index(last_ever->year, last_ever->month);
  bool placed = gy.standing.points > 0;
  int now = int(gy.releases.size());
  if (placed) {
    std::string n = counted(gy.standing.placings, "chart entry", "chart entries") + " in " +
                    counted(gy.chart_months, "month", "months");
    int ones = gy.standing.number_ones;
    if (ones) n += ", " + std::string(ones == 1 ? "once" : ones == 2 ? "twice" : num(ones) + " times") + " at No.1";
    notes.push_back(n + ".");
  }
  if (first_m >= y.first)
    notes.push_back("New this year: the first release came on " + num(first_ever->day) + " " + month_word(first_m) + ".");
  if (last_m <= y.last - 4)
    notes.push_back("Nothing released since " + num(last_ever->day) + " " + month_word(last_m) + ".");
  if (first_m < y.first) {
    int prev = count_releases(reg, std::max(reg.first_month, y.first - 12), y.first - 1, g);
    const Standing* before = find_standing(y.groups_before_year, g);
    int prev_points = before ? before->points : 0;
    std::string n = prev ? "In " + num(y.year - 1) + ": " + counted(prev, "release", "releases")
                         : "Nothing released in " + num(y.year - 1);
    if (prev_points) n += " and " + counted(prev_points, "point", "points");
    if (placed && prev_points)
      n += gy.standing.points >= prev_points ? "; up by " + num(gy.standing.points - prev_points) + "."
                                             : "; down by " + num(prev_points - gy.standing.points) + ".";
    else if (placed)
      n += y.points_before[size_t(g)] ? "; back in the points this year." : "; these are their first points.";
    else
      n += !prev ? "." : (now > prev ? "; more in " : now < prev ? "; fewer in " : "; as many in ") + num(y.year) + ".";
    notes.push_back(n);
  }
  std::array<int, kind_count> kinds{};
  std::map<int, int> per_month;
  for (int id : gy.releases) {
    const Release& r = reg.releases[size_t(id)];
    ++kinds[size_t(r.kind)];
    ++per_month[month_index(r.year, r.month)];
  }
  int top_kind = int(std::max_element(kinds.begin(), kinds.end()) - kinds.begin());
  int top = kinds[size_t(top_kind)];
  if (now >= 5 && top == now)
    notes.push_back("Nothing but " + kind_word(top_kind, 2) + ".");
  else if (now >= 5 && top * 10 >= now * 6)
    notes.push_back("Mostly " + kind_word(top_kind, 2) + ": " + num(top) + " of " + num(now) + ".");
  if (std::count_if(kinds.begin(), kinds.end(), [](int k) { return k > 0; }) == kind_count)
    notes.push_back("Something of every kind.");
  int most = 0;
  std::vector<int> busiest;  // every month with the most releases
  for (auto [m, n] : per_month) {
    if (n > most) most = n, busiest.clear();
    if (n == most) busiest.push_back(m);
  }
  if (most >= 3 && busiest.size() <= 3)
    notes.push_back("Busiest in " + month_list(busiest) + ", with " + num(most) + (busiest.size() > 1 ? " each." : "."));
  else if (most >= 3)
    notes.push_back("Never more than " + num(most) + " releases in a month.");
  int months = y.last - y.first + 1, active = int(per_month.size());
  if (active == months && months > 1)
    notes.push_back("Released something in every month.");
  else if (active >= 10)
    notes.push_back("Released something in " + num(active) + " of the " + num(months) + " months.");
  if (first_m < y.first) {
    std::string n = "Since " + num(first_ever->year) + ": " +
                    counted(count_releases(reg, reg.first_month, reg.last_month, g), "release", "releases");
    int all_points = y.points_before[size_t(g)] + gy.standing.points;
    if (all_points) n += ", " + counted(all_points, "point", "points");
    notes.push_back(n + ".");
  }
  std::string text;
  for (const std::string& s : notes) text += (text.empty() ? "" : " ") + s;
  return text;
}

void group_block(const Register& reg, const Year& y, const GroupYear& gy, int rank, Lines& out) {
  const std::string& name = reg.groups[size_t(gy.group)];
  std::string_view machine = machine_short[size_t(reg.group_machine[size_t(gy.group)])];
  int n = int(gy.releases.size());
  bool placed = gy.standing.points > 0;
  Line head;
  head.pad(2);
  if (placed) {
    head.put(rank <= 3 ? 'M' : '1', num(rank) + ".").put('1', " ");
    heading(head, 'G', name, machine,
            {{'7', num(gy.standing.points)}, {'2', gy.standing.points == 1 ? " point  " : " points  "}, {'7', num(n)},
             {'2', n == 1 ? " release" : " releases"}});
  } else {
    std::vector<Piece> right = {{'7', num(n)}, {'2', n == 1 ? " release" : " releases"}};
    if (gy.closest >= 0) right.push_back({'2', "  best place "}), right.push_back({'7', ordinal(gy.closest_place)});
    heading(head, 'H', name, machine, right);
  }
  out.push_back(head.text);

  Line facts;
  facts.pad(5);
  if (placed) {
    const Release& b = reg.releases[size_t(gy.best)];
    int released = month_index(b.year, b.month);
    std::string kind = kind_word(b.kind, 1) + (released < y.first ? ", " + month_name(released) : "");
    std::string where = gy.best_months.size() <= 3 ? month_list(gy.best_months)
                                                    : counted(int(gy.best_months.size()), "month", "months");
    wrap_pieces({{'3', "Best: "}, {'F', b.title, true}, {'3', " (" + kind + "), No." + num(gy.best_rank) + " in " + where + "."}},
                5, out);
  } else if (gy.closest < 0) {
    facts.put('3', "No production was voted this year.");
    out.push_back(facts.text);
  }
  for (int id : gy.releases) release_lines(reg, y, id, false, out);
  if (!gy.carried.empty()) {
    Line l;
    l.pad(5);
    l.put('3', "Still in the chart from " + num(y.year - 1) + ":");
    out.push_back(l.text);
    for (int id : gy.carried) release_lines(reg, y, id, true, out);
  }
  std::string notes = group_notes(reg, y, gy);
  if (!notes.empty()) wrap_text(notes, '3', 5, out);
  out.emplace_back();
}

void part_heading(const std::string& title, const std::string& what, Lines& out) {
  out.push_back(band_line(6));
  Line l;
  l.put('G', "  " + title, 2).put('3', "  ·  ", 1).put('2', what);
  out.push_back(l.text);
  out.emplace_back();
}

bool part_from(std::string_view s, Part& part) {
  if (s == "charts") part = Part::charts;
  else if (s == "busy") part = Part::busy;
  else if (s == "few") part = Part::few;
  else return false;
  return true;
}

}  // namespace

bool block_group_pages(const Register& reg, int year, std::string_view which, Lines& out, std::string& error) {
  Part part;
  if (!part_from(which, part)) {
    error = "unknown part '" + std::string(which) + "' (charts, busy, few)";
    return false;
  }
  Year y;
  if (!make_year(reg, year, y, error)) return false;
  std::vector<GroupYear> groups = part_groups(reg, y, part);
  int year_points = 0;
  for (const Standing& s : y.groups) year_points += s.points;
  switch (part) {
    case Part::charts: {
      part_heading("I. IN THE CHARTS", num(int(groups.size())) + " groups with chart points, the most first", out);
      int running = 0;
      for (size_t i = 0; i < groups.size(); ++i) {
        group_block(reg, y, groups[i], int(i) + 1, out);
        running += groups[i].standing.points;
        if ((i + 1) % 10 == 0 && i + 1 < groups.size() && year_points) {
          Line sum;
          sum.pad(2);
          sum.put('P', "The first " + num(int(i) + 1) + ": ").put('7', num(running)).put('P', " of the year's ");
          int share = (running * 200 + year_points) / (2 * year_points);  // rounded to a whole per cent
          sum.put('7', num(year_points)).put('P', " chart points, ");
          sum.put('P', share < 100 || running == year_points ? num(share) + " in every hundred."
                                                              : "all but " + num(year_points - running) + ".");
          out.push_back(sum.text);
          out.emplace_back();
        }
      }
      return true;
    }
    case Part::busy:
      part_heading("II. BUSY, NO PLACING IN " + num(year), num(int(groups.size())) + " groups, the closest to the chart first",
                   out);
      for (const GroupYear& gy : groups) group_block(reg, y, gy, 0, out);
      return true;
    case Part::few: {
      part_heading("III. A FEW RELEASES EACH",
                   num(int(groups.size())) + " groups of up to " + num(busy_releases - 1) + " releases, no placing in " + num(year),
                   out);
      Table t;
      t.columns = {{"Group"}, {"Date", true}, {"Type"}, {"Production"}, {"Votes", true}};
      for (const GroupYear& gy : groups) {
        if (!t.rows.empty()) t.rule_before.push_back(t.rows.size());
        for (size_t k = 0; k < gy.releases.size(); ++k) {
          const Release& r = reg.releases[size_t(gy.releases[k])];
          int best = 0, votes = 0;
          for (const Vote& v : r.votes)
            if (v.score > best) best = v.score, votes = v.votes;
          t.rows.push_back({{k == 0 ? reg.groups[size_t(gy.group)] : "", 'H'},
                            {day_month(r), '2'},
                            {type_text(r), kind_colour[size_t(r.kind)]},
                            {r.title, 'F'},
                            {best ? score_text(best) + "/" + num(votes) : "none", best ? '7' : '3'}});
        }
      }
      return t.rows.empty() || render_table(t, out, error);
    }
  }
  return true;
}

bool block_month_diary(const Register& reg, int year, Lines& out, std::string& error) {
  Year y;
  if (!make_year(reg, year, y, error)) return false;
  std::vector<int> first_release(reg.groups.size(), -1), last_release(reg.groups.size(), -1);
  for (const Release& r : reg.releases) {
    int m = month_index(r.year, r.month);
    if (first_release[size_t(r.group)] < 0) first_release[size_t(r.group)] = m;
    last_release[size_t(r.group)] = m;
  }
  for (int m = y.first; m <= y.last; ++m) {
    std::vector<int> counts(reg.groups.size());
    for (const Release& r : reg.releases)
      if (month_index(r.year, r.month) == m) ++counts[size_t(r.group)];
    int groups = int(std::count_if(counts.begin(), counts.end(), [](int c) { return c > 0; }));
    int most = *std::max_element(counts.begin(), counts.end());
    Line l;
    l.pad(2);
    l.put('P', month_word(m), 2).pad(13);
    l.put('7', num(count_releases(reg, m, m)), 1).put('3', " releases from ").put('7', num(groups)).put('3', " groups");
    out.push_back(l.text);
    std::vector<Piece> text;
    auto groups_of = [&](const std::vector<std::string>& names) {
      for (size_t i = 0; i < names.size(); ++i) {
        if (i) text.push_back({'3', i + 1 == names.size() ? " and " : ", "});
        text.push_back({'H', names[i], true});
      }
    };
    const auto& chart = y.chart(m);
    if (!chart.empty()) {
      const Release& top = reg.releases[size_t(chart.front().release)];
      text.insert(text.end(), {{'3', "No.1: "}, {'F', top.title, true}, {'3', " by "}, {'H', reg.groups[size_t(top.group)], true},
                               {'3', ". "}});
    }
    std::vector<std::string> busiest, newcomers, farewells;
    for (size_t g = 0; g < reg.groups.size(); ++g) {
      if (most >= 2 && counts[g] == most) busiest.push_back(reg.groups[g]);
      if (first_release[g] == m) newcomers.push_back(reg.groups[g]);
      if (last_release[g] == m && m <= y.last - 4) farewells.push_back(reg.groups[g]);
    }
    if (!busiest.empty()) {
      text.push_back({'3', "Busiest: "});
      groups_of(busiest);
      text.insert(text.end(), {{'3', " "}, {'3', "(" + num(most) + (busiest.size() > 1 ? " each)." : ").") , true}, {'3', " "}});
    }
    if (!newcomers.empty()) {
      text.push_back({'3', "First release ever: "});
      groups_of(newcomers);
      text.push_back({'3', ". "});
    }
    if (!farewells.empty()) {
      text.push_back({'3', "Last heard of: "});
      groups_of(farewells);
      text.push_back({'3', ". "});
    }
    if (!text.empty()) wrap_pieces(text, 13, out);
  }
  return true;
}

bool block_kind_leaders(const Register& reg, int year, Lines& out, std::string& error) {
  Year y;
  if (!make_year(reg, year, y, error)) return false;
  for (int k = 0; k < kind_count; ++k) {
    std::vector<std::pair<int, int>> counts;  // (-count, group)
    for (size_t g = 0; g < reg.groups.size(); ++g)
      if (int n = count_releases(reg, y.first, y.last, int(g), k)) counts.emplace_back(-n, int(g));
    std::sort(counts.begin(), counts.end(), [&](auto& a, auto& b) {
      return std::tuple(a.first, sort_key(reg.groups[size_t(a.second)])) <
             std::tuple(b.first, sort_key(reg.groups[size_t(b.second)]));
    });
    Line l;
    l.pad(2);
    l.put(kind_colour[size_t(k)], std::string(kind_long[size_t(k)]), 2).pad(15);
    l.put('7', num(count_releases(reg, y.first, y.last, -1, k)), 1).pad(20);
    if (counts.empty()) {
      l.put('3', "none this year");
      out.push_back(l.text);
      continue;
    }
    l.put('3', "from " + counted(int(counts.size()), "group", "groups") + "; the busiest:");
    out.push_back(l.text);
    // The three busiest, and any group level with the third.
    std::vector<Piece> most;
    size_t cut = std::min<size_t>(3, counts.size()) - 1;
    for (size_t i = 0; i < counts.size() && (i <= cut || counts[i].first == counts[cut].first); ++i) {
      if (i) most.push_back({'2', ", "});
      most.push_back({'H', reg.groups[size_t(counts[i].second)], true});
      most.push_back({'7', " " + num(-counts[i].first)});
    }
    wrap_pieces(most, 7, out);
  }
  return true;
}

bool block_gone_quiet(const Register& reg, int year, Lines& out, std::string& error) {
  Year y;
  if (!make_year(reg, year, y, error)) return false;
  Table t;
  t.columns = {{"Group"}, {"Last"}, {"Rel.", true}, {"Pts", true}, {"Their best production"}};
  auto before = production_standings(reg, reg.first_month, y.first - 1);
  std::vector<std::pair<int, std::vector<Cell>>> rows;  // last month, row: the most recently quiet first
  for (size_t g = 0; g < reg.groups.size(); ++g) {
    if (count_releases(reg, y.first, y.last, int(g)) > 0) continue;
    const Release* last = nullptr;
    for (const Release& r : reg.releases)
      if (r.group == int(g)) last = &r;
    if (!last) continue;
    const Standing* best = nullptr;  // the best placing; more points break a tie
    for (const Standing& s : before)
      if (reg.releases[size_t(s.id)].group == int(g) && (!best || s.best_rank < best->best_rank)) best = &s;
    int m = month_index(last->year, last->month);
    rows.push_back({m,
                    {{reg.groups[g], 'H'},
                     {std::string(month_abbr[size_t(month_of(m) - 1)]) + " " + num(year_of(m)), '2'},
                     {num(count_releases(reg, reg.first_month, y.first - 1, int(g))), '2'},
                     {num(y.points_before[g]), '7'},
                     {best ? reg.releases[size_t(best->id)].title : "-", 'F'}}});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (auto& r : rows) t.rows.push_back(std::move(r.second));
  return t.rows.empty() || render_table(t, out, error);
}

bool block_group_index(const Register& reg, int year, Lines& out, std::string& error) {
  Year y;
  if (!make_year(reg, year, y, error)) return false;
  std::vector<std::pair<std::string, std::string>> entries;  // name, where
  for (int g : active_groups(reg, y.first, y.last)) {
    GroupYear gy = group_year(reg, y, g);
    std::string where = part_of(gy) == Part::busy ? "II" : part_of(gy) == Part::few ? "III" : "";
    if (where.empty()) where = "I." + num(int(find_standing(y.groups, g) - y.groups.data()) + 1);
    entries.emplace_back(reg.groups[size_t(g)], where);
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return sort_key(a.first) < sort_key(b.first); });
  constexpr int columns = 3, width = 24;
  size_t rows = (entries.size() + columns - 1) / columns;
  for (size_t r = 0; r < rows; ++r) {
    Line l;
    for (int c = 0; c < columns; ++c) {
      size_t i = size_t(c) * rows + r;
      if (i >= entries.size()) break;
      int left = 3 + c * (width + 2);
      int right = text_width(entries[i].second);
      l.pad(left);
      l.put('H', entries[i].first).put('3', " ").fill('3', "·", left + width - right - 1);
      l.pad(left + width - right).put('2', entries[i].second);
    }
    out.push_back(l.text);
  }
  return true;
}

}  // namespace chartgen
