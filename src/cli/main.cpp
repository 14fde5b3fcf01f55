// zelka: the printer core from scripts and terminals, without a display.
#include <QCoreApplication>

#include <cstdlib>

#include "cli/config_location.h"
#include "cli/run.h"
#include "cli/terminal.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("zelka"));
  std::optional<std::string> environmentPort;
  if (const char* port = std::getenv("ZELKA_PORT"); port && *port) environmentPort = port;
  zelka::cli::Streams streams;
  streams.errIsTerminal = zelka::cli::StandardErrorIsTerminal();
  return zelka::cli::Run(QCoreApplication::arguments(), environmentPort, streams,
                         zelka::cli::ConfigFilePaths());
}
