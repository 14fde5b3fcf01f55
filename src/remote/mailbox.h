// How the printer worker's thread hands work to the network thread: a task posted to a
// mailbox runs on the network thread in the context of the mailbox's object, in the order
// posted, and is dropped once the object has gone.
//
// Thread-safety: Post from any thread; Close on the network thread, before its object is
// destroyed.
#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <mutex>

namespace zelka::remote {

class Mailbox {
 public:
  explicit Mailbox(QObject* target) : target_(target) {}

  void Post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (target_) QMetaObject::invokeMethod(target_, std::move(task), Qt::QueuedConnection);
  }
  void Close() {
    std::lock_guard lock(mutex_);
    target_ = nullptr;
  }

 private:
  std::mutex mutex_;
  QObject* target_;
};

}  // namespace zelka::remote
