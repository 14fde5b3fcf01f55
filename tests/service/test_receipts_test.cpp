// The test receipts byte for byte: every write of Button22 (80 mm and 57 mm), Button21
// (57 mm on an 80 mm printer) and the hidden sample of Button20.
#include "service/test_receipts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/text_line.h"
#include "link/serial_link.h"
#include "service/sample_receipt.h"
#include "sim/render/cp866.h"
#include "support/form_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::link;
using Script = std::vector<std::string>;

// The receipts as the design lays them out, written out independently of the program.
const std::array<const char*, 10> kSale80 = {
    "  Sale TICKET N 17434",
    "  TOBAP HOMEP 1       15.00  *  1  =  15.00",
    "  TOBAP HOMEP 2       25.00  *  3  =  75.00",
    "  -----------------------------------------",
    "  Предварительный Итог:               90.00",
    "  Оплата Наличные:                   100.00",
    "  СДАЧА:                              10.00",
    "  -----------------------------------------",
    "         Реклама или свободный текст       ",
    "  -----------------------------------------"};
const std::array<const char*, 10> kSale57 = {
    "Sale TICKET N 17434",
    "TOBAP 1    15.00  *  1  =  15.00",
    "TOBAP 2    25.00  *  3  =  75.00",
    "--------------------------------",
    "Предварительный Итог:      90.00",
    "Оплата Наличные:          100.00",
    "СДАЧА:                     10.00",
    "--------------------------------",
    "  Реклама или свободный текст   ",
    "--------------------------------"};

struct Group {
  int mode;
  const char* label80;
  int digits80;
  const char* label57;
  int digits57;
  int digits57On80;
};
const std::array<Group, 16> kGroups = {{
    {0x00, "Шрифт 0 :", 44, "Шрифт 0 :", 39, 32},
    {0x01, "Шрифт 1 :", 58, "Шрифт 1 :", 50, 46},
    {0x08, "Шрифт 0 (жирный):", 44, "Шрифт 0 (жирный):", 32, 32},
    {0x09, "Шрифт 1 (жирный):", 58, "Шрифт 1 (жирный):", 42, 42},
    {0x10, "Шрифт 0 (высокий):", 44, "Шрифт 0 (высокий):", 32, 32},
    {0x11, "Шрифт 1 (высокий):", 58, "Шрифт 1 (высокий):", 42, 42},
    {0x18, "Шрифт 0 (жирный)(высокий):", 44, "Шрифт 0 (жирный)(высокий):", 32, 32},
    {0x19, "Шрифт 1 (жирный)(высокий):", 58, "Шрифт 1 (жирный)(высокий):", 42, 42},
    {0x20, "Шрифт 0 (широкий):", 22, "Шрифт 0 (шир.):", 16, 16},
    {0x21, "Шрифт 1 (широкий):", 28, "Шрифт 1 (широкий):", 20, 20},
    {0x28, "Шрифт 0 (жир.)(шир.):", 22, "Шрифт 0 (ж)(ш):", 16, 16},
    {0x29, "Шрифт 1 (жирный)(широкий):", 28, "Шрифт 1 (жир)(шир):", 20, 20},
    {0x30, "Шрифт 0 (выс.)(шир.):", 22, "Шрифт 0 (в)(ш):", 16, 16},
    {0x31, "Шрифт 1 (высокий)(широкий):", 28, "Шрифт 1 (выс)(шир):", 20, 20},
    {0x38, "Шрифт 0 (выс.)(шир.):", 22, "Шрифт 0 (в)(ш):", 16, 16},
    {0x39, "Шрифт 1 (высокий)(широкий):", 28, "Шрифт 1 (выс)(шир):", 20, 20},
}};

std::string Hex(int byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}
std::string PrintMode(int n) { return "ESC ! " + Hex(n); }
std::string CharSize(int n) { return "GS ! " + Hex(n); }
std::string Line(const std::string& text) { return "T:" + text; }
const std::string kMove = "MOVE";
const std::string kCrLf = "CRLF";

std::string Digits(int count, int limit) {
  std::string digits;
  for (int i = 0; i < std::min(count, limit); ++i) digits += static_cast<char>('0' + (i + 1) % 10);
  return digits;
}

// One token per write; text is decoded from code page 866.
Script ToScript(const std::vector<Bytes>& writes) {
  Script script;
  for (const Bytes& w : writes) {
    if (w.size() == 3 && w[0] == 0x1B && w[1] == 0x21) {
      script.push_back(PrintMode(w[2]));
    } else if (w.size() == 3 && w[0] == 0x1D && w[1] == 0x21) {
      script.push_back(CharSize(w[2]));
    } else if (w == Bytes{0x1B, 0x5C, 0xA0, 0x00}) {
      script.push_back(kMove);
    } else if (w == Bytes{0x0D, 0x0A}) {
      script.push_back(kCrLf);
    } else if (w == Bytes{0x1B, 0x64, 0x07}) {
      script.push_back("FEED 7");
    } else if (w == Bytes{0x1B, 0x69}) {
      script.push_back("CUT");
    } else {
      script.push_back(Line(sim::Cp866ToUtf8(w)));
    }
  }
  return script;
}

enum class Layout { Wide, Narrow, NarrowOnWide };

// The whole receipt for `layout` with the text width of `variant`.
Script Expected(Layout layout, int variant) {
  const bool narrow = layout != Layout::Wide;
  const int limit = narrow ? (variant == 1 ? 41 : 40) : (variant == 1 ? 57 : 56);
  const bool shifted = layout == Layout::NarrowOnWide;
  Script s;
  auto text = [&](const std::string& line) {
    if (shifted) s.push_back(kMove);
    s.push_back(Line(line));
    s.push_back(kCrLf);
  };
  const auto& sale = narrow ? kSale57 : kSale80;
  if (narrow) {
    s.push_back(PrintMode(0x29));
    text(sale[0]);
    s.insert(s.end(), {CharSize(0x00), PrintMode(0x00)});
  } else {
    s.insert(s.end(), {PrintMode(0x00), CharSize(0x10)});
    text(sale[0]);
    s.push_back(CharSize(0x00));
  }
  for (std::size_t i = 1; i < sale.size(); ++i) text(sale[i]);
  if (shifted) s.push_back(PrintMode(0x00));
  for (const Group& g : kGroups) {
    if (!(shifted && &g == &kGroups.front())) s.push_back(PrintMode(g.mode));
    const int count = layout == Layout::Wide     ? g.digits80
                      : layout == Layout::Narrow ? g.digits57
                                                 : g.digits57On80;
    text(narrow ? g.label57 : g.label80);
    text(Digits(count, limit));
  }
  s.insert(s.end(), {"FEED 7", PrintMode(0x00), CharSize(0x00), "CUT"});
  return s;
}

class TestReceiptsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    MakeForm();
    CurrentPortName = sim.PortName();
  }
};

TEST_F(TestReceiptsTest, EachReceiptIsTheLayoutOfItsPaperAndVariant) {
  struct Case {
    const char* button;
    const char* radio;  // nullptr: neither radio button checked
    int variant;
    Layout layout;
  };
  const std::vector<Case> cases = {
      {"Button22", nullptr, 0, Layout::Wide},
      {"Button22", "RadioButton80mm", 1, Layout::Wide},
      {"Button22", "RadioButton57mm", 0, Layout::Narrow},
      {"Button22", "RadioButton57mm", 1, Layout::Narrow},
      {"Button21", nullptr, 0, Layout::NarrowOnWide},
      {"Button21", "RadioButton80mm", 1, Layout::NarrowOnWide},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.button) + " " + (c.radio ? c.radio : "none") + " variant " +
                 std::to_string(c.variant));
    MakeForm();
    if (c.radio) Window().SetChecked(c.radio, true);  // the printer takes that width
    commands::PrinterVariant = static_cast<std::uint8_t>(c.variant);
    TxRecorder tx;
    Click(c.button);
    EXPECT_EQ(ToScript(tx.Writes()), Expected(c.layout, c.variant));
    EXPECT_EQ(commands::PaperWidthMm, 80);
    EXPECT_FALSE(PortIsOpen);
  }
}

TEST_F(TestReceiptsTest, NarrowOnWideMovesBeforeEachOfItsFortyTwoLines) {
  TxRecorder tx;
  Click("Button21");
  const Script script = ToScript(tx.Writes());
  std::size_t moves = 0;
  std::size_t lines = 0;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i] == kMove) {
      ++moves;
      ASSERT_LT(i + 1, script.size());
      EXPECT_EQ(script[i + 1].rfind("T:", 0), 0u) << "a move is followed by its line";
    }
    if (script[i].rfind("T:", 0) == 0) ++lines;
  }
  EXPECT_EQ(moves, 42u);
  EXPECT_EQ(lines, 42u);
}

// The text width is the receipt's while it prints, and 80 mm for everything after it.
TEST_F(TestReceiptsTest, CutSampleAfterANarrowReceiptHasTheWideWidth) {
  commands::PrinterVariant = 0;
  Window().SetChecked("RadioButton57mm", true);
  Click("Button22");
  TxRecorder tx;
  Click("Button13");
  ASSERT_FALSE(tx.Writes().empty());
  EXPECT_EQ(tx.Writes()[4].size(), 44u) << "the 44-character ruler is not cut to 40";
}

TEST_F(TestReceiptsTest, HiddenSampleIsThreeRawFramesWithoutCarriageReturn) {
  TxRecorder tx;
  Click("Button20");
  const auto writes = tx.Writes();
  ASSERT_EQ(tx.WriteSizes(), (std::vector<std::size_t>{3, 116, 558}));
  EXPECT_EQ(writes[0], (Bytes{0x1B, 0x33, 0x69}));
  for (const Bytes& w : writes) EXPECT_EQ(std::count(w.begin(), w.end(), 0x0D), 0);

  const Bytes& owner = writes[1];
  const Bytes setup{0x1B, 0x52, 0x07, 0x1B, 0x74, 0x30, 0x1B, 0x56, 0x00, 0x1B, 0x21, 0x00, 0x1B, 0x42,
                    0x00, 0x1B, 0x7B, 0x00, 0x1B, 0x49, 0x00, 0x1B, 0x61, 0x00, 0x1B, 0x33, 0x37};
  EXPECT_TRUE(std::equal(setup.begin(), setup.end(), owner.begin()));
  const std::string ownerText = sim::Cp866ToUtf8(Bytes(owner.begin() + 27, owner.end()));
  const std::string spaces14(14, ' ');
  ASSERT_EQ(ownerText.rfind(spaces14 + "ИП ", 0), 0u);
  EXPECT_EQ(owner[27 + 14], 0x88);  // "И" in code page 866
  EXPECT_EQ(owner[27 + 15], 0x8F);  // "П"
  EXPECT_EQ(owner[27 + 43], 0x0A);
  EXPECT_EQ(std::string(owner.begin() + 27 + 44, owner.begin() + 27 + 58),
            spaces14);
  const Bytes inn{0x88, 0x8D, 0x8D, 0x20};  // "ИНН "
  EXPECT_TRUE(std::equal(inn.begin(), inn.end(), owner.begin() + 27 + 58));
  EXPECT_TRUE(std::all_of(owner.begin() + 27 + 62, owner.begin() + 27 + 74,
                          [](std::uint8_t b) { return b >= '0' && b <= '9'; }));
  EXPECT_EQ(owner.back(), 0x0A);

  const Bytes& body = writes[2];
  EXPECT_EQ(std::count(body.begin(), body.end(), 0x0A), 14);
  EXPECT_TRUE(std::equal(body.end() - 4, body.end(), Bytes{0x1D, 0x56, 0x42, 0x01}.begin()));
  const std::string bodyText = sim::Cp866ToUtf8(body);
  for (const char* line : {"  СПАСИБО ЗА ПОКУПКУ  \n", "   ПРИЯТНЫЙ МАГАЗИН   \n",
                           "ЧЕК НА ПРОДАЖУ ОК100046489                  \n",
                           "Дата 14.11.14 17:43:07                      \n",
                           "        ПОСТРОЙТЕ СВОЮ КАРЬЕРУ С НАМИ!\n", "           Тел."}) {
    EXPECT_NE(bodyText.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(service::SampleReceiptFrames()[2], body);
}

// Body lines by their byte sizes, as the layout gives them.
TEST_F(TestReceiptsTest, HiddenSampleBodyLinesHaveTheirSizes) {
  const Bytes body = service::SampleReceiptFrames()[2];
  std::vector<std::size_t> sizes;
  std::size_t start = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == 0x0A) {
      sizes.push_back(i + 1 - start);
      start = i + 1;
    }
  }
  sizes.push_back(body.size() - start);  // GS V 66 1
  EXPECT_EQ(sizes, (std::vector<std::size_t>{45, 32, 35, 35, 35, 48, 45, 45, 45, 45, 39, 29, 31, 45, 4}));
}

TEST_F(TestReceiptsTest, ReceiptsWithoutAPrinterEndNormally) {
  CurrentPortName = kNoPort;
  Window().SetChecked("RadioButton57mm", true);
  for (const char* button : {"Button22", "Button21", "Button20"}) {
    SCOPED_TRACE(button);
    TxRecorder tx;
    Click(button);
    EXPECT_TRUE(tx.Writes().empty());
    EXPECT_EQ(commands::PaperWidthMm, 80);
    EXPECT_FALSE(PortIsOpen);
  }
}

// The printer vanishes half-way through a receipt: the rest is refused, nothing hangs.
TEST_F(TestReceiptsTest, PrinterThatDisappearsDuringAReceipt) {
  int writes = 0;
  SetTxTap([&](std::span<const std::uint8_t>) {
    if (++writes == 20) sim.Stop();
  });
  Click("Button22");
  SetTxTap({});
  EXPECT_GT(writes, 20);
  EXPECT_EQ(commands::PaperWidthMm, 80);
  EXPECT_FALSE(PortIsOpen);
}

}  // namespace
}  // namespace zelka::testing
