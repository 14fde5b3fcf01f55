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
  std::string path;         // the device's full path: "/dev/ttyUSB0"; "COM5" on Windows
  std::string description;  // the system's words for the device; empty when it has none
  std::optional<std::uint16_t> vendorId;   // USB adapters only
  std::optional<std::uint16_t> productId;  // USB adapters only
  std::string serialNumber;                // USB adapters that have one
  // Names of the same device that do not change when it is plugged into another socket
  // or the devices are found in another order ("/dev/serial/by-id/usb-..."), then those
  // that follow the socket ("/dev/serial/by-path/..."); empty where the system has none.
  std::vector<std::string> stableNames;
};

// The serial ports the system lists, in the system's order.
std::vector<PortInfo> SystemPorts();

// The names of SystemPorts(), in the same order.
std::vector<std::string> SystemPortNames();

// The full paths of SystemPorts(), in the same order: names a user can type.
std::vector<std::string> SystemPortPaths();

// The symbolic links in `directories` (in their order, each sorted by name) that lead to
// `devicePath`, as paths in those directories. Directories that do not exist add nothing.
std::vector<std::string> LinksTo(const std::string& devicePath,
                                 const std::vector<std::string>& directories);

// True when `name` names `port`: its name, its path, one of its stable names, or a path
// that leads to the same device.
bool NamesPort(const std::string& name, const PortInfo& port);

// `usb:SERIAL`: a port chosen by its USB adapter's serial number.
inline constexpr char kUsbSerialPrefix[] = "usb:";
bool IsUsbSerialChoice(const std::string& name);

// The ports whose USB serial number is `serial` (exactly), in list order.
std::vector<const PortInfo*> PortsWithUsbSerial(const std::string& serial,
                                                const std::vector<PortInfo>& ports);

}  // namespace zelka::link
