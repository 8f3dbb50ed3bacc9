#include "tools/common/tool_args.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool parse_integer(const char* text, long low, long high, long* value) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno == ERANGE || *end || end == text || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool parse_number(const char* text, double low, double high, double* value) {
  if (!text || !*text) return false;
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  if (*end || end == text || !std::isfinite(parsed) || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool args_want_help(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) return true;
  return false;
}

bool args_next(ToolArgs& args) {
  if (args.index + 1 >= args.argc) return false;
  args.current = args.argv[++args.index];
  return true;
}

bool args_is(const ToolArgs& args, const char* option) { return args.current && !std::strcmp(args.current, option); }

bool args_is_option(const ToolArgs& args) {
  return args.current && args.current[0] == '-' && args.current[1] != '\0';
}

int tool_usage_error(const char* program, const std::string& message) {
  std::fprintf(stderr, "%s: %s (try --help)\n", program, message.c_str());
  return exit_usage;
}

int tool_error(const char* program, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program, message.c_str());
  return exit_failure;
}

namespace {

// Reports a bad or missing value once per run: the first problem is the one to fix.
void value_problem(ToolArgs& args, const char* option, const std::string& wanted, const char* given) {
  if (!args.failed) {
    if (given)
      tool_usage_error(args.program, std::string(option) + " wants " + wanted + ", not '" + given + "'");
    else
      tool_usage_error(args.program, std::string(option) + " needs " + wanted);
  }
  args.failed = true;
}

const char* take_value(ToolArgs& args) {
  if (args.index + 1 >= args.argc) return nullptr;
  return args.argv[++args.index];
}

}  // namespace

const char* args_text(ToolArgs& args) {
  const char* option = args.current ? args.current : "?";
  const char* value = take_value(args);
  if (!value) {
    value_problem(args, option, "a value", nullptr);
    return "";
  }
  return value;
}

long args_integer(ToolArgs& args, long low, long high) {
  const char* option = args.current ? args.current : "?";
  const char* text = take_value(args);
  long value = low;
  if (!parse_integer(text, low, high, &value)) {
    value_problem(args, option, "a whole number from " + std::to_string(low) + " to " + std::to_string(high), text);
    return low;
  }
  return value;
}

double args_number(ToolArgs& args, double low, double high) {
  const char* option = args.current ? args.current : "?";
  const char* text = take_value(args);
  double value = low;
  if (!parse_number(text, low, high, &value)) {
    char range[96];
    std::snprintf(range, sizeof range, "a number from %g to %g", low, high);
    value_problem(args, option, range, text);
    return low;
  }
  return value;
}

std::vector<int> args_integer_list(ToolArgs& args, int low, int high) {
  const char* option = args.current ? args.current : "?";
  const char* text = take_value(args);
  const std::string wanted = "a comma-separated list of numbers from " + std::to_string(low) + " to " + std::to_string(high);
  std::vector<int> list;
  if (!text) {
    value_problem(args, option, wanted, nullptr);
    return list;
  }
  std::string item;
  const std::string all = std::string(text) + ",";
  for (char c : all) {
    if (c != ',') {
      item += c;
      continue;
    }
    long value = 0;
    if (!parse_integer(item.c_str(), low, high, &value)) {
      value_problem(args, option, wanted, text);
      return {};
    }
    list.push_back(int(value));
    item.clear();
  }
  return list;
}

int args_unknown(ToolArgs& args) {
  args.failed = true;
  return tool_usage_error(args.program, std::string("unknown option ") + (args.current ? args.current : "?"));
}
