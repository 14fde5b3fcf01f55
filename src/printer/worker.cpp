#include "printer/worker.h"

#include <QEventLoop>

namespace zelka::printer {

Worker::Worker(Sleeper& sleeper) : session_(sleeper) {
  session_.SetCancelFlag(&cancel_);
  thread_ = std::thread([this] { Run(); });
}

Worker::~Worker() { Stop(); }

void Worker::Submit(Job job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    queue_.push_back(std::move(job));
  }
  changed_.notify_all();
}

std::size_t Worker::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size() + (running_ ? 1 : 0);
}

void Worker::WaitIdle() const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !running_; });
}

void Worker::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  cancel_ = true;
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Worker::SetLinkObserver(link::Observer* observer) {
  // The session is the worker thread's; a job applies it there, in order.
  Submit([observer](Session& session) { session.SetLinkObserver(observer); });
  WaitIdle();
}

void Worker::Run() {
  // Serial ports register notifiers with their thread's event dispatcher even when used
  // blocking; making a loop gives this thread one. It never runs.
  const QEventLoop dispatcherHolder;
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) break;
      job = std::move(queue_.front());
      queue_.pop_front();
      running_ = true;
    }
    job(session_);
    session_.EndJob();
    {
      std::lock_guard lock(mutex_);
      running_ = false;
    }
    changed_.notify_all();
  }
  session_.EndJob();
  std::lock_guard lock(mutex_);
  running_ = false;
  changed_.notify_all();
}

}  // namespace zelka::printer
