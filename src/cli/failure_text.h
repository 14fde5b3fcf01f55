// Failures put into words for the command line: what failed and what to do about it.
#pragma once

#include <string>

#include "cli/exit_code.h"
#include "link/serial_link.h"
#include "printer/result.h"

namespace zelka::cli {

struct Failure {
  ExitCode code = ExitCode::kFailed;
  std::string message;
};

// `port` as a message names it. A user who never typed the port (ZELKA_PORT named it,
// `environmentPort`) learns where it came from.
std::string PortWords(const std::string& port, const std::string& environmentPort);

// `port` could not be opened for `reason` (`detail`: the system's words);
// `environmentPort`: the port ZELKA_PORT named, if it stood in for --port.
Failure OpenFailure(const std::string& port, link::OpenFailure reason, const std::string& detail,
                    const std::string& environmentPort = {});
// A printer operation's problem; `what` names what was asked ("the paper feed"), `port`
// the printer's port (an operation's result does not always carry it).
Failure ResultFailure(const printer::Result& result, const std::string& what,
                      const std::string& port, const std::string& environmentPort = {});

}  // namespace zelka::cli
