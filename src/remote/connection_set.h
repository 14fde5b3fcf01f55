// The connections being served: one thread each, started as clients are accepted and
// ended all together when the service stops.
//
// Thread-safety: Launch and JoinFinished run on the listening thread, Live on any
// thread, StopAll on the server's owner once nothing launches any more.
#pragma once

#include "remote/host.h"

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zelka::remote {

class ConnectionSet {
 public:
  explicit ConnectionSet(const Host& host);
  ~ConnectionSet();
  ConnectionSet(const ConnectionSet&) = delete;
  ConnectionSet& operator=(const ConnectionSet&) = delete;

  // Serves the accepted socket `descriptor` on a thread of its own.
  void Launch(qintptr descriptor);
  // Joins the threads of connections that have ended, so that clients that came and went
  // leave nothing behind while no new one comes.
  void JoinFinished();
  // Tells every connection to end and joins each thread: an idle one ends within
  // kStopPollPeriod, a busy one after its current printer query. Final.
  void StopAll();
  // Connections whose thread has not ended yet.
  int Live() const { return live_; }

 private:
  struct Connection {
    std::thread thread;
    std::atomic<bool> done{false};  // the thread is about to end: joining it is quick
  };
  void JoinFinishedLocked();

  const Host& host_;
  std::atomic<bool> stop_{false};
  std::atomic<int> live_{0};
  std::mutex mutex_;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace zelka::remote
