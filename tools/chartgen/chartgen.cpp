// chartgen: writes the stats pages from the release register.
//
//   chartgen [--check] DATA_DIR PAGES_DIR
//
// Reads DATA_DIR/releases.txt and every template DATA_DIR/pageNN.tpl, and
// writes PAGES_DIR/pageNN.txt for each. With --check nothing is written: the
// pages on disk are compared with what the register gives, and the tool fails
// if any differs (the build and the tests use this to keep them in step).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/chartgen/register.h"
#include "tools/chartgen/template.h"
#include "tools/common/tool_args.h"

namespace fs = std::filesystem;

namespace {

bool read_file(const fs::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "chartgen";
  if (args_want_help(argc, argv)) {
    std::printf(
        "usage: chartgen [--check] DATA_DIR PAGES_DIR\n"
        "Writes PAGES_DIR/pageNN.txt from DATA_DIR/pageNN.tpl and the release register\n"
        "DATA_DIR/releases.txt (formats: DATA_DIR/README.md).\n"
        "  --check  write nothing; fail if a page on disk differs from the register\n");
    return exit_ok;
  }
  bool check = false;
  ToolArgs reader{program, argc, argv};
  std::vector<std::string> args;
  while (args_next(reader)) {
    if (args_is(reader, "--check"))
      check = true;
    else if (args_is_option(reader))
      return args_unknown(reader);
    else
      args.emplace_back(reader.current);
  }
  if (args.size() != 2) return tool_usage_error(program, "expected DATA_DIR and PAGES_DIR");
  fs::path data = args[0], pages = args[1];

  std::string text, error;
  fs::path reg_path = data / "releases.txt";
  if (!read_file(reg_path, text)) return tool_error(program, "cannot read " + reg_path.string());
  chartgen::Register reg;
  if (!chartgen::parse_register(text, reg_path.string(), reg, error)) return tool_error(program, error);
  if (!fs::is_directory(pages)) return tool_error(program, pages.string() + " is not a directory");

  int done = 0, differ = 0;
  for (int n = 1; n <= 20; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "page%02d", n);
    fs::path tpl = data / (std::string(name) + ".tpl");
    if (!fs::exists(tpl)) continue;
    std::string tpl_text;
    std::vector<std::string> lines;
    if (!read_file(tpl, tpl_text)) return tool_error(program, "cannot read " + tpl.string());
    if (!chartgen::expand_template(tpl_text, tpl.string(), reg, lines, error)) return tool_error(program, error);
    std::string page = chartgen::page_text(lines);
    fs::path out = pages / (std::string(name) + ".txt");
    ++done;
    if (check) {
      std::string old;
      if (!read_file(out, old) || old != page) {
        std::fprintf(stderr, "chartgen: %s differs from %s (run chartgen %s %s)\n", out.c_str(), tpl.c_str(),
                     data.c_str(), pages.c_str());
        ++differ;
      }
      continue;
    }
    std::ofstream f(out, std::ios::binary);
    f << page;
    f.close();
    if (!f) return tool_error(program, "cannot write " + out.string());
    std::printf("%s: %zu lines (page of %zu)\n", out.c_str(), lines.size(), lines.size() + 1);
  }
  if (done == 0) return tool_error(program, "no pageNN.tpl in " + data.string());
  if (check) {
    if (differ) return exit_failure;
    std::printf("chartgen: %d pages agree with %s\n", done, reg_path.c_str());
  }
  return exit_ok;
}
