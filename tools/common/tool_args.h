#pragma once
// The command line of every tool: one reader for options and their values, one
// form for messages ("program: what went wrong") and one set of exit statuses.
//
//   ToolArgs args{"xmrender", argc, argv};
//   while (args_next(args)) {
//     if (args_is(args, "-o")) out = args_text(args);
//     else if (args_is(args, "--seconds")) seconds = args_number(args, 0.001, 3600);
//     else if (args_is_option(args)) return args_unknown(args);
//     else in = args.current;
//   }
//   if (args.failed) return exit_usage;
//
// A bad value prints its message at once and sets `failed`; the loop may carry on
// (later reads return defaults) and the caller returns exit_usage at the end.
#include <cstdint>
#include <string>
#include <vector>

constexpr int exit_ok = 0;
constexpr int exit_failure = 1;   // the work itself failed: unreadable input, bad data, a write error
constexpr int exit_usage = 2;     // the command line was wrong; nothing was done

struct ToolArgs {
  const char* program;
  int argc;
  char** argv;
  int index = 0;
  const char* current = nullptr;   // the argument args_next just took
  bool failed = false;
};

// True when --help or -h appears anywhere (before anything else is checked).
bool args_want_help(int argc, char** argv);

bool args_next(ToolArgs& args);
bool args_is(const ToolArgs& args, const char* option);
bool args_is_option(const ToolArgs& args);   // starts with '-' and is not "-" alone

// The option's value: the next argument. Missing: a message, `failed`, and "".
const char* args_text(ToolArgs& args);
// Whole-string integers and decimals within [low, high]; anything else fails.
long args_integer(ToolArgs& args, long low, long high);
double args_number(ToolArgs& args, double low, double high);
// A comma-separated list of integers within [low, high], e.g. "1,3,4"; at least one.
std::vector<int> args_integer_list(ToolArgs& args, int low, int high);

// Prints "program: unknown option X (try --help)"; returns exit_usage.
int args_unknown(ToolArgs& args);
// Prints "program: message" (and "(try --help)" for usage); returns the status.
int tool_usage_error(const char* program, const std::string& message);
int tool_error(const char* program, const std::string& message);

// The parsers behind the readers, for values that come from elsewhere.
bool parse_integer(const char* text, long low, long high, long* value);
bool parse_number(const char* text, double low, double high, double* value);
