// What the identification reads from a printer: its identity and state, each value
// present or failed.
#pragma once

#include <optional>
#include <string>

#include "service/paper_width.h"

namespace zelka::discovery {

// Boot firmware versions that sort below this one are outdated.
inline constexpr const char* kOldestCurrentBootVersion = "1.02";
// Parameter 10 holds 100 + the cut line's position.
inline constexpr int kCutLineBase = 100;

// The steps of the identification, in the order they run. The first ten are the values
// a remote client receives as records 1 to 10 (their numbers here).
enum class Step {
  kModel = 1,
  kSerialNumber = 2,
  kBootFirmwareNumber = 3,
  kBootFirmwareVersion = 4,
  kMainFirmwareNumber = 5,
  kMainFirmwareVersion = 6,
  kPaper = 7,
  kDrawer = 8,
  kLogo = 9,
  kBuildDate = 10,
  kModelSettings,  // after kModel: the cut line and density of the reference model
  kPaperWidth,     // after kLogo: the paper width, switched to 57 mm when it reads 57 mm
};

struct Identity {
  // Texts as the printer sent them, decoded from Windows-1251 to UTF-8.
  std::optional<std::string> model;
  std::optional<std::string> serialNumber;
  std::optional<std::string> bootFirmwareNumber;
  std::optional<std::string> bootFirmwareVersion;
  std::optional<std::string> mainFirmwareNumber;
  std::optional<std::string> mainFirmwareVersion;
  std::optional<bool> paperPresent;
  std::optional<bool> drawerClosed;
  std::optional<bool> logoStored;
  std::optional<std::string> buildDate;

  // "Printer Zelka": the settings below are read and may be changed.
  bool referenceModel = false;
  std::optional<int> cutLine;  // the position, parameter 10 less kCutLineBase
  std::optional<int> density;  // parameter 65
  // Parameter 8 as read, and what it read after the switch to 57 mm (when it ran).
  service::PaperWidth paperWidth = service::PaperWidth::kUnknown;
  std::optional<service::PaperWidth> paperWidthAfterSwitch;

  // The boot firmware version, as the printer sent it, sorts before the oldest current one.
  bool bootFirmwareOutdated = false;
};

// True when `version` sorts before "1.02" byte by byte (a prefix sorts first).
bool IsOutdatedBootVersion(const std::string& version);

}  // namespace zelka::discovery
