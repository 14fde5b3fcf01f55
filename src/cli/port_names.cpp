#include "cli/port_names.h"

#include <algorithm>

namespace zelka::cli {

bool HasUsbNames(const std::vector<std::string>& ports) {
  return std::any_of(ports.begin(), ports.end(), link::IsUsbSerialChoice);
}

std::optional<Failure> ResolveUsbNames(std::vector<std::string>& ports,
                                       const std::vector<link::PortInfo>& system) {
  std::vector<std::string> resolved = ports;
  for (std::string& name : resolved) {
    if (!link::IsUsbSerialChoice(name)) continue;
    const std::string serial = name.substr(std::char_traits<char>::length(link::kUsbSerialPrefix));
    if (serial.empty()) {
      return Failure{ExitCode::kUsage, "\"usb:\" needs the adapter's serial number, e.g. usb:A10K3B7Q; "
                                       "run \"zelka ports\" to see them"};
    }
    const std::vector<const link::PortInfo*> matches = link::PortsWithUsbSerial(serial, system);
    if (matches.empty()) {
      return Failure{ExitCode::kPortAbsent, "no USB serial adapter with the serial number \"" + serial +
                                                "\" is plugged in; run \"zelka ports\" to see the adapters"};
    }
    if (matches.size() > 1) {
      std::string paths;
      for (const link::PortInfo* port : matches) paths += (paths.empty() ? "" : ", ") + port->path;
      return Failure{ExitCode::kUsage, name + " matches " + std::to_string(matches.size()) + " ports (" + paths +
                                           "): the adapters share a serial number; name the port by its "
                                           "path instead"};
    }
    name = matches.front()->path.empty() ? matches.front()->name : matches.front()->path;
  }
  ports = std::move(resolved);
  return std::nullopt;
}

}  // namespace zelka::cli
