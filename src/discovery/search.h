// The automatic search: every listed port at every rate the printer may use, until a
// port answers the probe.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "printer/session.h"

namespace zelka::discovery {

// The rates of the search, in the order they are tried (not the numeric one).
inline constexpr std::array<int, 4> kSearchRates = {57600, 9600, 115200, 19200};

// The ports to search, read anew for every rate: the list may change meanwhile.
using PortList = std::function<std::vector<std::string>()>;

struct FoundPrinter {
  std::string port;
  int baud = 0;
  std::size_t index = 0;  // the port's place in the list as last read
};

// A port that could not be opened, with the system's reason.
struct PortProblem {
  std::string port;
  link::OpenFailure reason = link::OpenFailure::kOther;
  std::string detail;
};

struct SearchResult {
  std::optional<FoundPrinter> printer;
  // Ports that could not be opened at any rate, in list order (when nothing was found).
  std::vector<PortProblem> unopened;
};

// At each rate, probes every listed port at once (GS r 1, any one byte in reply within
// 300 ms means a printer) and takes the first port in list order that answered. The
// session's port becomes the port found, or "0" when none answered; its rate the rate
// found, or else the last rate at which a port could be opened.
SearchResult SearchPrinter(printer::Session& session, const PortList& ports);

struct EverySearchResult {
  // Every port that answered, once, with the rate it answered at: in the order found
  // (rate by rate, then in list order).
  std::vector<FoundPrinter> printers;
  // Ports that could not be opened at any rate, in list order.
  std::vector<PortProblem> unopened;
};

// The same probes at the same rates and in the same order as SearchPrinter, but the
// search goes on after an answer: a port that answered is not probed again, and the
// search ends after the last rate or once every listed port has answered. The session's
// port and rate are left as they were.
EverySearchResult SearchEveryPrinter(printer::Session& session, const PortList& ports);

}  // namespace zelka::discovery
