// The device path of a port name on POSIX systems: "ttyUSB0" is /dev/ttyUSB0, a name with
// a slash is a path already (as the serial port library takes them).
#pragma once

#include <string>

namespace zelka::link {

std::string DevicePath(const std::string& name);

}  // namespace zelka::link
