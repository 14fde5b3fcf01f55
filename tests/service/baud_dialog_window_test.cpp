// The baud-rate dialog through the real window: "Скорость" shows TForm2 without blocking
// the main window, and its "Установить" sends the new rate at the old one and then
// works at the new one.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <span>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "link/serial_link.h"
#include "support/window_fixture.h"

namespace zelka::testing {
namespace {

using BaudDialogWindowTest = WindowFixture;

TEST_F(BaudDialogWindowTest, SpeedButtonThenSetChangesTheRateTwice) {
  Find<QPushButton>(window.get(), "Button7")->click();  // the search enables "Скорость"
  QApplication::processEvents();
  auto* speed = Find<QPushButton>(window.get(), "Button24");
  ASSERT_TRUE(speed->isEnabled());
  EXPECT_FALSE(window->Form2().isVisible());
  speed->click();
  QApplication::processEvents();
  ASSERT_TRUE(window->Form2().isVisible());
  EXPECT_FALSE(window->Form2().isModal());

  // The rate of the port each frame went out on: the program's side of the line.
  std::vector<std::pair<Bytes, int>> sent;
  link::SetTxTap([&sent](std::span<const std::uint8_t> bytes) {
    sent.emplace_back(Bytes(bytes.begin(), bytes.end()), link::CurrentBaud);
  });
  Find<QRadioButton>(&window->Form2(), "RadioButton4")->click();
  auto* set = Find<QPushButton>(&window->Form2(), "Button1");
  set->click();
  set->click();
  QApplication::processEvents();
  link::SetTxTap({});
  const Bytes frame{0x1F, 0x02, 0x00, 0x07, 0x00, 0x00, 0x03, 0x00};
  EXPECT_EQ(sent, (std::vector<std::pair<Bytes, int>>{{frame, 57600}, {frame, 115200}}));
  EXPECT_EQ(link::CurrentBaud, 115200);
  EXPECT_FALSE(link::PortIsOpen);
  EXPECT_TRUE(window->Form2().isVisible()) << "the dialog stays open";
  EXPECT_EQ(dialogs.Messages().front().kind, "information");
  EXPECT_EQ(dialogs.Messages().size(), 2u) << "the search's message and the dialog shown";
}

}  // namespace
}  // namespace zelka::testing
