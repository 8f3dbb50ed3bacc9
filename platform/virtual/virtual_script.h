#pragma once
// magcapture's input scripts: one command a line, '#' starts a comment.
//   wait S          let S seconds of virtual time pass
//   key NAME        strike: down now, up one frame later
//   hold NAME / release NAME
//   move X Y        pointer to frame pixel X, Y
//   button down / button up
//   click X Y       move, down now, up one frame later
//   wheel N         N notches, positive away from the user
//   shot NAME.png   save the next presented frame
//   quit            a close request that ends the run
// NAME: escape, f1..f12, up, down, left, right, pageup, pagedown, home, end.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

struct ScriptCommand {
  enum Kind { wait, strike, hold, release, move, button_down, button_up, click, wheel, shot, quit };
  Kind kind = wait;
  int64_t wait_ns = 0;
  int key = 0;
  int x = 0, y = 0;
  int notches = 0;
  std::string name;
};

struct ScriptRunner {
  std::vector<ScriptCommand> commands;
  bool is_loaded = false;
  size_t next = 0;
  int64_t wait_until_ns = -1;
  std::vector<std::string> pending_shots;
  // The "one frame later" halves: due at the second present from now, since the
  // present that ends the current pump belongs to the frame that saw the press.
  struct Later {
    ScriptCommand command;
    int presents_left;
  };
  std::vector<Later> later;
  bool quit = false;

  bool loaded() const { return is_loaded; }
};

using ScriptPost = void (*)(const WindowEvent& event);

bool script_parse(const std::string& text, ScriptRunner& runner, std::string* error);
// Runs commands until a wait that has not elapsed, posting input as it goes.
void script_run_until_blocked(ScriptRunner& runner, int64_t now_ns, ScriptPost post);
std::vector<std::string> script_take_shots(ScriptRunner& runner);
void script_after_present(ScriptRunner& runner, ScriptPost post);
bool script_finished(const ScriptRunner& runner);
bool script_quit_requested(const ScriptRunner& runner);
