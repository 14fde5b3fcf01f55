// A simulated printer whose port is the session's printer port, firmware files in a
// scratch folder, and a sleeper that notes whether the port was open during each wait.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class PortWatchingSleeper final : public printer::Sleeper {
 public:
  struct Wait {
    std::chrono::milliseconds duration;
    bool portOpen;
  };
  explicit PortWatchingSleeper(std::function<bool()> portOpen) : portOpen_(std::move(portOpen)) {}
  void SleepFor(std::chrono::milliseconds duration) override;
  std::vector<Wait> Waits() const;
  std::vector<std::chrono::milliseconds> Durations() const;

 private:
  std::function<bool()> portOpen_;
  mutable std::mutex mutex_;
  std::vector<Wait> waits_;
};

// An image of `length` bytes that no fill or sum mistake can pass for; its last byte is
// `board` (the board version it is built for).
Bytes Image(std::size_t length, std::uint8_t board = 3);
// `image` filled with 0xFF to whole blocks: what the bootloader must end up holding.
Bytes Padded(Bytes image);
firmware::FirmwareImage AsImage(Bytes bytes);

class FirmwareFixture : public SimFixture, private link::Observer {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `content` to a file of the scratch folder; returns its path.
  std::string WriteFile(const Bytes& content, const std::string& name = "firmware.bin");
  std::string PathOf(const std::string& name) const { return (folder / name).string(); }

  // Runs `action` as frame number `after` (from 0) of those that start with `prefix` is
  // about to be written.
  void OnFrame(Bytes prefix, int after, std::function<void()> action);
  // The printer drops off the line as that frame goes out: its reply never comes, and
  // the read that waits for it ends at once instead of after its whole time-out.
  void DropLineOn(Bytes prefix, int after = 0);

  // The printer's log without line noise.
  std::vector<sim::LogEntry> CommandLog() const;
  std::size_t CountOf(const std::string& name) const;
  bool PortOpen() const { return session->Link().IsOpen(); }

  PortWatchingSleeper waits{[this] { return PortOpen(); }};
  std::filesystem::path folder;

 private:
  void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) override;
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}

  struct FrameAction {
    Bytes prefix;
    int after = 0;
    int seen = 0;
    std::function<void()> action;
  };
  std::vector<FrameAction> frameActions_;
};

}  // namespace zelka::testing
