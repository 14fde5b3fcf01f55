// A whole firmware update of the largest image (700,000 bytes, 2,735 blocks) against a
// prompt simulated printer, with the bootloader's fixed waits at zero and the progress
// bar of the window's update driven as the window drives it.
//
// Counters, per block:
//   program_cpu_us  CPU time of the program's thread (building the block, the sum, the
//                   write, the read, the bar and its repaint throttle);
//   round_trip_us   wall time, the simulator's parsing and the pty round trip included;
//   line_ms         the block's own time on the wire at 57600 baud (258 bytes of 10 bits);
//   cpu_share_pct, wall_share_pct  the two beside the line time (target: below 1 %).
#include <benchmark/benchmark.h>


#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "firmware/bootloader.h"
#include "firmware/data_block.h"
#include "firmware/update_progress.h"
#include "link/link_lock.h"
#include "link/serial_link.h"
#include "seams/sleeper.h"
#include "sim/simulator.h"
#include "seams/unattended_dialogs.h"

namespace {

using namespace zelka;

constexpr std::size_t kImageBytes = firmware::kMaxImageBytes;
constexpr double kBitsPerByte = 10.0;  // start, 8 data bits, stop
constexpr double kLineMsPerBlock =
    firmware::kBlockFrameBytes * kBitsPerByte / firmware::kBootloaderBaud * 1000.0;

class NoWait final : public seams::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds) override {}
};


double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::filesystem::path WriteImage() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("zelka-bench-firmware-" + std::to_string(std::random_device{}()) + ".bin");
  std::ofstream file(path, std::ios::binary);
  for (std::size_t i = 0; i < kImageBytes; ++i) file.put(static_cast<char>((i * 7 + i / 256) % 251));
  return path;
}

void BM_LargestImageUpdate(benchmark::State& state) {
  sim::Simulator printer{sim::DefaultPrinter()};
  if (!printer.Start()) return state.SkipWithError("no pty");
  NoWait noWait;
  seams::SetSleeper(&noWait);
  link::ResetLinkState();
  link::CurrentPortName = printer.PortName();
  const auto path = WriteImage();

  seams::WindowState window;
  window.AddControl("ProgressBar1", {.minimum = 0, .maximum = 100});
  seams::UnattendedDialogs dialogs;
  const std::size_t blocks = firmware::BlockCount(kImageBytes);
  double cpuSeconds = 0;
  double wallSeconds = 0;
  for (auto _ : state) {
    link::CurrentBaud = 57600;
    printer.ClearLog();
    const double cpuStart = ThreadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    {
      link::PrinterOperation operation;
      firmware::UpdateProgress progress(window, dialogs);
      int result = firmware::EnterBootloader();
      if (result == firmware::kBootOk) result = firmware::SetBootloaderSpeed();
      if (result == firmware::kBootOk) {
        result = firmware::TransferFirmware(path.string(), [&progress](std::size_t sent, std::size_t count) {
          progress.OnBlock(sent, count);
        });
      }
      if (result != firmware::kBootOk) {
        state.SkipWithError(("update failed with " + std::to_string(result)).c_str());
        break;
      }
    }
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    cpuSeconds += ThreadCpuSeconds() - cpuStart;
  }
  const double runs = static_cast<double>(state.iterations());
  if (runs > 0) {
    const double cpuUs = cpuSeconds / runs / static_cast<double>(blocks) * 1e6;
    const double wallUs = wallSeconds / runs / static_cast<double>(blocks) * 1e6;
    state.counters["blocks"] = static_cast<double>(blocks);
    state.counters["program_cpu_us"] = cpuUs;
    state.counters["round_trip_us"] = wallUs;
    state.counters["line_ms"] = kLineMsPerBlock;
    state.counters["cpu_share_pct"] = cpuUs / 1000.0 / kLineMsPerBlock * 100.0;
    state.counters["wall_share_pct"] = wallUs / 1000.0 / kLineMsPerBlock * 100.0;
    state.counters["repaints"] = dialogs.repaints / runs;
  }
  std::filesystem::remove(path);
  seams::SetSleeper(nullptr);
  link::ResetLinkState();
}
BENCHMARK(BM_LargestImageUpdate)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
