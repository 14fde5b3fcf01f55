// Waiting. The printer waits for real (after a drawer kick, between bootloader steps);
// tests give the session a sleeper that only records the waits, so that they run in
// milliseconds.
#pragma once

#include <chrono>

namespace zelka::printer {

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

// Waits for real. Thread-safe.
Sleeper& RealSleeper();

// Waits a `divisor`th of every duration, for tests that run a whole program against the
// simulated printer, which needs none of the waits a real one does. Thread-safe.
class ShortenedSleeper final : public Sleeper {
 public:
  explicit ShortenedSleeper(int divisor) : divisor_(divisor > 0 ? divisor : 1) {}
  void SleepFor(std::chrono::milliseconds duration) override {
    RealSleeper().SleepFor(duration / divisor_);
  }

 private:
  int divisor_;
};

}  // namespace zelka::printer
