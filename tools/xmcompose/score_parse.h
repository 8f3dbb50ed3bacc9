// Reads a score file (see assets/modules/README.md) into a Song, synthesising
// its instruments. Errors come back as one line "file:line: message".
#pragma once
#include <string>

#include "score.h"

namespace xmc {

bool parse_score(const std::string& text, const std::string& file_name, Song& song, std::string& error);
bool load_score(const std::string& path, Song& song, std::string& error);

}  // namespace xmc
