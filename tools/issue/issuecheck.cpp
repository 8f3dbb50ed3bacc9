// issuecheck [ASSETS_DIR]: checks the whole issue (pages, texts.txt, pictures,
// tunes, modules) and prints each problem as file:line: message.
#include <cstdio>
#include <cstring>

#include "tools/issue/issue_source.h"

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: issuecheck [ASSETS_DIR]\n"
                "Checks every content file of the issue (default: %s/assets) and prints\n"
                "each problem as file:line: message. Exits 1 when there is any.\n",
                MAG_SOURCE_DIR);
    return 0;
  }
  if (argc > 2) {
    std::fprintf(stderr, "issuecheck: expected at most one argument, the assets folder (try --help)\n");
    return 2;
  }
  std::string dir = argc == 2 ? argv[1] : std::string(MAG_SOURCE_DIR) + "/assets";
  IssueSource issue;
  Problems problems;
  read_issue(dir, issue, problems);
  for (const Problem& p : problems) std::printf("%s\n", problem_text(p).c_str());
  std::fflush(stdout);
  if (!problems.empty()) {
    std::fprintf(stderr, "issuecheck: %zu problem%s in %s\n", problems.size(), problems.size() == 1 ? "" : "s", dir.c_str());
    return 1;
  }
  std::printf("issuecheck: %d files of %s, no problems\n", issue.files_read, dir.c_str());
  return 0;
}
