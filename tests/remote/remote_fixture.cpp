#include "remote/remote_fixture.h"

#include <cstdio>

#include "link/serial_link.h"

namespace zelka::testing {

void RemoteFixture::TearDown() {
  // The connections wait for the worker's jobs: the service goes first, then the worker.
  server.reset();
  worker.reset();
  SimFixture::TearDown();
}

void RemoteFixture::MakeHost(std::vector<std::string> ports) {
  if (ports.empty()) ports.push_back(sim.PortName());
  worker = std::make_unique<printer::Worker>(sleeper);
  host.worker = worker.get();
  host.ports = [ports] { return ports; };
  host.onSearched = [this](const discovery::SearchResult& result) {
    std::lock_guard lock(toldMutex_);
    searches_.push_back(result);
  };
  host.onStep = [this](discovery::Step step, const discovery::Identity&) {
    std::lock_guard lock(toldMutex_);
    steps_.push_back(step);
  };
  host.onSerialTitle = [this](const std::string& caption) {
    std::lock_guard lock(toldMutex_);
    titles_.push_back(caption);
  };
  // Returns with the worker's thread up, its event loop made: a test that then takes the
  // process's last descriptors must not take the one that loop needs (a busy machine
  // may start the thread late).
  OnWorker([](printer::Session&) {});
}

void RemoteFixture::Serve(std::vector<std::string> ports) {
  MakeHost(std::move(ports));
  server = std::make_unique<remote::RemoteQueryServer>(
      host, remote::RemoteQueryServer::Options{
                .port = 0, .addresses = {"127.0.0.1"}, .maxClients = kManyClients});
  ASSERT_TRUE(server->Start()) << server->Error();
}

std::unique_ptr<RemoteClient> RemoteFixture::Connect() {
  auto client = std::make_unique<RemoteClient>();
  EXPECT_TRUE(client->Connect(server->Port()));
  EXPECT_EQ(client->Read(9), "SVE0000\r\n");
  return client;
}

void RemoteFixture::OnWorker(const std::function<void(printer::Session&)>& job) {
  worker->Submit(job);
  worker->WaitIdle();
}

void RemoteFixture::KnowThePrinter() {
  const std::string port = sim.PortName();
  const int baud = sim.State().baud;
  OnWorker([&](printer::Session& session) {
    session.SetPort(port);
    session.SetBaud(baud);
  });
}

std::string RemoteFixture::CurrentPort() {
  std::string port;
  OnWorker([&](printer::Session& session) { port = session.Port(); });
  return port;
}

bool RemoteFixture::PortLeftOpen() {
  const std::string port = sim.PortName();
  bool open = false;
  OnWorker([&](printer::Session& session) { open = session.LinkFor(port).IsOpen(); });
  return open;
}

std::vector<discovery::SearchResult> RemoteFixture::Searches() const {
  std::lock_guard lock(toldMutex_);
  return searches_;
}

std::vector<discovery::Step> RemoteFixture::Steps() const {
  std::lock_guard lock(toldMutex_);
  return steps_;
}

std::vector<std::string> RemoteFixture::SerialTitles() const {
  std::lock_guard lock(toldMutex_);
  return titles_;
}

std::string RemoteFixture::SerialTitle() const {
  std::lock_guard lock(toldMutex_);
  return titles_.empty() ? std::string() : titles_.back();
}

std::string Record(int number, std::string_view wireValue) {
  char head[16];
  std::snprintf(head, sizeof head, "SVE%04dE", number);
  return head + std::string(wireValue) + "\r\n";
}

std::string FailedRecord(int number) {
  char head[16];
  std::snprintf(head, sizeof head, "SVE%04dD", number);
  return head + std::string("\x3F\x3F\x3F\x20\x3F\x3F\x3F\x3F\x3F\x3F") + "\r\n";
}

std::string DefaultPrinterRecords() {
  return Record(1, "Printer Zelka") + Record(2, "ZK00012345") + Record(3, "ZELKA-000001") +
         Record(4, "1.05") + Record(5, "ZELKA-000101") + Record(6, "2.10") +
         Record(7, "????") +         // paper: "есть"
         Record(8, "??????") +       // drawer: "Закрыт"
         Record(9, "???????????") +  // logo: "Отсутствует"
         Record(10, "2026-11-03 12:");
}

std::vector<std::string> DefaultPrinterSearchTraffic() {
  return {"GS r",                          // the search's probe
          "GS I @", "US 0x07", "US 0x07",  // model, cut line, density
          "GS I @", "GS I @",  "GS I @",  "GS I @",  "GS I @",
          "GS r",   "GS r",    "GS I",    "US 0x07", "GS I @"};
}

}  // namespace zelka::testing
