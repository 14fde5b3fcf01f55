// The window's side of firmware work that never strands a printer: the recovery dialog
// and the question that leads to it, as real widgets; and a logout (SIGTERM, SIGHUP)
// during an update, which waits for the update to end.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>

#include "app/end_requests.h"
#include "app/qt_dialogs.h"
#include "app/recovery_dialog.h"

namespace zelka::app {
namespace {

// Runs `act` on the modal dialog as soon as it shows.
void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
  });
}

// Spins the event loop until `done` holds; false when it never does.
bool SpinUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

TEST(RecoveryWindow, NotFoundAsksAndTheDialogReturnsPortBoardAndFile) {
  QtDialogs dialogs;
  OnModal([](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().startsWith("Принтер не найден"));
    EXPECT_TRUE(message->text().endsWith("восстановить прошивку?"));
    message->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(dialogs.ErrorQuestion("Принтер не найден", "восстановить прошивку?"));

  OnModal([](QWidget* window) {
    auto* dialog = dynamic_cast<RecoveryDialog*>(window);
    ASSERT_NE(dialog, nullptr);
    auto* port = dialog->findChild<QComboBox*>("RecoveryPort");
    auto* board = dialog->findChild<QComboBox*>("RecoveryBoard");
    auto* file = dialog->findChild<QLineEdit*>("RecoveryFile");
    auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(port->count(), 2);
    EXPECT_EQ(port->currentText(), "/dev/ttyUSB0");
    EXPECT_FALSE(ok->isEnabled()) << "no file yet";
    port->setCurrentIndex(1);
    board->setCurrentIndex(1);
    file->setText("/tmp/fw.bin");
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
  });
  const auto choice = dialogs.ChooseRecovery({"/dev/ttyUSB0", "/dev/ttyS1"}, "Файлы BIOS (*.bin) | *.bin");
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->port, "/dev/ttyS1");
  EXPECT_EQ(choice->board, 4);
  EXPECT_EQ(choice->path, "/tmp/fw.bin");

  OnModal([](QWidget* window) { static_cast<QDialog*>(window)->reject(); });
  EXPECT_FALSE(dialogs.ChooseRecovery({}, "Файлы BIOS (*.bin) | *.bin").has_value());
}

TEST(RecoveryWindow, LogoutDuringAnUpdateWaitsForItsEnd) {
  bool updating = true;
  int asked = 0;
  int ended = 0;
  {
    const EndRequests requests(
        [&] {
          ++asked;
          return updating;
        },
        [&] { ++ended; });
    for (int signal : {SIGTERM, SIGHUP}) {
      SCOPED_TRACE(signal);
      updating = true;
      const int before = asked;
      std::raise(signal);
      ASSERT_TRUE(SpinUntil([&] { return asked > before; }));
      EXPECT_EQ(ended, 0) << "not while the update runs";
      updating = false;
      ASSERT_TRUE(SpinUntil([&] { return ended == 1; }));
      ended = 0;
    }
    // With no update under way the window ends at once.
    std::raise(SIGTERM);
    ASSERT_TRUE(SpinUntil([&] { return ended == 1; }));
  }
}

}  // namespace
}  // namespace zelka::app
