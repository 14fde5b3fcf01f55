#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "link/port_probe.h"

namespace zelka::link {

namespace {

// A probe writes a three-byte query and reads one byte back.
constexpr std::size_t kProbeBufferBytes = 16;

// The threads the probes run on, each with a small link of its own, kept for the life of
// the program: the blocking reads of Windows ports wait side by side on them. A search
// asks for a thread and a link per port at each of its rates, and making them anew costs
// milliseconds each under Wine (every DLL is told of a new thread, and a link made for
// any frame has buffers of megabytes), enough to make a search over four ports 10 %
// longer than its waits.
class ProbeThreads {
 public:
  using Job = std::function<void(SerialLink&)>;

  static ProbeThreads& Shared() {
    static ProbeThreads threads;
    return threads;
  }

  ~ProbeThreads() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  // Runs every job at once, each on a thread of its own; returns when all have ended.
  void RunAll(std::vector<Job> jobs) {
    Batch batch{jobs.size(), {}};
    std::unique_lock lock(mutex_);
    for (Job& job : jobs) queue_.push_back({std::move(job), &batch});
    // Enough idle threads for every waiting job: none may wait behind another's read.
    while (idle_ < queue_.size()) {
      threads_.emplace_back([this] { Work(); });
      ++idle_;
    }
    wake_.notify_all();
    batch.done.wait(lock, [&batch] { return batch.left == 0; });
  }

 private:
  struct Batch {
    std::size_t left;
    std::condition_variable done;
  };
  struct Queued {
    Job job;
    Batch* batch;
  };

  void Work() {
    SerialLink link(kProbeBufferBytes);
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      Queued next = std::move(queue_.front());
      queue_.pop_front();
      --idle_;
      lock.unlock();
      next.job(link);
      lock.lock();
      ++idle_;
      // Told under the lock: the batch lives on its waiter's stack.
      if (--next.batch->left == 0) next.batch->done.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Queued> queue_;
  std::vector<std::thread> threads_;
  std::size_t idle_ = 0;  // threads waiting for a job
  bool stopping_ = false;
};

void ProbeOne(SerialLink& link, const std::string& port, int baud, std::span<const std::uint8_t> frame,
              std::chrono::milliseconds readTimeout, Observer* observer, ProbeOutcome& outcome) {
  link.SetObserver(observer);
  // The search holds the port's lock from before its probe.
  link.UseCallersLock(port);
  outcome.opened = link.Open(port, baud, readTimeout);
  outcome.failure = link.LastOpenFailure();
  outcome.error = link.LastOpenError();
  outcome.answered = link.Send(frame) == Status::kOk && link.Receive(1) == Status::kOk;
  link.Close();
  link.SetObserver(nullptr);
}

}  // namespace

std::vector<ProbeOutcome> ProbePorts(const std::vector<std::string>& ports, int baud,
                                     std::span<const std::uint8_t> frame,
                                     std::chrono::milliseconds readTimeout, Observer* observer) {
  std::vector<ProbeOutcome> outcomes(ports.size());
  std::vector<ProbeThreads::Job> jobs;
  jobs.reserve(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    jobs.emplace_back([&, i](SerialLink& link) {
      ProbeOne(link, ports[i], baud, frame, readTimeout, observer, outcomes[i]);
    });
  }
  ProbeThreads::Shared().RunAll(std::move(jobs));
  return outcomes;
}

}  // namespace zelka::link
