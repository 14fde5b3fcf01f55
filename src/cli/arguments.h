// The command line parsed and checked: global options before or after the subcommand,
// the subcommand's words, its arguments and options, every value in range.
#pragma once

#include <QStringList>

#include <optional>
#include <string>

#include "cli/config_file.h"
#include "cli/invocation.h"

namespace zelka::cli {

struct ParseOutcome {
  enum class Kind {
    kRun,
    kHelp,     // --help or "help": `helpTopic` tells about what
    kVersion,  // --version
    kUsageError,
  };
  Kind kind = Kind::kUsageError;
  Invocation invocation;
  // kHelp: "" for the whole program, a group ("set") or a command's words ("set density").
  // kUsageError: the command the error concerns, when known, for its usage line.
  std::string helpTopic;
  std::string error;  // kUsageError: what is wrong, one line
  bool json = false;  // --json was given (also when the rest is wrong)
};

// `arguments` as main() receives them, the program's name first. `environmentPort` is
// ZELKA_PORT (nothing when unset or empty); `configured`, the configuration files' values,
// which an option given on the command line (or ZELKA_PORT, for the port) overrides.
ParseOutcome ParseArguments(const QStringList& arguments,
                            const std::optional<std::string>& environmentPort,
                            const ConfigFile& configured = {});

}  // namespace zelka::cli
