// The printer worker: one thread that owns the printer session and runs every printer
// job, from any front end, one after another in the order they arrive. Frames of two
// jobs never interleave, and no job waits for a front end's thread.
//
// After every job the worker closes whatever port the job left open, so a job that fails
// half-way never hands an open port (possibly at a bootloader rate) to the next one, and
// lets other programs have the ports the job locked (Session::EndJob).
//
// Thread-safety: Submit, Pending and WaitIdle may be called from any thread; Stop and
// the destructor from the owner's thread. Jobs run on the worker's thread and may touch
// the session; nothing else may.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "printer/session.h"

namespace zelka::printer {

class Worker {
 public:
  using Job = std::function<void(Session&)>;

  explicit Worker(Sleeper& sleeper = RealSleeper());
  // Stop().
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Queues `job` behind every job already queued. Ignored once Stop has begun.
  void Submit(Job job);
  // Jobs queued or running.
  std::size_t Pending() const;
  // Returns once no job is queued or running.
  void WaitIdle() const;
  // Drops the queued jobs, tells the running one to give up (Session::Cancelled), waits
  // for it to end and ends the thread. Final.
  void Stop();

  // Set-up before the first job: the links report every frame to `observer`.
  void SetLinkObserver(link::Observer* observer);

 private:
  void Run();

  Session session_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<Job> queue_;
  bool running_ = false;  // a job is running
  bool stopping_ = false;
  std::atomic<bool> cancel_{false};
  std::thread thread_;
};

}  // namespace zelka::printer
