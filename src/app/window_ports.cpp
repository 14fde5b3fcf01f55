#include "app/window_ports.h"

#include <algorithm>

namespace zelka::app {

WindowPorts::WindowPorts(std::string demoPort, std::vector<std::string> named)
    : demoPort_(std::move(demoPort)), named_(std::move(named)) {}

std::vector<std::string> WindowPorts::Read() {
  system_ = link::SystemPorts();
  std::vector<std::string> ports;
  if (!demoPort_.empty()) ports.push_back(demoPort_);
  if (!named_.empty()) {
    ports.insert(ports.end(), named_.begin(), named_.end());
    return ports;
  }
  // The names the system lists, as the window has always shown them.
  for (const link::PortInfo& port : system_) ports.push_back(port.name);
  return ports;
}

form::PortDetails WindowPorts::Details(const std::string& port) const {
  const auto found = std::find_if(system_.begin(), system_.end(),
                                  [&port](const link::PortInfo& info) { return link::NamesPort(port, info); });
  if (found == system_.end()) return {};
  return {found->description, found->serialNumber};
}

}  // namespace zelka::app
