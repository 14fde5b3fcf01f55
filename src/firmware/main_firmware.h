// The main firmware's number and version, before an update and once the printer has
// started the firmware it was given: what a user checks to know what was flashed.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>

#include "printer/session.h"

namespace zelka::firmware {

struct MainFirmware {
  std::optional<std::string> number;   // e.g. "ZELKA-000101"; nothing when not answered
  std::optional<std::string> version;  // e.g. "2.10"

  bool Answered() const { return number.has_value() || version.has_value(); }
};

// How long a printer may take to start its new firmware after the end of a transfer,
// and how often it is asked meanwhile.
inline constexpr std::chrono::milliseconds kRestartTimeout{30000};
inline constexpr std::chrono::milliseconds kRestartPause{2700};
inline constexpr std::chrono::milliseconds kRestartQueryReadTimeout{300};

// Asks the printer's main firmware for its number and version at the session's rate.
MainFirmware ReadMainFirmware(printer::Session& session);

// After a transfer: asks for the main firmware's number at each of `rates` in turn,
// pausing between rounds, until the printer answers or about kRestartTimeout has passed
// (counted in read time-outs and pauses, so that a sleeper that does not sleep shortens
// it). The rate that answered becomes the session's and the version is read there too;
// nothing when the printer never answered.
std::optional<MainFirmware> AwaitMainFirmware(printer::Session& session, std::span<const int> rates);

}  // namespace zelka::firmware
