// zelka: the printer core from scripts and terminals, without a display.
#include <QCoreApplication>

#include "cli/run.h"
#include "cli/terminal.h"

int main(int argc, char** argv) {
  // Arguments come from QCoreApplication, which reads them in Unicode on every system.
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("zelka"));
  const zelka::cli::Console console;
  std::optional<std::string> environmentPort;
  if (const QString port = qEnvironmentVariable("ZELKA_PORT"); !port.isEmpty()) {
    environmentPort = port.toStdString();
  }
  zelka::cli::Streams streams;
  streams.errIsTerminal = console.ErrorRedraws();
  return zelka::cli::Run(QCoreApplication::arguments(), environmentPort, streams);
}
