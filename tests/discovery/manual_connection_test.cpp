// Manual connection: the chosen port at the current rate, without a search.
#include "discovery/manual_connection.h"

#include <QSerialPort>

#include "link/serial_link.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;

class ManualConnectionTest : public FormFixture {};

TEST_F(ManualConnectionTest, NothingSelectedDoesNothingAndTheButtonIsOff) {
  MakeForm();
  EXPECT_FALSE(Window().Enabled("Button11"));
  Click("Button11");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(CurrentPortName, "0");
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(ManualConnectionTest, ChosenPortBecomesThePrinterPortAtTheCurrentRate) {
  auto& second = AddPrinter(sim::DefaultPrinter());
  MakeForm({sim.PortName(), second.PortName()});
  CurrentBaud = 9600;
  Window().SetSelectedIndex("ComboBox1", 1);
  ASSERT_TRUE(Window().Enabled("Button11")) << "usable once a port is selected";
  bool openWhileShown = false;
  dialogs.onShow = [&](const FakeDialogs::Shown&) { openWhileShown = PortIsOpen; };
  Click("Button11");

  EXPECT_EQ(dialogs.Texts(),
            std::vector<std::string>{"Принтер чеков найден на " + second.PortName() + " на скорости 9600"});
  EXPECT_TRUE(openWhileShown);
  EXPECT_EQ(CurrentPortName, second.PortName());
  EXPECT_EQ(CurrentBaud, 9600);
  EXPECT_FALSE(PortIsOpen);
  for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button22", "Button6",
                           "Button8", "Button9", "Button10", "Button12", "Button13", "Button14",
                           "Button15", "Button16", "Button17", "Button18", "Button19"})
    EXPECT_TRUE(Window().Enabled(name)) << name;
  for (const char* name : {"Button21", "Button24", "RadioButton80mm", "RadioButton57mm"})
    EXPECT_FALSE(Window().Enabled(name)) << name;
  EXPECT_EQ(Window().Caption("Label2"), "Нет данных");
  EXPECT_TRUE(second.Log().empty()) << "nothing is read from the printer";
}

TEST_F(ManualConnectionTest, PortHeldByAnotherProgramStillConnects) {
  MakeForm();
  QSerialPort other;
  other.setPortName(QString::fromStdString(sim.PortName()));
  ASSERT_TRUE(other.open(QIODevice::ReadWrite));
  Window().SetSelectedIndex("ComboBox1", 0);
  Click("Button11");
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(CurrentPortName, sim.PortName());
  EXPECT_FALSE(PortIsOpen);
  EXPECT_TRUE(Window().Enabled("Button1"));
}

TEST_F(ManualConnectionTest, ANewPortListTakesTheButtonAwayAgain) {
  MakeForm();
  Window().SetSelectedIndex("ComboBox1", 0);
  ASSERT_TRUE(Window().Enabled("Button11"));
  form->FormCreate();
  EXPECT_FALSE(Window().Enabled("Button11"));
}

}  // namespace
}  // namespace zelka::testing
