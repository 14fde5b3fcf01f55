// The search and the identification against simulated printers on pseudo-terminals.
//   BM_SearchOverSilentPorts/4, /8: ports that open but never answer. The ports of one
//     rate are probed at once, so the search waits 300 ms per rate whatever the number
//     of ports: "overhead_pct" is the time beyond 4 x 300 ms (target: < 5 %).
//   BM_IdentifyPromptPrinter: the whole identification of a printer that answers at once
//     (target: < 50 ms).
#include <benchmark/benchmark.h>

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
  const double ideal = static_cast<double>(discovery::kSearchRates.size()) * kProbeWaitMs;
  double worstOverheadPct = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const auto result = discovery::SearchPrinter(session, [&] { return ports; });
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (result.printer) return state.SkipWithError("a silent port answered");
    worstOverheadPct = std::max(worstOverheadPct, (took.count() - ideal) / ideal * 100);
  }
  state.counters["overhead_pct"] = worstOverheadPct;
}
BENCHMARK(BM_SearchOverSilentPorts)->Arg(4)->Arg(8)->UseRealTime()
    ->Unit(benchmark::kMillisecond)->Iterations(3);

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
