// firmware recover as a user runs it against a printer waiting in its bootloader, and
// the report of what was flashed after an update.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/cli_fixture.h"
#include "cli/firmware_process.h"

namespace zelka::testing {
namespace {

class CliRecoverTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    sim.Stop();
    sim.StrandInBootloader();
    ASSERT_TRUE(sim.Start());
  }
  QString WriteImage(std::uint8_t board) {
    Bytes image(10 * 256 + 7, 0x3C);
    image.back() = board;
    return WriteFile(dir, QStringLiteral("fw%1.bin").arg(board), image);
  }
  CliRun Recover(const QStringList& arguments) {
    return RunZelka(QStringList{"firmware", "recover"} + arguments, {.environment = ShortWaits()});
  }
  QString Port() const { return QString::fromStdString(sim.PortName()); }

  QTemporaryDir dir;
};

TEST_F(CliRecoverTest, FlashesThePrinterOnTheNamedPortAndReportsItsFirmware) {
  const CliRun run = Recover({WriteImage(3), "--board", "3", "-p", Port(), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_FALSE(sim.InBootloader());
  EXPECT_EQ(sim.ReceivedImage().size(), 11u * 256);
  EXPECT_EQ(CountOf("boot entry"), 0u);
  const QJsonObject result = JsonOf(run);
  EXPECT_TRUE(result["recovered"].toBool());
  EXPECT_TRUE(result["before"].isNull());
  EXPECT_EQ(result["after"].toObject()["number"].toString(), "ZELKA-000101");
  EXPECT_EQ(result["after"].toObject()["version"].toString(), "2.10");
}

// The bootloader cannot tell its board: a file for the other one, or none at all, is
// refused before a byte is sent.
TEST_F(CliRecoverTest, FileForAnotherBoardIsRefusedBeforeAnythingIsSent) {
  const CliRun run = Recover({WriteImage(4), "--board", "3", "-p", Port()});
  EXPECT_EQ(run.exitCode, 7);
  EXPECT_NE(run.Err().find("built for board version 4, not 3"), std::string::npos) << run.Err();
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(sim.InBootloader());
}

// Without one port named, every port listed is asked whether a bootloader waits there;
// the one found is named before the transfer starts.
TEST_F(CliRecoverTest, ScanFindsTheWaitingBootloaderAndNamesIt) {
  sim::Simulator& working = AddPrinter(sim::DefaultPrinter());
  const QString other = QString::fromStdString(working.PortName());
  const CliRun run = Recover({WriteImage(3), "--board", "3", "-p", other, "-p", Port()});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_NE(run.Err().find("a printer waits in its bootloader on " + sim.PortName()), std::string::npos)
      << run.Err();
  EXPECT_NE(run.Out().find("Firmware recovered on " + sim.PortName()), std::string::npos) << run.Out();
  EXPECT_FALSE(sim.InBootloader());
  EXPECT_EQ(working.ReceivedImage(), Bytes{});

  // Now that none waits, the scan says so and nothing but its handshake was sent.
  working.ClearLog();
  const CliRun none = Recover({WriteImage(3), "--board", "3", "-p", other, "-p", "/dev/zelka-no-such-port"});
  EXPECT_EQ(none.exitCode, 3);
  EXPECT_NE(none.Err().find("no printer waits in its bootloader on " + working.PortName()), std::string::npos)
      << none.Err();
  EXPECT_NE(none.Err().find("/dev/zelka-no-such-port: no such port"), std::string::npos) << none.Err();
  for (const sim::LogEntry& entry : working.Log()) EXPECT_NE(entry.name, "BL block");
}

class CliReportTest : public CliFixture {};

// After an update the printer is identified again, once it has started its new firmware.
TEST_F(CliReportTest, UpdateReportsTheMainFirmwareBeforeAndAfter) {
  sim.Update([](sim::PrinterState& s) {
    s.flashedMainNumberReply = sim::MakeTextReply("ZELKA-000102", 14);
    s.flashedMainVersionReply = sim::MakeTextReply("2.11", 6);
  });
  QTemporaryDir dir;
  const QString file = WriteFile(dir, QStringLiteral("fw.bin"), QByteArray(5 * 256, '\x11') + '\x03');

  const CliRun json = OnPrinter({"firmware", "update", file, "--json"}, {.environment = ShortWaits()});
  ASSERT_EQ(json.exitCode, 0) << json.Err();
  const QJsonObject result = JsonOf(json);
  EXPECT_TRUE(result["updated"].toBool());
  EXPECT_EQ(result["blocks"].toInt(), 6);
  EXPECT_EQ(result["before"].toObject()["number"].toString(), "ZELKA-000101");
  EXPECT_EQ(result["before"].toObject()["version"].toString(), "2.10");
  EXPECT_EQ(result["after"].toObject()["number"].toString(), "ZELKA-000102");
  EXPECT_EQ(result["after"].toObject()["version"].toString(), "2.11");

  const CliRun text = OnPrinter({"firmware", "update", file}, {.environment = ShortWaits()});
  ASSERT_EQ(text.exitCode, 0) << text.Err();
  EXPECT_NE(text.Out().find("Main firmware before: ZELKA-000102 version 2.11\n"
                            "Main firmware after:  ZELKA-000102 version 2.11\n"),
            std::string::npos)
      << text.Out();
}

// A printer that does not start its new firmware is no success.
TEST_F(CliReportTest, PrinterThatDoesNotComeBackIsReported) {
  QTemporaryDir dir;
  const QString file = WriteFile(dir, QStringLiteral("fw.bin"), QByteArray(256, '\x22') + '\x03');
  // The query before the update is answered, none after it.
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x33}, .kind = sim::Fault::Kind::Silent, .after = 1});
  const CliRun run = OnPrinter({"firmware", "update", file}, {.environment = ShortWaits()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.Err().find("did not answer within 30 s; switch it off and on again"), std::string::npos)
      << run.Err();
  EXPECT_FALSE(sim.InBootloader());
}

}  // namespace
}  // namespace zelka::testing
