#include "link/port_name.h"

namespace zelka::link {

std::string DevicePath(const std::string& name) {
  return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

// Device names are case-sensitive, and a name and its path may be two different
// devices' spellings only through links the system resolves: the name itself is the key.
std::string PortKey(const std::string& name) { return name; }

}  // namespace zelka::link
