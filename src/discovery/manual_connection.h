// Manual connection: a port the user names becomes the printer's port at the session's
// rate, without a search and without reading anything from the printer.
#pragma once

#include <string>

#include "link/serial_link.h"
#include "printer/session.h"

namespace zelka::discovery {

struct ConnectResult {
  link::Status opened = link::Status::kOk;
  link::OpenFailure reason = link::OpenFailure::kNone;  // when it could not be opened
  std::string detail;                                   // the system's words for it
  int baud = 0;                                         // the rate it was tried at
};

// Opens `port` at the session's rate and closes it again. The port becomes the
// session's printer port only when it opened.
ConnectResult ConnectManually(printer::Session& session, const std::string& port);

}  // namespace zelka::discovery
