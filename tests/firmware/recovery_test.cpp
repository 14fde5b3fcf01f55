// The way back for a printer that waits in its bootloader: finding it, flashing it with
// the transfer alone, and seeing its new main firmware start.
#include <algorithm>

#include "firmware/bootloader.h"
#include "firmware/bootloader_scan.h"
#include "firmware/firmware_fixture.h"
#include "firmware/main_firmware.h"

namespace zelka::testing {
namespace {

using namespace zelka::firmware;

constexpr char kAbsentPort[] = "/dev/zelka-no-such-port";

class RecoveryTest : public FirmwareFixture {
 protected:
  // A printer left in its bootloader, beside the fixture's working one.
  sim::Simulator& StrandedPrinter() {
    sim::Simulator& stranded = AddPrinter(sim::DefaultPrinter());
    stranded.StrandInBootloader();
    return stranded;
  }
  static std::vector<std::string> Names(const sim::Simulator& s) { return s.CommandNames(); }
};

// Every port is asked at once with the handshake alone; the bootloader's port is taken,
// the working printer and the absent port are left as they were.
TEST_F(RecoveryTest, ScanFindsTheBootloaderAmongPrinters) {
  sim::Simulator& stranded = StrandedPrinter();
  const BootloaderScan scan =
      FindWaitingBootloader(*session, {sim.PortName(), kAbsentPort, stranded.PortName()});
  ASSERT_EQ(scan.port, stranded.PortName());
  EXPECT_EQ(session->Port(), stranded.PortName());
  EXPECT_EQ(session->Baud(), kBootloaderBaud);
  ASSERT_EQ(scan.unopened.size(), 1u);
  EXPECT_EQ(scan.unopened[0].port, kAbsentPort);
  EXPECT_EQ(scan.unopened[0].reason, link::OpenFailure::kAbsent);
  EXPECT_EQ(Names(stranded), std::vector<std::string>{"BL 00 FE"});
  for (const sim::LogEntry& entry : sim.Log()) EXPECT_EQ(entry.baud, kBootloaderBaud);
  EXPECT_FALSE(sim.InBootloader());
}

TEST_F(RecoveryTest, ScanWithoutABootloaderFindsNothing) {
  const BootloaderScan scan = FindWaitingBootloader(*session, {sim.PortName()});
  EXPECT_EQ(scan.port, std::nullopt);
  EXPECT_EQ(session->Port(), link::kNoPort);
  EXPECT_TRUE(scan.unopened.empty());
}

// The transfer alone brings a stranded printer back, and the report finds its new main
// firmware at the transfer rate even when it was once found at another.
TEST_F(RecoveryTest, TransferAloneFlashesAStrandedPrinterThatThenReportsItsFirmware) {
  sim.Stop();
  sim.Update([](sim::PrinterState& s) {
    s.baud = 115200;
    s.flashedMainNumberReply = sim::MakeTextReply("ZELKA-000102", 14);
    s.flashedMainVersionReply = sim::MakeTextReply("2.11", 6);
  });
  sim.StrandInBootloader();
  ASSERT_TRUE(sim.Start());
  session->SetPort(sim.PortName());
  session->SetBaud(kBootloaderBaud);
  const Bytes image = Image(3 * 256 + 10, 3);
  ASSERT_EQ(TransferFirmware(*session, AsImage(image)), BootStatus::kOk);
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
  EXPECT_EQ(CountOf("boot entry"), 0u);
  EXPECT_FALSE(sim.InBootloader());

  const int rates[] = {115200, kBootloaderBaud};
  const std::optional<MainFirmware> after = AwaitMainFirmware(*session, rates);
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->number, "ZELKA-000102");
  EXPECT_EQ(after->version, "2.11");
  EXPECT_EQ(session->Baud(), kBootloaderBaud);
}

// A printer that never comes back is given up on after the restart's time, counted in
// pauses and read time-outs, not left waited for.
TEST_F(RecoveryTest, PrinterThatDoesNotComeBackIsGivenUp) {
  sim.Stop();  // switched off: its port is gone
  const int rates[] = {kBootloaderBaud};
  EXPECT_EQ(AwaitMainFirmware(*session, rates), std::nullopt);
  const auto pauses = waits.Durations();
  EXPECT_FALSE(pauses.empty());
  std::chrono::milliseconds total{0};
  for (auto pause : pauses) total += pause + kRestartQueryReadTimeout;
  EXPECT_GE(total, kRestartTimeout);
  EXPECT_LT(total, kRestartTimeout + kRestartPause + kRestartQueryReadTimeout);
}

}  // namespace
}  // namespace zelka::testing
