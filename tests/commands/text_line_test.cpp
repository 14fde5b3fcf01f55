// Text lines: the width limit, the code page, and the two writes.
#include "commands/text_line.h"

#include <chrono>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::commands;
using link::Status;
using std::chrono::milliseconds;

class TextLineTest : public SimFixture {
 protected:
  void Open() {
    link.SetObserver(&recorder);
    ASSERT_EQ(link.Open(sim.PortName(), 57600, milliseconds(300)), Status::kOk);
  }

  TxRecorder recorder;
  link::SerialLink link;
};

TEST_F(TextLineTest, LineIsCutToTheWidthLimitNeverWrappedOrPadded) {
  struct Case {
    PrinterModel model;
    int paper;
    std::size_t length;
    std::size_t sent;
  };
  constexpr auto kOther = PrinterModel::kOther;
  constexpr auto kReference = PrinterModel::kReference;
  const std::vector<Case> cases = {
      {kOther, 80, 58, 56},     {kReference, 80, 58, 57}, {kOther, 57, 50, 40},
      {kReference, 57, 50, 41}, {kOther, 57, 39, 39},     {kOther, 80, 56, 56},
      {kOther, 80, 57, 56},     {kReference, 57, 41, 41}, {kReference, 57, 42, 41},
      {kOther, 76, 58, 56},     {kReference, 0, 60, 57},  {kOther, 80, 0, 0},
  };
  Open();
  std::size_t seen = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "reference model " << (c.model == kReference) << ", paper "
                                      << c.paper << ", length " << c.length);
    std::string line;
    for (std::size_t i = 0; i < c.length; ++i) line.push_back(static_cast<char>('0' + (i + 1) % 10));
    PrintTextLine(link, line, TextLineLimit(c.model, c.paper));
    const auto all = recorder.Writes();
    const std::vector<Bytes> writes(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    ASSERT_EQ(writes.size(), c.sent == 0 ? 1u : 2u) << "an empty line sends only CR LF";
    if (c.sent > 0) {
      EXPECT_EQ(writes[0], Bytes(line.begin(), line.begin() + static_cast<long>(c.sent)));
    }
    EXPECT_EQ(writes.back(), (Bytes{0x0D, 0x0A}));
  }
}

TEST_F(TextLineTest, CyrillicGoesOutInCodePage866InTwoWrites) {
  Open();
  PrintTextLine(link, "Оплата", TextLineLimit(PrinterModel::kOther, 80));
  EXPECT_EQ(recorder.WriteSizes(), (std::vector<std::size_t>{6, 2}));
  ASSERT_TRUE(sim.WaitForCommands(3, std::chrono::seconds(2)));
  Bytes wire;
  for (const auto& e : sim.Log()) wire.insert(wire.end(), e.bytes.begin(), e.bytes.end());
  EXPECT_EQ(wire, (Bytes{0x8E, 0xAF, 0xAB, 0xA0, 0xE2, 0xA0, 0x0D, 0x0A}));
}

TEST_F(TextLineTest, LimitCountsCharactersNotUtf8Bytes) {
  Open();
  // 42 characters, 44 bytes of UTF-8.
  PrintTextLine(link, std::string(40, 'x') + "ЖЖ", TextLineLimit(PrinterModel::kOther, 57));
  ASSERT_EQ(recorder.Writes().size(), 2u);
  EXPECT_EQ(recorder.Writes()[0], Bytes(40, 'x'));
}

TEST_F(TextLineTest, ClosedPortSendsNothingAndDoesNotFail) {
  link.SetObserver(&recorder);
  PrintTextLine(link, "anything", 56);
  EXPECT_TRUE(recorder.Writes().empty());
}

TEST(ModelOfName, OnlyTheReferenceNameBetweenBlanksAndControlBytes) {
  struct Case {
    const char* reply;
    PrinterModel model;
  };
  const Case cases[] = {
      {"Printer Zelka", PrinterModel::kReference},
      {"\x01 Printer Zelka \r\n", PrinterModel::kReference},
      {"\t Printer Zelka", PrinterModel::kReference},
      {"Printer Zelka 2", PrinterModel::kOther},
      {"Printer  Zelka", PrinterModel::kOther},
      {"printer zelka", PrinterModel::kOther},
      {"", PrinterModel::kOther},
      {"  ", PrinterModel::kOther},
  };
  for (const Case& c : cases) EXPECT_EQ(ModelOfName(c.reply), c.model) << c.reply;
}

}  // namespace
}  // namespace zelka::testing
