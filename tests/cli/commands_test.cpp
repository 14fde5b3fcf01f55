// Each subcommand as a script runs it, against a simulated printer: the frames on the
// wire (the window's button for it sends the same), the values printed, the JSON.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

#include <fstream>
#include <map>

#include "cli/cli_fixture.h"
#include "cli/firmware_process.h"
#include "commands/codepage.h"
#include "graphics/bitmap_maker.h"

namespace zelka::testing {
namespace {

using Frames = std::vector<std::pair<std::string, Bytes>>;

class CliCommandsTest : public CliFixture {
 protected:
  Frames Logged(std::size_t expected) { return LoggedFrames(expected); }
  std::vector<std::string> Names(std::size_t expected) {
    sim.WaitForCommands(expected, std::chrono::seconds(5));
    return sim.CommandNames();
  }
  QString WriteFile(const QString& name, const Bytes& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
  }
  QTemporaryDir dir;
};

// The short frames, byte for byte.
TEST_F(CliCommandsTest, EachSubcommandSendsTheWindowsFrames) {
  const struct {
    QStringList command;
    Frames frames;
  } cases[] = {
      {{"feed"}, {{"LF", {0x0A}}}},
      {{"beep"}, {{"ESC BEL", {0x1B, 0x07}}}},
      {{"selftest"},
       {{"ESC BEL", {0x1B, 0x07}}, {"US t", {0x1F, 0x74}}, {"ESC BEL", {0x1B, 0x07}}, {"ESC v", {0x1B, 0x76}}}},
      {{"paper"}, {{"GS r", {0x1D, 0x72, 0x31}}}},
      {{"drawer", "open"}, {{"ESC p", {0x1B, 0x70, 0x30, 0x96, 0x96}}}},
      {{"drawer", "status"}, {{"GS r", {0x1D, 0x72, 0x32}}}},
      {{"set", "cut-line", "7"}, {{"US 0x03", {0x1F, 0x03, 0x0A, 107}}}},
      {{"set", "density", "55"}, {{"US 0x03", {0x1F, 0x03, 0x41, 55}}}},
      {{"set", "codepage", "866"}, {{"ESC R", {0x1B, 0x52, 0x07}}}},
      {{"set", "baud", "57600"}, {{"US 0x02", {0x1F, 0x02, 0x00, 0x06, 0x00, 0x00, 0x03, 0x00}}}},
      {{"set", "paper-width", "57"}, {{"US 0x03", {0x1F, 0x03, 0x08, 0x01}}, {"US 0x07", {0x1F, 0x07, 0x08}}}},
      {{"logo", "erase"}, {{"GS @", {0x1D, 0x40, 0x31}}, {"GS I", {0x1D, 0x49, 0x34}}}},
      {{"logo", "print"}, {{"GS /", {0x1D, 0x2F, 0x00}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.join(' ').toStdString());
    sim.ClearLog();
    const CliRun run = OnPrinter(c.command);
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    EXPECT_FALSE(run.out.isEmpty());
    EXPECT_EQ(Logged(c.frames.size()), c.frames);
  }
}

// The longer ones, by command name.
TEST_F(CliCommandsTest, ReceiptsAndCodesSendTheirCommands) {
  const std::vector<std::string> line = {"text", "CR", "LF"};
  std::vector<std::string> cut;
  for (int i = 0; i < 3; ++i) cut.insert(cut.end(), line.begin(), line.end());
  cut.insert(cut.end(), {"ESC d", "ESC m"});
  const struct {
    QStringList command;
    std::vector<std::string> names;
  } cases[] = {
      {{"cut"}, cut},
      {{"print", "qr"}, {"GS ( k", "GS ( k", "GS ( k", "GS ( k", "ESC d", "ESC i"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.join(' ').toStdString());
    sim.ClearLog();
    const CliRun run = OnPrinter(c.command);
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    EXPECT_EQ(Names(c.names.size()), c.names);
  }
}

// --paper picks the layout: three different streams, each a whole receipt.
TEST_F(CliCommandsTest, PrintTestTakesThePaperLayout) {
  std::map<std::string, Frames> sent;
  for (const char* paper : {"80", "57", "57-on-80"}) {
    SCOPED_TRACE(paper);
    sim.ClearLog();
    sim.ClearReceipts();
    const CliRun run = OnPrinter({"print", "test", "--paper", paper});
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    ASSERT_TRUE(sim.WaitForReceipts(1, std::chrono::seconds(5)));
    sent[paper] = Logged(1);
  }
  EXPECT_NE(sent["80"], sent["57"]);
  EXPECT_NE(sent["57"], sent["57-on-80"]);
  EXPECT_NE(sent["80"], sent["57-on-80"]);
  sim.ClearLog();
  OnPrinter({"print", "test"});
  EXPECT_EQ(Logged(sent["80"].size()), sent["80"]);
}

TEST_F(CliCommandsTest, PrintTextCutsLinesToTheModelsWidth) {
  const std::string longLine(70, 'x');
  const struct {
    const char* model;
    std::size_t limit;
  } cases[] = {{"Printer Zelka", 57}, {"Zelka Z-80", 56}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    sim.Update([&c](sim::PrinterState& s) { s.modelReply = sim::MakeTextReply(c.model, 17); });
    sim.ClearLog();
    const CliRun run = OnPrinter({"print", "text"}, {.input = QByteArray("Привет\r\n") +
                                                              QByteArray::fromStdString(longLine) + "\n"});
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    const std::string hello = commands::EncodeCp866("Привет");
    const Frames expected = {{"GS I @", {0x1D, 0x49, 0x40, 0x27}},
                             {"text", Bytes(hello.begin(), hello.end())},
                             {"CR", {0x0D}},
                             {"LF", {0x0A}},
                             {"text", Bytes(c.limit, 'x')},
                             {"CR", {0x0D}},
                             {"LF", {0x0A}}};
    EXPECT_EQ(Logged(expected.size()), expected);
  }
}

TEST_F(CliCommandsTest, PrintTextFromAFile) {
  const QString path = WriteFile("lines.txt", Bytes{'a', '\n', '\n', 'b'});
  const CliRun run = OnPrinter({"print", "text", path, "--json"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(JsonOf(run)["lines"].toInt(), 3);
  EXPECT_EQ(Names(9), (std::vector<std::string>{"GS I @", "text", "CR", "LF", "CR", "LF", "text", "CR", "LF"}));
}

TEST_F(CliCommandsTest, PictureAndLogoFromFiles) {
  const QString picture = WriteFile("picture.bmp", MakeBitmap({.width = 16, .height = 3}));
  CliRun run = OnPrinter({"print", "picture", picture});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(Names(5), (std::vector<std::string>{"ESC .", "ESC .", "ESC .", "ESC d", "ESC i"}));

  sim.ClearLog();
  const Bytes logoFile = MakeBitmap({.width = 8, .height = 8});
  run = OnPrinter({"logo", "load", WriteFile("logo.bmp", logoFile), "--json"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(JsonOf(run)["logo"].toString(), "stored");
  const Frames frames = Logged(2);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].first, "logo");
  EXPECT_EQ(Bytes(frames[0].second.begin() + 1, frames[0].second.end()), logoFile);
  EXPECT_EQ(frames[1], (std::pair<std::string, Bytes>{"GS I", {0x1D, 0x49, 0x34}}));
}

// Any picture is converted to the paper's dots; --preview writes them and sends nothing.
TEST_F(CliCommandsTest, PicturesAreConvertedAndPreviewedWithoutThePrinter) {
  QImage photo(1000, 250, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y) {
    for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x % 256, y, 128));
  }
  const QString png = dir.filePath("photo.png");
  ASSERT_TRUE(photo.save(png));
  struct Case {
    QStringList options;
    int width;
    int height;
  };
  const Case cases[] = {
      {{}, 576, 144},
      {{"--paper", "57"}, 384, 96},
      {{"--threshold", "128"}, 576, 144},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.join(' ').toStdString());
    const QString out = dir.filePath("preview.png");
    QFile::remove(out);
    CliRun run = OnPrinter(QStringList{"print", "picture", png, "--preview", out} + c.options);
    EXPECT_EQ(run.exitCode, 0) << run.Err();
    const QImage dots(out);
    EXPECT_EQ(dots.width(), c.width);
    EXPECT_EQ(dots.height(), c.height);
  }
  EXPECT_TRUE(sim.CommandNames().empty()) << "a preview touches no printer";

  CliRun run = OnPrinter({"print", "picture", png, "--paper", "57"});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  const auto names = Names(96 + 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), "ESC ."), 96);
  const Frames frames = Logged(98);
  EXPECT_EQ(frames.front().second.size(), 6u + 384 / 8) << "rows of the 57 mm paper's width";
}

// File names are the system's bytes, UTF-8 or not. QProcess passes only text, so the
// shell makes the arguments: printf turns \0377 into the byte 0xFF.
TEST_F(CliCommandsTest, FileNamesAreTakenAsTheirBytes) {
  const std::string folder = dir.path().toStdString();
  const std::string picture = folder + "/pic\xff.png";
  {
    QImage image(16, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    std::ofstream(picture, std::ios::binary).write(png.constData(), png.size());
  }
  const QString script = QStringLiteral(
      "exec \"$0\" print picture \"$(printf '%b' \"$1\")\" --preview \"$(printf '%b' \"$2\")\"");
  const CliRun run =
      RunZelka({QString::fromStdString(folder + "/pic\\0377.png"), QString::fromStdString(folder + "/out\\0376.png")},
               {.prefix = {"/bin/sh", "-c", script}});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(::access((folder + "/out\xfe.png").c_str(), F_OK), 0) << "written under its own name";
  EXPECT_NE(::access((folder + "/out\xef\xbf\xbd.png").c_str(), F_OK), 0) << "not under a mended one";
  EXPECT_NE(run.Out().find("Preview written to " + folder + "/out?.png (16 x 4 dots)"), std::string::npos)
      << run.Out();
}

TEST_F(CliCommandsTest, FirmwareCheckSendsOnlyTheBoardQuery) {
  // The simulated printer's boot firmware number stands for board version 3.
  Bytes image(600, 0xA5);
  image.back() = 3;
  CliRun run = OnPrinter({"firmware", "check", WriteFile("good.bin", image)});
  EXPECT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_NE(run.Out().find("suits"), std::string::npos);
  EXPECT_EQ(Logged(1), (Frames{{"GS I @", {0x1D, 0x49, 0x40, 0x2B}}}));

  sim.ClearLog();
  image.back() = 4;
  run = OnPrinter({"firmware", "check", WriteFile("other.bin", image)});
  EXPECT_EQ(run.exitCode, 7);
  EXPECT_NE(run.Err().find("built for board version 4"), std::string::npos) << run.Err();
  EXPECT_EQ(Names(1), std::vector<std::string>{"GS I @"});
}

TEST_F(CliCommandsTest, InfoPrintsEveryValue) {
  const CliRun run = OnPrinter({"info", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  const QJsonObject info = JsonOf(run);
  EXPECT_EQ(info["port"].toString().toStdString(), sim.PortName());
  EXPECT_EQ(info["baud"].toInt(), 57600);
  EXPECT_EQ(info["model"].toString(), "Printer Zelka");
  EXPECT_EQ(info["serial"].toString(), "ZK00012345");
  EXPECT_EQ(info["boot_firmware"].toObject()["number"].toString(), "ZELKA-000001");
  EXPECT_EQ(info["boot_firmware"].toObject()["version"].toString(), "1.05");
  EXPECT_TRUE(info["main_firmware"].toObject()["number"].isString());
  EXPECT_TRUE(info["main_firmware"].toObject()["version"].isString());
  EXPECT_EQ(info["paper"].toString(), "present");
  EXPECT_EQ(info["drawer"].toString(), "closed");
  EXPECT_EQ(info["logo"].toString(), "absent");
  EXPECT_EQ(info["paper_width_mm"].toInt(), 80);
  EXPECT_TRUE(info["build_date"].isString());
  EXPECT_EQ(info["cut_line"].toInt(), 20);  // parameter 10 is 120
  EXPECT_EQ(info["density"].toInt(), 60);

  const CliRun text = OnPrinter({"info"});
  EXPECT_NE(text.Out().find("Serial number:   ZK00012345\n"), std::string::npos) << text.Out();
  EXPECT_NE(text.Out().find("Cut line:        20\n"), std::string::npos);
}

// A query that gets no answer is null, and the others still come.
TEST_F(CliCommandsTest, InfoShowsFailedQueriesAsNull) {
  sim.Update([](sim::PrinterState& s) {
    s.paperSensor = 0x01;
    s.parameters[8] = 1;
  });
  for (const Bytes& prefix : {Bytes{0x1D, 0x49, 0x40, 0x23}, Bytes{0x1D, 0x72, 0x32}, Bytes{0x1F, 0x07, 0x0A},
                              Bytes{0x1D, 0x49, 0x34}, Bytes{0x1D, 0x49, 0x40, 0x63}}) {
    sim.AddFault({.prefix = prefix, .kind = sim::Fault::Kind::Silent});
  }
  const CliRun run = OnPrinter({"info", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  const QJsonObject info = JsonOf(run);
  for (const char* key : {"serial", "drawer", "cut_line", "logo", "build_date"}) {
    EXPECT_TRUE(info[key].isNull()) << key;
  }
  EXPECT_EQ(info["model"].toString(), "Printer Zelka");
  EXPECT_EQ(info["paper"].toString(), "absent");
  EXPECT_EQ(info["paper_width_mm"].toInt(), 57);
  EXPECT_EQ(info["density"].toInt(), 60);
  const CliRun text = OnPrinter({"info"});
  EXPECT_NE(text.Out().find("Serial number:   (no answer)\n"), std::string::npos) << text.Out();
}

TEST_F(CliCommandsTest, StateQueriesAndQuiet) {
  sim.Update([](sim::PrinterState& s) {
    s.paperSensor = 0x01;
    s.drawerStatus = 0x00;
  });
  EXPECT_EQ(OnPrinter({"paper"}).Out(), "Paper: absent\n");
  EXPECT_EQ(JsonOf(OnPrinter({"drawer", "status", "--json"}))["drawer"].toString(), "open");
  const CliRun quiet = OnPrinter({"-q", "feed"});
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_TRUE(quiet.out.isEmpty());
  EXPECT_TRUE(quiet.err.isEmpty());
}

// Without --baud the window's search finds the port and rate; ZELKA_PORT names the port.
TEST_F(CliCommandsTest, DetectSearchesTheRates) {
  sim.Update([](sim::PrinterState& s) { s.baud = 19200; });
  const CliRun run = RunZelka({"detect", "--json"},
                              {.environment = {QStringLiteral("ZELKA_PORT=") + QString::fromStdString(sim.PortName())}});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  const QJsonObject found = JsonOf(run);
  EXPECT_EQ(found["port"].toString().toStdString(), sim.PortName());
  EXPECT_EQ(found["baud"].toInt(), 19200);
}

TEST_F(CliCommandsTest, TraceWritesEveryFrameBothWays) {
  const CliRun run = OnPrinter({"paper", "--trace"});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  const QString port = QRegularExpression::escape(QString::fromStdString(sim.PortName()));
  const QRegularExpression sent(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} send ") + port +
                                QStringLiteral(" 57600: 1d 72 31$"), QRegularExpression::MultilineOption);
  const QRegularExpression read(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} recv ") + port +
                                QStringLiteral(" 57600: 00$"), QRegularExpression::MultilineOption);
  const QString err = QString::fromUtf8(run.err);
  EXPECT_TRUE(sent.match(err).hasMatch()) << run.Err();
  EXPECT_TRUE(read.match(err).hasMatch()) << run.Err();
  EXPECT_EQ(run.Out(), "Paper: present\n");
}

TEST_F(CliCommandsTest, PortsListsTheSystemsPortsAsJson) {
  const CliRun run = RunZelka({"ports", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  const QJsonDocument document = QJsonDocument::fromJson(run.out);
  ASSERT_TRUE(document.isArray()) << run.Out();
  for (const QJsonValue& port : document.array()) {
    const QJsonObject object = port.toObject();
    for (const char* key : {"name", "description", "vid", "pid", "serial", "access"}) {
      EXPECT_TRUE(object.contains(key)) << key;
    }
    EXPECT_TRUE(QStringList({"ok", "permission denied", "busy", "absent", "error"})
                    .contains(object["access"].toString()));
  }
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(CliCommandsTest, FirmwareUpdateReportsProgressOncePerTenthWhenPiped) {
  Bytes image(20 * 256, 0x5A);
  image.back() = 3;
  const CliRun run = OnPrinter({"firmware", "update", WriteFile("fw.bin", image)}, {.environment = ShortWaits()});
  ASSERT_EQ(run.exitCode, 0) << run.Err();
  EXPECT_EQ(sim.ReceivedImage(), image);
  for (int percent = 10; percent <= 100; percent += 10) {
    const std::string line = "zelka: transfer " + std::to_string(percent) + "% (" +
                             std::to_string(percent / 5) + "/20 blocks)\n";
    EXPECT_NE(run.Err().find(line), std::string::npos) << line << run.Err();
  }
  EXPECT_EQ(run.Err().find('\r'), std::string::npos);
}

}  // namespace
}  // namespace zelka::testing
