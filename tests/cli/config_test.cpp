// Defaults from a configuration file: what a line may hold, the order in which the
// command line, ZELKA_PORT and the files win, and zelka config telling where each value
// came from.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "cli/cli_fixture.h"
#include "cli/config_file.h"

namespace zelka::testing {
namespace {

using cli::ConfigFile;
using cli::ParseConfigText;

TEST(ConfigTextTest, LinesKeysAndValues) {
  ConfigFile config;
  const auto error = ParseConfigText(
      "# the kitchen printer\n"
      "\n"
      "  port = /dev/serial/by-id/usb-FTDI_FT232R_A10K3B7Q-if00-port0   # behind the bar\n"
      "baud=9600\r\n"
      "json = true\n"
      "paper = 57",
      "/etc/zelka/zelka.conf", config);
  ASSERT_FALSE(error) << *error;
  ASSERT_TRUE(config.port && config.baud && config.json && config.paper);
  EXPECT_EQ(config.port->value, "/dev/serial/by-id/usb-FTDI_FT232R_A10K3B7Q-if00-port0");
  EXPECT_EQ(config.port->line, 3);
  EXPECT_EQ(config.baud->value, "9600");
  EXPECT_EQ(config.baud->line, 4);
  EXPECT_EQ(config.json->value, "true");
  EXPECT_EQ(config.paper->value, "57");
  EXPECT_EQ(config.paper->file, "/etc/zelka/zelka.conf");

  // A later file replaces the keys it gives and keeps the others.
  ASSERT_FALSE(ParseConfigText("port = usb:A10K3B7Q\n", "/home/u/.config/zelka/zelka.conf", config));
  EXPECT_EQ(config.port->value, "usb:A10K3B7Q");
  EXPECT_EQ(config.port->file, "/home/u/.config/zelka/zelka.conf");
  EXPECT_EQ(config.baud->file, "/etc/zelka/zelka.conf");
}

TEST(ConfigTextTest, ABadLineIsAnErrorWithFileLineAndKey) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"port = a\nspeed = 9600\n", "f.conf:2: unknown key \"speed\"; the keys are port, baud, json and paper"},
      {"\n\nbaud = 14400", "f.conf:3: baud: must be 9600, 19200, 57600 or 115200, not \"14400\""},
      {"json = yes", "f.conf:1: json: must be true or false, not \"yes\""},
      {"paper = 57-on-80", "f.conf:1: paper: must be 80 or 57, not \"57-on-80\""},
      {"port =", "f.conf:1: port: needs a port name, not \"\""},
      {"port", "f.conf:1: expected \"key = value\", not \"port\""},
      {"baud = 9600\nbaud = 19200", "f.conf:2: baud: given twice (first on line 1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ConfigFile config;
    const auto error = ParseConfigText(c.text, "f.conf", config);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, c.error);
    EXPECT_FALSE(config.port) << "a bad file gives nothing";
  }
}

class ConfigTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("zelka")));
  }
  QString File() const { return home.filePath(QStringLiteral("zelka/zelka.conf")); }
  void WriteConfig(const std::string& text) {
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray::fromStdString(text));
  }
  CliRun Zelka(const QStringList& arguments, QStringList environment = {}) {
    environment << "XDG_CONFIG_HOME=" + home.path();
    return RunZelka(arguments, {.environment = environment});
  }
  QTemporaryDir home;
};

TEST_F(ConfigTest, CommandLineThenEnvironmentThenFile) {
  auto& other = AddPrinter(sim::DefaultPrinter());
  other.Update([](sim::PrinterState& s) { s.baud = 9600; });
  WriteConfig("port = " + sim.PortName() + "\nbaud = 57600\njson = true\n");

  // The file's port at the file's rate: no search, JSON.
  CliRun run = Zelka({"paper"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(JsonOf(run)["port"].toString().toStdString(), sim.PortName());
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"GS r"}) << "the query alone: no probe";

  // ZELKA_PORT wins over the file; the file's rate goes with the file's port only, so the
  // other printer is searched for and found at its own rate.
  run = Zelka({"detect"}, {"ZELKA_PORT=" + QString::fromStdString(other.PortName())});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(JsonOf(run)["port"].toString().toStdString(), other.PortName());
  EXPECT_EQ(JsonOf(run)["baud"].toInt(), 9600);

  // The command line wins over both.
  run = Zelka({"detect", "-p", QString::fromStdString(sim.PortName())},
              {"ZELKA_PORT=" + QString::fromStdString(other.PortName())});
  EXPECT_EQ(JsonOf(run)["port"].toString().toStdString(), sim.PortName());

  // zelka config tells where each value came from.
  run = Zelka({"config"}, {"ZELKA_PORT=" + QString::fromStdString(other.PortName())});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  const QJsonObject shown = JsonOf(run);
  EXPECT_EQ(shown["port"]["source"].toString(), "environment");
  EXPECT_EQ(shown["port"]["value"].toString().toStdString(), other.PortName());
  EXPECT_EQ(shown["baud"]["source"].toString(), "default");
  EXPECT_EQ(shown["json"]["source"].toString(), "file");
  EXPECT_EQ(shown["json"]["file"].toString(), File());
  EXPECT_EQ(shown["json"]["line"].toInt(), 3);
  EXPECT_EQ(shown["paper"]["source"].toString(), "default");
  ASSERT_FALSE(shown["files"].toArray().isEmpty());
  EXPECT_EQ(shown["files"].toArray().last()["path"].toString(), File());
  EXPECT_TRUE(shown["files"].toArray().last()["found"].toBool());

  WriteConfig("port = " + sim.PortName() + "\nbaud = 57600\n");
  run = Zelka({"config", "-b", "9600"});
  const std::string pad(sim.PortName().size() - 4, ' ');
  EXPECT_NE(run.Out().find("port   " + sim.PortName() + "  (" + File().toStdString() + ", line 1)\n"
                           "baud   9600" + pad + "  (command line)\n"),
            std::string::npos)
      << run.Out();
}

TEST_F(ConfigTest, PaperFromTheFileForTheCommandsThatTakeIt) {
  WriteConfig("paper = 57\n");
  QImage photo(1000, 100, QImage::Format_RGB32);
  photo.fill(Qt::gray);
  const QString png = home.filePath(QStringLiteral("photo.png"));
  ASSERT_TRUE(photo.save(png));
  const QString out = home.filePath(QStringLiteral("preview.png"));
  CliRun run = Zelka({"print", "picture", png, "--preview", out});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(QImage(out).width(), 384) << "57 mm paper";
  run = Zelka({"print", "picture", png, "--preview", out, "--paper", "80"});
  EXPECT_EQ(QImage(out).width(), 576) << "the command line wins";
  EXPECT_EQ(Zelka({"ports", "--json"}).exitCode, 0) << "a command without --paper ignores it";
}

// A bad file ends every command (not --help and --version) before anything is sent.
TEST_F(ConfigTest, ABadFileIsAnErrorNamingItsLine) {
  WriteConfig("port = " + sim.PortName() + "\n\nspeed = 9600\n");
  const CliRun run = Zelka({"feed"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.Err().find(File().toStdString() + ":3: unknown key \"speed\""), std::string::npos) << run.Err();
  EXPECT_EQ(Zelka({"--help"}).exitCode, 0);
  EXPECT_EQ(Zelka({"--version"}).exitCode, 0);
  EXPECT_EQ(Zelka({"config"}).exitCode, 2);

  QFile::remove(File());
  ASSERT_TRUE(QDir().mkpath(File()));
  const CliRun directory = Zelka({"feed"});
  EXPECT_EQ(directory.exitCode, 2);
  EXPECT_NE(directory.Err().find(File().toStdString() + ": not a regular file"), std::string::npos)
      << directory.Err();
  EXPECT_TRUE(sim.Log().empty());
}

}  // namespace
}  // namespace zelka::testing
