// The whole update as one operation: board check, the bootloader steps, the stages told
// on the way and the result of every outcome.
#include "firmware/update_firmware.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "commands/catalogue.h"
#include "firmware/firmware_fixture.h"
#include "printer/worker.h"

namespace zelka::testing {
namespace {

using namespace zelka::firmware;
using std::chrono::milliseconds;
using Names = std::vector<std::string>;

const Bytes kBootEntry{0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};
const Bytes kSpeed{0x07, 0x02};
const Bytes kReady{0x00, 0xFE};
const Bytes kEnquiry{0x05};
const Bytes kStart{0x01};
const Bytes kBlock{0x02};
const Bytes kEnd{0x04};
const Bytes kBootNumberQuery{0x1D, 0x49, 0x40, 0x2B};

struct Told {
  UpdateStage stage;
  std::size_t sent;
  std::size_t count;
  bool portOpen;
};

const std::vector<UpdateStage> kFixedStages{UpdateStage::kBoardChecked, UpdateStage::kBootEntered,
                                            UpdateStage::kSpeedSet, UpdateStage::kDone};

class UpdateFirmwareTest : public FirmwareFixture {
 protected:
  void SetBootNumber(const std::string& number) {
    sim.Update([&](sim::PrinterState& s) { s.bootNumberReply = sim::MakeTextReply(number, 14); });
  }
  UpdateResult Update(const FirmwareImage& image) {
    return UpdateFirmware(*session, image, [this](UpdateStage stage, std::size_t sent, std::size_t count) {
      told.push_back({stage, sent, count, PortOpen()});
      if (onStage) onStage(stage, sent);
    });
  }
  UpdateResult Update(const Bytes& bytes) { return Update(AsImage(bytes)); }
  std::vector<UpdateStage> FixedStages() const {
    std::vector<UpdateStage> fixed;
    for (const Told& t : told) {
      if (t.stage != UpdateStage::kBlockSent) fixed.push_back(t.stage);
    }
    return fixed;
  }
  std::size_t BlocksTold() const {
    return static_cast<std::size_t>(std::count_if(
        told.begin(), told.end(), [](const Told& t) { return t.stage == UpdateStage::kBlockSent; }));
  }

  std::vector<Told> told;
  std::function<void(UpdateStage, std::size_t)> onStage;
};

TEST_F(UpdateFirmwareTest, MatchingImageIsInstalledWithAStagePerBlock) {
  const Bytes image = Image(20 * 256 + 1, 3);  // for the "ZELKA-000001" board
  const UpdateResult result = Update(image);

  EXPECT_EQ(result.status, BootStatus::kOk);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.board.bootNumber, "ZELKA-000001");
  EXPECT_EQ(result.board.refusal, std::nullopt);
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
  const auto log = CommandLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().bytes, kBootNumberQuery);
  EXPECT_EQ(log.front().baud, 57600) << "asked at the session's rate";
  EXPECT_EQ(log[1].name, "boot entry");

  // The fixed stages with the port closed; each block told in turn while it is on the line.
  ASSERT_EQ(told.size(), 3u + 21u + 1u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(told[i].stage, kFixedStages[i]) << i;
    EXPECT_FALSE(told[i].portOpen) << i;
  }
  for (std::size_t block = 1; block <= 21; ++block) {
    const Told& t = told[2 + block];
    EXPECT_EQ(t.stage, UpdateStage::kBlockSent);
    EXPECT_EQ(t.sent, block);
    EXPECT_EQ(t.count, 21u);
    EXPECT_TRUE(t.portOpen) << block;
  }
  EXPECT_EQ(told.back().stage, UpdateStage::kDone);
  EXPECT_FALSE(told.back().portOpen);
  EXPECT_FALSE(PortOpen());
}

TEST_F(UpdateFirmwareTest, LargestFileThatFitsIsSentWhole) {
  const Bytes bytes = Image(700000, 3);
  FirmwareImage image;
  ASSERT_EQ(ReadFirmwareFile(WriteFile(bytes), image).problem, FileProblem::kNone);
  EXPECT_EQ(Update(image).status, BootStatus::kOk);
  EXPECT_EQ(CountOf("BL block"), 2735u);
  EXPECT_EQ(BlocksTold(), 2735u);
  EXPECT_EQ(sim.ReceivedImage(), Padded(bytes));
}

// The image is read once: the board check and the flash see the same bytes, whatever
// happens to the file meanwhile.
TEST_F(UpdateFirmwareTest, FileReplacedAfterItWasReadDoesNotReachThePrinter) {
  const Bytes first = Image(3 * 256 + 5, 3);  // suits the "ZELKA-000001" board
  const std::string path = WriteFile(first);
  FirmwareImage image;
  ASSERT_EQ(ReadFirmwareFile(path, image).problem, FileProblem::kNone);
  Bytes other = Image(4 * 256, 4);  // another board's image
  std::fill(other.begin(), other.end() - 1, 0x5A);
  WriteFile(other);
  // Replaced once more as the bootloader waits for its handshake.
  OnFrame(kReady, 0, [&] { WriteFile(other); });

  const UpdateResult result = Update(image);
  EXPECT_EQ(result.status, BootStatus::kOk);
  EXPECT_EQ(result.board.refusal, std::nullopt);
  EXPECT_EQ(sim.ReceivedImage(), Padded(first));
}

TEST_F(UpdateFirmwareTest, EmptyImageIsRefusedAndNothingIsSent) {
  // A printer that would not tell its board: the board check cannot stop an empty image.
  sim.AddFault({.prefix = kBootNumberQuery, .kind = sim::Fault::Kind::Silent});
  FirmwareImage image;
  const FirmwareFileRead read = ReadFirmwareFile(WriteFile({}), image);
  EXPECT_EQ(read.problem, FileProblem::kEmpty);
  EXPECT_EQ(read.length, 0u);

  const UpdateResult result = Update(image);
  EXPECT_FALSE(result.started);
  EXPECT_EQ(Code(result.status), 12);
  EXPECT_TRUE(told.empty());
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(UpdateFirmwareTest, BoardQueryIsReadFor300Milliseconds) {
  struct Case {
    milliseconds late;
    bool told;
  };
  for (const Case c : {Case{milliseconds{100}, true}, Case{milliseconds{900}, false}}) {
    SCOPED_TRACE(c.late.count());
    sim.ClearFaults();
    sim.AddFault({.prefix = kBootNumberQuery, .kind = sim::Fault::Kind::Late, .delay = c.late});
    const BoardCheck check = CheckBoard(*session, AsImage(Image(300, 4)));
    EXPECT_EQ(check.bootNumber.has_value(), c.told);
    EXPECT_EQ(check.refusal.has_value(), c.told);
    EXPECT_FALSE(PortOpen());
  }
  EXPECT_EQ(sim.CommandNames(), (Names{"GS I @", "GS I @"}));
}

struct BoardCase {
  const char* what;
  std::string bootNumber;
  bool queryAnswered;
  Bytes file;
  std::string refusal;  // empty: the update goes on and succeeds
  friend void PrintTo(const BoardCase& c, std::ostream* out) { *out << c.what; }
};

class BoardCheckUpdateTest : public UpdateFirmwareTest, public ::testing::WithParamInterface<BoardCase> {};

TEST_P(BoardCheckUpdateTest, ImageIsCheckedAgainstTheBoardBeforeTheBootloader) {
  const BoardCase& c = GetParam();
  SetBootNumber(c.bootNumber);
  if (!c.queryAnswered) sim.AddFault({.prefix = kBootNumberQuery, .kind = sim::Fault::Kind::Silent});
  const UpdateResult result = Update(c.file);
  EXPECT_EQ(result.board.bootNumber.has_value(), c.queryAnswered);
  EXPECT_EQ(result.status, BootStatus::kOk);
  if (c.refusal.empty()) {
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.board.refusal, std::nullopt);
    EXPECT_EQ(sim.ReceivedImage(), Padded(c.file));
    EXPECT_EQ(FixedStages(), kFixedStages);
  } else {
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.board.refusal, c.refusal);
    EXPECT_EQ(sim.CommandNames(), Names{"GS I @"}) << "nothing beyond the query";
    EXPECT_TRUE(told.empty());
  }
  EXPECT_FALSE(PortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BoardCheckUpdateTest,
    ::testing::Values(
        BoardCase{"file for board 4 on board 3", "ZELKA-000001", true, Image(300, 4),
                  "Внимание!!! Данная версия прошивки(версия 4) не соответствует текущей версии "
                  "платы(версия 3)."},
        BoardCase{"file for board 3 on board 4", "ZELKA-000002", true, Image(300, 3),
                  "Внимание!!! Данная версия прошивки(версия 3) не соответствует текущей версии "
                  "платы(версия 4)."},
        BoardCase{"trailing spaces", "ZELKA-000002   ", true, Image(300, 4), ""},
        BoardCase{"unknown board", "ZELKA-000007", true, Image(300, 3),
                  "Внимание!!! Данная версия программы устарела и не поддерживает текущую версии "
                  "платы. Пожалуйста обновите программу с сайта: "
                  "https://www.zelka-printers.ru/downloads/service-utility"},
        BoardCase{"unanswered query: sent unchecked", "ZELKA-000001", false, Image(300, 9), ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// How the printer fails one step, and the code it leads to.
struct FaultCase;

class FaultUpdateTest : public UpdateFirmwareTest, public ::testing::WithParamInterface<FaultCase> {
 public:
  void Silent(const Bytes& prefix, int after = 0) {
    sim.AddFault({.prefix = prefix, .kind = sim::Fault::Kind::Silent, .times = 1, .after = after});
  }
  void Reply(const Bytes& prefix, std::uint8_t reply, int after = 0) {
    sim.AddFault({.prefix = prefix, .kind = sim::Fault::Kind::Reply, .reply = {reply}, .times = 1,
                  .after = after});
  }
  using FirmwareFixture::DropLineOn;
};

struct FaultCase {
  const char* what;
  std::function<void(FaultUpdateTest&)> arrange;
  BootStatus status;
  int code;
  friend void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.what; }
};

TEST_P(FaultUpdateTest, FailedStepEndsWithItsCodeEveryStageToldAndThePortClosed) {
  const FaultCase& c = GetParam();
  c.arrange(*this);
  const UpdateResult result = Update(Image(5 * 256, 3));
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(Code(result.status), c.code);
  EXPECT_EQ(FixedStages(), kFixedStages);
  // Each fixed stage is told after its routine has returned: none leaves its port open.
  for (const Told& t : told) {
    if (t.stage != UpdateStage::kBlockSent) {
      EXPECT_FALSE(t.portOpen) << static_cast<int>(t.stage);
    }
  }
  EXPECT_FALSE(PortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FaultUpdateTest,
    ::testing::Values(
        FaultCase{"no reply to the boot entry", [](auto& t) { t.Silent(kBootEntry); },
                  BootStatus::kNoBootEntryReply, 1},
        FaultCase{"no reply to the speed command", [](auto& t) { t.Silent(kSpeed); },
                  BootStatus::kNoSpeedReply, 31},
        FaultCase{"no reply to 00 FE", [](auto& t) { t.Silent(kReady); }, BootStatus::kNoReadyReply, 21},
        FaultCase{"NAK to 00 FE", [](auto& t) { t.Reply(kReady, 0x15); }, BootStatus::kReadyRefused, 22},
        FaultCase{"no reply to the first enquiry", [](auto& t) { t.Silent(kEnquiry); },
                  BootStatus::kNoEnquiryReply, 3},
        FaultCase{"no reply to the enquiry after reopening", [](auto& t) { t.DropLineOn(kEnquiry, 1); },
                  BootStatus::kNoEnquiryReply, 3},
        FaultCase{"no reply to the transfer's speed command", [](auto& t) { t.Silent(kSpeed, 1); },
                  BootStatus::kNoSpeedReply, 31},
        FaultCase{"no reply to 01", [](auto& t) { t.DropLineOn(kStart); }, BootStatus::kNoStartReply, 5},
        FaultCase{"NAK to 01", [](auto& t) { t.Reply(kStart, 0x15); }, BootStatus::kStartRefused, 6},
        FaultCase{"no reply to the second block", [](auto& t) { t.DropLineOn(kBlock, 1); },
                  BootStatus::kNoBlockReply, 7},
        FaultCase{"CAN to the second block", [](auto& t) { t.Reply(kBlock, 0x18, 1); },
                  BootStatus::kBlockCancelled, 8},
        FaultCase{"NAK to the third block", [](auto& t) { t.Reply(kBlock, 0x15, 2); },
                  BootStatus::kBlockRefused, 9},
        FaultCase{"no reply to 04", [](auto& t) { t.DropLineOn(kEnd); }, BootStatus::kNoEndReply, 10},
        FaultCase{"CAN to 04", [](auto& t) { t.Reply(kEnd, 0x18); }, BootStatus::kEndCancelled, 11}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// The program ends during an update: it stops at the next block, before the printer's
// flash is erased where it can, and never sends the end after a partial image.
struct CancelCase {
  const char* what;
  bool before;              // the flag is set before the update starts
  UpdateStage stage;        // else it is set when this stage is told...
  std::size_t block;        // ...for kBlockSent, after this block
  BootStatus status;
  bool started;
  Names bootloaderCommands;  // everything after the board query, blocks counted apart
  std::size_t blocks;
  friend void PrintTo(const CancelCase& c, std::ostream* out) { *out << c.what; }
};

class CancelUpdateTest : public UpdateFirmwareTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelUpdateTest, CancelledSessionStopsBetweenBlocks) {
  const CancelCase& c = GetParam();
  std::atomic<bool> cancel{c.before};
  session->SetCancelFlag(&cancel);
  onStage = [&](UpdateStage stage, std::size_t sent) {
    if (stage == c.stage && (stage != UpdateStage::kBlockSent || sent == c.block)) cancel = true;
  };
  const Bytes image = Image(5 * 256 - 3, 3);
  const UpdateResult result = Update(image);

  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.started, c.started);
  if (c.status == BootStatus::kCancelled) {
    EXPECT_EQ(Code(result.status), 14);
  }
  Names names = sim.CommandNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "GS I @");
  names.erase(names.begin());
  std::erase(names, "BL block");
  EXPECT_EQ(names, c.bootloaderCommands);
  EXPECT_EQ(CountOf("BL block"), c.blocks);
  EXPECT_EQ(BlocksTold(), c.blocks);
  const Bytes padded = Padded(image);
  const auto sentBytes = static_cast<std::ptrdiff_t>(256 * c.blocks);
  EXPECT_EQ(sim.ReceivedImage(), Bytes(padded.begin(), padded.begin() + sentBytes));
  if (c.started) {
    EXPECT_EQ(FixedStages(), kFixedStages);
  } else {
    EXPECT_TRUE(told.empty());
  }
  EXPECT_FALSE(PortOpen());
}

const Names kThroughStart{"boot entry", "BL 07 02", "BL 00 FE", "BL 05", "BL 07 02", "BL 05", "BL 01"};
Names ThroughEnd() {
  Names names = kThroughStart;
  names.push_back("BL 04");
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Moments, CancelUpdateTest,
    ::testing::Values(
        CancelCase{"before the update: only the board query", true, UpdateStage::kDone, 0,
                   BootStatus::kCancelled, false, {}, 0},
        CancelCase{"during the boot entry: the flash is not erased", false, UpdateStage::kBoardChecked, 0,
                   BootStatus::kCancelled, true, {"boot entry", "BL 07 02"}, 0},
        CancelCase{"after the first block", false, UpdateStage::kBlockSent, 1, BootStatus::kCancelled,
                   true, kThroughStart, 1},
        CancelCase{"after the fourth of five blocks", false, UpdateStage::kBlockSent, 4,
                   BootStatus::kCancelled, true, kThroughStart, 4},
        CancelCase{"after the last block: the update completes", false, UpdateStage::kBlockSent, 5,
                   BootStatus::kOk, true, ThroughEnd(), 5}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// Jobs run one at a time on the printer worker: an exchange asked for while the printer is
// in its bootloader waits for the update to end and is answered by the main firmware.
TEST_F(UpdateFirmwareTest, ExchangeAskedForDuringAnUpdateWaitsForItsEnd) {
  printer::Worker worker(sleeper);
  const std::string port = sim.PortName();
  const Bytes image = Image(3 * 256, 3);
  std::optional<UpdateResult> update;
  std::optional<std::uint8_t> probe;
  bool asked = false;
  worker.Submit([&](printer::Session& s) {
    s.SetPort(port);
    s.SetBaud(57600);
    update = UpdateFirmware(s, AsImage(image), [&](UpdateStage stage, std::size_t, std::size_t) {
      if (stage != UpdateStage::kBootEntered || asked) return;
      asked = true;
      worker.Submit([&](printer::Session& probing) {
        probing.Open(milliseconds{300});
        probe = commands::QueryPaperSensor(probing.Link());
      });
    });
  });
  worker.WaitIdle();
  ASSERT_TRUE(update);
  EXPECT_EQ(update->status, BootStatus::kOk);
  ASSERT_TRUE(asked);
  EXPECT_TRUE(probe.has_value()) << "answered by the main firmware, back after the update";
  const Names names = sim.CommandNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), "GS r");
  EXPECT_EQ(CountOf("GS r"), 1u);
  EXPECT_EQ(sim.ReceivedImage(), image);
}

}  // namespace
}  // namespace zelka::testing
