#include "link/port_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zelka::link {

namespace {

namespace fs = std::filesystem;

// The device a name leads to after every link; the name itself when it leads nowhere.
std::string Resolved(const std::string& name) {
  std::error_code error;
  const fs::path target = fs::canonical(fs::path(name), error);
  return error ? name : target.string();
}

}  // namespace

std::vector<std::string> SystemPortNames() {
  std::vector<std::string> names;
  for (PortInfo& port : SystemPorts()) names.push_back(std::move(port.name));
  return names;
}

std::vector<std::string> SystemPortPaths() {
  std::vector<std::string> paths;
  for (PortInfo& port : SystemPorts()) paths.push_back(port.path.empty() ? std::move(port.name) : std::move(port.path));
  return paths;
}

std::vector<std::string> LinksTo(const std::string& devicePath,
                                 const std::vector<std::string>& directories) {
  std::vector<std::string> links;
  const std::string device = Resolved(devicePath);
  for (const std::string& directory : directories) {
    std::error_code error;
    std::vector<std::string> found;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
      std::error_code linkError;
      if (!it->is_symlink(linkError) || linkError) continue;
      if (Resolved(it->path().string()) == device) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    links.insert(links.end(), found.begin(), found.end());
  }
  return links;
}

bool NamesPort(const std::string& name, const PortInfo& port) {
  if (name.empty()) return false;
  if (name == port.name || name == port.path) return true;
  if (std::find(port.stableNames.begin(), port.stableNames.end(), name) != port.stableNames.end()) {
    return true;
  }
  return !port.path.empty() && Resolved(name) == Resolved(port.path);
}

bool IsUsbSerialChoice(const std::string& name) { return name.starts_with(kUsbSerialPrefix); }

std::vector<const PortInfo*> PortsWithUsbSerial(const std::string& serial,
                                                const std::vector<PortInfo>& ports) {
  std::vector<const PortInfo*> matches;
  if (serial.empty()) return matches;
  for (const PortInfo& port : ports) {
    if (port.serialNumber == serial) matches.push_back(&port);
  }
  return matches;
}

}  // namespace zelka::link
