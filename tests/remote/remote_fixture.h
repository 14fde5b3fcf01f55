// A main form over a simulated printer, served by the remote service on 127.0.0.1 at a
// port the system picks, and the identity records as they appear on the wire.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "remote/remote_client.h"
#include "remote/remote_query_server.h"
#include "support/form_fixture.h"

namespace zelka::testing {

class RemoteFixture : public FormFixture {
 protected:
  void TearDown() override;

  // A form listing `ports` (the fixture's printer alone when empty) and the service.
  void Serve(std::vector<std::string> ports = {});
  // A connected client that has read its greeting.
  std::unique_ptr<RemoteClient> Connect();
  // Makes the fixture's printer the current one, as a search would.
  void KnowThePrinter();
  // The link's state, read under the link lock as every operation does.
  std::string CurrentPort();
  bool PortLeftOpen();

  std::unique_ptr<remote::RemoteQueryServer> server;
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
