// A simulated printer on a pty, a fresh link and a sleeper that only records: the
// starting point of every test that talks to a printer.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "seams/sleeper.h"
#include "sim/simulator.h"

namespace zelka::testing {

// Records every wait instead of waiting.
class RecordingSleeper final : public seams::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds duration) override;
  std::vector<std::chrono::milliseconds> Waits() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::chrono::milliseconds> waits_;
};

// Records the bytes of every SendTx (write boundaries that the line does not keep).
class TxRecorder {
 public:
  TxRecorder();
  ~TxRecorder();
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
  std::vector<std::unique_ptr<sim::Simulator>> extra;
};

using Bytes = std::vector<std::uint8_t>;

}  // namespace zelka::testing
