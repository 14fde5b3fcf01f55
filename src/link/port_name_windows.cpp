#include "link/port_name.h"

#include <QString>

namespace zelka::link {

namespace {

// The device namespace prefix "\\.\" (and the "\\?\" that some programs write).
bool HasDevicePrefix(const std::string& name) {
  return name.size() > 4 && name[0] == '\\' && name[1] == '\\' && (name[2] == '.' || name[2] == '?') &&
         name[3] == '\\';
}

}  // namespace

std::string DevicePath(const std::string& name) {
  return HasDevicePrefix(name) ? name : "\\\\.\\" + name;
}

std::string PortKey(const std::string& name) {
  if (name.empty()) return name;
  std::string path = DevicePath(name);
  path[2] = '.';
  return QString::fromStdString(path).toUpper().toStdString();
}

}  // namespace zelka::link
