// Reading and checking the release register. The format is one record per
// line, fields separated by '|':
//   ballots | YYYY-MM | received [| spoiled]
//   group   | Name | c64 or pc
//   release | YYYY-MM-DD | Group | kind | Title [| S/V S/V ...]
// where each S/V is the chart score and the number of votes for one month of
// the production's chart window, in order from its first chart; "-" marks a
// month without votes. '#' starts a comment line.
//
// The marks must be possible under the Rules page: a ballot marks at most
// max_marks_per_ballot productions, so a month's votes fit its counted
// ballots; a score needs min_votes votes and must be an average those marks
// can make.
#include "tools/chartgen/register.h"

#include <charconv>
#include <set>

namespace chartgen {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t at = s.find(sep, start);
    parts.push_back(trim(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

bool to_int(std::string_view s, int& v) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size();
}

// "YYYY-MM" or "YYYY-MM-DD" (with_day).
bool to_date(std::string_view s, bool with_day, int& y, int& m, int& d) {
  size_t want = with_day ? 10 : 7;
  if (s.size() != want || s[4] != '-' || (with_day && s[7] != '-')) return false;
  if (!to_int(s.substr(0, 4), y) || !to_int(s.substr(5, 2), m) || m < 1 || m > 12) return false;
  d = 1;
  if (with_day) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int most = m == 2 && !leap ? 28 : days[m - 1];
    if (!to_int(s.substr(8, 2), d) || d < 1 || d > most) return false;
  }
  return true;
}

// "9.4" -> 94; exactly one decimal, 1.0 .. 10.0.
bool to_score(std::string_view s, int& tenths) {
  size_t dot = s.find('.');
  int whole = 0, frac = 0;
  if (dot == std::string_view::npos || dot + 2 != s.size()) return false;
  if (!to_int(s.substr(0, dot), whole) || !to_int(s.substr(dot + 1), frac) || frac < 0) return false;
  tenths = whole * 10 + frac;
  return tenths >= 10 && tenths <= 100;
}

struct Reader {
  std::string_view file;
  int line = 0;
  std::string& error;
  bool fail(std::string_view message) {
    error = std::string(file) + ":" + std::to_string(line) + ": " + std::string(message);
    return false;
  }
};

}  // namespace

int kind_from_key(std::string_view key) {
  for (int k = 0; k < kind_count; ++k)
    if (kind_keys[k] == key) return k;
  return -1;
}

int machine_from_key(std::string_view key) {
  for (int k = 0; k < machine_count; ++k)
    if (machine_keys[k] == key) return k;
  return -1;
}

std::string type_text(const Release& r) {
  return std::string(machine_short[size_t(r.machine)]) + " " + std::string(kind_short[size_t(r.kind)]);
}

bool score_possible(int tenths, int n) {
  // S marks in all average S / n; a half rounds up: (20 S + n) / 2n tenths.
  for (int sum = n; sum <= 10 * n; ++sum)
    if ((20 * sum + n) / (2 * n) == tenths) return true;
  return false;
}

int find_group(const Register& reg, std::string_view name) {
  for (size_t i = 0; i < reg.groups.size(); ++i)
    if (reg.groups[i] == name) return int(i);
  return -1;
}

int find_release(const Register& reg, std::string_view title) {
  for (size_t i = 0; i < reg.releases.size(); ++i)
    if (reg.releases[i].title == title) return int(i);
  return -1;
}

bool parse_register(std::string_view text, std::string_view file, Register& out, std::string& error) {
  out = Register{};
  Reader r{file, 0, error};
  std::set<std::string, std::less<>> titles;
  std::map<int, int> ballots_line;  // month index -> line of its ballots record
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = trim(text.substr(pos, end - pos));
    pos = end + 1;
    ++r.line;
    if (raw.empty() || raw.front() == '#') continue;
    if (raw.find('\t') != std::string_view::npos) return r.fail("tab character (use spaces)");
    auto f = split(raw, '|');
    if (f[0] == "ballots") {
      int y, m, d, n, spoiled = 0;
      if (f.size() != 3 && f.size() != 4) return r.fail("ballots needs: ballots | YYYY-MM | received [| spoiled]");
      if (!to_date(f[1], false, y, m, d)) return r.fail("bad month '" + std::string(f[1]) + "' (want YYYY-MM)");
      if (!to_int(f[2], n) || n < 1) return r.fail("bad ballot count '" + std::string(f[2]) + "'");
      if (f.size() == 4 && (!to_int(f[3], spoiled) || spoiled < 0 || spoiled >= n))
        return r.fail("bad spoiled count '" + std::string(f[3]) + "' (0 up to the ballots received)");
      int mi = month_index(y, m);
      if (out.ballots.count(mi)) return r.fail("ballots for " + std::string(f[1]) + " given twice");
      if (!out.ballots.empty() && mi != out.ballots.rbegin()->first + 1)
        return r.fail("ballots must list consecutive months in order");
      out.ballots[mi] = n;
      out.spoiled[mi] = spoiled;
      ballots_line[mi] = r.line;
    } else if (f[0] == "group") {
      if (f.size() != 3 || f[1].empty()) return r.fail("group needs: group | Name | c64 or pc");
      if (f[1].size() > 24) return r.fail("group name longer than 24 characters");
      if (find_group(out, f[1]) >= 0) return r.fail("group '" + std::string(f[1]) + "' declared twice");
      int machine = machine_from_key(f[2]);
      if (machine < 0) return r.fail("unknown machine '" + std::string(f[2]) + "' (c64, pc)");
      out.groups.emplace_back(f[1]);
      out.group_machine.push_back(machine);
    } else if (f[0] == "release") {
      if (out.ballots.empty()) return r.fail("releases must come after the ballots lines");
      if (f.size() != 5 && f.size() != 6) return r.fail("release needs: release | YYYY-MM-DD | Group | kind | Title [| votes]");
      Release rel;
      rel.line = r.line;
      if (!to_date(f[1], true, rel.year, rel.month, rel.day))
        return r.fail("bad date '" + std::string(f[1]) + "' (want YYYY-MM-DD)");
      rel.group = find_group(out, f[2]);
      if (rel.group < 0) return r.fail("unknown group '" + std::string(f[2]) + "' (declare it with a group line)");
      rel.machine = out.group_machine[size_t(rel.group)];
      rel.kind = kind_from_key(f[3]);
      if (rel.kind < 0) return r.fail("unknown kind '" + std::string(f[3]) + "' (music, demo, intro, gfx, tool, game)");
      if (f[4].empty() || f[4].size() > 26) return r.fail("title must be 1..26 characters");
      if (titles.count(f[4])) return r.fail("title '" + std::string(f[4]) + "' used twice");
      titles.emplace(f[4]);
      rel.title = f[4];
      int released = month_index(rel.year, rel.month);
      rel.first_chart = released + (rel.day > chart_deadline_day ? 1 : 0);
      int first = out.ballots.begin()->first, last = out.ballots.rbegin()->first;
      if (released < first || released > last) return r.fail("release date outside the months that have ballots");
      if (f.size() == 6) {
        auto marks = split(f[5], ' ');
        if (int(marks.size()) > chart_window)
          return r.fail("more than " + std::to_string(chart_window) + " chart months");
        for (size_t i = 0; i < marks.size(); ++i) {
          if (marks[i] == "-") continue;
          size_t slash = marks[i].find('/');
          Vote v;
          v.month = rel.first_chart + int(i);
          if (slash == std::string_view::npos || !to_score(marks[i].substr(0, slash), v.score) ||
              !to_int(marks[i].substr(slash + 1), v.votes) || v.votes < 1)
            return r.fail("bad chart mark '" + std::string(marks[i]) + "' (want score/votes like 9.4/57, or -)");
          if (!out.ballots.count(v.month)) return r.fail("chart mark for a month without ballots");
          if (v.votes > out.counted(v.month)) return r.fail("more votes than counted ballots in that month");
          if (v.votes < min_votes)
            return r.fail("'" + std::string(marks[i]) + "': fewer than " + std::to_string(min_votes) +
                          " votes, which is no score (leave the month as -)");
          if (!score_possible(v.score, v.votes))
            return r.fail("'" + std::string(marks[i]) + "': no " + std::to_string(v.votes) +
                          " marks from 1 to 10 average to that score");
          rel.votes.push_back(v);
        }
        // A strong month followed, inside the window, by a month with few or no votes.
        int last_month = out.ballots.rbegin()->first;
        for (int i = 0; i + 1 < chart_window; ++i) {
          int month = rel.first_chart + i;
          if (month + 1 > last_month) break;
          int now = 0, next = 0;
          for (const Vote& v : rel.votes) {
            if (v.month == month) now = v.votes;
            if (v.month == month + 1) next = v.votes;
          }
          if (now >= strong_votes && next * kept_share_divisor < now)
            return r.fail(std::to_string(now) + " votes, then " + std::to_string(next) +
                          " the next month: a production keeps at least a quarter of its voters inside its window");
        }
      }
      out.releases.push_back(std::move(rel));
    } else {
      return r.fail("unknown record '" + std::string(f[0]) + "' (ballots, group, release)");
    }
  }
  r.line = 0;
  if (out.ballots.empty()) {
    error = std::string(file) + ": no ballots lines";
    return false;
  }
  out.first_month = out.ballots.begin()->first;
  out.last_month = out.ballots.rbegin()->first;
  // Every ballot marks at most max_marks_per_ballot productions.
  std::map<int, int> marks;
  for (const Release& rel : out.releases)
    for (const Vote& v : rel.votes) marks[v.month] += v.votes;
  for (auto [month, n] : marks) {
    int counted = out.counted(month), most = counted * max_marks_per_ballot;
    if (n > most) {
      r.line = ballots_line[month];
      return r.fail(std::to_string(n) + " votes on " + std::to_string(counted) + " counted ballots, more than the " +
                    std::to_string(most) + " that " + std::to_string(max_marks_per_ballot) + " marks a ballot allow");
    }
  }
  return true;
}

}  // namespace chartgen
