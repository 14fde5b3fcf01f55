// Who may open a serial device: the group that owns it, for telling a user who was
// refused how to get access.
#pragma once

#include <string>

namespace zelka::link {

// Who may open the device of port `name` (a port list name like "ttyUSB0" or a path),
// for telling a user who was refused what to do.
struct PortAccess {
  bool known = false;  // false where the system cannot tell
  std::string owner;   // the user who owns the device
  // The group whose members may read and write it; empty when none may, or when it is
  // root's own group (joining that is no advice to give).
  std::string group;
};
PortAccess WhoMayOpen(const std::string& name);

// What the system has under the name of port `name`, looked at without opening it.
enum class DeviceKind {
  kUnknown,    // the system cannot tell (COM names); opening it will tell
  kMissing,    // nothing
  kNotDevice,  // no character device (a regular file such as /etc/passwd, a directory,
               // a pipe): no serial port, and not to be opened as one
  kDevice,     // a character device
};
DeviceKind KindOf(const std::string& name);

// For a device that would not open as a port: false when it is no terminal device at all
// (/dev/null), so no serial port; true where the system cannot tell.
bool IsTerminalDevice(const std::string& name);

// Whether this user may read and write the device of port `name`; true where the system
// cannot tell. The serial port library reports a port held by another program and a
// port the user may not open alike; this tells them apart.
bool UserMayOpen(const std::string& name);

}  // namespace zelka::link
