// The graphics operations over a simulated printer: bitmap files in a temporary directory
// of the test's own, and a session whose printer is the simulated one.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "graphics/bitmap_maker.h"
#include "sim/command_parser.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class GraphicsFixture : public SimFixture {
 protected:
  // The session's printer is `sim`, at its rate; `tx` records every write.
  void SetUp() override;
  void TearDown() override;

  // Writes `bytes` to a file of that name in the test's directory; returns its path.
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  std::string PathOf(const std::string& name) const;
  // The printer's log once it holds `count` commands (garbage left out).
  std::vector<sim::LogEntry> CommandsOnceThere(std::size_t count);
  // The session's printer is a device that does not exist.
  void UseAbsentPrinter();
  bool PortIsOpen() { return session->Link().IsOpen(); }

  std::filesystem::path dir;
  TxRecorder tx;
};

// Calls `onWrite(n, bytes)` before the n-th write (counted from 1) of a link goes out.
class WriteHook final : public link::Observer {
 public:
  explicit WriteHook(std::function<void(std::size_t, std::span<const std::uint8_t>)> onWrite)
      : onWrite_(std::move(onWrite)) {}
  void OnSent(const std::string&, int, std::span<const std::uint8_t> bytes) override {
    onWrite_(++writes_, bytes);
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::size_t Writes() const { return writes_; }

 private:
  std::function<void(std::size_t, std::span<const std::uint8_t>)> onWrite_;
  std::size_t writes_ = 0;
};

// Runs `load` on a thread of its own and says whether it returned within `limit`. A load
// that blocks on the pipe at `fifo` is then set free (a writer comes and goes), so that a
// failing test ends instead of hanging.
bool ReturnsWithin(std::chrono::milliseconds limit, const std::string& fifo,
                   const std::function<void()>& load);

// A copy of `file` with the 32-bit field at `at` set to `value`.
std::vector<std::uint8_t> WithLe32(std::vector<std::uint8_t> file, std::size_t at,
                                   std::uint32_t value);
// A copy of `file` padded with zeros to `length` bytes; the size field follows.
std::vector<std::uint8_t> PaddedTo(std::vector<std::uint8_t> file, std::size_t length);
// A copy of `file` cut to `length` bytes (the size field is left as it was).
std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t length);

}  // namespace zelka::testing
