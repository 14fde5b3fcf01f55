// One job holds its port from its start to its end, against other programs too: while
// a firmware update runs here (the code every front end runs), a zelka started on the
// same port in any phase of it, the port open or closed between steps, is told that the
// port is busy and sends nothing.
#include <QTemporaryDir>

#include <csignal>
#include <functional>

#include "cli/cli_fixture.h"
#include "cli/firmware_process.h"
#include "firmware/update_firmware.h"
#include "link/port_lock.h"

namespace zelka::testing {
namespace {

// Runs `during` at every wait of the job, while it sleeps (mostly with its port closed).
class ActingSleeper final : public printer::Sleeper {
 public:
  void SleepFor(std::chrono::milliseconds duration) override {
    if (during) during(duration);
  }
  std::function<void(std::chrono::milliseconds)> during;
};

// Runs `during` as frames go out, with the port open.
class FrameHook final : public link::Observer {
 public:
  void OnSent(const std::string&, int, std::span<const std::uint8_t> bytes) override {
    if (during) during(Bytes(bytes.begin(), bytes.end()));
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  std::function<void(const Bytes&)> during;
};

class PortLockTest : public CliFixture {
 protected:
  // Another program that wants the port: a beep at the printer's rate.
  CliRun Beep() { return OnPrinter({"beep"}); }
  void ExpectBusy(const std::string& phase) {
    SCOPED_TRACE(phase);
    const CliRun run = Beep();
    EXPECT_EQ(run.exitCode, 5) << run.Err();
    EXPECT_NE(run.Err().find("the port is busy"), std::string::npos) << run.Err();
    ++refused;
  }
  int refused = 0;
};

TEST_F(PortLockTest, SecondProgramIsRefusedInEveryPhaseOfAnUpdate) {
  ActingSleeper sleeper;
  FrameHook frames;
  printer::Session update(sleeper);
  update.SetPort(sim.PortName());
  update.SetBaud(57600);
  update.SetLinkObserver(&frames);
  sleeper.during = [this](std::chrono::milliseconds wait) {
    ExpectBusy("in the wait of " + std::to_string(wait.count()) + " ms");
  };
  int blocks = 0;
  frames.during = [&](const Bytes& frame) {
    // The board query, the boot entry, the speed command, the handshake, a block, the end.
    const bool block = frame.size() == 258 && ++blocks == 3;
    const bool step = frame.size() == 4 || frame.size() == 6 || frame == Bytes{0x07, 0x02} ||
                      frame == Bytes{0x00, 0xFE} || frame == Bytes{0x04};
    if (block || step) ExpectBusy("as a frame of " + std::to_string(frame.size()) + " bytes goes out");
  };
  Bytes image(6 * 256, 0x42);
  image.back() = 3;
  const firmware::UpdateResult result = firmware::UpdateFirmware(update, firmware::FirmwareImage{image});
  EXPECT_EQ(result.status, firmware::BootStatus::kOk);
  EXPECT_GE(refused, 12);
  EXPECT_EQ(sim.ReceivedImage(), image);
  const auto names = sim.CommandNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "ESC BEL"), 0) << "no frame of the other program";

  // The job is over: the port is free for the next one.
  update.EndJob();
  const CliRun after = Beep();
  EXPECT_EQ(after.exitCode, 0) << after.Err();
  ASSERT_TRUE(sim.WaitForCommands(names.size() + 1, std::chrono::seconds(5)));
  EXPECT_EQ(sim.CommandNames().back(), "ESC BEL");
}

// Every name of one device is one lock, and a program's lock ends with the program.
TEST_F(PortLockTest, LockFollowsTheDeviceAndEndsWithItsHolder) {
  const std::string path = sim.PortName();  // /dev/pts/N
  const std::string bare = path.substr(std::string("/dev/").size());  // pts/N
  link::PortLock first;
  link::PortLock second;
  EXPECT_EQ(first.Take(path), link::PortLock::Outcome::kHeld);
  EXPECT_EQ(second.Take(bare), link::PortLock::Outcome::kTaken);
  EXPECT_EQ(Beep().exitCode, 5);
  first.Release();
  EXPECT_EQ(second.Take(bare), link::PortLock::Outcome::kHeld);
  second.Release();
  EXPECT_EQ(first.Take("/dev/zelka-no-such-port"), link::PortLock::Outcome::kNoLock);
  EXPECT_FALSE(first.Held());

  // A program killed in the middle of a job leaves no lock behind.
  QTemporaryDir dir;
  const QString file = WriteFile(dir, QStringLiteral("fw.bin"), QByteArray(256, '\x33') + '\x03');
  sim.AddFault({.prefix = {0x00, 0x6B}, .kind = sim::Fault::Kind::Held, .times = 1});
  FirmwareProcess holder({"firmware", "update", file, "-p", QString::fromStdString(path), "-b", "57600"});
  ASSERT_TRUE(WaitForLogged(sim, "boot entry", 1));
  EXPECT_EQ(Beep().exitCode, 5);
  holder.Signal(SIGKILL);
  ASSERT_TRUE(holder.Finish());
  EXPECT_EQ(Beep().exitCode, 0);
}

}  // namespace
}  // namespace zelka::testing
