// The command line's own cost, the zelka binary run as a process as a script runs it.
//   BM_IdentifyInProcess: the identification alone, in this process (the baseline).
//   BM_ZelkaInfo: "zelka info --port P -b 57600" against the same simulated printer:
//     start-up, open check, identification, output and exit (target: within 50 ms of
//     the baseline).
//   BM_ZelkaInfoWithSearch: the same with the search of the one port instead of -b.
//   BM_ZelkaPorts: "zelka ports" (target: < 100 ms).
//   BM_ZelkaInfoOverEightPorts, BM_ZelkaInfoAllOverEightPorts: "zelka info" and
//     "zelka info --all" over 8 ports, 3 of them printers (57600, 9600 and 19200 baud),
//     the rest silent: the first printer found, against every printer found and identified.
//   BM_ZelkaDetectOverSilentPorts/N: "zelka detect" over N ports that never answer: the
//     whole search, about 4 x 300 ms whatever N (target: < 1.1 x 1200 ms with 64 ports).
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "discovery/identify.h"
#include "printer/session.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

bool RunZelka(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(ZELKA_BINARY), arguments);
  return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

void BM_IdentifyInProcess(benchmark::State& state) {
  sim::Simulator printer(sim::DefaultPrinter());
  if (!printer.Start()) return state.SkipWithError("no pty");
  printer::Session session;
  session.SetPort(printer.PortName());
  session.SetBaud(printer.State().baud);
  for (auto _ : state) {
    if (!discovery::IdentifyPrinter(session, {}).identity.buildDate) {
      return state.SkipWithError("the printer did not answer");
    }
  }
}
BENCHMARK(BM_IdentifyInProcess)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void ZelkaInfo(benchmark::State& state, bool search) {
  sim::Simulator printer(sim::DefaultPrinter());
  if (!printer.Start()) return state.SkipWithError("no pty");
  QStringList arguments{"info", "--json", "--port", QString::fromStdString(printer.PortName())};
  if (!search) arguments << "-b" << "57600";
  for (auto _ : state) {
    if (!RunZelka(arguments)) return state.SkipWithError("zelka info failed");
  }
}

void BM_ZelkaInfo(benchmark::State& state) { ZelkaInfo(state, false); }
BENCHMARK(BM_ZelkaInfo)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ZelkaInfoWithSearch(benchmark::State& state) { ZelkaInfo(state, true); }
BENCHMARK(BM_ZelkaInfoWithSearch)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ZelkaPorts(benchmark::State& state) {
  for (auto _ : state) {
    if (!RunZelka({"ports"})) return state.SkipWithError("zelka ports failed");
  }
}
BENCHMARK(BM_ZelkaPorts)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Simulated printers: the first `printers` answer at 57600, 9600 and 19200 baud, the
// others are silent. Their ports as --port arguments.
struct Printers {
  std::vector<std::unique_ptr<sim::Simulator>> all;
  QStringList arguments;
  bool Start(int count, int printers) {
    const int rates[] = {57600, 9600, 19200};
    for (int i = 0; i < count; ++i) {
      all.push_back(std::make_unique<sim::Simulator>(sim::DefaultPrinter()));
      if (!all.back()->Start()) return false;
      if (i < printers) {
        all.back()->Update([rate = rates[i % 3]](sim::PrinterState& s) { s.baud = rate; });
      } else {
        all.back()->SetSilent(true);
      }
      arguments << "-p" << QString::fromStdString(all.back()->PortName());
    }
    return true;
  }
};

void InfoOverEightPorts(benchmark::State& state, bool all) {
  Printers printers;
  if (!printers.Start(8, 3)) return state.SkipWithError("no pty");
  QStringList arguments = QStringList{"info", "--json"} + printers.arguments;
  if (all) arguments << "--all";
  for (auto _ : state) {
    if (!RunZelka(arguments)) return state.SkipWithError("zelka info failed");
  }
}

void BM_ZelkaInfoOverEightPorts(benchmark::State& state) { InfoOverEightPorts(state, false); }
BENCHMARK(BM_ZelkaInfoOverEightPorts)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ZelkaInfoAllOverEightPorts(benchmark::State& state) { InfoOverEightPorts(state, true); }
BENCHMARK(BM_ZelkaInfoAllOverEightPorts)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ZelkaDetectOverSilentPorts(benchmark::State& state) {
  Printers printers;
  if (!printers.Start(static_cast<int>(state.range(0)), 0)) return state.SkipWithError("no pty");
  const QStringList arguments = QStringList{"detect"} + printers.arguments;
  for (auto _ : state) {
    QProcess process;
    process.start(QStringLiteral(ZELKA_BINARY), arguments);
    // Exit 3: nothing answered, as it should.
    if (!process.waitForFinished(30000) || process.exitCode() != 3) return state.SkipWithError("detect failed");
  }
}
BENCHMARK(BM_ZelkaDetectOverSilentPorts)->Arg(1)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->UseRealTime()
    ->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
