// settings save and restore: a printer's settings copied through a file to another
// printer, byte for byte on the wire, with every value read back.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "cli/cli_fixture.h"
#include "graphics/bitmap_maker.h"

namespace zelka::testing {
namespace {

class SettingsTransferTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    // The old printer: 9600 baud, 57 mm paper, cut line 35, density 80.
    sim.Update([](sim::PrinterState& s) {
      s.baud = 9600;
      s.parameters = {{8, 1}, {10, 135}, {65, 80}};
      s.serialReply = sim::MakeTextReply("ZK00012345", 12);
    });
    // Its replacement, as it comes from the box: 57600 baud, 80 mm, 20, 60.
    replacement = &AddPrinter(sim::DefaultPrinter());
  }
  CliRun On(const sim::Simulator& printer, QStringList arguments) {
    arguments << "-p" << QString::fromStdString(printer.PortName()) << "-b" << QString::number(printer.State().baud);
    return RunZelka(arguments);
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QString Write(const char* name, const QByteArray& bytes) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return Path(name);
  }
  Frames Logged(const sim::Simulator& printer) const { return LoggedFrames(0, &printer); }
  sim::Simulator* replacement = nullptr;
  QTemporaryDir dir;
};

TEST_F(SettingsTransferTest, SavedSettingsGoOntoTheReplacementAndReadBack) {
  CliRun save = On(sim, {"settings", "save", Path("old.json"), "--codepage-866"});
  ASSERT_EQ(save.exitCode, 0) << save.Err();
  // Only queries: model, cut line, density, serial number, paper width.
  EXPECT_EQ(Logged(sim), (Frames{{"GS I @", {0x1D, 0x49, 0x40, 0x27}},
                                 {"US 0x07", {0x1F, 0x07, 0x0A}},
                                 {"US 0x07", {0x1F, 0x07, 0x41}},
                                 {"GS I @", {0x1D, 0x49, 0x40, 0x23}},
                                 {"US 0x07", {0x1F, 0x07, 0x08}}}));
  QFile saved(Path("old.json"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QJsonObject file = QJsonDocument::fromJson(saved.readAll()).object();
  EXPECT_EQ(file["format"].toString(), "zelka-settings");
  EXPECT_EQ(file["version"].toInt(), 1);
  EXPECT_EQ(file["model"].toString(), "Printer Zelka");
  EXPECT_EQ(file["serial"].toString(), "ZK00012345");
  EXPECT_EQ(file["baud"].toInt(), 9600);
  EXPECT_EQ(file["paper_width_mm"].toInt(), 57);
  EXPECT_EQ(file["cut_line"].toInt(), 35);
  EXPECT_EQ(file["density"].toInt(), 80);
  EXPECT_EQ(file["codepage"].toInt(), 866);
  EXPECT_FALSE(file["saved"].toString().isEmpty());

  const Bytes logo = MakeBitmap({.width = 8, .height = 8});
  const QString logoPath = Write("logo.bmp", QByteArray(reinterpret_cast<const char*>(logo.data()),
                                                        static_cast<qsizetype>(logo.size())));
  const CliRun restore = On(*replacement, {"settings", "restore", Path("old.json"), "--logo", logoPath, "--json"});
  ASSERT_EQ(restore.exitCode, 0) << restore.Err() << restore.Out();
  Frames frames = Logged(*replacement);
  ASSERT_GE(frames.size(), 10u);
  // The model first, then the settings in their order, the logo, and the rate last; the
  // read-back follows at the new rate.
  Bytes logoFrame{0x1B};
  logoFrame.insert(logoFrame.end(), logo.begin(), logo.end());
  const Frames written(frames.begin() + 6, frames.begin() + 14);
  EXPECT_EQ(Frames(frames.begin(), frames.begin() + 6),
            (Frames{{"GS I @", {0x1D, 0x49, 0x40, 0x27}}, {"US 0x07", {0x1F, 0x07, 0x0A}},
                    {"US 0x07", {0x1F, 0x07, 0x41}}, {"GS I @", {0x1D, 0x49, 0x40, 0x23}},
                    {"US 0x07", {0x1F, 0x07, 0x08}}, {"US 0x03", {0x1F, 0x03, 0x08, 0x01}}}));
  EXPECT_EQ(written, (Frames{{"US 0x07", {0x1F, 0x07, 0x08}},
                             {"US 0x03", {0x1F, 0x03, 0x0A, 135}},
                             {"US 0x03", {0x1F, 0x03, 0x41, 80}},
                             {"ESC R", {0x1B, 0x52, 0x07}},
                             {"logo", logoFrame},
                             {"US 0x02", {0x1F, 0x02, 0x00, 0x03, 0x00, 0x00, 0x03, 0x00}},
                             {"GS I @", {0x1D, 0x49, 0x40, 0x27}},
                             {"US 0x07", {0x1F, 0x07, 0x0A}}}));
  bool moved = false;
  for (const sim::LogEntry& entry : replacement->Log()) {
    EXPECT_EQ(entry.baud, moved ? 9600 : 57600) << entry.name;
    moved = moved || entry.name == "US 0x02";
  }
  const sim::PrinterState now = replacement->State();
  EXPECT_EQ(now.baud, 9600);
  EXPECT_EQ(now.parameters.at(8), 1);
  EXPECT_EQ(now.parameters.at(10), 135);
  EXPECT_EQ(now.parameters.at(65), 80);
  EXPECT_EQ(now.logoState & 1, 1);

  const QJsonObject result = JsonOf(restore);
  EXPECT_EQ(result["baud"].toInt(), 9600);
  QStringList states;
  for (const QJsonValue& value : result["values"].toArray()) {
    states << value["key"].toString() + "=" + value["state"].toString();
  }
  EXPECT_EQ(states, (QStringList{"baud=set", "paper_width_mm=set", "cut_line=set", "density=set", "codepage=sent",
                                 "logo=set"}));
}

// A value the new printer does not keep shows as different, and the command fails.
TEST_F(SettingsTransferTest, AValueThePrinterDoesNotKeepIsReportedDifferent) {
  ASSERT_EQ(On(sim, {"settings", "save", Path("old.json")}).exitCode, 0);
  replacement->Update([](sim::PrinterState& s) { s.fixedParameters = {65}; });
  const CliRun restore = On(*replacement, {"settings", "restore", Path("old.json")});
  EXPECT_EQ(restore.exitCode, 1) << restore.Err();
  EXPECT_NE(restore.Out().find("  density         80        different: the printer reads 60\n"), std::string::npos)
      << restore.Out();
  EXPECT_NE(restore.Out().find("  cut_line        35        set\n"), std::string::npos) << restore.Out();
  EXPECT_NE(restore.Out().find("Use --baud 9600 from now on."), std::string::npos) << restore.Out();
  EXPECT_NE(restore.Err().find("does not read back what was written: density"), std::string::npos) << restore.Err();
  EXPECT_EQ(replacement->State().baud, 9600) << "the rate went last all the same";
}

TEST_F(SettingsTransferTest, AnotherModelIsRefusedUnlessForced) {
  ASSERT_EQ(On(sim, {"settings", "save", Path("old.json")}).exitCode, 0);
  replacement->Update([](sim::PrinterState& s) { s.modelReply = sim::MakeTextReply("Zelka Z-80", 17); });
  replacement->ClearLog();
  const CliRun refused = On(*replacement, {"settings", "restore", Path("old.json")});
  EXPECT_EQ(refused.exitCode, 7) << refused.Err();
  EXPECT_NE(refused.Err().find("saved from the model \"Printer Zelka\""), std::string::npos) << refused.Err();
  for (const auto& [name, bytes] : Logged(*replacement)) {
    EXPECT_TRUE(name == "GS I @" || name == "US 0x07") << name << ": only queries before the refusal";
  }

  // Forced: the settings the other model has (paper width, rate), not the cut line and
  // density it does not have.
  replacement->ClearLog();
  const CliRun forced = On(*replacement, {"settings", "restore", Path("old.json"), "--force", "--json"});
  EXPECT_EQ(forced.exitCode, 0) << forced.Err();
  QStringList states;
  for (const QJsonValue& value : JsonOf(forced)["values"].toArray()) {
    states << value["key"].toString() + "=" + value["state"].toString();
  }
  EXPECT_EQ(states, (QStringList{"baud=set", "paper_width_mm=set", "cut_line=skipped", "density=skipped"}));
  for (const auto& [name, bytes] : Logged(*replacement)) {
    if (name == "US 0x03") {
      EXPECT_EQ(bytes[2], 0x08) << "only the paper width is written";
    }
  }
  EXPECT_EQ(replacement->State().baud, 9600);
}

// A file that is no settings file of this version, or holds a value out of range, is
// refused before anything is sent.
TEST_F(SettingsTransferTest, BadFilesAreRefusedBeforeAnythingIsSent) {
  const QByteArray good = R"({"format": "zelka-settings", "version": 1, "model": "Printer Zelka", "baud": 9600,
                              "paper_width_mm": 57, "cut_line": 35, "density": 80})";
  const struct {
    const char* name;
    QByteArray bytes;
    const char* reason;
  } cases[] = {
      {"not-json", "model = Printer Zelka", "not JSON"},
      {"list", "[1, 2]", "not a JSON object"},
      {"other-format", QByteArray(good).replace("zelka-settings", "other"), "\"format\" is not"},
      {"version-2", QByteArray(good).replace("\"version\": 1", "\"version\": 2"), "format version 2; this zelka reads version 1"},
      {"no-model", QByteArray(good).replace("\"model\": \"Printer Zelka\",", ""), "\"model\" is missing"},
      {"baud", QByteArray(good).replace("9600", "14400"), "\"baud\" must be 9600, 19200, 57600 or 115200"},
      {"width", QByteArray(good).replace("57,", "58,"), "\"paper_width_mm\" must be 80 or 57"},
      {"cut-line", QByteArray(good).replace("35", "51"), "\"cut_line\" must be a whole number 0..50"},
      {"density", QByteArray(good).replace("80}", "19}"), "\"density\" must be a whole number 20..100"},
      {"fraction", QByteArray(good).replace("80}", "80.5}"), "\"density\" must be a whole number 20..100"},
      {"codepage", QByteArray(good).replace("80}", "80, \"codepage\": 1251}"), "\"codepage\" must be 866"},
      {"unknown", QByteArray(good).replace("80}", "80, \"densty\": 80}"), "unknown key \"densty\""},
      {"huge", QByteArray(70000, ' '), "more than the 65536"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = OnPrinter({"settings", "restore", Write(c.name, c.bytes)});
    EXPECT_EQ(run.exitCode, 7) << run.Err();
    EXPECT_NE(run.Err().find(c.reason), std::string::npos) << run.Err();
    EXPECT_NE(run.Err().find("nothing was sent"), std::string::npos) << run.Err();
  }
  const CliRun missing = OnPrinter({"settings", "restore", Path("missing.json")});
  EXPECT_EQ(missing.exitCode, 7);
  const CliRun badLogo = OnPrinter({"settings", "restore", Write("good.json", good), "--logo", Path("missing.bmp")});
  EXPECT_EQ(badLogo.exitCode, 7) << badLogo.Err();
  const CliRun unwritable = OnPrinter({"settings", "save", "/nonexistent-dir/settings.json"});
  EXPECT_EQ(unwritable.exitCode, 7) << unwritable.Err();
  EXPECT_TRUE(sim.Log().empty());
}

}  // namespace
}  // namespace zelka::testing
