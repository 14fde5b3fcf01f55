// The one-button service actions against a simulated printer: frames, labels, message.
#include "service/service_actions.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "link/link_lock.h"
#include "link/serial_link.h"
#include "sim/render/cp866.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using std::chrono::milliseconds;
using Writes = std::vector<Bytes>;

constexpr const char* kNoSuchPort = "/dev/zelka-no-such-port";
const Bytes kKick{0x1B, 0x70, 0x30, 0x96, 0x96};
const Bytes kDrawerQuery{0x1B, 0x75, 0x00};
const Bytes kStatusDrawerQuery{0x1D, 0x72, 0x32};
const Bytes kPaperQuery{0x1D, 0x72, 0x31};
const Bytes kBeep{0x1B, 0x07};
const Bytes kSelfTest{0x1F, 0x74};
const Bytes kPaperStatusQuery{0x1B, 0x76};
const Bytes kCrLf{0x0D, 0x0A};

class ServiceActionsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    MakeForm();
    CurrentPortName = sim.PortName();
  }
  std::string Caption(const char* label) { return Window().Caption(label); }
  std::uint32_t Colour(const char* label) { return Window().Colour(label); }
  void ExpectValue(const char* label, const std::string& caption) {
    EXPECT_EQ(Caption(label), caption);
    EXPECT_EQ(Colour(label), seams::kWindowTextColour);
  }
  void ExpectNoData(const char* label) {
    EXPECT_EQ(Caption(label), "Нет данных");
    EXPECT_EQ(Colour(label), seams::kRedColour);
  }
};

// The reply byte decides by bit 0 alone; GS r 2 has no "unknown" value.
TEST_F(ServiceActionsTest, DrawerStatusShowsBitZeroOfTheReply) {
  const std::vector<std::pair<std::uint8_t, const char*>> cases = {
      {0x00, "Открыт"}, {0x01, "Закрыт"}, {0x03, "Закрыт"}, {0xFE, "Открыт"}, {0xFF, "Закрыт"}};
  for (const auto& [reply, caption] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    TxRecorder tx;
    sim.Update([reply = reply](sim::PrinterState& s) { s.drawerStatus = reply; });
    Click("Button4");
    ExpectValue("Label18", caption);
    EXPECT_EQ(tx.Writes(), Writes{kStatusDrawerQuery});
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(ServiceActionsTest, KickThenDrawerQueryWhere0xFFMeansNoData) {
  const std::vector<std::pair<std::uint8_t, const char*>> cases = {
      {0x01, "Закрыт"}, {0x00, "Открыт"}, {0x03, "Закрыт"}, {0xFF, nullptr}};
  for (const auto& [reply, caption] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    TxRecorder tx;
    sim.Update([reply = reply](sim::PrinterState& s) { s.escUReply = reply; });
    Click("Button2");
    if (caption) {
      ExpectValue("Label18", caption);
    } else {
      ExpectNoData("Label18");
    }
    EXPECT_EQ(tx.Writes(), (Writes{kKick, kDrawerQuery}));
    EXPECT_FALSE(PortIsOpen);
  }
  // The same byte to GS r 2 is an ordinary "closed".
  sim.Update([](sim::PrinterState& s) { s.drawerStatus = 0xFF; });
  Click("Button4");
  ExpectValue("Label18", "Закрыт");
}

// Records each wait together with how many frames had been written by then.
class OrderedSleeper final : public seams::Sleeper {
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
  seams::SetSleeper(&ordered);
  Click("Button2");
  seams::SetSleeper(&sleeper);
  EXPECT_EQ(ordered.waits, (std::vector<std::pair<milliseconds, std::size_t>>{{milliseconds{300}, 1}}));
  EXPECT_EQ(tx.Writes().size(), 2u);
}

TEST_F(ServiceActionsTest, PaperSensorShowsLowerCaseAbsenceAndRedTurnsBack) {
  const std::vector<std::pair<std::uint8_t, const char*>> cases = {
      {0x01, "отсутствует"}, {0x00, "есть"}, {0x81, "отсутствует"}};
  for (const auto& [reply, caption] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    TxRecorder tx;
    sim.Update([reply = reply](sim::PrinterState& s) { s.paperSensor = reply; });
    Click("Button6");
    ExpectValue("Label16", caption);
    EXPECT_EQ(tx.Writes(), Writes{kPaperQuery});
  }
  // A printer that answers nothing, then answers again.
  sim.Update([](sim::PrinterState& s) { s.paperSensor = 0x00; });
  sim.SetSilent(true);
  Click("Button6");
  ExpectNoData("Label16");
  sim.SetSilent(false);
  Click("Button6");
  ExpectValue("Label16", "есть");
}

// A printer that answers more than it was asked: the rest must not pass for the next answer.
TEST_F(ServiceActionsTest, ExtraReplyBytesDoNotReachTheNextQuery) {
  sim.AddFault({.prefix = kPaperQuery, .kind = sim::Fault::Kind::Reply, .reply = {0x00, 0x01, 0x01},
                .times = 1});
  Click("Button6");
  ExpectValue("Label16", "есть");
  Click("Button6");
  ExpectValue("Label16", "есть");
}

TEST_F(ServiceActionsTest, SelfDiagnosisReportsAnyAnswerAsHealthy) {
  for (std::uint8_t reply : {0x00, 0x01, 0xFF}) {
    SCOPED_TRACE(static_cast<int>(reply));
    dialogs.Clear();
    TxRecorder tx;
    sim.Update([reply](sim::PrinterState& s) { s.escVReply = reply; });
    Click("Button17");
    EXPECT_EQ(dialogs.Messages(),
              (std::vector<FakeDialogs::Shown>{{"information", "Принтер исправен"}}));
    // Three separate writes before the query, no reply read between them.
    EXPECT_EQ(tx.Writes(), (Writes{kBeep, kSelfTest, kBeep, kPaperStatusQuery}));
  }
}

TEST_F(ServiceActionsTest, SelfDiagnosisWithoutAnswerShowsNothing) {
  sim.AddFault({.prefix = kPaperStatusQuery, .kind = sim::Fault::Kind::Silent});
  Click("Button17");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(ServiceActionsTest, FeedSignalAndCutSendTheirFrames) {
  struct Case {
    const char* button;
    Writes frames;
  };
  const std::vector<Case> cases = {
      {"Button1", {{0x0A}}},
      {"Button12", {kBeep}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    TxRecorder tx;
    Click(c.button);
    EXPECT_EQ(tx.Writes(), c.frames);
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(ServiceActionsTest, CutPrintsThreeWholeLinesInCodePage866ThenFeedsAndCuts) {
  TxRecorder tx;
  Click("Button13");
  const Writes writes = tx.Writes();
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
}

// No printer at all: the query labels turn red, nothing is shown, nothing hangs.
TEST_F(ServiceActionsTest, EveryActionEndsQuietlyWithoutAPrinter) {
  for (const char* port : {kNoPort, kNoSuchPort}) {
    SCOPED_TRACE(port);
    CurrentPortName = port;
    for (const char* button :
         {"Button1", "Button2", "Button4", "Button6", "Button12", "Button13", "Button17"}) {
      SCOPED_TRACE(button);
      Click(button);
      EXPECT_FALSE(PortIsOpen);
      EXPECT_EQ(PrinterOperation::DepthOnThisThread(), 0);
    }
    ExpectNoData("Label18");
    ExpectNoData("Label16");
  }
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(sim.Log().empty());
  // The kick waits even when its port did not open.
  EXPECT_EQ(sleeper.Waits(), (std::vector<milliseconds>{milliseconds{300}, milliseconds{300}}));
}

// Run inside another operation's open port, an action uses that port and closes it.
TEST_F(ServiceActionsTest, ActionOverAPortThatIsAlreadyOpenClosesIt) {
  PrinterOperation outer;
  ASSERT_EQ(OpenPort(sim.PortName(), kDefaultBaud, 300), kOk);
  Click("Button6");
  ExpectValue("Label16", "есть");
  EXPECT_FALSE(PortIsOpen);
}

}  // namespace
}  // namespace zelka::testing
