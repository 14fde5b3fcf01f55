// The network thread: it owns the service's listening sockets and runs the event loop
// that accepts and serves every client, so that the service never depends on the
// window's thread.
//
// Thread-safety: Start and Stop belong to the server's owner; everything else happens on
// the thread itself, which shares nothing with the owner but a stop flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "remote/tcp_listener.h"

namespace zelka::remote {

struct ListenResult {
  bool listening = false;
  std::uint16_t port = 0;  // the port bound, also when 0 (any free port) was asked for
  std::string error;       // why not, for the user
};

class ListenerThread {
 public:
  using Prepare = std::function<std::string()>;
  using Finish = std::function<void()>;
  // `addresses`: IPv4 or IPv6 literals; none = every local address of both families.
  // Several addresses share one port: with port 0, the one the first got. `prepare` runs
  // on this thread before it listens and returns why it could not ("" when it could);
  // `finish` runs on this thread as it ends (also when it never listened), to end what
  // `prepare` and `handoff` started there.
  ListenerThread(std::vector<std::string> addresses, std::uint16_t port, Prepare prepare,
                 TcpListener::Handoff handoff, Finish finish);
  ~ListenerThread();
  ListenerThread(const ListenerThread&) = delete;
  ListenerThread& operator=(const ListenerThread&) = delete;

  // Starts the thread and returns once every address listens or one of them has failed
  // (then nothing listens and the thread has ended).
  ListenResult Start();
  // Closes the listening sockets and ends the thread; clients accepted before stay.
  void Stop();

 private:
  void Run(std::promise<ListenResult>& started);
  ListenResult ListenOnAll(std::vector<std::unique_ptr<TcpListener>>& listeners);

  std::vector<std::string> addresses_;
  std::uint16_t port_;
  Prepare prepare_;
  TcpListener::Handoff handoff_;
  Finish finish_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace zelka::remote
