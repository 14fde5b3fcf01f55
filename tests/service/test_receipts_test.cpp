// The test receipts byte for byte: every write of the 80 mm and 57 mm layouts, the 57 mm
// layout on an 80 mm printer, and the hidden sample receipt.
#include "service/test_receipts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "commands/text_line.h"
#include "link/serial_link.h"
#include "printer/result.h"
#include "service/sample_receipt.h"
#include "sim/render/cp866.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using printer::Problem;
using service::ReceiptLayout;
using Script = std::vector<std::string>;

// The receipts as they are laid out, written out independently of the program.
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

// The whole receipt for `layout` with the text width of `model`: the reference model fits
// one character more on a line.
Script Expected(ReceiptLayout layout, commands::PrinterModel model) {
  const bool reference = model == commands::PrinterModel::kReference;
  const bool narrow = layout != ReceiptLayout::k80mm;
  const int limit = narrow ? (reference ? 41 : 40) : (reference ? 57 : 56);
  const bool shifted = layout == ReceiptLayout::k57mmOn80mm;
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
    const int count = layout == ReceiptLayout::k80mm   ? g.digits80
                      : layout == ReceiptLayout::k57mm ? g.digits57
                                                       : g.digits57On80;
    text(narrow ? g.label57 : g.label80);
    text(Digits(count, limit));
  }
  s.insert(s.end(), {"FEED 7", PrintMode(0x00), CharSize(0x00), "CUT"});
  return s;
}

class TestReceiptsTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
  }
  // The writes that `action` makes on the session's links.
  std::vector<Bytes> Record(const std::function<void()>& action) {
    TxRecorder tx;
    session->SetLinkObserver(&tx);
    action();
    session->SetLinkObserver(nullptr);
    return tx.Writes();
  }
};

TEST_F(TestReceiptsTest, EachReceiptIsTheLayoutOfItsPaperAndModel) {
  using commands::PrinterModel;
  struct Case {
    ReceiptLayout layout;
    PrinterModel model;
    const char* name;
  };
  const std::vector<Case> cases = {
      {ReceiptLayout::k80mm, PrinterModel::kOther, "80 mm, other model"},
      {ReceiptLayout::k80mm, PrinterModel::kReference, "80 mm, reference model"},
      {ReceiptLayout::k57mm, PrinterModel::kOther, "57 mm, other model"},
      {ReceiptLayout::k57mm, PrinterModel::kReference, "57 mm, reference model"},
      {ReceiptLayout::k57mmOn80mm, PrinterModel::kOther, "57 mm on 80 mm, other model"},
      {ReceiptLayout::k57mmOn80mm, PrinterModel::kReference, "57 mm on 80 mm, reference model"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session->model = c.model;
    printer::Result result;
    const auto writes = Record([&] { result = service::PrintTestReceipt(*session, c.layout); });
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(ToScript(writes), Expected(c.layout, c.model));
    EXPECT_EQ(session->paperWidthMm, printer::kWidePaperMm);
    EXPECT_EQ(session->model, c.model);
    EXPECT_FALSE(session->Link().IsOpen());
  }
}

TEST_F(TestReceiptsTest, NarrowOnWideMovesBeforeEachOfItsFortyTwoLines) {
  const Script script = ToScript(
      Record([&] { service::PrintTestReceipt(*session, ReceiptLayout::k57mmOn80mm); }));
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

TEST_F(TestReceiptsTest, HiddenSampleIsThreeRawFramesWithoutCarriageReturn) {
  TxRecorder tx;
  session->SetLinkObserver(&tx);
  EXPECT_TRUE(service::PrintSampleReceipt(*session).Ok());
  session->SetLinkObserver(nullptr);
  EXPECT_FALSE(session->Link().IsOpen());
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

TEST_F(TestReceiptsTest, ReceiptsWithoutAPrinterSayWhy) {
  const std::vector<std::pair<const char*, std::function<printer::Result()>>> receipts = {
      {"80 mm", [&] { return service::PrintTestReceipt(*session, ReceiptLayout::k80mm); }},
      {"57 mm", [&] { return service::PrintTestReceipt(*session, ReceiptLayout::k57mm); }},
      {"57 mm on 80 mm", [&] { return service::PrintTestReceipt(*session, ReceiptLayout::k57mmOn80mm); }},
      {"sample", [&] { return service::PrintSampleReceipt(*session); }},
  };
  struct Port {
    const char* name;
    Problem problem;
  };
  for (const Port port : {Port{link::kNoPort, Problem::kNoPrinter},
                          Port{"/dev/zelka-no-such-port", Problem::kCannotOpen}}) {
    session->SetPort(port.name);
    for (const auto& [name, print] : receipts) {
      SCOPED_TRACE(std::string(port.name) + " " + name);
      printer::Result result;
      EXPECT_TRUE(Record([&] { result = print(); }).empty());
      EXPECT_EQ(result.problem, port.problem);
      EXPECT_EQ(result.port, port.name);
      EXPECT_EQ(session->paperWidthMm, printer::kWidePaperMm);
      EXPECT_FALSE(session->Link().IsOpen());
    }
  }
  EXPECT_TRUE(sim.Log().empty());
}

// Stops the simulated printer at the n-th write.
class PullThePlug final : public link::Observer {
 public:
  PullThePlug(sim::Simulator& printer, int at) : printer_(printer), at_(at) {}
  void OnSent(const std::string&, int, std::span<const std::uint8_t>) override {
    if (++writes == at_) printer_.Stop();
  }
  void OnReceived(const std::string&, int, std::span<const std::uint8_t>) override {}
  int writes = 0;

 private:
  sim::Simulator& printer_;
  int at_;
};

// The printer vanishes half-way through a receipt: the rest is refused, nothing hangs,
// and the text width is back to 80 mm.
TEST_F(TestReceiptsTest, PrinterThatDisappearsDuringAReceipt) {
  PullThePlug plug(sim, 20);
  session->SetLinkObserver(&plug);
  service::PrintTestReceipt(*session, ReceiptLayout::k57mm);
  session->SetLinkObserver(nullptr);
  EXPECT_GT(plug.writes, 20);
  EXPECT_EQ(session->paperWidthMm, printer::kWidePaperMm);
  EXPECT_FALSE(session->Link().IsOpen());
}

}  // namespace
}  // namespace zelka::testing
