// Which printer a command talks to: the one port at the rate --baud names, or the first
// port of the list that answers the window's search (--port, ZELKA_PORT, or every serial
// port of the system) at any of the four rates.
#pragma once

#include <string>
#include <vector>

#include "cli/context.h"
#include "discovery/search.h"

namespace zelka::cli {

// The ports to search: --port/ZELKA_PORT, else the system's list read anew.
discovery::PortList PortsToSearch(const GlobalOptions& global);

// Sets the session's port and rate. 0, or the exit code once the reason was reported:
// no printer (3), or the port's own refusal (4, 5, 6) when every port listed refused alike.
int SelectPrinter(Context& context);

// The exit code and message for a search that found nothing, from the ports it could not
// open; `searched`: the ports it went through; `environmentPort`: the port ZELKA_PORT named.
struct NotFound {
  ExitCode code = ExitCode::kNoPrinter;
  std::string message;
};
NotFound ExplainNotFound(const discovery::SearchResult& result,
                         const std::vector<std::string>& searched,
                         const std::string& environmentPort = {});

}  // namespace zelka::cli
