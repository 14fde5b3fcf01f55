// The search and the identification against simulated printers on pseudo-terminals.
//   BM_SearchOverSilentPorts/N: N simulated printers that never answer. The ports of one
//     rate are probed at once, so the search waits 300 ms per rate whatever the number
//     of ports: "overhead_pct" is the time beyond 4 x 300 ms, worst of the runs (target:
//     < 10 % with 64 ports).
//   BM_SearchOverBarePtys/N: the same over pseudo-terminals nobody serves: the search's
//     own cost without the simulators' threads.
//   BM_SearchEveryPrinter/N: the search that goes on after an answer (detect --all) over
//     N ports, three of them printers at 57600, 9600 and 19200 baud.
//   BM_IdentifyPromptPrinter: the whole identification of a printer that answers at once
//     (target: < 50 ms).
#include <benchmark/benchmark.h>

#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "discovery/identify.h"
#include "discovery/search.h"
#include "printer/session.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

constexpr double kProbeWaitMs = 300.0;
constexpr double kIdealSearchMs = discovery::kSearchRates.size() * kProbeWaitMs;

// Pseudo-terminals whose other side nobody reads: a port that opens and never answers.
class BarePtys {
 public:
  explicit BarePtys(int count) {
    for (int i = 0; i < count; ++i) {
      int master = -1;
      int slave = -1;
      if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return;
      masters_.push_back(master);
      names_.push_back(ptsname(master));
      close(slave);
    }
  }
  ~BarePtys() {
    for (int fd : masters_) close(fd);
  }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  std::vector<int> masters_;
  std::vector<std::string> names_;
};

// Runs the search over `ports` once per iteration and reports the worst overhead.
template <typename Search>
void TimeSearches(benchmark::State& state, Search search) {
  double worstOverheadPct = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!search()) return state.SkipWithError("the search found what it should not");
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    worstOverheadPct = std::max(worstOverheadPct, (took.count() - kIdealSearchMs) / kIdealSearchMs * 100);
  }
  state.counters["overhead_pct"] = worstOverheadPct;
}

void BM_SearchOverSilentPorts(benchmark::State& state) {
  std::vector<std::unique_ptr<sim::Simulator>> printers;
  std::vector<std::string> ports;
  for (int i = 0; i < state.range(0); ++i) {
    printers.push_back(std::make_unique<sim::Simulator>(sim::DefaultPrinter()));
    if (!printers.back()->Start()) return state.SkipWithError("no pty");
    printers.back()->SetSilent(true);
    ports.push_back(printers.back()->PortName());
  }
  printer::Session session;
  TimeSearches(state, [&] { return !discovery::SearchPrinter(session, [&] { return ports; }).printer; });
}
BENCHMARK(BM_SearchOverSilentPorts)->Arg(1)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->UseRealTime()
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SearchOverBarePtys(benchmark::State& state) {
  const BarePtys ptys(static_cast<int>(state.range(0)));
  if (ptys.Names().size() != static_cast<std::size_t>(state.range(0))) return state.SkipWithError("no pty");
  printer::Session session;
  TimeSearches(state, [&] { return !discovery::SearchPrinter(session, [&] { return ptys.Names(); }).printer; });
}
BENCHMARK(BM_SearchOverBarePtys)->Arg(1)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->UseRealTime()
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SearchEveryPrinter(benchmark::State& state) {
  std::vector<std::unique_ptr<sim::Simulator>> printers;
  std::vector<std::string> ports;
  const int rates[] = {57600, 9600, 19200};
  for (int i = 0; i < state.range(0); ++i) {
    printers.push_back(std::make_unique<sim::Simulator>(sim::DefaultPrinter()));
    if (!printers.back()->Start()) return state.SkipWithError("no pty");
    if (i < 3) {
      printers.back()->Update([rate = rates[i]](sim::PrinterState& s) { s.baud = rate; });
    } else {
      printers.back()->SetSilent(true);
    }
    ports.push_back(printers.back()->PortName());
  }
  printer::Session session;
  TimeSearches(state, [&] {
    return discovery::SearchEveryPrinter(session, [&] { return ports; }).printers.size() == 3;
  });
}
BENCHMARK(BM_SearchEveryPrinter)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IdentifyPromptPrinter(benchmark::State& state) {
  sim::Simulator printer(sim::DefaultPrinter());
  if (!printer.Start()) return state.SkipWithError("no pty");
  printer::Session session;
  session.SetPort(printer.PortName());
  session.SetBaud(printer.State().baud);
  for (auto _ : state) {
    const auto outcome = discovery::IdentifyPrinter(session, {});
    if (!outcome.identity.buildDate) return state.SkipWithError("the printer did not answer");
  }
}
BENCHMARK(BM_IdentifyPromptPrinter)->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
