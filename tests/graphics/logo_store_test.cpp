// The stored logo against a simulated printer: the load frame, the state query and the
// erase, and what each reports when the port or the printer fails.
#include "graphics/logo_store.h"

#include <algorithm>

#include "graphics/graphics_fixture.h"
#include "graphics/messages.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using printer::Problem;

const Bytes kLogoStateQuery{0x1D, 0x49, 0x34};
const Bytes kEraseLogo{0x1D, 0x40, 0x31};

Bytes LoadFrame(const Bytes& file) {
  Bytes frame(file.size() + 1, 0x1B);
  std::copy(file.begin(), file.end(), frame.begin() + 1);
  return frame;
}

class LogoStoreTest : public GraphicsFixture {
 protected:
  graphics::Logo Load(const std::string& name, const Bytes& file) {
    graphics::Logo logo;
    EXPECT_EQ(graphics::LoadLogo(WriteFile(name, file), logo), BitmapError::kNone) << name;
    return logo;
  }
};

TEST_F(LogoStoreTest, LoadSendsTheFileBehindEscInOneWriteThenTheStateSaysStored) {
  const Bytes file = MakeBitmap({384, 20});
  const graphics::Logo logo = Load("logo.bmp", file);
  EXPECT_EQ(logo.file, file);

  const printer::Result sent = graphics::SendLogo(*session, logo);
  EXPECT_TRUE(sent.Ok());
  EXPECT_EQ(sent.port, sim.PortName());
  EXPECT_FALSE(PortIsOpen());
  const service::StateReading state = graphics::ReadLogoState(*session);
  EXPECT_TRUE(state.result.Ok());
  EXPECT_EQ(state.bitSet, true);
  EXPECT_FALSE(PortIsOpen());

  const auto writes = tx.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].size(), file.size() + 1);
  EXPECT_EQ((Bytes{writes[0][0], writes[0][1], writes[0][2]}), (Bytes{0x1B, 'B', 'M'}));
  EXPECT_EQ(writes[0], LoadFrame(file));
  EXPECT_EQ(writes[1], kLogoStateQuery);
  const auto commands = CommandsOnceThere(2);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].name, "logo");
  EXPECT_EQ(commands[0].bytes, LoadFrame(file));
  EXPECT_EQ(commands[1].name, "GS I");
}

TEST_F(LogoStoreTest, StateIsBitZeroOfTheReply) {
  const std::pair<std::uint8_t, bool> cases[] = {{0x00, false}, {0x01, true}, {0xFE, false},
                                                 {0xFF, true}, {0x81, true}};
  for (const auto& [reply, stored] : cases) {
    SCOPED_TRACE(static_cast<int>(reply));
    sim.ClearFaults();
    sim.AddFault({.prefix = kLogoStateQuery, .kind = sim::Fault::Kind::Reply, .reply = {reply}});
    const service::StateReading state = graphics::ReadLogoState(*session);
    EXPECT_TRUE(state.result.Ok());
    EXPECT_EQ(state.bitSet, stored);
  }
  EXPECT_EQ(tx.Writes(), std::vector<Bytes>(std::size(cases), kLogoStateQuery));
}

TEST_F(LogoStoreTest, PrinterThatGoesOffAfterTheFileGivesNoState) {
  ASSERT_TRUE(graphics::SendLogo(*session, Load("logo.bmp", MakeBitmap({64, 8}))).Ok());
  // The printer goes off as the state query goes out.
  WriteHook hook([&](std::size_t, std::span<const std::uint8_t>) { sim.Stop(); });
  session->SetLinkObserver(&hook);
  const service::StateReading state = graphics::ReadLogoState(*session);
  EXPECT_EQ(state.result.problem, Problem::kNoReply);
  EXPECT_FALSE(state.bitSet);
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(LogoStoreTest, OneBitBitmapGoesUnchangedUpToTheBufferLimitOtherDepthsAreConverted) {
  const Bytes colour = MakeBitmap({40, 6, 24});
  const Bytes largest = PaddedTo(MakeBitmap({8, 1}), graphics::kLogoFileLimit);
  ASSERT_EQ(largest.size(), 740959u);
  // A one-bit file wider than the paper is the user's to send: it goes as it is.
  const Bytes wide = MakeBitmap({1000, 3});
  EXPECT_TRUE(graphics::SendLogo(*session, Load("colour.bmp", colour)).Ok());
  EXPECT_TRUE(graphics::SendLogo(*session, Load("largest.bmp", largest)).Ok());
  EXPECT_TRUE(graphics::SendLogo(*session, Load("wide.bmp", wide)).Ok());

  const auto writes = tx.Writes();
  ASSERT_EQ(writes.size(), 3u);
  // The printer stores one-bit logos only: 24 bits become one, 40 × 6 dots.
  ASSERT_EQ(writes[0].size(), 1u + 62 + 8 * 6);
  const Bytes converted(writes[0].begin() + 1, writes[0].end());
  EXPECT_EQ(converted[28], 1) << "bits per pixel";
  EXPECT_EQ(converted[18], 40) << "width";
  EXPECT_EQ(converted[22], 6) << "height";
  EXPECT_EQ(writes[1].size(), 740960u);
  EXPECT_EQ(writes[1], LoadFrame(largest));
  EXPECT_EQ(writes[2], LoadFrame(wide));
  const auto commands = CommandsOnceThere(3);
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[1].name, "logo");
  EXPECT_EQ(commands[1].bytes.size(), 740960u);
}

TEST_F(LogoStoreTest, PortThatDoesNotOpenIsAnErrorNotASuccess) {
  const graphics::Logo logo = Load("logo.bmp", MakeBitmap({64, 8}));
  UseAbsentPrinter();
  const printer::Result sent = graphics::SendLogo(*session, logo);
  EXPECT_EQ(sent.problem, Problem::kCannotOpen);
  EXPECT_EQ(sent.openFailure, link::OpenFailure::kAbsent);
  EXPECT_EQ(sent.port, session->Port());
  for (const service::StateReading& state :
       {graphics::ReadLogoState(*session), graphics::EraseLogo(*session)}) {
    EXPECT_EQ(state.result.problem, Problem::kCannotOpen);
    EXPECT_FALSE(state.bitSet) << "nothing was learnt of the printer";
  }
  session->SetPort(link::kNoPort);
  EXPECT_EQ(graphics::SendLogo(*session, logo).problem, Problem::kNoPrinter);
  EXPECT_TRUE(tx.Writes().empty());
}

TEST_F(LogoStoreTest, FileThatIsNotWrittenWholeIsAnError) {
  const graphics::Logo logo = Load("logo.bmp", MakeBitmap({64, 8}));
  // The printer vanishes as the file goes out.
  WriteHook hook([&](std::size_t, std::span<const std::uint8_t>) { sim.Stop(); });
  session->SetLinkObserver(&hook);
  EXPECT_EQ(graphics::SendLogo(*session, logo).problem, Problem::kNotSent);
  EXPECT_EQ(hook.Writes(), 1u);
  EXPECT_FALSE(PortIsOpen());
  EXPECT_FALSE(graphics::ReadLogoState(*session).bitSet);
}

TEST_F(LogoStoreTest, EraseSendsThreeBytesThenTheStateQuery) {
  sim.Update([](sim::PrinterState& s) { s.logoState = 0x01; });
  const service::StateReading state = graphics::EraseLogo(*session);
  EXPECT_EQ(tx.Writes(), (std::vector<Bytes>{kEraseLogo, kLogoStateQuery}));
  EXPECT_TRUE(state.result.Ok());
  EXPECT_EQ(state.bitSet, false);
  EXPECT_EQ(sim.State().logoState & 1, 0);
  EXPECT_FALSE(PortIsOpen());

  // A printer that goes off after the erase answers nothing.
  WriteHook hook([&](std::size_t n, std::span<const std::uint8_t>) {
    if (n == 2) sim.Stop();
  });
  session->SetLinkObserver(&hook);
  const service::StateReading silent = graphics::EraseLogo(*session);
  EXPECT_EQ(silent.result.problem, Problem::kNoReply);
  EXPECT_FALSE(silent.bitSet);
  EXPECT_EQ(hook.Writes(), 2u);
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(LogoStoreTest, EraseThatIsNotWrittenIsReportedAndTheStateIsAskedAllTheSame) {
  WriteHook hook([&](std::size_t n, std::span<const std::uint8_t>) {
    if (n == 1) sim.Stop();
  });
  session->SetLinkObserver(&hook);
  const service::StateReading state = graphics::EraseLogo(*session);
  EXPECT_EQ(state.result.problem, Problem::kNotSent) << "the first failure is the one told";
  EXPECT_FALSE(state.bitSet);
  EXPECT_EQ(hook.Writes(), 2u);
  EXPECT_FALSE(PortIsOpen());
}

}  // namespace
}  // namespace zelka::testing
