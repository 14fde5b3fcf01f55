// How long the window's event loop stalls while the printer works: the largest gap
// between the ticks of a 5 ms timer during a search over four silent ports and during a
// 700,000-byte firmware update, on the real window (offscreen platform).
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/tform1.h"
#include "bench/window_stall.h"
#include "form/unattended_dialogs.h"
#include "printer/worker.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

class NoSleeper final : public printer::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds) override {}
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  // Four silent ports.
  std::vector<std::unique_ptr<sim::Simulator>> silent;
  std::vector<std::string> ports;
  for (int i = 0; i < 4; ++i) {
    silent.push_back(std::make_unique<sim::Simulator>());
    silent.back()->Start();
    silent.back()->SetSilent(true);
    ports.push_back(silent.back()->PortName());
  }
  NoSleeper sleeper;
  {
    printer::Worker worker(sleeper);
    form::UnattendedDialogs dialogs;
    form::MainForm::Options options;
    options.portSource = [&] { return ports; };
    app::TForm1 window(dialogs, worker, options);
    const bench::Stall search = bench::MeasureStall(window, "Button7");
    std::printf("search over 4 silent ports: %lld ms, largest event-loop gap %lld ms\n",
                static_cast<long long>(search.totalMs), static_cast<long long>(search.largestGapMs));
    worker.Stop();
  }

  // A 700,000-byte image for the simulator's board (3), through the bootloader.
  sim::Simulator printer(sim::DefaultPrinter());
  printer.Start();
  const auto file = std::filesystem::temp_directory_path() / "zelka-bench-firmware.bin";
  {
    std::vector<char> image(700'000);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 7 + i / 256) % 251);
    image.back() = 3;
    std::ofstream(file, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
  }
  {
    printer::Worker worker(sleeper);
    form::UnattendedDialogs dialogs(file.string());
    form::MainForm::Options options;
    options.portSource = [&] { return std::vector<std::string>{printer.PortName()}; };
    app::TForm1 window(dialogs, worker, options);
    bench::MeasureStall(window, "Button7");  // finds the printer; Button14 needs its port
    const bench::Stall update = bench::MeasureStall(window, "Button14");
    std::printf("firmware update of 700,000 bytes: %lld ms, largest event-loop gap %lld ms (%s)\n",
                static_cast<long long>(update.totalMs), static_cast<long long>(update.largestGapMs),
                dialogs.lastError.empty() ? "success" : dialogs.lastError.c_str());
    worker.Stop();
  }
  std::filesystem::remove(file);
  return 0;
}
