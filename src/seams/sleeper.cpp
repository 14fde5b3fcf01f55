#include "seams/sleeper.h"

#include <atomic>
#include <thread>

namespace zelka::seams {
namespace {

class RealSleeper final : public Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds duration) override {
    std::this_thread::sleep_for(duration);
  }
};

RealSleeper realSleeper;
std::atomic<Sleeper*> currentSleeper{&realSleeper};

}  // namespace

void SleepFor(std::chrono::milliseconds duration) { currentSleeper.load()->SleepFor(duration); }

void SetSleeper(Sleeper* sleeper) { currentSleeper.store(sleeper ? sleeper : &realSleeper); }

}  // namespace zelka::seams
