#include "remote/wakeup.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace zelka::remote {

struct Wakeup::Impl {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
};

Wakeup::Wakeup(std::function<void()> onWake) : impl_(std::make_unique<Impl>()) {
  if (::pipe2(impl_->fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fds[0], QSocketNotifier::Read);
  QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated,
                   [fd = impl_->fds[0], onWake = std::move(onWake)] {
                     char drained[256];
                     while (::read(fd, drained, sizeof drained) > 0) {
                     }
                     onWake();
                   });
}

Wakeup::~Wakeup() {
  impl_->notifier.reset();
  for (int fd : impl_->fds) {
    if (fd >= 0) ::close(fd);
  }
}

void Wakeup::Signal() {
  // A full pipe already holds a wake-up that has not been read: nothing is lost.
  if (impl_->fds[1] >= 0) [[maybe_unused]] auto written = ::write(impl_->fds[1], "w", 1);
}

}  // namespace zelka::remote
