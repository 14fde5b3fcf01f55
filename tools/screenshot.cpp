// Shows the main window against the simulated printer, runs a search (answering every
// message box with OK), and saves what the screen shows of the window as a PNG once the
// search and the identification have ended.
// Usage: zelka-screenshot OUTPUT.png [ru|en]   (run under a display, e.g. xvfb-run)
// The window speaks Russian unless told otherwise, whatever the machine's locale, so that
// the pictures in the docs do not depend on who takes them.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "app/demo_printer.h"
#include "app/language.h"
#include "app/tform1.h"
#include "form/unattended_dialogs.h"
#include "printer/worker.h"

namespace {

// The search and the identification of the demo printer take well under a second.
constexpr int kIdleDeadlineMs = 20000;
// Time for the last results to be painted before the screen is read.
constexpr int kPaintDelayMs = 300;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const std::optional<zelka::app::Language> language =
      argc == 3 ? zelka::app::LanguageNamed(argv[2]) : zelka::app::Language::kRussian;
  if (argc < 2 || argc > 3 || !language) {
    std::fprintf(stderr, "usage: zelka-screenshot OUTPUT.png [ru|en]\n");
    return 2;
  }
  if (!zelka::app::InstallLanguage(*language)) {
    std::fprintf(stderr, "the catalogue of that language is missing from this build\n");
    return 1;
  }
  std::string error;
  auto demo = zelka::app::StartDemoPrinter(error);
  if (!demo) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // Message boxes are answered at once, so that the search runs unattended.
  zelka::form::UnattendedDialogs dialogs(std::nullopt, [](const std::string& kind, const std::string& text) {
    std::printf("%s: %s\n", kind.c_str(), text.c_str());
  });
  zelka::form::MainForm::Options options;
  options.portSource = [&demo] { return std::vector<std::string>{demo->PortName()}; };
  zelka::printer::Worker worker;
  int result = 1;
  {
    zelka::app::TForm1 window(dialogs, worker, options);
    window.move(0, 0);
    window.show();
    window.Form().Click("Button7");

    const QString output = QString::fromLocal8Bit(argv[1]);
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
      if (window.Form().Busy() && waited.elapsed() < kIdleDeadlineMs) return;
      poll.stop();
      if (window.Form().Busy()) {
        std::fprintf(stderr, "the search did not end within %d ms\n", kIdleDeadlineMs);
        QApplication::exit(1);
        return;
      }
      QTimer::singleShot(kPaintDelayMs, &window, [&window, output] {
        QScreen* screen = window.screen();
        const QPixmap shot = screen->grabWindow(0, window.geometry().x(), window.geometry().y(),
                                                window.width(), window.height());
        const bool saved = shot.save(output);
        std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(output));
        QApplication::exit(saved ? 0 : 1);
      });
    });
    poll.start(50);
    result = QApplication::exec();
    // The worker's jobs post to the window: it stops before the window goes.
    worker.Stop();
  }
  return result;
}
