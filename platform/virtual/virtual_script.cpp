// Parsing and running magcapture's input scripts.
#include "platform/virtual/virtual_script.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "platform/keys.h"

namespace {

struct KeyName {
  const char* name;
  int key;
};

constexpr KeyName key_names[] = {
    {"escape", vk_escape}, {"up", vk_up},     {"down", vk_down},         {"left", vk_left},
    {"right", vk_right},   {"pageup", vk_page_up}, {"pagedown", vk_page_down}, {"home", vk_home},
    {"end", vk_end},       {"f1", 0x70},      {"f2", 0x71},              {"f3", 0x72},
    {"f4", 0x73},          {"f5", 0x74},      {"f6", 0x75},              {"f7", 0x76},
    {"f8", 0x77},          {"f9", 0x78},      {"f10", 0x79},             {"f11", 0x7A},
    {"f12", 0x7B},
};

int key_of(const std::string& name) {
  for (const KeyName& entry : key_names)
    if (name == entry.name) return entry.key;
  return 0;
}

bool parse_int(const std::string& text, int* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < -1000000 || v > 1000000) return false;
  *value = int(v);
  return true;
}

WindowEvent event_of(WindowEvent::Kind kind) {
  WindowEvent event;
  event.kind = kind;
  return event;
}

void post_move(ScriptPost post, int x, int y) {
  WindowEvent event = event_of(WindowEvent::mouse_move);
  event.x = x;
  event.y = y;
  post(event);
}

void strike_down(int key, ScriptPost post) {
  keys_note_down(key);
  WindowEvent event = event_of(WindowEvent::key_down);
  event.key = key;
  post(event);
}

}  // namespace

bool script_parse(const std::string& text, ScriptRunner& runner, std::string* error) {
  runner = ScriptRunner{};
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& message) {
    *error = "line " + std::to_string(number) + ": " + message;
    runner = ScriptRunner{};
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    ScriptCommand command;
    const std::string& verb = w[0];
    auto expect = [&](size_t count) { return w.size() == count; };
    if (verb == "wait") {
      char* end = nullptr;
      double seconds = expect(2) ? std::strtod(w[1].c_str(), &end) : -1;
      if (!expect(2) || *end != '\0' || !(seconds >= 0) || seconds > 86400) return fail("wait needs seconds (0..86400)");
      command.kind = ScriptCommand::wait;
      command.wait_ns = int64_t(std::llround(seconds * 1e9));
    } else if (verb == "key" || verb == "hold" || verb == "release") {
      if (!expect(2) || !key_of(w[1])) return fail(verb + " needs a key name (escape, f1..f12, up, down, left, right, pageup, pagedown, home, end)");
      command.kind = verb == "key" ? ScriptCommand::strike : verb == "hold" ? ScriptCommand::hold : ScriptCommand::release;
      command.key = key_of(w[1]);
    } else if (verb == "move" || verb == "click") {
      if (!expect(3) || !parse_int(w[1], &command.x) || !parse_int(w[2], &command.y) || command.x < 0 ||
          command.y < 0 || command.x > 799 || command.y > 599)
        return fail(verb + " needs X Y inside the 800 x 600 frame");
      command.kind = verb == "move" ? ScriptCommand::move : ScriptCommand::click;
    } else if (verb == "button") {
      if (!expect(2) || (w[1] != "down" && w[1] != "up")) return fail("button needs down or up");
      command.kind = w[1] == "down" ? ScriptCommand::button_down : ScriptCommand::button_up;
    } else if (verb == "wheel") {
      if (!expect(2) || !parse_int(w[1], &command.notches) || command.notches == 0 || std::abs(command.notches) > 1000)
        return fail("wheel needs a non-zero number of notches");
      command.kind = ScriptCommand::wheel;
    } else if (verb == "shot") {
      if (!expect(2) || w[1].size() < 5 || w[1].substr(w[1].size() - 4) != ".png" ||
          w[1].find('/') != std::string::npos)
        return fail("shot needs a file name NAME.png");
      command.kind = ScriptCommand::shot;
      command.name = w[1];
    } else if (verb == "quit") {
      if (!expect(1)) return fail("quit takes nothing");
      command.kind = ScriptCommand::quit;
    } else {
      return fail("unknown command '" + verb + "'");
    }
    runner.commands.push_back(command);
  }
  runner.is_loaded = true;
  return true;
}

void script_run_until_blocked(ScriptRunner& runner, int64_t now_ns, ScriptPost post) {
  while (runner.next < runner.commands.size() && !runner.quit) {
    const ScriptCommand& command = runner.commands[runner.next];
    switch (command.kind) {
      case ScriptCommand::wait:
        if (runner.wait_until_ns < 0) runner.wait_until_ns = now_ns + command.wait_ns;
        if (now_ns < runner.wait_until_ns) return;
        runner.wait_until_ns = -1;
        break;
      case ScriptCommand::strike:
        strike_down(command.key, post);
        runner.later.push_back({command, 2});
        break;
      case ScriptCommand::hold:
        strike_down(command.key, post);
        break;
      case ScriptCommand::release:
        keys_note_up(command.key);
        break;
      case ScriptCommand::move:
        post_move(post, command.x, command.y);
        break;
      case ScriptCommand::button_down:
        post(event_of(WindowEvent::left_down));
        break;
      case ScriptCommand::button_up:
        post(event_of(WindowEvent::left_up));
        break;
      case ScriptCommand::click:
        post_move(post, command.x, command.y);
        post(event_of(WindowEvent::left_down));
        runner.later.push_back({command, 2});
        break;
      case ScriptCommand::wheel:
        for (int i = 0; i < std::abs(command.notches); ++i) {
          WindowEvent event = event_of(WindowEvent::wheel);
          event.wheel_delta = command.notches > 0 ? 1 : -1;
          post(event);
        }
        break;
      case ScriptCommand::shot:
        runner.pending_shots.push_back(command.name);
        break;
      case ScriptCommand::quit:
        post(event_of(WindowEvent::close_request));
        runner.quit = true;
        break;
    }
    runner.next += 1;
  }
}

std::vector<std::string> script_take_shots(ScriptRunner& runner) {
  std::vector<std::string> shots;
  shots.swap(runner.pending_shots);
  return shots;
}

void script_after_present(ScriptRunner& runner, ScriptPost post) {
  std::vector<ScriptRunner::Later> still_waiting;
  for (ScriptRunner::Later& item : runner.later) {
    if (--item.presents_left > 0) {
      still_waiting.push_back(item);
      continue;
    }
    if (item.command.kind == ScriptCommand::strike) keys_note_up(item.command.key);
    if (item.command.kind == ScriptCommand::click) post(event_of(WindowEvent::left_up));
  }
  runner.later.swap(still_waiting);
}

bool script_finished(const ScriptRunner& runner) {
  return runner.is_loaded && !runner.quit && runner.next >= runner.commands.size() && runner.pending_shots.empty() &&
         runner.later.empty();
}

bool script_quit_requested(const ScriptRunner& runner) { return runner.quit; }
