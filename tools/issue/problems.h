#pragma once
// What the content checks find: one problem per line, printed as file:line: message.
#include <string>
#include <vector>

struct Problem {
  std::string file;
  int line = 1;
  std::string message;
};
using Problems = std::vector<Problem>;

inline std::string problem_text(const Problem& p) { return p.file + ":" + std::to_string(p.line) + ": " + p.message; }
