// Where zelka looks for its configuration files on this system.
#pragma once

#include <string>
#include <vector>

namespace zelka::cli {

// The files in the order they are read, the one read last winning: the system's file,
// then the user's. Paths of files that need not exist.
std::vector<std::string> ConfigFilePaths();

}  // namespace zelka::cli
