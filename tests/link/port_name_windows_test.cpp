// Port names on Windows: COM ports open through the device namespace ("\\.\COM10"), and
// the system ignores case in them.
#include "link/port_name.h"

#include <gtest/gtest.h>

namespace zelka::link {
namespace {

TEST(PortName, DevicePathsTakeTheDeviceNamespace) {
  EXPECT_EQ(DevicePath("COM1"), "\\\\.\\COM1");
  EXPECT_EQ(DevicePath("COM10"), "\\\\.\\COM10");
  EXPECT_EQ(DevicePath("COM256"), "\\\\.\\COM256");
  EXPECT_EQ(DevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
  EXPECT_EQ(DevicePath("\\\\?\\COM12"), "\\\\?\\COM12");
}

TEST(PortName, SpellingsOfOnePortShareAKey) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"COM5", "COM5", true},
      {"COM5", "com5", true},
      {"cOm5", "\\\\.\\COM5", true},
      {"COM10", "\\\\.\\com10", true},
      {"COM12", "\\\\?\\COM12", true},
      {"COM1", "COM10", false},
      {"COM1", "COM11", false},
      {"COM3", "COM4", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(PortKey(c.a) == PortKey(c.b), c.same);
  }
}

}  // namespace
}  // namespace zelka::link
