// The help: the whole program's, a group's ("zelka set --help") and a command's.
#pragma once

#include <string>

namespace zelka::cli {

// `topic`: "" for the program, a group ("set") or a command's words ("set density").
std::string HelpText(const std::string& topic);
// The usage lines of `topic` (or of every command for ""), for a usage error.
std::string UsageText(const std::string& topic);

}  // namespace zelka::cli
