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

}  // namespace zelka::printer
