// The identification on the session's printer: every value, failures as nothing, the
// queries on the wire in their order, the listener's steps, pausing and going on.
#include "discovery/identify.h"

#include "commands/text_line.h"
#include "discovery/identity_words.h"
#include "support/printer_states.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using discovery::IdentifyOutcome;
using discovery::IdentifyPrinter;
using discovery::Next;
using discovery::Step;
using service::PaperWidth;

// The steps in the order they run.
const std::vector<Step> kAllSteps = {
    Step::kModel,          Step::kModelSettings,       Step::kSerialNumber,
    Step::kBootFirmwareNumber, Step::kBootFirmwareVersion, Step::kMainFirmwareNumber,
    Step::kMainFirmwareVersion, Step::kPaper,          Step::kDrawer,
    Step::kLogo,           Step::kPaperWidth,          Step::kBuildDate};

// The queries of a whole identification of a reference model on 80 mm paper.
const std::vector<std::string> kReferenceTraffic = {
    "GS I @", "US 0x07", "US 0x07",  // model, cut line, density
    "GS I @", "GS I @", "GS I @", "GS I @", "GS I @",
    "GS r", "GS r", "GS I", "US 0x07", "GS I @"};

class IdentificationTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
  }
  // Identifies from `from`, recording the steps; `stopAt` gets `stop` back.
  IdentifyOutcome Identify(Step from = Step::kModel, discovery::Identity identity = {},
                           std::optional<Step> stopAt = std::nullopt, Next stop = Next::kPause) {
    steps.clear();
    return IdentifyPrinter(
        *session,
        [&](Step step, const discovery::Identity&) {
          steps.push_back(step);
          return step == stopAt ? stop : Next::kGoOn;
        },
        from, std::move(identity));
  }
  std::vector<Step> steps;
};

TEST_F(IdentificationTest, ReferencePrinterGivesEveryValueInOrder) {
  sim.Update(MakeReferencePrinter);
  session->model = commands::PrinterModel::kOther;

  const IdentifyOutcome outcome = Identify();
  const discovery::Identity& id = outcome.identity;

  EXPECT_EQ(id.model, "Printer Zelka  ");
  EXPECT_EQ(id.serialNumber, "ZK00012345");
  EXPECT_EQ(id.bootFirmwareNumber, "ZELKA-000001");
  EXPECT_EQ(id.bootFirmwareVersion, "1.05");
  EXPECT_EQ(id.mainFirmwareNumber, "ZELKA-000101");
  EXPECT_EQ(id.mainFirmwareVersion, "2.10");
  EXPECT_EQ(id.paperPresent, true);
  EXPECT_EQ(id.drawerClosed, true);
  EXPECT_EQ(id.logoStored, true);
  EXPECT_EQ(id.buildDate, "2026-11-03");
  EXPECT_TRUE(id.referenceModel);
  EXPECT_EQ(id.cutLine, 30);
  EXPECT_EQ(id.density, 10);
  EXPECT_EQ(id.paperWidth, PaperWidth::k80mm);
  EXPECT_FALSE(id.paperWidthAfterSwitch);
  EXPECT_FALSE(id.bootFirmwareOutdated);
  EXPECT_EQ(session->model, commands::PrinterModel::kReference);
  EXPECT_EQ(session->paperWidthMm, 80);

  EXPECT_EQ(steps, kAllSteps);
  EXPECT_FALSE(outcome.stoppedAfter);
  EXPECT_FALSE(outcome.abandoned);
  EXPECT_EQ(sim.CommandNames(), kReferenceTraffic);
  EXPECT_FALSE(session->Link().IsOpen());

  const std::vector<std::pair<Step, std::string>> words = {
      {Step::kModel, "Printer Zelka  "}, {Step::kSerialNumber, "ZK00012345"},
      {Step::kBootFirmwareNumber, "ZELKA-000001"}, {Step::kBootFirmwareVersion, "1.05"},
      {Step::kMainFirmwareNumber, "ZELKA-000101"}, {Step::kMainFirmwareVersion, "2.10"},
      {Step::kPaper, "есть"}, {Step::kDrawer, "Закрыт"}, {Step::kLogo, "Загружен"},
      {Step::kBuildDate, "2026-11-03"}};
  for (const auto& [step, text] : words) {
    EXPECT_EQ(discovery::StepValueText(step, id), text) << static_cast<int>(step);
  }
}

TEST_F(IdentificationTest, StateBitsInWords) {
  sim.Update([](sim::PrinterState& s) {
    s.paperSensor = 0x01;
    s.drawerStatus = 0x00;
    s.logoState = 0x02;
  });
  const auto id = Identify().identity;
  EXPECT_EQ(id.paperPresent, false);
  EXPECT_EQ(id.drawerClosed, false);
  EXPECT_EQ(id.logoStored, false);
  EXPECT_EQ(discovery::StepValueText(Step::kPaper, id), "отсутствует");
  EXPECT_EQ(discovery::StepValueText(Step::kDrawer, id), "Открыт");
  EXPECT_EQ(discovery::StepValueText(Step::kLogo, id), "Отсутствует");
}

TEST_F(IdentificationTest, OnlyTheReferenceModelReadsItsSettings) {
  struct Case {
    const char* model;
    bool reference;
  };
  for (const Case& c : {Case{"printer zelka", false}, Case{" Printer Zelka\t", true},
                        Case{"Other 5", false}}) {
    SCOPED_TRACE(c.model);
    sim.ClearLog();
    sim.Update([&](sim::PrinterState& s) { s.modelReply = sim::MakeTextReply(c.model, 17); });
    session->model = c.reference ? commands::PrinterModel::kOther : commands::PrinterModel::kReference;

    const auto id = Identify().identity;

    EXPECT_EQ(id.model, c.model);
    EXPECT_EQ(id.referenceModel, c.reference);
    EXPECT_EQ(session->model,
              c.reference ? commands::PrinterModel::kReference : commands::PrinterModel::kOther);
    EXPECT_EQ(id.cutLine.has_value(), c.reference);
    EXPECT_EQ(id.density.has_value(), c.reference);
    const auto names = sim.CommandNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[1], c.reference ? "US 0x07" : "GS I @") << "settings read right after the model";
  }
}

TEST_F(IdentificationTest, OutdatedBootFirmwareIsFlagged) {
  const std::vector<std::pair<std::string, bool>> versions = {
      {"1.01", true}, {"1.02", false}, {"1.02.", false}, {"1.1", false},
      {" 1.05", true}, {"", true}, {"0.99", true}, {"1.0", true}};
  for (const auto& [version, outdated] : versions) {
    SCOPED_TRACE("version '" + version + "'");
    sim.Update([&](sim::PrinterState& s) { s.bootVersionReply = sim::MakeTextReply(version, 6); });
    const auto id = Identify().identity;
    EXPECT_EQ(id.bootFirmwareVersion, version);
    EXPECT_EQ(id.bootFirmwareOutdated, outdated);
    EXPECT_EQ(discovery::IsOutdatedBootVersion(version), outdated);
    EXPECT_EQ(discovery::StepValueText(Step::kBootFirmwareVersion, id), version);
  }
  EXPECT_TRUE(discovery::IsOutdatedBootVersion("1.01"));
  EXPECT_FALSE(discovery::IsOutdatedBootVersion("1.02.1"));

  // A failed read is not reported as outdated.
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x97}, .kind = sim::Fault::Kind::Silent});
  const auto failed = Identify().identity;
  EXPECT_FALSE(failed.bootFirmwareVersion);
  EXPECT_FALSE(failed.bootFirmwareOutdated);
}

TEST_F(IdentificationTest, PaperWidthAndThe57mmSwitch) {
  struct Case {
    const char* name;
    std::optional<std::uint8_t> width;  // nothing = the read fails
    PaperWidth read;
    std::optional<PaperWidth> afterSwitch;
    std::vector<std::string> tail;  // traffic after GS I 4
  };
  const std::vector<Case> cases = {
      {"80 mm", 0, PaperWidth::k80mm, std::nullopt, {"US 0x07", "GS I @"}},
      {"57 mm", 1, PaperWidth::k57mm, PaperWidth::k57mm, {"US 0x07", "US 0x03", "US 0x07", "GS I @"}},
      {"unknown", 2, PaperWidth::kOther, std::nullopt, {"US 0x07", "GS I @"}},
      {"failed read", std::nullopt, PaperWidth::kUnknown, std::nullopt, {"US 0x07", "GS I @"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearLog();
    sim.Update([&](sim::PrinterState& s) { s.parameters[8] = c.width.value_or(0); });
    if (!c.width) sim.AddFault({.prefix = {0x1F, 0x07, 0x08}, .kind = sim::Fault::Kind::Silent});

    const auto id = Identify().identity;

    EXPECT_EQ(id.paperWidth, c.read);
    EXPECT_EQ(id.paperWidthAfterSwitch, c.afterSwitch);
    EXPECT_EQ(id.buildDate.has_value(), true) << "the build date is still read";
    auto names = sim.CommandNames();
    ASSERT_GE(names.size(), c.tail.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<long>(c.tail.size()), names.end()),
              c.tail);
    EXPECT_EQ(session->paperWidthMm, 80) << "text lines stay at 80 mm";
    EXPECT_FALSE(session->Link().IsOpen());
  }
  // The 57 mm write is the width, and what the printer stores.
  sim.ClearFaults();
  sim.ClearLog();
  sim.Update([](sim::PrinterState& s) { s.parameters[8] = 1; });
  Identify();
  std::vector<Bytes> writes;
  for (const auto& e : sim.Log()) {
    if (e.name == "US 0x03") writes.push_back(e.bytes);
  }
  EXPECT_EQ(writes, (std::vector<Bytes>{{0x1F, 0x03, 0x08, 0x01}}));
  EXPECT_EQ(sim.State().parameters.at(8), 1);
}

TEST_F(IdentificationTest, PrinterThatStopsAnsweringMidwayGivesNothingForThoseValues) {
  // From the main firmware version on the printer answers short or not at all.
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0xA3}, .kind = sim::Fault::Kind::Partial, .bytes = 3});
  sim.AddFault({.prefix = {0x1D, 0x72, 0x32}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x49, 0x34}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x63}, .kind = sim::Fault::Kind::Silent});

  const auto outcome = Identify();
  const auto& id = outcome.identity;

  EXPECT_TRUE(id.mainFirmwareNumber);
  EXPECT_FALSE(id.mainFirmwareVersion);
  EXPECT_TRUE(id.paperPresent);
  EXPECT_FALSE(id.drawerClosed);
  EXPECT_FALSE(id.logoStored);
  EXPECT_FALSE(id.buildDate);
  for (Step step : {Step::kMainFirmwareVersion, Step::kDrawer, Step::kLogo, Step::kBuildDate}) {
    EXPECT_FALSE(discovery::StepValueText(step, id)) << static_cast<int>(step);
  }
  EXPECT_EQ(steps, kAllSteps) << "every step still runs";
  EXPECT_EQ(sim.CommandNames(), kReferenceTraffic);
}

TEST_F(IdentificationTest, FailedModelQueryReadsNoSettingsAndKeepsTheSessionModel) {
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x27}, .kind = sim::Fault::Kind::Silent});
  session->model = commands::PrinterModel::kReference;

  const auto id = Identify().identity;

  EXPECT_FALSE(id.model);
  EXPECT_FALSE(id.referenceModel);
  EXPECT_FALSE(id.cutLine);
  EXPECT_FALSE(id.density);
  EXPECT_EQ(session->model, commands::PrinterModel::kReference);
  const auto names = sim.CommandNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[1], "GS I @") << "no parameter read after a failed model query";
}

TEST_F(IdentificationTest, EverythingFailingButThePaperSensor) {
  sim.AddFault({.prefix = {0x1D, 0x49}, .kind = sim::Fault::Kind::Silent});
  sim.AddFault({.prefix = {0x1D, 0x72, 0x32}, .kind = sim::Fault::Kind::Silent});
  const auto id = Identify().identity;
  for (int n = 1; n <= 10; ++n) {
    const Step step = static_cast<Step>(n);
    const auto text = discovery::StepValueText(step, id);
    if (step == Step::kPaper) {
      EXPECT_EQ(text, "есть");
    } else {
      EXPECT_FALSE(text) << n;
    }
  }
}

TEST_F(IdentificationTest, PauseStopsAfterTheStepAndGoingOnReadsOnlyTheRest) {
  const auto paused = Identify(Step::kModel, {}, Step::kBootFirmwareVersion, Next::kPause);
  EXPECT_EQ(paused.stoppedAfter, Step::kBootFirmwareVersion);
  EXPECT_FALSE(paused.abandoned);
  EXPECT_EQ(steps, std::vector<Step>(kAllSteps.begin(), kAllSteps.begin() + 5));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>(kReferenceTraffic.begin(),
                                                         kReferenceTraffic.begin() + 6));
  EXPECT_FALSE(session->Link().IsOpen()) << "the printer is free during the pause";
  EXPECT_TRUE(paused.identity.bootFirmwareVersion);
  EXPECT_FALSE(paused.identity.mainFirmwareNumber);

  const auto rest = Identify(Step::kMainFirmwareNumber, paused.identity);
  EXPECT_FALSE(rest.stoppedAfter);
  EXPECT_EQ(steps, std::vector<Step>(kAllSteps.begin() + 5, kAllSteps.end()));
  EXPECT_EQ(sim.CommandNames(), kReferenceTraffic) << "no query repeated or left out";
  EXPECT_EQ(rest.identity.model, paused.identity.model) << "earlier values are kept";
  EXPECT_EQ(rest.identity.cutLine, paused.identity.cutLine);
  EXPECT_TRUE(rest.identity.mainFirmwareNumber);
  EXPECT_TRUE(rest.identity.buildDate);
  EXPECT_FALSE(session->Link().IsOpen());
}

TEST_F(IdentificationTest, AbandonSendsNothingMoreAndClosesThePort) {
  const auto outcome = Identify(Step::kModel, {}, Step::kSerialNumber, Next::kAbandon);
  EXPECT_TRUE(outcome.abandoned);
  EXPECT_EQ(outcome.stoppedAfter, Step::kSerialNumber);
  EXPECT_EQ(steps, (std::vector<Step>{Step::kModel, Step::kModelSettings, Step::kSerialNumber}));
  EXPECT_EQ(sim.CommandNames(), (std::vector<std::string>{"GS I @", "US 0x07", "US 0x07", "GS I @"}));
  EXPECT_FALSE(session->Link().IsOpen());
  EXPECT_TRUE(outcome.identity.serialNumber);
}

TEST_F(IdentificationTest, ListenerSeesTheValuesReadSoFar) {
  std::vector<bool> modelKnown, serialKnown;
  IdentifyPrinter(*session, [&](Step, const discovery::Identity& id) {
    modelKnown.push_back(id.model.has_value());
    serialKnown.push_back(id.serialNumber.has_value());
    return Next::kGoOn;
  });
  ASSERT_EQ(modelKnown.size(), kAllSteps.size());
  EXPECT_TRUE(modelKnown[0]);
  EXPECT_FALSE(serialKnown[1]);
  EXPECT_TRUE(serialKnown[2]);
}

TEST_F(IdentificationTest, NoPrinterKnownSendsNothing) {
  session->SetPort("0");
  const auto id = Identify().identity;
  EXPECT_FALSE(id.model);
  EXPECT_FALSE(id.paperPresent);
  EXPECT_EQ(id.paperWidth, PaperWidth::kUnknown);
  EXPECT_TRUE(sim.Log().empty());
}


}  // namespace
}  // namespace zelka::testing
