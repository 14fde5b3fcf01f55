// The one-step service actions against a simulated printer: the frames on the wire, the
// state bits read back, and what each reports when there is no printer.
#include "service/service_actions.h"

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/serial_link.h"
#include "printer/result.h"
#include "service/test_receipts.h"
#include "sim/render/cp866.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using std::chrono::milliseconds;
using Writes = std::vector<Bytes>;
using printer::Problem;

constexpr const char* kNoSuchPort = "/dev/zelka-no-such-port";
const Bytes kKick{0x1B, 0x70, 0x30, 0x96, 0x96};
const Bytes kDrawerQuery{0x1B, 0x75, 0x00};
const Bytes kStatusDrawerQuery{0x1D, 0x72, 0x32};
const Bytes kPaperQuery{0x1D, 0x72, 0x31};
const Bytes kBeep{0x1B, 0x07};
const Bytes kSelfTest{0x1F, 0x74};
const Bytes kPaperStatusQuery{0x1B, 0x76};
const Bytes kCrLf{0x0D, 0x0A};

class ServiceActionsTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
  }
  // The writes that `action` makes on the session's links.
  Writes Record(const std::function<void()>& action) {
    TxRecorder tx;
    session->SetLinkObserver(&tx);
    action();
    session->SetLinkObserver(nullptr);
    return tx.Writes();
  }
  bool LinkOpen() { return session->Link().IsOpen(); }
};

// GS r 2 decides by bit 0 alone and has no "unknown" value.
TEST_F(ServiceActionsTest, DrawerStateIsBitZeroOfTheReply) {
  const std::vector<std::pair<std::uint8_t, bool>> cases = {
      {0x00, false}, {0x01, true}, {0x03, true}, {0xFE, false}, {0xFF, true}};
  for (const auto& [reply, closed] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    sim.Update([reply = reply](sim::PrinterState& s) { s.drawerStatus = reply; });
    service::StateReading reading;
    EXPECT_EQ(Record([&] { reading = service::ReadDrawerState(*session); }), Writes{kStatusDrawerQuery});
    EXPECT_TRUE(reading.result.Ok());
    EXPECT_EQ(reading.bitSet, std::optional<bool>(closed));
    EXPECT_FALSE(LinkOpen());
  }
}

// After a kick, ESC u 0 answers 0xFF for "no data".
TEST_F(ServiceActionsTest, KickThenDrawerQueryWhere0xFFIsNoAnswer) {
  const std::vector<std::pair<std::uint8_t, std::optional<bool>>> cases = {
      {0x01, true}, {0x00, false}, {0x03, true}, {0xFF, std::nullopt}};
  for (const auto& [reply, closed] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    sim.Update([reply = reply](sim::PrinterState& s) { s.escUReply = reply; });
    service::StateReading reading;
    EXPECT_EQ(Record([&] { reading = service::KickDrawerAndReadState(*session); }),
              (Writes{kKick, kDrawerQuery}));
    EXPECT_EQ(reading.bitSet, closed);
    EXPECT_EQ(reading.result.problem, closed ? Problem::kNone : Problem::kNoReply);
    EXPECT_FALSE(LinkOpen());
  }
  // The same byte to GS r 2 is an ordinary "closed".
  sim.Update([](sim::PrinterState& s) { s.drawerStatus = 0xFF; });
  EXPECT_EQ(service::ReadDrawerState(*session).bitSet, std::optional<bool>(true));
}

// Records each wait together with how many frames had been written by then.
class OrderedSleeper final : public printer::Sleeper {
 public:
  explicit OrderedSleeper(const TxRecorder& tx) : tx_(tx) {}
  void SleepFor(milliseconds duration) override { waits.emplace_back(duration, tx_.Writes().size()); }
  std::vector<std::pair<milliseconds, std::size_t>> waits;

 private:
  const TxRecorder& tx_;
};

TEST_F(ServiceActionsTest, DrawerSettlesForThreeHundredMillisecondsBetweenKickAndQuery) {
  TxRecorder tx;
  OrderedSleeper ordered(tx);
  session = std::make_unique<printer::Session>(ordered);
  UsePrinter();
  session->SetLinkObserver(&tx);
  service::KickDrawerAndReadState(*session);
  EXPECT_EQ(ordered.waits, (std::vector<std::pair<milliseconds, std::size_t>>{{milliseconds{300}, 1}}));
  EXPECT_EQ(tx.Writes().size(), 2u);

  // The kick alone waits too: the next job must not reach the printer sooner.
  service::KickDrawer(*session);
  EXPECT_EQ(ordered.waits.size(), 2u);
  EXPECT_EQ(ordered.waits.back(), (std::pair<milliseconds, std::size_t>{milliseconds{300}, 3}));
  session.reset();
}

TEST_F(ServiceActionsTest, PaperSensorIsBitZeroAndSilenceIsNoReply) {
  const std::vector<std::pair<std::uint8_t, bool>> cases = {{0x01, true}, {0x00, false}, {0x81, true}};
  for (const auto& [reply, absent] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    sim.Update([reply = reply](sim::PrinterState& s) { s.paperSensor = reply; });
    service::StateReading reading;
    EXPECT_EQ(Record([&] { reading = service::ReadPaperSensor(*session); }), Writes{kPaperQuery});
    EXPECT_EQ(reading.bitSet, std::optional<bool>(absent));
  }
  // A printer that answers nothing, then answers again.
  sim.Update([](sim::PrinterState& s) { s.paperSensor = 0x00; });
  sim.SetSilent(true);
  const auto silent = service::ReadPaperSensor(*session);
  EXPECT_EQ(silent.result.problem, Problem::kNoReply);
  EXPECT_EQ(silent.result.port, sim.PortName());
  EXPECT_FALSE(silent.bitSet);
  EXPECT_FALSE(LinkOpen());
  sim.SetSilent(false);
  EXPECT_EQ(service::ReadPaperSensor(*session).bitSet, std::optional<bool>(false));
}

// A printer that answers more than it was asked: the rest must not pass for the next answer.
TEST_F(ServiceActionsTest, ExtraReplyBytesDoNotReachTheNextQuery) {
  sim.AddFault({.prefix = kPaperQuery, .kind = sim::Fault::Kind::Reply, .reply = {0x00, 0x01, 0x01},
                .times = 1});
  EXPECT_EQ(service::ReadPaperSensor(*session).bitSet, std::optional<bool>(false));
  EXPECT_EQ(service::ReadPaperSensor(*session).bitSet, std::optional<bool>(false));
}

TEST_F(ServiceActionsTest, SelfTestTakesAnyAnswerAsAlive) {
  for (std::uint8_t reply : {0x00, 0x01, 0xFF}) {
    SCOPED_TRACE(static_cast<int>(reply));
    sim.Update([reply](sim::PrinterState& s) { s.escVReply = reply; });
    printer::Result result;
    // Three separate writes before the query, no reply read between them.
    EXPECT_EQ(Record([&] { result = service::RunSelfTest(*session); }),
              (Writes{kBeep, kSelfTest, kBeep, kPaperStatusQuery}));
    EXPECT_TRUE(result.Ok());
  }
  sim.AddFault({.prefix = kPaperStatusQuery, .kind = sim::Fault::Kind::Silent});
  EXPECT_EQ(service::RunSelfTest(*session).problem, Problem::kNoReply);
  EXPECT_FALSE(LinkOpen());
}

TEST_F(ServiceActionsTest, FeedSignalAndLogoSendTheirFrames) {
  struct Case {
    const char* name;
    printer::Result (*action)(printer::Session&);
    Writes frames;
  };
  const std::vector<Case> cases = {
      {"feed", service::FeedOneLine, {{0x0A}}},
      {"signal", service::SoundSignal, {kBeep}},
      {"logo", service::PrintStoredLogo, {{0x1D, 0x2F, 0x00}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    printer::Result result;
    EXPECT_EQ(Record([&] { result = c.action(*session); }), c.frames);
    EXPECT_TRUE(result.Ok());
    EXPECT_FALSE(LinkOpen());
  }
}

TEST_F(ServiceActionsTest, CutPrintsThreeWholeLinesInCodePage866ThenFeedsAndCuts) {
  const Writes writes = Record([&] { EXPECT_TRUE(service::CutWithSampleLines(*session).Ok()); });
  ASSERT_EQ(writes.size(), 8u);
  const std::vector<std::string> lines = {"  Оплата Наличные:                   100.00",
                                          "  СДАЧА:                              10.00",
                                          "---------1---------2---------3---------4----"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(sim::Cp866ToUtf8(writes[2 * i]), lines[i]);
    EXPECT_EQ(writes[2 * i + 1], kCrLf);
  }
  EXPECT_EQ(writes[0].size(), 43u);
  EXPECT_EQ(writes[4].size(), 44u);
  EXPECT_EQ(writes[6], (Bytes{0x1B, 0x64, 0x07}));
  EXPECT_EQ(writes[7], (Bytes{0x1B, 0x6D}));
  EXPECT_FALSE(LinkOpen());
}

// The text width is the receipt's while it prints, and 80 mm for everything after it.
TEST_F(ServiceActionsTest, CutAfterANarrowReceiptHasTheWideWidth) {
  ASSERT_TRUE(service::PrintTestReceipt(*session, service::ReceiptLayout::k57mm).Ok());
  EXPECT_EQ(session->paperWidthMm, printer::kWidePaperMm);
  const Writes writes = Record([&] { service::CutWithSampleLines(*session); });
  ASSERT_GT(writes.size(), 4u);
  EXPECT_EQ(writes[4].size(), 44u) << "the 44-character ruler is not cut to 40";
}

// No printer at all: every action says why, sends nothing and leaves nothing open.
TEST_F(ServiceActionsTest, EveryActionReportsAMissingPrinter) {
  using Action = std::function<printer::Result(printer::Session&)>;
  const auto state = [](service::StateReading (*read)(printer::Session&)) {
    return Action([read](printer::Session& s) {
      const service::StateReading reading = read(s);
      EXPECT_FALSE(reading.bitSet);
      return reading.result;
    });
  };
  const std::vector<std::pair<const char*, Action>> actions = {
      {"feed", service::FeedOneLine},
      {"logo", service::PrintStoredLogo},
      {"kick", service::KickDrawer},
      {"kick and read", state(service::KickDrawerAndReadState)},
      {"drawer", state(service::ReadDrawerState)},
      {"paper", state(service::ReadPaperSensor)},
      {"signal", service::SoundSignal},
      {"cut", service::CutWithSampleLines},
      {"self-test", service::RunSelfTest},
  };
  struct Port {
    const char* name;
    Problem problem;
  };
  for (const Port port : {Port{link::kNoPort, Problem::kNoPrinter}, Port{kNoSuchPort, Problem::kCannotOpen}}) {
    SCOPED_TRACE(port.name);
    session->SetPort(port.name);
    for (const auto& [name, action] : actions) {
      SCOPED_TRACE(name);
      printer::Result result;
      EXPECT_TRUE(Record([&] { result = action(*session); }).empty());
      EXPECT_EQ(result.problem, port.problem);
      EXPECT_EQ(result.port, port.name);
      EXPECT_FALSE(LinkOpen());
    }
  }
  EXPECT_TRUE(sim.Log().empty());
  // The kick waits even when its port did not open: twice for each port.
  EXPECT_EQ(sleeper.Waits(), std::vector<milliseconds>(4, milliseconds{300}));
}

TEST_F(ServiceActionsTest, AbsentPortSaysWhy) {
  session->SetPort(kNoSuchPort);
  const printer::Result result = service::FeedOneLine(*session);
  EXPECT_EQ(result.problem, Problem::kCannotOpen);
  EXPECT_EQ(result.openFailure, link::OpenFailure::kAbsent);
}

// Run over a link that is open already, an action uses it and closes it.
TEST_F(ServiceActionsTest, ActionOverALinkThatIsAlreadyOpenClosesIt) {
  ASSERT_EQ(session->Open(milliseconds{300}), link::Status::kOk);
  EXPECT_EQ(service::ReadPaperSensor(*session).bitSet, std::optional<bool>(false));
  EXPECT_FALSE(LinkOpen());
}

}  // namespace
}  // namespace zelka::testing
