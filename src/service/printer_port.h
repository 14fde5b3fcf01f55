// The printer's port as every service action opens it: the port found or chosen last, at
// the rate it was found or set at, with the action's own read time-out.
#pragma once

#include <chrono>

#include "link/serial_link.h"

namespace zelka::service {

// The status is the caller's to look at or not: a port that did not open makes every
// later exchange return 2, and a port that was open already (3) is used as it is.
inline link::StatusCode OpenPrinterPort(std::chrono::milliseconds readTimeout) {
  return link::OpenPort(link::CurrentPortName, link::CurrentBaud,
                        static_cast<int>(readTimeout.count()));
}

}  // namespace zelka::service
