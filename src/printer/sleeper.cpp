#include "printer/sleeper.h"

#include <thread>

namespace zelka::printer {

namespace {

class ThreadSleeper final : public Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds duration) override {
    std::this_thread::sleep_for(duration);
  }
};

}  // namespace

Sleeper& RealSleeper() {
  static ThreadSleeper sleeper;
  return sleeper;
}

}  // namespace zelka::printer
