// The search and the identification against simulated printers on pseudo-terminals.
//   BM_SearchOverFourSilentPorts: 4 ports that open but never answer: 16 probes, each
//     waiting its 300 ms; "overhead_pct" is the time beyond 16 x 300 ms (target: < 5 %).
//   BM_IdentifyPromptPrinter: the whole identification of a printer that answers at once
//     (target: < 50 ms).
#include <benchmark/benchmark.h>


#include <chrono>
#include <memory>
#include <vector>

#include "discovery/identification.h"
#include "form/main_form.h"
#include "link/link_lock.h"
#include "link/serial_link.h"
#include "sim/simulator.h"
#include "seams/unattended_dialogs.h"

namespace {

using namespace zelka;


void BM_SearchOverFourSilentPorts(benchmark::State& state) {
  std::vector<std::unique_ptr<sim::Simulator>> printers;
  std::vector<std::string> ports;
  for (int i = 0; i < 4; ++i) {
    printers.push_back(std::make_unique<sim::Simulator>(sim::DefaultPrinter()));
    if (!printers.back()->Start()) return state.SkipWithError("no pty");
    printers.back()->SetSilent(true);
    ports.push_back(printers.back()->PortName());
  }
  seams::UnattendedDialogs dialogs;
  form::MainForm form(dialogs, {.portSource = [&] { return ports; }});
  form.FormCreate();
  double worstOverheadPct = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    form.AutoDetectPrinter(discovery::kWindowRequest, nullptr);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    worstOverheadPct = std::max(worstOverheadPct, (took.count() - 16 * 300.0) / (16 * 300.0) * 100);
  }
  state.counters["overhead_pct"] = worstOverheadPct;
}
BENCHMARK(BM_SearchOverFourSilentPorts)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IdentifyPromptPrinter(benchmark::State& state) {
  sim::Simulator printer(sim::DefaultPrinter());
  if (!printer.Start()) return state.SkipWithError("no pty");
  seams::UnattendedDialogs dialogs;
  form::MainForm form(dialogs, {.portSource = [&] { return std::vector<std::string>{printer.PortName()}; }});
  form.FormCreate();
  link::CurrentPortName = printer.PortName();
  link::CurrentBaud = printer.State().baud;  // the search before left it at its last probe
  for (auto _ : state) {
    link::PrinterOperation operation;
    discovery::IdentifyPrinter(form.Context(), discovery::kWindowRequest, nullptr);
  }
}
BENCHMARK(BM_IdentifyPromptPrinter)->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
