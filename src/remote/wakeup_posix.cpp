#include "remote/wakeup.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zelka::remote {

struct Wakeup::Impl {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
};

Wakeup::Wakeup() : impl_(std::make_unique<Impl>()) {}

std::unique_ptr<Wakeup> Wakeup::Create(std::function<void()> onWake, std::string& error) {
  std::unique_ptr<Wakeup> wakeup(new Wakeup);
  Impl& impl = *wakeup->impl_;
  if (::pipe2(impl.fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    error = std::string("cannot make the network thread's wake-up pipe: ") + std::strerror(errno);
    return nullptr;
  }
  impl.notifier = std::make_unique<QSocketNotifier>(impl.fds[0], QSocketNotifier::Read);
  QObject::connect(impl.notifier.get(), &QSocketNotifier::activated,
                   [fd = impl.fds[0], onWake = std::move(onWake)] {
                     char drained[256];
                     while (::read(fd, drained, sizeof drained) > 0) {
                     }
                     onWake();
                   });
  return wakeup;
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
