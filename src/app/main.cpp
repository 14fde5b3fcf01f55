// zelka-utility: the service utility's entry point.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/demo_printer.h"
#include "app/options.h"
#include "app/qt_dialogs.h"
#include "app/tform1.h"
#include "link/port_list.h"
#include "link/serial_link.h"

int main(int argc, char** argv) {
  // The serial state is set up before any window exists.
  zelka::link::ResetLinkState();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelka-utility"));

  std::string error;
  const auto options = zelka::app::ParseOptions(QApplication::arguments(), error);
  if (!options) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return error.rfind("Usage:", 0) == 0 ? 0 : 2;
  }

  std::unique_ptr<zelka::app::DemoPrinter> demo;
  if (options->demo) {
    demo = zelka::app::StartDemoPrinter(error);
    if (!demo) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }

  zelka::form::MainForm::Options formOptions;
  formOptions.portSource = [&options, &demo] {
    std::vector<std::string> ports;
    if (demo) ports.push_back(demo->PortName());
    const auto listed = options->ports.empty() ? zelka::link::SystemPortNames() : options->ports;
    ports.insert(ports.end(), listed.begin(), listed.end());
    return ports;
  };

  zelka::app::QtDialogs dialogs;
  zelka::app::TForm1 window(dialogs, formOptions);
  dialogs.SetMainWindow(&window);
  dialogs.AddWindow("TForm2", &window.Form2());
  window.show();
  return QApplication::exec();
}
