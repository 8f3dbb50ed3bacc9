// issuecheck [ASSETS_DIR]: checks the whole issue (pages, texts.txt, pictures,
// tunes, modules) and prints each problem as file:line: message.
#include <cstdio>
#include <string>

#include "tools/common/tool_args.h"
#include "tools/issue/issue_source.h"

namespace {

const char* const program = "issuecheck";

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::printf("usage: issuecheck [ASSETS_DIR]\n"
                "Checks every content file of the issue (default: %s/assets) and prints\n"
                "each problem as file:line: message. Exits 1 when there is any.\n",
                MAG_SOURCE_DIR);
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  std::string dir = std::string(MAG_SOURCE_DIR) + "/assets";
  int folders = 0;
  while (args_next(args)) {
    if (args_is_option(args)) return args_unknown(args);
    dir = args.current;
    ++folders;
  }
  if (folders > 1) return tool_usage_error(program, "expected at most one argument, the ASSETS_DIR folder");
  if (std::string problem = issue_folder_problem(dir); !problem.empty()) return tool_error(program, problem);
  IssueSource issue;
  Problems problems;
  read_issue(dir, issue, problems);
  for (const Problem& p : problems) std::printf("%s\n", problem_text(p).c_str());
  std::fflush(stdout);
  if (!problems.empty())
    return tool_error(program,
                      std::to_string(problems.size()) + (problems.size() == 1 ? " problem in " : " problems in ") + dir);
  std::printf("issuecheck: %d files of %s, no problems\n", issue.files_read, dir.c_str());
  return exit_ok;
}
