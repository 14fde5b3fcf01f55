// Waiting. The program waits for real (after a drawer kick, between bootloader steps);
// tests swap in a sleeper that only records the waits, so that they run in milliseconds.
//
// Thread-safety: SleepFor may be called from any thread. SetSleeper is for set-up, while
// no operation runs.
#pragma once

#include <chrono>

namespace zelka::seams {

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

// Waits through the current sleeper (the real one unless a test set another).
void SleepFor(std::chrono::milliseconds duration);
// nullptr restores the real sleeper.
void SetSleeper(Sleeper* sleeper);

}  // namespace zelka::seams
