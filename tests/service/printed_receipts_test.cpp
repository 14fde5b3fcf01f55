// What the simulated printer prints for the service actions: the receipts as pictures,
// checked for what matters (paper width, text lines, a QR symbol that reads back), not
// against stored pictures.
#include <zbar.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/qr.h"
#include "commands/text_line.h"
#include "link/serial_link.h"
#include "service/paper_width.h"
#include "service/service_actions.h"
#include "service/test_receipts.h"
#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using service::ReceiptLayout;

constexpr std::chrono::seconds kPrintTimeout{10};
constexpr int kQuietZoneDots = 48;

bool Ink(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// Rows with ink, in runs: one run per printed text line when nothing else is printed.
int InkBands(const QImage& image) {
  int bands = 0;
  bool inBand = false;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width() && !ink; ++x) ink = Ink(image, x, y);
    if (ink && !inBand) ++bands;
    inBand = ink;
  }
  return bands;
}

int LeftmostInk(const QImage& image) {
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (Ink(image, x, y)) return x;
    }
  }
  return -1;
}

// The data of the one QR symbol on the receipt, read with zbar.
std::optional<std::string> ReadQrSymbol(const QImage& receipt) {
  using namespace zbar;  // zbar.h puts its C interface in a namespace for C++
  // The paper beside the printable width is the symbol's quiet zone.
  QImage page(receipt.width() + 2 * kQuietZoneDots, receipt.height() + 2 * kQuietZoneDots,
              QImage::Format_Grayscale8);
  page.fill(255);
  const QImage gray = receipt.convertToFormat(QImage::Format_Grayscale8);
  for (int y = 0; y < gray.height(); ++y) {
    std::copy_n(gray.constScanLine(y), gray.width(), page.scanLine(y + kQuietZoneDots) + kQuietZoneDots);
  }
  std::vector<unsigned char> raw;
  for (int y = 0; y < page.height(); ++y) {
    raw.insert(raw.end(), page.constScanLine(y), page.constScanLine(y) + page.width());
  }
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_t* image = zbar_image_create();
  zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image, static_cast<unsigned>(page.width()), static_cast<unsigned>(page.height()));
  zbar_image_set_data(image, raw.data(), raw.size(), nullptr);
  std::optional<std::string> data;
  if (zbar_scan_image(scanner, image) == 1) {
    const zbar_symbol_t* symbol = zbar_image_first_symbol(image);
    data.emplace(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
  }
  zbar_image_destroy(image);
  zbar_image_scanner_destroy(scanner);
  return data;
}

class PrintedReceiptsTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    UsePrinter();
  }
  sim::ReceiptImage PrintOne(const char* what, const std::function<printer::Result(printer::Session&)>& print) {
    sim.ClearReceipts();
    EXPECT_TRUE(print(*session).Ok()) << what;
    EXPECT_TRUE(sim.WaitForReceipts(1, kPrintTimeout)) << what;
    const auto receipts = sim.Receipts();
    return receipts.empty() ? sim::ReceiptImage{} : receipts.back();
  }
  static printer::Result Receipt80(printer::Session& s) {
    return service::PrintTestReceipt(s, ReceiptLayout::k80mm);
  }
};

TEST_F(PrintedReceiptsTest, QrReceiptReadsBackAsThePayload) {
  const auto receipt = PrintOne("QR", service::PrintSampleQrCode);
  EXPECT_EQ(receipt.image.width(), 576);
  EXPECT_TRUE(receipt.lines.empty());
  EXPECT_EQ(ReadQrSymbol(receipt.image), std::string(commands::kQrSamplePayload));
}

TEST_F(PrintedReceiptsTest, WideTestReceiptPrintsEveryLineWhole) {
  const auto receipt = PrintOne("80 mm", Receipt80);
  ASSERT_EQ(receipt.image.width(), 576);
  ASSERT_EQ(receipt.lines.size(), 42u);
  EXPECT_EQ(receipt.lines.front(), "  Sale TICKET N 17434");
  EXPECT_EQ(receipt.lines[10], "Шрифт 0 :");
  EXPECT_EQ(receipt.lines[11].size(), 44u);
  EXPECT_EQ(receipt.lines[13].size(), 56u) << "a model other than the reference cuts the 58 digits to 56";
  EXPECT_EQ(InkBands(receipt.image), 42);
}

// The reference model's line holds one character more.
TEST_F(PrintedReceiptsTest, ReferenceModelPrintsOneDigitMore) {
  session->model = commands::PrinterModel::kReference;
  const auto receipt = PrintOne("80 mm", Receipt80);
  ASSERT_EQ(receipt.lines.size(), 42u);
  EXPECT_EQ(receipt.lines[13].size(), 57u);
}

// On 57 mm paper the 39 digits of font 0 do not fit: 32 go on one line, 7 on the next.
TEST_F(PrintedReceiptsTest, NarrowTestReceiptShowsHowManyCharactersFit) {
  ASSERT_EQ(service::SwitchPaperWidth(*session, service::PaperWidth::k57mm),
            std::optional(service::PaperWidth::k57mm));
  const auto receipt = PrintOne("57 mm", [](printer::Session& s) {
    return service::PrintTestReceipt(s, ReceiptLayout::k57mm);
  });
  ASSERT_EQ(receipt.image.width(), 384);
  ASSERT_EQ(receipt.lines.size(), 43u);
  EXPECT_EQ(receipt.lines[11], "12345678901234567890123456789012");
  EXPECT_EQ(receipt.lines[12], "3456789");
}

TEST_F(PrintedReceiptsTest, NarrowLayoutOnWidePaperStartsAfterTheMove) {
  const auto receipt = PrintOne("57 mm on 80 mm", [](printer::Session& s) {
    return service::PrintTestReceipt(s, ReceiptLayout::k57mmOn80mm);
  });
  ASSERT_EQ(receipt.image.width(), 576);
  EXPECT_EQ(receipt.lines.size(), 42u);
  EXPECT_GE(LeftmostInk(receipt.image), 160);
}

TEST_F(PrintedReceiptsTest, HiddenSampleAndCutSampleAreReceiptsOfTheirOwn) {
  const auto sample = PrintOne("sample", service::PrintSampleReceipt);
  EXPECT_EQ(sample.image.width(), 576);
  EXPECT_EQ(sample.lines.size(), 16u);
  const auto cut = PrintOne("cut", service::CutWithSampleLines);
  EXPECT_EQ(cut.lines, (std::vector<std::string>{"  Оплата Наличные:                   100.00",
                                                  "  СДАЧА:                              10.00",
                                                  "---------1---------2---------3---------4----"}));
}

TEST_F(PrintedReceiptsTest, EveryCutWritesANumberedPicture) {
  QTemporaryDir directory;
  ASSERT_TRUE(directory.isValid());
  sim.SetReceiptDirectory(directory.path().toStdString());
  EXPECT_TRUE(service::CutWithSampleLines(*session).Ok());
  EXPECT_TRUE(service::PrintSampleQrCode(*session).Ok());
  ASSERT_TRUE(sim.WaitForReceipts(2, kPrintTimeout));
  const QImage first(QDir(directory.path()).filePath("receipt-001.png"));
  const QImage second(QDir(directory.path()).filePath("receipt-002.png"));
  EXPECT_EQ(first.width(), 576);
  EXPECT_EQ(ReadQrSymbol(second), std::string(commands::kQrSamplePayload));
}

}  // namespace
}  // namespace zelka::testing
