// The remote service under load, against a prompt simulated printer.
//   BM_ClientsFeeding/100: 100 clients, each sending 20 "SVEC004" in one packet at once.
//     Every one of the 2000 line feeds must reach the printer as a frame of its own:
//     "feeds" counts the LF commands in the printer's log (per iteration), "lost" and
//     "not_whole" (over all iterations) must be 0; "written" counts the frames the program
//     wrote, so a feed the program never sent tells apart from one the line lost.
//     "us_per_command" is the time from the first send to the program's last feed, per
//     command.
//   BM_ClientsFeeding/1: one client sending 20, the same figures for comparison: the
//     printer worker runs the commands one at a time, so many clients should cost about
//     the same per command as one.
#include <benchmark/benchmark.h>

#include <QHostAddress>
#include <QTcpSocket>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "link/serial_link.h"
#include "printer/worker.h"
#include "remote/host.h"
#include "remote/remote_query_server.h"
#include "sim/simulator.h"

namespace {

using namespace zelka;

constexpr int kCommandsPerClient = 20;
constexpr std::chrono::milliseconds kConnectTimeout{10000};
constexpr std::chrono::seconds kAllFeedsTimeout{120};
// How long the printer may lag behind the program's last write.
constexpr std::chrono::seconds kLogSettleTimeout{2};
constexpr std::chrono::microseconds kWrittenPollPeriod{200};


// Counts the frames the program wrote, beside what the printer got: tells a feed the
// program never sent from one the line lost.
class WriteCounter final : public link::Observer {
 public:
  void OnSent(const std::string&, int, std::span<const std::uint8_t>) override { ++written; }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::atomic<std::size_t> written{0};
};

// A printer, a worker whose session knows it, and the service on 127.0.0.1 at a free port.
struct ServedPrinter {
  sim::Simulator printer{sim::DefaultPrinter()};
  WriteCounter writes;
  std::unique_ptr<printer::Worker> worker;
  std::unique_ptr<remote::RemoteQueryServer> server;
  bool ok = false;

  ServedPrinter() {
    if (!printer.Start()) return;
    worker = std::make_unique<printer::Worker>();
    worker->SetLinkObserver(&writes);
    const std::string port = printer.PortName();
    const int baud = printer.State().baud;
    worker->Submit([port, baud](printer::Session& session) {
      session.SetPort(port);
      session.SetBaud(baud);
    });
    worker->WaitIdle();
    remote::Host host;
    host.worker = worker.get();
    host.ports = [port] { return std::vector<std::string>{port}; };
    server = std::make_unique<remote::RemoteQueryServer>(
        host, remote::RemoteQueryServer::Options{
                  .port = 0, .addresses = {"127.0.0.1"}, .maxClients = 256});
    ok = server->Start();
  }
  ~ServedPrinter() {
    // The connections wait for the worker's jobs: the service goes first.
    server.reset();
    worker.reset();
    printer.Stop();
  }
};

// Connects `count` clients and reads their greetings.
std::vector<std::unique_ptr<QTcpSocket>> ConnectClients(std::uint16_t port, int count) {
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  for (int i = 0; i < count; ++i) {
    auto client = std::make_unique<QTcpSocket>();
    client->connectToHost(QHostAddress::LocalHost, port);
    if (!client->waitForConnected(static_cast<int>(kConnectTimeout.count()))) return {};
    while (client->bytesAvailable() < 9) {
      if (!client->waitForReadyRead(static_cast<int>(kConnectTimeout.count()))) return {};
    }
    client->readAll();
    clients.push_back(std::move(client));
  }
  return clients;
}

void BM_ClientsFeeding(benchmark::State& state) {
  const int clientCount = static_cast<int>(state.range(0));
  const std::size_t commands = static_cast<std::size_t>(clientCount) * kCommandsPerClient;
  ServedPrinter served;
  if (!served.ok) return state.SkipWithError("no pty or no port");
  std::string packet;
  for (int i = 0; i < kCommandsPerClient; ++i) packet += "SVEC004\n";

  std::atomic<std::size_t>& written = served.writes.written;
  std::size_t feeds = 0, lost = 0, notWhole = 0, writtenTotal = 0;
  double seconds = 0;
  for (auto _ : state) {
    auto clients = ConnectClients(served.server->Port(), clientCount);
    if (clients.empty()) return state.SkipWithError("cannot connect");
    served.printer.ClearLog();
    written = 0;

    const auto start = std::chrono::steady_clock::now();
    for (auto& client : clients) client->write(packet.data(), static_cast<qint64>(packet.size()));
    for (auto& client : clients)
      client->waitForBytesWritten(static_cast<int>(kConnectTimeout.count()));
    // The clock stops when the program has sent its last feed; a feed the line then loses
    // shows in "lost" instead of stretching the time to the time-out.
    const auto deadline = start + kAllFeedsTimeout;
    while (written < commands && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(kWrittenPollPeriod);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    seconds += took.count();
    writtenTotal += written;
    served.printer.WaitForCommands(commands, kLogSettleTimeout);

    std::size_t lineFeeds = 0;
    for (const auto& entry : served.printer.Log()) {
      if (entry.name == "LF" && !entry.garbage && entry.bytes == sim::Bytes{0x0A}) {
        ++lineFeeds;
      } else {
        ++notWhole;
      }
    }
    feeds += lineFeeds;
    lost += commands - std::min(commands, lineFeeds);
    clients.clear();
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["feeds"] = static_cast<double>(feeds) / iterations;
  state.counters["lost"] = static_cast<double>(lost);
  state.counters["written"] = static_cast<double>(writtenTotal) / iterations;
  state.counters["not_whole"] = static_cast<double>(notWhole);
  state.counters["us_per_command"] = seconds * 1e6 / (iterations * static_cast<double>(commands));
}
BENCHMARK(BM_ClientsFeeding)
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ClientsFeeding)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

}  // namespace
