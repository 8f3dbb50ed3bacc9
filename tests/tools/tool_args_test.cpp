// The tools' command-line reader: values are whole strings within their range,
// the first problem is reported once as "program: ...", and usage errors exit 2.
#include "tools/common/tool_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Owns the argument strings for a ToolArgs.
struct CommandLine {
  std::vector<std::string> words;
  std::vector<char*> pointers;
  explicit CommandLine(std::vector<std::string> w) : words(std::move(w)) {
    for (std::string& word : words) pointers.push_back(word.data());
  }
  ToolArgs args() { return ToolArgs{"tool", int(pointers.size()), pointers.data()}; }
};

TEST(ToolArgs, ReadsOptionsValuesAndPositionalsInOrder) {
  CommandLine line({"tool", "in.xm", "-o", "out.wav", "--seconds", "2.5", "--song", "3", "--mute", "1,3"});
  ToolArgs args = line.args();
  std::string in, out;
  double seconds = 0;
  long song = 0;
  std::vector<int> mute;
  while (args_next(args)) {
    if (args_is(args, "-o")) out = args_text(args);
    else if (args_is(args, "--seconds")) seconds = args_number(args, 0.001, 3600);
    else if (args_is(args, "--song")) song = args_integer(args, 1, 16);
    else if (args_is(args, "--mute")) mute = args_integer_list(args, 1, 32);
    else if (args_is_option(args)) FAIL() << "unexpected option " << args.current;
    else in = args.current;
  }
  EXPECT_FALSE(args.failed);
  EXPECT_EQ(in, "in.xm");
  EXPECT_EQ(out, "out.wav");
  EXPECT_DOUBLE_EQ(seconds, 2.5);
  EXPECT_EQ(song, 3);
  EXPECT_EQ(mute, (std::vector<int>{1, 3}));
}

TEST(ToolArgs, RefusesNumbersThatAreNotWholeOrOutOfRange) {
  long integer = 0;
  double number = 0;
  EXPECT_FALSE(parse_integer("7x", 0, 10, &integer));
  EXPECT_FALSE(parse_integer("", 0, 10, &integer));
  EXPECT_FALSE(parse_integer("-3", 0, 10, &integer));
  EXPECT_FALSE(parse_integer("11", 0, 10, &integer));
  EXPECT_FALSE(parse_integer("99999999999999999999999", 0, 10, &integer));
  EXPECT_TRUE(parse_integer("10", 0, 10, &integer));
  EXPECT_EQ(integer, 10);
  EXPECT_FALSE(parse_number("nan", 0, 10, &number));
  EXPECT_FALSE(parse_number("inf", 0, 1e9, &number));
  EXPECT_FALSE(parse_number("1e", 0, 10, &number));
  EXPECT_TRUE(parse_number("1e1", 0, 10, &number));
  EXPECT_DOUBLE_EQ(number, 10);
}

TEST(ToolArgs, ABadValueIsReportedOnceWithTheProgramName) {
  CommandLine line({"tool", "--skin", "9", "--frames", "-3", "--mute", "1,,2"});
  ToolArgs args = line.args();
  testing::internal::CaptureStderr();
  while (args_next(args)) {
    if (args_is(args, "--skin")) {
      args_integer(args, 1, 2);
    } else if (args_is(args, "--frames")) {
      args_integer(args, 1, 1000);
    } else if (args_is(args, "--mute")) {
      EXPECT_TRUE(args_integer_list(args, 1, 32).empty());
    }
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(args.failed);
  EXPECT_EQ(said, "tool: --skin wants a whole number from 1 to 2, not '9' (try --help)\n");
}

TEST(ToolArgs, AMissingValueAndAnUnknownOptionAreUsageErrors) {
  CommandLine line({"tool", "--bogus", "-o"});
  ToolArgs args = line.args();
  testing::internal::CaptureStderr();
  ASSERT_TRUE(args_next(args));
  EXPECT_TRUE(args_is_option(args));
  EXPECT_EQ(args_unknown(args), exit_usage);
  ASSERT_TRUE(args_next(args));
  EXPECT_STREQ(args_text(args), "");
  EXPECT_FALSE(args_next(args));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "tool: unknown option --bogus (try --help)\n");
  EXPECT_TRUE(args.failed);
}

TEST(ToolArgs, HelpIsFoundAnywhereAndADashAloneIsNoOption) {
  CommandLine with_help({"tool", "a", "-h", "b"});
  EXPECT_TRUE(args_want_help(int(with_help.pointers.size()), with_help.pointers.data()));
  CommandLine dash({"tool", "-"});
  EXPECT_FALSE(args_want_help(int(dash.pointers.size()), dash.pointers.data()));
  ToolArgs args = dash.args();
  ASSERT_TRUE(args_next(args));
  EXPECT_FALSE(args_is_option(args));
}

}  // namespace
