// The settings file of `settings save` and `settings restore`: one JSON object with the
// format's name and version, the printer it came from and the settings it stores.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <optional>
#include <string>

namespace zelka::cli {

inline constexpr char kSettingsFormat[] = "zelka-settings";
inline constexpr int kSettingsVersion = 1;
// A settings file is a few hundred bytes; anything much larger is something else.
inline constexpr std::size_t kSettingsFileLimit = 64 * 1024;

struct SettingsFile {
  std::string model;                  // the model name, as the printer reported it
  std::optional<std::string> serial;  // of the printer saved
  std::optional<std::string> saved;   // when, ISO 8601 in UTC
  int baud = 0;                       // the rate it answered at
  std::optional<int> paperWidthMm;    // 80 or 57
  std::optional<int> cutLine;         // 0..50, "Printer Zelka" only
  std::optional<int> density;         // 20..100, "Printer Zelka" only
  bool codepage866 = false;           // select code page 866 on restore
};

QByteArray SettingsJson(const SettingsFile& settings);

// Reads `bytes` into `settings`; "" when they are a settings file of this version with
// every value in range, else why not (the file is then left unused).
std::string ParseSettingsJson(const QByteArray& bytes, SettingsFile& settings);

}  // namespace zelka::cli
