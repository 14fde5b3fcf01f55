// The simulator over a real pseudo-terminal, driven the way the program drives a port.
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <numeric>
#include <thread>

#include "slave_port.h"

namespace zelka::sim {
namespace {

using std::chrono::milliseconds;
using test::SlavePort;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;

// Generous, since a reply that comes returns the read at once.
constexpr milliseconds kReplyTimeout{2000};
// How long a test listens to be sure that nothing comes.
constexpr milliseconds kQuietWindow{120};

const Bytes kModelQuery{0x1D, 0x49, 0x40, 0x27};
const Bytes kSerialQuery{0x1D, 0x49, 0x40, 0x23};
const Bytes kPaperQuery{0x1D, 0x72, 0x31};
const Bytes kDrawerQuery{0x1D, 0x72, 0x32};
const Bytes kLogoQuery{0x1D, 0x49, 0x34};
const Bytes kBootEntry{0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};
const Bytes kBlSpeed{0x07, 0x02};
const Bytes kBlReady{0x00, 0xFE};
const Bytes kBlEnquiry{0x05};
const Bytes kBlStart{0x01};
const Bytes kBlEnd{0x04};
const Bytes kAck{0x06};
const Bytes kNak{0x15};

Bytes SetBaudFrame(std::uint8_t code) { return {0x1F, 0x02, 0x00, code, 0x00, 0x00, 0x03, 0x00}; }

// A bootloader data block of `data` (at most 256 bytes, filled with 0xFF) with its sum,
// or with a sum that is off by one.
Bytes DataBlock(const Bytes& data, bool rightSum = true) {
  Bytes block(1 + 256, 0xFF);
  block[0] = 0x02;
  std::copy_n(data.begin(), std::min<std::size_t>(data.size(), 256), block.begin() + 1);
  const auto sum = static_cast<std::uint8_t>(std::accumulate(block.begin() + 1, block.end(), 0u));
  block.push_back(rightSum ? sum : static_cast<std::uint8_t>(sum + 1));
  return block;
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(DefaultPrinter()); }

  void Start(PrinterState state) {
    sim_ = std::make_unique<Simulator>(std::move(state));
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
  }

  std::unique_ptr<SlavePort> Open(int baud) {
    auto port = std::make_unique<SlavePort>(sim_->PortName(), baud);
    EXPECT_TRUE(port->IsOpen());
    return port;
  }

  // Sends `frame` and reads what comes back: `replyBytes` bytes, or what there was when
  // the time ran out.
  static Bytes Exchange(SlavePort& port, const Bytes& frame, std::size_t replyBytes,
                        milliseconds timeout = kReplyTimeout) {
    EXPECT_EQ(port.Write(frame), static_cast<long>(frame.size()));
    return port.Read(replyBytes, timeout);
  }

  // Nothing at all arrives within the quiet window (asks for more than any reply).
  static Bytes Listen(SlavePort& port) { return port.Read(64, kQuietWindow); }

  std::unique_ptr<Simulator> sim_;
};

TEST_F(SimulatorTest, AnswersEveryQueryAtItsOwnRateAndLogsIt) {
  PrinterState state = DefaultPrinter();
  state.baud = 115200;
  state.paperSensor = 0x01;
  state.drawerStatus = 0x00;
  state.escUReply = 0x01;
  state.escVReply = 0x07;
  state.logoState = 0x01;
  Start(state);
  const std::pair<Bytes, Bytes> exchanges[] = {
      {kModelQuery, state.modelReply},
      {kSerialQuery, state.serialReply},
      {{0x1D, 0x49, 0x40, 0x2B}, state.bootNumberReply},
      {{0x1D, 0x49, 0x40, 0x97}, state.bootVersionReply},
      {{0x1D, 0x49, 0x40, 0x33}, state.mainNumberReply},
      {{0x1D, 0x49, 0x40, 0xA3}, state.mainVersionReply},
      {{0x1D, 0x49, 0x40, 0x63}, state.buildDateReply},
      {kPaperQuery, {0x01}},
      {kDrawerQuery, {0x00}},
      {kLogoQuery, {0x01}},
      {{0x1B, 0x75, 0x00}, {0x01}},
      {{0x1B, 0x76}, {0x07}},
      {{0x1F, 0x07, 0x08}, {0x00}},
      {{0x1F, 0x07, 0x0A}, {120}},
      {{0x1F, 0x07, 0x41}, {60}},
  };
  auto port = Open(115200);
  for (const auto& [frame, reply] : exchanges) {
    EXPECT_EQ(Exchange(*port, frame, reply.size()), reply) << "frame ending " << int(frame.back());
  }
  EXPECT_TRUE(Listen(*port).empty()) << "no reply longer than its catalogue length";

  const auto log = sim_->Log();
  ASSERT_EQ(log.size(), std::size(exchanges));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].bytes, exchanges[i].first);
    EXPECT_EQ(log[i].baud, 115200);
    EXPECT_FALSE(log[i].garbage);
  }
  EXPECT_EQ(log[0].name, "GS I @");
  EXPECT_EQ(log[7].name, "GS r");
}

TEST_F(SimulatorTest, BytesAtAnyOtherRateAreNoiseAndNeverAnswered) {
  for (int wrong : {9600, 19200, 115200}) {
    SCOPED_TRACE(wrong);
    sim_->ClearLog();
    auto port = Open(wrong);
    EXPECT_EQ(port->Write(kPaperQuery), 3);
    EXPECT_TRUE(Listen(*port).empty());
    const auto log = sim_->Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].garbage);
    EXPECT_EQ(log[0].baud, wrong);
    EXPECT_EQ(log[0].bytes, kPaperQuery);
    EXPECT_TRUE(sim_->CommandNames().empty());
  }
  // The noise left no half command behind: the first query at the right rate is answered.
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00});
  EXPECT_EQ(sim_->CommandNames(), Names{"GS r"});
}

TEST_F(SimulatorTest, BytesUnreadWhenTheProgramClosesCountAtTheRateTheyCameAt) {
  // Closing puts back the settings found at open before the printer may have read the
  // last frame (a feed, a drawer kick: nothing waits for a reply).
  constexpr int kSessions = 20;
  for (int i = 0; i < kSessions; ++i) {
    auto port = Open(57600);
    EXPECT_EQ(port->Write({0x0A}), 1);
    port->CloseRestoringSettings();
  }
  ASSERT_TRUE(sim_->WaitForCommands(kSessions, std::chrono::seconds(5)));
  for (const auto& entry : sim_->Log()) {
    EXPECT_FALSE(entry.garbage);
    EXPECT_EQ(entry.baud, 57600);
  }
}

TEST_F(SimulatorTest, BaudCommandMovesThePrinterToTheNewRate) {
  auto port = Open(57600);
  EXPECT_EQ(port->Write(SetBaudFrame(0x07)), 8);
  EXPECT_TRUE(Listen(*port).empty()) << "the baud command has no reply";
  EXPECT_EQ(sim_->State().baud, 115200);
  EXPECT_EQ(port->Write(kPaperQuery), 3);
  EXPECT_TRUE(Listen(*port).empty()) << "the old rate is noise now";
  port->SetBaud(115200);
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00});
}

TEST_F(SimulatorTest, LogoLoadSetsAndEraseClearsTheLogoBit) {
  Bytes bitmap{0x1B, 'B', 'M', 62, 0, 0, 0};
  bitmap.resize(1 + 62, 0x1D);  // the file body is data, whatever its bytes look like
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kLogoQuery, 1), Bytes{0x00});
  EXPECT_EQ(Exchange(*port, bitmap, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kLogoQuery, 1), Bytes{0x01});
  EXPECT_EQ(Exchange(*port, {0x1D, 0x40, 0x31}, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kLogoQuery, 1), Bytes{0x00});
  EXPECT_EQ(sim_->CommandNames(), (Names{"GS I", "logo", "GS I", "GS @", "GS I"}));
}

TEST_F(SimulatorTest, EachFaultKindShapesTheReply) {
  const Bytes& model = DefaultPrinter().modelReply;
  struct Case {
    const char* what;
    Fault fault;
    Bytes expected;
  };
  const Case cases[] = {
      {"silent", {.prefix = kModelQuery, .kind = Fault::Kind::Silent}, {}},
      {"partial", {.prefix = kModelQuery, .kind = Fault::Kind::Partial, .bytes = 5},
       Bytes(model.begin(), model.begin() + 5)},
      {"substituted", {.prefix = {0x1D, 0x49, 0x40}, .kind = Fault::Kind::Reply, .reply = {0xAB, 0xCD}},
       {0xAB, 0xCD}},
  };
  auto port = Open(57600);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim_->ClearFaults();
    sim_->AddFault(c.fault);
    EXPECT_EQ(Exchange(*port, kModelQuery, model.size(), kQuietWindow), c.expected);
    // A query outside the fault's prefix keeps its own reply.
    EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00});
  }
  sim_->ClearFaults();
  EXPECT_EQ(Exchange(*port, kModelQuery, model.size()), model);
}

TEST_F(SimulatorTest, LateReplyComesWhenDueWhileOtherQueriesAreServed) {
  // Long enough that even a busy machine serves the paper query before it passes.
  const milliseconds delay{1000};
  sim_->AddFault({.prefix = kModelQuery, .kind = Fault::Kind::Late, .delay = delay, .times = 1});
  auto port = Open(57600);
  const auto sent = Clock::now();
  EXPECT_EQ(port->Write(kModelQuery), 4);
  // The printer goes on reading and answering in the meantime: the paper byte comes
  // first, not the model name's 0x5F.
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00});
  EXPECT_EQ(port->Read(17, kReplyTimeout), DefaultPrinter().modelReply);
  EXPECT_GE(Clock::now() - sent, delay);
  // Used up: the next one is on time.
  EXPECT_EQ(Exchange(*port, kModelQuery, 17, milliseconds{100}), DefaultPrinter().modelReply);
}

TEST_F(SimulatorTest, SilentPrinterHearsButAnswersNothing) {
  sim_->SetSilent(true);
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, {0x1F, 0x03, 0x0A, 0x80}, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(sim_->CommandNames(), (Names{"US 0x03", "GS r"}));
  sim_->SetSilent(false);
  EXPECT_EQ(Exchange(*port, {0x1F, 0x07, 0x0A}, 1), Bytes{0x80});
}

// A reply that nobody can hear is lost; the next program must find a clean line, where the
// first byte it reads answers its own query (the drawer byte 0x01, not a stale 0x5F).
TEST_F(SimulatorTest, LateReplyFallingDueWhileThePortIsClosedIsLost) {
  sim_->AddFault({.prefix = kModelQuery, .kind = Fault::Kind::Late, .delay = milliseconds{100}, .times = 1});
  auto port = Open(57600);
  EXPECT_EQ(port->Write(kModelQuery), 4);
  ASSERT_TRUE(sim_->WaitForCommands(1, kReplyTimeout));
  port->Close();
  std::this_thread::sleep_for(milliseconds{200});
  port = Open(57600);
  EXPECT_EQ(Exchange(*port, kDrawerQuery, 1), Bytes{0x01});
  EXPECT_TRUE(Listen(*port).empty());
}

TEST_F(SimulatorTest, LateReplyFallingDueAtAnotherLineRateIsLost) {
  sim_->AddFault({.prefix = kModelQuery, .kind = Fault::Kind::Late, .delay = milliseconds{100}, .times = 1});
  auto port = Open(57600);
  EXPECT_EQ(port->Write(kModelQuery), 4);
  ASSERT_TRUE(sim_->WaitForCommands(1, kReplyTimeout));
  port->SetBaud(9600);  // the program goes on to search at the next rate
  EXPECT_TRUE(port->Read(17, milliseconds{250}).empty());
  port->SetBaud(57600);
  EXPECT_EQ(Exchange(*port, kDrawerQuery, 1), Bytes{0x01});
}

TEST_F(SimulatorTest, ReplyLeftUnreadIsGoneWhenThePortIsOpenedAgain) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    sim_->ClearLog();
    auto port = Open(57600);
    EXPECT_EQ(port->Write(kModelQuery), 4);
    ASSERT_TRUE(sim_->WaitForCommands(1, kReplyTimeout));
    std::this_thread::sleep_for(milliseconds{20});  // the reply is on its way by now
    port->Close();
    // Opened again at once, so that the port is never seen unheld; the simulator still
    // learns of the close before the program gets to its next query.
    port = Open(57600);
    std::this_thread::sleep_for(milliseconds{20});
    EXPECT_EQ(Exchange(*port, kDrawerQuery, 1), Bytes{0x01});
    EXPECT_TRUE(port->Read(64, milliseconds{30}).empty());
  }
}

TEST_F(SimulatorTest, TextIsLoggedAsOneRunAndALastRunWhenThePortCloses) {
  auto port = Open(57600);
  for (const char* piece : {"Sale ", "TICKET"}) {
    const std::string s(piece);
    port->Write(Bytes(s.begin(), s.end()));
    std::this_thread::sleep_for(milliseconds{10});
  }
  port->Write({0x0D, 0x0A, 'e', 'n', 'd'});
  ASSERT_TRUE(sim_->WaitForCommands(3, kReplyTimeout));
  EXPECT_EQ(sim_->CommandNames(), (Names{"text", "CR", "LF"}));
  port->Close();
  ASSERT_TRUE(sim_->WaitForCommands(4, kReplyTimeout));
  const auto log = sim_->Log();
  EXPECT_EQ(log[0].bytes, (Bytes{'S', 'a', 'l', 'e', ' ', 'T', 'I', 'C', 'K', 'E', 'T'}));
  EXPECT_EQ(log[3].name, "text");
  EXPECT_EQ(log[3].bytes, (Bytes{'e', 'n', 'd'}));
}

TEST_F(SimulatorTest, StopMakesTheDeviceVanish) {
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00});
  sim_->Stop();
  EXPECT_FALSE(sim_->Running());
  EXPECT_LE(port->ReadOnce(), 0);
  errno = 0;
  EXPECT_EQ(port->Write(kPaperQuery), -1);
  EXPECT_EQ(errno, EIO);
}

TEST_F(SimulatorTest, BootloaderTakesAnImageAndReturnsToTheMainFirmware) {
  PrinterState state = DefaultPrinter();
  state.baud = 115200;
  Start(state);
  Bytes image(300);
  std::iota(image.begin(), image.end(), 0);
  {
    auto port = Open(115200);
    EXPECT_EQ(Exchange(*port, kBootEntry, 2, kQuietWindow), kAck);
    // From here the printer listens at the bootloader's rate only.
    EXPECT_EQ(Exchange(*port, kBlSpeed, 1, kQuietWindow), Bytes{});
  }
  {
    auto port = Open(19200);
    EXPECT_EQ(Exchange(*port, kBlSpeed, 1), kAck);
  }
  {
    auto port = Open(57600);
    EXPECT_EQ(Exchange(*port, kBlReady, 1), kAck);
    EXPECT_EQ(Exchange(*port, kBlEnquiry, 2), (Bytes{0x06, 0x06}));
    EXPECT_EQ(Exchange(*port, kBlSpeed, 1), kAck);
  }
  {
    auto port = Open(57600);
    EXPECT_EQ(Exchange(*port, kBlEnquiry, 2), (Bytes{0x06, 0x06}));
    EXPECT_EQ(Exchange(*port, kBlStart, 1), kAck);
    EXPECT_EQ(Exchange(*port, DataBlock(Bytes(image.begin(), image.begin() + 256)), 1), kAck);
    EXPECT_EQ(Exchange(*port, DataBlock(Bytes(image.begin() + 256, image.end())), 1), kAck);
    EXPECT_EQ(Exchange(*port, kBlEnd, 2, kQuietWindow), kAck);
    EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00}) << "main firmware back at 57600";
  }
  Bytes expected = image;
  expected.resize(512, 0xFF);
  EXPECT_EQ(sim_->ReceivedImage(), expected);
  EXPECT_EQ(sim_->State().baud, 57600);
  EXPECT_EQ(sim_->CommandNames(),
            (Names{"boot entry", "BL 07 02", "BL 00 FE", "BL 05", "BL 07 02", "BL 05", "BL 01", "BL block",
                   "BL block", "BL 04", "GS r"}));
  const auto log = sim_->Log();
  EXPECT_EQ(log[0].baud, 115200);
  EXPECT_TRUE(log[1].garbage);
  EXPECT_EQ(log[2].baud, 19200);
}

class BootloaderTest : public SimulatorTest {
 protected:
  // Boot entry and the speed command, leaving a port open at the transfer rate.
  std::unique_ptr<SlavePort> EnterTransfer() {
    EXPECT_EQ(Exchange(*Open(57600), kBootEntry, 1), kAck);
    EXPECT_EQ(Exchange(*Open(19200), kBlSpeed, 1), kAck);
    auto port = Open(57600);
    EXPECT_EQ(Exchange(*port, kBlStart, 1), kAck);
    return port;
  }
};

TEST_F(BootloaderTest, BlockWithAWrongSumIsRefusedAndNotKept) {
  auto port = EnterTransfer();
  const Bytes first(256, 0x11);
  const Bytes second(256, 0x22);
  EXPECT_EQ(Exchange(*port, DataBlock(first), 1), kAck);
  EXPECT_EQ(Exchange(*port, DataBlock(second, false), 1), kNak);
  EXPECT_EQ(sim_->ReceivedImage(), first);
  // The sum covers the fill: a short last block whose sum is 0x09.
  const Bytes last = DataBlock({0x01, 0x02, 0x03});
  EXPECT_EQ(last.back(), 0x09);
  EXPECT_EQ(Exchange(*port, last, 1), kAck);
}

// A transfer that stops half-way leaves the printer in its bootloader at the transfer
// rate, deaf to its main firmware's commands, and an end without a whole transfer since
// the last handshake is cancelled; a whole transfer brings the main firmware back.
TEST_F(BootloaderTest, TransferCutShortStrandsThePrinterUntilAWholeOneEnds) {
  {
    auto port = EnterTransfer();
    EXPECT_EQ(Exchange(*port, DataBlock(Bytes(256, 0x11)), 1), kAck);
  }
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kBlReady, 1), kAck);
  EXPECT_EQ(Exchange(*port, kBlEnd, 1), Bytes{0x18});
  EXPECT_TRUE(sim_->InBootloader());
  EXPECT_EQ(Exchange(*port, kBlStart, 1), kAck);
  EXPECT_EQ(Exchange(*port, DataBlock(Bytes(256, 0x22)), 1), kAck);
  EXPECT_EQ(Exchange(*port, kBlEnd, 1), kAck);
  EXPECT_FALSE(sim_->InBootloader());
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1), Bytes{0x00}) << "main firmware back at 57600";
  EXPECT_EQ(sim_->ReceivedImage(), Bytes(256, 0x22));
}

// As zelka-sim --bootloader starts: the bootloader answers at the transfer rate only, and
// the flashed firmware reports what it was given.
TEST_F(BootloaderTest, StrandedPrinterWaitsAtTheTransferRate) {
  PrinterState state = DefaultPrinter();
  state.flashedMainVersionReply = MakeTextReply("3.00", 6);
  sim_ = std::make_unique<Simulator>(state);
  sim_->StrandInBootloader();
  ASSERT_TRUE(sim_->Start());
  EXPECT_EQ(Exchange(*Open(19200), kBlReady, 1, kQuietWindow), Bytes{});
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kModelQuery, 17, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kBlReady, 1), kAck);
  EXPECT_EQ(Exchange(*port, kBlStart, 1), kAck);
  EXPECT_EQ(Exchange(*port, DataBlock({0x01}), 1), kAck);
  EXPECT_EQ(Exchange(*port, kBlEnd, 1), kAck);
  EXPECT_EQ(Exchange(*port, {0x1D, 0x49, 0x40, 0xA3}, 6), MakeTextReply("3.00", 6));
}

// A held reply keeps the program in its read until the test lets it go.
TEST_F(SimulatorTest, HeldReplyComesOnlyWhenReleased) {
  sim_->AddFault({.prefix = kPaperQuery, .kind = Fault::Kind::Held, .times = 1});
  auto port = Open(57600);
  EXPECT_EQ(Exchange(*port, kPaperQuery, 1, kQuietWindow), Bytes{});
  EXPECT_EQ(Exchange(*port, kDrawerQuery, 1), Bytes{0x01}) << "other replies are not held";
  sim_->ReleaseHeld();
  EXPECT_EQ(port->Read(1, kReplyTimeout), Bytes{0x00});
}

TEST_F(BootloaderTest, FaultsReachTheBootloaderByPrefix) {
  sim_->AddFault({.prefix = {0x02}, .kind = Fault::Kind::Reply, .reply = {0x15}, .times = 1, .after = 2});
  sim_->AddFault({.prefix = kBlEnd, .kind = Fault::Kind::Reply, .reply = {0x18}});
  auto port = EnterTransfer();
  const Bytes replies[] = {kAck, kAck, kNak, kAck};
  for (const auto& reply : replies) EXPECT_EQ(Exchange(*port, DataBlock(Bytes(256, 0x5A)), 1), reply);
  EXPECT_EQ(Exchange(*port, kBlEnd, 1), Bytes{0x18});
}

}  // namespace
}  // namespace zelka::sim
