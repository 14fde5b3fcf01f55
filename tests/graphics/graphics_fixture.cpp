#include "graphics/graphics_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "link/serial_link.h"

namespace zelka::testing {

namespace {
constexpr std::chrono::milliseconds kLogWait{5000};
}  // namespace

void GraphicsFixture::SetUp() {
  FormFixture::SetUp();
  static std::atomic<int> serial{0};
  dir = std::filesystem::temp_directory_path() /
        ("zelka-graphics-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(dir);
}

void GraphicsFixture::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  FormFixture::TearDown();
}

void GraphicsFixture::MakePrinterForm() {
  MakeForm();
  link::CurrentPortName = sim.PortName();
  link::CurrentBaud = sim.State().baud;
}

std::string GraphicsFixture::WriteFile(const std::string& name,
                                       const std::vector<std::uint8_t>& bytes) {
  const std::string path = PathOf(name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << path;
  return path;
}

std::string GraphicsFixture::PathOf(const std::string& name) const { return (dir / name).string(); }

std::vector<sim::LogEntry> GraphicsFixture::CommandsOnceThere(std::size_t count) {
  EXPECT_TRUE(sim.WaitForCommands(count, kLogWait)) << "the printer got fewer than " << count;
  std::vector<sim::LogEntry> commands;
  for (auto& entry : sim.Log()) {
    if (!entry.garbage) commands.push_back(std::move(entry));
  }
  return commands;
}

std::vector<std::uint8_t> WithLe32(std::vector<std::uint8_t> file, std::size_t at,
                                   std::uint32_t value) {
  PutLe32(file, at, value);
  return file;
}

std::vector<std::uint8_t> PaddedTo(std::vector<std::uint8_t> file, std::size_t length) {
  file.resize(length, 0);
  PutLe32(file, 2, static_cast<std::uint32_t>(length));
  return file;
}

}  // namespace zelka::testing
