#include "cli/failure_text.h"

#include "link/port_owner.h"

namespace zelka::cli {

namespace {

std::string PermissionAdvice(const std::string& port) {
  const std::string group = link::PortOwnerGroup(port);
  if (group.empty()) return "ask your administrator for access to the port";
  return "add your user to the group \"" + group + "\" (sudo usermod -aG " + group +
         " $USER) and log in again";
}

}  // namespace

Failure OpenFailure(const std::string& port, link::OpenFailure reason, const std::string& detail) {
  const std::string cannot = "cannot open " + port + ": ";
  switch (reason) {
    case link::OpenFailure::kPermissionDenied:
      return {ExitCode::kPermissionDenied, cannot + "permission denied; " + PermissionAdvice(port)};
    case link::OpenFailure::kBusy:
      return {ExitCode::kPortBusy,
              cannot + "the port is busy; close the program that holds it and try again"};
    case link::OpenFailure::kAbsent:
      return {ExitCode::kPortAbsent,
              cannot + "no such port; run \"zelka ports\" to list the ports"};
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  return {ExitCode::kFailed, cannot + (detail.empty() ? "the system refused" : detail) +
                                 "; check the port and try again"};
}

Failure ResultFailure(const printer::Result& result, const std::string& what,
                      const std::string& port) {
  switch (result.problem) {
    case printer::Problem::kNone: return {ExitCode::kOk, {}};
    case printer::Problem::kNoPrinter:
      return {ExitCode::kNoPrinter, "no printer port is known; name one with --port"};
    case printer::Problem::kCannotOpen:
      return OpenFailure(result.port.empty() ? port : result.port, result.openFailure, result.detail);
    case printer::Problem::kNotSent:
      return {ExitCode::kFailed, what + " could not be sent whole to the printer on " + port +
                                     "; check the cable and the rate (--baud)"};
    case printer::Problem::kNoReply: break;
  }
  return {ExitCode::kFailed, "the printer on " + port + " did not answer " + what +
                                 "; check that it is on, has paper and is at this rate (--baud)"};
}

}  // namespace zelka::cli
