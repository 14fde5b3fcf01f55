// Picture printing against a simulated printer: one raster frame per row, top row first,
// then, as a job of its own, the feed and the cut; and what happens when the port or a
// row fails, or the program ends half-way.
#include "graphics/picture_print.h"

#include <atomic>

#include "graphics/graphics_fixture.h"
#include "graphics/messages.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using printer::Problem;

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
  graphics::Picture Load(const std::string& name, const Bytes& file) {
    graphics::Picture picture;
    EXPECT_EQ(graphics::LoadPicture(WriteFile(name, file), picture), BitmapError::kNone) << name;
    return picture;
  }
  // The whole print as the window runs it: the rows, then the feed and the cut.
  void Print(const std::string& name, const Bytes& file) {
    const graphics::PictureSent sent = graphics::SendPicture(*session, Load(name, file));
    EXPECT_TRUE(sent.result.Ok()) << name;
    EXPECT_EQ(sent.rowsSent, sent.rows) << name;
    EXPECT_TRUE(graphics::FinishPicture(*session).Ok()) << name;
  }
};

TEST_F(PicturePrintTest, RowsGoTopRowFirstAndTheFinishFeedsAndCuts) {
  const Bytes file = MakeBitmap({576, 3});
  const graphics::Picture picture = Load("coupon.bmp", file);
  EXPECT_EQ(picture.file.size(), file.size());

  const graphics::PictureSent sent = graphics::SendPicture(*session, picture);
  EXPECT_TRUE(sent.result.Ok());
  EXPECT_EQ(sent.result.port, sim.PortName());
  EXPECT_EQ(sent.rowsSent, 3u);
  EXPECT_EQ(sent.rows, 3u);
  EXPECT_FALSE(PortIsOpen());
  // S = R = 72 at O = 62: the last stored row is the top of the picture.
  const std::vector<Bytes> rows = {FrameOf(file, 62 + 144, 72), FrameOf(file, 62 + 72, 72),
                                   FrameOf(file, 62, 72)};
  EXPECT_EQ(tx.Writes(), rows);
  const auto printed = CommandsOnceThere(3);
  ASSERT_EQ(printed.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(printed[i].name, "ESC .");
    EXPECT_EQ(printed[i].bytes, rows[i]) << i;
    EXPECT_EQ(printed[i].baud, sim.State().baud) << "heard at the printer's rate";
  }

  const printer::Result finished = graphics::FinishPicture(*session);
  EXPECT_TRUE(finished.Ok());
  EXPECT_FALSE(PortIsOpen());
  const std::vector<Bytes> all = {rows[0], rows[1], rows[2], kFeed5, kCut};
  EXPECT_EQ(tx.Writes(), all);
  const auto commands = CommandsOnceThere(5);
  ASSERT_EQ(commands.size(), 5u);
  EXPECT_EQ(commands[3].name, "ESC d");
  EXPECT_EQ(commands[4].name, "ESC i");
  // A picture may be sent again: its rows stay in top-down order.
  EXPECT_TRUE(graphics::SendPicture(*session, picture).result.Ok());
  EXPECT_EQ(tx.Writes().back(), rows.back());
}

TEST_F(PicturePrintTest, FrameSizeFollowsTheWidthAndEveryRowGetsOne) {
  struct Case {
    std::int32_t width, height;
    std::size_t frameBytes;
  };
  // 100 dots lose their last four; 8 dots are the narrowest picture, one byte a row.
  const Case cases[] = {{576, 2, 78}, {384, 1, 54}, {100, 3, 18}, {8, 4, 7}, {15, 2, 7},
                        {2047, 1, 261}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    const Bytes file = MakeBitmap({c.width, c.height});
    const std::size_t before = tx.Writes().size();
    Print("w" + std::to_string(c.width) + ".bmp", file);

    const auto all = tx.Writes();
    const std::vector<Bytes> writes(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    ASSERT_EQ(writes.size(), static_cast<std::size_t>(c.height) + 2);
    const std::size_t s = StoredRowSize(c.width, 1);
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.height); ++k) {
      EXPECT_EQ(writes[k].size(), c.frameBytes);
      EXPECT_EQ(writes[k], FrameOf(file, 62 + (c.height - 1 - k) * s, c.frameBytes - 6)) << k;
    }
    EXPECT_EQ(writes[writes.size() - 2], kFeed5);
    EXPECT_EQ(writes.back(), kCut);
  }
}

TEST_F(PicturePrintTest, TopDownFileAndTheLargestFileThatFits) {
  const Bytes topDown = MakeBitmap({16, -3});
  // One row followed by padding up to the buffer's size.
  const Bytes largest = PaddedTo(MakeBitmap({16, 1}), graphics::kPictureBufferSize);
  Print("top-down.bmp", topDown);
  Print("largest.bmp", largest);

  const std::vector<Bytes> expected = {FrameOf(topDown, 62, 2),
                                       FrameOf(topDown, 66, 2),
                                       FrameOf(topDown, 70, 2),
                                       kFeed5,
                                       kCut,
                                       FrameOf(largest, 62, 2),
                                       kFeed5,
                                       kCut};
  EXPECT_EQ(tx.Writes(), expected);
}

TEST_F(PicturePrintTest, PortThatDoesNotOpenIsReportedAndNothingIsSent) {
  const graphics::Picture picture = Load("coupon.bmp", MakeBitmap({384, 2}));
  UseAbsentPrinter();
  const graphics::PictureSent sent = graphics::SendPicture(*session, picture);
  EXPECT_EQ(sent.result.problem, Problem::kCannotOpen);
  EXPECT_EQ(sent.result.openFailure, link::OpenFailure::kAbsent);
  EXPECT_EQ(sent.result.port, session->Port());
  EXPECT_EQ(sent.rowsSent, 0u);
  EXPECT_EQ(sent.rows, 2u);
  EXPECT_EQ(graphics::FinishPicture(*session).problem, Problem::kCannotOpen);

  session->SetPort(link::kNoPort);
  EXPECT_EQ(graphics::SendPicture(*session, picture).result.problem, Problem::kNoPrinter);
  EXPECT_EQ(graphics::FinishPicture(*session).problem, Problem::kNoPrinter);
  EXPECT_TRUE(tx.Writes().empty());
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(PicturePrintTest, RowThatIsNotWrittenStopsThePrint) {
  const graphics::Picture picture = Load("coupon.bmp", MakeBitmap({384, 5}));
  // The printer vanishes just before the third row goes out.
  WriteHook hook([&](std::size_t n, std::span<const std::uint8_t>) {
    if (n == 3) sim.Stop();
  });
  session->SetLinkObserver(&hook);
  const graphics::PictureSent sent = graphics::SendPicture(*session, picture);

  EXPECT_EQ(sent.result.problem, Problem::kNotSent);
  EXPECT_EQ(sent.rowsSent, 2u);
  EXPECT_EQ(sent.rows, 5u);
  EXPECT_EQ(hook.Writes(), 3u) << "no row after the failed one";
  EXPECT_FALSE(PortIsOpen());
  EXPECT_EQ(graphics::PictureSendFailedText(sent.rowsSent + 1, sent.rows),
            "Не удалось передать картинку на принтер: строка 3 из 5. Печать прервана.");
}

TEST_F(PicturePrintTest, ProgramThatEndsStopsThePrintBetweenRows) {
  const graphics::Picture picture = Load("coupon.bmp", MakeBitmap({384, 5}));
  std::atomic<bool> cancelled{false};
  session->SetCancelFlag(&cancelled);
  WriteHook hook([&](std::size_t n, std::span<const std::uint8_t>) {
    if (n == 2) cancelled = true;
  });
  session->SetLinkObserver(&hook);
  const graphics::PictureSent sent = graphics::SendPicture(*session, picture);

  EXPECT_EQ(sent.result.problem, Problem::kNotSent);
  EXPECT_EQ(sent.rowsSent, 2u) << "the row under way is finished, no other begins";
  EXPECT_EQ(hook.Writes(), 2u);
  EXPECT_FALSE(PortIsOpen());
  const auto commands = CommandsOnceThere(2);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].bytes.size(), 54u) << "whole frames only";
}

TEST_F(PicturePrintTest, PictureThatNoLoadMadeIsNotSent) {
  const graphics::Picture good = Load("coupon.bmp", MakeBitmap({64, 4}));  // O = 62, S = 8
  const auto with = [&](auto change) {
    graphics::Picture p = good;
    change(p);
    return p;
  };
  const std::pair<const char*, graphics::Picture> cases[] = {
      {"empty", graphics::Picture{}},
      {"no rows", with([](graphics::Picture& p) { p.layout.rows = 0; })},
      {"a row more than the file holds", with([](graphics::Picture& p) { ++p.layout.rows; })},
      {"rows too long for a frame", with([](graphics::Picture& p) { p.layout.rowBytes = 256; })},
      {"offset past the end", with([](graphics::Picture& p) { p.layout.pixelOffset = 91; })},
      {"file cut short", with([](graphics::Picture& p) { p.file.resize(93); })},
  };
  for (const auto& [what, picture] : cases) {
    SCOPED_TRACE(what);
    const graphics::PictureSent sent = graphics::SendPicture(*session, picture);
    EXPECT_EQ(sent.result.problem, Problem::kNotSent);
    EXPECT_EQ(sent.rowsSent, 0u);
  }
  EXPECT_TRUE(tx.Writes().empty());
  EXPECT_FALSE(PortIsOpen());
  // The last row ends at the file's last byte: sent whole.
  EXPECT_TRUE(graphics::SendPicture(*session, good).result.Ok());
  EXPECT_EQ(tx.Writes().size(), 4u);
}

}  // namespace
}  // namespace zelka::testing
