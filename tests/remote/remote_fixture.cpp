#include "remote/remote_fixture.h"

#include <cstdio>

#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::testing {

void RemoteFixture::TearDown() {
  // The connections use the form: the service goes first.
  server.reset();
  FormFixture::TearDown();
}

void RemoteFixture::Serve(std::vector<std::string> names) {
  MakeForm(std::move(names));
  server = std::make_unique<remote::RemoteQueryServer>(
      *form, remote::RemoteQueryServer::Options{.port = 0, .addresses = {"127.0.0.1"}});
  ASSERT_TRUE(server->Start()) << server->Error();
}

std::unique_ptr<RemoteClient> RemoteFixture::Connect() {
  auto client = std::make_unique<RemoteClient>();
  EXPECT_TRUE(client->Connect(server->Port()));
  EXPECT_EQ(client->Read(9), "SVE0000\r\n");
  return client;
}

void RemoteFixture::KnowThePrinter() {
  link::PrinterOperation operation;
  link::CurrentPortName = sim.PortName();
}

std::string RemoteFixture::CurrentPort() {
  link::PrinterOperation operation;
  return link::CurrentPortName;
}

bool RemoteFixture::PortLeftOpen() {
  link::PrinterOperation operation;
  return link::PortIsOpen;
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
