// The baud-rate dialog through the real window: "Скорость" shows TForm2 without blocking
// the main window, and its "Установить" sends the new rate at the old one and then
// works at the new one.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>

#include <string>
#include <vector>

#include "app/tform1.h"
#include "support/window_fixture.h"

namespace zelka::testing {
namespace {

using BaudDialogWindowTest = WindowFixture;

TEST_F(BaudDialogWindowTest, SpeedButtonThenSetChangesTheRateTwice) {
  Find<QPushButton>("Button7")->click();  // the search enables "Скорость"
  ASSERT_TRUE(WaitUntilIdle());
  auto* speed = Find<QPushButton>("Button24");
  ASSERT_TRUE(speed->isEnabled());
  EXPECT_FALSE(window->Form2().isVisible());
  speed->click();
  QApplication::processEvents();
  ASSERT_TRUE(window->Form2().isVisible());
  EXPECT_FALSE(window->Form2().isModal());

  sent.Clear();
  Find<QRadioButton>(&window->Form2(), "RadioButton4")->click();
  auto* set = Find<QPushButton>(&window->Form2(), "Button1");
  set->click();
  set->click();  // held back while the first one's job runs: nothing happens
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(set->isEnabled());
  set->click();
  ASSERT_TRUE(WaitUntilIdle());

  // The rate of the port each frame went out on: the program's side of the line.
  const Bytes frame{0x1F, 0x02, 0x00, 0x07, 0x00, 0x00, 0x03, 0x00};
  EXPECT_EQ(sent.Frames(), (std::vector<SentFrames::Frame>{{sim.PortName(), 57600, frame},
                                                           {sim.PortName(), 115200, frame}}));
  // The printer now works at the new rate: the next command goes out at 115200.
  sent.Clear();
  Find<QPushButton>("Button1")->click();
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(sent.Frames(), (std::vector<SentFrames::Frame>{{sim.PortName(), 115200, {0x0A}}}));
  // And the port is free again between jobs.
  QSerialPort other;
  other.setPortName(QString::fromStdString(sim.PortName()));
  EXPECT_TRUE(other.open(QIODevice::ReadWrite)) << "the program left the port open";

  EXPECT_TRUE(window->Form2().isVisible()) << "the dialog stays open";
  ASSERT_FALSE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.Messages().front().kind, "information");
  EXPECT_EQ(dialogs.Messages().size(), 2u) << "the search's message and the dialog shown";
}

}  // namespace
}  // namespace zelka::testing
