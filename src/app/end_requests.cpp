#include "app/end_requests.h"

namespace zelka::app {

namespace {

// How often a held request looks whether the update is over: soon enough after it that
// a session waiting to end is not kept long, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kHeldRequestInterval{200};

}  // namespace

void EndRequests::WatchHeldRequest() {
  QObject::connect(&heldRequest_, &QTimer::timeout, [this] {
    if (busy_()) return;
    heldRequest_.stop();
    end_();
  });
}

void EndRequests::Requested() {
  if (!busy_()) {
    end_();
    return;
  }
  heldRequest_.start(kHeldRequestInterval);
}

}  // namespace zelka::app
