// firmware recover: the transfer alone, for a printer that waits in its bootloader.
#include "cli/commands.h"
#include "cli/failure_text.h"
#include "cli/flashing.h"
#include "cli/printer_selection.h"
#include "firmware/bootloader_scan.h"

namespace zelka::cli {

namespace {

constexpr std::chrono::milliseconds kOpenCheckTimeout{0};

// The printer's port: the one named, or the first on which a bootloader answers.
int FindBootloader(Context& context) {
  const GlobalOptions& global = context.invocation.global;
  printer::Session& session = context.session;
  if (global.ports.size() == 1) {
    session.SetPort(global.ports.front());
    session.SetBaud(firmware::kBootloaderBaud);
    // Opened and closed, nothing sent: a port that will not open is reported as such,
    // not as a bootloader that did not answer.
    const printer::Result opened = printer::OpenPrinter(session, kOpenCheckTimeout);
    session.CloseAll();
    return ReportProblem(context, opened, "");
  }
  const std::vector<std::string> ports = PortsToSearch(global)();
  const firmware::BootloaderScan scan = firmware::FindWaitingBootloader(session, ports);
  if (scan.port) {
    context.output.Note("a printer waits in its bootloader on " + *scan.port + "; flashing it");
    return 0;
  }
  std::string listed;
  for (const std::string& port : ports) listed += (listed.empty() ? "" : ", ") + port;
  std::string message = ports.empty() ? "no serial ports found"
                                      : "no printer waits in its bootloader on " + listed + " at 57600 baud";
  message += "; check that the printer is on and connected, or name its port with --port";
  for (const firmware::ScanProblem& problem : scan.unopened) {
    message += "; " + OpenFailure(problem.port, problem.reason, problem.detail).message;
  }
  return context.output.Fail(ExitCode::kNoPrinter, message);
}

}  // namespace

int RunRecover(Context& context) {
  const firmware::FirmwareImage& image = context.inputs.firmware;
  const int board = context.invocation.board;
  // The bootloader cannot tell its board: the file must be the one the user named.
  if (image.Board() != board) {
    return context.output.Fail(ExitCode::kFileRefused,
                               context.invocation.arguments.front() + ": the file is built for board version " +
                                   std::to_string(image.Board()) + ", not " + std::to_string(board) +
                                   " (--board); use the firmware file for board version " + std::to_string(board));
  }
  if (const int code = FindBootloader(context)) return code;
  Flashing flashing(context);
  flashing.Arm();
  const firmware::BootStatus status = firmware::TransferFirmware(context.session, context.inputs.firmware,
                                                                 flashing.BlockListener());
  flashing.Disarm();
  if (status == firmware::BootStatus::kCancelled) return ReportAbandoned(context, flashing);
  if (status != firmware::BootStatus::kOk) {
    return context.output.Fail(ExitCode::kFailed,
                               "the recovery failed with error " + std::to_string(firmware::Code(status)) + " (" +
                                   StatusWords(status) + ") on " + context.session.Port() +
                                   "; check the cable and the port, and run it again");
  }
  return ReportFlashed(context, nullptr, firmware::kBootloaderBaud, "Firmware recovered", "recovered");
}

}  // namespace zelka::cli
