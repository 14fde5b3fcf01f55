// Port names as the system reads them: the device a name opens, and when two names are
// the same port.
#pragma once

#include <string>

namespace zelka::link {

// The device path that port `name` opens: "/dev/ttyUSB0" for "ttyUSB0" on POSIX systems,
// "\\.\COM10" for "COM10" on Windows (where COM10 and above open only so). A name that is
// a path already is kept.
std::string DevicePath(const std::string& name);

// A key equal for every spelling of one port: the device path, and on Windows, which
// ignores case in device names, in capitals ("com5" and "COM5" are one port).
std::string PortKey(const std::string& name);

}  // namespace zelka::link
