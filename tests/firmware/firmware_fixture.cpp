#include "firmware/firmware_fixture.h"

#include <algorithm>
#include <fstream>
#include <random>

namespace zelka::testing {

void PortWatchingSleeper::SleepFor(std::chrono::milliseconds duration) {
  const bool open = portOpen_();
  std::lock_guard lock(mutex_);
  waits_.push_back({duration, open});
}

std::vector<PortWatchingSleeper::Wait> PortWatchingSleeper::Waits() const {
  std::lock_guard lock(mutex_);
  return waits_;
}

std::vector<std::chrono::milliseconds> PortWatchingSleeper::Durations() const {
  std::vector<std::chrono::milliseconds> durations;
  for (const auto& wait : Waits()) durations.push_back(wait.duration);
  return durations;
}

void FirmwareFixture::SetUp() {
  SimFixture::SetUp();
  // The fixture's session, but waiting through the sleeper that watches the port.
  session = std::make_unique<printer::Session>(waits);
  session->SetLinkObserver(this);
  UsePrinter();
  // Test processes run side by side: each gets a folder of its own.
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(name.begin(), name.end(), '/', '_');
  folder = std::filesystem::temp_directory_path() /
           ("zelka-firmware-" + std::to_string(std::random_device{}()) + "-" + name);
  std::filesystem::create_directories(folder);
}

void FirmwareFixture::TearDown() {
  SimFixture::TearDown();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

Bytes Image(std::size_t length, std::uint8_t board) {
  Bytes image(length);
  for (std::size_t i = 0; i < length; ++i) image[i] = static_cast<std::uint8_t>((i * 7 + i / 256) % 251);
  if (!image.empty()) image.back() = board;
  return image;
}

Bytes Padded(Bytes image) {
  image.resize((image.size() + 255) / 256 * 256, 0xFF);
  return image;
}

firmware::FirmwareImage AsImage(Bytes bytes) { return firmware::FirmwareImage{std::move(bytes)}; }

std::string FirmwareFixture::WriteFile(const Bytes& content, const std::string& name) {
  const auto path = folder / name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  return path.string();
}

void FirmwareFixture::OnFrame(Bytes prefix, int after, std::function<void()> action) {
  frameActions_.push_back({std::move(prefix), after, 0, std::move(action)});
}

void FirmwareFixture::OnSent(const std::string&, int, std::span<const std::uint8_t> bytes) {
  for (FrameAction& frame : frameActions_) {
    if (bytes.size() < frame.prefix.size() ||
        !std::equal(frame.prefix.begin(), frame.prefix.end(), bytes.begin())) {
      continue;
    }
    if (frame.seen++ == frame.after) frame.action();
  }
}

void FirmwareFixture::DropLineOn(Bytes prefix, int after) {
  OnFrame(std::move(prefix), after, [this] { sim.Stop(); });
}

std::vector<sim::LogEntry> FirmwareFixture::CommandLog() const {
  std::vector<sim::LogEntry> commands;
  for (auto& entry : sim.Log()) {
    if (!entry.garbage) commands.push_back(entry);
  }
  return commands;
}

std::size_t FirmwareFixture::CountOf(const std::string& name) const {
  const auto names = sim.CommandNames();
  return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

}  // namespace zelka::testing
