// The command line's exit codes: what a script can tell from the status alone.
#pragma once

#include "link/serial_link.h"
#include "printer/result.h"

namespace zelka::cli {

enum class ExitCode {
  kOk = 0,
  kFailed = 1,            // the printer did not answer, or refused
  kUsage = 2,             // the command line is wrong
  kNoPrinter = 3,         // no port answered the search
  kPermissionDenied = 4,  // the user may not open the port
  kPortBusy = 5,          // another program holds the port
  kPortAbsent = 6,        // no such port
  kFileRefused = 7,       // a file cannot be read or is not one the printer takes
};

int ToInt(ExitCode code);

// kPermissionDenied, kPortBusy or kPortAbsent; kFailed for any other reason.
ExitCode ExitCodeFor(link::OpenFailure failure);
// kOk for a result without a problem.
ExitCode ExitCodeFor(const printer::Result& result);

// The table of codes for --help, one code a line.
const char* ExitCodeTable();

}  // namespace zelka::cli
