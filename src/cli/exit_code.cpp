#include "cli/exit_code.h"

namespace zelka::cli {

int ToInt(ExitCode code) { return static_cast<int>(code); }

ExitCode ExitCodeFor(link::OpenFailure failure) {
  switch (failure) {
    case link::OpenFailure::kPermissionDenied: return ExitCode::kPermissionDenied;
    case link::OpenFailure::kBusy: return ExitCode::kPortBusy;
    case link::OpenFailure::kAbsent:
    case link::OpenFailure::kNotSerial: return ExitCode::kPortAbsent;
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  return ExitCode::kFailed;
}

ExitCode ExitCodeFor(const printer::Result& result) {
  switch (result.problem) {
    case printer::Problem::kNone: return ExitCode::kOk;
    case printer::Problem::kNoPrinter: return ExitCode::kNoPrinter;
    case printer::Problem::kCannotOpen: return ExitCodeFor(result.openFailure);
    case printer::Problem::kNotSent:
    case printer::Problem::kNoReply: break;
  }
  return ExitCode::kFailed;
}

const char* ExitCodeTable() {
  return "  0  success\n"
         "  1  the operation failed: the printer did not answer or refused\n"
         "  2  usage error: unknown command or option, missing or extra argument, value out of range\n"
         "  3  no printer found\n"
         "  4  permission denied on the port\n"
         "  5  the port is busy (another program holds it)\n"
         "  6  the port is absent, or is no serial port\n"
         "  7  a file was refused (missing, unreadable, bad bitmap, bad firmware file, board mismatch)\n";
}

}  // namespace zelka::cli
