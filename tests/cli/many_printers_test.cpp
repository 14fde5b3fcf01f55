// Several printers at once and ports chosen by what they are: detect and info with
// --all, port names that follow an adapter, and zelka ports for the named ports.
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "cli/port_names.h"

namespace zelka::testing {
namespace {

class ManyPrintersTest : public CliFixture {
 protected:
  // The fixture's printer at 57600, one at 9600, one at 19200, a silent port and an absent
  // one, listed in this order: --port for each.
  QStringList Ports() {
    auto& medium = AddPrinter(sim::DefaultPrinter());
    medium.Update([](sim::PrinterState& s) {
      s.baud = 9600;
      s.modelReply = sim::MakeTextReply("Zelka Z-80", 17);
      s.parameters[8] = 1;  // 57 mm paper
    });
    auto& slow = AddPrinter(sim::DefaultPrinter());
    slow.Update([](sim::PrinterState& s) { s.baud = 19200; });
    auto& silent = AddPrinter(sim::DefaultPrinter());
    silent.SetSilent(true);
    QStringList ports;
    for (const std::string& port : {slow.PortName(), silent.PortName(), std::string("/dev/nonexistent-zelka"),
                                    medium.PortName(), sim.PortName()}) {
      ports << "-p" << QString::fromStdString(port);
    }
    return ports;
  }
  static QJsonArray ListOf(const CliRun& run) { return QJsonDocument::fromJson(run.out).array(); }
};

TEST_F(ManyPrintersTest, DetectAllReportsEveryPrinterOnceWithItsRate) {
  const QStringList ports = Ports();
  const CliRun run = RunZelka(QStringList{"detect", "--all", "--json"} + ports);
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  const QJsonArray found = ListOf(run);
  ASSERT_EQ(found.size(), 3) << run.Out();
  // Rate by rate, as the window's search probes them.
  EXPECT_EQ(found[0]["port"].toString().toStdString(), sim.PortName());
  EXPECT_EQ(found[0]["baud"].toInt(), 57600);
  EXPECT_EQ(found[1]["port"].toString().toStdString(), extra[0]->PortName());
  EXPECT_EQ(found[1]["baud"].toInt(), 9600);
  EXPECT_EQ(found[2]["port"].toString().toStdString(), extra[1]->PortName());
  EXPECT_EQ(found[2]["baud"].toInt(), 19200);
  EXPECT_NE(run.Err().find("cannot open /dev/nonexistent-zelka: no such port"), std::string::npos) << run.Err();
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"GS r"}) << "the probe only";

  const CliRun text = RunZelka(QStringList{"detect", "--all"} + ports);
  EXPECT_EQ(text.exitCode, 0) << text.Err();
  EXPECT_EQ(text.Out(), "Printer found on " + sim.PortName() + " at 57600 baud.\nPrinter found on " +
                            extra[0]->PortName() + " at 9600 baud.\nPrinter found on " + extra[1]->PortName() +
                            " at 19200 baud.\n");
}

TEST_F(ManyPrintersTest, InfoAllIdentifiesEachPrinterFound) {
  const CliRun run = RunZelka(QStringList{"info", "--all", "--json"} + Ports());
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  const QJsonArray printers = ListOf(run);
  ASSERT_EQ(printers.size(), 3) << run.Out();
  EXPECT_EQ(printers[0]["model"].toString(), "Printer Zelka");
  EXPECT_EQ(printers[0]["cut_line"].toInt(), 20);
  EXPECT_EQ(printers[1]["model"].toString(), "Zelka Z-80");
  EXPECT_EQ(printers[1]["baud"].toInt(), 9600);
  EXPECT_EQ(printers[1]["paper_width_mm"].toInt(), 57);
  EXPECT_TRUE(printers[1]["cut_line"].isNull()) << "another model tells no cut line";
  EXPECT_EQ(printers[2]["baud"].toInt(), 19200);
  // Each printer got the identification's queries at its own rate.
  for (const auto* printer : {&sim, extra[0].get(), extra[1].get()}) {
    const auto log = printer->Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().name, "GS I @") << "the build date ends the identification";
    EXPECT_EQ(log.back().baud, printer->State().baud);
  }
}

TEST_F(ManyPrintersTest, AllWithoutAnyPrinterIsNotFoundAndAllDoesNotGoWithBaud) {
  sim.SetSilent(true);
  const QStringList port{"-p", QString::fromStdString(sim.PortName())};
  const CliRun none = RunZelka(QStringList{"detect", "--all"} + port);
  EXPECT_EQ(none.exitCode, 3) << none.Err();
  EXPECT_NE(none.Err().find("no printer found on " + sim.PortName()), std::string::npos) << none.Err();

  const CliRun withBaud = RunZelka(QStringList{"info", "--all", "-b", "57600"} + port);
  EXPECT_EQ(withBaud.exitCode, 2);
  EXPECT_NE(withBaud.Err().find("--all searches every port; it does not go with --baud"), std::string::npos);
  const CliRun onFeed = RunZelka(QStringList{"feed", "--all"} + port);
  EXPECT_EQ(onFeed.exitCode, 2);
}

// A stable name (udev's /dev/serial/by-id link) works as any port name does.
TEST_F(ManyPrintersTest, LinkToThePortIsAPortName) {
  QTemporaryDir dir;
  const std::string link = dir.filePath("usb-FTDI_FT232R_A10K3B7Q-if00-port0").toStdString();
  std::filesystem::create_symlink(sim.PortName(), link);
  const CliRun run = RunZelka({"paper", "--json", "-p", QString::fromStdString(link)});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(JsonOf(run)["port"].toString().toStdString(), link);
  EXPECT_EQ(sim.CommandNames(), (std::vector<std::string>{"GS r", "GS r"})) << "probe, then the query";
}

// usb:SERIAL that no adapter has: a clear error, nothing sent, nothing searched.
TEST_F(ManyPrintersTest, UsbSerialThatNoPortHasSendsNothing) {
  for (const QStringList& arguments :
       {QStringList{"feed", "-p", "usb:ZELKA-NO-SUCH-SERIAL"}, QStringList{"feed", "-p", "usb:ZELKA-NO-SUCH-SERIAL", "-b", "9600"},
        QStringList{"detect", "--all", "-p", QString::fromStdString(sim.PortName()), "-p", "usb:ZELKA-NO-SUCH-SERIAL"}}) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const CliRun run = RunZelka(arguments);
    EXPECT_EQ(run.exitCode, 6) << run.Err();
    EXPECT_NE(run.Err().find("no USB serial adapter with the serial number \"ZELKA-NO-SUCH-SERIAL\" is plugged in"),
              std::string::npos)
        << run.Err();
  }
  const CliRun empty = RunZelka({"feed", "-p", "usb:"});
  EXPECT_EQ(empty.exitCode, 2) << empty.Err();
  EXPECT_TRUE(sim.Log().empty());
}

TEST(UsbSerialNamesTest, BecomeTheOnePortWithThatSerialNumber) {
  std::vector<link::PortInfo> system(3);
  system[0] = {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", 0x0403, 0x6001, "A10K3B7Q"};
  system[1] = {"ttyUSB1", "/dev/ttyUSB1", "USB-Serial Controller", 0x067b, 0x2303, "CLONE"};
  system[2] = {"ttyUSB2", "/dev/ttyUSB2", "USB-Serial Controller", 0x067b, 0x2303, "CLONE"};

  std::vector<std::string> ports = {"/dev/ttyS0", "usb:A10K3B7Q"};
  EXPECT_FALSE(cli::ResolveUsbNames(ports, system));
  EXPECT_EQ(ports, (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0"}));

  ports = {"usb:A10K3B7Q", "usb:CLONE"};
  const auto twice = cli::ResolveUsbNames(ports, system);
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->code, cli::ExitCode::kUsage);
  EXPECT_EQ(twice->message, "usb:CLONE matches 2 ports (/dev/ttyUSB1, /dev/ttyUSB2): the adapters share a serial "
                            "number; name the port by its path instead");
  EXPECT_EQ(ports[0], "usb:A10K3B7Q") << "left as it was";

  ports = {"usb:a10k3b7q"};
  const auto none = cli::ResolveUsbNames(ports, system);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->code, cli::ExitCode::kPortAbsent);
}

// With --port, zelka ports shows those ports, by their full paths, and whether they open.
TEST_F(ManyPrintersTest, PortsShowsTheNamedPorts) {
  const CliRun run = RunZelka({"ports", "--json", "-p", QString::fromStdString(sim.PortName()), "-p",
                               "/dev/nonexistent-zelka", "-p", QString::fromStdString(sim.PortName())});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  const QJsonArray ports = ListOf(run);
  ASSERT_EQ(ports.size(), 2) << "each port once";
  EXPECT_EQ(ports[0]["path"].toString().toStdString(), sim.PortName());
  EXPECT_EQ(ports[0]["access"].toString(), "ok");
  EXPECT_TRUE(ports[0]["stable_names"].isArray());
  EXPECT_EQ(ports[1]["path"].toString(), "/dev/nonexistent-zelka");
  EXPECT_EQ(ports[1]["access"].toString(), "absent");

  const CliRun text = RunZelka({"ports", "-p", QString::fromStdString(sim.PortName())});
  EXPECT_EQ(text.Out(), sim.PortName() + "  ok\n");
  EXPECT_TRUE(sim.Log().empty()) << "ports sends nothing";
}

}  // namespace
}  // namespace zelka::testing
