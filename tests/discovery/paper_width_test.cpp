// The paper-width switches: parameter 8 written and read back once, over the printer's
// port opened for it or over the link that is open already.
#include "service/paper_width.h"

#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using service::PaperWidth;

constexpr std::chrono::milliseconds kTimeout{500};

class PaperWidthTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
  }
  std::vector<Bytes> Frames() {
    std::vector<Bytes> frames;
    for (const auto& e : sim.Log()) frames.push_back(e.bytes);
    return frames;
  }
};

TEST_F(PaperWidthTest, SwitchWritesTheWidthAndReadsItBackOnce) {
  struct Case {
    const char* name;
    PaperWidth width;
    std::optional<Bytes> readReply;  // instead of the printer's own
    PaperWidth reported;
    std::uint8_t stored;
  };
  const std::vector<Case> cases = {
      {"57 mm taken", PaperWidth::k57mm, std::nullopt, PaperWidth::k57mm, 1},
      {"80 mm taken", PaperWidth::k80mm, std::nullopt, PaperWidth::k80mm, 0},
      {"printer keeps 80 mm", PaperWidth::k57mm, Bytes{0x00}, PaperWidth::k80mm, 1},
      {"printer keeps 57 mm", PaperWidth::k80mm, Bytes{0x01}, PaperWidth::k57mm, 0},
      {"other width", PaperWidth::k57mm, Bytes{0x02}, PaperWidth::kOther, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearLog();
    if (c.readReply) {
      sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Reply, .reply = *c.readReply});
    }
    EXPECT_EQ(service::SwitchPaperWidth(*session, c.width), c.reported);
    EXPECT_EQ(Frames(), (std::vector<Bytes>{{0x1F, 0x03, 0x08, c.stored}, {0x1F, 0x07, 0x08}}));
    EXPECT_EQ(sim.State().parameters.at(8), c.stored);
    EXPECT_FALSE(session->Link().IsOpen());
  }
  // No answer to the read.
  sim.ClearFaults();
  sim.AddFault({.prefix = {0x1F, 0x07}, .kind = sim::Fault::Kind::Silent});
  EXPECT_EQ(service::SwitchPaperWidth(*session, PaperWidth::k57mm), PaperWidth::kUnknown);
}

TEST_F(PaperWidthTest, NoPrinterKnownSendsNothing) {
  session->SetPort("0");
  EXPECT_FALSE(service::SwitchPaperWidth(*session, PaperWidth::k57mm));
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(PaperWidthTest, InsideAnOpenLinkLeavesItOpen) {
  ASSERT_EQ(session->Open(kTimeout), link::Status::kOk);
  EXPECT_EQ(service::SwitchPaperWidth(*session, PaperWidth::k57mm), PaperWidth::k57mm);
  EXPECT_TRUE(session->Link().IsOpen());
  session->CloseAll();
}

TEST_F(PaperWidthTest, ReadPaperWidthNamesTheValue) {
  const std::vector<std::pair<std::optional<std::uint8_t>, PaperWidth>> cases = {
      {0, PaperWidth::k80mm}, {1, PaperWidth::k57mm}, {2, PaperWidth::kOther},
      {255, PaperWidth::kOther}, {std::nullopt, PaperWidth::kUnknown}};
  ASSERT_EQ(session->Open(kTimeout), link::Status::kOk);
  for (const auto& [value, width] : cases) {
    SCOPED_TRACE(value ? int{*value} : -1);
    sim.ClearFaults();
    sim.Update([&](sim::PrinterState& s) { s.parameters[8] = value.value_or(0); });
    if (!value) sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Silent});
    EXPECT_EQ(service::ReadPaperWidth(session->Link()), width);
  }
  session->CloseAll();
}

TEST_F(PaperWidthTest, CheckReadsWrites57mmAndReadsAgain) {
  service::CheckPaperWidthSwitch(*session);
  EXPECT_EQ(Frames(), (std::vector<Bytes>{{0x1F, 0x07, 0x08}, {0x1F, 0x03, 0x08, 0x01}, {0x1F, 0x07, 0x08}}));
  EXPECT_EQ(sim.State().parameters.at(8), 1);
  EXPECT_FALSE(session->Link().IsOpen());
}

}  // namespace
}  // namespace zelka::testing
