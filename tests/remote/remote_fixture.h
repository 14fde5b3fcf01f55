// A printer worker over a simulated printer, served by the remote service on 127.0.0.1 at
// a port the system picks, the host's hooks recording what they are told, and the
// identity records as they appear on the wire.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/identity.h"
#include "discovery/search.h"
#include "printer/worker.h"
#include "remote/host.h"
#include "remote/remote_client.h"
#include "remote/remote_query_server.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

// The cap on connections of the fixture's service: far above what the tests of many
// clients open, so that only the tests of the cap itself meet it.
inline constexpr int kManyClients = 1000;

class RemoteFixture : public SimFixture {
 protected:
  void TearDown() override;

  // A worker (with the recording sleeper, its thread running) and a host listing `ports`
  // (the fixture's printer alone when empty), without a service.
  void MakeHost(std::vector<std::string> ports = {});
  // MakeHost, and the service on 127.0.0.1 at a free port.
  void Serve(std::vector<std::string> ports = {});
  // A connected client that has read its greeting.
  std::unique_ptr<RemoteClient> Connect();

  // Runs `job` on the worker behind whatever is queued and returns once the worker is idle.
  void OnWorker(const std::function<void(printer::Session&)>& job);
  // Makes the fixture's printer the session's printer, as a search would.
  void KnowThePrinter();
  // The session's printer port, read on the worker as every operation does.
  std::string CurrentPort();
  // True when the link of the fixture's printer is open between jobs.
  bool PortLeftOpen();

  // What the host's hooks were told so far (they are called on other threads).
  std::vector<discovery::SearchResult> Searches() const;
  std::vector<discovery::Step> Steps() const;
  std::vector<std::string> SerialTitles() const;
  // The last caption told to onSerialTitle; "" before any.
  std::string SerialTitle() const;

  std::unique_ptr<printer::Worker> worker;
  remote::Host host;
  std::unique_ptr<remote::RemoteQueryServer> server;

 private:
  mutable std::mutex toldMutex_;
  std::vector<discovery::SearchResult> searches_;
  std::vector<discovery::Step> steps_;
  std::vector<std::string> titles_;
};

// "SVE" + four digits + "E" + `wireValue` + CR LF (`wireValue` as sent: "?" for non-ASCII).
std::string Record(int number, std::string_view wireValue);
// The 20-byte record of a failed query: "Нет данных" as ten converted bytes.
std::string FailedRecord(int number);
// The ten records of the simulator's DefaultPrinter().
std::string DefaultPrinterRecords();
// What one search and identification of a DefaultPrinter() sends, the probe included.
std::vector<std::string> DefaultPrinterSearchTraffic();

}  // namespace zelka::testing
