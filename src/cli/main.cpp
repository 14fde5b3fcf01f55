// zelka: the printer core from scripts and terminals, without a display.
#include <QCoreApplication>

#include <cstdlib>

#include "cli/argument_bytes.h"
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
  // Not QCoreApplication::arguments(): it decodes the bytes, and a file name that is no
  // UTF-8 would name another file.
  return zelka::cli::Run(zelka::cli::ArgumentList(argc, argv), environmentPort, streams,
                         zelka::cli::ConfigFilePaths());
}
