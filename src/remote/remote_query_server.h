// The remote query service: it listens on TCP port 4444
// (or as configured), greets every client and serves all of them from one network thread.
//
// Thread-safety: Start, Stop and the accessors belong to the thread that owns the server;
// LiveConnections may be read from any thread. Clients reach the printer only through
// jobs of the printer worker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "remote/address_filter.h"
#include "remote/connection_hub.h"
#include "remote/host.h"
#include "remote/line_protocol.h"

namespace zelka::remote {

class ListenerThread;

class RemoteQueryServer {
 public:
  struct Options {
    std::uint16_t port = kDefaultTcpPort;  // 0 = any free port
    // IPv4 or IPv6 literals; none = every local address of both families.
    std::vector<std::string> addresses;
    // Connections served at once; one beyond them is closed at once, unserved.
    int maxClients = kDefaultMaxClients;
    // Who may connect; everyone when empty.
    AddressFilter allow;
  };

  RemoteQueryServer(const Host& host, Options options);
  ~RemoteQueryServer();
  RemoteQueryServer(const RemoteQueryServer&) = delete;
  RemoteQueryServer& operator=(const RemoteQueryServer&) = delete;

  // Starts listening on the first call and says whether it does. Every later call
  // (the window asks again before each search) changes nothing and gives the same answer.
  bool Start();
  bool Started() const { return started_; }
  bool Listening() const { return listener_ != nullptr; }
  // The port bound (the one picked when 0 was asked for); 0 while not listening.
  std::uint16_t Port() const { return port_; }
  // Why Start failed, for the user.
  const std::string& Error() const { return error_; }

  // Stops accepting and ends every connection. Final.
  void Stop();
  int LiveConnections() const { return hub_.Live(); }

 private:
  Options options_;
  Host host_;  // before the hub, which uses it
  ConnectionHub hub_;
  std::unique_ptr<ListenerThread> listener_;
  bool started_ = false;
  std::uint16_t port_ = 0;
  std::string error_;
};

}  // namespace zelka::remote
