#include "link/port_list.h"

namespace zelka::link {

std::vector<std::string> SystemPortNames() {
  std::vector<std::string> names;
  for (PortInfo& port : SystemPorts()) names.push_back(std::move(port.name));
  return names;
}

}  // namespace zelka::link
