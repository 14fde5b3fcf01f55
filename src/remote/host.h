// What the remote service needs of the program it runs in: the printer worker that runs
// its commands, the ports a search goes through, and where the outcome shows besides the
// client (the window, when there is one).
//
// Thread-safety: the hooks are called on the printer worker's thread (the search's and
// identification's) or a connection's thread (onSerialTitle); each must be safe there.
#pragma once

#include <functional>
#include <string>

#include "discovery/identity.h"
#include "discovery/search.h"
#include "printer/worker.h"

namespace zelka::remote {

struct Host {
  printer::Worker* worker = nullptr;
  discovery::PortList ports;
  // Told of a client's search and of each identification step (empty: nobody to tell).
  std::function<void(const discovery::SearchResult&)> onSearched;
  std::function<void(discovery::Step, const discovery::Identity&)> onStep;
  // The commands "3", "4" and "5": the caption of the serial number's title.
  std::function<void(const std::string&)> onSerialTitle;
};

}  // namespace zelka::remote
