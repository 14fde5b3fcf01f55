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

void TxRecorder::OnSent(const std::string&, int, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  writes_.emplace_back(bytes.begin(), bytes.end());
}

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
  session = std::make_unique<printer::Session>(sleeper);
}

void SimFixture::UsePrinter(const sim::Simulator* s) {
  const sim::Simulator& printer = s ? *s : sim;
  session->SetPort(printer.PortName());
  session->SetBaud(printer.State().baud);
}

void SimFixture::TearDown() {
  session.reset();
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
