// Port names on POSIX systems: a name without a folder is a device in /dev, and names are
// compared as they are written.
#include "link/port_name.h"

#include <gtest/gtest.h>

namespace zelka::link {
namespace {

TEST(PortName, DevicePathsAndKeys) {
  EXPECT_EQ(DevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(DevicePath("/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(DevicePath("/dev/serial/by-id/usb-Zelka_ZK80-if00"), "/dev/serial/by-id/usb-Zelka_ZK80-if00");
  EXPECT_EQ(PortKey("/dev/ttyUSB0"), PortKey("/dev/ttyUSB0"));
  // Device names are case-sensitive here.
  EXPECT_NE(PortKey("/dev/ttyUSB0"), PortKey("/dev/TTYUSB0"));
  EXPECT_NE(PortKey("/dev/ttyS1"), PortKey("/dev/ttyS10"));
}

}  // namespace
}  // namespace zelka::link
