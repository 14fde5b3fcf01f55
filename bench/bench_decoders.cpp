// What crafted pictures cost the decoders, as a user meets them: "zelka print picture FILE
// --preview OUT" run as a process of its own per picture, its peak memory (the child's
// ru_maxrss, which counts from this process's own size at the start, some 20 MB) and its
// time. Counters: peak_mb, seconds, exit (0 converted, 7 refused), file_kb.
//   BM_Decode/photo:          a 4000 × 3000 JPEG photograph (the everyday case)
//   BM_Decode/scans20000:     progressive 8000 × 6000 grey of 20,000 scans (refused)
//   BM_Decode/scans100:       the same of 100 scans, the most taken: the slowest picture
//                             that is decoded
//   BM_Decode/components3:    8000 × 6000 progressive, 3 components (refused: 288 MB of
//                             coefficients)
//   BM_Decode/components4:    the same with 4 components (refused: 384 MB)
//   BM_Decode/ztxt50:         16 × 16 PNG with 50 compressed texts of 7.9 MB (decoded
//                             without them)
//   BM_Decode/ztxt1000:       the same with 1,000 of them
//   BM_Decode/comments:       16 × 16 JPEG with 760 comments of 64 kB (a 50 MB file)
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "graphics/crafted_pictures.h"
#include "graphics/picture_maker.h"

extern char** environ;

namespace {

using namespace zelka::testing;

struct Crafted {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
};

const Crafted kPictures[] = {
    {"photo", [] { return Encode(PhotoLike(4000, 3000), "jpeg", 90); }},
    {"scans20000", [] { return ManyScanJpeg(8000, 6000, 1, 20'000); }},
    {"scans100", [] { return ManyScanJpeg(8000, 6000, 1, 100); }},
    {"components3", [] { return ManyScanJpeg(8000, 6000, 3, 4); }},
    {"components4", [] { return ManyScanJpeg(8000, 6000, 4, 5); }},
    {"ztxt50", [] { return PngWithText(Encode(FlatGrey(16, 16, 128), "png"), "zTXt", 50, 7'900'000); }},
    {"ztxt1000", [] { return PngWithText(Encode(FlatGrey(16, 16, 128), "png"), "zTXt", 1000, 7'900'000); }},
    {"comments", [] {
       return JpegWithSegments(Encode(FlatGrey(16, 16, 128), "jpeg"), 0xFE,
                               std::vector<std::uint8_t>(65'533, 'x'), 760);
     }},
};

// A child's peak memory starts from its parent's peak (Linux counts the memory it shared
// before its exec): the peak is set back to what this process holds now, a few MB once
// the picture it made is freed.
void ForgetOwnPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_Decode(benchmark::State& state) {
  const Crafted& picture = kPictures[state.range(0)];
  state.SetLabel(picture.name);
  const auto dir = std::filesystem::temp_directory_path() / "zelka-bench-decoders";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / picture.name).string();
  const std::string out = (dir / "preview.png").string();
  const std::vector<std::uint8_t> bytes = picture.make();
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::string program = ZELKA_BINARY;
  std::vector<std::string> words{program, "print", "picture", file, "--preview", out, "--quiet"};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    ForgetOwnPeak();
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      return state.SkipWithError("zelka could not be started");
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return state.SkipWithError("wait4 failed");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.counters["seconds"] = seconds;
    state.counters["peak_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
    state.counters["exit"] = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  state.counters["file_kb"] = static_cast<double>(bytes.size()) / 1024;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Decode)
    ->DenseRange(0, static_cast<int>(std::size(kPictures)) - 1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
