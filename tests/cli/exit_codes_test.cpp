// Every exit code from its cause, as a script sees it: the status, one line on standard
// error, the JSON error object, and nothing sent to the printer before the arguments and
// files were checked.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_fixture.h"
#include "graphics/bitmap_maker.h"
#include "link/serial_link.h"

namespace zelka::testing {
namespace {

class CliExitCodesTest : public CliFixture {
 protected:
  QString Port() const { return QString::fromStdString(sim.PortName()); }
  QTemporaryDir dir;
};

TEST_F(CliExitCodesTest, UsageErrorsSendNothing) {
  const QStringList cases[] = {
      {"set", "density", "500"}, {"set", "cut-line"}, {"frob"}, {"feed", "--frob"},
      {"feed", "now"},           {"print", "test", "--paper", "58"},
  };
  for (const QStringList& arguments : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const CliRun run = RunZelka(arguments + QStringList{"--port", Port()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.Err().find("Usage: zelka [options]"), std::string::npos) << run.Err();
    EXPECT_TRUE(run.out.isEmpty());
  }
  const CliRun json = RunZelka({"set", "density", "500", "--json", "--port", Port()});
  EXPECT_EQ(json.exitCode, 2);
  const QJsonObject error = QJsonDocument::fromJson(json.out).object();
  EXPECT_EQ(error["code"].toInt(), 2);
  EXPECT_EQ(error["error"].toString(), "the density must be 20..100, not \"500\"");
  EXPECT_TRUE(sim.Log().empty());
}

// Refused before the search: nothing reaches the printer (the search itself would send).
TEST_F(CliExitCodesTest, BadFilesAreRefusedBeforeTheSearch) {
  const QString missing = dir.filePath("missing.bmp");
  const QString notBitmap = dir.filePath("text.bmp");
  const QString cut = dir.filePath("cut.bmp");
  const QString emptyFirmware = dir.filePath("empty.bin");
  auto write = [](const QString& path, const Bytes& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  };
  write(notBitmap, Bytes{'h', 'e', 'l', 'l', 'o'});
  Bytes cutShort = MakeBitmap({.width = 8, .height = 2});
  cutShort.resize(30);
  write(cut, cutShort);
  write(emptyFirmware, {});
  const QString picture = dir.filePath("photo.bin");
  write(picture, Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x03});
  const struct {
    QStringList arguments;
    const char* reason;
  } cases[] = {
      {{"print", "picture", missing}, "no such file"},
      {{"print", "picture", dir.path()}, "cannot be read"},
      {{"print", "picture", notBitmap}, "not a BMP, PNG, JPEG or GIF picture"},
      {{"print", "picture", cut}, "the BMP header is cut short"},
      {{"logo", "load", cut}, "the BMP header is cut short"},
      {{"print", "text", missing}, "no such file"},
      {{"print", "text", dir.path()}, "not a regular file"},
      {{"firmware", "check", missing}, "no such file"},
      {{"firmware", "update", dir.path()}, "not a regular file"},
      {{"firmware", "update", emptyFirmware}, "empty"},
      {{"firmware", "recover", emptyFirmware, "--board", "3"}, "empty"},
      {{"firmware", "check", picture}, "this is a JPEG picture, not firmware"},
      {{"firmware", "update", picture}, "this is a JPEG picture, not firmware"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CliRun run = RunZelka(c.arguments + QStringList{"--port", Port(), "--json"});
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_NE(run.Err().find(c.reason), std::string::npos) << run.Err();
    EXPECT_EQ(QJsonDocument::fromJson(run.out).object()["code"].toInt(), 7);
  }
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(CliExitCodesTest, AbsentPort) {
  for (const QStringList& selection : {QStringList{"-b", "57600"}, QStringList{}}) {
    const CliRun run = RunZelka(QStringList{"feed", "--port", "/dev/zelka-no-such-port"} + selection);
    EXPECT_EQ(run.exitCode, 6) << run.Err();
    EXPECT_EQ(run.Err(), "zelka: cannot open /dev/zelka-no-such-port: no such port; run \"zelka ports\" "
                         "to list the ports\n");
  }
}

TEST_F(CliExitCodesTest, NoPrinterAnswersTheSearch) {
  sim.SetSilent(true);
  const CliRun run = RunZelka({"detect", "--json", "--port", Port()});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.Err().find("no printer found on " + sim.PortName()), std::string::npos) << run.Err();
  EXPECT_EQ(QJsonDocument::fromJson(run.out).object()["code"].toInt(), 3);
  // The probe, and nothing else (at the other rates it arrives as noise).
  const auto names = sim.CommandNames();
  EXPECT_FALSE(names.empty());
  EXPECT_EQ(std::count(names.begin(), names.end(), "GS r"), static_cast<long>(names.size()));
}

TEST_F(CliExitCodesTest, PrinterThatDoesNotAnswerFailsTheOperation) {
  sim.SetSilent(true);
  const CliRun run = OnPrinter({"paper"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.Err().find("did not answer the paper sensor query"), std::string::npos) << run.Err();
}

// The tests run as root, who may open any device: the refusal is made real by running
// zelka as "nobody", for whom the pty is closed. A group is named only when joining it
// would help: it may read and write the device, and it is not root's.
TEST_F(CliExitCodesTest, PermissionDeniedAdviceFitsTheDevice) {
  const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
  if (::geteuid() != 0 || setpriv.isEmpty()) GTEST_SKIP() << "needs root and setpriv";
  const CliOptions asNobody{.prefix = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"}};
  const std::string port = sim.PortName();
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "no group dialout";
  const std::string someGroup = dialout->gr_name;
  const gid_t someGid = dialout->gr_gid;
  const struct {
    mode_t mode;
    gid_t group;
    std::string advice;
  } cases[] = {
      {0660, someGid, "permission denied; add your user to the group \"" + someGroup + "\""},
      {0600, 0, "permission denied; only its owner (root) may open it; a udev rule gives it to a group"},
      {0660, 0, "only its owner (root) may open it"},
      {0620, someGid, "only its owner (root) may open it"},  // the group may only write
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " group " + std::to_string(c.group));
    ASSERT_EQ(::chown(port.c_str(), 0, c.group), 0);
    ASSERT_EQ(::chmod(port.c_str(), c.mode), 0);
    for (const QStringList& selection : {QStringList{"-b", "57600"}, QStringList{}}) {
      const CliRun run = RunZelka(QStringList{"feed", "--port", Port()} + selection, asNobody);
      EXPECT_EQ(run.exitCode, 4) << run.Err();
      EXPECT_NE(run.Err().find(c.advice), std::string::npos) << run.Err();
      if (c.advice.find("only its owner") != std::string::npos) {
        EXPECT_EQ(run.Err().find("group \""), std::string::npos) << run.Err();
        EXPECT_NE(run.Err().find("GROUP=\"dialout\", MODE=\"0660\""), std::string::npos) << run.Err();
      }
    }
  }
  // A port ZELKA_PORT named says where it came from.
  CliOptions fromEnvironment = asNobody;
  fromEnvironment.environment = {"ZELKA_PORT=" + Port()};
  const CliRun run = RunZelka({"feed"}, fromEnvironment);
  EXPECT_EQ(run.exitCode, 4) << run.Err();
  EXPECT_NE(run.Err().find("cannot open " + port + " (named by ZELKA_PORT): permission denied"),
            std::string::npos)
      << run.Err();
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(CliExitCodesTest, WhatIsNoSerialPortIsNeverOpened) {
  const QString file = dir.filePath("passwd");
  {
    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("root:x:0:0\n");
  }
  for (const QString& name : {file, dir.path(), QStringLiteral("/dev/null")}) {
    for (const QStringList& selection : {QStringList{"-b", "57600"}, QStringList{}}) {
      SCOPED_TRACE((name + " " + selection.join(' ')).toStdString());
      const CliRun run = RunZelka(QStringList{"feed", "-p", name} + selection);
      EXPECT_EQ(run.exitCode, 6) << run.Err();
      EXPECT_NE(run.Err().find("cannot open " + name.toStdString() + ": not a serial port"), std::string::npos)
          << run.Err();
    }
  }
  QFile text(file);
  ASSERT_TRUE(text.open(QIODevice::ReadOnly));
  EXPECT_EQ(text.readAll(), "root:x:0:0\n") << "not a byte written to it";
  // Neither from the environment.
  const CliRun run = RunZelka({"detect"}, {.environment = {"ZELKA_PORT=" + file}});
  EXPECT_EQ(run.exitCode, 6) << run.Err();
  EXPECT_NE(run.Err().find(file.toStdString() + " (named by ZELKA_PORT): not a serial port"), std::string::npos)
      << run.Err();
}

// Without a search nothing shows that a printer is there: an action it does not answer
// is reported as sent, not as done.
TEST_F(CliExitCodesTest, ActionsWithoutAnAnswerAreReportedAsSent) {
  const CliRun kick = OnPrinter({"drawer", "open"});
  EXPECT_EQ(kick.exitCode, 0) << kick.Err();
  EXPECT_EQ(kick.Out(), "Sent the drawer kick on " + sim.PortName() +
                            " at 57600 baud; the printer does not confirm it.\n");
  for (const QStringList& command : {QStringList{"feed"}, QStringList{"beep"}, QStringList{"cut"},
                                     QStringList{"logo", "print"}, QStringList{"print", "qr"}}) {
    const CliRun run = OnPrinter(command);
    EXPECT_EQ(run.Out().rfind("Sent the ", 0), 0u) << run.Out();
  }
  const CliRun searched = RunZelka({"drawer", "open", "--port", Port()});
  EXPECT_EQ(searched.exitCode, 0) << searched.Err();
  EXPECT_EQ(searched.Out(), "Opened the cash drawer on " + sim.PortName() + " at 57600 baud.\n");
}

// A port this process holds open is busy for zelka.
TEST_F(CliExitCodesTest, BusyPort) {
  link::SerialLink holder;
  ASSERT_EQ(holder.Open(sim.PortName(), 57600, std::chrono::milliseconds{100}), link::Status::kOk);
  const CliRun run = OnPrinter({"feed"});
  EXPECT_EQ(run.exitCode, 5) << run.Err();
  EXPECT_NE(run.Err().find("the port is busy"), std::string::npos) << run.Err();
}

TEST_F(CliExitCodesTest, HelpAndVersionSucceed) {
  const CliRun help = RunZelka({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.Out().find("Exit codes:\n  0  success"), std::string::npos);
  EXPECT_NE(help.Out().find("  7  a file was refused"), std::string::npos);
  const CliRun version = RunZelka({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.Out(), "zelka " ZELKA_PROJECT_VERSION "\n");
}

}  // namespace
}  // namespace zelka::testing
