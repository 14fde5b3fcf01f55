#include "app/end_requests.h"

namespace zelka::app {

namespace {

// How often a held request looks whether the update is over: soon enough after it that
// a session waiting to end is not kept long, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kHeldRequestInterval{200};

}  // namespace

EndRequests::EndRequests(std::function<bool()> busy, std::function<void()> end)
    : busy_(std::move(busy)), end_(std::move(end)), native_(nullptr, nullptr) {
  QObject::connect(&heldRequest_, &QTimer::timeout, [this] {
    if (busy_()) return;
    heldRequest_.stop();
    end_();
  });
  native_ = MakeNative(*this);
}

EndRequests::~EndRequests() = default;

void EndRequests::Requested() {
  if (!busy_()) {
    end_();
    return;
  }
  heldRequest_.start(kHeldRequestInterval);
}

}  // namespace zelka::app
