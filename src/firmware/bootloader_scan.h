// Finding a printer that waits in its bootloader: one whose update stopped half-way, or
// that was switched on with no firmware. Its main firmware does not run, so the search
// cannot find it; its bootloader answers the handshake at the transfer rate.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "printer/session.h"

namespace zelka::firmware {

struct ScanProblem {
  std::string port;
  link::OpenFailure reason = link::OpenFailure::kOther;
  std::string detail;
};

struct BootloaderScan {
  std::optional<std::string> port;  // the first port in list order whose bootloader answered
  std::vector<ScanProblem> unopened;  // ports that could not be opened, in list order
};

// Sends 00 FE at the transfer rate on every port of `ports` at once and takes a reply
// 0x06 or 0x08 within the handshake's time-out as a bootloader. Nothing else is sent.
// The session's port becomes the port found (its rate the transfer rate); the other
// ports are closed and let go.
BootloaderScan FindWaitingBootloader(printer::Session& session, const std::vector<std::string>& ports);

}  // namespace zelka::firmware
