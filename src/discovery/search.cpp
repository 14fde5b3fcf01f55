#include "discovery/search.h"

#include <QEventLoop>

#include <chrono>
#include <map>
#include <thread>

#include "commands/catalogue.h"
#include "link/port_name.h"

namespace zelka::discovery {

namespace {

constexpr std::chrono::milliseconds kProbeReadTimeout{300};

struct Probe {
  std::string port;
  link::SerialLink* link = nullptr;  // nullptr: listed twice, the earlier entry probes it
  link::Status opened = link::Status::kNotOpen;
  bool answered = false;
};

// Runs on a thread of its own with a link no other probe uses.
void RunProbe(Probe& probe, int baud) {
  // Serial ports register notifiers with their thread's event dispatcher.
  const QEventLoop dispatcherHolder;
  probe.opened = probe.link->Open(probe.port, baud, kProbeReadTimeout);
  probe.answered = commands::QueryPaperSensor(*probe.link).has_value();
  probe.link->Close();
}

void NoteProblem(std::map<std::string, PortProblem>& problems, const Probe& probe) {
  if (probe.opened == link::Status::kOk) {
    problems.erase(link::PortKey(probe.port));
  } else if (probe.opened == link::Status::kCannotOpen) {
    problems[link::PortKey(probe.port)] = {probe.port, probe.link->LastOpenFailure(),
                                           probe.link->LastOpenError()};
  }
}

}  // namespace

SearchResult SearchPrinter(printer::Session& session, const PortList& ports) {
  session.SetPort(link::kNoPort);
  SearchResult result;
  std::map<std::string, PortProblem> problems;
  std::vector<std::string> lastList;
  for (int baud : kSearchRates) {
    lastList = ports();
    std::vector<Probe> probes;
    probes.reserve(lastList.size());
    // Links are made here, on the session's thread; each probe thread uses its own.
    std::map<std::string, std::size_t> firstEntry;
    for (const std::string& port : lastList) {
      // An empty name is no port: nothing to open, nothing to report.
      if (port.empty()) {
        probes.push_back({port});
        continue;
      }
      const bool first = firstEntry.emplace(link::PortKey(port), probes.size()).second;
      probes.push_back({port, first ? &session.LinkFor(port) : nullptr});
    }
    {
      std::vector<std::jthread> threads;
      threads.reserve(probes.size());
      for (Probe& probe : probes) {
        if (probe.link) threads.emplace_back([&probe, baud] { RunProbe(probe, baud); });
      }
    }
    for (Probe& probe : probes) {
      if (!probe.link && !probe.port.empty()) probe = probes[firstEntry[link::PortKey(probe.port)]];
    }
    bool anyOpened = false;
    for (const Probe& probe : probes) {
      anyOpened = anyOpened || probe.opened == link::Status::kOk;
      if (probe.link) NoteProblem(problems, probe);
    }
    if (anyOpened) session.SetBaud(baud);
    for (std::size_t index = 0; index < probes.size(); ++index) {
      if (!probes[index].answered) continue;
      session.SetPort(probes[index].port);
      result.printer = FoundPrinter{probes[index].port, baud, index};
      return result;
    }
  }
  for (const std::string& port : lastList) {
    // Once per port, also when it is listed twice.
    if (auto it = problems.find(link::PortKey(port)); it != problems.end()) {
      result.unopened.push_back(std::move(it->second));
      problems.erase(it);
    }
  }
  return result;
}

}  // namespace zelka::discovery
