// The identification: labels, colours, model-dependent controls, track bars, the boot
// firmware warning, the paper width, the serial traffic, and the remote records.
#include "discovery/identification.h"

#include "commands/text_line.h"
#include "link/serial_link.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using seams::kRedColour;
using seams::kWindowTextColour;

constexpr const char* kOutdated =
    "Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.\n";

class IdentificationTest : public FormFixture {
 protected:
  void Search() { Click("Button7"); }
  std::vector<std::string> MessagesAfterTheFoundOne() {
    auto texts = dialogs.Texts();
    if (!texts.empty()) texts.erase(texts.begin());
    return texts;
  }
};

class Records final : public discovery::RecordWriter {
 public:
  bool WriteRecord(const std::string& line) override {
    if (failAfter >= 0 && static_cast<int>(lines.size()) >= failAfter) return false;
    lines.push_back(line);
    return true;
  }
  std::vector<std::string> lines;
  int failAfter = -1;
};

TEST_F(IdentificationTest, ReferencePrinterFillsEveryLabelInOrder) {
  sim.Update([](sim::PrinterState& s) {
    s.modelReply = sim::MakeTextReply("Printer Zelka  ", 17);
    s.serialReply = sim::MakeTextReply("ZK00012345", 12);
    s.bootNumberReply = sim::MakeTextReply("ZELKA-000001", 14);
    s.bootVersionReply = sim::MakeTextReply("1.05", 6);
    s.mainNumberReply = sim::MakeTextReply("ZELKA-000101", 14);
    s.mainVersionReply = sim::MakeTextReply("2.10", 6);
    s.buildDateReply = sim::MakeRawTextReply("2026-11-03", 15);
    s.paperSensor = 0x02;  // only bit 0 counts: paper present
    s.drawerStatus = 0x01;
    s.logoState = 0x03;
    s.parameters = {{8, 0}, {10, 130}, {65, 10}};
  });
  MakeForm();
  Search();

  const std::vector<std::pair<const char*, std::string>> labels = {
      {"Label2", "Printer Zelka  "}, {"Label6", "ZK00012345"}, {"Label12", "ZELKA-000001"},
      {"Label14", "1.05"}, {"Label8", "ZELKA-000101"}, {"Label10", "2.10"},
      {"Label16", "есть"}, {"Label18", "Закрыт"}, {"Label4", "Загружен"}, {"Label22", "2026-11-03"}};
  for (const auto& [label, text] : labels) {
    EXPECT_EQ(Window().Caption(label), text) << label;
    EXPECT_EQ(Window().Colour(label), kWindowTextColour) << label;
  }
  EXPECT_EQ(commands::PrinterVariant, 1);
  for (const char* name : {"Button17", "Button14", "Button24", "Button15", "Button16"})
    EXPECT_TRUE(Window().Enabled(name)) << name;
  EXPECT_FALSE(Window().Enabled("Button18"));
  EXPECT_EQ(Window().Position("TrackBar1"), 30);
  EXPECT_EQ(Window().Caption("Edit1"), "60");
  EXPECT_EQ(Window().Position("TrackBar2"), 20) << "10 is clamped to the bar's range";
  EXPECT_EQ(Window().Caption("Edit2"), "20");
  EXPECT_TRUE(MessagesAfterTheFoundOne().empty());
  EXPECT_FALSE(PortIsOpen);

  const std::vector<std::string> traffic = {
      "GS r",    // the search's probe
      "GS I @", "US 0x07", "US 0x07",  // model, cut line, density
      "GS I @", "GS I @", "GS I @", "GS I @", "GS I @",
      "GS r", "GS r", "GS I", "US 0x07", "GS I @"};
  EXPECT_EQ(sim.CommandNames(), traffic);
}

TEST_F(IdentificationTest, OtherModelsGetTheCodePageButtonOnly) {
  struct Case {
    const char* model;
    int variant;
  };
  for (const Case& c : {Case{"printer zelka", 0}, Case{" Printer Zelka\t", 1}, Case{"Other 5", 0}}) {
    SCOPED_TRACE(c.model);
    sim.Update([&](sim::PrinterState& s) { s.modelReply = sim::MakeTextReply(c.model, 17); });
    commands::PrinterVariant = 7;
    MakeForm();
    Search();
    EXPECT_EQ(commands::PrinterVariant, c.variant);
    EXPECT_EQ(Window().Enabled("Button18"), c.variant == 0);
    for (const char* name : {"Button17", "Button14", "Button24", "Button15", "Button16"})
      EXPECT_EQ(Window().Enabled(name), c.variant == 1) << name;
  }
}

TEST_F(IdentificationTest, OutdatedBootFirmwareIsReportedToTheWindowOnly) {
  const std::vector<std::pair<std::string, bool>> versions = {
      {"1.01", true}, {"1.02", false}, {"1.02.", false}, {"1.1", false},
      {" 1.05", true}, {"", true}, {"0.99", true}, {"1.0", true}};
  for (const auto& [version, outdated] : versions) {
    SCOPED_TRACE("version '" + version + "'");
    sim.Update([&](sim::PrinterState& s) { s.bootVersionReply = sim::MakeTextReply(version, 6); });
    dialogs.Clear();
    MakeForm();
    Search();
    EXPECT_EQ(Window().Caption("Label14"), version);
    EXPECT_EQ(MessagesAfterTheFoundOne(),
              outdated ? std::vector<std::string>{kOutdated} : std::vector<std::string>{});
    EXPECT_TRUE(discovery::IsOutdatedBootVersion(version) == outdated);

    Records records;
    form->AutoDetectPrinter(discovery::kRemoteRequest, &records);
    EXPECT_EQ(MessagesAfterTheFoundOne().size(), outdated ? 1u : 0u) << "no box for a remote request";
    ASSERT_EQ(records.lines.size(), 10u);
    EXPECT_EQ(records.lines[3], "SVE0004E" + version);
  }
  EXPECT_TRUE(discovery::IsOutdatedBootVersion("1.01"));
  EXPECT_FALSE(discovery::IsOutdatedBootVersion("1.02.1"));
}

TEST_F(IdentificationTest, PaperWidthFromTheFirstReadOnward) {
  struct Case {
    const char* name;
    std::optional<std::uint8_t> width;  // nothing = the read fails
    bool enabled80, enabled57, checked80, checked57, button21;
    std::vector<std::string> tail;  // traffic after GS I 4
  };
  const std::vector<Case> cases = {
      {"80 mm", 0, true, true, true, false, true, {"US 0x07", "GS I @"}},
      {"57 mm", 1, true, true, false, true, false,
       {"US 0x07", "US 0x03", "US 0x07", "GS I @"}},
      {"unknown", 2, false, false, true, false, true, {"US 0x07", "GS I @"}},
      {"failed read", std::nullopt, true, false, true, false, true, {"US 0x07", "GS I @"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearLog();
    sim.Update([&](sim::PrinterState& s) { s.parameters[8] = c.width.value_or(0); });
    if (!c.width) sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Silent});
    MakeForm();
    Search();
    EXPECT_EQ(Window().Enabled("RadioButton80mm"), c.enabled80);
    EXPECT_EQ(Window().Enabled("RadioButton57mm"), c.enabled57);
    EXPECT_EQ(Window().Checked("RadioButton80mm"), c.checked80);
    EXPECT_EQ(Window().Checked("RadioButton57mm"), c.checked57);
    EXPECT_EQ(Window().Enabled("Button21"), c.button21);
    EXPECT_EQ(Window().Colour("Label22"), kWindowTextColour) << "the build date is still read";
    auto names = sim.CommandNames();
    ASSERT_GE(names.size(), c.tail.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<long>(c.tail.size()), names.end()), c.tail);
    EXPECT_EQ(commands::PaperWidthMm, 80);
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(IdentificationTest, PrinterThatStopsAnsweringMidwayShowsNoDataInRed) {
  MakeForm();
  Search();
  // From the main firmware version on the printer answers short or not at all.
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0xA3}, .kind = sim::Fault::Kind::Partial, .bytes = 3});
  sim.AddFault({.prefix = {0x1D, 0x72, 0x32}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x49, 0x34}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x63}, .kind = sim::Fault::Kind::Silent});
  Search();
  for (const char* label : {"Label10", "Label18", "Label4", "Label22"}) {
    EXPECT_EQ(Window().Caption(label), "Нет данных") << label;
    EXPECT_EQ(Window().Colour(label), kRedColour) << label;
  }
  EXPECT_EQ(Window().Colour("Label8"), kWindowTextColour);
  // A later good answer turns the label back to the window-text colour.
  sim.ClearFaults();
  Search();
  EXPECT_EQ(Window().Colour("Label18"), kWindowTextColour);
}

TEST_F(IdentificationTest, FailedModelQueryKeepsTheModelDependentState) {
  MakeForm();
  Search();
  ASSERT_EQ(commands::PrinterVariant, 1);
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x27}, .kind = sim::Fault::Kind::Silent});
  sim.Update([](sim::PrinterState& s) { s.parameters[10] = 150; });
  Search();
  EXPECT_EQ(Window().Caption("Label2"), "Нет данных");
  EXPECT_EQ(commands::PrinterVariant, 1);
  EXPECT_NE(Window().Position("TrackBar1"), 50);
}

TEST_F(IdentificationTest, RemoteRequestWritesTenRecordsWhateverFails) {
  MakeForm();
  Records all;
  form->AutoDetectPrinter(discovery::kRemoteRequest, &all);
  ASSERT_EQ(all.lines.size(), 10u);
  EXPECT_EQ(all.lines[0], "SVE0001EPrinter Zelka");
  EXPECT_EQ(all.lines[6], "SVE0007Eесть");
  EXPECT_EQ(dialogs.Messages().size(), 0u) << "no message box for a remote request";
  EXPECT_TRUE(Window().Enabled("Button1"));

  // Everything fails but the paper sensor, which the search's probe needs.
  sim.AddFault({.prefix = {0x1D, 0x49}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x72, 0x32}, .kind = sim::Fault::Kind::Silent});
  Records failing;
  form->AutoDetectPrinter(discovery::kRemoteRequest, &failing);
  ASSERT_EQ(failing.lines.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    char head[9];
    std::snprintf(head, sizeof head, "SVE%04d", i + 1);
    const bool answered = i == 6;  // only the paper sensor still answers
    EXPECT_EQ(failing.lines[static_cast<std::size_t>(i)],
              std::string(head) + (answered ? "Eесть" : "DНет данных"));
  }
}

TEST_F(IdentificationTest, ClientThatLeavesAbandonsTheRestAndClosesThePort) {
  MakeForm();
  Records leaving;
  leaving.failAfter = 2;
  form->AutoDetectPrinter(discovery::kRemoteRequest, &leaving);
  EXPECT_EQ(leaving.lines.size(), 2u);
  EXPECT_FALSE(PortIsOpen);
  // Nothing after the third query reached the printer.
  const auto names = sim.CommandNames();
  EXPECT_EQ(names, (std::vector<std::string>{"GS r", "GS I @", "US 0x07", "US 0x07", "GS I @", "GS I @"}));
}

TEST(IdentificationRules, TrimTakesOffBlanksAndControlsOnly) {
  EXPECT_EQ(discovery::TrimControlAndSpace("\t Printer Zelka \r\n"), "Printer Zelka");
  EXPECT_EQ(discovery::TrimControlAndSpace("  "), "");
  EXPECT_EQ(discovery::TrimControlAndSpace("a b"), "a b");
}

}  // namespace
}  // namespace zelka::testing
