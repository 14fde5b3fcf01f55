// The system's serial ports: the names that OpenPort opens, and what the system knows of
// each device (for telling several adapters apart).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelka::link {

struct PortInfo {
  std::string name;         // as listed and opened: "ttyUSB0", "COM5"
  std::string path;         // the device's full path: "/dev/ttyUSB0", "\\.\COM5"
  std::string description;  // the system's words for the device; empty when it has none
  std::optional<std::uint16_t> vendorId;   // USB adapters only
  std::optional<std::uint16_t> productId;  // USB adapters only
  std::string serialNumber;                // USB adapters that have one
};

// The serial ports the system lists, in the system's order.
std::vector<PortInfo> SystemPorts();

// The names of SystemPorts(), in the same order.
std::vector<std::string> SystemPortNames();

}  // namespace zelka::link
