// The automatic search: rate-major probing, the found port and rate, the controls it
// enables.
#include "discovery/auto_detect.h"

#include "link/serial_link.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;

class SearchTest : public FormFixture {};

// How many GS r 1 probes a printer got at each rate, garbage included.
std::vector<int> ProbeRates(const sim::Simulator& s) {
  std::vector<int> rates;
  for (const auto& e : s.Log()) {
    if (e.garbage || e.name == "GS r") {
      if (e.bytes.size() >= 3 && e.bytes[0] == 0x1D && e.bytes[1] == 0x72 && e.bytes[2] == 0x31)
        rates.push_back(e.baud);
    }
  }
  return rates;
}

TEST_F(SearchTest, ProbesRateByRateAndTakesTheFirstAnswer) {
  sim.SetSilent(true);
  auto& second = AddPrinter(sim::DefaultPrinter());
  second.Update([](sim::PrinterState& s) { s.baud = 9600; });
  auto& third = AddPrinter(sim::DefaultPrinter());
  third.SetSilent(true);
  MakeForm({sim.PortName(), second.PortName(), third.PortName()});

  Click("Button7");

  EXPECT_EQ(ProbeRates(sim), (std::vector<int>{57600, 9600}));
  EXPECT_EQ(ProbeRates(third), (std::vector<int>{57600}));
  const auto secondLog = second.Log();
  ASSERT_GE(secondLog.size(), 2u);
  EXPECT_TRUE(secondLog[0].garbage) << "the printer hears the 57600 probe as noise";
  EXPECT_EQ(secondLog[0].baud, 57600);
  EXPECT_EQ(secondLog[1].name, "GS r");
  EXPECT_EQ(secondLog[1].baud, 9600);

  ASSERT_FALSE(dialogs.Texts().empty());
  EXPECT_EQ(dialogs.Texts()[0], "Принтер чеков найден на " + second.PortName() + " на скорости 9600");
  EXPECT_EQ(CurrentPortName, second.PortName());
  EXPECT_EQ(CurrentBaud, 9600);
  EXPECT_EQ(Window().SelectedIndex("ComboBox1"), 1);
  EXPECT_EQ(Window().Caption("ComboBox1"), second.PortName());
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(SearchTest, FoundPrinterEnablesThePrinterControlsAndChecks80mm) {
  MakeForm();
  Window().SetChecked("RadioButton57mm", true);  // with no printer known: sends nothing
  ASSERT_TRUE(sim.CommandNames().empty());
  Click("Button7");
  for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button6", "Button8",
                           "Button9", "Button10", "Button12", "Button13", "Button19",
                           "Button21", "Button22", "Button11"}) {
    EXPECT_TRUE(Window().Enabled(name)) << name;
  }
  EXPECT_TRUE(Window().Checked("RadioButton80mm"));
  EXPECT_FALSE(Window().Checked("RadioButton57mm"));
  // The 80 mm check came while no port was known: no paper-width write reached the printer
  // before the identification's own traffic.
  const auto names = sim.CommandNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[0], "GS r");
  EXPECT_EQ(names[1], "GS I @");
}

TEST_F(SearchTest, NoPrinterChangesNothingAndKeepsEarlierControls) {
  MakeForm();
  Click("Button7");
  ASSERT_TRUE(Window().Enabled("Button1"));
  const std::string model = Window().Caption("Label2");
  const auto messagesBefore = dialogs.Messages().size();

  sim.SetSilent(true);
  Click("Button7");
  EXPECT_EQ(CurrentPortName, "0");
  EXPECT_TRUE(Window().Enabled("Button1"));
  EXPECT_TRUE(Window().Enabled("Button17"));
  EXPECT_EQ(Window().Caption("Label2"), model);
  EXPECT_EQ(dialogs.Messages().size(), messagesBefore);
  EXPECT_EQ(Window().Caption("ComboBox1"), "Выбор порта");
  EXPECT_EQ(Window().SelectedIndex("ComboBox1"), -1);
}

TEST_F(SearchTest, PortsThatCannotOpenOrAreMissingFailTheirProbeQuietly) {
  MakeForm({"/dev/pts/no-such-port", "ttyNoSuchPort7"});
  Click("Button7");
  EXPECT_EQ(CurrentPortName, "0");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_FALSE(Window().Enabled("Button1"));

  MakeForm({"", sim.PortName()});  // also an empty name does no harm
  Click("Button7");
  EXPECT_EQ(CurrentPortName, sim.PortName());
}

TEST_F(SearchTest, EmptyPortListProbesNothing) {
  MakeForm();
  ports.clear();
  Click("Button7");
  EXPECT_TRUE(Window().Items("ComboBox1").empty());
  EXPECT_EQ(CurrentPortName, "0");
  EXPECT_TRUE(sim.Log().empty());
}

}  // namespace
}  // namespace zelka::testing
