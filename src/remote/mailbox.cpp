#include "remote/mailbox.h"

namespace zelka::remote {

TaskQueue::TaskQueue() = default;

bool TaskQueue::Open(std::string& error) {
  auto wakeup = Wakeup::Create([this] { Drain(); }, error);
  if (!wakeup) return false;
  std::lock_guard lock(mutex_);
  wakeup_ = std::move(wakeup);
  return true;
}

TaskQueue::~TaskQueue() = default;

void TaskQueue::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  if (!wakeup_) return;
  tasks_.push_back(std::move(task));
  if (tasks_.size() == 1) wakeup_->Signal();
}

void TaskQueue::Close() {
  std::unique_ptr<Wakeup> wakeup;
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    wakeup = std::move(wakeup_);
    dropped.swap(tasks_);
  }
  // Destroyed here, on the network thread, outside the lock: a task's captures may end a
  // connection's last reference.
}

void TaskQueue::Drain() {
  std::deque<std::function<void()>> ready;
  {
    std::lock_guard lock(mutex_);
    ready.swap(tasks_);
  }
  for (auto& task : ready) task();
}

}  // namespace zelka::remote
