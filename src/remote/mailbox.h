// How the printer worker's thread hands work to the network thread.
//
// The network thread has one task queue; a connection (or the hub) has a mailbox on it.
// A task posted to a mailbox runs on the network thread, in the order posted, and is
// dropped once the mailbox is closed (its connection has gone).
//
// Thread-safety: TaskQueue::Post and Mailbox::Post from any thread; everything else on
// the network thread.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "remote/wakeup.h"

namespace zelka::remote {

class TaskQueue {
 public:
  // On the network thread. Tasks posted before Open are dropped.
  TaskQueue();
  ~TaskQueue();
  // Makes the means to wake the network thread; false (and `error` set) when the system
  // cannot give them.
  bool Open(std::string& error);
  TaskQueue(const TaskQueue&) = delete;
  TaskQueue& operator=(const TaskQueue&) = delete;

  void Post(std::function<void()> task);
  // Drops what is queued and whatever is posted later; on the network thread, before it
  // ends.
  void Close();

 private:
  void Drain();

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  std::unique_ptr<Wakeup> wakeup_;  // nullptr before Open and once closed
};

class Mailbox : public std::enable_shared_from_this<Mailbox> {
 public:
  explicit Mailbox(std::shared_ptr<TaskQueue> queue) : queue_(std::move(queue)) {}

  void Post(std::function<void()> task) {
    queue_->Post([self = shared_from_this(), task = std::move(task)] {
      if (!self->closed_) task();
    });
  }
  // On the network thread, where the tasks run.
  void Close() { closed_ = true; }

 private:
  std::shared_ptr<TaskQueue> queue_;
  bool closed_ = false;
};

}  // namespace zelka::remote
