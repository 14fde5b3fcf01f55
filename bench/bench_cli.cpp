// The command line's own cost, the zelka binary run as a process as a script runs it.
//   BM_IdentifyInProcess: the identification alone, in this process (the baseline).
//   BM_ZelkaInfo: "zelka info --port P -b 57600" against the same simulated printer:
//     start-up, open check, identification, output and exit (target: within 50 ms of
//     the baseline).
//   BM_ZelkaInfoWithSearch: the same with the search of the one port instead of -b.
//   BM_ZelkaPorts: "zelka ports" (target: < 100 ms).
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QStringList>

#include <string>

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

}  // namespace
