#include "remote/wakeup.h"

#include <QMetaObject>
#include <QObject>

namespace zelka::remote {

// Windows has no pipe that a socket notifier can watch; Qt's own queue carries the wake.
struct Wakeup::Impl {
  QObject receiver;
  std::function<void()> onWake;
};

Wakeup::Wakeup() : impl_(std::make_unique<Impl>()) {}

std::unique_ptr<Wakeup> Wakeup::Create(std::function<void()> onWake, std::string&) {
  std::unique_ptr<Wakeup> wakeup(new Wakeup);
  wakeup->impl_->onWake = std::move(onWake);
  return wakeup;
}

Wakeup::~Wakeup() = default;

void Wakeup::Signal() {
  QMetaObject::invokeMethod(&impl_->receiver, [impl = impl_.get()] { impl->onWake(); },
                            Qt::QueuedConnection);
}

}  // namespace zelka::remote
