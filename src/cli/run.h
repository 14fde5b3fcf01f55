// The command line from arguments to exit code: parse and check, read the files, select
// the printer, run the subcommand. Nothing is sent to a printer before every argument and
// file has been checked.
#pragma once

#include <QStringList>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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

// `arguments` with the program's name first; `environmentPort`: ZELKA_PORT;
// `configFiles`: the configuration files to read, the later one winning (ConfigFilePaths()
// for the user's own). Needs a QCoreApplication (serve runs its event loop).
int Run(const QStringList& arguments, const std::optional<std::string>& environmentPort,
        const Streams& streams, const std::vector<std::string>& configFiles = {});

}  // namespace zelka::cli
