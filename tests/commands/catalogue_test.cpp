// The command catalogue against a simulated printer: frames, reply lengths and how a
// reply becomes a result.
#include "commands/catalogue.h"

#include <functional>

#include "link/link_lock.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::commands;
using namespace zelka::link;

class CatalogueTest : public SimFixture {
 protected:
  void Open() { ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk); }
};

struct TextCase {
  const char* name;
  std::function<StatusCode(std::string&)> query;
  Bytes frame;
  std::function<void(sim::PrinterState&)> reply;
  std::string expected;
};

TEST_F(CatalogueTest, TextQueriesSendTheirFrameAndTakeTheirWindow) {
  const std::string sixteen = "ABCDEFGHIJKLMNOP";
  const std::vector<TextCase> cases = {
      {"model: sixteen letters give fifteen", QueryModelName, {0x1D, 0x49, 0x40, 0x27},
       [&](auto& s) { s.modelReply = sim::MakeTextReply(sixteen, 17); }, "ABCDEFGHIJKLMNO"},
      {"model: a zero ends the name", QueryModelName, {0x1D, 0x49, 0x40, 0x27},
       [](auto& s) { s.modelReply = sim::MakeTextReply("Printer", 17); }, "Printer"},
      {"serial number: ten bytes", QuerySerialNumber, {0x1D, 0x49, 0x40, 0x23},
       [](auto& s) { s.serialReply = sim::MakeTextReply("12345678901", 12); }, "1234567890"},
      {"boot firmware number", [](auto& t) { return QueryFirmwareNumber(1, t); },
       {0x1D, 0x49, 0x40, 0x2B},
       [](auto& s) { s.bootNumberReply = sim::MakeTextReply("ZELKA-000001", 14); }, "ZELKA-000001"},
      {"any selector but 1 means the main firmware",
       [](auto& t) { return QueryFirmwareNumber(2, t); }, {0x1D, 0x49, 0x40, 0x33},
       [](auto& s) { s.mainNumberReply = sim::MakeTextReply("MAIN-7", 14); }, "MAIN-7"},
      {"version: never more than five characters",
       [](auto& t) { return QueryFirmwareVersion(1, t); }, {0x1D, 0x49, 0x40, 0x97},
       [](auto& s) { s.bootVersionReply = sim::MakeTextReply("1.0599", 6); }, "1.059"},
      {"main version", [](auto& t) { return QueryFirmwareVersion(0, t); },
       {0x1D, 0x49, 0x40, 0xA3},
       [](auto& s) { s.mainVersionReply = sim::MakeTextReply("2.10", 6); }, "2.10"},
      {"build date starts at byte 0", QueryBuildDate, {0x1D, 0x49, 0x40, 0x63},
       [](auto& s) { s.buildDateReply = sim::MakeRawTextReply("#2026-11-03 12:00", 15); },
       "#2026-11-03 12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.Update(c.reply);
    TxRecorder recorder;
    Open();
    std::string text = "before";
    EXPECT_EQ(c.query(text), kOk);
    EXPECT_EQ(text, c.expected);
    ClosePort();
    ASSERT_EQ(recorder.Writes().size(), 1u);
    EXPECT_EQ(recorder.Writes()[0], c.frame);
  }
}

TEST_F(CatalogueTest, FailedTextQueryReturnsOneAndKeepsTheText) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40}, .kind = sim::Fault::Kind::Partial, .bytes = 16});
  Open();
  std::string text = "kept";
  EXPECT_EQ(QueryModelName(text), 1);
  EXPECT_EQ(text, "kept");
  ClosePort();
  // A closed port fails at once, without the time-out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(QuerySerialNumber(text), 1);
  EXPECT_EQ(QueryPaperSensor(), kNotOpen);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

struct ByteCase {
  const char* name;
  std::function<StatusCode()> query;
  Bytes frame;
  Bytes reply;  // what the printer answers; empty = nothing
  StatusCode status;
};

TEST_F(CatalogueTest, OneByteQueriesAndCommandsSendTheirFrames) {
  const std::vector<ByteCase> cases = {
      {"GS I 4", [] { return QueryInfoByte(0x34); }, {0x1D, 0x49, 0x34}, {0x01}, kOk},
      {"GS r 2", [] { return QueryStatusByte(0x32); }, {0x1D, 0x72, 0x32}, {0xFF}, kOk},
      {"GS r 1", QueryPaperSensor, {0x1D, 0x72, 0x31}, {0x02}, kOk},
      {"ESC v", QueryPaperStatus, {0x1B, 0x76}, {0x00}, kOk},
      {"ESC u 0 closed", [] { return QueryDrawerStatus(0); }, {0x1B, 0x75, 0x00}, {0x01}, kOk},
      {"ESC u 0 unknown", [] { return QueryDrawerStatus(0); }, {0x1B, 0x75, 0x00}, {0xFF},
       kDrawerStatusUnknown},
      {"ESC u 0 silent", [] { return QueryDrawerStatus(0); }, {0x1B, 0x75, 0x00}, {}, kReadShort},
      {"US 0x07 10", [] { return ReadPrinterParameter(0x0A); }, {0x1F, 0x07, 0x0A}, {130}, kOk},
      {"US 0x03 8 1", [] { return WritePrinterParameter(8, 1); }, {0x1F, 0x03, 0x08, 0x01}, {0x00}, kOk},
      {"ESC d 7", [] { return FeedLines(7); }, {0x1B, 0x64, 0x07}, {}, kOk},
      {"ESC i", CutPaper, {0x1B, 0x69}, {}, kOk},
      {"GS ! 0x10", [] { return SetCharacterSize(0x10); }, {0x1D, 0x21, 0x10}, {}, kOk},
      {"ESC ! 0x29", [] { return SetPrintMode(0x29); }, {0x1B, 0x21, 0x29}, {}, kOk},
      {"ESC \\ 160 0", [] { return MoveRelative(0xA0, 0); }, {0x1B, 0x5C, 0xA0, 0x00}, {}, kOk},
      {"US 0x03 without reply", [] { return SendParameterWrite(0x41, 0x14); },
       {0x1F, 0x03, 0x41, 0x14}, {}, kOk},
      {"baud 115200", [] { return SendPrinterBaudRate(115200); },
       {0x1F, 0x02, 0x00, 0x07, 0x00, 0x00, 0x03, 0x00}, {}, kOk},
      {"baud of another rate", [] { return SendPrinterBaudRate(38400); },
       {0x1F, 0x02, 0x00, 0x06, 0x00, 0x00, 0x03, 0x00}, {}, kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.AddFault(c.reply.empty()
                     ? sim::Fault{.prefix = c.frame, .kind = sim::Fault::Kind::Silent}
                     : sim::Fault{.prefix = c.frame, .kind = sim::Fault::Kind::Reply, .reply = c.reply});
    TxRecorder recorder;
    Open();
    EXPECT_EQ(c.query(), c.status);
    if (!c.reply.empty()) {
      EXPECT_EQ(RxBuffer[0], c.reply[0]);
    }
    ClosePort();
    ASSERT_EQ(recorder.Writes().size(), 1u);
    EXPECT_EQ(recorder.Writes()[0], c.frame);
  }
  EXPECT_EQ(BaudCode(9600), 0x03);
  EXPECT_EQ(BaudCode(19200), 0x04);
  EXPECT_EQ(BaudCode(57600), 0x06);
}

TEST_F(CatalogueTest, OneShotActionsOpenSendAndClose) {
  CurrentPortName = sim.PortName();
  const std::vector<std::pair<std::function<StatusCode()>, std::string>> actions = {
      {FeedOneLine, "LF"}, {PrintStoredLogo, "GS /"}, {KickDrawer, "ESC p"}};
  for (const auto& [action, name] : actions) {
    SCOPED_TRACE(name);
    sim.ClearLog();
    EXPECT_EQ(action(), kOk);
    EXPECT_FALSE(PortIsOpen);
    ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::seconds(2)));
    EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{name});
  }
  // An action run while another port is open uses that port and leaves none open.
  {
    PrinterOperation operation;
    ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
    EXPECT_EQ(FeedOneLine(), kOk);
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(CatalogueTest, KickDrawerPausesAfterClosingEvenWhenTheOpenFails) {
  CurrentPortName = "0";
  EXPECT_EQ(KickDrawer(), kOk);
  ASSERT_EQ(sleeper.Waits().size(), 1u);
  EXPECT_EQ(sleeper.Waits()[0], std::chrono::milliseconds(300));
}

}  // namespace
}  // namespace zelka::testing
