#include "remote/listener_thread.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

#include <chrono>
#include <system_error>

#include "remote/ip_address.h"

namespace zelka::remote {

namespace {

// How often the network thread looks at its stop flag (it bounds how long Stop() waits).
constexpr std::chrono::milliseconds kTickPeriod{50};

std::string Describe(const QHostAddress& address, std::uint16_t port) {
  if (address == QHostAddress::Any) return "port " + std::to_string(port);
  return address.toString().toStdString() + " port " + std::to_string(port);
}

}  // namespace

ListenerThread::ListenerThread(std::vector<std::string> addresses, std::uint16_t port,
                               Prepare prepare, TcpListener::Handoff handoff, Finish finish)
    : addresses_(std::move(addresses)),
      port_(port),
      prepare_(std::move(prepare)),
      handoff_(std::move(handoff)),
      finish_(std::move(finish)) {}

ListenerThread::~ListenerThread() { Stop(); }

ListenResult ListenerThread::Start() {
  std::promise<ListenResult> started;
  auto result = started.get_future();
  try {
    thread_ = std::thread([this, started = std::move(started)]() mutable { Run(started); });
  } catch (const std::system_error& error) {
    return {.error = std::string("cannot start the listening thread: ") + error.what()};
  }
  ListenResult listening = result.get();
  if (!listening.listening) thread_.join();
  return listening;
}

void ListenerThread::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void ListenerThread::Run(std::promise<ListenResult>& started) {
  // Created, run and destroyed on this thread: the loop's dispatcher serves the
  // listeners' notifiers, and only this thread touches them.
  QEventLoop loop;
  std::vector<std::unique_ptr<TcpListener>> listeners;
  ListenResult result;
  if (prepare_) result.error = prepare_();
  if (result.error.empty()) result = ListenOnAll(listeners);
  const bool listening = result.listening;
  if (!listening) {
    // What `prepare` made lives on this thread and ends here, before the owner goes on.
    listeners.clear();
    if (finish_) finish_();
  }
  started.set_value(std::move(result));
  if (!listening) return;

  // The stop request is a plain flag rather than a call into this thread's loop, so that
  // nothing of Qt is shared between the threads.
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, &loop, [this, &loop] {
    if (stop_) loop.quit();
  });
  ticks.start(kTickPeriod);
  loop.exec();
  listeners.clear();
  if (finish_) finish_();
}

ListenResult ListenerThread::ListenOnAll(std::vector<std::unique_ptr<TcpListener>>& listeners) {
  std::vector<QHostAddress> addresses;
  for (const std::string& text : addresses_) {
    const auto address = ParseIpAddress(text);
    if (!address) return {.error = "cannot listen on " + text + ": not " + kAddressForms};
    addresses.push_back(*address);
  }
  // The dual-stack address: every local IPv4 and IPv6 address, or IPv4 alone where the
  // system has no IPv6.
  if (addresses.empty()) addresses.emplace_back(QHostAddress::Any);

  std::uint16_t port = port_;
  for (const QHostAddress& address : addresses) {
    auto listener = std::make_unique<TcpListener>(handoff_);
    if (!listener->listen(address, port)) {
      return {.error = "cannot listen on " + Describe(address, port) + ": " +
                       listener->errorString().toStdString() +
                       "; choose another --tcp-port or --listen address"};
    }
    port = listener->serverPort();
    listeners.push_back(std::move(listener));
  }
  return {.listening = true, .port = port};
}

}  // namespace zelka::remote
