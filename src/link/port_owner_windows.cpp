#include "link/port_owner.h"

namespace zelka::link {

// Access to a COM port is not a matter of owners and groups on Windows.
PortAccess WhoMayOpen(const std::string&) { return {}; }

// COM names are no paths of the file system: opening tells.
DeviceKind KindOf(const std::string&) { return DeviceKind::kUnknown; }

bool UserMayOpen(const std::string&) { return true; }

bool IsTerminalDevice(const std::string&) { return true; }

}  // namespace zelka::link
