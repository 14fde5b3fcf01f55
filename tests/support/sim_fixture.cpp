#include "support/sim_fixture.h"

#include "link/serial_link.h"

namespace zelka::testing {

void RecordingSleeper::SleepFor(std::chrono::milliseconds duration) {
  std::lock_guard lock(mutex_);
  waits_.push_back(duration);
}

std::vector<std::chrono::milliseconds> RecordingSleeper::Waits() const {
  std::lock_guard lock(mutex_);
  return waits_;
}

TxRecorder::TxRecorder() {
  link::SetTxTap([this](std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    writes_.emplace_back(bytes.begin(), bytes.end());
  });
}

TxRecorder::~TxRecorder() { link::SetTxTap({}); }

std::vector<std::vector<std::uint8_t>> TxRecorder::Writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

std::vector<std::size_t> TxRecorder::WriteSizes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::size_t> sizes;
  for (const auto& w : writes_) sizes.push_back(w.size());
  return sizes;
}

void SimFixture::SetUp() {
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  link::ResetLinkState();
  seams::SetSleeper(&sleeper);
}

void SimFixture::TearDown() {
  link::ResetLinkState();
  seams::SetSleeper(nullptr);
  sim.Stop();
  for (auto& s : extra) s->Stop();
}

sim::Simulator& SimFixture::AddPrinter(sim::PrinterState state) {
  extra.push_back(std::make_unique<sim::Simulator>(std::move(state)));
  std::string error;
  EXPECT_TRUE(extra.back()->Start(&error)) << error;
  return *extra.back();
}

}  // namespace zelka::testing
