// The serial link over a pseudo-terminal against a prompt simulated printer.
//   BM_OneByteQueryRoundTrip: GS r 1 and its one-byte reply (target: median < 1 ms).
//   BM_TextQueryRoundTrip:    GS I @ and its 17-byte reply; the read must end as the 17th
//                             byte arrives, never at the 300 ms silence (target: < 2 ms).
//   BM_SilentReadOvershoot:   a read that gets no reply ends at its 300 ms time-out;
//                             the counter "overshoot_ms" is how late (target: < 20 ms).
//   BM_PortLockTakeRelease:   what the port's lock adds to a job: one take and one
//                             release per port per job.
//   BM_JobOpenClose:          a job's shortest use of a port for comparison: open, close,
//                             and the release at the job's end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "commands/catalogue.h"
#include "link/port_lock.h"
#include "link/serial_link.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

struct OpenPrinter {
  sim::Simulator printer{sim::DefaultPrinter()};
  link::SerialLink link;
  bool ok = false;
  explicit OpenPrinter(int readTimeoutMs) {
    ok = printer.Start() &&
         link.Open(printer.PortName(), 57600, std::chrono::milliseconds(readTimeoutMs)) ==
             link::Status::kOk;
  }
  ~OpenPrinter() { link.Close(); }
};

void BM_OneByteQueryRoundTrip(benchmark::State& state) {
  OpenPrinter p(300);
  if (!p.ok) return state.SkipWithError("no pty");
  for (auto _ : state) {
    if (!commands::QueryPaperSensor(p.link)) return state.SkipWithError("no reply");
  }
}
BENCHMARK(BM_OneByteQueryRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TextQueryRoundTrip(benchmark::State& state) {
  OpenPrinter p(300);
  if (!p.ok) return state.SkipWithError("no pty");
  for (auto _ : state) {
    if (!commands::QueryModelName(p.link)) return state.SkipWithError("no reply");
  }
}
BENCHMARK(BM_TextQueryRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SilentReadOvershoot(benchmark::State& state) {
  constexpr int kTimeoutMs = 300;
  OpenPrinter p(kTimeoutMs);
  if (!p.ok) return state.SkipWithError("no pty");
  p.printer.SetSilent(true);
  double worst = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(commands::QueryPaperSensor(p.link));
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    worst = std::max(worst, took.count() - kTimeoutMs);
  }
  state.counters["overshoot_ms"] = worst;
}
BENCHMARK(BM_SilentReadOvershoot)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PortLockTakeRelease(benchmark::State& state) {
  sim::Simulator printer{sim::DefaultPrinter()};
  if (!printer.Start()) return state.SkipWithError("no pty");
  link::PortLock lock;
  for (auto _ : state) {
    if (lock.Take(printer.PortName()) != link::PortLock::Outcome::kHeld) return state.SkipWithError("no lock");
    lock.Release();
  }
}
BENCHMARK(BM_PortLockTakeRelease)->UseRealTime()->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

void BM_JobOpenClose(benchmark::State& state) {
  sim::Simulator printer{sim::DefaultPrinter()};
  if (!printer.Start()) return state.SkipWithError("no pty");
  link::SerialLink link;
  for (auto _ : state) {
    if (link.Open(printer.PortName(), 57600, std::chrono::milliseconds(300)) != link::Status::kOk) {
      return state.SkipWithError("no port");
    }
    link.ReleasePort();
  }
}
BENCHMARK(BM_JobOpenClose)->UseRealTime()->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
