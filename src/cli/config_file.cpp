#include "cli/config_file.h"

#include <map>

#include "files/regular_file.h"
#include "service/printer_settings.h"

namespace zelka::cli {

namespace {

constexpr char kBlanks[] = " \t\r";

std::string Trimmed(const std::string& text) {
  const std::size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

// A comment starts with # at the start of a line or after a blank.
std::string WithoutComment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

// "" when `value` suits `key`, else what it must be.
std::string ValueProblem(const std::string& key, const std::string& value) {
  if (key == "port") return value.empty() ? "needs a port name" : "";
  if (key == "baud") {
    for (int rate : service::kPrinterRates) {
      if (value == std::to_string(rate)) return {};
    }
    return "must be 9600, 19200, 57600 or 115200";
  }
  if (key == "json") return value == "true" || value == "false" ? "" : "must be true or false";
  if (key == "paper") return value == "80" || value == "57" ? "" : "must be 80 or 57";
  return {};
}

std::optional<ConfigValue>* Slot(ConfigFile& config, const std::string& key) {
  if (key == "port") return &config.port;
  if (key == "baud") return &config.baud;
  if (key == "json") return &config.json;
  if (key == "paper") return &config.paper;
  return nullptr;
}

}  // namespace

std::optional<std::string> ParseConfigText(const std::string& text, const std::string& path,
                                           ConfigFile& config) {
  std::map<std::string, int> seen;  // key -> line, in this file
  ConfigFile parsed = config;
  int number = 0;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(WithoutComment(text.substr(begin, end - begin)));
    begin = end + 1;
    ++number;
    if (line.empty()) continue;
    const std::string where = path + ":" + std::to_string(number) + ": ";
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return where + "expected \"key = value\", not \"" + line + "\"";
    const std::string key = Trimmed(line.substr(0, equals));
    const std::string value = Trimmed(line.substr(equals + 1));
    std::optional<ConfigValue>* slot = Slot(parsed, key);
    if (!slot) return where + "unknown key \"" + key + "\"; the keys are port, baud, json and paper";
    if (const auto [it, first] = seen.emplace(key, number); !first) {
      return where + key + ": given twice (first on line " + std::to_string(it->second) + ")";
    }
    if (const std::string problem = ValueProblem(key, value); !problem.empty()) {
      return where + key + ": " + problem + ", not \"" + value + "\"";
    }
    *slot = ConfigValue{value, path, number};
  }
  config = std::move(parsed);
  return std::nullopt;
}

std::optional<std::string> ReadConfigFiles(const std::vector<std::string>& paths, ConfigFile& config) {
  for (const std::string& path : paths) {
    files::RegularFile file;
    const files::FileError error = file.Open(path);
    config.files.push_back({path, error != files::FileError::kDoesNotExist});
    if (error == files::FileError::kDoesNotExist) continue;
    if (error == files::FileError::kNotRegular) return path + ": not a regular file";
    if (error != files::FileError::kNone) return path + ": cannot be read (permission or I/O error)";
    if (file.Length() > kConfigFileLimit) {
      return path + ": " + std::to_string(file.Length()) + " bytes, too large for a configuration file";
    }
    std::string text(static_cast<std::size_t>(file.Length()), '\0');
    if (!file.Read({reinterpret_cast<std::uint8_t*>(text.data()), text.size()})) {
      return path + ": cannot be read (permission or I/O error)";
    }
    if (auto problem = ParseConfigText(text, path, config)) return problem;
  }
  return std::nullopt;
}

}  // namespace zelka::cli
