// Port names a user may type besides a device's path: usb:SERIAL, the USB adapter with
// that serial number wherever it is plugged in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/failure_text.h"
#include "link/port_list.h"

namespace zelka::cli {

// Replaces each usb:SERIAL of `ports` by the path of the one port of `system` whose
// adapter has that serial number. A serial number that no port has (exit 6) or that two
// ports share (exit 2) is a failure, and `ports` is left as it was.
std::optional<Failure> ResolveUsbNames(std::vector<std::string>& ports,
                                       const std::vector<link::PortInfo>& system);

// Whether any of `ports` is a usb:SERIAL name (only then is the system's list needed).
bool HasUsbNames(const std::vector<std::string>& ports);

}  // namespace zelka::cli
