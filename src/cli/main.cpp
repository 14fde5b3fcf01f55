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
  const zelka::cli::Console console;
  std::optional<std::string> environmentPort;
  if (const QString port = qEnvironmentVariable("ZELKA_PORT"); !port.isEmpty()) {
    environmentPort = port.toStdString();
  }
  zelka::cli::Streams streams;
  streams.errIsTerminal = console.ErrorRedraws();
  // For the program's own tests against the simulated printer, which need none of the
  // bootloader's waits: they are divided by this number. Never set for a real printer.
  std::optional<zelka::printer::ShortenedSleeper> shortened;
  if (const char* divisor = std::getenv("ZELKA_TEST_WAIT_DIVISOR"); divisor && std::atoi(divisor) > 1) {
    shortened.emplace(std::atoi(divisor));
    streams.sleeper = &*shortened;
  }
  return zelka::cli::Run(zelka::cli::ProgramArguments(argc, argv), environmentPort, streams,
                         zelka::cli::ConfigFilePaths());
}
