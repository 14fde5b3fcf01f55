// The command catalogue against a simulated printer: frames, reply lengths and how a
// reply becomes a result.
#include "commands/catalogue.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::commands;
using link::SerialLink;
using link::Status;
using std::chrono::milliseconds;

class CatalogueTest : public SimFixture {
 protected:
  // Opens the link with a fresh recorder of its writes.
  void Open(TxRecorder& recorder, milliseconds readTimeout = milliseconds(300)) {
    link.SetObserver(&recorder);
    ASSERT_EQ(link.Open(sim.PortName(), 57600, readTimeout), Status::kOk);
  }
  void Close() {
    link.Close();
    link.SetObserver(nullptr);
  }

  SerialLink link;
};

struct TextCase {
  const char* name;
  std::function<std::optional<std::string>(SerialLink&)> query;
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
      {"boot firmware number", [](SerialLink& l) { return QueryFirmwareNumber(l, Firmware::kBoot); },
       {0x1D, 0x49, 0x40, 0x2B},
       [](auto& s) { s.bootNumberReply = sim::MakeTextReply("ZELKA-000001", 14); }, "ZELKA-000001"},
      {"main firmware number",
       [](SerialLink& l) { return QueryFirmwareNumber(l, Firmware::kMain); }, {0x1D, 0x49, 0x40, 0x33},
       [](auto& s) { s.mainNumberReply = sim::MakeTextReply("MAIN-7", 14); }, "MAIN-7"},
      {"version: never more than five characters",
       [](SerialLink& l) { return QueryFirmwareVersion(l, Firmware::kBoot); }, {0x1D, 0x49, 0x40, 0x97},
       [](auto& s) { s.bootVersionReply = sim::MakeTextReply("1.0599", 6); }, "1.059"},
      {"main version", [](SerialLink& l) { return QueryFirmwareVersion(l, Firmware::kMain); },
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
    Open(recorder);
    EXPECT_EQ(c.query(link), std::optional<std::string>(c.expected));
    Close();
    ASSERT_EQ(recorder.Writes().size(), 1u);
    EXPECT_EQ(recorder.Writes()[0], c.frame);
  }
}

TEST_F(CatalogueTest, ShortTextReplyOrClosedPortGivesNothing) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40}, .kind = sim::Fault::Kind::Partial, .bytes = 16});
  TxRecorder recorder;
  // A read time-out no busy machine comes near: what ends before it did not wait for it.
  constexpr milliseconds kLongTimeout{60000};
  Open(recorder, kLongTimeout);
  EXPECT_EQ(QueryModelName(link), std::nullopt);
  Close();
  // A closed port fails at once, without the time-out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(QuerySerialNumber(link), std::nullopt);
  EXPECT_EQ(QueryPaperSensor(link), std::nullopt);
  EXPECT_EQ(CutPaper(link), Status::kNotOpen);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kLongTimeout / 2);
}

struct ByteCase {
  const char* name;
  std::function<std::optional<Byte>(SerialLink&)> query;
  Bytes frame;
  Bytes reply;  // what the printer answers; empty = nothing
  std::optional<Byte> expected;
};

TEST_F(CatalogueTest, OneByteQueriesSendTheirFrameAndGiveTheReplyByte) {
  const std::vector<ByteCase> cases = {
      {"GS I 4", [](SerialLink& l) { return QueryInfoByte(l, 0x34); }, {0x1D, 0x49, 0x34}, {0x01}, 0x01},
      {"GS r 2 keeps 0xFF", [](SerialLink& l) { return QueryStatusByte(l, 0x32); },
       {0x1D, 0x72, 0x32}, {0xFF}, 0xFF},
      {"GS r 1", QueryPaperSensor, {0x1D, 0x72, 0x31}, {0x02}, 0x02},
      {"ESC v", QueryPaperStatus, {0x1B, 0x76}, {0x00}, 0x00},
      {"ESC u 0 closed", [](SerialLink& l) { return QueryDrawerStatus(l, 0); }, {0x1B, 0x75, 0x00},
       {0x01}, 0x01},
      {"ESC u 0 unknown", [](SerialLink& l) { return QueryDrawerStatus(l, 0); }, {0x1B, 0x75, 0x00},
       {0xFF}, std::nullopt},
      {"ESC u 0 silent", [](SerialLink& l) { return QueryDrawerStatus(l, 0); }, {0x1B, 0x75, 0x00},
       {}, std::nullopt},
      {"GS r 1 silent", QueryPaperSensor, {0x1D, 0x72, 0x31}, {}, std::nullopt},
      {"US 0x07 10", [](SerialLink& l) { return ReadPrinterParameter(l, 0x0A); }, {0x1F, 0x07, 0x0A},
       {130}, 130},
      {"US 0x03 8 1", [](SerialLink& l) { return WritePrinterParameter(l, 8, 1); },
       {0x1F, 0x03, 0x08, 0x01}, {0x00}, 0x00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.AddFault(c.reply.empty()
                     ? sim::Fault{.prefix = c.frame, .kind = sim::Fault::Kind::Silent}
                     : sim::Fault{.prefix = c.frame, .kind = sim::Fault::Kind::Reply, .reply = c.reply});
    TxRecorder recorder;
    Open(recorder);
    EXPECT_EQ(c.query(link), c.expected);
    if (!c.reply.empty()) {
      EXPECT_EQ(link.RxByte(0), c.reply[0]) << "the reply stays in the receive buffer";
    }
    Close();
    ASSERT_EQ(recorder.Writes().size(), 1u);
    EXPECT_EQ(recorder.Writes()[0], c.frame);
  }
}

struct CommandCase {
  const char* name;
  std::function<Status(SerialLink&)> command;
  Bytes frame;
};

TEST_F(CatalogueTest, CommandsWithoutReplySendOneFrame) {
  const std::vector<CommandCase> cases = {
      {"ESC d 7", [](SerialLink& l) { return FeedLines(l, 7); }, {0x1B, 0x64, 0x07}},
      {"ESC i", CutPaper, {0x1B, 0x69}},
      {"GS ! 0x10", [](SerialLink& l) { return SetCharacterSize(l, 0x10); }, {0x1D, 0x21, 0x10}},
      {"ESC ! 0x29", [](SerialLink& l) { return SetPrintMode(l, 0x29); }, {0x1B, 0x21, 0x29}},
      {"ESC \\ 160 0", [](SerialLink& l) { return MoveRelative(l, 0xA0, 0); }, {0x1B, 0x5C, 0xA0, 0x00}},
      {"US 0x03 without reply", [](SerialLink& l) { return SendParameterWrite(l, 0x41, 0x14); },
       {0x1F, 0x03, 0x41, 0x14}},
      {"baud 115200", [](SerialLink& l) { return SendPrinterBaudRate(l, 115200); },
       {0x1F, 0x02, 0x00, 0x07, 0x00, 0x00, 0x03, 0x00}},
      {"baud of another rate", [](SerialLink& l) { return SendPrinterBaudRate(l, 38400); },
       {0x1F, 0x02, 0x00, 0x06, 0x00, 0x00, 0x03, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TxRecorder recorder;
    Open(recorder);
    EXPECT_EQ(c.command(link), Status::kOk);
    Close();
    ASSERT_EQ(recorder.Writes().size(), 1u);
    EXPECT_EQ(recorder.Writes()[0], c.frame);
  }
  EXPECT_EQ(BaudCode(9600), 0x03);
  EXPECT_EQ(BaudCode(19200), 0x04);
  EXPECT_EQ(BaudCode(57600), 0x06);
}

}  // namespace
}  // namespace zelka::testing
