// The real main window on the offscreen platform: its controls as laid out, the user's
// clicks reaching the printer, and a window that stays responsive while the printer
// works.
#include "app/tform1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <thread>

#include "form/control_table.h"
#include "link/serial_link.h"
#include "support/window_fixture.h"

namespace zelka::testing {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

using MainWindowTest = WindowFixture;

// Holds the printer worker inside a job until released (at the latest when it goes out
// of scope, so that a failed assertion never leaves the worker blocked).
class WorkerGate {
 public:
  explicit WorkerGate(printer::Worker& worker) {
    worker.Submit([future = released_.get_future().share()](printer::Session&) {
      future.wait_for(std::chrono::seconds(20));
    });
  }
  ~WorkerGate() { Release(); }
  void Release() {
    if (!done_) released_.set_value();
    done_ = true;
  }

 private:
  std::promise<void> released_;
  bool done_ = false;
};

// Ticks every 10 ms on the window's thread and counts the ticks that came while
// `busy` held: a window thread that waited for the printer would see none until the job
// was over. How long the loop stalls at worst is a benchmark's figure (bench_window), not
// a test's: a loaded machine stretches it.
class LoopTicks {
 public:
  explicit LoopTicks(std::function<bool()> busy, std::function<void()> onTick = {})
      : busy_(std::move(busy)), onTick_(std::move(onTick)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (busy_()) ++whileBusy_;
      if (onTick_) onTick_();
    });
    timer_.start(10);
  }
  int WhileBusy() const { return whileBusy_; }

 private:
  QTimer timer_;
  std::function<bool()> busy_;
  std::function<void()> onTick_;
  int whileBusy_ = 0;
};

// The printer's buttons: what a running job holds back.
bool HeldBackWhileBusy(form::ControlKind kind) {
  return kind == form::ControlKind::Button || kind == form::ControlKind::RadioButton;
}

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
  EXPECT_FALSE(window->testAttribute(Qt::WA_SetCursor)) << "no wait cursor while idle";
}

TEST_F(MainWindowTest, SearchFromTheWindowFillsTheLabels) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x63}, .kind = sim::Fault::Kind::Silent});
  Find<QPushButton>("Button7")->click();
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_FALSE(dialogs.Texts().empty());
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
  ASSERT_TRUE(WaitUntilIdle());
  sim.ClearLog();
  auto* radio57 = Find<QRadioButton>("RadioButton57mm");
  radio57->click();
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(radio57->isChecked());
  EXPECT_FALSE(Find<QRadioButton>("RadioButton80mm")->isChecked());
  EXPECT_FALSE(Find<QPushButton>("Button21")->isEnabled());
  EXPECT_EQ(sim.CommandNames(), (std::vector<std::string>{"US 0x03", "US 0x07"}));
  radio57->click();  // clicking the checked button changes nothing
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(radio57->isChecked());
  EXPECT_EQ(sim.CommandNames().size(), 2u);
}

// The items stay the port names; what the system knows of each device is its tooltip.
TEST_F(MainWindowTest, PortListTellsEachDeviceInItsTooltip) {
  std::vector<std::string> listed = {sim.PortName(), "ttyUSB7"};
  form::MainForm::Options options;
  options.portSource = [&listed] { return listed; };
  options.portDetails = [](const std::string& port) -> form::PortDetails {
    if (port == "ttyUSB7") return {"FT232R USB UART", "A10K3B7Q"};
    return {};
  };
  app::TForm1 other(dialogs, *worker, options);
  auto* combo = Find<QComboBox>(&other, "ComboBox1");
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1), "ttyUSB7");
  EXPECT_EQ(combo->itemData(1, Qt::ToolTipRole).toString(),
            QString::fromUtf8("FT232R USB UART\nСерийный номер USB: A10K3B7Q"));
  EXPECT_FALSE(combo->itemData(0, Qt::ToolTipRole).isValid()) << "a pseudo-terminal tells nothing";

  // A search reads the list anew, tooltips included.
  listed = {"ttyUSB7"};
  other.Form().FormCreate();
  QApplication::processEvents();
  ASSERT_EQ(combo->count(), 1);
  EXPECT_TRUE(combo->itemData(0, Qt::ToolTipRole).toString().startsWith("FT232R USB UART"));
}

TEST_F(MainWindowTest, ChangesFromAnotherThreadReachTheWidgetsQueued) {
  std::thread remote([this] { window->Form().Window().SetCaption("Label5", "33333"); });
  remote.join();
  QApplication::processEvents();
  EXPECT_EQ(Find<QLabel>("Label5")->text(), "33333");
}

TEST_F(MainWindowTest, ManualConnectionFromTheWindow) {
  auto* combo = Find<QComboBox>("ComboBox1");
  auto* manual = Find<QPushButton>("Button11");
  EXPECT_FALSE(manual->isEnabled());
  combo->setCurrentIndex(0);
  emit combo->activated(0);  // as the user's choice
  QApplication::processEvents();
  ASSERT_TRUE(manual->isEnabled());
  manual->click();
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(dialogs.Texts().size(), 1u);
  EXPECT_TRUE(Find<QPushButton>("Button17")->isEnabled());

  // The chosen port is now the printer's: a line feed goes there.
  sent.Clear();
  sim.ClearLog();
  auto* feed = Find<QPushButton>("Button1");
  ASSERT_TRUE(feed->isEnabled());
  feed->click();
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(2)));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"LF"});
  EXPECT_EQ(sent.Frames(), (std::vector<SentFrames::Frame>{{sim.PortName(), 57600, {0x0A}}}));
}

TEST_F(MainWindowTest, WhileAJobRunsThePrinterButtonsAreHeldBackAndTheCursorWaits) {
  Find<QPushButton>("Button7")->click();
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(Find<QPushButton>("Button1")->isEnabled());

  // Every control of the window and of the baud-rate dialog, by its name in the state.
  struct Shown {
    std::string name;
    form::ControlKind kind;
    QWidget* widget;
  };
  std::vector<Shown> controls;
  for (const auto& control : form::MainWindowControls()) {
    controls.push_back({control.name, control.kind, Find<QWidget>(control.name.c_str())});
  }
  for (const auto& control : form::BaudDialogControls()) {
    controls.push_back({"TForm2." + control.name, control.kind,
                        Find<QWidget>(&window->Form2(), control.name.c_str())});
  }
  form::WindowState& state = window->Form().Window();
  std::map<std::string, bool> enabledBefore;
  for (const auto& c : controls) {
    ASSERT_NE(c.widget, nullptr);
    enabledBefore[c.name] = state.Enabled(c.name);
  }

  sim.ClearLog();
  {
    WorkerGate gate(*worker);
    Find<QPushButton>("Button1")->click();  // the line feed waits behind the gate
    QApplication::processEvents();
    ASSERT_TRUE(window->Form().Busy());
    for (const auto& c : controls) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(state.Enabled(c.name), enabledBefore[c.name]) << "the window state keeps its own";
      if (HeldBackWhileBusy(c.kind)) {
        EXPECT_FALSE(c.widget->isEnabled());
      } else {
        EXPECT_EQ(c.widget->isEnabled(), enabledBefore[c.name]);
      }
    }
    EXPECT_TRUE(Find<QComboBox>("ComboBox1")->isEnabled());
    EXPECT_TRUE(window->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    // A press on a held-back button starts nothing.
    Find<QPushButton>("Button12")->click();
    gate.Release();
    ASSERT_TRUE(WaitUntilIdle());
  }
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.widget->isEnabled(), enabledBefore[c.name]);
  }
  EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
  ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(2)));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"LF"}) << "the feed only, no signal";
}

// A search over ports that never answer takes every rate's whole time-out; the window
// must keep painting and taking input meanwhile.
TEST_F(MainWindowTest, EventLoopKeepsRunningDuringASearchOverSilentPorts) {
  ports.clear();
  for (int i = 0; i < 4; ++i) {
    sim::Simulator& silent = AddPrinter(sim::DefaultPrinter());
    silent.SetSilent(true);
    ports.push_back(silent.PortName());
  }
  LoopTicks ticks([this] { return window->Form().Busy(); });
  const auto start = Clock::now();
  Find<QPushButton>("Button7")->click();
  EXPECT_TRUE(window->Form().Busy());
  ASSERT_TRUE(WaitUntilIdle());
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);

  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0].kind, "error") << dialogs.Messages()[0].text;
  EXPECT_FALSE(Find<QPushButton>("Button1")->isEnabled());
  EXPECT_GE(took, milliseconds(900)) << "four rates, each waiting out its silence";
  EXPECT_GE(ticks.WhileBusy(), 5) << "the window's loop ran on while the search waited";
}

// An image of `length` bytes for board `board` (its last byte), with no two blocks alike.
Bytes FirmwareImage(std::size_t length, std::uint8_t board) {
  Bytes image(length);
  for (std::size_t i = 0; i < length; ++i) image[i] = static_cast<std::uint8_t>((i * 7 + i / 256) % 251);
  image.back() = board;
  return image;
}

TEST_F(MainWindowTest, EventLoopKeepsRunningDuringAFirmwareTransfer) {
  Find<QPushButton>("Button7")->click();
  ASSERT_TRUE(WaitUntilIdle());
  auto* update = Find<QPushButton>("Button14");
  ASSERT_TRUE(update->isEnabled()) << "the search found a \"Printer Zelka\"";

  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string path = folder.filePath("firmware.bin").toStdString();
  const Bytes image = FirmwareImage(100 * 256 + 17, 3);  // the "ZELKA-000001" board
  // Each block takes the printer 8 ms to write: the transfer lasts about a second, long
  // enough to see the window's event loop at work throughout.
  sim.AddFault({.prefix = {0x02}, .kind = sim::Fault::Kind::Late, .delay = milliseconds(8)});
  {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }
  dialogs.Clear();
  dialogs.fileAnswers.push_back(path);

  auto* bar = Find<QProgressBar>("ProgressBar1");
  std::set<int> barPositions;
  LoopTicks ticks([this] { return window->Form().UpdatingFirmware(); },
                  [&] { barPositions.insert(bar->value()); });
  update->click();
  EXPECT_TRUE(window->Form().UpdatingFirmware());
  ASSERT_TRUE(WaitUntilIdle(std::chrono::seconds(60)));

  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"information", "Успешно"}}));
  EXPECT_FALSE(window->Form().UpdatingFirmware());
  Bytes padded = image;
  padded.resize((padded.size() + 255) / 256 * 256, 0xFF);
  EXPECT_EQ(sim.ReceivedImage(), padded);
  EXPECT_EQ(bar->value(), bar->maximum());
  // The bar moved on screen while the blocks went out, not only at the end.
  EXPECT_GE(std::count_if(barPositions.begin(), barPositions.end(),
                          [&](int p) { return p > 400 && p < bar->maximum(); }),
            10);
  EXPECT_GE(ticks.WhileBusy(), 5) << "the window's loop ran on during the transfer";
}

}  // namespace
}  // namespace zelka::testing
