// The real program on the SDL backend without a desktop: with no display it
// ends at once with status 255 and says why in one line; on SDL's off-screen
// driver, asked for by name, it runs until SIGTERM or SIGHUP ends it with 0.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <glob.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Child {
  pid_t pid = -1;
  int stderr_fd = -1;
};

// The magazine with this process's environment minus every display variable,
// plus `extra`, its stderr on a pipe, and the quit signals at their defaults.
Child start_magazine(const std::vector<std::string>& extra) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    std::string variable = *entry;
    bool drop = false;
    for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "WAYLAND_SOCKET=", "SDL_VIDEODRIVER=", "SDL_AUDIODRIVER="})
      drop = drop || variable.rfind(name, 0) == 0;
    if (!drop) variables.push_back(variable);
  }
  variables.push_back("SDL_AUDIODRIVER=dummy");
  for (const std::string& variable : extra) variables.push_back(variable);
  std::vector<char*> env;
  for (std::string& variable : variables) env.push_back(variable.data());
  env.push_back(nullptr);

  int pipe_fds[2];
  EXPECT_EQ(pipe(pipe_fds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, number);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  std::string program = std::string(MAG_BINARY_DIR) + "/magazine";
  char* argv[] = {program.data(), nullptr};
  Child child;
  EXPECT_EQ(posix_spawn(&child.pid, program.c_str(), &actions, &attributes, argv, env.data()), 0) << program;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipe_fds[1]);
  child.stderr_fd = pipe_fds[0];
  return child;
}

// The exit status within `limit`, or -1 (the child is then killed).
int wait_for_exit(Child& child, std::chrono::milliseconds limit) {
  auto until = Clock::now() + limit;
  int status = 0;
  while (Clock::now() < until) {
    if (waitpid(child.pid, &status, WNOHANG) == child.pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    std::this_thread::sleep_for(5ms);
  }
  kill(child.pid, SIGKILL);
  waitpid(child.pid, &status, 0);
  return -1;
}

std::string read_all(int fd) {
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(got));
  close(fd);
  return text;
}

// Where a console display exists, SDL could really open one (KMSDRM).
bool console_display_present() {
  glob_t found{};
  bool any = glob("/dev/dri/card*", 0, nullptr, &found) == 0 && found.gl_pathc > 0;
  globfree(&found);
  return any;
}

TEST(SdlProgram, WithoutADisplayItEndsAtOnceWith255AndOneLineSayingWhy) {
  if (console_display_present()) GTEST_SKIP() << "this machine has a console display SDL could open";
  Child child = start_magazine({});
  EXPECT_EQ(wait_for_exit(child, 2000ms), 255);
  std::string said = read_all(child.stderr_fd);
  EXPECT_NE(said.find("magazine: no display could be opened: "), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "not one line: " << said;
}

TEST(SdlProgram, QuitSignalsEndItWithStatusZero) {
  for (int number : {SIGTERM, SIGHUP, SIGINT}) {
    Child child = start_magazine({"SDL_VIDEODRIVER=offscreen"});
    std::this_thread::sleep_for(1500ms);   // well into the noise flashes and the intro
    ASSERT_EQ(waitpid(child.pid, nullptr, WNOHANG), 0) << "it ended by itself: " << read_all(child.stderr_fd);
    kill(child.pid, number);
    // Within a frame or so; the limit is generous for loaded and sanitized runs
    // (scripts/ci-extra/xvfb-smoke.sh holds the real program to a second).
    EXPECT_EQ(wait_for_exit(child, 5000ms), 0) << "signal " << number;
    read_all(child.stderr_fd);
  }
}

}  // namespace
