// A simulated printer on a pty, a fresh printer session and a sleeper that only records:
// the starting point of every test that talks to a printer.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "printer/session.h"
#include "printer/sleeper.h"
#include "sim/simulator.h"

namespace zelka::testing {

// Records every wait instead of waiting.
class RecordingSleeper final : public printer::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds duration) override;
  std::vector<std::chrono::milliseconds> Waits() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::chrono::milliseconds> waits_;
};

// Records the bytes of every write of a link (write boundaries that the line does not
// keep). Attach it with Session::SetLinkObserver or SerialLink::SetObserver.
class TxRecorder final : public link::Observer {
 public:
  void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) override;
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::vector<std::vector<std::uint8_t>> Writes() const;
  std::vector<std::size_t> WriteSizes() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::vector<std::uint8_t>> writes_;
};

class SimFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts another simulated printer (beside `sim`) and returns it.
  sim::Simulator& AddPrinter(sim::PrinterState state);

  sim::Simulator sim;
  RecordingSleeper sleeper;
  // The session of the operations under test, with the printer's port unknown ("0").
  std::unique_ptr<printer::Session> session;
  // Sets the session's printer to `s` (the fixture's printer by default) at its rate.
  void UsePrinter(const sim::Simulator* s = nullptr);
  std::vector<std::unique_ptr<sim::Simulator>> extra;
};

using Bytes = std::vector<std::uint8_t>;

}  // namespace zelka::testing
