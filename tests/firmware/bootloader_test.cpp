// The bootloader routines against the simulated printer: rates and time-outs of each
// phase, the blocks on the line, the waits, and the port closed on every way out.
#include "firmware/bootloader.h"

#include <algorithm>

#include "firmware/firmware_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::firmware;
using std::chrono::milliseconds;
using Names = std::vector<std::string>;
using Waits = std::vector<milliseconds>;

const Bytes kReady{0x00, 0xFE};
const Bytes kStart{0x01};
const Bytes kBlock{0x02};

const Waits kWaitsOfAnUpdate{milliseconds{3000}, milliseconds{3000}, milliseconds{1000},
                             milliseconds{5000}, milliseconds{100}, milliseconds{100}};

class BootloaderTest : public FirmwareFixture {
 protected:
  // The three routines in the order of an update, each only after the one before succeeded.
  BootStatus Update(const FirmwareImage& image, const BlockProgress& progress = {}) {
    BootStatus status = EnterBootloader(*session);
    if (status == BootStatus::kOk) status = SetBootloaderSpeed(*session);
    if (status == BootStatus::kOk) status = TransferFirmware(*session, image, progress);
    return status;
  }
  Names BootloaderNames() const {
    Names names = sim.CommandNames();
    names.erase(names.begin(), std::find(names.begin(), names.end(), "boot entry"));
    return names;
  }
  void ReplyToBlock(int number, std::uint8_t reply) {
    sim.AddFault({.prefix = kBlock, .kind = sim::Fault::Kind::Reply, .reply = {reply}, .times = 1,
                  .after = number - 1});
  }
};

TEST_F(BootloaderTest, UpdateSpeaksEachPhaseAtItsRateAndLeavesTheImageInThePrinter) {
  sim.Update([](sim::PrinterState& s) { s.baud = 115200; });
  UsePrinter();
  const Bytes image = Image(600);
  EXPECT_EQ(Update(AsImage(image)), BootStatus::kOk);

  const std::vector<std::pair<std::string, int>> expected = {
      {"boot entry", 115200}, {"BL 07 02", 19200}, {"BL 00 FE", 57600}, {"BL 05", 57600},
      {"BL 07 02", 57600}, {"BL 05", 57600}, {"BL 01", 57600}, {"BL block", 57600},
      {"BL block", 57600}, {"BL block", 57600}, {"BL 04", 57600}};
  std::vector<std::pair<std::string, int>> got;
  for (const auto& entry : CommandLog()) got.emplace_back(entry.name, entry.baud);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
  EXPECT_EQ(session->Baud(), 57600) << "the main firmware comes back at the transfer rate";
  EXPECT_FALSE(PortOpen());

  // The port is closed while the bootloader starts, changes rate and before the reopening;
  // the waits of the transfer itself keep it.
  const auto recorded = waits.Waits();
  ASSERT_EQ(waits.Durations(), kWaitsOfAnUpdate);
  const bool openDuring[] = {false, false, false, true, true, true};
  for (std::size_t i = 0; i < recorded.size(); ++i) EXPECT_EQ(recorded[i].portOpen, openDuring[i]) << i;
}

TEST_F(BootloaderTest, ImageLengthsAndTheirBlocks) {
  struct Case {
    std::size_t length;
    std::size_t blocks;
  };
  for (const Case& c : {Case{512, 2}, Case{513, 3}, Case{1, 1}}) {
    SCOPED_TRACE(c.length);
    sim.ClearLog();
    const Bytes image = Image(c.length);
    std::vector<std::pair<std::size_t, std::size_t>> told;
    ASSERT_EQ(Update(AsImage(image), [&](std::size_t sent, std::size_t count) { told.emplace_back(sent, count); }),
              BootStatus::kOk);
    EXPECT_EQ(CountOf("BL block"), c.blocks);
    EXPECT_EQ(sim.ReceivedImage(), Padded(image));
    ASSERT_EQ(told.size(), c.blocks);
    for (std::size_t i = 0; i < told.size(); ++i) {
      EXPECT_EQ(told[i], std::make_pair(i + 1, c.blocks));
    }
    const Waits durations = waits.Durations();
    EXPECT_EQ(Waits(durations.end() - 6, durations.end()), kWaitsOfAnUpdate);
  }
}

TEST_F(BootloaderTest, ReconnectAnswerReopensAndGoesOnWithTheEnquiry) {
  sim.AddFault({.prefix = kReady, .kind = sim::Fault::Kind::Reply, .reply = {0x08}, .times = 1});
  const Bytes image = Image(300);
  EXPECT_EQ(Update(AsImage(image)), BootStatus::kOk);
  EXPECT_EQ(BootloaderNames(), (Names{"boot entry", "BL 07 02", "BL 00 FE", "BL 05", "BL 07 02", "BL 05",
                                      "BL 01", "BL block", "BL block", "BL 04"}));
  const auto recorded = waits.Waits();
  ASSERT_EQ(waits.Durations(), (Waits{milliseconds{3000}, milliseconds{3000}, milliseconds{5000},
                                      milliseconds{1000}, milliseconds{5000}, milliseconds{100},
                                      milliseconds{100}}));
  EXPECT_FALSE(recorded[2].portOpen) << "the reconnection waits with the port closed";
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
}

struct BlockReplyCase {
  const char* what;
  int block;
  std::uint8_t reply;
  BootStatus result;
  std::size_t blocksSent;
  friend void PrintTo(const BlockReplyCase& c, std::ostream* out) { *out << c.what; }
};

class BlockReplyTest : public BootloaderTest, public ::testing::WithParamInterface<BlockReplyCase> {};

TEST_P(BlockReplyTest, OnlyNakAndCanEndTheTransfer) {
  const BlockReplyCase& c = GetParam();
  ReplyToBlock(c.block, c.reply);
  const Bytes image = Image(5 * 256 - 10);
  EXPECT_EQ(Update(AsImage(image)), c.result);
  EXPECT_EQ(CountOf("BL block"), c.blocksSent);
  EXPECT_EQ(CountOf("BL 04"), c.result == BootStatus::kOk ? 1u : 0u);
  EXPECT_FALSE(PortOpen());
  if (c.result == BootStatus::kOk) {
    EXPECT_EQ(sim.ReceivedImage(), Padded(image));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BlockReplyTest,
    ::testing::Values(BlockReplyCase{"0x07 accepts", 2, 0x07, BootStatus::kOk, 5},
                      BlockReplyCase{"0x00 accepts", 5, 0x00, BootStatus::kOk, 5},
                      BlockReplyCase{"NAK on the third block ends after exactly three", 3, 0x15,
                                     BootStatus::kBlockRefused, 3},
                      BlockReplyCase{"CAN on the first block ends after it", 1, 0x18,
                                     BootStatus::kBlockCancelled, 1}));

// The start command erases the flash: an image that cannot be flashed whole must not get
// that far. The bootloader then still waits and takes a proper image after.
TEST_F(BootloaderTest, ImageTheFlashCannotTakeIsRefusedBeforeAnythingIsSent) {
  ASSERT_EQ(EnterBootloader(*session), BootStatus::kOk);
  ASSERT_EQ(SetBootloaderSpeed(*session), BootStatus::kOk);
  const Bytes image = Image(700);
  struct Case {
    const char* what;
    Bytes bytes;
    BootStatus result;
    int code;
  };
  const Case cases[] = {
      {"empty", {}, BootStatus::kImageUnreadable, 12},
      {"one byte over the flash", Image(700001), BootStatus::kImageTooLarge, 13},
      {"a proper image", image, BootStatus::kOk, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim.ClearLog();
    const BootStatus result = TransferFirmware(*session, AsImage(c.bytes));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(Code(result), c.code);
    EXPECT_FALSE(PortOpen());
    if (c.result != BootStatus::kOk) {
      EXPECT_TRUE(sim.Log().empty());
    }
  }
  EXPECT_EQ(sim.ReceivedImage(), Padded(image));
}

TEST_F(BootloaderTest, TransferWaitsLongerForTheBootloaderThanTheHandshakeDoes) {
  // A reply to 01 that comes after 2.5 s: too late for a 2 s read, in time for an 8 s one.
  sim.AddFault({.prefix = kStart, .kind = sim::Fault::Kind::Late, .delay = milliseconds{2500}});
  const Bytes image = Image(256);
  EXPECT_EQ(Update(AsImage(image)), BootStatus::kOk);
  EXPECT_EQ(sim.ReceivedImage(), image);
}

TEST_F(BootloaderTest, EnquiryWithoutAnOpenPortFailsAtOnce) {
  EXPECT_EQ(BootloaderEnquiry(*session), BootStatus::kNoEnquiryReply);
  EXPECT_EQ(Code(BootStatus::kNoEnquiryReply), 3);
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(BootloaderTest, WithoutAKnownPrinterPortNothingOpens) {
  session->SetPort(link::kNoPort);
  EXPECT_EQ(EnterBootloader(*session), BootStatus::kNoBootEntryReply);
  EXPECT_EQ(SetBootloaderSpeed(*session), BootStatus::kNoSpeedReply);
  EXPECT_EQ(TransferFirmware(*session, AsImage(Image(300))), BootStatus::kNoReadyReply);
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(waits.Waits().empty());
}

}  // namespace
}  // namespace zelka::testing
