// Who may open a serial device: the group that owns it, for telling a user who was
// refused how to get access.
#pragma once

#include <string>

namespace zelka::link {

// The group that owns the device of port `name` (a port list name like "ttyUSB0" or a
// path); empty where the system cannot tell.
std::string PortOwnerGroup(const std::string& name);

// Whether this user may read and write the device of port `name`; true where the system
// cannot tell. The serial port library reports a port held by another program and a
// port the user may not open alike; this tells them apart.
bool UserMayOpen(const std::string& name);

}  // namespace zelka::link
