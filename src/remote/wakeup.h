// Wakes the network thread's event loop from another thread.
//
// On POSIX systems a pipe does it: the other thread writes a byte, a socket notifier on the
// network thread reads it. Nothing of the waker's crosses into Qt's event queue, so every
// hand-over between the threads goes through the task queue's own mutex.
//
// Thread-safety: made and destroyed on the network thread; Signal from any thread while it
// exists (the task queue's mutex sees to that).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace zelka::remote {

class Wakeup {
 public:
  // Nothing, and `error` set, when the system cannot give the means (out of descriptors).
  static std::unique_ptr<Wakeup> Create(std::function<void()> onWake, std::string& error);
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  void Signal();

 private:
  Wakeup();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelka::remote
