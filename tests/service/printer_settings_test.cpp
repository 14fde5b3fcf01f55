// The settings stored in the printer: cut line, density, code page and baud rate.
#include "service/printer_settings.h"

#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "link/serial_link.h"
#include "service/service_actions.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using Writes = std::vector<Bytes>;
using printer::Problem;

Bytes SetBaudFrame(std::uint8_t code) { return {0x1F, 0x02, 0x00, code, 0x00, 0x00, 0x03, 0x00}; }

// Every frame the program writes, with the rate of the port it goes out on.
class RateRecorder final : public link::Observer {
 public:
  void OnSent(const std::string&, int baud, std::span<const std::uint8_t> bytes) override {
    sent.emplace_back(Bytes(bytes.begin(), bytes.end()), baud);
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::vector<std::pair<Bytes, int>> sent;
};

class PrinterSettingsTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
    session->SetLinkObserver(&rates);
  }
  void TearDown() override {
    session->SetLinkObserver(nullptr);
    SimFixture::TearDown();
  }
  Writes Frames() const {
    Writes frames;
    for (const auto& [bytes, baud] : rates.sent) frames.push_back(bytes);
    return frames;
  }
  RateRecorder rates;
};

TEST_F(PrinterSettingsTest, CutLineAndDensityWriteTheirParameters) {
  struct Case {
    const char* name;
    printer::Result (*write)(printer::Session&, int);
    int value;
    Bytes frame;
  };
  const std::vector<Case> cases = {
      {"cut line", service::WriteCutLine, 0, {0x1F, 0x03, 0x0A, 0x64}},
      {"cut line", service::WriteCutLine, 50, {0x1F, 0x03, 0x0A, 0x96}},
      {"cut line", service::WriteCutLine, 25, {0x1F, 0x03, 0x0A, 0x7D}},
      {"density", service::WriteDensity, 100, {0x1F, 0x03, 0x41, 0x64}},
      {"density", service::WriteDensity, 20, {0x1F, 0x03, 0x41, 0x14}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
    rates.sent.clear();
    EXPECT_TRUE(c.write(*session, c.value).Ok());
    EXPECT_EQ(Frames(), Writes{c.frame});
    EXPECT_FALSE(session->Link().IsOpen());
  }
  // The printer stored what it got, once it has read all of it.
  ASSERT_TRUE(sim.WaitForCommands(cases.size(), std::chrono::seconds(2)));
  const auto parameters = sim.State().parameters;
  EXPECT_EQ(parameters.at(10), 0x7D);
  EXPECT_EQ(parameters.at(65), 20);
}

TEST_F(PrinterSettingsTest, CodePageIsEscR7) {
  EXPECT_TRUE(service::SelectCodePage866(*session).Ok());
  EXPECT_EQ(Frames(), (Writes{{0x1B, 0x52, 0x07}}));
}

TEST_F(PrinterSettingsTest, EachRateHasItsCode) {
  const std::vector<std::pair<int, std::uint8_t>> cases = {
      {9600, 0x03}, {19200, 0x04}, {57600, 0x06}, {115200, 0x07}};
  for (const auto& [baud, code] : cases) {
    SCOPED_TRACE(baud);
    rates.sent.clear();
    sim.Update([](sim::PrinterState& s) { s.baud = 57600; });
    session->SetBaud(57600);
    EXPECT_TRUE(service::SetPrinterBaudRate(*session, baud, /*keepRate=*/true).Ok());
    EXPECT_EQ(Frames(), Writes{SetBaudFrame(code)});
  }
}

// The new rate goes out at the old one; from then on the port opens at the new one.
TEST_F(PrinterSettingsTest, NewRateBecomesTheSessionsRate) {
  EXPECT_TRUE(service::SetPrinterBaudRate(*session, 115200).Ok());
  EXPECT_EQ(session->Baud(), 115200);
  EXPECT_TRUE(service::SetPrinterBaudRate(*session, 115200).Ok());
  EXPECT_EQ(session->Baud(), 115200);
  EXPECT_EQ(rates.sent, (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(0x07), 57600},
                                                            {SetBaudFrame(0x07), 115200}}));
  EXPECT_FALSE(session->Link().IsOpen());
  // The printer took it too: it answers at the new rate.
  EXPECT_EQ(sim.State().baud, 115200);
  EXPECT_EQ(service::ReadPaperSensor(*session).bitSet, std::optional<bool>(false));
}

// With keepRate the printer is told 9600 but the session goes on at its old rate.
TEST_F(PrinterSettingsTest, KeepRateLeavesTheSessionsRate) {
  EXPECT_TRUE(service::SetPrinterBaudRate(*session, 9600, /*keepRate=*/true).Ok());
  EXPECT_EQ(session->Baud(), 57600);
  service::SoundSignal(*session);
  EXPECT_EQ(rates.sent, (std::vector<std::pair<Bytes, int>>{{SetBaudFrame(0x03), 57600},
                                                            {{0x1B, 0x07}, 57600}}));
}

TEST_F(PrinterSettingsTest, SettingsWithoutAPrinterSendNothing) {
  session->SetPort(link::kNoPort);
  const std::vector<std::pair<const char*, std::function<printer::Result()>>> settings = {
      {"cut line", [&] { return service::WriteCutLine(*session, 10); }},
      {"density", [&] { return service::WriteDensity(*session, 50); }},
      {"code page", [&] { return service::SelectCodePage866(*session); }},
      {"rate kept", [&] { return service::SetPrinterBaudRate(*session, 9600, true); }},
  };
  for (const auto& [name, write] : settings) {
    SCOPED_TRACE(name);
    const printer::Result result = write();
    EXPECT_EQ(result.problem, Problem::kNoPrinter);
    EXPECT_EQ(result.port, link::kNoPort);
  }
  EXPECT_EQ(session->Baud(), 57600);
  // Without keepRate the rate is taken whatever happened.
  EXPECT_EQ(service::SetPrinterBaudRate(*session, 19200).problem, Problem::kNoPrinter);
  EXPECT_EQ(session->Baud(), 19200);
  EXPECT_TRUE(rates.sent.empty());
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(PrinterSettingsTest, AbsentPortCannotBeOpened) {
  session->SetPort("/dev/zelka-no-such-port");
  const printer::Result result = service::WriteDensity(*session, 50);
  EXPECT_EQ(result.problem, Problem::kCannotOpen);
  EXPECT_EQ(result.port, "/dev/zelka-no-such-port");
  EXPECT_TRUE(rates.sent.empty());
}

}  // namespace
}  // namespace zelka::testing
