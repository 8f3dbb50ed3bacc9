// The generated parts of the stats pages. Each block writes whole page lines;
// the templates (template.h) say where they go.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tools/chartgen/register.h"

namespace chartgen {

inline constexpr std::array<std::string_view, 12> month_names = {
    "January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November", "December"};

// The colour each kind of production wears in tables and bars.
inline constexpr std::array<char, kind_count> kind_colour = {'G', 'D', 'M', 'J', 'P', '7'};

// A run of months: "2009", "2009-12" or "all" (the whole register).
struct Period {
  int first = 0, last = 0;
};
bool parse_period(const Register& reg, std::string_view text, Period& out);
std::string month_name(int month);  // "December 2009"

using Lines = std::vector<std::string>;

bool block_monthly_chart(const Register& reg, int month, Lines& out, std::string& error);
bool block_group_months(const Register& reg, int year, int group, Lines& out, std::string& error);  // group -1: all
// Group Release Stats (group_pages.cpp): the year's groups in three parts
// (charts, busy, few), the year month by month, the leading groups of each
// kind, the groups that went quiet, and an index of where each group stands.
bool block_group_pages(const Register& reg, int year, std::string_view part, Lines& out, std::string& error);
bool block_month_diary(const Register& reg, int year, Lines& out, std::string& error);
bool block_kind_leaders(const Register& reg, int year, Lines& out, std::string& error);
bool block_gone_quiet(const Register& reg, int year, Lines& out, std::string& error);
bool block_group_index(const Register& reg, int year, Lines& out, std::string& error);
bool block_production_chart(const Register& reg, Period p, int places, Lines& out, std::string& error);
bool block_group_chart(const Register& reg, Period p, int places, Lines& out, std::string& error);
bool block_kind_bars(const Register& reg, Period p, Lines& out, std::string& error);
bool block_month_bars(const Register& reg, int year, Lines& out, std::string& error);
bool block_years_table(const Register& reg, Lines& out, std::string& error);
bool block_group_years(const Register& reg, Lines& out, std::string& error);
bool block_records(const Register& reg, Lines& out, std::string& error);

}  // namespace chartgen
