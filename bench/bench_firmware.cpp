// A whole firmware update of the largest image (700,000 bytes, 2,735 blocks) against a
// prompt simulated printer, with the bootloader's fixed waits at zero, run as the printer
// worker runs it: the file read once, the board check, the bootloader steps, and a
// listener told of every block.
//
// Counters, per block:
//   program_cpu_us  CPU time of the program's thread (building the block, the sum, the
//                   write, the read, telling the listener);
//   round_trip_us   wall time, the simulator's parsing and the pty round trip included;
//   line_ms         the block's own time on the wire at 57600 baud (258 bytes of 10 bits);
//   cpu_share_pct, wall_share_pct  the two beside the line time (target: below 1 %).
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "firmware/data_block.h"
#include "firmware/firmware_file.h"
#include "firmware/update_firmware.h"
#include "printer/session.h"
#include "printer/sleeper.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

constexpr std::size_t kImageBytes = firmware::kMaxImageBytes;
constexpr double kBitsPerByte = 10.0;  // start, 8 data bits, stop
constexpr double kLineMsPerBlock =
    firmware::kBlockFrameBytes * kBitsPerByte / firmware::kBootloaderBaud * 1000.0;

class NoWait final : public printer::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds) override {}
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// An image for the simulated printer's board ("ZELKA-000001", version 3).
std::filesystem::path WriteImage() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("zelka-bench-firmware-" + std::to_string(std::random_device{}()) + ".bin");
  std::ofstream file(path, std::ios::binary);
  for (std::size_t i = 0; i + 1 < kImageBytes; ++i) file.put(static_cast<char>((i * 7 + i / 256) % 251));
  file.put(3);
  return path;
}

void BM_LargestImageUpdate(benchmark::State& state) {
  sim::Simulator printer{sim::DefaultPrinter()};
  if (!printer.Start()) return state.SkipWithError("no pty");
  NoWait noWait;
  printer::Session session(noWait);
  session.SetPort(printer.PortName());
  const auto path = WriteImage();

  const std::size_t blocks = firmware::BlockCount(kImageBytes);
  std::size_t blocksTold = 0;
  const firmware::UpdateListener listener = [&blocksTold](firmware::UpdateStage stage, std::size_t,
                                                          std::size_t) {
    if (stage == firmware::UpdateStage::kBlockSent) ++blocksTold;
  };
  double cpuSeconds = 0;
  double wallSeconds = 0;
  for (auto _ : state) {
    session.SetBaud(57600);
    printer.ClearLog();
    const double cpuStart = ThreadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    firmware::FirmwareImage image;
    if (firmware::ReadFirmwareFile(path.string(), image).problem != firmware::FileProblem::kNone) {
      state.SkipWithError("the image file could not be read");
      break;
    }
    const firmware::UpdateResult result = firmware::UpdateFirmware(session, image, listener);
    if (!result.started || result.status != firmware::BootStatus::kOk) {
      state.SkipWithError(("update failed with " + std::to_string(firmware::Code(result.status))).c_str());
      break;
    }
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    cpuSeconds += ThreadCpuSeconds() - cpuStart;
  }
  const double runs = static_cast<double>(state.iterations());
  if (runs > 0) {
    const double cpuUs = cpuSeconds / runs / static_cast<double>(blocks) * 1e6;
    const double wallUs = wallSeconds / runs / static_cast<double>(blocks) * 1e6;
    state.counters["blocks"] = static_cast<double>(blocks);
    state.counters["blocks_told"] = static_cast<double>(blocksTold) / runs;
    state.counters["program_cpu_us"] = cpuUs;
    state.counters["round_trip_us"] = wallUs;
    state.counters["line_ms"] = kLineMsPerBlock;
    state.counters["cpu_share_pct"] = cpuUs / 1000.0 / kLineMsPerBlock * 100.0;
    state.counters["wall_share_pct"] = wallUs / 1000.0 / kLineMsPerBlock * 100.0;
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LargestImageUpdate)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
