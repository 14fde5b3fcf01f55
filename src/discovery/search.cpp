#include "discovery/search.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

#include "commands/frames.h"
#include "link/port_lock.h"
#include "link/port_name.h"
#include "link/port_probe.h"

namespace zelka::discovery {

namespace {

constexpr std::chrono::milliseconds kProbeReadTimeout{300};

struct Probe {
  std::string port;
  bool probed = false;  // false: not probed (listed twice, empty, found already)
  link::ProbeOutcome outcome;
  // Held from before the probe's open: a port another program's job holds (a firmware
  // update between its steps, say) is busy and gets no probe. The port found keeps it
  // for the rest of the job (TakeOverLock).
  link::PortLock lock;
};

// Probes every port of `list` at `baud` at once, except those in `skip`; a port listed
// twice is probed once and both entries get its outcome.
std::vector<Probe> ProbeAll(printer::Session& session, const std::vector<std::string>& list, int baud,
                            const std::set<std::string>& skip) {
  std::vector<Probe> probes;
  probes.reserve(list.size());
  std::map<std::string, std::size_t> firstEntry;
  std::vector<std::string> probed;
  for (const std::string& port : list) {
    // An empty name is no port: nothing to open, nothing to report.
    const bool first = !port.empty() && !skip.contains(port) &&
                       firstEntry.emplace(link::PortKey(port), probes.size()).second;
    Probe& probe = probes.emplace_back(Probe{port, first});
    if (!first) continue;
    // A port this job holds already needs no second lock (it would only meet the first).
    if (!session.HoldsPort(port) && probe.lock.Take(port) == link::PortLock::Outcome::kTaken) {
      probe.outcome = {link::Status::kCannotOpen, link::OpenFailure::kBusy, link::kPortLockedText};
      continue;
    }
    probed.push_back(port);
  }
  std::vector<link::ProbeOutcome> outcomes =
      link::ProbePorts(probed, baud, commands::kQueryPaperSensor, kProbeReadTimeout, session.LinkObserver());
  std::size_t next = 0;
  for (Probe& probe : probes) {
    if (probe.probed && probe.outcome.opened != link::Status::kCannotOpen) {
      probe.outcome = std::move(outcomes[next++]);
    }
  }
  for (Probe& probe : probes) {
    if (const auto it = firstEntry.find(link::PortKey(probe.port)); !probe.probed && it != firstEntry.end()) {
      probe.outcome = probes[it->second].outcome;
    }
  }
  return probes;
}

// The port found is the job's from its probe on: its lock goes to the port's link.
void TakeOverLock(printer::Session& session, Probe& probe) {
  session.LinkFor(probe.port).AdoptLock(probe.port, std::move(probe.lock));
}

// The ports that could not be opened at any rate so far, by name.
class OpenProblems {
 public:
  void Note(const std::vector<Probe>& probes) {
    for (const Probe& probe : probes) {
      if (!probe.probed) continue;
      if (probe.outcome.opened == link::Status::kOk) {
        problems_.erase(link::PortKey(probe.port));
      } else if (probe.outcome.opened == link::Status::kCannotOpen) {
        problems_[link::PortKey(probe.port)] = {probe.port, probe.outcome.failure, probe.outcome.error};
      }
    }
  }
  // Those of `list`, in its order, once each (also when listed twice, in any spelling).
  std::vector<PortProblem> Of(const std::vector<std::string>& list) {
    std::vector<PortProblem> found;
    for (const std::string& port : list) {
      if (auto it = problems_.find(link::PortKey(port)); it != problems_.end()) {
        found.push_back(std::move(it->second));
        problems_.erase(it);
      }
    }
    return found;
  }

 private:
  std::map<std::string, PortProblem> problems_;  // by PortKey
};

}  // namespace

SearchResult SearchPrinter(printer::Session& session, const PortList& ports) {
  session.SetPort(link::kNoPort);
  SearchResult result;
  OpenProblems problems;
  std::vector<std::string> lastList;
  for (int baud : kSearchRates) {
    lastList = ports();
    std::vector<Probe> probes = ProbeAll(session, lastList, baud, {});
    problems.Note(probes);
    bool anyOpened = false;
    for (const Probe& probe : probes) anyOpened = anyOpened || probe.outcome.opened == link::Status::kOk;
    if (anyOpened) session.SetBaud(baud);
    for (std::size_t index = 0; index < probes.size(); ++index) {
      if (!probes[index].outcome.answered) continue;
      session.SetPort(probes[index].port);
      TakeOverLock(session, probes[index]);
      result.printer = FoundPrinter{probes[index].port, baud, index};
      return result;
    }
  }
  result.unopened = problems.Of(lastList);
  return result;
}

EverySearchResult SearchEveryPrinter(printer::Session& session, const PortList& ports) {
  EverySearchResult result;
  OpenProblems problems;
  std::set<std::string> found;
  std::vector<std::string> lastList;
  for (int baud : kSearchRates) {
    lastList = ports();
    const std::set<std::string> listed(lastList.begin(), lastList.end());
    if (std::all_of(listed.begin(), listed.end(),
                    [&found](const std::string& port) { return port.empty() || found.contains(port); })) {
      break;
    }
    std::vector<Probe> probes = ProbeAll(session, lastList, baud, found);
    problems.Note(probes);
    for (std::size_t index = 0; index < probes.size(); ++index) {
      Probe& probe = probes[index];
      if (probe.outcome.answered && found.insert(probe.port).second) {
        TakeOverLock(session, probe);
        result.printers.push_back(FoundPrinter{probe.port, baud, index});
      }
    }
  }
  result.unopened = problems.Of(lastList);
  return result;
}

}  // namespace zelka::discovery
