// The window's search, identification, manual connection and paper-width switches:
// labels, colours, enabled states, message boxes and their order, the traffic they cause.
#include "form/form_fixture.h"
#include "support/printer_states.h"
#include "form/window_state.h"

namespace zelka::testing {
namespace {

using form::kRedColour;
using form::kWindowTextColour;

constexpr const char* kOutdated =
    "Ваша версия прошивки (FirmWare) устарела, пожалуйста обновите её.\n";
constexpr const char* kAbsentPort = "/dev/nonexistent-x";

// The queries of the search and a whole identification of a reference model on 80 mm.
const std::vector<std::string> kSearchAndIdentifyTraffic = {
    "GS r",                          // the search's probe
    "GS I @", "US 0x07", "US 0x07",  // model, cut line, density
    "GS I @", "GS I @", "GS I @", "GS I @", "GS I @",
    "GS r", "GS r", "GS I", "US 0x07", "GS I @"};

const std::vector<const char*> kValueLabels = {"Label2", "Label6", "Label12", "Label14", "Label8",
                                               "Label10", "Label16", "Label18", "Label4", "Label22"};

std::string Found(const std::string& port, int baud) {
  return "Принтер чеков найден на " + port + " на скорости " + std::to_string(baud);
}

class DiscoveryWindowTest : public FormFixture {
 protected:
  void Search() { Click("Button7"); }
  std::vector<std::string> MessagesAfterTheFoundOne() {
    auto texts = dialogs.Texts();
    if (!texts.empty()) texts.erase(texts.begin());
    return texts;
  }
  // The session's printer port and rate, as the worker has them.
  std::pair<std::string, int> SessionPrinter() {
    std::pair<std::string, int> seen;
    worker->Submit([&seen](printer::Session& s) { seen = {s.Port(), s.Baud()}; });
    worker->WaitIdle();
    return seen;
  }
  void SetSessionBaud(int baud) {
    worker->Submit([baud](printer::Session& s) { s.SetBaud(baud); });
    worker->WaitIdle();
  }
  // The user checks a radio button; its job runs to its end.
  void Check(const char* radio) {
    Window().SetChecked(radio, true);
    Settle();
  }
  std::vector<Bytes> Frames(const sim::Simulator& s) {
    std::vector<Bytes> frames;
    for (const auto& e : s.Log()) frames.push_back(e.bytes);
    return frames;
  }
  std::map<std::string, bool> EnabledStates(const std::vector<std::string>& names) {
    std::map<std::string, bool> states;
    for (const auto& n : names) states[n] = Window().Enabled(n);
    return states;
  }
};

// ---- the search ----

TEST_F(DiscoveryWindowTest, FoundMessageThenTheSelectedPort) {
  sim.SetSilent(true);
  auto& second = AddPrinter(sim::DefaultPrinter());
  second.Update([](sim::PrinterState& s) { s.baud = 9600; });
  auto& third = AddPrinter(sim::DefaultPrinter());
  third.SetSilent(true);
  MakeForm({sim.PortName(), second.PortName(), third.PortName()});
  std::string labelWhenFound;
  dialogs.onShow = [&](const FakeDialogs::Shown& shown) {
    if (shown.text.rfind("Принтер чеков", 0) == 0) labelWhenFound = Window().Caption("Label2");
  };

  Search();

  ASSERT_FALSE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.Messages()[0], (FakeDialogs::Shown{"information", Found(second.PortName(), 9600)}));
  EXPECT_EQ(labelWhenFound, "Нет данных") << "the message comes before the values";
  EXPECT_EQ(Window().Caption("Label2"), "Printer Zelka");
  EXPECT_EQ(SessionPrinter(), std::make_pair(second.PortName(), 9600));
  EXPECT_EQ(Window().SelectedIndex("ComboBox1"), 1);
  EXPECT_EQ(Window().Caption("ComboBox1"), second.PortName());
  EXPECT_FALSE(Window().Busy());
  EXPECT_FALSE(form->Busy());
}

TEST_F(DiscoveryWindowTest, FoundPrinterEnablesThePrinterControlsAndChecks80mm) {
  MakeForm();
  Window().SetChecked("RadioButton57mm", true);  // with no printer known: sends nothing
  Settle();
  ASSERT_TRUE(sim.CommandNames().empty());
  Search();
  for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button6", "Button8",
                           "Button9", "Button10", "Button12", "Button13", "Button19",
                           "Button21", "Button22", "Button11"}) {
    EXPECT_TRUE(Window().Enabled(name)) << name;
  }
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_FALSE(Window().Checked("RadioButton57mm"));
  // The 80 mm check is the search's result, not a click: no paper-width write reached
  // the printer besides the identification's own traffic.
  EXPECT_EQ(sim.CommandNames(), kSearchAndIdentifyTraffic);
}

TEST_F(DiscoveryWindowTest, NothingFoundSaysSoAndKeepsEarlierControls) {
  MakeForm();
  Search();
  ASSERT_TRUE(Window().Enabled("Button1"));
  const std::string model = Window().Caption("Label2");
  dialogs.Clear();

  sim.SetSilent(true);
  Search();

  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{{"error", "Принтер не найден"}}));
  EXPECT_EQ(SessionPrinter().first, "0");
  EXPECT_TRUE(Window().Enabled("Button1"));
  EXPECT_TRUE(Window().Enabled("Button17"));
  EXPECT_EQ(Window().Caption("Label2"), model);
  EXPECT_EQ(Window().Caption("ComboBox1"), "Выбор порта");
  EXPECT_EQ(Window().SelectedIndex("ComboBox1"), -1);
}

TEST_F(DiscoveryWindowTest, NothingFoundNamesEveryPortThatCouldNotBeOpened) {
  sim.SetSilent(true);
  MakeForm({kAbsentPort, sim.PortName()});
  Search();
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{
                {"error", std::string("Принтер не найден\n") + kAbsentPort + ": порт не найден"}}));
  EXPECT_FALSE(Window().Enabled("Button1"));
  EXPECT_EQ(SessionPrinter().first, "0");
}

TEST_F(DiscoveryWindowTest, EmptyPortListProbesNothing) {
  MakeForm();
  ports.clear();
  Search();
  EXPECT_TRUE(Window().Items("ComboBox1").empty());
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Принтер не найден"});
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(DiscoveryWindowTest, WindowIsBusyWhileTheSearchRuns) {
  MakeForm();
  bool busyDuringMessage = false;
  dialogs.onShow = [&](const FakeDialogs::Shown&) { busyDuringMessage = Window().Busy(); };
  form->Click("Button7");
  EXPECT_TRUE(Window().Busy());
  EXPECT_TRUE(form->Busy());
  Settle();
  EXPECT_TRUE(busyDuringMessage) << "the identification follows the found message";
  EXPECT_FALSE(Window().Busy());
  EXPECT_FALSE(form->Busy());
}

// ---- the identification ----

TEST_F(DiscoveryWindowTest, ReferencePrinterFillsEveryLabel) {
  sim.Update(MakeReferencePrinter);
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
  for (const char* name : {"Button17", "Button14", "Button24", "Button15", "Button16"})
    EXPECT_TRUE(Window().Enabled(name)) << name;
  EXPECT_FALSE(Window().Enabled("Button18"));
  EXPECT_EQ(Window().Position("TrackBar1"), 30);
  EXPECT_EQ(Window().Caption("Edit1"), "60");
  EXPECT_EQ(Window().Position("TrackBar2"), 20) << "10 is clamped to the bar's range";
  EXPECT_EQ(Window().Caption("Edit2"), "20");
  EXPECT_TRUE(MessagesAfterTheFoundOne().empty());
  EXPECT_EQ(sim.CommandNames(), kSearchAndIdentifyTraffic);
}

TEST_F(DiscoveryWindowTest, OtherModelsGetTheCodePageButtonOnly) {
  struct Case {
    const char* model;
    bool reference;
  };
  for (const Case& c : {Case{"printer zelka", false}, Case{" Printer Zelka\t", true},
                        Case{"Other 5", false}}) {
    SCOPED_TRACE(c.model);
    sim.Update([&](sim::PrinterState& s) { s.modelReply = sim::MakeTextReply(c.model, 17); });
    MakeForm();
    Search();
    EXPECT_EQ(Window().Enabled("Button18"), !c.reference);
    for (const char* name : {"Button17", "Button14", "Button24", "Button15", "Button16"})
      EXPECT_EQ(Window().Enabled(name), c.reference) << name;
  }
}

TEST_F(DiscoveryWindowTest, OutdatedBootFirmwareIsShownBetweenTheFourthAndFifthValue) {
  const std::vector<std::pair<std::string, bool>> versions = {
      {"1.01", true}, {"1.02", false}, {"1.02.", false}, {"1.1", false},
      {" 1.05", true}, {"", true}, {"0.99", true}, {"1.0", true}};
  for (const auto& [version, outdated] : versions) {
    SCOPED_TRACE("version '" + version + "'");
    sim.Update([&](sim::PrinterState& s) { s.bootVersionReply = sim::MakeTextReply(version, 6); });
    sim.ClearLog();
    dialogs.Clear();
    MakeForm();
    std::vector<std::string> fourthAndFifth;
    std::size_t queriesWhenShown = 0;
    dialogs.onShow = [&](const FakeDialogs::Shown& shown) {
      if (shown.text != kOutdated) return;
      fourthAndFifth = {Window().Caption("Label14"), Window().Caption("Label8")};
      queriesWhenShown = sim.CommandNames().size();
    };

    Search();

    EXPECT_EQ(Window().Caption("Label14"), version);
    EXPECT_EQ(MessagesAfterTheFoundOne(),
              outdated ? std::vector<std::string>{kOutdated} : std::vector<std::string>{});
    if (outdated) {
      EXPECT_EQ(fourthAndFifth, (std::vector<std::string>{version, "Нет данных"}));
      EXPECT_EQ(queriesWhenShown, 7u) << "the probe and six queries, nothing after the version";
      EXPECT_EQ(Window().Caption("Label8"), "ZELKA-000101") << "the rest follows the OK";
    }
    EXPECT_EQ(sim.CommandNames(), kSearchAndIdentifyTraffic) << "no query repeated or lost";
    EXPECT_FALSE(Window().Busy());
  }
}

TEST_F(DiscoveryWindowTest, PaperWidthFromTheFirstReadOnward) {
  struct Case {
    const char* name;
    std::optional<std::uint8_t> width;  // nothing = the read fails
    bool enabled80, enabled57, checked80, checked57, button21;
    std::vector<std::string> tail;  // traffic after GS I 4
  };
  const std::vector<Case> cases = {
      {"80 mm", 0, true, true, true, false, true, {"US 0x07", "GS I @"}},
      {"57 mm", 1, true, true, false, true, false, {"US 0x07", "US 0x03", "US 0x07", "GS I @"}},
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
    EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<long>(c.tail.size()), names.end()),
              c.tail);
  }
}

TEST_F(DiscoveryWindowTest, PrinterThatStopsAnsweringMidwayShowsNoDataInRed) {
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
  for (const char* label : kValueLabels) EXPECT_EQ(Window().Colour(label), kWindowTextColour) << label;
}

TEST_F(DiscoveryWindowTest, FailedModelQueryKeepsTheModelDependentState) {
  MakeForm();
  Search();
  ASSERT_TRUE(Window().Enabled("Button17"));
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x27}, .kind = sim::Fault::Kind::Silent});
  sim.Update([](sim::PrinterState& s) { s.parameters[10] = 150; });
  Search();
  EXPECT_EQ(Window().Caption("Label2"), "Нет данных");
  EXPECT_EQ(Window().Colour("Label2"), kRedColour);
  EXPECT_TRUE(Window().Enabled("Button17"));
  EXPECT_FALSE(Window().Enabled("Button18"));
  EXPECT_NE(Window().Position("TrackBar1"), 50);
}

// ---- manual connection ----

TEST_F(DiscoveryWindowTest, ManualConnectionWithNothingSelectedDoesNothing) {
  MakeForm();
  EXPECT_FALSE(Window().Enabled("Button11"));
  Click("Button11");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(SessionPrinter().first, "0");
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(DiscoveryWindowTest, ManualConnectionToAPortThatOpens) {
  auto& second = AddPrinter(sim::DefaultPrinter());
  MakeForm({sim.PortName(), second.PortName()});
  SetSessionBaud(9600);
  Window().SetSelectedIndex("ComboBox1", 1);
  ASSERT_TRUE(Window().Enabled("Button11")) << "usable once a port is selected";

  Click("Button11");

  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"information", Found(second.PortName(), 9600)}}));
  EXPECT_EQ(SessionPrinter(), std::make_pair(second.PortName(), 9600));
  for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button22", "Button6",
                           "Button8", "Button9", "Button10", "Button12", "Button13", "Button14",
                           "Button15", "Button16", "Button17", "Button18", "Button19"})
    EXPECT_TRUE(Window().Enabled(name)) << name;
  for (const char* name : {"Button21", "Button24", "RadioButton80mm", "RadioButton57mm"})
    EXPECT_FALSE(Window().Enabled(name)) << name;
  EXPECT_EQ(Window().Caption("Label2"), "Нет данных");
  EXPECT_TRUE(second.Log().empty()) << "nothing is read from the printer";
  EXPECT_FALSE(Window().Busy());
}

TEST_F(DiscoveryWindowTest, ManualConnectionToAPortThatCannotBeOpenedChangesNoControl) {
  MakeForm({kAbsentPort, sim.PortName()});
  Window().SetSelectedIndex("ComboBox1", 0);
  const std::vector<std::string> controls = {
      "Button1", "Button2", "Button3", "Button4", "Button6", "Button8", "Button9", "Button10",
      "Button11", "Button12", "Button13", "Button14", "Button15", "Button16", "Button17",
      "Button18", "Button19", "Button21", "Button22", "Button24", "RadioButton80mm",
      "RadioButton57mm"};
  const auto before = EnabledStates(controls);

  Click("Button11");

  EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{
                                    {"error", std::string(kAbsentPort) + ": порт не найден"}}));
  EXPECT_EQ(EnabledStates(controls), before);
  EXPECT_EQ(SessionPrinter().first, "0");
  EXPECT_FALSE(Window().Busy());
}

TEST_F(DiscoveryWindowTest, ANewPortListTakesTheManualConnectionAwayAgain) {
  MakeForm();
  Window().SetSelectedIndex("ComboBox1", 0);
  ASSERT_TRUE(Window().Enabled("Button11"));
  form->FormCreate();
  EXPECT_FALSE(Window().Enabled("Button11"));
}

// ---- the paper-width radio buttons ----

class PaperWidthWindowTest : public DiscoveryWindowTest {
 protected:
  void SetUp() override {
    DiscoveryWindowTest::SetUp();
    MakeForm();
    Search();
    ASSERT_TRUE(Window().Checked("RadioButton80mm"));
    sim.ClearLog();
  }
};

TEST_F(PaperWidthWindowTest, PrinterThatTakesTheWidthKeepsTheChoice) {
  Check("RadioButton57mm");
  EXPECT_EQ(Frames(sim), (std::vector<Bytes>{{0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08}}));
  EXPECT_TRUE(Window().Checked("RadioButton57mm"));
  EXPECT_TRUE(Window().Enabled("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("RadioButton57mm"));
  EXPECT_FALSE(Window().Enabled("Button21"));
  // Checking the checked button again runs nothing.
  Check("RadioButton57mm");
  EXPECT_EQ(Frames(sim).size(), 2u);

  Check("RadioButton80mm");
  EXPECT_EQ(Frames(sim), (std::vector<Bytes>{{0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08},
                                             {0x1F, 0x03, 0x08, 0x00}, {0x1F, 0x07, 0x08}}));
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("Button21"));
  EXPECT_FALSE(Window().Busy());
}

TEST_F(PaperWidthWindowTest, PrinterThatKeepsTheOtherWidthGetsOneWriteAndReadPerClick) {
  struct Case {
    const char* clicked;
    std::uint8_t kept;  // what the printer keeps reporting
    std::uint8_t written;
    const char* checkedAfter;
    bool button21;
  };
  for (const Case& c : {Case{"RadioButton57mm", 0, 1, "RadioButton80mm", true},
                        Case{"RadioButton80mm", 1, 0, "RadioButton57mm", false}}) {
    SCOPED_TRACE(c.clicked);
    sim.ClearFaults();
    sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Reply, .reply = {c.kept}});
    // Start from the other button, as the printer reports it.
    Window().SetChecked(c.checkedAfter, true);
    Settle();
    sim.ClearLog();
    for (int click = 1; click <= 2; ++click) {
      Check(c.clicked);
      EXPECT_EQ(Frames(sim).size(), 2u * static_cast<std::size_t>(click)) << "click " << click;
      EXPECT_TRUE(Window().Checked(c.checkedAfter));
      EXPECT_EQ(Window().Enabled("Button21"), c.button21);
    }
    const Bytes write = {0x1F, 0x03, 0x08, c.written};
    const Bytes read = {0x1F, 0x07, 0x08};
    EXPECT_EQ(Frames(sim), (std::vector<Bytes>{write, read, write, read}));
  }
}

TEST_F(PaperWidthWindowTest, UnknownWidthDisablesBothAndFailedReadOffers80mmOnly) {
  sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Reply, .reply = {0x02}});
  Check("RadioButton57mm");
  EXPECT_FALSE(Window().Enabled("RadioButton80mm"));
  EXPECT_FALSE(Window().Enabled("RadioButton57mm"));

  sim.ClearFaults();
  sim.AddFault({.prefix = {0x1F, 0x07}, .kind = sim::Fault::Kind::Silent});
  Check("RadioButton80mm");
  EXPECT_TRUE(Window().Enabled("RadioButton80mm"));
  EXPECT_FALSE(Window().Enabled("RadioButton57mm"));
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_TRUE(Window().Enabled("Button21"));
}

TEST_F(PaperWidthWindowTest, HiddenButtonReadsWrites57mmAndReadsAgain) {
  Click("Button23");
  EXPECT_EQ(Frames(sim),
            (std::vector<Bytes>{{0x1F, 0x07, 0x08}, {0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08}}));
  EXPECT_TRUE(Window().Checked("RadioButton80mm")) << "no control changes";
  EXPECT_FALSE(Window().Checked("RadioButton57mm"));
}

TEST_F(DiscoveryWindowTest, NoPrinterKnownSendsNothingButTheCheckChanges) {
  MakeForm();
  Check("RadioButton57mm");
  EXPECT_TRUE(Window().Checked("RadioButton57mm"));
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_FALSE(Window().Busy());
}

}  // namespace
}  // namespace zelka::testing
