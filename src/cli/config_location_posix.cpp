#include <cstdlib>

#include "cli/config_location.h"

namespace zelka::cli {

namespace {

constexpr char kSystemFile[] = "/etc/zelka/zelka.conf";
constexpr char kUserFile[] = "/zelka/zelka.conf";

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::vector<std::string> ConfigFilePaths() {
  std::vector<std::string> paths = {kSystemFile};
  // By the XDG base directory rules a relative XDG_CONFIG_HOME is ignored.
  std::string base = Variable("XDG_CONFIG_HOME");
  if (base.empty() || base.front() != '/') {
    const std::string home = Variable("HOME");
    base = home.empty() ? "" : home + "/.config";
  }
  if (!base.empty()) paths.push_back(base + kUserFile);
  return paths;
}

}  // namespace zelka::cli
