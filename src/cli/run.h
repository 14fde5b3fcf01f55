// The command line from arguments to exit code: parse and check, read the files, select
// the printer, run the subcommand. Nothing is sent to a printer before every argument and
// file has been checked.
#pragma once

#include <QStringList>

#include <cstdio>
#include <optional>
#include <string>

#include "printer/sleeper.h"

namespace zelka::cli {

struct Streams {
  std::FILE* in = stdin;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool errIsTerminal = false;
  // The printer protocol's waits; nullptr: real ones.
  printer::Sleeper* sleeper = nullptr;
};

// `arguments` with the program's name first; `environmentPort`: ZELKA_PORT. Needs a
// QCoreApplication (serve runs its event loop).
int Run(const QStringList& arguments, const std::optional<std::string>& environmentPort,
        const Streams& streams);

}  // namespace zelka::cli
