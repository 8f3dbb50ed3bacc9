// The whole program on a sound device that starts failing while the intro's tune
// plays: run as magcapture runs it (virtual backend, scripted keys), in a child
// process so that a hang shows as a timeout instead of stalling the tests.
// The reader must get one "Error" report, the intro must still hand over to the
// magazine and the magazine must still end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_flow.h"
#include "app/program.h"
#include "platform/random.h"
#include "platform/virtual.h"
#include "platform/wave_out.h"

namespace {

// Two struck Escapes: the intro at 4 s (its tune began at about 1.7 s), the
// magazine after the change's 3 s of flashes.
const char script[] = "wait 4\nkey escape\nwait 5\nkey escape\nwait 1\n";

// Read by the present observer in the child: from this virtual time on, these
// wave calls fail.
double fail_from_seconds = 0;
uint32_t failing_calls = 0;
int failure_code = wave_ok;
FILE* screens = nullptr;
const Program* watched = nullptr;

void on_present(uint64_t, double time_seconds) {
  if (failing_calls && time_seconds >= fail_from_seconds) {
    virtual_fail_wave_calls(failing_calls, failure_code);
    failing_calls = 0;
  }
  if (screens && watched) std::fprintf(screens, "%s\n", screen_name(watched->screen));
}

[[noreturn]] void end_child(int status) {
  std::fflush(stderr);
  if (screens) std::fclose(screens);
  _exit(status & 0xFF);
}

struct ChildRun {
  bool ended = false;   // false: killed by the time limit
  int status = -1;
  std::string error_output;
  std::vector<std::string> screens;   // in order, repeats collapsed
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ChildRun run_failing(const std::string& name, double from_seconds, uint32_t calls, int code) {
  const std::string base = ::testing::TempDir() + "failing_audio_" + name + "_" + std::to_string(getpid());
  const pid_t child = fork();
  if (child == 0) {
    const int err = open((base + ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, 2);
    alarm(600);   // a hang ends here, by SIGALRM (a sanitizer build is slow, but not this slow)
    screens = std::fopen((base + ".screens").c_str(), "w");
    fail_from_seconds = from_seconds;
    failing_calls = calls;
    failure_code = code;
    virtual_reset();
    std::string error;
    if (!virtual_load_script(script, &error)) end_child(100);
    random_set_salt(37);
    virtual_set_present_observer(on_present);
    virtual_set_run_end(end_child);
    auto program = std::make_unique<Program>();
    watched = program.get();
    end_child(run_magazine(*program));
  }
  ChildRun run;
  int raw = 0;
  waitpid(child, &raw, 0);
  run.ended = WIFEXITED(raw);
  run.status = run.ended ? WEXITSTATUS(raw) : -1;
  run.error_output = slurp(base + ".stderr");
  std::istringstream lines(slurp(base + ".screens"));
  for (std::string screen; std::getline(lines, screen);)
    if (run.screens.empty() || run.screens.back() != screen) run.screens.push_back(screen);
  return run;
}

int count_of(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

std::string error_text(int code) {
  char text[256] = {};
  wave_out_error_text(code, text, sizeof text);
  return text;
}

const std::vector<std::string> whole_run = {"release", "flash", "intro", "flash", "magazine"};

TEST(FailingAudio, BuffersFailingInTheIntroGiveOneReportAndTheRunGoesOn) {
  // From 2.5 s every buffer call fails, for both players, to the end of the run.
  const ChildRun run = run_failing("buffers", 2.5, virtual_wave_prepare | virtual_wave_unprepare | virtual_wave_write,
                                   wave_no_memory);
  ASSERT_TRUE(run.ended) << "the program hung";
  EXPECT_EQ(run.status, 0) << run.error_output;
  EXPECT_EQ(run.screens, whole_run);
  EXPECT_EQ(count_of(run.error_output, "Error: "), 1) << run.error_output;
  EXPECT_EQ(count_of(run.error_output, "Error: " + error_text(wave_no_memory) + "\n"), 1) << run.error_output;
}

TEST(FailingAudio, EveryWaveCallFailingFromTheStartStillEndsNormally) {
  // No device opens at all: both players stay silent, which is no buffer failure.
  const ChildRun run = run_failing("everything", 0, ~0u, wave_bad_device);
  ASSERT_TRUE(run.ended) << "the program hung";
  EXPECT_EQ(run.status, 0) << run.error_output;
  EXPECT_EQ(run.screens, whole_run);
  EXPECT_EQ(count_of(run.error_output, "Error: "), 0) << run.error_output;
}

TEST(FailingAudio, AHealthyDeviceReportsNothing) {
  const ChildRun run = run_failing("healthy", 0, 0, wave_ok);
  ASSERT_TRUE(run.ended) << "the program hung";
  EXPECT_EQ(run.status, 0) << run.error_output;
  EXPECT_EQ(run.screens, whole_run);
  EXPECT_EQ(run.error_output, "");
}

}  // namespace
