#include "remote/connection_hub.h"

#include <QPointer>

#include <functional>

#include <string>
#include <vector>

#include "discovery/identify.h"
#include "remote/connection.h"
#include "remote/records.h"
#include "service/service_actions.h"

namespace zelka::remote {

namespace {

// Runs `report` when the last copy of the job that holds it goes: after the job has run
// and the worker has closed the port, or when the worker dropped the job unrun (it was
// stopping). Either way the client hears that its command is over.
class WhenJobEnds {
 public:
  explicit WhenJobEnds(std::function<void()> report) : report_(std::move(report)) {}
  ~WhenJobEnds() { report_(); }
  WhenJobEnds(const WhenJobEnds&) = delete;
  WhenJobEnds& operator=(const WhenJobEnds&) = delete;

 private:
  std::function<void()> report_;
};

}  // namespace

// A one-shot command on its way through the worker's queue. A client that leaves after
// its command was queued still has it run, within a budget: beyond kMaxOrphans such
// commands waiting at once, a leaving client's command is dropped, so that a flood of
// clients that queue a command each and vanish cannot queue hours of printer work.
struct ConnectionHub::OneShot {
  enum State : int { kQueued, kQueuedOrphan, kStarted, kDropped };
  std::atomic<int> state{kQueued};
};

// One search and the clients waiting for its records. Only `waiting` is shared with the
// job; the rest belongs to the network thread.
//
// The job gives a search up for good when it finds nobody waiting, and nobody may join it
// after that: a client that joined a search as it was given up would get some records
// and never the rest. Joining and giving up are one atomic step each on `waiting`, so a
// newcomer either joins in time (and the job goes on for it) or starts a search of its own.
struct ConnectionHub::Search {
  static constexpr int kGivenUp = -1;
  std::vector<QPointer<Connection>> clients;
  std::vector<std::string> records;  // written so far, for clients that join late
  std::atomic<int> waiting{0};       // clients that have not gone, or kGivenUp
  bool finished = false;             // every record is out, or the job has ended

  // Network thread: counts one more client in; false once the job has given up.
  bool Join() {
    int now = waiting.load();
    while (now != kGivenUp) {
      if (waiting.compare_exchange_weak(now, now + 1)) return true;
    }
    return false;
  }
  // Network thread: a client counted in has gone.
  void Leave() {
    int now = waiting.load();
    while (now > 0 && !waiting.compare_exchange_weak(now, now - 1)) {
    }
  }
  // Worker: whether anybody still waits; the first time nobody does, the search is given
  // up for good.
  bool Wanted() {
    int none = 0;
    if (waiting.compare_exchange_strong(none, kGivenUp)) return false;
    return none != kGivenUp;
  }
};

ConnectionHub::ConnectionHub(const Host& host, Limits limits)
    : host_(host), limits_(std::move(limits)) {}

ConnectionHub::~ConnectionHub() { CloseAll(); }

std::string ConnectionHub::Open() {
  // Made now, not with the first client: made then, under a shortage of descriptors, its
  // failure would leave that client and every later one without their records.
  auto queue = std::make_shared<TaskQueue>();
  std::string error;
  if (!queue->Open(error)) return error;
  queue_ = std::move(queue);
  box_ = std::make_shared<Mailbox>(queue_);
  return {};
}

void ConnectionHub::Accept(SocketDescriptor descriptor) {
  if (static_cast<int>(connections_.size()) >= limits_.maxClients) DropDeparted();
  const bool full = static_cast<int>(connections_.size()) >= limits_.maxClients;
  if (!queue_ || full || !limits_.allow.Allows(PeerAddress(descriptor)) || !PrepareSocket(descriptor)) {
    CloseSocket(descriptor);
    return;
  }
  auto connection = std::make_unique<Connection>(descriptor, *this);
  Connection* client = connection.get();
  connections_.emplace(client, std::move(connection));
  ++live_;
  client->Start();
}

void ConnectionHub::DropDeparted() {
  // Under a burst the places are taken by clients that have already vanished and whose
  // reset has not been read yet; a newcomer must not be turned away for them.
  std::vector<Connection*> clients;
  for (const auto& [client, owned] : connections_) clients.push_back(client);
  for (Connection* client : clients) client->DropIfDeparted();
}

void ConnectionHub::CloseAll() {
  oneShots_.clear();
  if (box_) box_->Close();
  if (queue_) queue_->Close();
  search_.reset();
  // Destroying a connection closes its socket and its mailbox: jobs still queued for it
  // run (a one-shot command) or are dropped (a search nobody waits for), and report to
  // nobody.
  auto connections = std::move(connections_);
  connections.clear();
  live_ = 0;
}

void ConnectionHub::Ended(Connection& client) {
  auto it = connections_.find(&client);
  if (it == connections_.end()) return;
  if (auto pending = oneShots_.find(&client); pending != oneShots_.end()) {
    OneShot& command = *pending->second;
    int queued = OneShot::kQueued;
    if (*orphans_ < kMaxOrphans) {
      if (command.state.compare_exchange_strong(queued, OneShot::kQueuedOrphan)) ++*orphans_;
    } else {
      command.state.compare_exchange_strong(queued, OneShot::kDropped);
    }
    oneShots_.erase(pending);
  }
  if (search_) {
    for (const auto& waiting : search_->clients) {
      if (waiting == &client) search_->Leave();
    }
  }
  --live_;
  // Not now: the connection's own code is still on the stack.
  it->second.release()->deleteLater();
  connections_.erase(it);
}

bool ConnectionHub::Run(Connection& client, const Command& command) {
  switch (command.action) {
    case Action::SearchAndIdentify: StartSearch(client); return true;
    case Action::KickDrawer:
    case Action::FeedOneLine:
    case Action::PrintStoredLogo: RunOneShot(client, command.action); return true;
    case Action::SetCaption:
      if (host_.onSerialTitle) host_.onSerialTitle(std::string(command.caption));
      return false;
  }
  return false;
}

void ConnectionHub::RunOneShot(Connection& client, Action action) {
  const std::shared_ptr<Mailbox> box = client.Box();
  Connection* target = &client;
  auto command = std::make_shared<OneShot>();
  oneShots_[target] = command;
  // A failed action is never reported to the client.
  auto done = std::make_shared<WhenJobEnds>([this, box, target, command] {
    box->Post([this, target, command] {
      if (auto it = oneShots_.find(target); it != oneShots_.end() && it->second == command) {
        oneShots_.erase(it);
      }
      target->CommandDone();
    });
  });
  host_.worker->Submit([action, done, command, orphans = orphans_](printer::Session& session) {
    switch (command->state.exchange(OneShot::kStarted)) {
      case OneShot::kDropped: return;
      case OneShot::kQueuedOrphan: --*orphans; break;
      default: break;
    }
    switch (action) {
      case Action::KickDrawer: service::KickDrawer(session); break;
      case Action::FeedOneLine: service::FeedOneLine(session); break;
      case Action::PrintStoredLogo: service::PrintStoredLogo(session); break;
      default: break;
    }
  });
}

void ConnectionHub::StartSearch(Connection& client) {
  if (search_ && !search_->finished && search_->Join()) {
    search_->clients.emplace_back(&client);
    for (const std::string& record : search_->records) client.WriteLine(record);
    return;
  }
  auto search = std::make_shared<Search>();
  search->clients.emplace_back(&client);
  search->waiting = 1;
  search_ = search;

  const Host host = host_;
  const std::shared_ptr<Mailbox> box = box_;
  auto done = std::make_shared<WhenJobEnds>([box, search] {
    box->Post([search] {
      search->finished = true;
      for (const auto& waiting : search->clients) {
        if (waiting) waiting->CommandDone();
      }
    });
  });
  host_.worker->Submit([host, box, search, done](printer::Session& session) {
    // Everybody who asked has gone while it waited: nobody would read the records.
    if (search->Wanted()) {
      const discovery::SearchResult found = discovery::SearchPrinter(session, host.ports);
      if (host.onSearched) host.onSearched(found);
      if (found.printer) {
        discovery::IdentifyPrinter(session, [&](discovery::Step step, const discovery::Identity& id) {
          if (host.onStep) host.onStep(step, id);
          if (auto record = IdentityRecord(step, id)) {
            const bool last = step == discovery::Step::kBuildDate;
            box->Post([search, record = std::move(*record), last] {
              search->records.push_back(record);
              for (const auto& waiting : search->clients) {
                if (waiting) waiting->WriteLine(record);
              }
              // Every record is out: one who asks from now on would get a copy of what was
              // read before it asked, so it gets a search of its own.
              if (last) search->finished = true;
            });
          }
          return search->Wanted() ? discovery::Next::kGoOn : discovery::Next::kAbandon;
        });
      }
    }
  });
}

}  // namespace zelka::remote
