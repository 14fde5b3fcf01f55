// Picture printing (Button3) against a simulated printer: one raster frame per row, top
// row first, the message while the port is open, then the feed and the cut; and what
// happens when the port or a row fails.
#include "graphics/picture_print.h"

#include "graphics/graphics_fixture.h"
#include "graphics/messages.h"
#include "link/serial_link.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using Bytes = std::vector<std::uint8_t>;

const Bytes kFeed5{0x1B, 0x64, 0x05};
const Bytes kCut{0x1B, 0x69};

// The raster frame of a stored row: head, R, then the first R bytes inverted.
Bytes FrameOf(const Bytes& file, std::size_t rowStart, std::size_t r) {
  Bytes f{0x1B, 0x2E, 0x00, static_cast<std::uint8_t>(r), 0x01, 0x00};
  for (std::size_t i = 0; i < r; ++i) f.push_back(static_cast<std::uint8_t>(~file[rowStart + i]));
  return f;
}

class PicturePrintTest : public GraphicsFixture {
 protected:
  void SetUp() override {
    GraphicsFixture::SetUp();
    MakePrinterForm();
  }
};

TEST_F(PicturePrintTest, RowsTopFirstThenTheMessageWithThePortOpenThenFeedAndCut) {
  const Bytes file = MakeBitmap({576, 3});
  Choose(WriteFile("coupon.bmp", file));
  TxRecorder tx;
  std::size_t writesWhenShown = 0;
  bool openWhenShown = false;
  std::vector<sim::LogEntry> printerGotWhenShown;
  dialogs.onShow = [&](const FakeDialogs::Shown&) {
    writesWhenShown = tx.Writes().size();
    openWhenShown = PortIsOpen;
    // Asked while the port is open: the printer hears the line at the program's rate.
    printerGotWhenShown = CommandsOnceThere(3);
  };

  Click("Button3");

  EXPECT_EQ(dialogs.filters, std::vector<std::string>{"Файлы  (*.bmp) | *.BMP"});
  EXPECT_EQ(dialogs.previews, std::vector<bool>{true});
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"information", "Купон успешно напечатан"}}));
  EXPECT_EQ(writesWhenShown, 3u) << "the message comes after the last row, before the feed";
  EXPECT_TRUE(openWhenShown);
  EXPECT_FALSE(PortIsOpen);
  // S = R = 72 at O = 62: the last stored row is the top of the picture.
  const std::vector<Bytes> expected = {FrameOf(file, 62 + 144, 72), FrameOf(file, 62 + 72, 72),
                                       FrameOf(file, 62, 72), kFeed5, kCut};
  EXPECT_EQ(tx.Writes(), expected);

  ASSERT_EQ(printerGotWhenShown.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(printerGotWhenShown[i].name, "ESC .");
    EXPECT_EQ(printerGotWhenShown[i].bytes, expected[i]) << i;
  }
  const auto commands = CommandsOnceThere(5);
  ASSERT_EQ(commands.size(), 5u);
  EXPECT_EQ(commands[3].name, "ESC d");
  EXPECT_EQ(commands[4].name, "ESC i");
}

TEST_F(PicturePrintTest, FrameSizeFollowsTheWidthAndEveryRowGetsOne) {
  struct Case {
    std::int32_t width, height;
    std::size_t frameBytes;
  };
  // 100 dots lose their last four; below 8 dots every frame is the bare head.
  const Case cases[] = {{576, 2, 78}, {384, 1, 54}, {100, 3, 18}, {6, 4, 6}, {2047, 1, 261}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    const Bytes file = MakeBitmap({c.width, c.height});
    Choose(WriteFile("w" + std::to_string(c.width) + ".bmp", file));
    TxRecorder tx;
    Click("Button3");

    const auto writes = tx.Writes();
    ASSERT_EQ(writes.size(), static_cast<std::size_t>(c.height) + 2);
    const std::size_t s = StoredRowSize(c.width, 1);
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.height); ++k) {
      EXPECT_EQ(writes[k].size(), c.frameBytes);
      EXPECT_EQ(writes[k], FrameOf(file, 62 + (c.height - 1 - k) * s, c.frameBytes - 6)) << k;
    }
    EXPECT_EQ(writes[writes.size() - 2], kFeed5);
    EXPECT_EQ(writes.back(), kCut);
  }
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(std::size(cases), "Купон успешно напечатан"));
}

TEST_F(PicturePrintTest, TopDownFileAndTheLargestFileThatFits) {
  const Bytes topDown = MakeBitmap({16, -3});
  Choose(WriteFile("top-down.bmp", topDown));
  // One row followed by padding up to the buffer's size.
  const Bytes largest = PaddedTo(MakeBitmap({16, 1}), graphics::kPictureBufferSize);
  Choose(WriteFile("largest.bmp", largest));
  TxRecorder tx;
  Click("Button3");
  Click("Button3");

  const std::vector<Bytes> expected = {FrameOf(topDown, 62, 2),
                                       FrameOf(topDown, 66, 2),
                                       FrameOf(topDown, 70, 2),
                                       kFeed5,
                                       kCut,
                                       FrameOf(largest, 62, 2),
                                       kFeed5,
                                       kCut};
  EXPECT_EQ(tx.Writes(), expected);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(2, "Купон успешно напечатан"));
}

TEST_F(PicturePrintTest, PortThatDoesNotOpenIsReportedAndNothingElseHappens) {
  CurrentPortName = (dir / "no-such-port").string();
  Choose(WriteFile("coupon.bmp", MakeBitmap({384, 2})));
  TxRecorder tx;
  Click("Button3");
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"error", graphics::kPicturePortFailed}}));
  EXPECT_TRUE(tx.Writes().empty());
  EXPECT_FALSE(PortIsOpen);
}

TEST_F(PicturePrintTest, RowThatIsNotWrittenStopsThePrintWithoutFeedOrCut) {
  Choose(WriteFile("coupon.bmp", MakeBitmap({384, 5})));
  std::vector<Bytes> writes;
  // The printer vanishes just before the third row goes out.
  SetTxTap([&](std::span<const std::uint8_t> bytes) {
    writes.emplace_back(bytes.begin(), bytes.end());
    if (writes.size() == 3) sim.Stop();
  });
  Click("Button3");
  SetTxTap({});

  EXPECT_EQ(dialogs.Messages(),
            (std::vector<FakeDialogs::Shown>{{"error", graphics::PictureSendFailedText(3, 5)}}));
  EXPECT_EQ(dialogs.Texts()[0],
            "Не удалось передать картинку на принтер: строка 3 из 5. Печать прервана.");
  EXPECT_EQ(writes.size(), 3u) << "no row, feed or cut after the failed one";
  EXPECT_FALSE(PortIsOpen);
}

}  // namespace
}  // namespace zelka::testing
