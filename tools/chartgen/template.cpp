#include "tools/chartgen/template.h"

#include <algorithm>
#include <charconv>

#include "tools/chartgen/blocks.h"
#include "tools/chartgen/charts.h"
#include "tools/chartgen/layout.h"

namespace chartgen {
namespace {

std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    size_t start = i;
    while (i < s.size() && s[i] != ' ') ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

// Everything after the first n words, as one name ("Moth Lantern").
std::string_view rest(std::string_view s, size_t n) {
  size_t i = 0;
  for (size_t w = 0; w < n; ++w) {
    while (i < s.size() && s[i] == ' ') ++i;
    while (i < s.size() && s[i] != ' ') ++i;
  }
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

bool to_int(std::string_view s, int& v) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

bool to_year(const Register& reg, std::string_view s, int& year) {
  return to_int(s, year) && year >= year_of(reg.first_month) && year <= year_of(reg.last_month);
}

bool to_month(const Register& reg, std::string_view s, int& month) {
  Period p;
  if (s.size() != 7 || !parse_period(reg, s, p)) return false;
  month = p.first;
  return true;
}

using Lines = std::vector<std::string>;

// "@name args": one generated block.
bool run_block(const Register& reg, std::string_view call, Lines& out, std::string& err) {
  auto w = words(call);
  std::string_view name = w.empty() ? "" : w[0];
  int year = 0, month = 0, places = 0;
  Period p;
  auto need = [&](bool ok, std::string_view usage) {
    if (!ok) err = "usage: @" + std::string(usage);
    return ok;
  };
  if (name == "monthly_chart")
    return need(w.size() == 2 && to_month(reg, w[1], month), "monthly_chart YYYY-MM") &&
           block_monthly_chart(reg, month, out, err);
  if (name == "group_months")
    return need(w.size() == 2 && to_year(reg, w[1], year), "group_months YEAR") &&
           block_group_months(reg, year, -1, out, err);
  if (name == "group_pages")
    return need(w.size() == 3 && to_year(reg, w[1], year), "group_pages YEAR charts|busy|few") &&
           block_group_pages(reg, year, w[2], out, err);
  using YearBlock = bool (*)(const Register&, int, Lines&, std::string&);
  for (auto [block, run] : {std::pair<std::string_view, YearBlock>{"month_diary", block_month_diary},
                            {"kind_leaders", block_kind_leaders},
                            {"gone_quiet", block_gone_quiet},
                            {"group_index", block_group_index}})
    if (name == block) return need(w.size() == 2 && to_year(reg, w[1], year), std::string(block) + " YEAR") && run(reg, year, out, err);
  if (name == "production_chart")
    return need(w.size() == 3 && parse_period(reg, w[1], p) && to_int(w[2], places), "production_chart PERIOD PLACES") &&
           block_production_chart(reg, p, places, out, err);
  if (name == "group_chart")
    return need(w.size() == 3 && parse_period(reg, w[1], p) && to_int(w[2], places), "group_chart PERIOD PLACES") &&
           block_group_chart(reg, p, places, out, err);
  if (name == "kind_bars")
    return need(w.size() == 2 && parse_period(reg, w[1], p), "kind_bars PERIOD") && block_kind_bars(reg, p, out, err);
  if (name == "month_bars")
    return need(w.size() == 2 && to_year(reg, w[1], year), "month_bars YEAR") && block_month_bars(reg, year, out, err);
  if (name == "years_table") return need(w.size() == 1, "years_table") && block_years_table(reg, out, err);
  if (name == "group_years") return need(w.size() == 1, "group_years") && block_group_years(reg, out, err);
  if (name == "records") return need(w.size() == 1, "records") && block_records(reg, out, err);
  err = "unknown block '@" + std::string(name) + "'";
  return false;
}

// "$(name args)": one value.
bool run_value(const Register& reg, std::string_view call, std::string& out, std::string& err) {
  auto w = words(call);
  std::string_view name = w.empty() ? "" : w[0];
  Period p;
  int month = 0;
  auto need = [&](bool ok, std::string_view usage) {
    if (!ok) err = "usage: $(" + std::string(usage) + ")";
    return ok;
  };
  auto group_arg = [&](size_t at, int& g) {
    g = find_group(reg, rest(call, at));
    if (g < 0) err = "unknown group '" + std::string(rest(call, at)) + "'";
    return g >= 0;
  };
  auto release_arg = [&](size_t at, int& r) {
    r = find_release(reg, rest(call, at));
    if (r < 0) err = "unknown production '" + std::string(rest(call, at)) + "'";
    return r >= 0;
  };
  if (name == "releases") {
    // $(releases PERIOD [kind | machine]) or $(releases PERIOD group NAME)
    if (!need(w.size() >= 2 && parse_period(reg, w[1], p), "releases PERIOD [kind | machine | group NAME]"))
      return false;
    int kind = -1, g = -1, machine = -1;
    if (w.size() >= 3 && w[2] == "group") {
      if (!group_arg(3, g)) return false;
    } else if (w.size() == 3) {
      kind = kind_from_key(w[2]);
      machine = machine_from_key(w[2]);
      if (!need(kind >= 0 || machine >= 0, "releases PERIOD music|demo|intro|gfx|tool|game|c64|pc")) return false;
    } else if (!need(w.size() == 2, "releases PERIOD [kind | machine | group NAME]")) {
      return false;
    }
    int n = 0;
    if (machine < 0) {
      n = count_releases(reg, p.first, p.last, g, kind);
    } else {
      for (size_t i = 0; i < reg.groups.size(); ++i)
        if (reg.group_machine[i] == machine) n += count_releases(reg, p.first, p.last, int(i));
    }
    out = std::to_string(n);
    return true;
  }
  if (name == "charts" || name == "chart_points") {
    // $(charts PERIOD): the monthly charts printed; $(chart_points PERIOD): every point they gave.
    if (!need(w.size() == 2 && parse_period(reg, w[1], p), "charts|chart_points PERIOD")) return false;
    int n = 0;
    for (int m = p.first; m <= p.last; ++m) {
      if (name == "charts") {
        ++n;
        continue;
      }
      for (const ChartEntry& e : monthly_chart(reg, m)) n += points_for_rank(e.rank);
    }
    out = std::to_string(n);
    return true;
  }
  if (name == "last_release") {
    // $(last_release NAME): the month of the group's latest release, "September 2008".
    int g;
    if (!need(w.size() >= 2, "last_release NAME") || !group_arg(1, g)) return false;
    int last = -1;
    for (const Release& r : reg.releases)
      if (r.group == g) last = std::max(last, month_index(r.year, r.month));
    if (last < 0) {
      err = "'" + std::string(rest(call, 1)) + "' has no release in the register";
      return false;
    }
    out = month_name(last);
    return true;
  }
  if (name == "groups") {
    if (!need(w.size() == 2 && parse_period(reg, w[1], p), "groups PERIOD")) return false;
    out = std::to_string(active_groups(reg, p.first, p.last).size());
    return true;
  }
  if (name == "ballots" || name == "spoiled" || name == "counted") {
    if (!need(w.size() == 2 && to_month(reg, w[1], month), "ballots|spoiled|counted YYYY-MM")) return false;
    int n = name == "ballots" ? reg.ballots.at(month) : name == "spoiled" ? reg.spoiled.at(month) : reg.counted(month);
    out = std::to_string(n);
    return true;
  }
  if (name == "marks") {
    // $(marks YYYY-MM): the votes of every production that month together.
    if (!need(w.size() == 2 && to_month(reg, w[1], month), "marks YYYY-MM")) return false;
    int n = 0;
    for (const Release& r : reg.releases)
      for (const Vote& v : r.votes) n += v.month == month ? v.votes : 0;
    out = std::to_string(n);
    return true;
  }
  if (name == "voted") {
    if (!need(w.size() == 2 && to_month(reg, w[1], month), "voted YYYY-MM")) return false;
    int n = 0;
    for (const Release& r : reg.releases)
      for (const Vote& v : r.votes) n += v.month == month;
    out = std::to_string(n);
    return true;
  }
  if (name == "group_points") {
    int g;
    if (!need(w.size() >= 3 && parse_period(reg, w[1], p), "group_points PERIOD NAME") || !group_arg(2, g)) return false;
    out = "0";
    for (const Standing& s : group_standings(reg, p.first, p.last))
      if (s.id == g) out = std::to_string(s.points);
    return true;
  }
  if (name == "points" || name == "place") {
    // $(points PERIOD TITLE): points of a production; $(place PERIOD TITLE): its place in the standings.
    int r;
    if (!need(w.size() >= 3 && parse_period(reg, w[1], p), "points|place PERIOD TITLE") || !release_arg(2, r)) return false;
    auto table = production_standings(reg, p.first, p.last);
    out = "0";
    for (size_t i = 0; i < table.size(); ++i)
      if (table[i].id == r) out = std::to_string(name == "points" ? table[i].points : int(i) + 1);
    return true;
  }
  if (name == "rank" || name == "score" || name == "votes") {
    int r;
    if (!need(w.size() >= 3 && to_month(reg, w[1], month), "rank|score|votes YYYY-MM TITLE") || !release_arg(2, r))
      return false;
    for (const ChartEntry& e : monthly_chart(reg, month))
      if (e.release == r) {
        out = name == "rank"    ? std::to_string(e.rank)
              : name == "votes" ? std::to_string(e.votes)
                                : std::to_string(e.score / 10) + "." + std::to_string(e.score % 10);
        return true;
      }
    err = "'" + std::string(rest(call, 2)) + "' is not in the chart of " + month_name(month);
    return false;
  }
  err = "unknown value '$(" + std::string(name) + ")'";
  return false;
}

bool expand_line(const Register& reg, std::string_view line, std::string& out, std::string& err) {
  out.clear();
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '$') {
      out += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '$') {
      out += '$';
      ++i;
    } else if (i + 1 < line.size() && line[i + 1] == '(') {
      size_t close = line.find(')', i);
      if (close == std::string_view::npos) {
        err = "unclosed $(";
        return false;
      }
      std::string value;
      if (!run_value(reg, line.substr(i + 2, close - i - 2), value, err)) return false;
      out += value;
      i = close;
    } else {
      err = "lone '$' (write $$ for a dollar sign)";
      return false;
    }
  }
  return true;
}

}  // namespace

int markup_width(std::string_view s) {
  int n = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '{') {
      if (i + 1 < s.size() && s[i + 1] == '{') {
        ++n;
        ++i;
        continue;
      }
      size_t close = s.find('}', i);
      if (close == std::string_view::npos) return n + text_width(s.substr(i));
      i = close;
      continue;
    }
    n += (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
  }
  return n;
}

bool expand_template(std::string_view text, std::string_view file, const Register& reg, Lines& lines,
                     std::string& error) {
  lines.clear();
  size_t pos = 0;
  int number = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    ++number;
    std::string err;
    size_t before = lines.size();
    bool ok = true;
    if (line.starts_with("@#")) continue;
    if (line.starts_with("@@")) {
      std::string out;
      ok = expand_line(reg, line.substr(1), out, err);
      lines.push_back(out);
    } else if (line.starts_with("@")) {
      ok = run_block(reg, line.substr(1), lines, err);
    } else {
      std::string out;
      ok = expand_line(reg, line, out, err);
      lines.push_back(out);
    }
    for (size_t i = before; ok && i < lines.size(); ++i)
      if (markup_width(lines[i]) > page_columns) {
        err = "line " + std::to_string(i + 1) + " of the page is " + std::to_string(markup_width(lines[i])) +
              " columns wide, more than " + std::to_string(page_columns);
        ok = false;
      }
    if (!ok) {
      error = std::string(file) + ":" + std::to_string(number) + ": " + err;
      return false;
    }
  }
  return true;
}

std::string page_text(const Lines& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + '\n';
  return out;
}

}  // namespace chartgen
