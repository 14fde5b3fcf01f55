#include "graphics/graphics_fixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>
#include <thread>

namespace zelka::testing {

namespace {
constexpr std::chrono::milliseconds kLogWait{5000};
}  // namespace

void GraphicsFixture::SetUp() {
  SimFixture::SetUp();
  static std::atomic<int> serial{0};
  dir = std::filesystem::temp_directory_path() /
        ("zelka-graphics-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(dir);
  UsePrinter();
  session->SetLinkObserver(&tx);
}

void GraphicsFixture::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  SimFixture::TearDown();
}

void GraphicsFixture::UseAbsentPrinter() { session->SetPort((dir / "no-such-port").string()); }

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

bool ReturnsWithin(std::chrono::milliseconds limit, const std::string& fifo,
                   const std::function<void()>& load) {
  std::packaged_task<void()> task(load);
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  const bool returned = done.wait_for(limit) == std::future_status::ready;
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    // A reader blocked in open() or read() of the pipe: a writer that opens and closes it
    // lets the open return and the read end.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
  }
  runner.join();
  return returned;
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

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t length) {
  file.resize(length);
  return file;
}

}  // namespace zelka::testing
