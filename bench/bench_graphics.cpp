// Printing a 576 × 4000 picture against a prompt simulated printer on a pseudo-terminal.
// A row frame is 78 bytes, which take 13.54 ms on the line at 57600 baud (10 bits a
// byte); the program's own time per row is measured beside that.
//   BM_PictureRows:   the rows of a loaded picture sent over the open port, one frame
//                     each (SendRasterRows). Counters: us_per_row (the program's time per
//                     row, the link's write included), line_us_per_row, share_of_line_pct
//                     (target < 2) and allocs_per_row (target 0: operator new is counted
//                     below).
//   BM_RowFrame:      building one frame (copy and invert 72 bytes), without the link.
//   BM_PrintPicture:  the whole print: LoadPicture (file read, reordering), SendPicture
//                     (port opened, 4000 rows, port closed) and FinishPicture (feed, cut).
//   BM_ConvertPhoto:  a 4000 × 3000 JPEG photograph (about 1.5 MB) made ready for 80 mm
//                     paper: LoadPicture from the file (read, decoded, scaled to 576 × 432,
//                     dithered, reordered). Target: under 200 ms in a release build.
//                     Counter: ms_per_photo. With /threshold the fixed threshold instead.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "graphics/bitmap_maker.h"
#include "graphics/picture_maker.h"
#include "graphics/one_bit_bitmap.h"
#include "graphics/picture_print.h"
#include "graphics/raster_rows.h"
#include "link/serial_link.h"
#include "printer/result.h"
#include "printer/session.h"
#include "sim/simulator.h"

// Allocations of the calling thread (the simulator's own thread does not count).
namespace {
thread_local std::size_t tAllocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++tAllocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace zelka;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kWidth = 576;
constexpr std::int32_t kRows = 4000;
constexpr int kBaud = 57600;
constexpr double kBitsPerByte = 10;  // start, 8 data, stop
constexpr double kFrameBytes = 6 + kWidth / 8;
constexpr double kLineUsPerRow = kFrameBytes * kBitsPerByte / kBaud * 1e6;

constexpr std::chrono::milliseconds kReadTimeout{10'000};

struct PromptPrinter {
  sim::Simulator printer{sim::DefaultPrinter()};
  zelka::printer::Session session;
  bool ok = false;
  PromptPrinter() {
    ok = printer.Start();
    session.SetPort(printer.PortName());
    session.SetBaud(kBaud);
  }
  ~PromptPrinter() { session.CloseAll(); }
};

void ReportPerRow(benchmark::State& state, double totalUs, std::size_t allocations) {
  const double rows = static_cast<double>(state.iterations()) * kRows;
  const double usPerRow = totalUs / rows;
  state.counters["us_per_row"] = usPerRow;
  state.counters["line_us_per_row"] = kLineUsPerRow;
  state.counters["share_of_line_pct"] = 100 * usPerRow / kLineUsPerRow;
  state.counters["allocs_per_row"] = static_cast<double>(allocations) / rows;
}

void BM_PictureRows(benchmark::State& state) {
  PromptPrinter p;
  graphics::Picture picture{testing::MakeBitmap({kWidth, kRows}), {}};
  if (!p.ok ||
      graphics::ReorderBitmapRows(picture.file, kWidth, kRows, picture.layout) !=
          graphics::BitmapError::kNone ||
      !printer::OpenPrinter(p.session, kReadTimeout).Ok()) {
    return state.SkipWithError("no pty");
  }
  double totalUs = 0;
  std::size_t allocations = 0;
  for (auto _ : state) {
    const std::size_t before = tAllocations;
    const auto start = Clock::now();
    const graphics::RowsSent sent = graphics::SendRasterRows(p.session, picture);
    totalUs += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    allocations += tAllocations - before;
    if (sent.status != link::Status::kOk || sent.rows != kRows) {
      return state.SkipWithError("a row was not written");
    }
    state.PauseTiming();
    p.printer.ClearLog();  // the printer's log would otherwise grow without end
    state.ResumeTiming();
  }
  ReportPerRow(state, totalUs, allocations);
}
BENCHMARK(BM_PictureRows)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RowFrame(benchmark::State& state) {
  std::vector<std::uint8_t> row(kWidth / 8, 0x5A);
  std::uint8_t frame[6 + 255];
  for (auto _ : state) {
    benchmark::DoNotOptimize(graphics::BuildRasterRowFrame(row, frame));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RowFrame)->Unit(benchmark::kNanosecond);

void BM_PrintPicture(benchmark::State& state) {
  PromptPrinter p;
  const auto path = std::filesystem::temp_directory_path() / "zelka-bench-picture.bmp";
  const std::vector<std::uint8_t> file = testing::MakeBitmap({kWidth, kRows});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!p.ok) return state.SkipWithError("no pty");
  double totalUs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    graphics::Picture picture;
    if (graphics::LoadPicture(path.string(), picture) != graphics::BitmapError::kNone) {
      return state.SkipWithError("the picture was refused");
    }
    const graphics::PictureSent sent = graphics::SendPicture(p.session, picture);
    const printer::Result finished = graphics::FinishPicture(p.session);
    totalUs += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (!sent.result.Ok() || !finished.Ok()) return state.SkipWithError("the print failed");
    state.PauseTiming();
    p.printer.ClearLog();
    state.ResumeTiming();
  }
  ReportPerRow(state, totalUs, 0);
  state.counters.erase("allocs_per_row");
  std::filesystem::remove(path);
}
BENCHMARK(BM_PrintPicture)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ConvertPhoto(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "zelka-bench-photo.jpg";
  const std::vector<std::uint8_t> file = testing::Encode(testing::PhotoLike(4000, 3000), "jpeg", 90);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  graphics::ConversionOptions options;
  if (state.range(0) != 0) options.threshold = graphics::kDefaultThreshold;
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    graphics::Picture picture;
    if (graphics::LoadPicture(path.string(), picture, options) != graphics::BitmapError::kNone ||
        picture.layout.rows != 432 || picture.layout.rowBytes != 72) {
      return state.SkipWithError("the photo was not converted to 576 x 432");
    }
    totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  state.counters["ms_per_photo"] = totalMs / static_cast<double>(state.iterations());
  state.counters["file_mb"] = static_cast<double>(file.size()) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_ConvertPhoto)->ArgName("threshold")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
