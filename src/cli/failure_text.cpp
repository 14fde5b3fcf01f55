#include "cli/failure_text.h"

#include "link/port_owner.h"

namespace zelka::cli {

namespace {

std::string PermissionAdvice(const std::string& port) {
  const link::PortAccess access = link::WhoMayOpen(port);
  if (!access.group.empty()) {
    return "add your user to the group \"" + access.group + "\" (sudo usermod -aG " + access.group +
           " $USER) and log in again";
  }
  if (!access.known) return "ask your administrator for access to the port";
  // No group to join: root's group, or a mode that gives the group nothing.
  const std::string device = port.substr(port.rfind('/') + 1);
  return "only its owner (" + access.owner +
         ") may open it; a udev rule gives it to a group, e.g. SUBSYSTEM==\"tty\", KERNEL==\"" + device +
         "\", GROUP=\"dialout\", MODE=\"0660\" in /etc/udev/rules.d/99-zelka.rules (then sudo udevadm "
         "trigger, and join that group)";
}

}  // namespace

std::string PortWords(const std::string& port, const std::string& environmentPort) {
  if (environmentPort.empty() || port != environmentPort) return port;
  return port + " (named by ZELKA_PORT)";
}

Failure OpenFailure(const std::string& port, link::OpenFailure reason, const std::string& detail,
                    const std::string& environmentPort) {
  const std::string cannot = "cannot open " + PortWords(port, environmentPort) + ": ";
  switch (reason) {
    case link::OpenFailure::kPermissionDenied:
      return {ExitCode::kPermissionDenied, cannot + "permission denied; " + PermissionAdvice(port)};
    case link::OpenFailure::kBusy:
      return {ExitCode::kPortBusy,
              cannot + "the port is busy; close the program that holds it and try again"};
    case link::OpenFailure::kAbsent:
      return {ExitCode::kPortAbsent,
              cannot + "no such port; run \"zelka ports\" to list the ports"};
    case link::OpenFailure::kNotSerial:
      return {ExitCode::kPortAbsent,
              cannot + "not a serial port; run \"zelka ports\" to list the ports"};
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  return {ExitCode::kFailed, cannot + (detail.empty() ? "the system refused" : detail) +
                                 "; check the port and try again"};
}

Failure ResultFailure(const printer::Result& result, const std::string& what,
                      const std::string& port, const std::string& environmentPort) {
  const std::string named = PortWords(port, environmentPort);
  switch (result.problem) {
    case printer::Problem::kNone: return {ExitCode::kOk, {}};
    case printer::Problem::kNoPrinter:
      return {ExitCode::kNoPrinter, "no printer port is known; name one with --port"};
    case printer::Problem::kCannotOpen:
      return OpenFailure(result.port.empty() ? port : result.port, result.openFailure, result.detail,
                         environmentPort);
    case printer::Problem::kNotSent:
      return {ExitCode::kFailed, what + " could not be sent whole to the printer on " + named +
                                     "; check the cable and the rate (--baud)"};
    case printer::Problem::kNoReply: break;
  }
  return {ExitCode::kFailed, "the printer on " + named + " did not answer " + what +
                                 "; check that it is on, has paper and is at this rate (--baud)"};
}

}  // namespace zelka::cli
