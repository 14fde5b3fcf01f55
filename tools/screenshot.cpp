// Shows the main window against the simulated printer, runs a search (answering every
// message box with OK), and saves what the screen shows of the window as a PNG.
// Usage: zelka-screenshot OUTPUT.png   (run under a display, e.g. xvfb-run)
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "app/demo_printer.h"
#include "app/tform1.h"
#include "link/serial_link.h"
#include "seams/unattended_dialogs.h"

int main(int argc, char** argv) {
  zelka::link::ResetLinkState();
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: zelka-screenshot OUTPUT.png\n");
    return 2;
  }
  std::string error;
  auto demo = zelka::app::StartDemoPrinter(error);
  if (!demo) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // Message boxes are answered at once, so that the search runs unattended.
  zelka::seams::UnattendedDialogs dialogs(std::nullopt, [](const std::string& kind, const std::string& text) {
    std::printf("%s: %s\n", kind.c_str(), text.c_str());
  });
  zelka::form::MainForm::Options options;
  options.portSource = [&demo] { return std::vector<std::string>{demo->PortName()}; };
  zelka::app::TForm1 window(dialogs, options);
  window.move(0, 0);
  window.show();
  window.Form().Click("Button7");

  const QString output = QString::fromLocal8Bit(argv[1]);
  QTimer::singleShot(500, &window, [&window, output] {
    QScreen* screen = window.screen();
    const QPixmap shot = screen->grabWindow(0, window.geometry().x(), window.geometry().y(),
                                            window.width(), window.height());
    const bool saved = shot.save(output);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(output));
    QApplication::exit(saved ? 0 : 1);
  });
  return QApplication::exec();
}
