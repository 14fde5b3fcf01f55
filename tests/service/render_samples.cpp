// zelka-render-samples OUTPUT_DIR: prints the test receipts on the simulated printer the
// way a user would (search, then "Тестовый чек" on 80 mm and on 57 mm paper, then
// "Печать QR кода") and saves the printer's pictures of them as receipt-80mm.png,
// receipt-57mm.png and receipt-qr.png. scripts/render-samples.sh runs it for the README.
#include <QDir>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "form/main_form.h"
#include "link/serial_link.h"
#include "seams/dialogs.h"
#include "sim/simulator.h"
#include "seams/unattended_dialogs.h"

namespace {

constexpr std::chrono::seconds kPrintTimeout{20};
constexpr const char* kPictureNames[] = {"receipt-80mm.png", "receipt-57mm.png", "receipt-qr.png"};

// Nobody watches: the search's message box is answered at once.

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zelka-render-samples OUTPUT_DIR\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir output(QString::fromLocal8Bit(argv[1]));
  if (!output.exists() && !QDir().mkpath(output.path())) {
    std::fprintf(stderr, "zelka-render-samples: cannot create %s\n", argv[1]);
    return 1;
  }

  zelka::sim::Simulator printer;
  std::string error;
  if (!printer.Start(&error)) {
    std::fprintf(stderr, "zelka-render-samples: %s\n", error.c_str());
    return 1;
  }
  zelka::link::ResetLinkState();
  zelka::seams::UnattendedDialogs dialogs;
  zelka::form::MainForm::Options options;
  options.portSource = [&printer] { return std::vector<std::string>{printer.PortName()}; };
  zelka::form::MainForm form(dialogs, options);
  form.FormCreate();

  form.Click("Button7");
  if (zelka::link::CurrentPortName != printer.PortName()) {
    std::fprintf(stderr, "zelka-render-samples: the simulated printer was not found\n");
    return 1;
  }
  form.Window().SetChecked("RadioButton80mm", true);
  form.Click("Button22");
  form.Window().SetChecked("RadioButton57mm", true);  // the printer takes 57 mm paper
  form.Click("Button22");
  form.Window().SetChecked("RadioButton80mm", true);
  form.Click("Button19");

  if (!printer.WaitForReceipts(std::size(kPictureNames), kPrintTimeout)) {
    std::fprintf(stderr, "zelka-render-samples: the printer did not cut every receipt\n");
    return 1;
  }
  const auto receipts = printer.Receipts();
  for (std::size_t i = 0; i < std::size(kPictureNames); ++i) {
    const QString path = output.filePath(QString::fromLatin1(kPictureNames[i]));
    if (!receipts[i].image.save(path, "PNG")) {
      std::fprintf(stderr, "zelka-render-samples: cannot write %s\n", qPrintable(path));
      return 1;
    }
    std::printf("%s\n", qPrintable(path));
  }
  printer.Stop();
  return 0;
}
