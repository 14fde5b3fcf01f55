// Every exit code from its cause, as a script sees it: the status, one line on standard
// error, the JSON error object, and nothing sent to the printer before the arguments and
// files were checked.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>

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
// zelka as "nobody", for whom the pty (owned by root, mode 620) is closed.
TEST_F(CliExitCodesTest, PermissionDeniedTellsTheGroup) {
  const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
  if (::geteuid() != 0 || setpriv.isEmpty()) GTEST_SKIP() << "needs root and setpriv";
  const CliOptions asNobody{.prefix = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"}};
  for (const QStringList& selection : {QStringList{"-b", "57600"}, QStringList{}}) {
    const CliRun run = RunZelka(QStringList{"feed", "--port", Port()} + selection, asNobody);
    EXPECT_EQ(run.exitCode, 4) << run.Err();
    const std::string group = QFileInfo(Port()).group().toStdString();
    EXPECT_NE(run.Err().find("permission denied; add your user to the group \"" + group + "\""),
              std::string::npos)
        << run.Err();
  }
  EXPECT_TRUE(sim.Log().empty());
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
