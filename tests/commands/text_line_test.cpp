// Text lines: the width limit, the code page, and the two writes.
#include "commands/text_line.h"

#include "link/serial_link.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::commands;
using namespace zelka::link;

class TextLineTest : public SimFixture {
 protected:
  void TearDown() override {
    PrinterVariant = 0;
    PaperWidthMm = 80;
    SimFixture::TearDown();
  }
};

TEST_F(TextLineTest, LineIsCutToTheWidthLimitNeverWrappedOrPadded) {
  struct Case {
    std::uint8_t variant;
    int paper;
    std::size_t length;
    std::size_t sent;
  };
  const std::vector<Case> cases = {
      {0, 80, 58, 56}, {1, 80, 58, 57}, {0, 57, 50, 40}, {1, 57, 50, 41},
      {0, 57, 39, 39}, {0, 80, 56, 56}, {0, 80, 57, 56}, {1, 57, 41, 41},
      {1, 57, 42, 41}, {0, 76, 58, 56}, {1, 0, 60, 57}, {0, 80, 0, 0},
  };
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "variant " << int(c.variant) << ", paper " << c.paper
                                      << ", length " << c.length);
    PrinterVariant = c.variant;
    PaperWidthMm = c.paper;
    TxRecorder recorder;
    std::string line;
    for (std::size_t i = 0; i < c.length; ++i) line.push_back(static_cast<char>('0' + (i + 1) % 10));
    PrintTextLine(line);
    const auto writes = recorder.Writes();
    ASSERT_EQ(writes.size(), c.sent == 0 ? 1u : 2u) << "an empty line sends only CR LF";
    if (c.sent > 0) {
      EXPECT_EQ(writes[0], Bytes(line.begin(), line.begin() + static_cast<long>(c.sent)));
    }
    EXPECT_EQ(writes.back(), (Bytes{0x0D, 0x0A}));
  }
}

TEST_F(TextLineTest, CyrillicGoesOutInCodePage866InTwoWrites) {
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  TxRecorder recorder;
  PrintTextLine("Оплата");
  EXPECT_EQ(recorder.WriteSizes(), (std::vector<std::size_t>{6, 2}));
  ASSERT_TRUE(sim.WaitForCommands(3, std::chrono::seconds(2)));
  Bytes wire;
  for (const auto& e : sim.Log()) wire.insert(wire.end(), e.bytes.begin(), e.bytes.end());
  EXPECT_EQ(wire, (Bytes{0x8E, 0xAF, 0xAB, 0xA0, 0xE2, 0xA0, 0x0D, 0x0A}));
}

TEST_F(TextLineTest, LimitCountsCharactersNotUtf8Bytes) {
  PaperWidthMm = 57;
  ASSERT_EQ(OpenPort(sim.PortName(), 57600, 300), kOk);
  TxRecorder recorder;
  PrintTextLine(std::string(40, 'x') + "ЖЖ");  // 42 characters, 44 bytes of UTF-8
  ASSERT_EQ(recorder.Writes().size(), 2u);
  EXPECT_EQ(recorder.Writes()[0].size(), 40u);
}

TEST_F(TextLineTest, ClosedPortSendsNothingAndDoesNotFail) {
  TxRecorder recorder;
  PrintTextLine("anything");
  EXPECT_TRUE(recorder.Writes().empty());
}

}  // namespace
}  // namespace zelka::testing
