// zelka's configuration files: defaults for the options a user types every time (port,
// baud, json, paper), as lines "key = value" with # comments.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelka::cli {

// Where a configured value was written.
struct ConfigValue {
  std::string value;  // checked: a port name, a printer rate, "true"/"false", "80"/"57"
  std::string file;
  int line = 0;
};

struct ConfigFile {
  std::optional<ConfigValue> port;
  std::optional<ConfigValue> baud;
  std::optional<ConfigValue> json;
  std::optional<ConfigValue> paper;
  // Every file looked for, in the order read, and whether it was there.
  struct Looked {
    std::string path;
    bool found = false;
  };
  std::vector<Looked> files;
};

// A configuration file larger than this is no configuration file.
inline constexpr std::size_t kConfigFileLimit = 64 * 1024;

// Reads `text`, the file `path`, over what `config` holds: a key given here replaces the
// value of an earlier file. An error ("PATH:LINE: KEY: what is wrong") for the first bad
// line: an unknown key, a bad value, a key given twice, a line that is no "key = value".
std::optional<std::string> ParseConfigText(const std::string& text, const std::string& path,
                                           ConfigFile& config);

// Reads the files of `paths` in order; a missing file is skipped, one that cannot be read
// (a directory, no permission, too large) is an error naming it.
std::optional<std::string> ReadConfigFiles(const std::vector<std::string>& paths, ConfigFile& config);

}  // namespace zelka::cli
