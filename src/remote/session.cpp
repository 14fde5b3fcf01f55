#include "remote/session.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>

#include "discovery/identify.h"
#include "discovery/identity_words.h"
#include "remote/records.h"
#include "service/service_actions.h"

namespace zelka::remote {

namespace {

// Records travel from the worker's thread, where the identification runs, to the
// connection's thread, which owns the socket; a failed write travels back as `gone`, so
// that the identification ends after its current query.
struct RecordChannel {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> records;
  bool done = false;
  bool gone = false;

  void Push(std::string record) {
    {
      std::lock_guard lock(mutex);
      records.push_back(std::move(record));
    }
    changed.notify_all();
  }
  bool Gone() {
    std::lock_guard lock(mutex);
    return gone;
  }
  void Finish() {
    {
      std::lock_guard lock(mutex);
      done = true;
    }
    changed.notify_all();
  }
};

// Finishes its channel when the job holding it goes: after the job has run, and also when
// the worker drops it unrun (it is stopping, or has stopped and refuses new jobs), which
// would otherwise leave the connection waiting for good, and the server's Stop with it.
class FinishOnRelease {
 public:
  explicit FinishOnRelease(std::shared_ptr<RecordChannel> channel) : channel_(std::move(channel)) {}
  ~FinishOnRelease() { channel_->Finish(); }
  FinishOnRelease(const FinishOnRelease&) = delete;
  FinishOnRelease& operator=(const FinishOnRelease&) = delete;

 private:
  std::shared_ptr<RecordChannel> channel_;
};

}  // namespace

Session::Session(const Host& host, RecordWriter& writer) : host_(host), writer_(writer) {}

Session::Next Session::OnLine(std::string_view line) {
  const bool firstLine = firstLine_;
  firstLine_ = false;
  // Nothing of an HTTP request may run, not even a command-looking line in its body.
  if (LooksLikeHttp(line, firstLine)) return Next::Close;
  const Command* command = FindCommand(line);
  if (command == nullptr) return Next::ReadOn;
  return Run(*command) ? Next::ReadOn : Next::Close;
}

void Session::RunAndWait(printer::Worker::Job job) {
  auto finished = std::make_shared<RecordChannel>();
  host_.worker->Submit([job = std::move(job),
                        release = std::make_shared<FinishOnRelease>(finished)](
                           printer::Session& session) { job(session); });
  std::unique_lock lock(finished->mutex);
  finished->changed.wait(lock, [&] { return finished->done; });
}

bool Session::SearchAndIdentify() {
  auto channel = std::make_shared<RecordChannel>();
  const Host host = host_;
  host_.worker->Submit([host, channel, release = std::make_shared<FinishOnRelease>(channel)](
                           printer::Session& session) {
    const discovery::SearchResult found = discovery::SearchPrinter(session, host.ports);
    if (host.onSearched) host.onSearched(found);
    if (found.printer) {
      discovery::IdentifyPrinter(session, [&](discovery::Step step, const discovery::Identity& id) {
        if (host.onStep) host.onStep(step, id);
        if (const auto record = IdentityRecord(step, id)) channel->Push(*record);
        return channel->Gone() ? discovery::Next::kAbandon : discovery::Next::kGoOn;
      });
    }
  });
  // A failed action is never reported to the client; only a failed write ends the
  // connection.
  bool written = true;
  std::unique_lock lock(channel->mutex);
  for (;;) {
    channel->changed.wait(lock, [&] { return channel->done || !channel->records.empty(); });
    if (channel->records.empty()) break;
    std::string record = std::move(channel->records.front());
    channel->records.pop_front();
    lock.unlock();
    if (written && !writer_.WriteRecord(record)) written = false;
    lock.lock();
    if (!written) channel->gone = true;
  }
  return written;
}

bool Session::Run(const Command& command) {
  switch (command.action) {
    case Action::SearchAndIdentify: return SearchAndIdentify();
    case Action::KickDrawer: RunAndWait([](printer::Session& s) { service::KickDrawer(s); }); return true;
    case Action::FeedOneLine: RunAndWait([](printer::Session& s) { service::FeedOneLine(s); }); return true;
    case Action::PrintStoredLogo:
      RunAndWait([](printer::Session& s) { service::PrintStoredLogo(s); });
      return true;
    case Action::SetCaption:
      if (host_.onSerialTitle) host_.onSerialTitle(std::string(command.caption));
      return true;
  }
  return true;
}

}  // namespace zelka::remote
