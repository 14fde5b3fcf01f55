// The clients of the remote service and the printer jobs they ask for.
//
// - At most `maxClients` connections at a time; one beyond them, or one from an address
//   the filter does not allow, is closed at once with nothing written.
// - Each connection has at most one command queued on the printer worker, behind the
//   jobs already queued (the window's too): nobody waits for more than what was there
//   before them.
// - A search that is queued or running is joined by every other client that asks for
//   one: each gets the ten records, written as each query finishes (a client that joins
//   late first gets those already read). A search whose clients have all gone is dropped
//   before it starts and abandoned after its current query; one who asks after that gets
//   a search of its own, never the rest of an abandoned one. A one-shot command runs
//   whatever happens to its client, within a budget of kMaxOrphans commands of clients
//   that have left.
//
// Thread-safety: everything runs on the network thread except Live(), and the jobs,
// which run on the worker's thread and reach back through mailboxes.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "remote/address_filter.h"
#include "remote/host.h"
#include "remote/line_protocol.h"
#include "remote/mailbox.h"
#include "remote/socket_io.h"

namespace zelka::remote {

class Connection;

inline constexpr int kDefaultMaxClients = 64;
// One-shot commands of clients that have left, waiting at once, beyond which another
// leaving client's command is dropped.
inline constexpr int kMaxOrphans = 8;

class ConnectionHub {
 public:
  struct Limits {
    int maxClients = kDefaultMaxClients;
    AddressFilter allow;  // everyone when empty
  };

  ConnectionHub(const Host& host, Limits limits);
  ~ConnectionHub();
  ConnectionHub(const ConnectionHub&) = delete;
  ConnectionHub& operator=(const ConnectionHub&) = delete;

  // On the network thread before it listens: makes the task queue the jobs report
  // through. The error for the user when the system cannot give it; "" when it could.
  std::string Open();
  // An accepted socket, which the hub now owns.
  void Accept(SocketDescriptor descriptor);
  // Ends every connection; the network thread calls it before it ends.
  void CloseAll();
  // Connections open now (any thread).
  int Live() const { return live_; }

  // For connections: runs `command` for `client`; true when a job was queued (the
  // client then hears CommandDone when it is done).
  bool Run(Connection& client, const Command& command);
  // `client` has ended (closed or gone): it is deleted once control is back in the loop.
  void Ended(Connection& client);
  // The network thread's task queue, which the jobs report through.
  const std::shared_ptr<TaskQueue>& Queue() const { return queue_; }

 private:
  struct Search;
  struct OneShot;
  void StartSearch(Connection& client);
  void DropDeparted();
  void RunOneShot(Connection& client, Action action);

  const Host& host_;
  Limits limits_;
  // Made on the network thread by Open, before any client; the jobs report through it.
  std::shared_ptr<TaskQueue> queue_;
  std::shared_ptr<Mailbox> box_;
  std::map<Connection*, std::unique_ptr<Connection>> connections_;
  std::shared_ptr<Search> search_;  // the search queued or running, if any
  // The one-shot command each client has queued, until it is done.
  std::map<Connection*, std::shared_ptr<OneShot>> oneShots_;
  // Commands of clients that have left, queued now; the worker's jobs count down.
  std::shared_ptr<std::atomic<int>> orphans_ = std::make_shared<std::atomic<int>>(0);
  std::atomic<int> live_{0};
};

}  // namespace zelka::remote
