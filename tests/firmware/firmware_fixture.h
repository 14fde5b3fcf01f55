// A simulated printer whose port is the printer's port, firmware files in a scratch
// folder, and a sleeper that notes whether the port was open during each wait.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "support/form_fixture.h"

namespace zelka::testing {

class PortWatchingSleeper final : public seams::Sleeper {
 public:
  struct Wait {
    std::chrono::milliseconds duration;
    bool portOpen;
  };
  void SleepFor(std::chrono::milliseconds duration) override;
  std::vector<Wait> Waits() const;
  std::vector<std::chrono::milliseconds> Durations() const;

 private:
  mutable std::mutex mutex_;
  std::vector<Wait> waits_;
};

// An image of `length` bytes that no fill or sum mistake can pass for; its last byte is
// `board` (the board version it is built for).
Bytes Image(std::size_t length, std::uint8_t board = 3);
// `image` filled with 0xFF to whole blocks: what the bootloader must end up holding.
Bytes Padded(Bytes image);

class FirmwareFixture : public FormFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `content` to a file of the scratch folder; returns its path.
  std::string WriteFile(const Bytes& content, const std::string& name = "firmware.bin");

  // Runs `action` as frame number `after` (from 0) of those that start with `prefix` is
  // about to be written.
  void OnFrame(Bytes prefix, int after, std::function<void()> action);
  // The printer drops off the line as that frame goes out: its reply never comes, and
  // the read that waits for it ends at once instead of after its whole time-out.
  void DropLineOn(Bytes prefix, int after = 0);

  // The printer's log without line noise.
  std::vector<sim::LogEntry> CommandLog() const;
  std::size_t CountOf(const std::string& name) const;

  PortWatchingSleeper waits;
  std::filesystem::path folder;
};

}  // namespace zelka::testing
