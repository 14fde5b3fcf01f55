// The real main window on the offscreen platform: its controls as laid out, and the
// user's clicks reaching the printer.
#include "app/tform1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <thread>

#include "form/control_table.h"
#include "link/serial_link.h"
#include "support/window_fixture.h"

namespace zelka::testing {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, EveryControlIsWhereTheLayoutPutsIt) {
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(form::kMainCaption));
  EXPECT_EQ(window->size(), QSize(398, 595));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
  for (const auto& control : form::MainWindowControls()) {
    SCOPED_TRACE(control.name);
    auto* w = window->findChild<QWidget*>(QString::fromStdString(control.name));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(control.left, control.top, control.width, control.height));
    EXPECT_EQ(w->isEnabled(), control.state.enabled);
    EXPECT_EQ(w->isVisibleTo(window.get()), control.state.visible);
  }
  EXPECT_EQ(Find<QPushButton>("Button7")->text(), QString::fromUtf8("Автоматический поиск устройства"));
  EXPECT_EQ(Find<QLabel>("Label2")->text(), QString::fromUtf8("Нет данных"));
  EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "0");
  EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "20");
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), QString::fromUtf8("Выбор порта"));
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->count(), 1);
  EXPECT_EQ(Find<QPushButton>("Button17")->font().pixelSize(), 20);
  EXPECT_FALSE(window->Form2().isVisible());
}

TEST_F(MainWindowTest, SearchFromTheWindowFillsTheLabels) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x63}, .kind = sim::Fault::Kind::Silent});
  Find<QPushButton>("Button7")->click();
  Settle();
  EXPECT_EQ(dialogs.Texts().front(),
            "Принтер чеков найден на " + sim.PortName() + " на скорости 57600");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "Printer Zelka");
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), QString::fromStdString(sim.PortName()));
  EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
  EXPECT_TRUE(Find<QRadioButton>("RadioButton80mm")->isChecked());
  auto* date = Find<QLabel>("Label22");
  EXPECT_EQ(date->text(), QString::fromUtf8("Нет данных"));
  EXPECT_EQ(date->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_NE(Find<QLabel>("Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(MainWindowTest, TrackBarShowsItsValueAndRadioClickReachesThePrinter) {
  Find<QSlider>("TrackBar1")->setValue(25);
  EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "50");
  Find<QSlider>("TrackBar2")->setValue(100);
  EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "100");

  Find<QPushButton>("Button7")->click();
  sim.ClearLog();
  auto* radio57 = Find<QRadioButton>("RadioButton57mm");
  radio57->click();
  Settle();
  EXPECT_TRUE(radio57->isChecked());
  EXPECT_FALSE(Find<QRadioButton>("RadioButton80mm")->isChecked());
  EXPECT_FALSE(Find<QPushButton>("Button21")->isEnabled());
  EXPECT_EQ(sim.CommandNames(), (std::vector<std::string>{"US 0x03", "US 0x07"}));
  radio57->click();  // clicking the checked button changes nothing
  Settle();
  EXPECT_TRUE(radio57->isChecked());
  EXPECT_EQ(sim.CommandNames().size(), 2u);
}

TEST_F(MainWindowTest, ChangesFromAnotherThreadReachTheWidgetsQueued) {
  std::thread remote([this] { window->Form().Window().SetCaption("Label5", "33333"); });
  remote.join();
  Settle();
  EXPECT_EQ(Find<QLabel>("Label5")->text(), "33333");
}

TEST_F(MainWindowTest, ManualConnectionFromTheWindow) {
  auto* combo = Find<QComboBox>("ComboBox1");
  auto* manual = Find<QPushButton>("Button11");
  EXPECT_FALSE(manual->isEnabled());
  combo->setCurrentIndex(0);
  emit combo->activated(0);  // as the user's choice
  Settle();
  ASSERT_TRUE(manual->isEnabled());
  manual->click();
  EXPECT_EQ(dialogs.Texts().size(), 1u);
  EXPECT_EQ(link::CurrentPortName, sim.PortName());
  EXPECT_TRUE(Find<QPushButton>("Button17")->isEnabled());
}

}  // namespace
}  // namespace zelka::testing
