#include "link/port_name.h"

namespace zelka::link {

// As the serial port library that opens the port reads a name: a path as it is, any
// other name below /dev ("ttyUSB0", "pts/3").
std::string DevicePath(const std::string& name) {
  const bool path = name.starts_with('/') || name.starts_with("./") || name.starts_with("../");
  return path ? name : "/dev/" + name;
}

// Device names are case-sensitive, and a name and its path may be two different
// devices' spellings only through links the system resolves: the name itself is the key.
std::string PortKey(const std::string& name) { return name; }

}  // namespace zelka::link
