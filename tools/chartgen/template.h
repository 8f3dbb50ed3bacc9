// Page templates: ordinary page markup (assets/FORMAT.md) in which
//   a line "@name args"   is replaced by a generated block (see blocks.h),
//   "$(name args)"        inside a line is replaced by a number or name,
//   a line "@# ..."       is a comment and "@@" at a line's start a literal "@",
//   "$$"                  is a literal "$".
// Every line that comes out is checked against the 80 visible columns.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tools/chartgen/register.h"

namespace chartgen {

// Visible columns of a line of page markup.
int markup_width(std::string_view line);

bool expand_template(std::string_view text, std::string_view file, const Register& reg, std::vector<std::string>& lines,
                     std::string& error);

// The page file for the lines: each line ends with a newline.
std::string page_text(const std::vector<std::string>& lines);

}  // namespace chartgen
