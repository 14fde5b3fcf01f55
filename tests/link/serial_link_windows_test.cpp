// The Win32 link without a port behind it: every refusal carries its reason, and nothing
// waits. (Exchanges over COM ports are tested end to end: scripts/test-windows.sh.)
#include "link/serial_link.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zelka::link {
namespace {

using std::chrono::milliseconds;

TEST(SerialLinkWindows, AbsentPortsAreAbsentWhateverTheirSpelling) {
  for (const char* name : {"COM249", "com250", "\\\\.\\COM251", "NOSUCHPORT"}) {
    SCOPED_TRACE(name);
    SerialLink link;
    EXPECT_EQ(link.Open(name, 57600, milliseconds(300)), Status::kCannotOpen);
    EXPECT_EQ(link.LastOpenFailure(), OpenFailure::kAbsent);
    EXPECT_FALSE(link.LastOpenError().empty());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.Baud(), kDefaultBaud);
  }
}

TEST(SerialLinkWindows, NoPortKnownAndClosedLinkRefuseAtOnce) {
  SerialLink link;
  EXPECT_EQ(link.Open(kNoPort, 9600, milliseconds(300)), Status::kNoPort);
  const std::uint8_t frame[] = {0x1D, 0x72, 0x31};
  EXPECT_EQ(link.Send(frame), Status::kNotOpen);
  EXPECT_EQ(link.Receive(1), Status::kNotOpen);
  link.Close();
  link.Close();
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace zelka::link
