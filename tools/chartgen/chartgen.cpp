// chartgen: writes the stats pages from the release register.
//
//   chartgen [--check] DATA_DIR PAGES_DIR
//
// Reads DATA_DIR/releases.txt and every template DATA_DIR/pageNN.tpl, and
// writes PAGES_DIR/pageNN.txt for each. With --check nothing is written: the
// pages on disk are compared with what the register gives, and the tool fails
// if any differs (the build and the tests use this to keep them in step).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/chartgen/register.h"
#include "tools/chartgen/template.h"

namespace fs = std::filesystem;

static bool read_file(const fs::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return !in.bad();
}

static int usage_error(const char* message) {
  std::fprintf(stderr, "chartgen: %s (try --help)\n", message);
  return 2;
}

int main(int argc, char** argv) {
  bool check = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      std::printf(
          "usage: chartgen [--check] DATA_DIR PAGES_DIR\n"
          "Writes PAGES_DIR/pageNN.txt from DATA_DIR/pageNN.tpl and the release register\n"
          "DATA_DIR/releases.txt (formats: DATA_DIR/README.md).\n"
          "  --check  write nothing; fail if a page on disk differs from the register\n");
      return 0;
    }
    if (!std::strcmp(argv[i], "--check"))
      check = true;
    else if (argv[i][0] == '-')
      return usage_error((std::string("unknown option ") + argv[i]).c_str());
    else
      args.emplace_back(argv[i]);
  }
  if (args.size() != 2) return usage_error("expected DATA_DIR and PAGES_DIR");
  fs::path data = args[0], pages = args[1];

  std::string text, error;
  fs::path reg_path = data / "releases.txt";
  if (!read_file(reg_path, text)) {
    std::fprintf(stderr, "chartgen: cannot read %s\n", reg_path.c_str());
    return 1;
  }
  chartgen::Register reg;
  if (!chartgen::parse_register(text, reg_path.string(), reg, error)) {
    std::fprintf(stderr, "chartgen: %s\n", error.c_str());
    return 1;
  }
  if (!fs::is_directory(pages)) {
    std::fprintf(stderr, "chartgen: %s is not a directory\n", pages.c_str());
    return 1;
  }

  int done = 0, differ = 0;
  for (int n = 1; n <= 20; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "page%02d", n);
    fs::path tpl = data / (std::string(name) + ".tpl");
    if (!fs::exists(tpl)) continue;
    std::string tpl_text;
    std::vector<std::string> lines;
    if (!read_file(tpl, tpl_text)) {
      std::fprintf(stderr, "chartgen: cannot read %s\n", tpl.c_str());
      return 1;
    }
    if (!chartgen::expand_template(tpl_text, tpl.string(), reg, lines, error)) {
      std::fprintf(stderr, "chartgen: %s\n", error.c_str());
      return 1;
    }
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
    if (!f) {
      std::fprintf(stderr, "chartgen: cannot write %s\n", out.c_str());
      return 1;
    }
    std::printf("%s: %zu lines (page of %zu)\n", out.c_str(), lines.size(), lines.size() + 1);
  }
  if (done == 0) {
    std::fprintf(stderr, "chartgen: no pageNN.tpl in %s\n", data.c_str());
    return 1;
  }
  if (check) {
    if (differ) return 1;
    std::printf("chartgen: %d pages agree with %s\n", done, reg_path.c_str());
  }
  return 0;
}
