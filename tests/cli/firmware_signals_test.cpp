// Signals and broken pipes sent to zelka firmware update at each phase, against a
// simulated printer. Before the boot entry a signal ends the program as ever; from then
// to the end of the transfer it is noted and the update goes on; a second interrupt
// abandons it at the next block, and firmware recover brings the printer back.
#include <QTemporaryDir>

#include <csignal>

#include "cli/cli_fixture.h"
#include "cli/firmware_process.h"

namespace zelka::testing {
namespace {

const Bytes kEnd{0x04};
const Bytes kBlock{0x02};
constexpr std::size_t kBlocks = 40;

class FirmwareSignalsTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    image = Bytes(kBlocks * 256);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 / 7);
    image.back() = 3;  // the simulated printer's board
    file = WriteFile(dir, QStringLiteral("fw.bin"), image);
  }
  QStringList Update() const {
    return {"firmware", "update", file, "-p", QString::fromStdString(sim.PortName()), "-b", "57600"};
  }
  // The reply to block `number` (from 1) waits until the test releases it.
  void HoldBlock(int number) {
    sim.AddFault({.prefix = kBlock, .kind = sim::Fault::Kind::Held, .times = 1, .after = number - 1});
  }
  void ExpectUpdated() {
    EXPECT_EQ(sim.ReceivedImage(), image);
    EXPECT_FALSE(sim.InBootloader());
  }

  QTemporaryDir dir;
  QString file;
  Bytes image;
};

TEST_F(FirmwareSignalsTest, BeforeTheBootEntryASignalEndsTheUpdateAtOnce) {
  // Found at the last rate of the search: the program is still searching when signalled.
  sim.Update([](sim::PrinterState& s) { s.baud = 19200; });
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    sim.ClearLog();
    FirmwareProcess zelka({"firmware", "update", file, "-p", QString::fromStdString(sim.PortName())});
    while (sim.Log().empty() && zelka.Process().state() == QProcess::Running) {
      zelka.Process().waitForFinished(1);
    }
    zelka.Signal(signal);
    ASSERT_TRUE(zelka.Finish());
    EXPECT_EQ(zelka.Process().exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(zelka.Text().find(kGoesOnNote), std::string::npos) << zelka.Text();
    EXPECT_EQ(CountOf("boot entry"), 0u);
  }
}

TEST_F(FirmwareSignalsTest, FromTheBootEntryOnEachSignalIsNotedAndTheUpdateGoesOn) {
  struct Phase {
    const char* what;
    const char* command;  // the program is past it when signalled
    int count;
  };
  for (const Phase phase : {Phase{"in the waits after the boot entry", "boot entry", 1},
                            Phase{"mid-transfer", "BL block", 5}}) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      SCOPED_TRACE(std::string(phase.what) + ", signal " + std::to_string(signal));
      sim.ClearLog();
      sim.ClearFaults();
      if (phase.count == 5) HoldBlock(5);
      // The program cannot have ended before the test has seen its note.
      sim.AddFault({.prefix = kEnd, .kind = sim::Fault::Kind::Held, .times = 1});
      FirmwareProcess zelka(Update());
      ASSERT_TRUE(WaitForLogged(sim, phase.command, phase.count));
      zelka.Signal(signal);
      ASSERT_TRUE(zelka.WaitForText(kGoesOnNote)) << zelka.Text();
      sim.ReleaseHeld();
      ASSERT_TRUE(WaitForLogged(sim, "BL 04", 1));
      sim.ReleaseHeld();
      ASSERT_TRUE(zelka.Finish());
      EXPECT_EQ(zelka.Process().exitStatus(), QProcess::NormalExit);
      EXPECT_EQ(zelka.Process().exitCode(), 0) << zelka.Text();
      ExpectUpdated();
    }
  }
}

TEST_F(FirmwareSignalsTest, SecondInterruptAbandonsAtTheNextBlockAndRecoverFinishesTheJob) {
  HoldBlock(5);
  FirmwareProcess zelka(Update());
  ASSERT_TRUE(WaitForLogged(sim, "BL block", 5));
  zelka.Signal(SIGINT);
  ASSERT_TRUE(zelka.WaitForText(kGoesOnNote)) << zelka.Text();
  zelka.Signal(SIGINT);
  ASSERT_TRUE(zelka.WaitForText("abandoning")) << zelka.Text();
  sim.ReleaseHeld();
  ASSERT_TRUE(zelka.Finish());
  EXPECT_EQ(zelka.Process().exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(zelka.Process().exitCode(), 1);
  const std::string advice = "zelka firmware recover " + file.toStdString() + " --board 3 --port " + sim.PortName();
  EXPECT_NE(zelka.Text().find(advice), std::string::npos) << zelka.Text();
  EXPECT_EQ(CountOf("BL block"), 5u);
  EXPECT_EQ(CountOf("BL 04"), 0u);
  EXPECT_TRUE(sim.InBootloader());

  const CliRun recovered = RunZelka({"firmware", "recover", file, "--board", "3", "--port",
                                     QString::fromStdString(sim.PortName())},
                                    {.environment = ShortWaits()});
  EXPECT_EQ(recovered.exitCode, 0) << recovered.Err();
  ExpectUpdated();
}

// As in "zelka firmware update fw.bin 2>&1 | head -n 3": the reader goes after three
// lines, and the progress that follows is dropped, not the program.
TEST_F(FirmwareSignalsTest, BrokenPipeDropsTheProgressAndTheUpdateGoesOn) {
  HoldBlock(3);
  FirmwareProcess zelka(Update(), QProcess::MergedChannels);
  ASSERT_TRUE(zelka.WaitForLines(3)) << zelka.Text();
  ASSERT_TRUE(WaitForLogged(sim, "BL block", 3));
  zelka.Process().closeReadChannel(QProcess::StandardOutput);
  sim.ReleaseHeld();
  ASSERT_TRUE(zelka.Finish());
  EXPECT_EQ(zelka.Process().exitStatus(), QProcess::NormalExit);
  ExpectUpdated();
}

}  // namespace
}  // namespace zelka::testing
